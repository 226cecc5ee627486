// An Apply on a database server: the preview's changes staged in a table of the transaction's own
// and written in a few statements (stagedimport.h), under the same rules as one by one: checked
// against what the preview saw, recorded in the price history, all or nothing.
#include "priceimport.h"

#include "itemcosttable.h"
#include "pricehistorytable.h"
#include "pricetable.h"
#include "stagedimport.h"
#include "store.h"

#include <QHash>
#include <QSet>

namespace
{

QString itemKey(const QString &category, const QString &id)
{
    return category + QLatin1Char('\n') + id;
}

} // namespace

bool PriceImport::forEachStaged(const ImportPreview &preview, bool removeMissingItems, const StagedRow &row)
{
    for (const ImportPreview::Change &c : preview.m_changed) {
        const SupplierImport::Item item = (*preview.m_items)[c.item];
        const std::optional<QString> oldPrice = preview.m_text.optionalText(c.oldPrice);
        const std::optional<QString> oldDescription = preview.m_text.optionalText(c.oldDescription);
        const bool priceMoved = !oldPrice || !Price::same(*oldPrice, item.price);
        // The row keeps the description it was seen with, unless other rows of its id follow
        // it and take the file's.
        const bool keepsDescription = !c.descriptionChanges && !c.repeated;
        if (!row(StagedImport::Row { StagedImport::Changed, item.category, item.id, oldDescription, oldPrice,
                     keepsDescription ? std::nullopt : item.description, item.price, priceMoved,
                     c.costChanges, preview.m_text.optionalText(c.oldCost), item.cost },
                std::optional<PriceListItem>(
                    PriceListItem { item.category, item.id, oldDescription, oldPrice })))
            return false;
    }
    for (size_t i = 0; i < preview.addedCount(); ++i) {
        const SupplierImport::Item item = preview.added(i);
        if (!row(StagedImport::Row { StagedImport::Added, item.category, item.id, std::nullopt, std::nullopt,
                     item.description, item.price, true, item.cost.has_value(), std::nullopt, item.cost },
                std::optional<PriceListItem>()))
            return false;
    }
    for (size_t i = 0; removeMissingItems && i < preview.missingCount(); ++i) {
        const PriceListItem item = preview.missing(i);
        if (!row(StagedImport::Row { StagedImport::Missing, item.category, item.id, item.description,
                     item.price, std::nullopt, std::nullopt, true },
                std::optional<PriceListItem>(item)))
            return false;
    }
    return true;
}

bool PriceImport::noteStagedConflicts(const ImportPreview &preview, bool removeMissingItems,
    const QList<std::pair<QString, QString>> &conflicts)
{
    // What the preview saw of each conflicting item, gathered only when there are conflicts:
    // an Apply that goes through needs none of it.
    QSet<QString> conflicting;
    for (const auto &[category, id] : conflicts)
        conflicting.insert(itemKey(category, id));
    QHash<QString, std::optional<PriceListItem>> seen;
    forEachStaged(preview, removeMissingItems,
        [&](const StagedImport::Row &row, const std::optional<PriceListItem> &asSeen) {
            // The last row of a repeated item, as the preview listed them, is what it saw.
            if (QString key = itemKey(row.category, row.id); conflicting.contains(key))
                seen.insert(key, asSeen);
            return true;
        });
    for (const auto &[category, id] : conflicts) {
        if (!conflict(category, id, seen.value(itemKey(category, id))))
            return false;
    }
    return true;
}

bool PriceImport::writeStaged(const ImportPreview &preview, bool removeMissingItems, const QDateTime &when,
    const QString &source, const GoOn &goOn)
{
    StagedImport staged(m_store, preview.writesCosts(), m_steps);
    if (!staged.create()
        || !forEachStaged(preview, removeMissingItems,
            [&](const StagedImport::Row &row, const std::optional<PriceListItem> &) {
                return goOn() && staged.add(row);
            })
        || !staged.finish())
        return false;
    PriceTable list(m_store);
    const auto conflicts = list.stagedConflicts();
    m_steps.lap("conflicts");
    if (!conflicts)
        return false;
    if (!conflicts->isEmpty() && !noteStagedConflicts(preview, removeMissingItems, *conflicts))
        return false;
    // Nothing is written when anything changed meanwhile: the caller refuses the whole Apply.
    if (!m_conflicts.isEmpty())
        return true;
    if (!PriceHistoryTable(m_store).recordStaged(when, source))
        return false;
    m_steps.lap("history");
    if (!list.applyStaged(removeMissingItems))
        return false;
    m_steps.lap("list");
    if (!preview.writesCosts())
        return true;
    const StoreError costs = ItemCostTable(m_store).setStagedCosts(when, source);
    m_steps.lap("costs");
    if (costs.isValid())
        m_refused = costs;
    return !costs.isValid();
}
