// Exporting the price list to CSV: `count` items, beside sqlite3's own CSV output of the same
// rows in the same run (the sqlite3 program must be installed).
//
//   bench_export [count=100000] [runs=5]
#include "benchdb.h"
#include "benchutil.h"

#include "store/pricelistexport.h"
#include "store/store.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
    const int runs = argc > 2 ? std::max(3, atoi(argv[2])) : 5;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    if (!Bench::makePriceList(path, count, 2, count / 17))
        return 1;
    Store store(path);
    if (!store.open())
        return 1;
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    const QString sqliteOut = dir.filePath(QStringLiteral("sqlite.csv"));
    const double reference = Bench::medianMs(runs, [&] {
        QProcess sqlite;
        sqlite.setStandardOutputFile(sqliteOut);
        sqlite.start(QStringLiteral("sqlite3"),
            { QStringLiteral("-csv"), QStringLiteral("-header"), path,
                QStringLiteral("select category, id, description, price from adt where category <> '90'"
                               " order by category, id") });
        sqlite.waitForFinished(-1);
    });
    int items = 0;
    const double ms = Bench::medianMs(runs, [&] {
        const PriceListExport result = exportPriceList(store, std::nullopt, out);
        if (!result.ok)
            qFatal("export failed: %s", qPrintable(result.error));
        items = result.items;
    });
    if (items != count)
        qFatal("exported %d items of %d", items, count);
    Bench::result(QStringLiteral("export %1 items to CSV").arg(QLocale(QLocale::English).toString(count)), ms,
        QStringLiteral("sqlite3 -csv of the same rows (a process)"), reference, QStringLiteral("ms:1000"));
    return 0;
}
