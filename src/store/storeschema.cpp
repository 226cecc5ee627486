// The numbered schema steps of the parts of the database beside the price list, taken once per
// run and never inside a change of the list: on a server, making a table or an index locks it
// whole until the transaction ends, and counters recording price changes at once then stop each
// other (or deadlock).
#include "store.h"

bool Store::ensureSchema(const QString &component, const QList<SchemaStep> &steps)
{
    const int newest = static_cast<int>(steps.size());
    if (m_schemaVersions.value(component, -1) >= newest)
        return true;
    int reached = 0;
    // Read first: a part that is up to date costs one read, and takes no lock.
    const auto present = hasTable(QStringLiteral("brasko_schema"));
    if (!present)
        return false;
    if (*present) {
        auto found
            = query(QStringLiteral("select version from brasko_schema where component = ?"), { component });
        if (!found)
            return false;
        reached
            = found->moveFirst() ? found->field(QStringLiteral("version")).value_or(QVariant(0)).toInt() : 0;
        if (reached >= newest) {
            m_schemaVersions.insert(component, reached);
            return true;
        }
    }
    const auto takeSteps = [&] {
        // Counters take the steps in turn; on a file the write lock does the same.
        if (!lock(QStringLiteral("schema"), LockMode::Exclusive))
            return false;
        if ((!*present
                && !execute(QStringLiteral("create table if not exists brasko_schema (component varchar(40)"
                                           " primary key, version integer not null)"),
                    {}))
            || !execute(QStringLiteral("insert into brasko_schema (component, version) select cast(? as "
                                       "varchar(40)), 0 where not exists (select 1 from brasko_schema"
                                       " where component = ?)"),
                { component, component }))
            return false;
        auto found
            = query(QStringLiteral("select version from brasko_schema where component = ?"), { component });
        if (!found || !found->moveFirst())
            return false;
        reached = found->field(QStringLiteral("version")).value_or(QVariant(0)).toInt();
        if (reached >= newest)
            return true;
        for (int step = reached; step < newest; ++step) {
            QStringList statements = steps.at(step).statements;
            if (isServer())
                statements += steps.at(step).serverStatements;
            for (const QString &statement : statements) {
                if (!execute(statement, {}))
                    return false;
            }
        }
        reached = newest;
        return execute(QStringLiteral("update brasko_schema set version = ? where component = ?"),
            { newest, component });
    };
    // Another program making brasko_schema at the same moment makes the server refuse one of the
    // two (a file refuses the second writer likewise); the second try then finds it made.
    if (!inTransaction(takeSteps) && (m_transactionDepth > 0 || !inTransaction(takeSteps)))
        return false;
    m_schemaVersions.insert(component, reached);
    return true;
}

void Store::indexPriceList()
{
    if (m_indexChecked)
        return;
    m_indexChecked = true;
    // Any index that leads with category then id serves, whatever its name; column names are
    // compared as the engine does (SQLite ignores their case).
    auto found = isServer()
        ? query(QStringLiteral(
                    "select count(*) as n from pg_catalog.pg_index i"
                    " join pg_catalog.pg_attribute c on c.attrelid = i.indrelid and c.attnum = i.indkey[0]"
                    " join pg_catalog.pg_attribute d on d.attrelid = i.indrelid and d.attnum = i.indkey[1]"
                    " where i.indrelid = 'adt'::regclass and c.attname = 'category' and d.attname = 'id'"),
            {})
        : query(QStringLiteral(
                    "select count(*) as n from pragma_index_list('adt') l"
                    " where (select lower(name) from pragma_index_info(l.name) where seqno = 0) = 'category'"
                    " and (select lower(name) from pragma_index_info(l.name) where seqno = 1) = 'id'"),
            {});
    if (!found || !found->moveFirst()) {
        clearError();
        return;
    }
    const bool indexed = found->field(QStringLiteral("n")).value_or(QVariant(0)).toInt() > 0;
    found.reset();
    // Without the index every look-up and every line of an import reads the whole table. It
    // changes no column and no row, so it is made wherever the list may be written; where it may
    // not (a read-only file, a table another role owns, a counter writing at this moment) the list
    // is still used as it is, only slower.
    if (!indexed && (isServer() || isWritable()))
        execute(QStringLiteral("create index if not exists adt_category_id on adt (category, id)"), {});
    clearError();
}
