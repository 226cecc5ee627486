// An offer's order written into the order database (SQLite through ODBC, a data source IMS of the
// test's own): all of it in one transaction or nothing, numbered as the order window numbers, the
// customer found by name, and values a column cannot hold refused before anything is written.
#include "core/offerorder.h"
#include "orders/orderdb.h"
#include "orders/orderplacement.h"
#include "support/ordertfixture.h"

#include <functional>
#include <memory>

using DraftChange = std::function<void(OfferOrder::Draft &)>;
Q_DECLARE_METATYPE(DraftChange)

namespace
{

const QString Connection = QStringLiteral("placement-ims");

// Offer 12/2 for Ahmed with three rows: a CPU, RAM and an amount typed without an item.
OfferOrder::Draft draft()
{
    Offer offer = Offer::blank(
        QStringLiteral("Shop"), QStringLiteral("Mona"), QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
    offer.client = QStringLiteral("  Ahmed Mahmoud 0100 222  ");
    offer.pickItem(0, QStringLiteral("I5-12400"), QStringLiteral("Intel Core i5"), QStringLiteral("6900.00"));
    offer.pickItem(2, QStringLiteral("D4-16G"), QStringLiteral("DDR4 16GB"), QStringLiteral("1550.50"));
    offer.row(16).setAmountText(QStringLiteral("150"));
    return *OfferOrder::draftOf(offer, 12, 2, QStringLiteral("counter-1"), QDate(2026, 12, 9), std::nullopt);
}

} // namespace

class TestOrderPlacement : public QObject
{
    Q_OBJECT

private:
    OdbcConfig config;
    std::unique_ptr<OrderPlacement> placement;

    QString value(const QString &statement) { return config.sqliteValue(statement).toString(); }
    void execOnFile(const QString &statement)
    {
        QString why;
        QVERIFY2(config.sqliteExec(statement, &why), qPrintable(why));
    }
    QString counts()
    {
        return value(
            QStringLiteral("select (select count(*) from CUSTOMER) || '/' || (select count(*) from ORDERS)"
                           " || '/' || (select count(*) from ORDERDETAIL)"));
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void init()
    {
        config.useFreshSqlite();
        execOnFile(QStringLiteral("INSERT INTO CUSTOMER (CUSTOMERID, NAME) VALUES (4, 'Ahmed Mahmoud')"));
        execOnFile(
            QStringLiteral("INSERT INTO CUSTOMER (CUSTOMERID, NAME) VALUES (5, 'AHMED MAHMOUD 0100 222')"));
        execOnFile(QStringLiteral("INSERT INTO CUSTOMER (CUSTOMERID, NAME) VALUES (6, 'ÉLISE NOUR')"));
        // SQLite keeps more than a column declares: a name past NAME's hundred characters.
        execOnFile(QStringLiteral("INSERT INTO CUSTOMER (CUSTOMERID, NAME) VALUES (0, '%1 Sharkawy')")
                       .arg(QString(120, u'x')));
        QString error;
        std::optional<QSqlDatabase> db = OrderDb::open(Connection, &error);
        QVERIFY2(db, qPrintable(error));
        placement = std::make_unique<OrderPlacement>(*db);
    }

    void cleanup()
    {
        placement.reset();
        QSqlDatabase::database(Connection, false).close();
        QSqlDatabase::removeDatabase(Connection);
    }

    void draftFollowsTheOffer()
    {
        const OfferOrder::Draft d = draft();
        QCOMPARE(d.reference, QStringLiteral("Offer 12/2"));
        QCOMPARE(d.client, QStringLiteral("Ahmed Mahmoud 0100 222"));
        QCOMPARE(d.total.exactText(), QStringLiteral("8600.5"));
        QCOMPARE(d.remaining.exactText(), QStringLiteral("8600.5"));
        QVERIFY(d.paid.isZero());
        QCOMPARE(d.lines.size(), 3);
        QCOMPARE(d.lines.at(2).row, 16);
        QVERIFY(d.lines.at(2).productId.isEmpty());
        Offer empty
            = Offer::blank(QStringLiteral("Shop"), QStringLiteral("Mona"), QDateTime::currentDateTime());
        QVERIFY(!OfferOrder::draftOf(empty, 1, 1, QString(), QDate::currentDate(), std::nullopt));
    }

    void customersByName_data()
    {
        QTest::addColumn<QString>("client");
        QTest::addColumn<QList<qint32>>("same");
        QTest::addColumn<QList<qint32>>("near");
        // A customer of that very name is the one meant: the near ones are not looked for.
        QTest::newRow("same name, other case") << "ahmed mahmoud" << QList<qint32> { 4 } << QList<qint32> {};
        QTest::newRow("with blanks around")
            << "  Ahmed Mahmoud 0100 222 " << QList<qint32> { 5 } << QList<qint32> {};
        // Capitals beyond ASCII, which the SQLite database does not lower, are the same name too.
        QTest::newRow("accented capitals") << "élise nour" << QList<qint32> { 6 } << QList<qint32> {};
        QTest::newRow("part of a name") << "mahmoud" << QList<qint32> {} << QList<qint32> { 4, 5 };
        // Alef with and without hamza, as the picker's search takes them.
        QTest::newRow("arabic letter forms") << "احمد محمود" << QList<qint32> {} << QList<qint32> { 2 };
        QTest::newRow("arabic, same") << "أحمد محمود" << QList<qint32> { 2 } << QList<qint32> {};
        QTest::newRow("nobody") << "Zeinab" << QList<qint32> {} << QList<qint32> {};
        // Read whole, though longer than its column says it can be.
        QTest::newRow("past the column's width") << "sharkawy" << QList<qint32> {} << QList<qint32> { 0 };
    }

    void customersByName()
    {
        QFETCH(QString, client);
        QFETCH(QList<qint32>, same);
        QFETCH(QList<qint32>, near);
        const auto found = placement->customersFor(client);
        QVERIFY2(found, qPrintable(placement->lastError()));
        QList<qint32> gotSame;
        QList<qint32> gotNear;
        for (const auto &c : found->same)
            gotSame << c.id;
        for (const auto &c : found->near)
            gotNear << c.id;
        QCOMPARE(gotSame, same);
        QCOMPARE(gotNear, near);
    }

    void placesTheWholeOrder_data()
    {
        QTest::addColumn<int>("customer"); // 0: a new one
        QTest::addColumn<bool>("withPlan");
        QTest::newRow("known customer") << 4 << false;
        QTest::newRow("new customer") << 0 << false;
        QTest::newRow("with a plan") << 4 << true;
    }

    void placesTheWholeOrder()
    {
        QFETCH(int, customer);
        QFETCH(bool, withPlan);
        OfferOrder::Draft d = draft();
        if (withPlan) {
            d.plan = OfferOrder::Plan { Decimal::fromInt(2000), *Decimal::fromPlain(u"6600.5"), 6 };
            d.paid = d.plan->deposit;
            d.remaining = d.total - d.paid;
        }
        QCOMPARE(placement->misfit(d, customer == 0), QString());
        const auto placed = placement->place(d, customer ? std::optional<qint32>(customer) : std::nullopt);
        QVERIFY2(placed, qPrintable(placement->lastError()));
        // The next numbers, as the order window gives them.
        QCOMPARE(placed->order, 4);
        QCOMPARE(placed->customer, customer ? customer : 7);
        if (!customer)
            QCOMPARE(value(QStringLiteral("select NAME from CUSTOMER where CUSTOMERID = 7")),
                QStringLiteral("Ahmed Mahmoud 0100 222"));
        QCOMPARE(value(QStringLiteral(
                     "select CUSTOMERID || '|' || ORDERDATE || '|' || ORDERREFERENCE || '|' ||"
                     " ORDERSOURCE || '|' || SOLDBY || '|' || ORDERAMT || '|' || PAIDAMT || '|' ||"
                     " TOTALREMAMT || '|' || ifnull(INSTDEPAMT, '-') || '|' ||"
                     " ifnull(INSTTOTALAMT, '-') || '|' || ifnull(INSTNUMBER, '-')"
                     " from ORDERS where ORDERID = 4")),
            QStringLiteral("%1|2026-12-09|Offer 12/2|counter-1|Mona|8600.5|%2")
                .arg(placed->customer)
                .arg(withPlan ? QStringLiteral("2000|6600.5|2000|6600.5|6")
                              : QStringLiteral("0|8600.5|-|-|-")));
        QCOMPARE(value(QStringLiteral(
                     "select group_concat(ORDERDETAILID || ':' || ifnull(PRODUCTID, '-') || ':' || "
                     "ifnull(DESCRIPTION, '') || ':'"
                     " || UNITPRICE || 'x' || QUANTITY || '-' || DISCOUNT || '=' || LINETOTAL || ':' || "
                     "RETURNED, ' ')"
                     " from (select * from ORDERDETAIL where ORDERID = 4 order by ORDERDETAILID)")),
            QStringLiteral("5:I5-12400:Intel Core i5:6900x1-0=6900:0 6:D4-16G:DDR4 16GB:1550.5x1-0=1550.5:0 "
                           "7:-::150x1-0=150:0"));
        const auto found = placement->orderWithReference(QStringLiteral("Offer 12/2"));
        QVERIFY(found.read);
        QCOMPARE(found.order, (OrderPlacement::Placed { placed->customer, 4 }));
        QCOMPARE(placement->orderWithReference(QStringLiteral("Offer 12/3")).order, std::nullopt);
    }

    void misfitNamesTheField_data()
    {
        QTest::addColumn<DraftChange>("change");
        QTest::addColumn<bool>("newCustomer");
        QTest::addColumn<QString>("named"); // empty: it fits
        QTest::newRow("long client, new customer")
            << DraftChange([](OfferOrder::Draft &d) { d.client = QString(101, QLatin1Char('x')); }) << true
            << "CUSTOMER.NAME";
        QTest::newRow("long client, known customer")
            << DraftChange([](OfferOrder::Draft &d) { d.client = QString(101, QLatin1Char('x')); }) << false
            << "";
        QTest::newRow("long item id")
            << DraftChange([](OfferOrder::Draft &d) { d.lines[1].productId = QString(21, QLatin1Char('P')); })
            << false << "Row 3's item id is longer than ORDERDETAIL.PRODUCTID";
        QTest::newRow("item id just fits")
            << DraftChange([](OfferOrder::Draft &d) { d.lines[1].productId = QString(20, QLatin1Char('P')); })
            << false << "";
        QTest::newRow("long description")
            << DraftChange([](OfferOrder::Draft &d) { d.lines[0].description = QString(101, QChar(0x0643)); })
            << false << "ORDERDETAIL.DESCRIPTION";
        QTest::newRow("amount too large") << DraftChange([](OfferOrder::Draft &d) {
            d.lines[0].amount = *Decimal::fromPlain(u"1234567890123");
        }) << false << "Row 1's amount, 1234567890123, is too large for ORDERDETAIL.UNITPRICE";
        QTest::newRow("largest amount") << DraftChange([](OfferOrder::Draft &d) {
            d.lines[0].amount = *Decimal::fromPlain(u"999999999999.99");
        }) << false << "";
        QTest::newRow("three decimals")
            << DraftChange([](OfferOrder::Draft &d) { d.lines[2].amount = *Decimal::fromPlain(u"12.345"); })
            << false << "Row 17's amount, 12.345, has more decimals than ORDERDETAIL.UNITPRICE";
        QTest::newRow("total too large")
            << DraftChange([](OfferOrder::Draft &d) { d.total = *Decimal::fromPlain(u"1000000000000"); })
            << false << "ORDERS.ORDERAMT";
    }

    void misfitNamesTheField()
    {
        QFETCH(DraftChange, change);
        QFETCH(bool, newCustomer);
        QFETCH(QString, named);
        OfferOrder::Draft d = draft();
        change(d);
        const QString problem = placement->misfit(d, newCustomer);
        if (named.isEmpty())
            QCOMPARE(problem, QString());
        else
            QVERIFY2(problem.contains(named), qPrintable(problem));
    }

    // The database refuses a line: the customer made for the order and the order itself are gone
    // with it, and the next try numbers as if nothing had happened.
    void refusedWriteLeavesNothing()
    {
        execOnFile(
            QStringLiteral("CREATE TRIGGER refuse_lines BEFORE INSERT ON ORDERDETAIL"
                           " WHEN NEW.PRODUCTID = 'D4-16G' BEGIN SELECT RAISE(ABORT, 'no such item'); END"));
        const QString before = counts();
        QVERIFY(!placement->place(draft(), std::nullopt));
        QVERIFY2(placement->lastError().contains(QStringLiteral("no such item")),
            qPrintable(placement->lastError()));
        QCOMPARE(counts(), before);
        QCOMPARE(placement->orderWithReference(QStringLiteral("Offer 12/2")).order, std::nullopt);
        execOnFile(QStringLiteral("DROP TRIGGER refuse_lines"));
        QCOMPARE(placement->place(draft(), std::nullopt), (OrderPlacement::Placed { 7, 4 }));
    }
};

QTEST_GUILESS_MAIN(TestOrderPlacement)
#include "tst_orderplacement.moc"
