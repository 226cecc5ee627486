#include "importcolumns.h"

#include "store.h"

namespace
{

const QString Table = QStringLiteral("import_columns");

// Step 1 also takes up a table an earlier program made without a step of its own, whose file name
// held at most 255 characters on a server (a file held any): both engines take the same names.
const QList<Store::SchemaStep> &schemaSteps()
{
    static const QList<Store::SchemaStep> steps {
        { { QStringLiteral("create table if not exists import_columns (file_name text primary key,"
                           " columns text not null)") },
            { QStringLiteral("alter table import_columns alter column file_name type text") } },
    };
    return steps;
}

} // namespace

ImportColumns::ImportColumns(Store *store)
    : m_store(store)
{
}

StoreResult<std::optional<QString>> ImportColumns::remembered(const QString &fileName)
{
    const auto present = m_store->hasTable(Table);
    if (!present)
        return m_store->lastError();
    if (!*present)
        return std::optional<QString>();
    auto found = m_store->query(
        QStringLiteral("select columns from import_columns where file_name = ?"), { fileName });
    if (!found)
        return m_store->lastError();
    if (!found->moveFirst())
        return std::optional<QString>();
    return found->text(QStringLiteral("columns"));
}

StoreError ImportColumns::remember(const QString &fileName, const QString &columns)
{
    const bool kept = m_store->ensureSchema(Table, schemaSteps()) && m_store->inTransaction([&] {
        // Two counters importing the same supplier's file take turns, so one row stays.
        return m_store->lock(QStringLiteral("import columns ") + fileName, Store::LockMode::Exclusive)
            && m_store->execute(
                QStringLiteral("delete from import_columns where file_name = ?"), { fileName })
            && m_store->execute(
                QStringLiteral("insert into import_columns (file_name, columns) values (?, ?)"),
                { fileName, columns });
    });
    return kept ? StoreError() : m_store->lastError();
}
