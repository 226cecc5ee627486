#pragma once

#include "recordset.h"
#include "serveraddress.h"
#include "storeerror.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <memory>
#include <optional>

class Store;

// A statement prepared once and run many times with new values (bulk work such as an import);
// the values are checked and bound as Store::execute does. Lives no longer than its store.
class PreparedStatement final
{
public:
    PreparedStatement(Store *store, QSqlQuery query);
    // Binds a value every later exec() keeps (one all the rows share), so it is bound once;
    // exec() then binds its values to the other placeholders, in order.
    bool keep(int index, const QVariant &value);
    bool exec(const QVariantList &values);
    // How many rows the last exec() changed.
    int rowsAffected() const { return m_query.numRowsAffected(); }

private:
    Store *m_store;
    QSqlQuery m_query;
    QList<bool> m_kept;
};

// The row a streamed read (Store::readRows) is on: its columns by position. Valid only during the
// call that hands it over.
class StreamedRow final
{
public:
    explicit StreamedRow(const QSqlQuery &query)
        : m_query(query)
    {
    }
    QVariant value(int column) const { return m_query.value(column); }

private:
    const QSqlQuery &m_query;
};

// The price-list store: the one connection, on db.mdb or on a PostgreSQL database shared by several
// counters, and the way every statement of the program is run on it. Statement texts are fixed by
// their callers and keep to what both engines understand; values go into them only as bound
// values, so nothing a person types can end a literal early or add a statement.
class Store final
{
public:
    // The store works on db.mdb beside the executable unless told otherwise (tests, tools). A
    // location written as postgresql://user@host[:port]/dbname names a database server.
    explicit Store(const QString &location = defaultDatabasePath(),
        const QString &connectionName = QStringLiteral("con1"));
    ~Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    // db.mdb in the folder that holds the executable.
    static QString defaultDatabasePath();

    // Opens the existing database; never creates the file. An empty server database gets the
    // price-list table, so a shop can start on a fresh one. On failure lastError() says why.
    bool open();
    // Loads the database driver (a plugin and the library under it) that open() will use, so
    // that work can be done while something else waits; open() does it itself otherwise.
    void loadDriver();
    // The file's path, or the server's address (for messages that name where data is kept).
    QString path() const { return m_path; }
    bool isServer() const { return m_server.has_value(); }
    // The same, also for an address that was written wrongly (and so cannot be opened).
    bool namesServer() const { return m_server || !m_addressError.isEmpty(); }
    std::optional<ServerAddress> server() const { return m_server; }
    // Which database this is, in a few words for the status bar.
    QString shortName() const;
    // The column expression that names one row of adt for good: SQLite's rowid, or the key
    // column the server's table has for it.
    QString rowKeyColumn() const;
    bool isOpen() const;
    // Identifies the database file that was (or was to be) opened, for the start-up failure message.
    QString connectionString() const;
    // Why the last call failed, naming this store as its source.
    StoreError lastError() const { return m_lastError; }
    // No error when the work was done; otherwise why not, as the store last saw it.
    StoreError errorUnless(bool done) const { return done ? StoreError() : m_lastError; }
    void clearError() { m_lastError = StoreError(); }
    // Ends an action with a reason of the program's own (a refusal, not the engine's error); false.
    bool refuse(const QString &text, const QString &code = QString());
    // The same reason as a value, for work that keeps its own (an import), setting nothing.
    StoreError refusal(const QString &text, const QString &code = QString()) const;

    // Runs a statement that returns no rows, or a query (nullptr on failure), with the values bound
    // to the statement's '?' placeholders, in order; lastError() says why one failed. A text value
    // the engine would not give back as it was (NUL, noncharacters) is refused before anything runs.
    bool execute(const QString &statement, const QVariantList &values, int *rowsAffected = nullptr);
    std::unique_ptr<RecordSet> query(const QString &statement, const QVariantList &values);
    // A query whose rows are read once, front to back, as they come: nothing is kept for going back.
    // nullopt (and lastError()) on failure.
    std::optional<QSqlQuery> select(const QString &statement, const QVariantList &values);
    // nullptr (and lastError()) when the statement cannot be prepared.
    std::unique_ptr<PreparedStatement> prepare(const QString &statement);
    // Reads a query's rows one at a time, forward only, keeping none of them (a list of a million
    // items costs no memory); row() gets each in turn and stops the read by returning false. No
    // other statement may run on this store until it returns. false (and lastError()) when the
    // statement or a fetch failed, reported and reconnected as execute() does; true when every row
    // was read or row() stopped it.
    bool readRows(const QString &statement, const QVariantList &values,
        const std::function<bool(const StreamedRow &)> &row);

    // Whether the database has this table where the connection looks for its tables (on a server,
    // the schemas of its search path); nullopt (and lastError()) when that cannot be read.
    std::optional<bool> hasTable(const QString &table);

    // One numbered step of a part of the database's tables: its statements for both engines, then
    // those a server needs besides.
    struct SchemaStep {
        QStringList statements;
        QStringList serverStatements = {};
    };
    // Brings a part of the database (the price history, the remembered import columns) up to its
    // newest step, recording the version reached in brasko_schema. Counters take the steps in
    // turn, each in a transaction of its own, and a store asks only once per run: so no change of
    // the price list ever makes a table, whose locks would stop every other counter's changes.
    // Call it before a change's transaction, not in it. A part a newer program took further is
    // left as it is.
    bool ensureSchema(const QString &component, const QList<SchemaStep> &steps);

    // Runs the work in one transaction: everything it did stays only when it returns true. Work
    // started inside another's transaction is part of that one (and undone with it).
    bool inTransaction(const std::function<bool()> &work);

    // Takes a lock on a named thing (the price list, one item, the settings) for the rest of the
    // running transaction, so counters that share a server take turns on it. Shared locks of one
    // name go together; an exclusive one waits for all others. Without wait, a lock another
    // counter holds is not waited for: false, and lastError() says so (Busy). A file database
    // lets one writer in at a time anyway, so there it is always granted. Only inside
    // inTransaction().
    enum class LockMode { Shared, Exclusive };
    enum class LockWait { Wait, DoNotWait };
    bool lock(const QString &name, LockMode mode, LockWait wait = LockWait::Wait);
    // The code lastError() carries when lock() was refused because another counter holds it, or a
    // server gave up waiting for a row another counter is changing (no window waits for long).
    static QString busyCode() { return QStringLiteral("BUSY"); }
    bool lastErrorIsBusy() const { return m_lastError.isBusy(); }

    // Whether changes can be written: the file and its folder (SQLite writes its journal there).
    bool isWritable() const;

private:
    friend class PreparedStatement;
    // The benchmarks' raw reference figures run beside the program's own statements on the
    // connection itself (benchconnection.h); the program's statements all go through the
    // functions above, which reconnect and report alike.
    friend class BenchConnection;
    QSqlDatabase database() const;
    bool fail(const QSqlError &error);
    bool fail(const StoreError &error);
    // A failure of the program's own making: its words alone, with no driver's words after them.
    static QSqlError programError(const QString &words,
        QSqlError::ErrorType type = QSqlError::ConnectionError, const QString &code = QString());
    // The engine's error as a person is shown it, naming this store as its source.
    StoreError described(const QSqlError &error) const;
    bool openServer();
    // The store's connection, made on first use with the driver for where its data lives (which
    // loads the driver's plugin); not valid when that driver is missing.
    QSqlDatabase connection() const;
    // Reads the price-list table; when it cannot, closes the connection and says why.
    bool holdsPriceList(QSqlDatabase &db);
    bool createServerTables();
    // Gives a list another program made the index every look-up by (category, id) relies on.
    void indexPriceList();
    // A server connection that was lost is opened afresh before the next action.
    bool reconnectIfLost();
    // After a failure outside a transaction: whether the connection itself is gone.
    void checkConnection();

    QString m_connectionName;
    QString m_path;
    std::optional<ServerAddress> m_server;
    QString m_addressError; // the location looked like a server address but is not a usable one
    StoreError m_lastError;
    bool m_lost = false;
    bool m_indexChecked = false;
    int m_transactionDepth = 0;
    QHash<QString, int> m_schemaVersions; // the parts found up to date in this run
};

// Creates an empty price-list database (table adt and its index) at path; refuses to touch an
// existing file. Used by the demo tool and the tests, never by the program itself.
bool createPriceListDatabase(const QString &path, QString *error = nullptr);
