#include "stagedimport.h"

#include "steptimer.h"
#include "store.h"

#include <iterator>

namespace
{

// Rows sent in one statement: each column goes as one array, so a statement costs one round trip
// however many rows it holds; the bound keeps the arrays' texts to a few megabytes.
constexpr int RowsPerStatement = 20000;

// An element of a PostgreSQL array's text form: NULL, or the text quoted with its quotes and
// backslashes escaped. The array travels as one bound value, so nothing in it reaches the
// statement's text.
void appendElement(QString &array, const std::optional<QString> &value)
{
    if (array.size() > 1)
        array += QLatin1Char(',');
    if (!value) {
        array += QLatin1String("NULL");
        return;
    }
    array += QLatin1Char('"');
    // Most texts hold neither a quote nor a backslash and go in whole.
    if (!value->contains(u'"') && !value->contains(u'\\')) {
        array += *value;
    } else {
        for (const QChar c : *value) {
            if (c == u'"' || c == u'\\')
                array += QLatin1Char('\\');
            array += c;
        }
    }
    array += QLatin1Char('"');
}

void appendNumber(QString &array, int value)
{
    if (array.size() > 1)
        array += QLatin1Char(',');
    array += QString::number(value);
}

void appendFlag(QString &array, bool value)
{
    if (array.size() > 1)
        array += QLatin1Char(',');
    array += value ? QLatin1Char('t') : QLatin1Char('f');
}

// Each column's name in the table and the type its array is sent as.
struct ColumnName {
    const char *name;
    const char *type;
};
constexpr ColumnName SentColumns[] = { { "kind", "smallint" }, { "category", "text" }, { "id", "text" },
    { "old_description", "text" }, { "old_price", "text" }, { "new_description", "text" },
    { "new_price", "text" }, { "record", "boolean" }, { "cost_changes", "boolean" }, { "old_cost", "text" },
    { "new_cost", "text" } };

} // namespace

StagedImport::StagedImport(Store *store, bool costs, StepTimer &steps)
    : m_store(store)
    , m_steps(steps)
    , m_sent(costs ? ColumnCount : CostChanges)
{
    for (QString &column : m_columns)
        column = QStringLiteral("{");
}

bool StagedImport::create()
{
    // The import's statements are few and each joins every staged row: the server's JIT compiler,
    // which their estimated cost wakes, would spend longer compiling them than they run, and
    // their hashes and sorts would spill to disk within the default memory. Both settings end
    // with the transaction.
    const bool made = m_store->execute(QStringLiteral("set local jit = off"), {})
        && m_store->execute(QStringLiteral("set local work_mem = '64MB'"), {})
        && m_store->execute(
            QStringLiteral(
                "create temporary table %1 (n integer not null, kind smallint not null,"
                " category text not null, id text not null, old_description text, old_price text,"
                " new_description text, has_description boolean not null, new_price text,"
                " history_description text not null, record boolean not null,"
                " cost_changes boolean not null default false, old_cost text, new_cost text) on commit drop")
                .arg(table()),
            {});
    m_steps.lap("stage: create");
    return made;
}

bool StagedImport::add(const Row &row)
{
    appendNumber(m_columns[Kind], static_cast<int>(row.kind));
    appendElement(m_columns[Category], row.category);
    appendElement(m_columns[Id], row.id);
    appendElement(m_columns[OldDescription], row.oldDescription);
    appendElement(m_columns[OldPrice], row.oldPrice);
    appendElement(m_columns[NewDescription], row.newDescription);
    appendElement(m_columns[NewPrice], row.newPrice);
    appendFlag(m_columns[Record], row.record);
    if (m_sent > CostChanges) {
        appendFlag(m_columns[CostChanges], row.costChanges);
        appendElement(m_columns[OldCost], row.oldCost);
        appendElement(m_columns[NewCost], row.newCost);
    }
    return ++m_buffered < RowsPerStatement || flush();
}

bool StagedImport::flush()
{
    if (m_buffered == 0)
        return true;
    static_assert(std::size(SentColumns) == ColumnCount);
    QVariantList values { m_flushed };
    QStringList names;
    QStringList arrays;
    for (int column = 0; column < m_sent; ++column) {
        values << QVariant(m_columns[column] + QLatin1Char('}'));
        m_columns[column] = QStringLiteral("{");
        names << QLatin1String(SentColumns[column].name);
        arrays << QStringLiteral("cast(? as %1[])").arg(QLatin1String(SentColumns[column].type));
    }
    m_flushed += m_buffered;
    m_buffered = 0;
    m_steps.lap("stage: build arrays");
    // The rows are numbered in the order they were added; a changed row that brings no description
    // of its own keeps the one it had, which the history records beside its change.
    const QString columns = names.join(QLatin1Char(','));
    const bool sent = m_store->execute(
        QStringLiteral(
            "insert into %1 (n, has_description, history_description, %2) select cast(? as integer)"
            " + s.n, s.new_description is not null, coalesce(s.new_description, s.old_description,"
            " ''), %3 from unnest(%4) with ordinality as s(%2, n)")
            .arg(table(), columns, QStringLiteral("s.") + names.join(QStringLiteral(",s.")),
                arrays.join(QLatin1Char(','))),
        values);
    m_steps.lap("stage: insert");
    return sent;
}

bool StagedImport::finish()
{
    if (!flush())
        return false;
    // The planner joins the staged rows with the list by their numbers, not a guess. A sample of
    // a tenth of the usual size tells it the counts and proportions these statements need, in a
    // tenth of the time; the setting ends with the transaction.
    const bool analysed = m_store->execute(QStringLiteral("set local default_statistics_target = 10"), {})
        && m_store->execute(QStringLiteral("analyze %1").arg(table()), {});
    m_steps.lap("stage: analyze");
    return analysed;
}
