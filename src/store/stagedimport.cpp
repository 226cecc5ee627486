#include "stagedimport.h"

#include "steptimer.h"
#include "store.h"

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

QString number(int value)
{
    return QString::number(value);
}

QString flag(bool value)
{
    return value ? QStringLiteral("t") : QStringLiteral("f");
}

} // namespace

StagedImport::StagedImport(Store *store, StepTimer *steps)
    : m_store(store)
    , m_steps(steps)
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
            QStringLiteral("create temporary table %1 (n integer not null, kind smallint not null,"
                           " category text not null, id text not null, old_description text, old_price text,"
                           " new_description text, has_description boolean not null, new_price text,"
                           " history_description text not null, record boolean not null,"
                           " cost_changes boolean not null, old_cost text, new_cost text) on commit drop")
                .arg(table()),
            {});
    lap("stage: create");
    return made;
}

void StagedImport::lap(const char *step)
{
    if (m_steps)
        m_steps->lap(step);
}

bool StagedImport::add(const Row &row)
{
    const std::optional<QString> values[ColumnCount]
        = { number(m_next++), number(static_cast<int>(row.kind)), row.category, row.id, row.oldDescription,
              row.oldPrice, row.newDescription, flag(row.newDescription.has_value()), row.newPrice,
              row.historyDescription, flag(row.record), flag(row.costChanges), row.oldCost, row.newCost };
    for (int column = 0; column < ColumnCount; ++column)
        appendElement(m_columns[column], values[column]);
    return ++m_buffered < RowsPerStatement || flush();
}

bool StagedImport::flush()
{
    if (m_buffered == 0)
        return true;
    QVariantList arrays;
    for (QString &column : m_columns) {
        arrays << QVariant(column + QLatin1Char('}'));
        column = QStringLiteral("{");
    }
    m_buffered = 0;
    lap("stage: build arrays");
    const bool sent = m_store->execute(
        QStringLiteral("insert into %1 (n, kind, category, id, old_description, old_price, new_description,"
                       " has_description, new_price, history_description, record, cost_changes, old_cost,"
                       " new_cost) select * from unnest(cast(? as integer[]), cast(? as smallint[]),"
                       " cast(? as text[]), cast(? as text[]), cast(? as text[]), cast(? as text[]),"
                       " cast(? as text[]), cast(? as boolean[]), cast(? as text[]), cast(? as text[]),"
                       " cast(? as boolean[]), cast(? as boolean[]), cast(? as text[]), cast(? as text[]))")
            .arg(table()),
        arrays);
    lap("stage: insert");
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
    lap("stage: analyze");
    return analysed;
}
