#include "partattributetable.h"

#include "pricetable.h"
#include "store.h"

namespace
{

const QString Table = QStringLiteral("part_attributes");

const QList<Store::SchemaStep> &schemaSteps()
{
    static const QList<Store::SchemaStep> steps {
        { { QStringLiteral("create table if not exists part_attributes (category text not null,"
                           " item_id text not null, attribute text not null, value text not null,"
                           " guessed integer not null, primary key (category, item_id, attribute))") },
            {} },
    };
    return steps;
}

// A row whose attribute this program does not know, or whose value it would not accept, is
// passed over rather than shown as something it is not.
void take(PartAttributes &into, const RecordSet &row)
{
    const auto attribute = attributeFromKey(row.text(QStringLiteral("attribute")).value_or(QString()));
    if (!attribute)
        return;
    const auto value = readAttribute(*attribute, row.text(QStringLiteral("value")).value_or(QString())).value;
    if (value)
        into.set(*attribute, *value, row.field(QStringLiteral("guessed")).value_or(QVariant(0)).toInt() != 0);
}

} // namespace

PartAttributeTable::PartAttributeTable(Store *store)
    : m_store(store)
{
}

StoreResult<PartAttributes> PartAttributeTable::read(const QString &category, const QString &itemId)
{
    const auto present = m_store->hasTable(Table);
    if (!present)
        return m_store->lastError();
    PartAttributes attributes;
    if (!*present)
        return attributes;
    auto found = m_store->query(QStringLiteral("select attribute, value, guessed from part_attributes"
                                               " where category = ? and item_id = ?"),
        { category, itemId });
    if (!found)
        return m_store->lastError();
    for (bool more = found->moveFirst(); more; more = found->moveNext())
        take(attributes, *found);
    return attributes;
}

StoreResult<QHash<QString, PartAttributes>> PartAttributeTable::readCategory(const QString &category)
{
    const auto present = m_store->hasTable(Table);
    if (!present)
        return m_store->lastError();
    QHash<QString, PartAttributes> items;
    if (!*present)
        return items;
    auto found = m_store->query(
        QStringLiteral("select item_id, attribute, value, guessed from part_attributes where category = ?"),
        { category });
    if (!found)
        return m_store->lastError();
    for (bool more = found->moveFirst(); more; more = found->moveNext())
        take(items[found->text(QStringLiteral("item_id")).value_or(QString())], *found);
    return items;
}

bool PartAttributeTable::forgetRemoved(const QString &category, const QString &id)
{
    const auto present = m_store->hasTable(Table);
    if (!present || !*present)
        return present.has_value();
    QString statement = QStringLiteral("delete from part_attributes where category = ? and ")
        + PriceTable::itemGoneFrom(Table);
    QVariantList values { category };
    if (!id.isEmpty()) {
        statement += QLatin1String(" and item_id = ?");
        values << id;
    }
    return m_store->execute(statement, values);
}

StoreError PartAttributeTable::write(
    const QString &category, const QString &itemId, const PartAttributes &attributes)
{
    const bool written = m_store->ensureSchema(Table, schemaSteps()) && m_store->inTransaction([&] {
        // Two counters keeping the same item's attributes take turns, so neither half-replaces
        // the other's.
        if (!m_store->lock(
                QStringLiteral("attributes %1/%2").arg(category, itemId), Store::LockMode::Exclusive))
            return false;
        QVariantList known { category, itemId };
        for (const AttributeInfo &info : allAttributes())
            known << QString::fromLatin1(info.key);
        QString marks = QStringLiteral("?");
        for (qsizetype i = 3; i < known.size(); ++i)
            marks += QLatin1String(", ?");
        if (!m_store->execute(QStringLiteral("delete from part_attributes where category = ? and item_id = ?"
                                             " and attribute in (%1)")
                                  .arg(marks),
                known))
            return false;
        for (auto it = attributes.values().cbegin(); it != attributes.values().cend(); ++it) {
            if (!m_store->execute(
                    QStringLiteral("insert into part_attributes (category, item_id, attribute, value,"
                                   " guessed) values (?, ?, ?, ?, ?)"),
                    { category, itemId, QString::fromLatin1(attributeInfo(it.key()).key), it->text,
                        it->guessed ? 1 : 0 }))
                return false;
        }
        return true;
    });
    return m_store->errorUnless(written);
}
