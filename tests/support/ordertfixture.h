#pragma once

// Test fixtures for the order window: an ODBC configuration of the test's own (ODBCSYSINI and
// ODBCINI point into a temporary folder, so the machine's data sources are never seen or
// touched) with a data source IMS on a fresh SQLite file made from scripts/ims-schema.sql, or on
// a PostgreSQL server started on loopback for the test and stopped at its end.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

inline QString imsSchemaPath()
{
    return QStringLiteral(IMS_SCHEMA);
}

// The schema's statements, one by one (it holds no ';' inside a literal).
inline QStringList imsSchemaStatements()
{
    QFile f(imsSchemaPath());
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(imsSchemaPath()));
    QString text;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (!line.trimmed().startsWith(QLatin1String("--")))
            text += line + QLatin1Char('\n');
    }
    QStringList statements;
    for (const QString &s : text.split(QLatin1Char(';'))) {
        if (!s.trimmed().isEmpty())
            statements << s.trimmed();
    }
    return statements;
}

class OdbcConfig
{
public:
    OdbcConfig()
    {
        QVERIFY2(dir.isValid(), "no temporary folder");
        // DontDLClose=1 (unixODBC's default, written out so no version or setting changes it)
        // keeps a driver mapped after its last connection: what it leaks at exit can then still
        // be traced to it and matched by tests/sanitizers.supp.
        writeFile(QStringLiteral("odbcinst.ini"),
            "[SQLite3]\nDriver=libsqlite3odbc.so\nDontDLClose=1\n\n"
            "[PostgreSQL Unicode]\nDriver=psqlodbcw.so\nDontDLClose=1\n");
        writeFile(QStringLiteral("odbc.ini"), "");
        qputenv("ODBCSYSINI", QFile::encodeName(dir.path()));
        qputenv("ODBCINI", QFile::encodeName(dir.filePath(QStringLiteral("odbc.ini"))));
    }

    void setDataSource(const QByteArray &body) { writeFile(QStringLiteral("odbc.ini"), "[IMS]\n" + body); }
    void removeDataSource() { writeFile(QStringLiteral("odbc.ini"), ""); }

    QString path(const QString &name) const { return dir.filePath(name); }

    // A fresh order database file from the schema, and IMS on it.
    void useFreshSqlite()
    {
        const QString file = path(QStringLiteral("orders.sqlite"));
        QFile::remove(file);
        {
            QSqlDatabase db
                = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture-raw"));
            db.setDatabaseName(file);
            QVERIFY(db.open());
            QSqlQuery q(db);
            for (const QString &statement : imsSchemaStatements())
                QVERIFY2(q.exec(statement), qPrintable(q.lastError().text() + QLatin1Char('\n') + statement));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("fixture-raw"));
        setDataSource("Driver=SQLite3\nDatabase=" + QFile::encodeName(file) + "\n");
    }

    // One value read straight from the SQLite file, past the program's own paths.
    QVariant sqliteValue(const QString &statement)
    {
        QVariant result;
        {
            QSqlDatabase db
                = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture-check"));
            db.setDatabaseName(path(QStringLiteral("orders.sqlite")));
            if (db.open()) {
                QSqlQuery q(db);
                if (q.exec(statement) && q.next())
                    result = q.value(0);
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("fixture-check"));
        return result;
    }

    QTemporaryDir dir;

private:
    void writeFile(const QString &name, const QByteArray &content)
    {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }
};

// A throw-away PostgreSQL server on 127.0.0.1 with the order database "ims" loaded. PostgreSQL
// refuses to run as root, so as root it runs as the user postgres.
class PostgresServer
{
public:
    static QString binDir() { return QStringLiteral("/usr/lib/postgresql/15/bin"); }
    static bool available() { return QFile::exists(binDir() + QStringLiteral("/initdb")); }

    ~PostgresServer() { stop(); }

    bool start(QString *why)
    {
        QDir(dir.path()).mkpath(QStringLiteral("data"));
        QDir(dir.path()).mkpath(QStringLiteral("sock"));
        if (geteuid() == 0) {
            // The folder must belong to the user the server runs as.
            if (!run(QStringLiteral("chown"),
                    { QStringLiteral("-R"), QStringLiteral("postgres"), dir.path() }, why))
                return false;
            QFile::setPermissions(
                dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther | QFile::ReadOther);
        }
        if (!runPg(QStringLiteral("initdb"),
                { QStringLiteral("-D"), dataDir(), QStringLiteral("-A"), QStringLiteral("trust"),
                    QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-E"),
                    QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8") },
                why))
            return false;
        // A port nobody is likely to hold; a taken one makes the start fail and the next is tried.
        for (int attempt = 0; attempt < 5 && !started; ++attempt) {
            port = 20000 + (getpid() * 7 + attempt * 101) % 30000;
            started = runPg(QStringLiteral("pg_ctl"),
                { QStringLiteral("-D"), dataDir(), QStringLiteral("-w"), QStringLiteral("-t"),
                    QStringLiteral("60"), QStringLiteral("-l"), dir.filePath(QStringLiteral("server.log")),
                    QStringLiteral("-o"),
                    QStringLiteral("-k %1 -c listen_addresses=127.0.0.1 -p %2")
                        .arg(dir.filePath(QStringLiteral("sock")))
                        .arg(port),
                    QStringLiteral("start") },
                why);
        }
        if (!started)
            return false;
        return psql({ QStringLiteral("-d"), QStringLiteral("postgres"), QStringLiteral("-c"),
                        QStringLiteral("CREATE DATABASE ims") },
                   why)
            && psql(
                { QStringLiteral("-d"), QStringLiteral("ims"), QStringLiteral("-f"), imsSchemaPath() }, why);
    }

    void stop()
    {
        if (!started)
            return;
        QString ignored;
        runPg(QStringLiteral("pg_ctl"),
            { QStringLiteral("-D"), dataDir(), QStringLiteral("-w"), QStringLiteral("-t"),
                QStringLiteral("60"), QStringLiteral("-m"), QStringLiteral("fast"), QStringLiteral("stop") },
            &ignored);
        started = false;
    }

    QByteArray odbcBody() const
    {
        return "Driver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=" + QByteArray::number(port)
            + "\nDatabase=ims\nUsername=postgres\n";
    }

    int port = 0;
    bool started = false;

private:
    QString dataDir() const { return dir.filePath(QStringLiteral("data")); }

    bool psql(const QStringList &args, QString *why)
    {
        QStringList all = { QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-q"),
            QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(port),
            QStringLiteral("-U"), QStringLiteral("postgres") };
        // The client may run as anyone (only the server refuses root), so it reads the schema
        // wherever the checkout is, readable by the user postgres or not.
        return run(QStringLiteral("/usr/bin/psql"), all + args, why);
    }

    bool runPg(const QString &tool, const QStringList &args, QString *why)
    {
        const QString program = binDir() + QLatin1Char('/') + tool;
        if (geteuid() == 0)
            return run(QStringLiteral("runuser"),
                QStringList {
                    QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program }
                    + args,
                why);
        return run(program, args, why);
    }

    static bool run(const QString &program, const QStringList &args, QString *why)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.setWorkingDirectory(QDir::tempPath());
        p.start(program, args);
        if (!p.waitForFinished(90000)) {
            p.kill();
            p.waitForFinished(5000);
            *why = program + QStringLiteral(" did not finish in time");
            return false;
        }
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            *why = program + QLatin1Char(' ') + args.join(QLatin1Char(' ')) + QStringLiteral(": ")
                + QString::fromLocal8Bit(p.readAll());
            return false;
        }
        return true;
    }

    QTemporaryDir dir;
};
