#include "importcolumns.h"

#include "store.h"

#include "core/supplierimport.h"

namespace
{

const QString Table = QStringLiteral("import_columns");

// A supplier's files share their mapping under a name no file has (a file's name holds no '/'),
// so the one of next month, named by another date, opens mapped.
QString supplierName(const QString &fileName)
{
    return u'/' + SupplierImport::supplierKey(fileName);
}

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
    for (const QString &name : { fileName, supplierName(fileName) }) {
        auto found = m_store->query(
            QStringLiteral("select columns from import_columns where file_name = ?"), { name });
        if (!found)
            return m_store->lastError();
        if (found->moveFirst())
            return found->text(QStringLiteral("columns"));
    }
    return std::optional<QString>();
}

StoreError ImportColumns::remember(const QString &fileName, const QString &columns)
{
    const auto keep = [&](const QString &name) {
        // Two counters importing the same supplier's file take turns, so one row stays.
        return m_store->lock(QStringLiteral("import columns ") + name, Store::LockMode::Exclusive)
            && m_store->execute(QStringLiteral("delete from import_columns where file_name = ?"), { name })
            && m_store->execute(
                QStringLiteral("insert into import_columns (file_name, columns) values (?, ?)"),
                { name, columns });
    };
    const bool kept = m_store->ensureSchema(Table, schemaSteps())
        && m_store->inTransaction([&] { return keep(fileName) && keep(supplierName(fileName)); });
    return m_store->errorUnless(kept);
}
