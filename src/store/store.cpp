#include "store.h"

#include "pricetable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QUrl>

#include <optional>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace
{

// SQLite cuts a text at a NUL and hands U+FFFE / U+FFFF (and halves of surrogate pairs,
// which UTF-8 cannot carry) back as U+FFFD, so such a text would not come back as it was typed.
// It is refused instead, with the reason.
std::optional<QSqlError> unstorable(const QString &text)
{
    auto refuse = [](const QString &why, const char *code) {
        return QSqlError(QString(), why, QSqlError::StatementError, QString::fromLatin1(code));
    };
    auto codeName = [](char32_t code) -> QString {
        return QStringLiteral("U+")
            + QString::number(uint(code), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text.at(i + 1));
            ++i;
        } else if (c.isSurrogate()) {
            return refuse(
                QStringLiteral("The text holds %1, half of a character pair without its other half, "
                               "which cannot be stored.")
                    .arg(codeName(code)),
                "NONCHAR");
        }
        if (code == 0)
            return refuse(QStringLiteral("The text holds a NUL character, which cannot be stored."), "NUL");
        if (code == 0xFFFE || code == 0xFFFF)
            return refuse(
                QStringLiteral("The text holds the code %1, which is not a character and cannot be stored.")
                    .arg(codeName(code)),
                "NONCHAR");
    }
    return std::nullopt;
}

} // namespace

Store::Store(const QString &location, const QString &connectionName)
    : m_connectionName(connectionName)
{
    if (isServerAddressText(location)) {
        m_server = parseServerAddress(location, &m_addressError);
        m_path = m_server ? m_server->text() : withoutPassword(location.trimmed());
    } else {
        m_path = QFileInfo(location).absoluteFilePath();
    }
}

Store::~Store()
{
    if (QSqlDatabase::contains(m_connectionName)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

QString Store::defaultDatabasePath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("db.mdb"));
}

QString Store::connectionString() const
{
    if (namesServer())
        return QLatin1String("Provider=PostgreSQL;Server=") + m_path;
    return QLatin1String("Provider=SQLite;Data Source=") + QDir::toNativeSeparators(m_path);
}

QString Store::shortName() const
{
    if (m_server)
        return QStringLiteral("PostgreSQL: ") + m_server->shortText();
    return QDir::toNativeSeparators(m_path);
}

QString Store::rowKeyColumn() const
{
    return isServer() ? QStringLiteral("row_key") : QStringLiteral("rowid");
}

QSqlDatabase Store::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

bool Store::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName) && database().isOpen();
}

bool Store::fail(const QSqlError &error)
{
    // A server gives up waiting for what another counter holds after a few seconds (lock_timeout),
    // so no window hangs on it; the person is told what happened and what to do.
    if (isServer() && error.nativeErrorCode() == QLatin1String("55P03"))
        return fail(described(programError(
            QStringLiteral("Another counter is changing the same data at this moment, so this was not done "
                           "and nothing was saved. Try again in a moment."),
            QSqlError::TransactionError, busyCode())));
    // SQLite only says "readonly database" when the file was taken away under it.
    if (!isServer() && !m_path.isEmpty() && isOpen() && !QFileInfo::exists(m_path))
        return fail(described(QSqlError(error.driverText(),
            QStringLiteral("%1 was deleted or moved while the program ran; nothing was saved.")
                .arg(QDir::toNativeSeparators(m_path)),
            error.type(), error.nativeErrorCode())));
    return fail(described(error));
}

bool Store::fail(const StoreError &error)
{
    m_lastError = error;
    return false;
}

bool Store::refuse(const QString &text, const QString &code)
{
    return fail(refusal(text, code));
}

StoreError Store::refusal(const QString &text, const QString &code) const
{
    return described(programError(text, QSqlError::StatementError, code));
}

bool Store::isWritable() const
{
    // A server says what may be written when it is written to; there is no file to ask.
    if (isServer())
        return true;
        // Asked for the user the process acts as, which is not always the one that started it (Qt
        // asks for the one that started it): the answer the writes themselves will get.
#ifdef Q_OS_UNIX
    const auto mayWrite = [](const QString &path) {
        return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
    };
    return mayWrite(m_path) && mayWrite(QFileInfo(m_path).absolutePath());
#else
    const QFileInfo file(m_path);
    return file.isWritable() && QFileInfo(file.absolutePath()).isWritable();
#endif
}

QSqlDatabase Store::connection() const
{
    return QSqlDatabase::contains(m_connectionName)
        ? database()
        : QSqlDatabase::addDatabase(
            isServer() ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), m_connectionName);
}

void Store::loadDriver()
{
    if (m_addressError.isEmpty())
        connection();
}

bool Store::open()
{
    if (!m_addressError.isEmpty())
        return fail(programError(m_addressError, QSqlError::ConnectionError));
    if (isServer())
        return openServer();
    QSqlDatabase db = connection();
    if (!db.isValid())
        return fail(QSqlError(QStringLiteral("SQLite"), QStringLiteral("The SQLite driver is not available."),
            QSqlError::ConnectionError));
    // mode=rw: SQLite would otherwise create a missing file, and the program must never do that.
    db.setDatabaseName(QUrl::fromLocalFile(m_path).toString(QUrl::FullyEncoded) + QLatin1String("?mode=rw"));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=3000"));
    if (!db.open())
        return fail(db.lastError());
    // Opening is lazy; reading the price-list table proves the file is a database we can use (an
    // empty or cut-short file is a valid empty database to SQLite, but holds no price list).
    return holdsPriceList(db);
}

bool Store::holdsPriceList(QSqlDatabase &db)
{
    QSqlQuery probe(db);
    if (!probe.exec(PriceTable::probeStatement())) {
        const QSqlError error = probe.lastError();
        probe = QSqlQuery();
        db.close();
        return fail(error);
    }
    indexPriceList();
    return true;
}

static bool bindAndRun(QSqlQuery &q, const QVariantList &values)
{
    for (const QVariant &value : values)
        q.addBindValue(value);
    return q.exec();
}

static std::optional<QSqlError> refusedValue(const QVariantList &values)
{
    for (const QVariant &value : values) {
        if (value.typeId() == QMetaType::QString) {
            if (auto refused = unstorable(value.toString()))
                return refused;
        }
    }
    return std::nullopt;
}

bool Store::execute(const QString &statement, const QVariantList &values, int *rowsAffected)
{
    if (const auto refused = refusedValue(values))
        return fail(*refused);
    if (!reconnectIfLost())
        return false;
    QSqlQuery q(database());
    // PostgreSQL prepares only queries and changes of rows, never a change of the schema; a
    // statement without values needs no preparing anyway.
    const bool ok = values.isEmpty() ? q.exec(statement) : (q.prepare(statement) && bindAndRun(q, values));
    if (!ok) {
        const QSqlError error = q.lastError();
        q = QSqlQuery();
        fail(error);
        checkConnection();
        return false;
    }
    if (rowsAffected)
        *rowsAffected = q.numRowsAffected();
    return true;
}

std::unique_ptr<PreparedStatement> Store::prepare(const QString &statement)
{
    QSqlQuery q(database());
    if (!q.prepare(statement)) {
        fail(q.lastError());
        return nullptr;
    }
    return std::make_unique<PreparedStatement>(this, std::move(q));
}

PreparedStatement::PreparedStatement(Store *store, QSqlQuery query)
    : m_store(store)
    , m_query(std::move(query))
{
}

bool PreparedStatement::keep(int index, const QVariant &value)
{
    if (const auto refused = refusedValue({ value }))
        return m_store->fail(*refused);
    if (m_kept.size() <= index)
        m_kept.resize(index + 1);
    m_kept[index] = true;
    m_query.bindValue(index, value);
    return true;
}

bool PreparedStatement::exec(const QVariantList &values)
{
    if (const auto refused = refusedValue(values))
        return m_store->fail(*refused);
    int at = 0;
    for (const QVariant &value : values) {
        while (at < m_kept.size() && m_kept.at(at))
            ++at;
        m_query.bindValue(at++, value);
    }
    if (!m_query.exec())
        return m_store->fail(m_query.lastError());
    return true;
}

bool Store::readRows(
    const QString &statement, const QVariantList &values, const std::function<bool(const StreamedRow &)> &row)
{
    if (const auto refused = refusedValue(values))
        return fail(*refused);
    if (!reconnectIfLost())
        return false;
    QSqlQuery q(database());
    q.setForwardOnly(true);
    bool ok = values.isEmpty() ? q.exec(statement) : (q.prepare(statement) && bindAndRun(q, values));
    if (ok) {
        const StreamedRow current(q);
        while (q.next()) {
            if (!row(current))
                return true;
        }
        // A fetch that failed (the connection dropped in the middle) ends the rows early.
        ok = !q.lastError().isValid();
    }
    if (!ok) {
        const QSqlError error = q.lastError();
        q = QSqlQuery();
        fail(error);
        checkConnection();
    }
    return ok;
}

std::unique_ptr<RecordSet> Store::query(const QString &statement, const QVariantList &values)
{
    if (const auto refused = refusedValue(values)) {
        fail(*refused);
        return nullptr;
    }
    if (!reconnectIfLost())
        return nullptr;
    QSqlQuery q(database());
    q.setForwardOnly(false);
    if (!(values.isEmpty() ? q.exec(statement) : (q.prepare(statement) && bindAndRun(q, values)))) {
        const QSqlError error = q.lastError();
        q = QSqlQuery();
        fail(error);
        checkConnection();
        return nullptr;
    }
    auto model = std::make_unique<QSqlQueryModel>();
    model->setQuery(std::move(q));
    if (model->lastError().isValid()) {
        fail(model->lastError());
        return nullptr;
    }
    return std::make_unique<RecordSet>(std::move(model));
}

std::optional<QSqlQuery> Store::select(const QString &statement, const QVariantList &values)
{
    if (const auto refused = refusedValue(values)) {
        fail(*refused);
        return std::nullopt;
    }
    if (!reconnectIfLost())
        return std::nullopt;
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!(values.isEmpty() ? q.exec(statement) : (q.prepare(statement) && bindAndRun(q, values)))) {
        const QSqlError error = q.lastError();
        q = QSqlQuery();
        fail(error);
        checkConnection();
        return std::nullopt;
    }
    return q;
}

bool Store::inTransaction(const std::function<bool()> &work)
{
    // Work started inside another's transaction is part of that one.
    if (m_transactionDepth > 0)
        return work();
    if (!reconnectIfLost())
        return false;
    QSqlDatabase db = database();
    if (!db.transaction()) {
        fail(db.lastError());
        checkConnection();
        return false;
    }
    struct Depth {
        int &depth;
        explicit Depth(int &d)
            : depth(d)
        {
            ++depth;
        }
        ~Depth() { --depth; }
        Depth(const Depth &) = delete;
        Depth &operator=(const Depth &) = delete;
    };
    bool done = false;
    {
        const Depth inside(m_transactionDepth);
        done = work();
    }
    if (!done) {
        const StoreError error = m_lastError;
        db.rollback();
        m_lastError = error;
        checkConnection();
        return false;
    }
    if (!db.commit()) {
        const QSqlError error = db.lastError();
        db.rollback();
        fail(error);
        checkConnection();
        return false;
    }
    return true;
}

bool createPriceListDatabase(const QString &path, QString *error)
{
    if (QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("%1 already exists; it is left as it is.").arg(path);
        return false;
    }
    const QString name = QStringLiteral("create-") + path;
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery q(db);
        for (const QString &statement : PriceTable::fileTables()) {
            if (ok && !q.exec(statement))
                ok = false;
        }
        if (!ok && error)
            *error = q.lastError().isValid() ? q.lastError().text() : db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

QSqlError Store::programError(const QString &words, QSqlError::ErrorType type, const QString &code)
{
    return QSqlError(QString(), words, type, code);
}

StoreError Store::described(const QSqlError &error) const
{
    bool ok = false;
    const int native = error.nativeErrorCode().toInt(&ok);
    const QString source = isServer() ? QStringLiteral("QPSQL")
        : isOpen()                    ? QLatin1String("SQLite database ") + path()
                                      : QStringLiteral("Brasko");
    const StoreError::Kind kind
        = error.nativeErrorCode() == busyCode() ? StoreError::Kind::Busy : StoreError::Kind::Failed;
    return StoreError(kind, error.databaseText(), error.driverText(),
        QString::number(ok ? native : static_cast<int>(error.type())), source, error.nativeErrorCode());
}
