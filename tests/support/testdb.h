#pragma once

// Test helpers: a fresh price-list database in a temporary folder, filled with the rows a test
// names, and raw access to it that bypasses the program's own statements.
#include "store/store.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

struct TestRow {
    QString category, id, description, price;
};

class TestDb
{
public:
    explicit TestDb(const std::vector<TestRow> &rows = {})
    {
        path = dir.filePath(QStringLiteral("db.mdb"));
        QString error;
        if (!createPriceListDatabase(path, &error))
            qFatal("cannot create test database: %s", qPrintable(error));
        for (const TestRow &r : rows)
            insert(r);
    }
    ~TestDb() { QSqlDatabase::removeDatabase(rawName()); }

    QString rawName() const { return QStringLiteral("raw-") + path; }
    QSqlDatabase raw() const
    {
        if (!QSqlDatabase::contains(rawName())) {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), rawName());
            db.setDatabaseName(path);
            db.open();
        }
        return QSqlDatabase::database(rawName());
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
            qFatal("insert failed");
    }
    // The descriptions of category/id, in the order the engine returns them.
    QStringList descriptions(const QString &category, const QString &id) const
    {
        QSqlQuery q(raw());
        q.prepare(QStringLiteral("select description from adt where category = ? and id = ?"));
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

    QTemporaryDir dir;
    QString path;
};
