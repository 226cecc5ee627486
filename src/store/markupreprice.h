#pragma once

#include "priceimport.h"

#include <QDateTime>

#include <optional>

class Store;

// Changed markup rules re-price nothing by themselves; this is what "Apply to the list now" does:
// every item of the rows' categories whose cost is known and whose list price the old rules gave
// takes the price the new rules give, with its history, in one transaction, over what the preview
// saw. A price set by hand (not the old rules' for its cost) stays, and so does every item without
// a cost.
class MarkupReprice final
{
public:
    explicit MarkupReprice(Store *store);

    // What the new rules change, or why the list or the costs cannot be read.
    StoreResult<ImportPreview> preview(const Markup::Rules &was, const Markup::Rules &now);
    // Writes the last preview; invalid when done. Another counter's change since makes the whole a
    // Conflict, and nothing is written (changedMeanwhile() names the items).
    StoreError apply(const ImportPreview &preview, const QDateTime &when);
    const QList<ImportConflict> &changedMeanwhile() const { return m_import.changedMeanwhile(); }

    static QString source() { return QStringLiteral("markup rules"); }

private:
    Store *m_store;
    PriceImport m_import;
};
