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

bool PriceImport::writeStaged(const ImportPreview &preview, bool removeMissingItems, const QDateTime &when,
    const QString &source, const GoOn &goOn)
{
    StagedImport staged(m_store);
    if (!staged.create())
        return false;
    // What the preview saw of each staged item, for telling a conflict: nullopt for an added one.
    QHash<QString, std::optional<PriceListItem>> seen;
    const auto stage = [&](const StagedImport::Row &row, const std::optional<PriceListItem> &asSeen) {
        seen.insert(row.category + QLatin1Char('\n') + row.id, asSeen);
        return goOn() && staged.add(row);
    };
    for (const ImportPreview::Change &c : preview.m_changed) {
        const SupplierImport::Item item = (*preview.m_items)[c.item];
        const std::optional<QString> oldPrice = preview.m_text.optionalText(c.oldPrice);
        const std::optional<QString> oldDescription = preview.m_text.optionalText(c.oldDescription);
        const bool priceMoved = !oldPrice || !Price::same(*oldPrice, item.price);
        if (!stage(
                { StagedImport::Changed, item.category, item.id, oldDescription, oldPrice, item.description,
                    item.price, item.description.value_or(oldDescription.value_or(QString())), priceMoved,
                    c.costChanges, preview.m_text.optionalText(c.oldCost), item.cost },
                PriceListItem { item.category, item.id, oldDescription, oldPrice }))
            return false;
    }
    for (size_t i = 0; i < preview.addedCount(); ++i) {
        const SupplierImport::Item item = preview.added(i);
        if (!stage({ StagedImport::Added, item.category, item.id, std::nullopt, std::nullopt,
                       item.description, item.price, item.description.value_or(QString()), true,
                       item.cost.has_value(), std::nullopt, item.cost },
                std::nullopt))
            return false;
    }
    for (size_t i = 0; removeMissingItems && i < preview.missingCount(); ++i) {
        const PriceListItem item = preview.missing(i);
        if (!stage({ StagedImport::Missing, item.category, item.id, item.description, item.price,
                       std::nullopt, std::nullopt, item.description.value_or(QString()), true },
                item))
            return false;
    }
    if (!staged.finish())
        return false;
    PriceTable list(m_store);
    const auto conflicts = list.stagedConflicts();
    if (!conflicts)
        return false;
    for (const auto &[category, id] : *conflicts) {
        if (!conflict(category, id, seen.value(category + QLatin1Char('\n') + id)))
            return false;
    }
    // Nothing is written when anything changed meanwhile: the caller refuses the whole Apply.
    if (!m_conflicts.isEmpty())
        return true;
    if (!PriceHistoryTable(m_store).recordStaged(when, source) || !list.applyStaged(removeMissingItems))
        return false;
    if (!preview.writesCosts())
        return true;
    const StoreError costs = ItemCostTable(m_store).setStagedCosts(when, source);
    if (costs.isValid())
        m_refused = costs;
    return !costs.isValid();
}
