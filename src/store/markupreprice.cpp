#include "markupreprice.h"

#include "itemcosttable.h"
#include "pricetable.h"
#include "store.h"

MarkupReprice::MarkupReprice(Store *store)
    : m_store(store)
    , m_import(store)
{
}

StoreResult<ImportPreview> MarkupReprice::preview(const Markup::Rules &was, const Markup::Rules &now)
{
    SupplierImport::ItemList items;
    // The items the list holds with a cost, as a file of those costs would list them: their costs
    // unchanged, their descriptions left as they are.
    for (int row = 0; row < SupplierImport::RowCount; ++row) {
        const QString category = QString::number(row);
        auto costs = ItemCostTable(m_store).readCategory(category);
        if (!costs)
            return costs.error();
        if (costs->isEmpty())
            continue;
        qint64 line = 0;
        const bool read = PriceTable(m_store).readCategory(
            category, [&](const QString &id, const std::optional<QString> &, const std::optional<QString> &) {
                const auto cost = costs->constFind(id);
                if (cost != costs->cend())
                    items.put({ category, id, std::nullopt, QString(), ++line, cost->text() });
                return true;
            });
        if (!read)
            return m_store->lastError();
    }
    CostPricing pricing;
    pricing.rules = now;
    pricing.setBy = was;
    return m_import.preview(std::move(items), pricing);
}

StoreError MarkupReprice::apply(const ImportPreview &preview, const QDateTime &when)
{
    return m_import.apply(preview, false, source(), when);
}
