// The database server going away in the middle of work, for real: the server is stopped and
// started again under an open store. The action that meets the lost connection fails with a
// message and writes nothing; once the server is back the next action connects again by itself.

#include "store/importcolumns.h"
#include "store/offerrepository.h"
#include "store/pricehistory.h"
#include "store/priceimport.h"
#include "store/pricelistexport.h"
#include "store/pricelistrepository.h"
#include "support/testdb.h"

#include <QTest>

class TestStoreServerFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { TestDb::stopServer(); }
    void serverStopsMidSession_data();
    void serverStopsMidSession();
};

void TestStoreServerFaults::initTestCase()
{
    BRASKO_START_BACKEND(Backend::Server);
}

namespace
{

Offer sample(const QString &client)
{
    Offer offer;
    offer.client = client;
    offer.date = QDateTime(QDate(2027, 3, 1), QTime(12, 0));
    offer.pickItem(0, QStringLiteral("I5"), QStringLiteral("Intel Core i5"), QStringLiteral("6900"));
    return offer;
}

// One action of a counter; true when it worked.
bool act(const QString &action, Store &store, QString *error)
{
    PriceListRepository prices(&store);
    OfferRepository offers(&store);
    bool ok = false;
    if (action == QLatin1String("picker")) {
        ok = prices.items(QStringLiteral("0")).ok();
    } else if (action == QLatin1String("settings")) {
        ok = !prices
                  .rewriteSettings({ { QStringLiteral("company"), QStringLiteral("New Shop") },
                      { QStringLiteral("sp"), QStringLiteral("New Seller") } })
                  .isValid();
    } else if (action == QLatin1String("price")) {
        const auto read = prices.item(QStringLiteral("0"), QStringLiteral("I5"));
        const auto seen = read ? *read : std::nullopt;
        ok = seen
            && prices
                    .updateIfUnchanged(*seen,
                        { QStringLiteral("0"), QStringLiteral("I5"), seen->description,
                            QStringLiteral("7000") })
                    .outcome
                == CheckedChange::Outcome::Done;
    } else if (action == QLatin1String("history")) {
        ok = PriceHistory(&store).changes(QStringLiteral("0"), QStringLiteral("I5")).ok();
    } else if (action == QLatin1String("columns")) {
        ok = ImportColumns(&store).remembered(QStringLiteral("supplier.csv")).ok();
    } else if (action == QLatin1String("preview")) {
        SupplierImport::ItemList items;
        items.put({ QStringLiteral("0"), QStringLiteral("I5"), std::nullopt, QStringLiteral("7000"), 2 });
        PriceImport import(&store);
        const auto preview = import.preview(std::move(items));
        ok = preview.ok();
        if (!ok) {
            *error = preview.error().text();
            return false;
        }
    } else if (action == QLatin1String("export")) {
        QTemporaryDir dir;
        const PriceListExport written
            = exportPriceList(store, std::nullopt, dir.filePath(QStringLiteral("list.csv")));
        *error = written.error;
        return written.ok;
    } else if (action == QLatin1String("offer")) {
        const auto saved = offers.save(sample(QStringLiteral("Client")), std::nullopt);
        ok = saved.ok();
        if (!ok) {
            *error = saved.error().text();
            return false;
        }
    }
    if (!ok)
        *error = store.lastError().text();
    return ok;
}

} // namespace

void TestStoreServerFaults::serverStopsMidSession_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("opening a picker") << "picker";
    QTest::newRow("rewriting the settings") << "settings";
    QTest::newRow("changing a price") << "price";
    QTest::newRow("saving an offer") << "offer";
    QTest::newRow("reading the price history") << "history";
    QTest::newRow("reading the remembered import columns") << "columns";
    QTest::newRow("previewing an import") << "preview";
    QTest::newRow("exporting the price list") << "export";
}

void TestStoreServerFaults::serverStopsMidSession()
{
    QFETCH(QString, action);
    TestDb db(Backend::Server,
        { { "0", "I5", "Intel Core i5", "6900" }, { "90", "company", "Old Shop", "0.00" },
            { "90", "sp", "Old Seller", "0.00" } });
    Store store(db.path, QStringLiteral("t-faults"));
    QVERIFY(store.open());
    QVERIFY(OfferRepository(&store).save(sample(QStringLiteral("Before")), std::nullopt)); // offer 1
    QVERIFY(!PriceHistory(&store)
                 .add({ "0", "R5", QStringLiteral("AMD Ryzen 5"), QStringLiteral("5400.50") },
                     QDateTime::currentDateTime())
                 .isValid());
    QVERIFY(
        !ImportColumns(&store).remember(QStringLiteral("supplier.csv"), QStringLiteral("columns")).isValid());
    PostgresServer *server = TestDb::server();
    QString why;

    server->stop();
    QString error;
    QVERIFY(!act(action, store, &error));
    QVERIFY2(error.contains(QStringLiteral("was lost")), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("127.0.0.1")), qPrintable(error)); // names the server
    // Still away: told so again, and nothing is written anywhere else meanwhile.
    QVERIFY(!act(action, store, &error));
    QVERIFY2(error.contains(QStringLiteral("cannot be reached")), qPrintable(error));

    QVERIFY2(server->restart(&why), qPrintable(why));
    db.dropRaw();
    // Nothing of the failed actions was written, and what was saved before is all there.
    QCOMPARE(db.descriptions("90", "company"), QStringList { "Old Shop" });
    QCOMPARE(db.descriptions("90", "sp"), QStringList { "Old Seller" });
    QSqlQuery q(db.raw());
    QVERIFY(q.exec("select count(*), max(number) from offers") && q.next());
    QCOMPARE(q.value(0).toInt(), 1);
    QVERIFY(q.exec("select price from adt where id = 'I5'") && q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("6900"));

    // The next action connects again by itself.
    QVERIFY2(act(action, store, &error), qPrintable(error));
    if (action == QLatin1String("offer"))
        QCOMPARE(*OfferRepository(&store).highestNumber(), 2); // no number was used up by the failure
}

QTEST_GUILESS_MAIN(TestStoreServerFaults)
#include "tst_storeserverfaults.moc"
