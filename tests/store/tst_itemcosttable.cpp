#include "store/itemcosttable.h"

#include "store/partattributetable.h"
#include "store/pricehistorytable.h"
#include "store/pricelistrepository.h"
#include "store/store.h"
#include "support/testdb.h"

#include <QTest>

// Items' costs kept beside the list, each change with its record in the price history; on db.mdb
// and on a PostgreSQL database.
class TestItemCostTable : public QObject
{
    Q_OBJECT

public:
    explicit TestItemCostTable(Backend backend)
        : m_backend(backend)
    {
    }

private Q_SLOTS:
    void initTestCase() { BRASKO_START_BACKEND(m_backend); }
    void aListWithoutCosts();
    void setOneCost_data();
    void setOneCost();
    void theSecondCounterIsTold();
    void manyAtOnceOrNone_data();
    void manyAtOnceOrNone();
    void olderRecordsStayPriceChanges();
    void whatGoesWithARemovedItem_data();
    void whatGoesWithARemovedItem();

private:
    Backend m_backend;
};

namespace
{

const QDateTime When(QDate(2026, 12, 9), QTime(10, 20, 30, 400));
const QString Category = QStringLiteral("2");

// "-" is an unknown cost.
std::optional<Price> cost(const QString &text)
{
    return text == QLatin1String("-") ? std::nullopt : std::optional<Price>(Price::fromStored(text));
}

QString shown(const std::optional<Price> &cost)
{
    return cost ? cost->text() : QStringLiteral("-");
}

// "what:old>new@source" per record, newest first; "-" stands for none.
QStringList recorded(Store &store, const QString &id)
{
    const auto changes = PriceHistoryTable(&store).changes(Category, id);
    if (!changes)
        return { QStringLiteral("unreadable") };
    QStringList out;
    for (const PriceChange &c : *changes)
        out << QStringLiteral("%1:%2>%3@%4")
                   .arg(c.what == PriceChange::What::Cost ? QStringLiteral("cost") : QStringLiteral("price"),
                       c.oldPrice.value_or(QStringLiteral("-")), c.newPrice.value_or(QStringLiteral("-")),
                       c.source);
    return out;
}

QString costOf(Store &store, const QString &id)
{
    const auto read = ItemCostTable(&store).read(Category, id);
    return read ? shown(*read) : QStringLiteral("unreadable: ") + read.error().text();
}

} // namespace

void TestItemCostTable::aListWithoutCosts()
{
    TestDb db(m_backend, { { "2", "DDR5-16", "16 GB DDR5", "2400" } });
    Store store(db.path, QStringLiteral("t-costs-none"));
    QVERIFY(store.open());
    ItemCostTable table(&store);
    QCOMPARE(costOf(store, "DDR5-16"), QStringLiteral("-"));
    const auto all = table.readCategory(Category);
    QVERIFY(all && all->isEmpty());
    // Reading makes nothing: a list that never had costs stays exactly as it was.
    QVERIFY(!store.hasTable(QStringLiteral("item_costs")).value_or(true));
}

void TestItemCostTable::setOneCost_data()
{
    QTest::addColumn<QString>("before"); // the kept cost, "-" for none
    QTest::addColumn<QString>("seen"); // what the person read
    QTest::addColumn<QString>("after"); // what is to be kept
    QTest::addColumn<int>("kind"); // StoreError::Kind
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QStringList>("records");

    const int done = int(StoreError::Kind::None);
    const int conflict = int(StoreError::Kind::Conflict);
    const int refused = int(StoreError::Kind::Failed);
    QTest::newRow("an unknown cost becomes known")
        << "-"
        << "-"
        << "1080.50" << done << "1080.50" << QStringList { "cost:->1080.50@editor" };
    QTest::newRow("zero is a cost") << "-"
                                    << "-"
                                    << "0" << done << "0" << QStringList { "cost:->0@editor" };
    QTest::newRow("changed") << "100"
                             << "100"
                             << "120.125" << done << "120.125" << QStringList { "cost:100>120.125@editor" };
    QTest::newRow("unknown again") << "100"
                                   << "100"
                                   << "-" << done << "-" << QStringList { "cost:100>-@editor" };
    QTest::newRow("the same amount written otherwise records nothing")
        << "100"
        << "100.0"
        << "100.00" << done << "100" << QStringList {};
    QTest::newRow("changed since it was read") << "100"
                                               << "90"
                                               << "120" << conflict << "100" << QStringList {};
    QTest::newRow("made known since it was read") << "100"
                                                  << "-"
                                                  << "120" << conflict << "100" << QStringList {};
    QTest::newRow("made unknown since it was read") << "-"
                                                    << "100"
                                                    << "120" << conflict << "-" << QStringList {};
    QTest::newRow("below zero") << "100"
                                << "100"
                                << "-0.01" << refused << "100" << QStringList {};
    QTest::newRow("not a number") << "-"
                                  << "-"
                                  << "call" << refused << "-" << QStringList {};
    QTest::newRow("a number with words") << "-"
                                         << "-"
                                         << "100 EGP" << refused << "-" << QStringList {};
}

void TestItemCostTable::setOneCost()
{
    QFETCH(QString, before);
    QFETCH(QString, seen);
    QFETCH(QString, after);
    QFETCH(int, kind);
    QFETCH(QString, kept);
    QFETCH(QStringList, records);

    TestDb db(m_backend, { { "2", "DDR5-16", "16 GB DDR5", "2400" } });
    Store store(db.path, QStringLiteral("t-costs-one"));
    QVERIFY(store.open());
    ItemCostTable table(&store);
    if (before != QLatin1String("-")) {
        QVERIFY(table.ensureSchema());
        db.exec(
            QStringLiteral("insert into item_costs (category, item_id, cost) values ('2', 'DDR5-16', '%1')")
                .arg(before));
    }
    const StoreError error = table.set({ Category, "DDR5-16", cost(seen), cost(after) }, When);
    QCOMPARE(int(error.kind()), kind);
    if (error.kind() == StoreError::Kind::Conflict)
        QVERIFY2(error.text().contains(QLatin1String("DDR5-16")), qPrintable(error.text()));
    QCOMPARE(costOf(store, "DDR5-16"), kept);
    QCOMPARE(recorded(store, "DDR5-16"), records);
    QCOMPARE(db.descriptions("2", "DDR5-16"), QStringList { "16 GB DDR5" }); // the list is untouched
}

// Two counters read the same cost; the first keeps its change, the second is told and changes
// nothing.
void TestItemCostTable::theSecondCounterIsTold()
{
    TestDb db(m_backend, { { "2", "DDR5-16", "16 GB DDR5", "2400" } });
    Store first(db.path, QStringLiteral("t-costs-1"));
    Store second(db.path, QStringLiteral("t-costs-2"));
    QVERIFY(first.open() && second.open());
    QVERIFY(!ItemCostTable(&first).set({ Category, "DDR5-16", std::nullopt, cost("2000") }, When).isValid());
    const auto seenByFirst = ItemCostTable(&first).read(Category, "DDR5-16");
    const auto seenBySecond = ItemCostTable(&second).read(Category, "DDR5-16");
    QVERIFY(seenByFirst && seenBySecond);
    QVERIFY(!ItemCostTable(&first)
                 .set({ Category, "DDR5-16", *seenByFirst, cost("2100") }, When.addSecs(60))
                 .isValid());
    const StoreError told
        = ItemCostTable(&second).set({ Category, "DDR5-16", *seenBySecond, cost("1900") }, When);
    QCOMPARE(told.kind(), StoreError::Kind::Conflict);
    QCOMPARE(costOf(second, "DDR5-16"), QStringLiteral("2100"));
    const auto all = ItemCostTable(&second).readCategory(Category);
    QVERIFY(all);
    QCOMPARE(all->size(), 1);
    QCOMPARE(all->value(QStringLiteral("DDR5-16")).text(), QStringLiteral("2100"));
    QCOMPARE(recorded(second, "DDR5-16"), (QStringList { "cost:2000>2100@editor", "cost:->2000@editor" }));
}

void TestItemCostTable::manyAtOnceOrNone_data()
{
    // Changes as "id:old>new", against the kept costs A 10, B 20 (C has none).
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("costsAfter"); // A, B, C
    QTest::addColumn<int>("records");

    QTest::newRow("all as read") << QStringList { "A:10>11", "B:20>-", "C:->30" }
                                 << int(StoreError::Kind::None) << "11 - 30" << 3;
    QTest::newRow("unchanged ones are passed over")
        << QStringList { "A:10>10", "C:->30" } << int(StoreError::Kind::None) << "10 20 30" << 1;
    QTest::newRow("one changed since: none is kept") << QStringList { "A:10>11", "B:19>21", "C:->30" }
                                                     << int(StoreError::Kind::Conflict) << "10 20 -" << 0;
    QTest::newRow("one added since: none is kept")
        << QStringList { "A:10>11", "B:->21" } << int(StoreError::Kind::Conflict) << "10 20 -" << 0;
    QTest::newRow("one below zero: none is kept")
        << QStringList { "A:10>11", "C:->-1" } << int(StoreError::Kind::Failed) << "10 20 -" << 0;
}

void TestItemCostTable::manyAtOnceOrNone()
{
    QFETCH(QStringList, changes);
    QFETCH(int, kind);
    QFETCH(QString, costsAfter);
    QFETCH(int, records);

    TestDb db(m_backend, {});
    Store store(db.path, QStringLiteral("t-costs-bulk"));
    QVERIFY(store.open());
    ItemCostTable table(&store);
    QVERIFY(table.ensureSchema());
    db.exec(QStringLiteral("insert into item_costs (category, item_id, cost) values ('2', 'A', '10')"));
    db.exec(QStringLiteral("insert into item_costs (category, item_id, cost) values ('2', 'B', '20')"));
    QList<CostChange> list;
    for (const QString &c : changes) {
        const QString id = c.section(QLatin1Char(':'), 0, 0);
        const QString values = c.section(QLatin1Char(':'), 1);
        list.push_back({ Category, id, cost(values.section(QLatin1Char('>'), 0, 0)),
            cost(values.section(QLatin1Char('>'), 1)), QStringLiteral("item ") + id });
    }
    StoreError error;
    // As an import does: its own transaction, rolled back when the costs were not all kept.
    store.inTransaction([&] {
        error = table.setCosts(list, When, QStringLiteral("nile.csv"));
        return !error.isValid();
    });
    QCOMPARE(int(error.kind()), kind);
    QCOMPARE(
        QStringList({ costOf(store, "A"), costOf(store, "B"), costOf(store, "C") }).join(QLatin1Char(' ')),
        costsAfter);
    const qsizetype made
        = recorded(store, "A").size() + recorded(store, "B").size() + recorded(store, "C").size();
    QCOMPARE(made, records);
    if (records > 0) {
        const auto c = PriceHistoryTable(&store).changes(Category, "C");
        QVERIFY(c && !c->isEmpty());
        QCOMPARE(c->first().description, QStringLiteral("item C"));
        QCOMPARE(c->first().source, QStringLiteral("nile.csv"));
    }
}

// A history an earlier program kept, without the column that tells costs apart, reads as price
// changes, before and after the first cost is recorded.
void TestItemCostTable::olderRecordsStayPriceChanges()
{
    TestDb db(m_backend, { { "2", "DDR5-16", "16 GB DDR5", "2400" } });
    db.exec(
        QStringLiteral("create table price_history (changed_at varchar(32) not null, category text not null,"
                       " item_id text not null, old_price text, new_price text, description text,"
                       " source text not null)"));
    db.exec(QStringLiteral("create table brasko_schema (component varchar(40) primary key, version integer"
                           " not null)"));
    db.exec(QStringLiteral("insert into brasko_schema (component, version) values ('price_history', 1)"));
    db.exec(QStringLiteral("insert into price_history values ('2026-01-02T03:04:05.000', '2', 'DDR5-16',"
                           " '2300', '2400', '16 GB DDR5', 'editor')"));
    Store store(db.path, QStringLiteral("t-costs-older"));
    QVERIFY(store.open());
    QCOMPARE(recorded(store, "DDR5-16"), QStringList { "price:2300>2400@editor" });
    QVERIFY(!ItemCostTable(&store).set({ Category, "DDR5-16", std::nullopt, cost("2000") }, When).isValid());
    QCOMPARE(recorded(store, "DDR5-16"), (QStringList { "cost:->2000@editor", "price:2300>2400@editor" }));
}

void TestItemCostTable::whatGoesWithARemovedItem_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("twice"); // the list holds the id in two rows
    QTest::addColumn<bool>("kept"); // the cost and attributes are still there after

    QTest::newRow("removed") << "remove" << false << false;
    QTest::newRow("its one row removed") << "row" << false << false;
    QTest::newRow("one of its two rows removed") << "row" << true << true;
    QTest::newRow("removed as it was seen") << "seen" << false << false;
    QTest::newRow("changed before the removal") << "changed" << false << true;
}

// An id added again later is a new item: an old cost would make its price look hand-set, and old
// attributes would judge what fits by a part that is gone.
void TestItemCostTable::whatGoesWithARemovedItem()
{
    QFETCH(QString, how);
    QFETCH(bool, twice);
    QFETCH(bool, kept);
    std::vector<TestRow> rows { { "2", "DDR5-16", "16 GB DDR5", "2400" }, { "2", "DDR4-8", "8 GB", "900" } };
    if (twice)
        rows.push_back({ "2", "DDR5-16", "16 GB DDR5 again", "2500" });
    TestDb db(m_backend, rows);
    Store store(db.path, QStringLiteral("t-costs-removed"));
    QVERIFY(store.open());
    for (const QString &id : { QStringLiteral("DDR5-16"), QStringLiteral("DDR4-8") }) {
        QVERIFY(!ItemCostTable(&store)
                     .set({ Category, id, std::nullopt, Price::fromStored("2000") }, When)
                     .isValid());
        PartAttributes memory;
        memory.set(Attribute::MemoryTypes, QStringLiteral("DDR5"));
        QVERIFY(!PartAttributeTable(&store).write(Category, id, memory).isValid());
    }
    PriceListRepository list(&store);
    const PriceListItem seen = **list.item(Category, QStringLiteral("DDR5-16"));
    if (how == QLatin1String("remove")) {
        QVERIFY(!list.remove(Category, seen.id).isValid());
    } else if (how == QLatin1String("row")) {
        QVERIFY(!list.removeRow(seen).isValid());
    } else {
        if (how == QLatin1String("changed"))
            QVERIFY(!list.update({ Category, seen.id, seen.description, QStringLiteral("2450") }).isValid());
        const auto outcome = list.removeIfUnchanged(seen).outcome;
        QCOMPARE(outcome == CheckedChange::Outcome::Done, !kept);
    }
    QCOMPARE(costOf(store, "DDR5-16"), kept ? QStringLiteral("2000") : QStringLiteral("-"));
    QCOMPARE(PartAttributeTable(&store).read(Category, QStringLiteral("DDR5-16"))->isEmpty(), !kept);
    // Another item's stay.
    QCOMPARE(costOf(store, "DDR4-8"), QStringLiteral("2000"));
    QVERIFY(!PartAttributeTable(&store).read(Category, QStringLiteral("DDR4-8"))->isEmpty());
}

BRASKO_TEST_ON_BOTH_BACKENDS(TestItemCostTable)
#include "tst_itemcosttable.moc"
