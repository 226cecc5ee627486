#include "store/pricehistory.h"

#include "store/importcolumns.h"
#include "support/testdb.h"

#include <QTest>

// The price history: which changes of the list leave which record, and that a change and its
// record are written together or not at all; on db.mdb and on a PostgreSQL database.
class TestPriceHistory : public QObject
{
    Q_OBJECT

public:
    explicit TestPriceHistory(Backend backend)
        : m_backend(backend)
    {
    }

private Q_SLOTS:
    void initTestCase() { BRASKO_START_BACKEND(m_backend); }
    void changesLeaveRecords_data();
    void changesLeaveRecords();
    void nothingRecordedYet();
    void anIdIsNeverAddedTwice();
    void bothEnginesTakeTheSameCategories_data();
    void bothEnginesTakeTheSameCategories();
    void anUnreadableHistoryIsAFailure();
    void aRoleWithASchemaOfItsOwn();

private:
    Backend m_backend;
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
    // add, update or remove, of category 0; "checked" ones change only while the item holds what
    // was seen ("stale": it was seen at another price than it now has).
    QTest::addColumn<QString>("action");
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
    QTest::newRow("checked update of the price")
        << "checked update"
        << "R5"
        << "5600.00"
        << "" << true << QStringList { "5400.50>5600.00@editor:Desc" } << QStringList { "5600.00" };
    QTest::newRow("checked update of a stale item records nothing")
        << "checked update stale"
        << "R5"
        << "5600.00"
        << "" << false << QStringList {} << QStringList { "5400.50" };
    QTest::newRow("checked remove") << "checked remove"
                                    << "R5"
                                    << ""
                                    << "" << true << QStringList { "5400.50>-@editor:AMD Ryzen 5" }
                                    << QStringList {};
    QTest::newRow("a refused record keeps the item after a checked remove")
        << "checked remove"
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
    if (!sabotage.isEmpty() && m_backend == Backend::Server)
        QSKIP("the refusals are made with SQLite triggers");
    TestDb db(m_backend, { { "0", "R5", "AMD Ryzen 5", "5400.50" }, { "1", "R5", "Other category", "1" } });
    for (const QString &statement : sabotage.split(u'|', Qt::SkipEmptyParts))
        db.exec(statement);
    Store store(db.path, QStringLiteral("t-history"));
    QVERIFY(store.open());
    PriceHistory history(&store);
    const PriceListItem item { "0", id, QStringLiteral("Desc"), price };
    const PriceListItem seen { "0", id, QStringLiteral("AMD Ryzen 5"),
        action.endsWith(QLatin1String("stale")) ? QStringLiteral("5000.00") : QStringLiteral("5400.50") };
    bool done = false;
    if (action.startsWith(QLatin1String("checked update")))
        done = history.updateIfUnchanged(seen, item, When).outcome == CheckedChange::Outcome::Done;
    else if (action == QLatin1String("checked remove"))
        done = history.removeIfUnchanged(seen, When).outcome == CheckedChange::Outcome::Done;
    else if (action == QLatin1String("add"))
        done = !history.add(item, When).isValid();
    else if (action == QLatin1String("update"))
        done = !history.update(item, When).isValid();
    else
        done = !history.removeRow({ "0", id, std::nullopt, std::nullopt }, When).isValid();
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
    TestDb db(m_backend, { { "0", "R5", "AMD Ryzen 5", "5400.50" } });
    Store store(db.path, QStringLiteral("t-history-none"));
    QVERIFY(store.open());
    PriceHistory history(&store);
    const auto changes = history.changes("0", "R5");
    QVERIFY(changes);
    QVERIFY(changes->isEmpty());
}

// Two counters look up the same new id and both press Add: the second is told, and the id is held
// once, with one record.
void TestPriceHistory::anIdIsNeverAddedTwice()
{
    TestDb db(m_backend, { { "0", "R5", "AMD Ryzen 5", "5400.50" } });
    Store first(db.path, QStringLiteral("t-add-1"));
    Store second(db.path, QStringLiteral("t-add-2"));
    QVERIFY(first.open() && second.open());
    QVERIFY(!*PriceListRepository(&first).item("0", "NEW")); // both looked it up: a new id
    QVERIFY(!*PriceListRepository(&second).item("0", "NEW"));
    QVERIFY(!PriceHistory(&second)
                 .add({ "0", "NEW", QStringLiteral("Second's"), QStringLiteral("2") }, When)
                 .isValid());
    PriceHistory history(&first);
    const StoreError refused
        = history.add({ "0", "NEW", QStringLiteral("First's"), QStringLiteral("1") }, When);
    QVERIFY2(refused.text().contains(QLatin1String("NEW is in the price list already")),
        qPrintable(refused.text()));
    QCOMPARE(db.descriptions("0", "NEW"), QStringList { "Second's" });
    QCOMPARE(recorded(history, "0", "NEW"), QStringList { "->2@editor:Second's" });
    // The import's and the editor's add alike: an id already there is never added again.
    QVERIFY(PriceListRepository(&first)
                .add({ "0", "R5", QStringLiteral("Again"), QStringLiteral("1") })
                .isValid());
    QCOMPARE(db.descriptions("0", "R5"), QStringList { "AMD Ryzen 5" });
}

void TestPriceHistory::bothEnginesTakeTheSameCategories_data()
{
    QTest::addColumn<QString>("oldTable"); // made raw first, as an earlier program made it
    QTest::newRow("a new table") << "";
    QTest::newRow("the table an earlier program made")
        << "create table price_history (changed_at varchar(32) not null, category varchar(16) not null,"
           " item_id text not null, old_price text, new_price text, description text, source text not null)";
}

// A category text of any length is taken on a server as on a file (a file never held a text to a
// length): the history records it there too, also in a table an earlier program made narrower.
void TestPriceHistory::bothEnginesTakeTheSameCategories()
{
    QFETCH(QString, oldTable);
    const QString category = QStringLiteral("a category named at length, well past sixteen");
    TestDb db(m_backend, { { category, "LONG", "Long", "1" } });
    if (!oldTable.isEmpty())
        db.exec(oldTable);
    Store store(db.path, QStringLiteral("t-history-long"));
    QVERIFY(store.open());
    PriceHistory history(&store);
    const CheckedChange changed
        = history.updateIfUnchanged({ category, "LONG", QStringLiteral("Long"), QStringLiteral("1") },
            { category, "LONG", QStringLiteral("Long"), QStringLiteral("2") }, When);
    QVERIFY2(changed.outcome == CheckedChange::Outcome::Done, qPrintable(changed.error.text()));
    QCOMPARE(recorded(history, category, "LONG"), QStringList { "1>2@editor:Long" });
    QVERIFY(
        !history.add({ category, "ADDED", QStringLiteral("Added"), QStringLiteral("3") }, When).isValid());
    // The file name the import's columns are kept by, likewise.
    const QString name = QString(300, QLatin1Char('n')) + QStringLiteral(".csv");
    const StoreError notKept = ImportColumns(&store).remember(name, QStringLiteral("columns"));
    QVERIFY2(!notKept.isValid(), qPrintable(notKept.text()));
    QCOMPARE(*ImportColumns(&store).remembered(name), std::optional<QString>(QStringLiteral("columns")));
    // The steps that made (or widened) the tables are taken once and recorded.
    QSqlQuery q(db.raw());
    QVERIFY(q.exec("select component, version from brasko_schema order by component"));
    QStringList steps;
    while (q.next())
        steps << q.value(0).toString() + " " + q.value(1).toString();
    QCOMPARE(steps, (QStringList { "import_columns 1", "price_history 2" }));
}

// Not knowing whether there is a history is not "no history": the reading fails, saying why.
void TestPriceHistory::anUnreadableHistoryIsAFailure()
{
    if (m_backend == Backend::Server)
        QSKIP("a file locked by another program; a server's lost connection is in tst_storeserverfaults");
    TestDb db(m_backend, { { "0", "R5", "AMD Ryzen 5", "5400.50" } });
    Store store(db.path, QStringLiteral("t-history-locked"));
    QVERIFY(store.open());
    PriceHistory history(&store);
    QVERIFY(!history.update({ "0", "R5", QStringLiteral("AMD Ryzen 5"), QStringLiteral("5600") }, When)
                 .isValid());
    QVERIFY(
        !ImportColumns(&store).remember(QStringLiteral("supplier.csv"), QStringLiteral("columns")).isValid());
    QSqlDatabase raw = db.raw();
    QSqlQuery lock(raw);
    QVERIFY(lock.exec("begin exclusive"));
    const auto locked = history.changes("0", "R5");
    QVERIFY(!locked);
    QVERIFY2(locked.error().text().contains(QLatin1String("locked")), qPrintable(locked.error().text()));
    ImportColumns columns(&store);
    const auto unreadable = columns.remembered(QStringLiteral("supplier.csv"));
    QVERIFY2(!unreadable && unreadable.error().isValid(), "an unreadable table taken for none");
    QVERIFY(lock.exec("rollback"));
    QCOMPARE(history.changes("0", "R5")->size(), 1);
    QCOMPARE(*columns.remembered(QStringLiteral("supplier.csv")),
        std::optional<QString>(QStringLiteral("columns")));
    const auto none = columns.remembered(QStringLiteral("other.csv"));
    QVERIFY(none && !*none);
}

// A role whose tables live in a schema of its own (as PostgreSQL 15 recommends), found through the
// search path: its history and remembered columns are read there.
void TestPriceHistory::aRoleWithASchemaOfItsOwn()
{
    if (m_backend == Backend::File)
        QSKIP("schemas are a server's");
    TestDb db(m_backend, {});
    static int serial = 0;
    const QString role = QStringLiteral("clerk%1").arg(++serial);
    db.exec(QStringLiteral("drop table adt"));
    db.exec(QStringLiteral("create role %1 login").arg(role));
    db.exec(QStringLiteral("create schema %1 authorization %1").arg(role));
    db.exec(QStringLiteral("revoke create on schema public from public"));
    QString address = db.path;
    address.replace(QStringLiteral("postgres@"), role + QLatin1Char('@'));
    Store store(address, QStringLiteral("t-history-role"));
    QVERIFY2(store.open(), qPrintable(store.lastError().text()));
    PriceHistory history(&store);
    const StoreError added
        = history.add({ "0", "R5", QStringLiteral("AMD Ryzen 5"), QStringLiteral("5400.50") }, When);
    QVERIFY2(!added.isValid(), qPrintable(added.text()));
    QCOMPARE(recorded(history, "0", "R5"), QStringList { "->5400.50@editor:AMD Ryzen 5" });
    QVERIFY(
        !ImportColumns(&store).remember(QStringLiteral("supplier.csv"), QStringLiteral("columns")).isValid());
    QCOMPARE(*ImportColumns(&store).remembered(QStringLiteral("supplier.csv")),
        std::optional<QString>(QStringLiteral("columns")));
    QSqlQuery q(db.raw());
    QVERIFY(q.exec(QStringLiteral("select count(*) from %1.price_history").arg(role)) && q.next());
    QCOMPARE(q.value(0).toInt(), 1);
}

BRASKO_TEST_ON_BOTH_BACKENDS(TestPriceHistory)
#include "tst_pricehistory.moc"
