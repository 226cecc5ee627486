#pragma once

// A large price list for the benchmarks: `total` items over the seventeen categories, of which
// `inCategory` in category `category`, plus the three settings rows. Ids are "ID000000" upwards,
// so the rows' descending order is as long as the list.

#include "store/store.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <cstdio>

namespace Bench
{

inline bool makePriceList(const QString &path, int total, int category, int inCategory)
{
    QString error;
    if (!createPriceListDatabase(path, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-fill"));
        db.setDatabaseName(path);
        ok = db.open() && db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("insert into adt (category,id,description,price) values (?,?,?,?)"));
        const auto add
            = [&](const QString &cat, const QString &id, const QString &description, const QString &price) {
                  q.addBindValue(cat);
                  q.addBindValue(id);
                  q.addBindValue(description);
                  q.addBindValue(price);
                  if (ok && !q.exec()) {
                      std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
                      ok = false;
                  }
              };
        add(QStringLiteral("90"), QStringLiteral("company"), QStringLiteral("Bench Computers 0100 200 300"),
            QStringLiteral("0.00"));
        add(QStringLiteral("90"), QStringLiteral("sp"), QStringLiteral("Bench Seller"),
            QStringLiteral("0.00"));
        add(QStringLiteral("90"), QStringLiteral("dt"), QStringLiteral("1/12/2026 10:00:00"),
            QStringLiteral("0.00"));
        int other = 0;
        for (int i = 0; i < total && ok; ++i) {
            QString cat;
            if (i < inCategory) {
                cat = QString::number(category);
            } else {
                int c = other++ % 16;
                cat = QString::number(c >= category ? c + 1 : c);
            }
            add(cat, QStringLiteral("ID%1").arg(i, 6, 10, QLatin1Char('0')),
                QStringLiteral("Component model %1, 2026 edition, boxed").arg(i),
                QStringLiteral("%1.%2").arg(100 + i % 9000).arg(i % 100, 2, 10, QLatin1Char('0')));
        }
        ok = ok && db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-fill"));
    return ok;
}

} // namespace Bench
