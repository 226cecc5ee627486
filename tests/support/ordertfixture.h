#pragma once

// Test fixtures for the order window: an ODBC configuration of the test's own (ODBCSYSINI and
// ODBCINI point into a temporary folder, so the machine's data sources are never seen or
// touched) with a data source IMS on a fresh SQLite file made from scripts/ims-schema.sql, or on
// a PostgreSQL server started on loopback for the test and stopped at its end.

#include "postgresserver.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

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

    // A statement run straight on the SQLite file (a trigger, a row another program wrote); false
    // and *why when it fails.
    bool sqliteExec(const QString &statement, QString *why)
    {
        bool ok = false;
        {
            QSqlDatabase db
                = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture-exec"));
            db.setDatabaseName(path(QStringLiteral("orders.sqlite")));
            QSqlQuery q(db);
            ok = db.open() && q.exec(statement);
            if (!ok)
                *why = q.lastError().isValid() ? q.lastError().text() : db.lastError().text();
            q = QSqlQuery();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("fixture-exec"));
        return ok;
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

// The shared throw-away server with the order database "ims" loaded.
class OrderPostgresServer : public PostgresServer
{
public:
    bool start(QString *why)
    {
        return PostgresServer::start(why) && createDatabase(QStringLiteral("ims"), why)
            && psql(
                { QStringLiteral("-d"), QStringLiteral("ims"), QStringLiteral("-f"), imsSchemaPath() }, why);
    }

    QByteArray odbcBody() const
    {
        return "Driver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=" + QByteArray::number(port)
            + "\nDatabase=ims\nUsername=postgres\n";
    }
};
