#pragma once

// What the import window says of its session, in words and grid cells, apart from the widgets
// that show them: the summary under the file, the preview's rows, the lines that cannot be read
// and the items changed since the preview.

#include "store/importsession.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ImportTexts
{

// A row of the preview grid: What, Category, ID, Description, Old price, New price, Change, Cost.
struct PreviewRow {
    enum class Mark { None, Tenfold, HandSet };
    QStringList cells;
    Mark mark = Mark::None;
};
constexpr int PreviewColumnCount = 8;

// The changed, new and no longer listed items, at most `limit` of them.
QList<PreviewRow> previewRows(const ImportSession &session, int limit);
// "2 new, 3 changed, ...", with what holds Apply back and what else it keeps.
QString summary(const ImportSession &session);
// The lines that cannot be read and the notes on what was read, as listed under the preview.
QStringList problems(const SupplierImport::Reading &reading);
// Each item another counter changed since the preview, as it was seen and as it is now.
QStringList changedMeanwhile(const ImportSession &session);
// The question when the prices read two ways.
QString decimalQuestion(const QString &sample);

} // namespace ImportTexts
