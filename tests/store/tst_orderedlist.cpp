#include "store/orderedlist.h"
#include "store/recordset.h"
#include "support/testdb.h"

#include <QSqlQuery>
#include <QTest>

// A long list read a page at a time from either end, on db.mdb and on a PostgreSQL database: every
// move lands on the row it lands on in the same list read whole, and the rows the grid shows are
// the list's rows, each once, when the ends meet.
class TestOrderedList : public QObject
{
    Q_OBJECT

public:
    explicit TestOrderedList(Backend backend)
        : m_backend(backend)
    {
    }

private Q_SLOTS:
    void initTestCase();
    void movesLandAsInTheWholeList_data();
    void movesLandAsInTheWholeList();
    void endReadsOnlyTheLastScreen();
    void rowsWrittenMeanwhileAreListedOnce();
    void failingListIsNoList();

private:
    // A list of category "2" with `items` ids, `repeated` of them twice, and (on a table that
    // allows it) `unvalued` rows without an id; a few rows of other categories around them.
    std::unique_ptr<TestDb> makeList(int items, int repeated, int unvalued);
    std::unique_ptr<OrderedList> open(Store &store, int pageRows);
    // The same list read whole, in the order the program has always shown it.
    std::unique_ptr<RecordSet> wholeList(Store &store);

    Backend m_backend;
};

namespace
{

// The id and description of the current row, or "-" when there is none.
QString current(const RecordSet &rows)
{
    if (!rows.hasCurrentRow())
        return QStringLiteral("-");
    return rows.text(QStringLiteral("id")).value_or(QStringLiteral("<null>")) + u'|'
        + rows.text(QStringLiteral("Description")).value_or(QString());
}

QStringList shownRows(const QAbstractItemModel *model)
{
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        const QVariant id = model->index(r, 0).data();
        rows << (id.isNull() ? QStringLiteral("<null>") : id.toString()) + u'|'
                + model->index(r, 1).data().toString();
    }
    return rows;
}

} // namespace

void TestOrderedList::initTestCase()
{
    BRASKO_START_BACKEND(m_backend);
}

std::unique_ptr<TestDb> TestOrderedList::makeList(int items, int repeated, int unvalued)
{
    auto db = std::make_unique<TestDb>(m_backend, std::vector<TestRow> {});
    if (unvalued > 0) {
        // A price list another program made, whose table lets a row go without an id.
        db->exec(QStringLiteral("drop table adt"));
        db->exec(QStringLiteral("create table adt (category text, id text, description text, price text)"));
        db->exec(QStringLiteral("create index adt_category_id on adt (category, id)"));
    }
    QSqlDatabase raw = db->raw();
    raw.transaction();
    db->insert({ "1", "ID5", "other category", "1" });
    // Written out of order, so the list's order is not the order of writing.
    for (int i = 0; i < items; ++i) {
        const int n = (i * 11) % items;
        db->insert({ "2", QStringLiteral("ID%1").arg(n, 3, 10, QLatin1Char('0')),
            QStringLiteral("item %1").arg(n), "1.00" });
        if (n < repeated)
            db->insert({ "2", QStringLiteral("ID%1").arg(n, 3, 10, QLatin1Char('0')),
                QStringLiteral("item %1 again").arg(n), "2.00" });
        if (i == items / 2) {
            for (int u = 0; u < unvalued; ++u)
                db->exec(QStringLiteral("insert into adt values ('2', NULL, 'no id %1', '3')").arg(u));
        }
    }
    db->insert({ "3", "ID0", "other category", "1" });
    raw.commit();
    return db;
}

std::unique_ptr<OrderedList> TestOrderedList::open(Store &store, int pageRows)
{
    return OrderedList::open(&store,
        { QStringLiteral("id as \"ID\",description as \"Description\",price as \"Price\""),
            QStringLiteral("adt"), QStringLiteral("category = ?"), { QStringLiteral("2") },
            QStringLiteral("id"), store.rowKeyColumn(), pageRows });
}

std::unique_ptr<RecordSet> TestOrderedList::wholeList(Store &store)
{
    return store.query(
        QStringLiteral("select id as \"ID\",description as \"Description\",price as \"Price\" from "
                       "adt where category = '2' order by id desc,%1 desc")
            .arg(store.rowKeyColumn()),
        {});
}

void TestOrderedList::movesLandAsInTheWholeList_data()
{
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("repeated");
    QTest::addColumn<int>("unvalued");
    QTest::addColumn<int>("pageRows");
    // F first (Home), L last (End), P previous (Up, PgUp, Left), N next (Down, PgDn, Right).
    QTest::addColumn<QString>("moves");
    QTest::newRow("End lands on the lowest id") << 10 << 0 << 0 << 3 << "L";
    QTest::newRow("PgDn past the end, Up back onto the last") << 10 << 0 << 0 << 3 << "L N N P P";
    QTest::newRow("Up from the end to the top and past it")
        << 10 << 0 << 0 << 3 << "L P P P P P P P P P P P N N";
    QTest::newRow("Down from the top into the rows read from the bottom")
        << 10 << 0 << 0 << 3 << "L F N N N N N N N N N N N P";
    QTest::newRow("Home after End, End after Home") << 10 << 0 << 0 << 3 << "L F L P F N";
    QTest::newRow("repeated ids in the order they were written, newest first")
        << 8 << 3 << 0 << 2 << "L P P P P P P P P P P P P";
    QTest::newRow("repeated ids, read down") << 8 << 3 << 0 << 2 << "F N N N N N N N N N N N N";
    QTest::newRow("an empty list") << 0 << 0 << 0 << 3 << "L N P F N P";
    QTest::newRow("one row") << 1 << 0 << 0 << 3 << "L N P P N N F";
    QTest::newRow("pages as long as the list") << 6 << 0 << 0 << 6 << "L P P P P P P N";
    QTest::newRow("pages as the program reads them") << 700 << 5 << 0 << 0 << "L P P P F N N L N P";
    if (m_backend == Backend::File) {
        QTest::newRow("rows without an id come last, read up") << 6 << 0 << 3 << 2 << "L P P P P P P P P P P";
        QTest::newRow("rows without an id come last, read down")
            << 6 << 0 << 3 << 2 << "F N N N N N N N N N N";
        QTest::newRow("rows without an id, the ends meet among them")
            << 6 << 0 << 3 << 2 << "L P F N N N N N N P";
    }
}

void TestOrderedList::movesLandAsInTheWholeList()
{
    QFETCH(int, items);
    QFETCH(int, repeated);
    QFETCH(int, unvalued);
    QFETCH(int, pageRows);
    QFETCH(QString, moves);
    const auto db = makeList(items, repeated, unvalued);
    Store store(db->path, QStringLiteral("t-orderedlist"));
    QVERIFY(store.open());
    auto list = open(store, pageRows);
    QVERIFY2(list, qPrintable(store.lastError().text()));
    OrderedList *model = list.get();
    RecordSet paged(std::move(list));
    auto whole = wholeList(store);
    QVERIFY(whole);
    QCOMPARE(whole->rowCount(), items + repeated + unvalued);
    for (const QString &move : moves.split(u' ')) {
        bool landed = false;
        bool expected = false;
        switch (move.at(0).unicode()) {
        case u'F':
            landed = paged.moveFirst();
            expected = whole->moveFirst();
            break;
        case u'L':
            landed = paged.moveLast();
            expected = whole->moveLast();
            break;
        case u'P':
            landed = paged.movePrevious();
            expected = whole->movePrevious();
            break;
        default:
            landed = paged.moveNext();
            expected = whole->moveNext();
            break;
        }
        QCOMPARE(landed, expected);
        QCOMPARE(current(paged), current(*whole));
    }
    QCOMPARE(paged.currentRow(), whole->currentRow());
    // Read to the end as a grid scrolled down reads it: every row, each once, in the list's order.
    while (model->canFetchMore())
        model->fetchMore();
    QVERIFY(model->isWhole());
    QCOMPARE(shownRows(model), shownRows(whole->model()));
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));
    QCOMPARE(model->columnCount(), 3);
}

void TestOrderedList::endReadsOnlyTheLastScreen()
{
    // A list far longer than what the program reads at a time, with its own page sizes.
    const auto db = makeList(9000, 0, 0);
    Store store(db->path, QStringLiteral("t-orderedlist"));
    QVERIFY(store.open());
    auto list = open(store, 0);
    QVERIFY(list);
    OrderedList *model = list.get();
    RecordSet rows(std::move(list));
    const int opened = model->rowCount();
    QVERIFY(rows.moveLast());
    QVERIFY(rows.movePrevious());
    QCOMPARE(*rows.text(QStringLiteral("ID")), QStringLiteral("ID001"));
    // End and Up read from the bottom; the rows read from the top are those the list opened with.
    QVERIFY(!model->isWhole());
    QCOMPARE(model->rowCount(), opened);
    QVERIFY(opened < 9000 / 2);
}

void TestOrderedList::rowsWrittenMeanwhileAreListedOnce()
{
    const auto db = makeList(10, 0, 0);
    Store store(db->path, QStringLiteral("t-orderedlist"));
    QVERIFY(store.open());
    auto list = open(store, 3);
    QVERIFY(list);
    RecordSet rows(std::move(list));
    QVERIFY(rows.moveLast());
    QCOMPARE(*rows.text(QStringLiteral("ID")), QStringLiteral("ID000"));
    // Another counter writes between the rows read from the top and those read from the bottom.
    db->insert({ "2", "ID005B", "written meanwhile", "1.00" });
    db->exec(QStringLiteral("delete from adt where id = 'ID004'"));
    auto whole = wholeList(store);
    QVERIFY(whole);
    QCOMPARE(rows.rowCount(), whole->rowCount());
    QCOMPARE(shownRows(rows.model()), shownRows(whole->model()));
    // The current row is still the last, now counted from the top.
    QCOMPARE(rows.currentRow(), whole->rowCount() - 1);
    QCOMPARE(*rows.text(QStringLiteral("ID")), QStringLiteral("ID000"));
}

void TestOrderedList::failingListIsNoList()
{
    const auto db = makeList(3, 0, 0);
    Store store(db->path, QStringLiteral("t-orderedlist"));
    QVERIFY(store.open());
    auto list = OrderedList::open(&store,
        { QStringLiteral("id"), QStringLiteral("no_such_table"), QStringLiteral("category = ?"),
            { QStringLiteral("2") }, QStringLiteral("id"), store.rowKeyColumn(), 0 });
    QVERIFY(!list);
    QVERIFY(store.lastError().isValid());
}

BRASKO_TEST_ON_BOTH_BACKENDS(TestOrderedList)
#include "tst_orderedlist.moc"
