#include "pricehistory.h"

#include "core/price.h"
#include "store.h"

#include <QVariant>

const QString PriceHistory::EditorSource = QStringLiteral("editor");

namespace
{

const QString Table = QStringLiteral("price_history");
const QString DateFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

// Step 1 also takes up a table an earlier program made without a step of its own, whose category
// held at most 16 characters on a server (a file held any): both engines take the same texts.
const QList<Store::SchemaStep> &schemaSteps()
{
    static const QList<Store::SchemaStep> steps {
        { { QStringLiteral("create table if not exists price_history (changed_at varchar(32) not null,"
                           " category text not null, item_id text not null, old_price text, new_price text,"
                           " description text, source text not null)"),
              QStringLiteral(
                  "create index if not exists price_history_item on price_history (category, item_id)") },
            { QStringLiteral("alter table price_history alter column category type text") } },
    };
    return steps;
}

QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

QVariant nullable(const std::optional<QString> &value)
{
    return value ? text(*value) : QVariant(QMetaType(QMetaType::QString));
}

std::optional<QString> textOf(const std::optional<QVariant> &value)
{
    if (!value || value->isNull())
        return std::nullopt;
    return value->toString();
}

} // namespace

PriceHistory::PriceHistory(Store *store)
    : m_store(store)
    , m_priceList(store)
{
}

StoreError PriceHistory::lastError() const
{
    return m_store->lastError();
}

bool PriceHistory::ensureSchema()
{
    return m_store->ensureSchema(Table, schemaSteps());
}

QString PriceHistory::recordStatement()
{
    return QStringLiteral("insert into price_history (changed_at, category, item_id, old_price, new_price,"
                          " description, source) values (?, ?, ?, ?, ?, ?, ?)");
}

std::pair<QVariant, QVariant> PriceHistory::sharedValues(const QDateTime &when, const QString &source)
{
    return { when.toString(DateFormat), text(source) };
}

QVariantList PriceHistory::ownValues(const PriceChange &change)
{
    return { text(change.category), text(change.id), nullable(change.oldPrice), nullable(change.newPrice),
        text(change.description) };
}

bool PriceHistory::record(const PriceChange &change)
{
    const auto [when, source] = sharedValues(change.when, change.source);
    return m_store->execute(
        recordStatement(), QVariantList { when } + ownValues(change) + QVariantList { source });
}

std::optional<PriceListItem> PriceHistory::current(const PriceListItem &item, bool *failed)
{
    auto found = m_priceList.item(item.category, item.id);
    *failed = !found && m_priceList.lastError().isValid();
    return found;
}

bool PriceHistory::add(const PriceListItem &item, const QDateTime &when, const QString &source)
{
    return ensureSchema() && m_store->inTransaction([&] {
        return m_priceList.add(item)
            && record({ when, item.category, item.id, std::nullopt, item.price,
                item.description.value_or(QString()), source });
    });
}

bool PriceHistory::update(const PriceListItem &item, const QDateTime &when, const QString &source)
{
    return ensureSchema() && m_store->inTransaction([&] {
        // The item is taken before it is read, so the price read is the one the change replaces.
        if (!m_priceList.takeItem(item.category, item.id))
            return false;
        bool failed = false;
        const auto before = current(item, &failed);
        if (failed || !m_priceList.update(item))
            return false;
        // A change of the description alone is no price change.
        const std::optional<QString> old = before ? before->price : std::nullopt;
        if (before && old.has_value() == item.price.has_value() && (!old || Price::same(*old, *item.price)))
            return true;
        return record(
            { when, item.category, item.id, old, item.price, item.description.value_or(QString()), source });
    });
}

bool PriceHistory::removeRow(const PriceListItem &item, const QDateTime &when, const QString &source)
{
    return ensureSchema() && m_store->inTransaction([&] {
        if (!m_priceList.takeItem(item.category, item.id))
            return false;
        bool failed = false;
        const auto before = current(item, &failed);
        if (failed || !m_priceList.removeRow(item))
            return false;
        if (!before)
            return true;
        return record({ when, item.category, item.id, before->price, std::nullopt,
            before->description.value_or(QString()), source });
    });
}

CheckedChange PriceHistory::updateIfUnchanged(
    const PriceListItem &seen, const PriceListItem &changed, const QDateTime &when, const QString &source)
{
    CheckedChange result;
    const bool ok = ensureSchema() && m_store->inTransaction([&] {
        result = m_priceList.updateIfUnchanged(seen, changed);
        if (result.outcome != CheckedChange::Outcome::Done)
            return result.outcome != CheckedChange::Outcome::Failed;
        // The row held the price seen, so that is the price it had.
        if (seen.price.has_value() == changed.price.has_value()
            && (!seen.price || Price::same(*seen.price, *changed.price)))
            return true;
        return record({ when, changed.category, changed.id, seen.price, changed.price,
            changed.description.value_or(QString()), source });
    });
    return ok ? result : CheckedChange {};
}

CheckedChange PriceHistory::removeIfUnchanged(
    const PriceListItem &seen, const QDateTime &when, const QString &source)
{
    CheckedChange result;
    const bool ok = ensureSchema() && m_store->inTransaction([&] {
        result = m_priceList.removeIfUnchanged(seen);
        if (result.outcome != CheckedChange::Outcome::Done)
            return result.outcome != CheckedChange::Outcome::Failed;
        return record({ when, seen.category, seen.id, seen.price, std::nullopt,
            seen.description.value_or(QString()), source });
    });
    return ok ? result : CheckedChange {};
}

std::optional<QList<PriceChange>> PriceHistory::changes(const QString &category, const QString &id)
{
    QList<PriceChange> out;
    // A database where nothing was ever recorded has no table yet: no changes, not a failure. Not
    // knowing whether it has one is a failure.
    const auto present = m_store->hasTable(Table);
    if (!present)
        return std::nullopt;
    if (!*present)
        return out;
    auto rows = m_store->query(QStringLiteral("select changed_at, old_price, new_price, description, source"
                                              " from price_history where category = ? and item_id = ?"
                                              " order by changed_at desc"),
        { text(category), text(id) });
    if (!rows)
        return std::nullopt;
    for (bool on = rows->moveFirst(); on; on = rows->moveNext()) {
        out.push_back(
            { QDateTime::fromString(rows->text(QStringLiteral("changed_at")).value_or(QString()), DateFormat),
                category, id, textOf(rows->field(QStringLiteral("old_price"))),
                textOf(rows->field(QStringLiteral("new_price"))),
                rows->text(QStringLiteral("description")).value_or(QString()),
                rows->text(QStringLiteral("source")).value_or(QString()) });
    }
    return out;
}
