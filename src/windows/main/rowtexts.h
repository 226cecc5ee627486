#pragma once

// The configuration rows as people read them: each row's caption, how messages name a row, and
// why an offer has no total. Shared by the rows, the window and the offer actions.

#include <QString>

class OfferModel;

namespace RowTexts
{

// The category button's caption, with its access key ("&RAM"); empty outside rows 0 to 16.
QString caption(int index);
// The caption as running text ("RAM").
QString plainCaption(int index);
// How a message names the row ("Row RAM").
QString name(int index);
// Why the row's amount cannot be added, naming the row; empty when it can.
QString amountProblem(const OfferModel &offer, int index);
// Why the offer has no total: the first row whose amount cannot be added; empty when it has one.
QString totalProblem(const OfferModel &offer);

} // namespace RowTexts
