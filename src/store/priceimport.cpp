#include "priceimport.h"

#include "core/pricetext.h"
#include "pricehistory.h"
#include "store.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace
{

struct Listed {
    std::optional<QString> description;
    std::optional<QString> price;
};

std::optional<QString> textOf(const QVariant &value)
{
    return value.isNull() ? std::nullopt : std::optional<QString>(value.toString());
}

// The items of one category as they are now (the first row of an id that repeats); every id in
// order, for the items the file no longer lists.
QSqlError loadCategory(
    Store &store, const QString &category, QHash<QString, Listed> &listed, QStringList &order)
{
    QSqlQuery q(store.database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("select id, description, price from adt where category = ? order by id"));
    q.addBindValue(category);
    if (!q.exec())
        return q.lastError();
    while (q.next()) {
        const QString id = q.value(0).toString();
        if (listed.contains(id))
            continue;
        listed.insert(id, { textOf(q.value(1)), textOf(q.value(2)) });
        order << id;
    }
    return q.lastError();
}

} // namespace

PriceImport::PriceImport(Store *store)
    : m_store(store)
{
}

QSqlError PriceImport::lastError() const
{
    return m_error.isValid() ? m_error : m_store->lastError();
}

std::optional<ImportPreview> PriceImport::preview(const std::vector<SupplierImport::Item> &items)
{
    QHash<QString, std::vector<const SupplierImport::Item *>> byCategory;
    QStringList categories;
    for (const SupplierImport::Item &item : items) {
        auto &list = byCategory[item.category];
        if (list.empty())
            categories << item.category;
        list.push_back(&item);
    }
    m_error = QSqlError();
    ImportPreview preview;
    for (const QString &category : categories) {
        QHash<QString, Listed> listed;
        QStringList order;
        const QSqlError failed = loadCategory(*m_store, category, listed, order);
        if (failed.isValid()) {
            m_error = failed;
            return std::nullopt;
        }
        QSet<QString> inFile;
        for (const SupplierImport::Item *item : byCategory.value(category)) {
            inFile.insert(item->id);
            const auto now = listed.constFind(item->id);
            if (now == listed.constEnd()) {
                preview.added.push_back(*item);
                continue;
            }
            const bool samePrice = now->price && PriceText::samePrice(*now->price, item->price);
            const bool sameDescription = !item->description || item->description == now->description;
            if (samePrice && sameDescription)
                ++preview.unchanged;
            else
                preview.changed.push_back({ *item, now->price, now->description });
        }
        for (const QString &id : order) {
            if (!inFile.contains(id))
                preview.missing.push_back(
                    { category, id, listed.value(id).description, listed.value(id).price });
        }
    }
    return preview;
}

bool PriceImport::apply(
    const ImportPreview &preview, bool removeMissing, const QString &source, const QDateTime &when)
{
    m_error = QSqlError();
    PriceListRepository list(m_store);
    PriceHistory history(m_store);
    return m_store->inTransaction([&] {
        if (!history.ensureTable())
            return false;
        for (const SupplierImport::Item &item : preview.added) {
            if (!list.add({ item.category, item.id, item.description.value_or(QString()), item.price })
                || !history.record({ when, item.category, item.id, std::nullopt, item.price,
                    item.description.value_or(QString()), source }))
                return false;
        }
        for (const ImportChange &c : preview.changed) {
            const std::optional<QString> description
                = c.item.description ? c.item.description : c.oldDescription;
            if (!list.update({ c.item.category, c.item.id, description, c.item.price }))
                return false;
            const bool priceMoved = !c.oldPrice || !PriceText::samePrice(*c.oldPrice, c.item.price);
            if (priceMoved
                && !history.record({ when, c.item.category, c.item.id, c.oldPrice, c.item.price,
                    description.value_or(QString()), source }))
                return false;
        }
        if (removeMissing) {
            for (const PriceListItem &item : preview.missing) {
                if (!list.remove(item.category, item.id)
                    || !history.record({ when, item.category, item.id, item.price, std::nullopt,
                        item.description.value_or(QString()), source }))
                    return false;
            }
        }
        return list.stampDate(when);
    });
}
