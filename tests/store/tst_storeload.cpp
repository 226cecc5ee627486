// Four counters at once on one server, each a process of its own saving offers and changing
// prices as the windows do: no failure at all, every offer gets a number of its own, every price
// change is written or told, and the price history holds every change with the price it replaced.

#include "store/pricehistory.h"
#include "store/priceimport.h"
#include "support/testdb.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTest>

#include <memory>
#include <set>

class TestStoreLoad : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { TestDb::stopServer(); }
    void fourCountersAtOnce();
    void importDoesNotFreezeAnotherCounter();
    void aHeldItemIsWaitedForBriefly();
};

namespace
{

// One change of item ID's price by the editor of another counter, as a process of its own; what it
// printed, or "hung" when it did not finish within a minute (a window that hangs).
QString changeAtAnotherCounter(const QString &address, const QString &id, const QString &price)
{
    QProcess counter;
    counter.start(QStringLiteral(LOAD_COUNTER), { address, QStringLiteral("change"), id, price });
    if (!counter.waitForFinished(60000)) {
        counter.kill();
        counter.waitForFinished(5000);
        return QStringLiteral("hung");
    }
    return QString::fromUtf8(counter.readAllStandardOutput()).trimmed();
}

} // namespace

void TestStoreLoad::initTestCase()
{
    BRASKO_START_BACKEND(Backend::Server);
}

void TestStoreLoad::fourCountersAtOnce()
{
    constexpr int Counters = 4;
    constexpr int PerCounter = 250;
    constexpr int Items = 20; // few, so the counters meet on the same items often
    std::vector<TestRow> rows;
    for (int i = 0; i < Items; ++i)
        rows.push_back({ "0", QStringLiteral("I%1").arg(i), QStringLiteral("Item %1").arg(i), "0" });
    TestDb db(Backend::Server, rows);
    std::vector<std::unique_ptr<QProcess>> counters;
    for (int c = 0; c < Counters; ++c) {
        counters.push_back(std::make_unique<QProcess>());
        counters.back()->start(QStringLiteral(LOAD_COUNTER),
            { db.path, QString::number(c + 1), QString::number(PerCounter), QString::number(Items) });
    }
    std::set<int> numbers;
    int offers = 0;
    int priceChanges = 0;
    QStringList errors;
    std::map<QString, std::set<QString>> written; // item → every price written to it
    for (auto &p : counters) {
        QVERIFY(p->waitForFinished(240000));
        const QStringList lines
            = QString::fromUtf8(p->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        for (const QString &line : lines) {
            const QStringList parts = line.split(' ');
            if (parts.first() == "offer") {
                ++offers;
                numbers.insert(parts.at(1).toInt());
            } else if (parts.first() == "price") {
                ++priceChanges;
                written[parts.at(1)].insert(parts.at(2));
            } else if (parts.first() == "error") {
                errors << line;
            }
        }
        QCOMPARE(p->exitCode(), errors.isEmpty() ? 0 : 1); // a failure is never kept quiet
    }
    QVERIFY2(errors.isEmpty(), qPrintable(errors.mid(0, 5).join(u'\n')));
    QCOMPARE(offers, Counters * PerCounter);
    QCOMPARE(int(numbers.size()), Counters * PerCounter);
    QCOMPARE(*numbers.begin(), 1);
    QCOMPARE(*numbers.rbegin(), Counters * PerCounter);
    QCOMPARE(priceChanges, Counters * PerCounter);
    QSqlQuery q(db.raw());
    QVERIFY(q.exec("select count(*), count(distinct number) from offers"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), Counters * PerCounter);
    QCOMPARE(q.value(1).toInt(), Counters * PerCounter);
    // Every item holds a price one of the counters wrote and was told was written.
    QVERIFY(q.exec("select id, price from adt where category = '0'"));
    std::map<QString, QString> held;
    while (q.next()) {
        QVERIFY2(written[q.value(0).toString()].count(q.value(1).toString()) == 1,
            qPrintable(q.value(0).toString() + " holds " + q.value(1).toString()));
        held[q.value(0).toString()] = q.value(1).toString();
    }
    // The history of each item is one chain from its first price to the one it holds: every change
    // recorded once, with the price it really replaced.
    std::map<QString, std::map<QString, QString>> next; // item → old price → new price
    int records = 0;
    QVERIFY(q.exec("select item_id, old_price, new_price, source from price_history where category = '0'"));
    while (q.next()) {
        ++records;
        QCOMPARE(q.value(3).toString(), QStringLiteral("editor"));
        const bool once
            = next[q.value(0).toString()].emplace(q.value(1).toString(), q.value(2).toString()).second;
        QVERIFY2(once, qPrintable(q.value(0).toString() + ": two changes from " + q.value(1).toString()));
    }
    QCOMPARE(records, priceChanges);
    for (int i = 0; i < Items; ++i) {
        const QString id = QStringLiteral("I%1").arg(i);
        QString price = QStringLiteral("0");
        size_t steps = 0;
        for (auto found = next[id].find(price); found != next[id].end(); found = next[id].find(price)) {
            price = found->second;
            QVERIFY2(++steps <= next[id].size(), qPrintable(id + ": the history goes round in a circle"));
        }
        QCOMPARE(steps, next[id].size());
        QCOMPARE(price, held[id]);
    }
}

// A long import holds the price list to its end; another counter's editor is told so at once and
// changes nothing, instead of hanging until the import is done.
void TestStoreLoad::importDoesNotFreezeAnotherCounter()
{
    constexpr int Count = 5000;
    std::vector<TestRow> rows;
    SupplierImport::ItemList items;
    for (int i = 0; i < Count; ++i) {
        const QString id = QStringLiteral("ID%1").arg(i, 4, 10, QLatin1Char('0'));
        rows.push_back({ "0", id, "Item", "10.00" });
        items.put({ QStringLiteral("0"), id, QStringLiteral("Item"), QStringLiteral("20"), i + 2 });
    }
    TestDb db(Backend::Server, rows);
    Store store(db.path, QStringLiteral("t-load-import"));
    QVERIFY(store.open());
    PriceImport import(&store);
    const auto preview = import.preview(std::move(items));
    QVERIFY(preview);
    QString editor;
    const StoreError failed = import.apply(
        *preview, false, QStringLiteral("supplier.csv"), QDateTime::currentDateTime(), [&](qint64, qint64) {
            if (editor.isEmpty())
                editor = changeAtAnotherCounter(db.path, QStringLiteral("ID4999"), QStringLiteral("99.00"));
            return true;
        });
    QVERIFY2(!failed.isValid(), qPrintable(failed.text()));
    QVERIFY2(editor.startsWith(QLatin1String("busy ")), qPrintable(editor));
    QVERIFY2(editor.contains(QLatin1String("being imported at another counter")), qPrintable(editor));
    QSqlQuery q(db.raw());
    QVERIFY(q.exec("select price from adt where id = 'ID4999'") && q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("20"));
    // Once the import is done the editor changes the item as usual.
    QCOMPARE(changeAtAnotherCounter(db.path, QStringLiteral("ID4999"), QStringLiteral("99.00")),
        QStringLiteral("done"));
    const auto changes = PriceHistory(&store).changes(QStringLiteral("0"), QStringLiteral("ID4999"));
    QVERIFY(changes);
    QCOMPARE(changes->size(), 2);
    QCOMPARE(changes->first().oldPrice.value_or(QString()), QStringLiteral("20"));
}

// A row another counter holds for long (a transaction left open) is waited for a few seconds; then
// the change is refused with a message, the window free again.
void TestStoreLoad::aHeldItemIsWaitedForBriefly()
{
    TestDb db(Backend::Server, { { "0", "I1", "Item", "10.00" } });
    QSqlDatabase raw = db.raw();
    QVERIFY(raw.transaction());
    QSqlQuery hold(raw);
    QVERIFY(hold.exec("update adt set price = '11.00' where id = 'I1'"));
    const QString editor = changeAtAnotherCounter(db.path, QStringLiteral("I1"), QStringLiteral("12.00"));
    QVERIFY(raw.rollback());
    QVERIFY2(editor.startsWith(QLatin1String("busy ")), qPrintable(editor));
    QVERIFY2(editor.contains(QLatin1String("Try again in a moment")), qPrintable(editor));
    QCOMPARE(db.descriptions("0", "I1"), QStringList { "Item" });
    QSqlQuery q(db.raw());
    QVERIFY(q.exec("select price from adt where id = 'I1'") && q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("10.00"));
}

QTEST_GUILESS_MAIN(TestStoreLoad)
#include "tst_storeload.moc"
