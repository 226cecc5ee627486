#include "pricelistrepository.h"

#include "core/generaldate.h"
#include "store.h"

#include <QVariant>

namespace
{

// Category "90" holds the settings rows; no configuration row ever offers it.
const QString SettingsCategory = QStringLiteral("90");

// The column names the pickers show are quoted so both engines keep their case.
const QLatin1String ItemColumns("id as \"ID\",description as \"Description\",price as \"Price\"");
const QLatin1String ListColumns(
    "select id as \"ID\",description as \"Description\",price as \"Price\" from adt"
    " where category = ?");

// A text as a bound value. The engine binds a null QString as NULL, so an empty text is bound as
// an empty one: an empty id or description is stored and found as '', as it was typed.
QVariant bound(const QString &text)
{
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

QVariant nullable(const std::optional<QString> &text)
{
    return text ? bound(*text) : QVariant(QMetaType(QMetaType::QString));
}

std::optional<QString> textOf(const std::optional<QVariant> &value)
{
    if (!value || value->isNull())
        return std::nullopt;
    return value->toString();
}

// The condition that a column still holds what was seen, its value going into values.
QString stillHolds(const QString &column, const std::optional<QString> &seen, QVariantList &values)
{
    if (!seen)
        return QStringLiteral(" and %1 is null").arg(column);
    values << bound(*seen);
    return QStringLiteral(" and %1 = ?").arg(column);
}

} // namespace

PriceListRepository::PriceListRepository(Store *store)
    : m_store(store)
{
}

StoreError PriceListRepository::lastError() const
{
    return m_store->lastError();
}

std::unique_ptr<RecordSet> PriceListRepository::items(const QString &category, Order order)
{
    if (order == Order::Unordered)
        return m_store->query(ListColumns, { bound(category) });
    // Read a page at a time from either end: End in a long list reads its last screen, not every row.
    auto list = OrderedList::open(m_store,
        { ItemColumns, QStringLiteral("adt"), QStringLiteral("category = ?"), { bound(category) },
            QStringLiteral("id"), m_store->rowKeyColumn() });
    return list ? std::make_unique<RecordSet>(std::move(list)) : nullptr;
}

std::optional<PriceListItem> PriceListRepository::item(const QString &category, const QString &id)
{
    auto found = m_store->query(
        QStringLiteral("select description,price,%1 as row_key from adt where category = ? and id = ?")
            .arg(m_store->rowKeyColumn()),
        { bound(category), bound(id) });
    if (!found)
        return std::nullopt;
    if (!found->moveFirst()) {
        m_store->clearError();
        return std::nullopt;
    }
    bool keyed = false;
    const qint64 key = found->field(QStringLiteral("row_key")).value_or(QVariant()).toLongLong(&keyed);
    return PriceListItem { category, id, textOf(found->field(QStringLiteral("description"))),
        textOf(found->field(QStringLiteral("price"))), keyed ? std::optional<qint64>(key) : std::nullopt };
}

bool PriceListRepository::takeItem(const QString &category, const QString &id)
{
    if (!m_store->lock(listLock(), Store::LockMode::Shared, Store::LockWait::DoNotWait)) {
        if (m_store->lastErrorIsBusy())
            m_store->refuse(QStringLiteral("The price list is being imported at another counter, so nothing "
                                           "was changed. Try again in a moment."),
                Store::busyCode());
        return false;
    }
    return m_store->lock(QStringLiteral("item %1/%2").arg(category, id), Store::LockMode::Exclusive);
}

bool PriceListRepository::add(const PriceListItem &item)
{
    // Counters adding the same id take turns on it, so the second finds the first one's row.
    int added = 0;
    const bool ok = m_store->inTransaction([&] {
        return takeItem(item.category, item.id)
            && m_store->execute(
                QStringLiteral("insert into adt (category,id,description,price) select"
                               " cast(? as text),cast(? as text),cast(? as text),cast(? as text)"
                               " where not exists (select 1 from adt where category = ? and id = ?)"),
                { bound(item.category), bound(item.id), nullable(item.description), nullable(item.price),
                    bound(item.category), bound(item.id) },
                &added);
    });
    if (ok && added == 0)
        return m_store->refuse(
            QStringLiteral("%1 is in the price list already (another counter added it after "
                           "it was looked up), so it was not added a second time. Look it "
                           "up again to see it.")
                .arg(item.id));
    return ok;
}

bool PriceListRepository::update(const PriceListItem &item)
{
    return m_store->inTransaction([&] {
        return takeItem(item.category, item.id)
            && m_store->execute(
                QStringLiteral("update adt set description = ?,price = ? where id = ? and category = ?"),
                { nullable(item.description), nullable(item.price), bound(item.id), bound(item.category) });
    });
}

bool PriceListRepository::remove(const QString &category, const QString &id)
{
    return m_store->inTransaction([&] {
        return takeItem(category, id)
            && m_store->execute(QStringLiteral("delete from adt where id = ? and category = ?"),
                { bound(id), bound(category) });
    });
}

bool PriceListRepository::removeRow(const PriceListItem &item)
{
    if (!item.rowKey)
        return remove(item.category, item.id);
    return m_store->inTransaction([&] {
        return takeItem(item.category, item.id)
            && m_store->execute(QStringLiteral("delete from adt where %1 = ? and id = ? and category = ?")
                                    .arg(m_store->rowKeyColumn()),
                { *item.rowKey, bound(item.id), bound(item.category) });
    });
}

CheckedChange PriceListRepository::updateIfUnchanged(const PriceListItem &seen, const PriceListItem &changed)
{
    // The check and the change are one statement: of two editors the second waits for the first
    // one's row lock, and then finds the row no longer holds what it saw.
    int matched = 0;
    const bool ok = m_store->inTransaction([&] {
        if (!takeItem(seen.category, seen.id))
            return false;
        QVariantList values { nullable(changed.description), nullable(changed.price), bound(seen.id),
            bound(seen.category) };
        // One after the other: the values go in in the order of the conditions.
        QString statement
            = QStringLiteral("update adt set description = ?,price = ? where id = ? and category = ?");
        statement += stillHolds(QStringLiteral("description"), seen.description, values);
        statement += stillHolds(QStringLiteral("price"), seen.price, values);
        if (!m_store->execute(statement, values, &matched))
            return false;
        // Rows that repeat the id change along, as every update of an id does.
        return matched == 0 || update({ seen.category, seen.id, changed.description, changed.price });
    });
    if (!ok)
        return {};
    return matched > 0 ? CheckedChange { CheckedChange::Outcome::Done, std::nullopt } : whatChanged(seen);
}

CheckedChange PriceListRepository::removeIfUnchanged(const PriceListItem &seen)
{
    QVariantList values { bound(seen.id), bound(seen.category) };
    QString statement = QStringLiteral("delete from adt where id = ? and category = ?");
    if (seen.rowKey) {
        statement += QStringLiteral(" and %1 = ?").arg(m_store->rowKeyColumn());
        values << *seen.rowKey;
    }
    statement += stillHolds(QStringLiteral("description"), seen.description, values);
    statement += stillHolds(QStringLiteral("price"), seen.price, values);
    int matched = 0;
    if (!m_store->inTransaction([&] {
            return takeItem(seen.category, seen.id) && m_store->execute(statement, values, &matched);
        }))
        return {};
    return matched > 0 ? CheckedChange { CheckedChange::Outcome::Done, std::nullopt } : whatChanged(seen);
}

CheckedChange PriceListRepository::whatChanged(const PriceListItem &seen)
{
    auto now = item(seen.category, seen.id);
    if (!now && lastError().isValid())
        return {};
    if (!now)
        return { CheckedChange::Outcome::GoneMeanwhile, std::nullopt };
    return { CheckedChange::Outcome::ChangedMeanwhile, now };
}

std::optional<QString> PriceListRepository::setting(const QString &id)
{
    auto found = m_store->query(QStringLiteral("select description from adt where category = ? and id = ?"),
        { SettingsCategory, bound(id) });
    if (!found)
        return std::nullopt;
    found->moveFirst();
    return found->text(QStringLiteral("Description"));
}

std::optional<QVariant> PriceListRepository::settingValue(const QString &id)
{
    auto found = m_store->query(QStringLiteral("select description from adt where category = ? and id = ?"),
        { SettingsCategory, bound(id) });
    if (!found || !found->moveFirst())
        return std::nullopt;
    return found->field(QStringLiteral("Description"));
}

bool PriceListRepository::rewriteSettings(const QList<std::pair<QString, QString>> &settings)
{
    return m_store->inTransaction([&] {
        // Counters sharing a server take turns: between one counter's delete and insert another's
        // delete would find nothing to remove and both inserts would stay. After the lock the
        // delete sees every row committed before it, so exactly one row is left.
        if (!m_store->lock(QStringLiteral("settings"), Store::LockMode::Exclusive))
            return false;
        for (const auto &setting : settings) {
            if (!m_store->execute(QStringLiteral("delete from adt where category = ? and id = ?"),
                    { SettingsCategory, setting.first }))
                return false;
        }
        for (const auto &setting : settings) {
            if (!m_store->execute(
                    QStringLiteral("insert into adt (category,id,description,price) values (?,?,?,?)"),
                    { SettingsCategory, setting.first, bound(setting.second), QStringLiteral("0.00") }))
                return false;
        }
        return true;
    });
}

bool PriceListRepository::stampDate(const QDateTime &when)
{
    return rewriteSettings({ { QStringLiteral("dt"), GeneralDateText(when) } });
}
