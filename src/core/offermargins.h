#pragma once

#include "decimal.h"
#include "offer.h"

#include <QString>
#include <QStringList>

#include <functional>

// What an offer earns over what the shop pays for its parts, row by row and in all, from the
// rows' amounts and the costs they were picked with. For the counter's screen only: never printed.
namespace OfferMargins
{

struct RowMargin {
    // A row with no item, no cost and no amount tells nothing and is left out of everything.
    bool counted = false;
    // The amount less the cost, when both are known numbers.
    std::optional<Decimal> money;
    // Sold for less than it cost.
    bool belowCost = false;
};

RowMargin ofRow(const OfferRow &row);
// "18.5% (1,080.00)"; "—" for a counted row whose margin cannot be told; empty for an empty row.
QString rowText(const OfferRow &row);

struct Total {
    Decimal money; // the sum of the known rows' margins
    Decimal amounts; // the sum of their amounts
    Decimal costs; // the sum of their costs
    int known = 0; // rows with a margin
    int leftOut = 0; // counted rows without one (cost unknown)
};
Total total(const Offer &offer);
// "Margin 18.5% (1,080.00)", with "; leaves out 2 rows without a cost" when some are; "Margin —"
// when no row has a margin.
QString totalText(const Offer &offer);

// The offer's margin in a few words, for a list of kept offers: "18.5% (1,080.00)", with ", 2 rows
// left out" when some are; "—" when no row has one; empty for an offer of empty rows.
QString shortText(const Offer &offer);

// "Row RAM is 150.00 below cost." for a row sold below its cost, named by its caption; empty for
// any other row.
QString belowCostReason(const OfferRow &row, const QString &caption);
// The same for each row sold below its cost, in row order.
QStringList belowCostReasons(const Offer &offer, const std::function<QString(int)> &caption);

} // namespace OfferMargins
