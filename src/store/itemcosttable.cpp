#include "itemcosttable.h"

#include "boundvalues.h"
#include "pricehistorytable.h"
#include "pricelistrepository.h"
#include "stagedimport.h"
#include "store.h"

#include <QStringList>

using BoundValue::text;

namespace
{

const QString Table = QStringLiteral("item_costs");

const QList<Store::SchemaStep> &schemaSteps()
{
    static const QList<Store::SchemaStep> steps {
        { { QStringLiteral("create table if not exists item_costs (category text not null,"
                           " item_id text not null, cost text not null, primary key (category, item_id))") },
            {} },
    };
    return steps;
}

// Each change is made only while the item still holds the cost it was read with, so a change
// another counter made meanwhile shows as a statement that changed no row.
const QString Insert
    = QStringLiteral("insert into item_costs (category, item_id, cost) select cast(? as text), cast(? as "
                     "text), cast(? as text)"
                     " where not exists (select 1 from item_costs where category = ? and item_id = ?)");
const QString Update
    = QStringLiteral("update item_costs set cost = ? where category = ? and item_id = ? and cost = ?");
const QString Delete
    = QStringLiteral("delete from item_costs where category = ? and item_id = ? and cost = ?");

bool sameCost(const std::optional<Price> &a, const std::optional<Price> &b)
{
    return a.has_value() == b.has_value() && (!a || a->isSameAs(*b));
}

// The three ways a cost changes, in the order of Statements.
enum Way { Add, Change, Forget };
const QString *const Statements[] = { &Insert, &Update, &Delete };

// The way a change is made and the values of its statement.
std::pair<Way, QVariantList> statementFor(const CostChange &change)
{
    if (!change.old)
        return { Add,
            { text(change.category), text(change.id), text(change.now->text()), text(change.category),
                text(change.id) } };
    if (!change.now)
        return { Forget, { text(change.category), text(change.id), text(change.old->text()) } };
    return { Change,
        { text(change.now->text()), text(change.category), text(change.id), text(change.old->text()) } };
}

PriceChange historyRecord(const CostChange &change, const QDateTime &when, const QString &source)
{
    return { when, change.category, change.id, Price::toColumn(change.old), Price::toColumn(change.now),
        change.description, source, PriceChange::What::Cost };
}

StoreError conflict(const QStringList &ids)
{
    return StoreError::failed(ids.size() == 1
            ? QStringLiteral(
                "The cost of %1 was changed at another counter after it was read, so nothing was "
                "saved. Look it up again to see it.")
                  .arg(ids.first())
            : QStringLiteral("The costs of %1 items (%2) were changed at another counter after they were "
                             "read, so nothing was saved. Read them again to see them.")
                  .arg(ids.size())
                  .arg(QStringList(ids.mid(0, 5)).join(QStringLiteral(", "))),
        StoreError::Kind::Conflict);
}

} // namespace

const QString ItemCostTable::EditorSource = QStringLiteral("editor");

ItemCostTable::ItemCostTable(Store *store)
    : m_store(store)
{
}

bool ItemCostTable::ensureSchema()
{
    return m_store->ensureSchema(Table, schemaSteps()) && PriceHistoryTable(m_store).ensureSchema();
}

QString ItemCostTable::refusal(const Price &cost)
{
    if (!cost.isNumber())
        return QStringLiteral("\"%1\" is not a cost: a cost is a number, or nothing when it is not known.")
            .arg(cost.text());
    if (!cost.mayBeCost())
        return QStringLiteral("A cost cannot be below zero (%1).").arg(cost.text());
    return QString();
}

bool ItemCostTable::forgetRemoved(const QString &category, const QString &id)
{
    const auto present = m_store->hasTable(Table);
    if (!present || !*present)
        return present.has_value();
    QString statement
        = QStringLiteral("delete from item_costs where category = ? and ") + PriceTable::itemGoneFrom(Table);
    QVariantList values { text(category) };
    if (!id.isEmpty()) {
        statement += QLatin1String(" and item_id = ?");
        values << text(id);
    }
    return m_store->execute(statement, values);
}

StoreResult<std::optional<Price>> ItemCostTable::read(const QString &category, const QString &id)
{
    const auto present = m_store->hasTable(Table);
    if (!present)
        return m_store->lastError();
    std::optional<Price> cost;
    if (!*present)
        return cost;
    auto found
        = m_store->query(QStringLiteral("select cost from item_costs where category = ? and item_id = ?"),
            { text(category), text(id) });
    if (!found)
        return m_store->lastError();
    if (found->moveFirst())
        cost = Price::fromStored(found->text(QStringLiteral("cost")).value_or(QString()));
    return cost;
}

StoreResult<QHash<QString, Price>> ItemCostTable::readCategory(const QString &category)
{
    const auto present = m_store->hasTable(Table);
    if (!present)
        return m_store->lastError();
    QHash<QString, Price> costs;
    if (!*present)
        return costs;
    const bool read
        = m_store->readRows(QStringLiteral("select item_id, cost from item_costs where category = ?"),
            { text(category) }, [&](const StreamedRow &row) {
                costs.insert(row.value(0).toString(), Price::fromStored(row.value(1).toString()));
                return true;
            });
    if (!read)
        return m_store->lastError();
    return costs;
}

StoreError ItemCostTable::set(const CostChange &change, const QDateTime &when, const QString &source)
{
    if (change.now) {
        const QString why = refusal(*change.now);
        if (!why.isEmpty())
            return StoreError::failed(why);
    }
    StoreError found;
    const bool saved = ensureSchema() && m_store->inTransaction([&] {
        // The item's turn, as a change of its price takes it: an import running meanwhile refuses it.
        if (PriceListRepository(m_store).takeItem(change.category, change.id).isValid())
            return false;
        const auto now = read(change.category, change.id);
        if (!now) {
            found = now.error();
            return false;
        }
        if (!sameCost(*now, change.old)) {
            found = conflict({ change.id });
            return false;
        }
        if (sameCost(*now, change.now))
            return true;
        // The cost as it is, not as it was passed: "5.0" seen and "5" kept is the same cost.
        CostChange made = change;
        made.old = *now;
        const auto [way, values] = statementFor(made);
        return m_store->execute(*Statements[way], values)
            && PriceHistoryTable(m_store).record(historyRecord(made, when, source));
    });
    if (saved)
        return StoreError();
    return found.isValid() ? found : m_store->lastError();
}

StoreError ItemCostTable::setCosts(
    const QList<CostChange> &changes, const QDateTime &when, const QString &source)
{
    for (const CostChange &change : changes) {
        if (change.now) {
            const QString why = refusal(*change.now);
            if (!why.isEmpty())
                return StoreError::failed(QStringLiteral("%1: %2").arg(change.id, why));
        }
    }
    std::unique_ptr<PreparedStatement> prepared[3];
    for (int i = 0; i < 3; ++i) {
        prepared[i] = m_store->prepare(*Statements[i]);
        if (!prepared[i])
            return m_store->lastError();
    }
    auto recorder = PriceHistoryTable(m_store).prepareRecorder(when, source, PriceChange::What::Cost);
    if (!recorder)
        return m_store->lastError();
    QStringList changedMeanwhile;
    for (const CostChange &change : changes) {
        if (sameCost(change.old, change.now))
            continue;
        const auto [way, values] = statementFor(change);
        PreparedStatement &run = *prepared[way];
        if (!run.exec(values))
            return m_store->lastError();
        if (run.rowsAffected() != 1) {
            changedMeanwhile << change.id;
            continue;
        }
        if (!recorder->record(historyRecord(change, when, source)))
            return m_store->lastError();
    }
    return changedMeanwhile.isEmpty() ? StoreError() : conflict(changedMeanwhile);
}

StoreError ItemCostTable::setStagedCosts(const QDateTime &when, const QString &source)
{
    const QString staged = StagedImport::table();
    QStringList changedMeanwhile;
    // A cost is compared as the text it was read as: the table keeps each cost's one text.
    const bool read = m_store->readRows(
        QStringLiteral("select s.id from %1 s left join item_costs c on c.category = s.category and"
                       " c.item_id = s.id where s.cost_changes and (c.cost is distinct from s.old_cost)"
                       " order by s.n")
            .arg(staged),
        {}, [&](const StreamedRow &row) {
            changedMeanwhile << row.value(0).toString();
            return true;
        });
    if (!read)
        return m_store->lastError();
    if (!changedMeanwhile.isEmpty())
        return conflict(changedMeanwhile);
    const bool written = PriceHistoryTable(m_store).recordStagedCosts(when, source)
        && m_store->execute(
            QStringLiteral("delete from item_costs c using %1 s where s.cost_changes and"
                           " s.new_cost is null and c.category = s.category and c.item_id = s.id")
                .arg(staged),
            {})
        && m_store->execute(
            QStringLiteral("update item_costs c set cost = s.new_cost from %1 s where"
                           " s.cost_changes and s.old_cost is not null and s.new_cost is not null"
                           " and c.category = s.category and c.item_id = s.id")
                .arg(staged),
            {})
        && m_store->execute(
            QStringLiteral("insert into item_costs (category, item_id, cost) select category, id,"
                           " new_cost from %1 where cost_changes and old_cost is null and"
                           " new_cost is not null")
                .arg(staged),
            {});
    return m_store->errorUnless(written);
}
