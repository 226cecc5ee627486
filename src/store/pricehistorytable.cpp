#include "pricehistorytable.h"

#include "stagedimport.h"

#include "boundvalues.h"
#include "store.h"

#include <algorithm>

using BoundValue::nullable;
using BoundValue::text;
using BoundValue::textOf;

namespace
{

const QString Table = QStringLiteral("price_history");
const QString DateFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

// The time and the source are the first and last placeholders: work that records many changes
// binds them once.
const QString Record = QStringLiteral("insert into price_history (changed_at, category, item_id, old_price,"
                                      " new_price, description, source) values (?, ?, ?, ?, ?, ?, ?)");
// A cost's change is told apart by what it changed; a price's names nothing there, as every record
// made before costs were kept does.
const QString RecordCost
    = QStringLiteral("insert into price_history (changed_at, category, item_id, old_price, new_price,"
                     " description, source, what) values (?, ?, ?, ?, ?, ?, ?, 'cost')");
const QString CostWhat = QStringLiteral("cost");

const QString &recordStatement(PriceChange::What what)
{
    return what == PriceChange::What::Cost ? RecordCost : Record;
}

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
        { { QStringLiteral("alter table price_history add column what text") }, {} },
    };
    return steps;
}

QVariant timeValue(const QDateTime &when)
{
    return when.toString(DateFormat);
}

// A change's own values: every placeholder but the first and the last.
QVariantList ownValues(const PriceChange &change)
{
    return { text(change.category), text(change.id), nullable(change.oldPrice), nullable(change.newPrice),
        text(change.description) };
}

} // namespace

PriceHistoryTable::PriceHistoryTable(Store *store)
    : m_store(store)
{
}

bool PriceHistoryTable::ensureSchema()
{
    return m_store->ensureSchema(Table, schemaSteps());
}

bool PriceHistoryTable::record(const PriceChange &change)
{
    return m_store->execute(recordStatement(change.what),
        QVariantList { timeValue(change.when) } + ownValues(change) + QVariantList { text(change.source) });
}

std::optional<QList<PriceChange>> PriceHistoryTable::changes(const QString &category, const QString &id)
{
    QList<PriceChange> out;
    // A database where nothing was ever recorded has no table yet: no changes, not a failure. Not
    // knowing whether it has one is a failure.
    const auto present = m_store->hasTable(Table);
    if (!present)
        return std::nullopt;
    if (!*present)
        return out;
    // Every column, so a table an earlier program left without the column naming what changed reads
    // as one of price changes only.
    auto rows = m_store->query(QStringLiteral("select * from price_history where category = ? and item_id = ?"
                                              " order by changed_at desc"),
        { text(category), text(id) });
    if (!rows)
        return std::nullopt;
    for (bool on = rows->moveFirst(); on; on = rows->moveNext()) {
        const auto what = rows->text(QStringLiteral("what"));
        // What a newer program records beside prices and costs is not shown as either.
        if (what && *what != CostWhat)
            continue;
        out.push_back(
            { QDateTime::fromString(rows->text(QStringLiteral("changed_at")).value_or(QString()), DateFormat),
                category, id, textOf(rows->field(QStringLiteral("old_price"))),
                textOf(rows->field(QStringLiteral("new_price"))),
                rows->text(QStringLiteral("description")).value_or(QString()),
                rows->text(QStringLiteral("source")).value_or(QString()),
                what ? PriceChange::What::Cost : PriceChange::What::Price });
    }
    // A cost changed with the price at one moment comes first, whatever order the engine gave them.
    std::stable_sort(out.begin(), out.end(), [](const PriceChange &a, const PriceChange &b) {
        if (a.when != b.when)
            return a.when > b.when;
        return a.what == PriceChange::What::Cost && b.what == PriceChange::What::Price;
    });
    return out;
}

std::unique_ptr<PriceHistoryTable::Recorder> PriceHistoryTable::prepareRecorder(
    const QDateTime &when, const QString &source, PriceChange::What what)
{
    auto statement = m_store->prepare(recordStatement(what));
    if (!statement || !statement->keep(0, timeValue(when)) || !statement->keep(6, text(source)))
        return nullptr;
    return std::make_unique<Recorder>(std::move(statement));
}

PriceHistoryTable::Recorder::Recorder(std::unique_ptr<PreparedStatement> statement)
    : m_statement(std::move(statement))
{
}

PriceHistoryTable::Recorder::~Recorder() = default;

bool PriceHistoryTable::Recorder::record(const PriceChange &change)
{
    return m_statement->exec(ownValues(change));
}

bool PriceHistoryTable::recordStaged(const QDateTime &when, const QString &source)
{
    return m_store->execute(
        QStringLiteral(
            "insert into price_history (changed_at, category, item_id, old_price, new_price,"
            " description, source) select ?, s.category, s.id, s.old_price, s.new_price,"
            " s.history_description, ? from %1 s where s.record and (s.kind <> %2 or exists (select 1"
            " from adt a where a.category = s.category and a.id = s.id)) order by s.n")
            .arg(StagedImport::table())
            .arg(StagedImport::Missing),
        { timeValue(when), text(source) });
}

bool PriceHistoryTable::recordStagedCosts(const QDateTime &when, const QString &source)
{
    return m_store->execute(
        QStringLiteral("insert into price_history (changed_at, category, item_id, old_price,"
                       " new_price, description, source, what) select ?, s.category, s.id,"
                       " s.old_cost, s.new_cost, s.history_description, ?, '%2' from %1 s"
                       " where s.cost_changes order by s.n")
            .arg(StagedImport::table(), CostWhat),
        { timeValue(when), text(source) });
}
