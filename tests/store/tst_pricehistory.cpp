#include "store/pricehistory.h"

#include "support/testdb.h"

#include <QTest>

// The price history: which changes of the list leave which record, and that a change and its
// record are written together or not at all.
class TestPriceHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void changesLeaveRecords_data();
    void changesLeaveRecords();
    void nothingRecordedYet();
};

namespace
{

const QDateTime When(QDate(2026, 3, 4), QTime(10, 20, 30, 400));

// "old>new@source" per record, newest first; "-" stands for no price.
QStringList recorded(PriceHistory &history, const QString &category, const QString &id)
{
    const auto changes = history.changes(category, id);
    if (!changes)
        return { QStringLiteral("unreadable") };
    QStringList out;
    for (const PriceChange &c : *changes)
        out << QStringLiteral("%1>%2@%3:%4")
                   .arg(c.oldPrice.value_or(QStringLiteral("-")), c.newPrice.value_or(QStringLiteral("-")),
                       c.source, c.description);
    return out;
}

} // namespace

void TestPriceHistory::changesLeaveRecords_data()
{
    QTest::addColumn<QString>("action"); // add, update or remove, of category 0
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("price"); // new price for add and update
    QTest::addColumn<QString>("sabotage"); // raw SQL run first, statements split at |
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("pricesAfter"); // of the id in adt

    const QString refuseRecord
        = "create table price_history (changed_at varchar(32) not null, category "
          "varchar(16) not null, item_id text not null, old_price text, new_price text, "
          "description text, source text not null)|create trigger t before insert on "
          "price_history begin select raise(abort, 'no record'); end";
    QTest::newRow("add") << "add"
                         << "NEW"
                         << "12.345"
                         << "" << true << QStringList { "->12.345@editor:Desc" } << QStringList { "12.345" };
    QTest::newRow("update of the price")
        << "update"
        << "R5"
        << "5600.00"
        << "" << true << QStringList { "5400.50>5600.00@editor:Desc" } << QStringList { "5600.00" };
    QTest::newRow("update of the description alone records nothing")
        << "update"
        << "R5"
        << "5400.50"
        << "" << true << QStringList {} << QStringList { "5400.50" };
    QTest::newRow("update to the same amount written otherwise records nothing")
        << "update"
        << "R5"
        << "5400.5"
        << "" << true << QStringList {} << QStringList { "5400.5" };
    QTest::newRow("remove") << "remove"
                            << "R5"
                            << ""
                            << "" << true << QStringList { "5400.50>-@editor:AMD Ryzen 5" } << QStringList {};
    QTest::newRow("a refused record keeps the add out")
        << "add"
        << "NEW"
        << "1" << refuseRecord << false << QStringList {} << QStringList {};
    QTest::newRow("a refused record keeps the old price")
        << "update"
        << "R5"
        << "1" << refuseRecord << false << QStringList {} << QStringList { "5400.50" };
    QTest::newRow("a refused record keeps the item")
        << "remove"
        << "R5"
        << "" << refuseRecord << false << QStringList {} << QStringList { "5400.50" };
    QTest::newRow("a refused change records nothing")
        << "add"
        << "NEW"
        << "1"
        << "create trigger t before insert on adt begin select raise(abort, 'no'); end" << false
        << QStringList {} << QStringList {};
}

void TestPriceHistory::changesLeaveRecords()
{
    QFETCH(QString, action);
    QFETCH(QString, id);
    QFETCH(QString, price);
    QFETCH(QString, sabotage);
    QFETCH(bool, ok);
    QFETCH(QStringList, records);
    QFETCH(QStringList, pricesAfter);
    TestDb db({ { "0", "R5", "AMD Ryzen 5", "5400.50" }, { "1", "R5", "Other category", "1" } });
    for (const QString &statement : sabotage.split(u'|', Qt::SkipEmptyParts))
        db.exec(statement);
    Store store(db.path, QStringLiteral("t-history"));
    QVERIFY(store.open());
    PriceHistory history(&store);
    const PriceListItem item { "0", id, QStringLiteral("Desc"), price };
    bool done = false;
    if (action == QLatin1String("add"))
        done = history.add(item, When);
    else if (action == QLatin1String("update"))
        done = history.update(item, When);
    else
        done = history.removeRow({ "0", id, std::nullopt, std::nullopt }, When);
    QCOMPARE(done, ok);
    if (sabotage.isEmpty())
        QCOMPARE(recorded(history, "0", id), records);
    else
        QCOMPARE(db.count(), 2);
    QSqlQuery q(db.raw());
    q.prepare("select price from adt where category = '0' and id = ?");
    q.addBindValue(id);
    q.exec();
    QStringList prices;
    while (q.next())
        prices << q.value(0).toString();
    QCOMPARE(prices, pricesAfter);
    // The other category's item of the same id is never touched nor recorded.
    QCOMPARE(db.descriptions("1", "R5"), QStringList { "Other category" });
    if (sabotage.isEmpty()) {
        QCOMPARE(recorded(history, "1", id), QStringList {});
        const auto changes = history.changes("0", id);
        QVERIFY(changes);
        for (const PriceChange &c : *changes)
            QCOMPARE(c.when, When);
    }
}

void TestPriceHistory::nothingRecordedYet()
{
    TestDb db({ { "0", "R5", "AMD Ryzen 5", "5400.50" } });
    Store store(db.path, QStringLiteral("t-history-none"));
    QVERIFY(store.open());
    PriceHistory history(&store);
    const auto changes = history.changes("0", "R5");
    QVERIFY(changes);
    QVERIFY(changes->isEmpty());
}

QTEST_APPLESS_MAIN(TestPriceHistory)
#include "tst_pricehistory.moc"
