#pragma once

// Test helpers: a fresh price-list database, in a temporary folder (db.mdb) or on a PostgreSQL
// server started on loopback for the test executable, filled with the rows a test names, and raw
// access to it that bypasses the program's own statements.
#include "postgresserver.h"
#include "store/store.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

struct TestRow {
    QString category, id, description, price;
};

// Where a test's database lives: the file the program uses by default, or a server.
enum class Backend { File, Server };

class TestDb
{
public:
    explicit TestDb(const std::vector<TestRow> &rows = {})
        : TestDb(Backend::File, rows)
    {
    }
    TestDb(Backend kind, const std::vector<TestRow> &rows)
        : backend(kind)
    {
        QString error;
        if (backend == Backend::File) {
            path = dir.filePath(QStringLiteral("db.mdb"));
            if (!createPriceListDatabase(path, &error))
                qFatal("cannot create test database: %s", qPrintable(error));
        } else {
            path = freshServerDatabase();
        }
        for (const TestRow &r : rows)
            insert(r);
    }
    ~TestDb() { dropRaw(); }
    // Forgets the raw connection (a server that was restarted dropped it); the next use opens it.
    void dropRaw() const
    {
        if (QSqlDatabase::contains(rawName())) {
            QSqlDatabase::database(rawName(), false).close();
            QSqlDatabase::removeDatabase(rawName());
        }
    }

    // The one server of this test executable, started at its first use. false and *why when it
    // cannot be started.
    static bool startServer(QString *why)
    {
        if (serverSlot() && serverSlot()->started)
            return true;
        if (!PostgresServer::available()) {
            *why = PostgresServer::unavailableReason();
            return false;
        }
        serverSlot() = std::make_unique<PostgresServer>();
        return serverSlot()->start(why);
    }
    static PostgresServer *server() { return serverSlot().get(); }
    static void stopServer() { serverSlot().reset(); }

    QString rawName() const { return QStringLiteral("raw-") + path; }
    QSqlDatabase raw() const
    {
        if (!QSqlDatabase::contains(rawName())) {
            QSqlDatabase db;
            if (backend == Backend::File) {
                db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), rawName());
                db.setDatabaseName(path);
            } else {
                db = serverConnection(rawName(), path.section(QLatin1Char('/'), -1));
            }
            db.open();
        }
        return QSqlDatabase::database(rawName());
    }
    // The column that keys adt's rows in the order they were written.
    QString rowKey() const
    {
        return backend == Backend::File ? QStringLiteral("rowid") : QStringLiteral("row_key");
    }
    void insert(const TestRow &r) const
    {
        QSqlQuery q(raw());
        q.prepare(QStringLiteral("insert into adt (category,id,description,price) values (?,?,?,?)"));
        q.addBindValue(r.category);
        q.addBindValue(r.id);
        q.addBindValue(r.description);
        q.addBindValue(r.price);
        if (!q.exec())
            qFatal("insert failed: %s", qPrintable(q.lastError().text()));
    }
    // The descriptions of category/id, in the order they were written.
    QStringList descriptions(const QString &category, const QString &id) const
    {
        QSqlQuery q(raw());
        q.prepare(
            QStringLiteral("select description from adt where category = ? and id = ? order by ") + rowKey());
        q.addBindValue(category);
        q.addBindValue(id);
        q.exec();
        QStringList out;
        while (q.next())
            out << q.value(0).toString();
        return out;
    }
    int count() const
    {
        QSqlQuery q(QStringLiteral("select count(*) from adt"), raw());
        q.next();
        return q.value(0).toInt();
    }
    void exec(const QString &sql) const
    {
        QSqlQuery q(raw());
        if (!q.exec(sql))
            qFatal("raw exec failed: %s", qPrintable(q.lastError().text()));
    }
    // Makes the engine refuse every new adt row with this id, as a full disk or a broken table would.
    void refuseInsertsOf(const QString &id) const
    {
        if (backend == Backend::File) {
            exec(QStringLiteral("create trigger refuse_%1 before insert on adt when new.id = '%1' "
                                "begin select raise(abort, 'refused'); end")
                     .arg(id));
            return;
        }
        exec(QStringLiteral("create function refuse_%1() returns trigger language plpgsql as $$ begin "
                            "if new.id = '%1' then raise exception 'refused'; end if; return new; end $$")
                 .arg(id));
        exec(QStringLiteral(
            "create trigger refuse_%1 before insert on adt for each row execute function refuse_%1()")
                 .arg(id));
    }
    // The columns of a table as the engine describes them, to see that nothing changed them.
    QStringList tableDefinition(const QString &table) const
    {
        QSqlQuery q(raw());
        if (backend == Backend::File)
            q.prepare(QStringLiteral("select sql from sqlite_master where name = ?"));
        else
            q.prepare(
                QStringLiteral("select column_name || ' ' || data_type || ' ' || is_nullable from "
                               "information_schema.columns where table_name = ? order by ordinal_position"));
        q.addBindValue(table);
        q.exec();
        QStringList out;
        while (q.next())
            out << q.value(0).toString();
        return out;
    }

    Backend backend = Backend::File;
    QTemporaryDir dir;
    QString path; // the file, or the server address, to give the program

private:
    static std::unique_ptr<PostgresServer> &serverSlot()
    {
        static std::unique_ptr<PostgresServer> slot;
        return slot;
    }

    static QSqlDatabase serverConnection(const QString &name, const QString &database)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(server()->port);
        db.setUserName(QStringLiteral("postgres"));
        db.setDatabaseName(database);
        return db;
    }

    // A database of its own for every test, with the price-list table made as the program makes it.
    static QString freshServerDatabase()
    {
        QString why;
        if (!startServer(&why))
            qFatal("cannot start PostgreSQL: %s", qPrintable(why));
        static int serial = 0;
        const QString name = QStringLiteral("t%1").arg(++serial);
        {
            QSqlDatabase admin = serverConnection(QStringLiteral("testdb-admin"), QStringLiteral("postgres"));
            QSqlQuery q(admin);
            if (!admin.open() || !q.exec(QStringLiteral("create database ") + name))
                qFatal("cannot create database %s: %s", qPrintable(name), qPrintable(q.lastError().text()));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("testdb-admin"));
        const QString address = server()->address(name);
        Store maker(address, QStringLiteral("testdb-maker"));
        if (!maker.open())
            qFatal("cannot make the tables: %s", qPrintable(maker.lastError().text()));
        return address;
    }
};

// main() for a test class constructed with a Backend: the whole suite runs on db.mdb, then on a
// PostgreSQL database (skipped, saying why, when the server is not installed).
#define BRASKO_TEST_ON_BOTH_BACKENDS(TestClass)                                                              \
    int main(int argc, char *argv[])                                                                         \
    {                                                                                                        \
        QCoreApplication app(argc, argv);                                                                    \
        int failed = 0;                                                                                      \
        for (Backend backend : { Backend::File, Backend::Server }) {                                         \
            TestClass test(backend);                                                                         \
            failed += QTest::qExec(&test, argc, argv);                                                       \
        }                                                                                                    \
        TestDb::stopServer();                                                                                \
        return failed;                                                                                       \
    }

// In initTestCase of such a class: starts the server for the server run, or skips that run with
// the reason when PostgreSQL is not installed.
#define BRASKO_START_BACKEND(backend)                                                                        \
    do {                                                                                                     \
        if ((backend) == Backend::Server) {                                                                  \
            if (!PostgresServer::available())                                                                \
                QSKIP(qPrintable(PostgresServer::unavailableReason()));                                      \
            QString why_;                                                                                    \
            QVERIFY2(TestDb::startServer(&why_), qPrintable(why_));                                          \
            qInfo("back end: PostgreSQL on 127.0.0.1:%d", TestDb::server()->port);                           \
        } else {                                                                                             \
            qInfo("back end: db.mdb");                                                                       \
        }                                                                                                    \
    } while (false)
