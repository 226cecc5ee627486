#include "priceimport.h"

#include "core/pricetext.h"
#include "pricehistory.h"
#include "store.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <numeric>

namespace
{

std::optional<QString> textOf(const QVariant &value)
{
    return value.isNull() ? std::nullopt : std::optional<QString>(value.toString());
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

std::optional<ImportPreview> PriceImport::preview(const std::deque<SupplierImport::Item> &items)
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
        if (!compareCategory(category, byCategory.value(category), preview))
            return std::nullopt;
    }
    return preview;
}

bool PriceImport::compareCategory(
    const QString &category, const std::vector<const SupplierImport::Item *> &inFile, ImportPreview &preview)
{
    // The file's items by id; the list is read row by row against them, so only the items the file
    // no longer lists are kept.
    QHash<QString, const SupplierImport::Item *> byId;
    byId.reserve(static_cast<qsizetype>(inFile.size()));
    for (const SupplierImport::Item *item : inFile)
        byId.insert(item->id, item);
    QSet<QString> listed;
    QSqlQuery q(m_store->database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("select id, description, price from adt where category = ? order by id"));
    q.addBindValue(category);
    if (!q.exec()) {
        m_error = q.lastError();
        return false;
    }
    const size_t changedBefore = preview.changed.size();
    while (q.next()) {
        const QString id = q.value(0).toString();
        const auto item = byId.constFind(id);
        if (item == byId.constEnd()) {
            // The first row of an id that repeats stands for it.
            if (!listed.contains(id)) {
                listed.insert(id);
                preview.missing.push_back({ category, id, textOf(q.value(1)), textOf(q.value(2)) });
            }
            continue;
        }
        const SupplierImport::Item *fileItem = *item;
        byId.erase(item);
        const std::optional<QString> price = textOf(q.value(2));
        const std::optional<QString> description = textOf(q.value(1));
        const bool samePrice = price && PriceText::samePrice(*price, fileItem->price);
        const bool sameDescription = !fileItem->description || fileItem->description == description;
        if (samePrice && sameDescription)
            ++preview.unchanged;
        else // the old description only where the file brings another: a long list is kept small
            preview.changed.push_back({ fileItem, price, sameDescription ? std::nullopt : description });
    }
    if (q.lastError().isValid()) {
        m_error = q.lastError();
        return false;
    }
    // Both in the order of the file: by line, since the items' addresses in their deque do not
    // follow it once they fill more than one of its blocks.
    std::vector<size_t> order(preview.changed.size() - changedBefore);
    std::iota(order.begin(), order.end(), changedBefore);
    std::sort(order.begin(), order.end(),
        [&](size_t a, size_t b) { return preview.changed[a].item->line < preview.changed[b].item->line; });
    std::vector<ImportChange> sorted;
    sorted.reserve(order.size());
    for (const size_t i : order)
        sorted.push_back(std::move(preview.changed[i]));
    preview.changed.resize(changedBefore);
    std::move(sorted.begin(), sorted.end(), std::back_inserter(preview.changed));
    for (const SupplierImport::Item *item : inFile) {
        if (byId.contains(item->id))
            preview.added.push_back(item);
    }
    return true;
}

namespace
{

QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

QVariant nullable(const std::optional<QString> &value)
{
    return value ? text(*value) : QVariant(QMetaType(QMetaType::QString));
}

// The statements of an import, prepared once for its thousands of rows.
struct Statements {
    std::unique_ptr<PreparedStatement> add, update, updatePrice, remove, record;
    explicit Statements(Store &store)
        : add(
            store.prepare(QStringLiteral("insert into adt (category,id,description,price) values (?,?,?,?)")))
        , update(store.prepare(
              QStringLiteral("update adt set description = ?,price = ? where id = ? and category = ?")))
        , updatePrice(store.prepare(QStringLiteral("update adt set price = ? where id = ? and category = ?")))
        , remove(store.prepare(QStringLiteral("delete from adt where id = ? and category = ?")))
        , record(store.prepare(PriceHistory::recordStatement()))
    {
    }
    bool ready() const { return add && update && updatePrice && remove && record; }
};

} // namespace

bool PriceImport::apply(
    const ImportPreview &preview, bool removeMissing, const QString &source, const QDateTime &when)
{
    m_error = QSqlError();
    PriceListRepository list(m_store);
    PriceHistory history(m_store);
    return m_store->inTransaction([&] {
        if (!history.ensureTable())
            return false;
        Statements run(*m_store);
        if (!run.ready())
            return false;
        for (const SupplierImport::Item *added : preview.added) {
            const SupplierImport::Item &item = *added;
            if (!run.add->exec({ text(item.category), text(item.id),
                    text(item.description.value_or(QString())), text(item.price) })
                || !run.record->exec(PriceHistory::recordValues({ when, item.category, item.id, std::nullopt,
                    item.price, item.description.value_or(QString()), source })))
                return false;
        }
        for (const ImportChange &c : preview.changed) {
            const std::optional<QString> &description = c.item->description;
            const bool written = description
                ? run.update->exec(
                    { nullable(description), text(c.item->price), text(c.item->id), text(c.item->category) })
                : run.updatePrice->exec({ text(c.item->price), text(c.item->id), text(c.item->category) });
            if (!written)
                return false;
            const bool priceMoved = !c.oldPrice || !PriceText::samePrice(*c.oldPrice, c.item->price);
            if (priceMoved
                && !run.record->exec(PriceHistory::recordValues({ when, c.item->category, c.item->id,
                    c.oldPrice, c.item->price, description.value_or(QString()), source })))
                return false;
        }
        if (removeMissing) {
            for (const PriceListItem &item : preview.missing) {
                if (!run.remove->exec({ text(item.id), text(item.category) })
                    || !run.record->exec(PriceHistory::recordValues({ when, item.category, item.id,
                        item.price, std::nullopt, item.description.value_or(QString()), source })))
                    return false;
            }
        }
        return list.stampDate(when);
    });
}
