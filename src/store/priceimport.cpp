#include "priceimport.h"

#include "core/price.h"
#include "pricehistory.h"
#include "store.h"

#include <QSqlError>

#include <algorithm>

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

ImportChange ImportPreview::changed(size_t i) const
{
    const Change &c = m_changed[i];
    return { (*m_items)[c.item], m_text.optionalText(c.oldPrice), m_text.optionalText(c.oldDescription) };
}

PriceListItem ImportPreview::missing(size_t i) const
{
    const Missing &m = m_missing[i];
    return { m_items->category(m.category), m_text.text(m.id), m_text.optionalText(m.description),
        m_text.optionalText(m.price) };
}

std::optional<ImportPreview> PriceImport::preview(const SupplierImport::ItemList &items)
{
    m_error = QSqlError();
    ImportPreview preview;
    preview.m_items = &items;
    std::vector<bool> listed(items.size());
    for (quint32 category = 0; category < items.categoryCount(); ++category) {
        if (!compareCategory(category, listed, preview))
            return std::nullopt;
    }
    // Both in the order of the file.
    std::sort(preview.m_changed.begin(), preview.m_changed.end(),
        [&](const ImportPreview::Change &a, const ImportPreview::Change &b) {
            return items.line(a.item) < items.line(b.item);
        });
    for (size_t i = 0; i < items.size(); ++i) {
        if (!listed[i])
            preview.m_added.push_back(static_cast<quint32>(i));
    }
    return preview;
}

bool PriceImport::compareCategory(quint32 category, std::vector<bool> &listed, ImportPreview &preview)
{
    const SupplierImport::ItemList &items = *preview.m_items;
    QString previous;
    bool first = true;
    return m_store->readRows(
        QStringLiteral("select id, description, price from adt where category = ? order by id"),
        { items.category(category) }, [&](const StreamedRow &row) {
            const QString id = row.value(0).toString();
            // The first row of an id the list holds twice stands for both: the statements that write
            // the import change every row of the id alike, so a second row must not count as missing.
            if (!first && id == previous)
                return true;
            first = false;
            previous = id;
            const std::optional<QString> description = textOf(row.value(1));
            const std::optional<QString> price = textOf(row.value(2));
            const std::optional<size_t> found = items.find(category, id);
            if (!found) {
                preview.m_missing.push_back({ category, preview.m_text.add(QStringView(id)),
                    preview.m_text.addOptional(description), preview.m_text.addOptional(price) });
                return true;
            }
            listed[*found] = true;
            const std::optional<QString> fileDescription = items.description(*found);
            const bool samePrice = price && Price::same(*price, items.price(*found));
            const bool sameDescription = !fileDescription || fileDescription == description;
            if (samePrice && sameDescription)
                ++preview.m_unchanged;
            else // the old description only where the file brings another: a long list is kept small
                preview.m_changed.push_back({ static_cast<quint32>(*found), preview.m_text.addOptional(price),
                    preview.m_text.addOptional(sameDescription ? std::nullopt : description) });
            return true;
        });
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

bool PriceImport::takeWholeList()
{
    // A second import is refused at once; changes already under way at other counters are waited
    // for (they are short), and new ones are refused until this import ends.
    if (!m_store->lock(
            QStringLiteral("price list import"), Store::LockMode::Exclusive, Store::LockWait::DoNotWait)) {
        if (m_store->lastErrorIsBusy())
            m_error = QSqlError(QStringLiteral("Brasko"),
                QStringLiteral("Another counter is importing into the price list at this moment, so nothing "
                               "was written. Try again when it has finished."),
                QSqlError::TransactionError, Store::busyCode());
        return false;
    }
    return m_store->lock(PriceListRepository::listLock(), Store::LockMode::Exclusive);
}

bool PriceImport::apply(const ImportPreview &preview, bool removeMissing, const QString &source,
    const QDateTime &when, const Progress &keepGoing)
{
    m_error = QSqlError();
    PriceListRepository list(m_store);
    PriceHistory history(m_store);
    const qint64 total = static_cast<qint64>(
        preview.addedCount() + preview.changedCount() + (removeMissing ? preview.missingCount() : 0));
    qint64 written = 0;
    const auto goOn = [&] { return !keepGoing || ++written % 2048 != 0 || keepGoing(written, total); };
    return history.ensureSchema() && m_store->inTransaction([&] {
        if (!takeWholeList())
            return false;
        Statements run(*m_store);
        if (!run.ready())
            return false;
        for (size_t i = 0; i < preview.addedCount(); ++i) {
            if (!goOn())
                return false;
            const SupplierImport::Item item = preview.added(i);
            if (!run.add->exec({ text(item.category), text(item.id),
                    text(item.description.value_or(QString())), text(item.price) })
                || !run.record->exec(PriceHistory::recordValues({ when, item.category, item.id, std::nullopt,
                    item.price, item.description.value_or(QString()), source })))
                return false;
        }
        for (size_t i = 0; i < preview.changedCount(); ++i) {
            if (!goOn())
                return false;
            const ImportChange c = preview.changed(i);
            const std::optional<QString> &description = c.item.description;
            const bool written = description
                ? run.update->exec(
                    { nullable(description), text(c.item.price), text(c.item.id), text(c.item.category) })
                : run.updatePrice->exec({ text(c.item.price), text(c.item.id), text(c.item.category) });
            if (!written)
                return false;
            const bool priceMoved = !c.oldPrice || !Price::same(*c.oldPrice, c.item.price);
            if (priceMoved
                && !run.record->exec(PriceHistory::recordValues({ when, c.item.category, c.item.id,
                    c.oldPrice, c.item.price, description.value_or(QString()), source })))
                return false;
        }
        if (removeMissing) {
            for (size_t i = 0; i < preview.missingCount(); ++i) {
                if (!goOn())
                    return false;
                const PriceListItem item = preview.missing(i);
                if (!run.remove->exec({ text(item.id), text(item.category) })
                    || !run.record->exec(PriceHistory::recordValues({ when, item.category, item.id,
                        item.price, std::nullopt, item.description.value_or(QString()), source })))
                    return false;
            }
        }
        return list.stampDate(when);
    });
}
