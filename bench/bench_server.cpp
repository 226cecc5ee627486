// The program on a PostgreSQL server on loopback, as a shop's counters use it: opening a row's
// picker of `count` items read from the server (beside the same query timed inside psql), and
// saving an offer (beside the same save into db.mdb). The server writes to disk as a shop's does.
//
//   bench_server [count=20000] [runs=15]
#include "benchdb.h"
#include "benchpicker.h"
#include "benchutil.h"

#include "store/databasecopy.h"
#include "store/offerrepository.h"
#include "store/store.h"
#include "support/postgresserver.h"
#include "widgets/gridcombo.h"
#include "windows/main/mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>

namespace
{

// The statement's own time inside psql, the median of runs (the client library's reading of the
// rows included, the program and its grid not).
double psqlMs(PostgresServer &server, const QString &database, const QString &statement, int runs)
{
    QStringList args { QStringLiteral("-d"), database, QStringLiteral("-o"), QStringLiteral("/dev/null"),
        QStringLiteral("-c"), QStringLiteral("\\timing on") };
    for (int i = 0; i <= runs; ++i)
        args << QStringLiteral("-c") << statement;
    QString why;
    QString output;
    if (!server.psql(args, &why, &output))
        qFatal("psql: %s", qPrintable(why));
    std::vector<double> ms;
    const QRegularExpression time(QStringLiteral("Time: ([0-9.]+) ms"));
    for (auto it = time.globalMatch(output); it.hasNext();)
        ms.push_back(it.next().captured(1).toDouble());
    if (ms.size() < 2)
        qFatal("psql printed no times: %s", qPrintable(output));
    ms.erase(ms.begin()); // the first run only warms up
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

Offer sampleOffer()
{
    Offer offer;
    offer.client = QStringLiteral("Bench Client 0100 200 300");
    offer.seller = QStringLiteral("Bench Seller");
    for (int i = 0; i < Offer::RowCount; ++i)
        offer.pickItem(i, QStringLiteral("ID%1").arg(i, 6, 10, QLatin1Char('0')),
            QStringLiteral("Item %1").arg(i), QStringLiteral("%1.50").arg(100 + i));
    return offer;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 20000;
    const int runs = argc > 2 ? std::max(3, atoi(argv[2])) : 15;
    if (!PostgresServer::available())
        qFatal("%s", qPrintable(PostgresServer::unavailableReason()));
    PostgresServer server;
    QString why;
    if (!server.start(&why, false) || !server.createDatabase(QStringLiteral("bench"), &why))
        qFatal("%s", qPrintable(why));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("db.mdb"));
    if (!Bench::makePriceList(file, count + 10000, 2, count))
        return 1;
    QElapsedTimer copyTime;
    copyTime.start();
    const DatabaseCopy::Result copied = DatabaseCopy::copy(file, server.address(QStringLiteral("bench")));
    if (!copied.ok)
        qFatal("%s", qPrintable(copied.error));
    std::printf("copied %d items to the server with brasko-db-copy's code in %.0f ms\n", count + 10000,
        static_cast<double>(copyTime.elapsed()));

    Store store(server.address(QStringLiteral("bench")));
    MainWindow form(&store);
    if (!form.load())
        qFatal("%s", qPrintable(form.connectionFailureMessage()));
    form.show();
    Bench::settle();
    GridCombo *picker = form.row(2).picker();
    const double open = Bench::pickerOpenMs(picker, runs);
    const double reference = psqlMs(server, QStringLiteral("bench"),
        QStringLiteral("select id as \"ID\",description as \"Description\",price as \"Price\" from adt where "
                       "category = '2' order by id desc"),
        runs);
    Bench::result(
        QStringLiteral("server: open the picker of %1 items").arg(QLocale(QLocale::English).toString(count)),
        open, QStringLiteral("the same query inside psql"), reference, QStringLiteral("ms:50"));

    OfferRepository offers(&store);
    const Offer offer = sampleOffer();
    const double save = Bench::medianMs(runs * 3, [&] {
        if (const auto key = offers.save(offer, std::nullopt); !key)
            qFatal("%s", qPrintable(key.error().text()));
    });
    Store local(file, QStringLiteral("bench-local"));
    if (!local.open())
        return 1;
    OfferRepository localOffers(&local);
    const double localSave = Bench::medianMs(runs * 3, [&] {
        if (const auto key = localOffers.save(offer, std::nullopt); !key)
            qFatal("%s", qPrintable(key.error().text()));
    });
    Bench::result(QStringLiteral("server: save an offer (17 rows)"), save,
        QStringLiteral("the same save into db.mdb"), localSave, QStringLiteral("ms:30"));
    return 0;
}
