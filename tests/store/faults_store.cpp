// A second process on the price-list database, for the fault tests:
//
//   faults_store rewrite <db.mdb>   rewrites the settings rows and changes a price over and over
//                                   through the program's own Store, printing "ready" once the first
//                                   round is done, until it is killed (or 120 s have passed).
//   faults_store offers <db.mdb>    saves offers through the program's own OfferRepository over and
//                                   over, printing "ready" once the first is saved, until killed (or
//                                   120 s have passed).
//   faults_store offers <db.mdb> N  prints "ready", waits for a line on its standard input, then
//                                   saves N offers as fast as it can and prints each number it got.
//   faults_store import <db.mdb>    imports a supplier's list of category 5 (items IM000 to IM299, every
//                                   price one more each round) through the program's own PriceImport
//                                   over and over, printing "ready" once the first is applied, until
//                                   killed (or 120 s have passed).
//   faults_store lock <db.mdb>      holds an exclusive lock on the database, printing "locked" once
//                                   it has it, until its standard input closes or it is killed (or
//                                   120 s have passed).
//
// Both stop by themselves so a test that dies cannot leave them running for long.

#include "store/offerrepository.h"
#include "store/priceimport.h"
#include "store/pricelistrepository.h"
#include "store/store.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <poll.h>
#include <unistd.h>

#include <cstdio>

namespace
{

constexpr qint64 LifetimeMs = 120 * 1000;

// Says why when the database cannot be opened: the parent test shows this process's output.
bool opened(Store &store)
{
    if (store.open())
        return true;
    std::fprintf(stderr, "open failed: %s\n", qPrintable(store.lastError().text()));
    return false;
}

int rewrite(const QString &path)
{
    Store store(path, QStringLiteral("faults"));
    if (!opened(store))
        return 2;
    QElapsedTimer clock;
    clock.start();
    bool announced = false;
    for (long round = 0; clock.elapsed() < LifetimeMs; ++round) {
        const QString n = QString::number(round);
        // Long enough that a rewrite spans more than one page of the file.
        const QString shop = QStringLiteral("Shop %1 ").arg(n) + QString(3000, QLatin1Char('s'));
        bool ok
            = !PriceListRepository(&store).rewriteSettings({ { QStringLiteral("company"), shop } }).isValid()
            && !PriceListRepository(&store)
                    .rewriteSettings({ { QStringLiteral("sp"), QStringLiteral("Seller ") + n } })
                    .isValid()
            && store.execute(QStringLiteral("update adt set price = ? where category = '3' and id = 'K1'"),
                { n + QStringLiteral(".00") })
            && !PriceListRepository(&store)
                    .rewriteSettings({ { QStringLiteral("dt"), QStringLiteral("stamp ") + n } })
                    .isValid();
        if (!ok) {
            std::fprintf(stderr, "round %ld failed: %s\n", round, qPrintable(store.lastError().text()));
            return 3;
        }
        if (!announced) {
            std::printf("ready\n");
            std::fflush(stdout);
            announced = true;
        }
    }
    return 0;
}

Offer sampleOffer(long round)
{
    Offer offer;
    offer.shop = QStringLiteral("Shop");
    offer.client = QStringLiteral("Client %1 ").arg(round) + QString(2000, QLatin1Char('c'));
    offer.seller = QStringLiteral("Seller");
    offer.date = QDateTime::currentDateTime();
    for (int i = 0; i < Offer::RowCount; ++i)
        offer.pickItem(i, QStringLiteral("ID%1").arg(i), QStringLiteral("Item %1 of %2").arg(i).arg(round),
            QStringLiteral("%1.50").arg(i));
    return offer;
}

int offers(const QString &path, long count)
{
    Store store(path, QStringLiteral("faults"));
    if (!opened(store))
        return 2;
    OfferRepository repository(&store);
    if (count > 0) {
        std::printf("ready\n");
        std::fflush(stdout);
        char line[16];
        if (!std::fgets(line, sizeof line, stdin))
            return 4;
    }
    QElapsedTimer clock;
    clock.start();
    for (long round = 0; count > 0 ? round < count : clock.elapsed() < LifetimeMs; ++round) {
        const auto key = repository.save(sampleOffer(round), std::nullopt);
        if (!key) {
            std::fprintf(stderr, "save %ld failed: %s\n", round, qPrintable(key.error().text()));
            return 3;
        }
        if (count > 0 || round == 0) {
            std::printf(count > 0 ? "%d\n" : "ready\n", key->number);
            std::fflush(stdout);
        }
    }
    return 0;
}

int lock(const QString &path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        db.setDatabaseName(path);
        if (!db.open()) {
            std::fprintf(stderr, "open failed: %s\n", qPrintable(db.lastError().text()));
            return 2;
        }
        QSqlQuery q(db);
        // An exclusive transaction keeps every other connection from reading or writing.
        if (!q.exec(QStringLiteral("begin exclusive"))) {
            std::fprintf(stderr, "lock failed: %s\n", qPrintable(q.lastError().text()));
            return 3;
        }
        std::printf("locked\n");
        std::fflush(stdout);
        QElapsedTimer clock;
        clock.start();
        pollfd in { STDIN_FILENO, POLLIN, 0 };
        while (clock.elapsed() < LifetimeMs) {
            if (poll(&in, 1, 200) > 0) {
                char c;
                if (read(STDIN_FILENO, &c, 1) <= 0)
                    break; // the test let go of us
            }
        }
        q.exec(QStringLiteral("rollback"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    return 0;
}

int importRounds(const QString &path)
{
    Store store(path, QStringLiteral("faults"));
    if (!opened(store))
        return 2;
    QElapsedTimer clock;
    clock.start();
    for (long round = 1; clock.elapsed() < LifetimeMs; ++round) {
        SupplierImport::ItemList items;
        for (int i = 0; i < 300; ++i)
            // With its cost, which must land with the price or not at all.
            items.put({ QStringLiteral("5"), QStringLiteral("IM%1").arg(i, 3, 10, QLatin1Char('0')),
                QStringLiteral("Imported item %1 ").arg(i) + QString(80, QLatin1Char('i')),
                QString::number(round), i + 2, QString::number(round * 10) });
        PriceImport import(&store);
        const auto preview = import.preview(std::move(items));
        const StoreError failed = preview ? import.apply(*preview, false,
                                      QStringLiteral("round %1").arg(round), QDateTime::currentDateTime())
                                          : preview.error();
        if (failed.isValid()) {
            std::fprintf(stderr, "round %ld failed: %s\n", round, qPrintable(failed.text()));
            return 3;
        }
        if (round == 1) {
            std::printf("ready\n");
            std::fflush(stdout);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("rewrite"))
        return rewrite(args[2]);
    if ((args.size() == 3 || args.size() == 4) && args[1] == QStringLiteral("offers"))
        return offers(args[2], args.size() == 4 ? args[3].toLong() : 0);
    if (args.size() == 3 && args[1] == QStringLiteral("lock"))
        return lock(args[2]);
    if (args.size() == 3 && args[1] == QStringLiteral("import"))
        return importRounds(args[2]);
    std::fprintf(stderr, "usage: faults_store rewrite|lock|offers|import <db.mdb> [count]\n");
    return 1;
}
