// A second process on the price-list database, for the fault tests:
//
//   faults_store rewrite <db.mdb>   rewrites the settings rows and changes a price over and over
//                                   through the program's own Store, printing "ready" once the first
//                                   round is done, until it is killed (or 120 s have passed).
//   faults_store lock <db.mdb>      holds an exclusive lock on the database, printing "locked" once
//                                   it has it, until its standard input closes or it is killed (or
//                                   120 s have passed).
//
// Both stop by themselves so a test that dies cannot leave them running for long.

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

int rewrite(const QString &path)
{
    Store store(path, QStringLiteral("faults"));
    if (!store.open()) {
        std::fprintf(stderr, "open failed: %s\n", qPrintable(store.lastError().text()));
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    bool announced = false;
    for (long round = 0; clock.elapsed() < LifetimeMs; ++round) {
        const QString n = QString::number(round);
        // Long enough that a rewrite spans more than one page of the file.
        const QString shop = QStringLiteral("Shop %1 ").arg(n) + QString(3000, QLatin1Char('s'));
        bool ok = PriceListRepository(&store).rewriteSettings({ { QStringLiteral("company"), shop } })
            && PriceListRepository(&store).rewriteSettings(
                { { QStringLiteral("sp"), QStringLiteral("Seller ") + n } })
            && store.execute(QStringLiteral("update adt set price = ? where category = '3' and id = 'K1'"),
                { n + QStringLiteral(".00") })
            && PriceListRepository(&store).rewriteSettings(
                { { QStringLiteral("dt"), QStringLiteral("stamp ") + n } });
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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("rewrite"))
        return rewrite(args[2]);
    if (args.size() == 3 && args[1] == QStringLiteral("lock"))
        return lock(args[2]);
    std::fprintf(stderr, "usage: faults_store rewrite|lock <db.mdb>\n");
    return 1;
}
