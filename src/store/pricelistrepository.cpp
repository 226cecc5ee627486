#include "pricelistrepository.h"

#include "core/generaldate.h"
#include "store.h"

#include <QVariant>

namespace
{

// Category "90" holds the settings rows; no configuration row ever offers it.
const QString SettingsCategory = QStringLiteral("90");

// The column names the pickers show are quoted so both engines keep their case.
const QLatin1String ListColumns(
    "select id as \"ID\",description as \"Description\",price as \"Price\" from adt"
    " where category = ?");

QVariant nullable(const std::optional<QString> &text)
{
    return text ? QVariant(*text) : QVariant(QMetaType(QMetaType::QString));
}

std::optional<QString> textOf(const std::optional<QVariant> &value)
{
    if (!value || value->isNull())
        return std::nullopt;
    return value->toString();
}

} // namespace

PriceListRepository::PriceListRepository(Store *store)
    : m_store(store)
{
}

QSqlError PriceListRepository::lastError() const
{
    return m_store->lastError();
}

std::unique_ptr<RecordSet> PriceListRepository::items(const QString &category, Order order)
{
    const QString statement = order == Order::IdDescending ? ListColumns + QLatin1String(" order by id desc")
                                                           : QString(ListColumns);
    return m_store->query(statement, { category });
}

std::optional<PriceListItem> PriceListRepository::item(const QString &category, const QString &id)
{
    auto found = m_store->query(
        QStringLiteral("select description,price from adt where category = ? and id = ?"), { category, id });
    if (!found)
        return std::nullopt;
    if (!found->moveFirst()) {
        m_store->clearError();
        return std::nullopt;
    }
    return PriceListItem { category, id, textOf(found->field(QStringLiteral("description"))),
        textOf(found->field(QStringLiteral("price"))) };
}

bool PriceListRepository::add(const PriceListItem &item)
{
    return m_store->execute(
        QStringLiteral("insert into adt (category,id,description,price) values (?,?,?,?)"),
        { item.category, item.id, nullable(item.description), nullable(item.price) });
}

bool PriceListRepository::update(const PriceListItem &item)
{
    return m_store->execute(
        QStringLiteral("update adt set description = ?,price = ? where id = ? and category = ?"),
        { nullable(item.description), nullable(item.price), item.id, item.category });
}

bool PriceListRepository::remove(const QString &category, const QString &id)
{
    return m_store->execute(
        QStringLiteral("delete from adt where id = ? and category = ?"), { id, category });
}

std::optional<QString> PriceListRepository::setting(const QString &id)
{
    auto found = m_store->query(QStringLiteral("select description from adt where category = ? and id = ?"),
        { SettingsCategory, id });
    if (!found)
        return std::nullopt;
    found->moveFirst();
    return found->text(QStringLiteral("Description"));
}

std::optional<QVariant> PriceListRepository::settingValue(const QString &id)
{
    auto found = m_store->query(QStringLiteral("select description from adt where category = ? and id = ?"),
        { SettingsCategory, id });
    if (!found || !found->moveFirst())
        return std::nullopt;
    return found->field(QStringLiteral("Description"));
}

bool PriceListRepository::rewriteSettings(const QList<std::pair<QString, QString>> &settings)
{
    return m_store->inTransaction([&] {
        for (const auto &setting : settings) {
            if (!m_store->execute(QStringLiteral("delete from adt where category = ? and id = ?"),
                    { SettingsCategory, setting.first }))
                return false;
        }
        for (const auto &setting : settings) {
            if (!m_store->execute(
                    QStringLiteral("insert into adt (category,id,description,price) values (?,?,?,?)"),
                    { SettingsCategory, setting.first, setting.second, QStringLiteral("0.00") }))
                return false;
        }
        return true;
    });
}

bool PriceListRepository::stampDate(const QDateTime &when)
{
    return rewriteSettings({ { QStringLiteral("dt"), GeneralDateText(when) } });
}
