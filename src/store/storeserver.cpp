// The store on a PostgreSQL server: opening the connection, making the price-list table in an
// empty database, and finding out that a connection was lost so the next action opens it again.
#include "store.h"

#include "pricetable.h"

#include <QSqlQuery>

namespace
{

// How long a statement waits for what another counter holds before it gives up, in milliseconds:
// longer than any change of one item takes, far shorter than a person waits for a window.
constexpr int LockWaitMs = 5000;

} // namespace

bool Store::openServer()
{
    QSqlDatabase db = connection();
    if (!db.isValid())
        return fail(
            programError(QStringLiteral("The PostgreSQL driver of Qt is not installed (Debian package "
                                        "libqt6sql6-psql), so %1 cannot be opened.")
                             .arg(m_path)));
    db.setHostName(m_server->host);
    db.setPort(m_server->port);
    db.setDatabaseName(m_server->database);
    db.setUserName(m_server->user);
    // No password here: the client library reads PGPASSWORD and ~/.pgpass itself.
    db.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=brasko"));
    if (!db.open())
        return fail(programError(QStringLiteral("The database server of %1 cannot be reached: %2")
                                     .arg(m_path, db.lastError().text().trimmed())));
    // A statement waiting for rows or locks another counter holds gives up after a few seconds:
    // a window is then told to try again rather than hang until the other counter is done.
    QSqlQuery settings(db);
    if (!settings.exec(QStringLiteral("set lock_timeout = %1").arg(LockWaitMs))) {
        const QSqlError error = settings.lastError();
        settings = QSqlQuery();
        db.close();
        return fail(error);
    }
    // Another counter may be making the table at the same moment: then its table is used.
    const auto present = hasTable(PriceTable::name());
    if (!present || (!*present && !createServerTables() && hasTable(PriceTable::name()) != true)) {
        const StoreError error = m_lastError;
        db.close();
        return fail(error);
    }
    return holdsPriceList(db);
}

bool Store::createServerTables()
{
    return inTransaction([this] {
        for (const QString &statement : PriceTable::serverTables()) {
            if (!execute(statement, {}))
                return false;
        }
        return true;
    });
}

std::optional<bool> Store::hasTable(const QString &table)
{
    // On a server, a table of any schema the search path names (a role's own schema, or public),
    // exactly as the statements themselves find it.
    auto found = isServer()
        ? query(QStringLiteral("select count(*) as n from pg_catalog.pg_class where relname = ?"
                               " and relkind in ('r', 'p') and pg_catalog.pg_table_is_visible(oid)"),
            { table })
        : query(QStringLiteral("select count(*) as n from sqlite_master where type = 'table' and name = ?"),
            { table });
    if (!found || !found->moveFirst())
        return std::nullopt;
    return found->field(QStringLiteral("n")).value_or(QVariant(0)).toInt() > 0;
}

bool Store::lock(const QString &name, LockMode mode, LockWait wait)
{
    if (m_transactionDepth == 0)
        return fail(
            programError(QStringLiteral("A lock on %1 was asked for outside a transaction.").arg(name),
                QSqlError::TransactionError));
    if (!isServer())
        return true;
    // Advisory locks name a 64-bit key; the server's own text hash gives it. They end with the
    // transaction, so a counter that dies holding one frees it.
    const bool shared = mode == LockMode::Shared;
    const QString function = wait == LockWait::Wait
        ? (shared ? QStringLiteral("pg_advisory_xact_lock_shared") : QStringLiteral("pg_advisory_xact_lock"))
        : (shared ? QStringLiteral("pg_try_advisory_xact_lock_shared")
                  : QStringLiteral("pg_try_advisory_xact_lock"));
    auto got = query(QStringLiteral("select %1(hashtextextended(?, 0)) as got").arg(function),
        { QVariant(QString(QStringLiteral("brasko:") + name)) });
    if (!got || !got->moveFirst())
        return false;
    if (wait == LockWait::Wait)
        return true;
    if (got->field(QStringLiteral("got")).value_or(QVariant(false)).toBool())
        return true;
    return fail(described(programError(QStringLiteral("%1 is in use by another counter.").arg(name),
        QSqlError::TransactionError, busyCode())));
}

bool Store::reconnectIfLost()
{
    if (!m_lost)
        return true;
    {
        QSqlDatabase db = database();
        db.close();
    }
    m_lost = false;
    if (openServer())
        return true;
    m_lost = true;
    return false;
}

void Store::checkConnection()
{
    if (!isServer() || m_transactionDepth > 0 || !QSqlDatabase::contains(m_connectionName))
        return;
    // The driver counts a connection the server dropped as closed; one it has not noticed yet
    // fails the probe.
    if (isOpen()) {
        QSqlQuery probe(database());
        if (probe.exec(QStringLiteral("select 1")))
            return;
    }
    m_lost = true;
    m_lastError
        = described(programError(QStringLiteral("The connection to the database server of %1 was lost (%2). "
                                                "What this action was doing was not saved; the next action "
                                                "connects again.")
                                     .arg(m_path, m_lastError.text().trimmed())));
}
