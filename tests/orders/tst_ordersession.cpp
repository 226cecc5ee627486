// The order session without any widget, against a data source IMS of the test's own (SQLite
// through ODBC): the customer -> orders -> lines chain, the refused writes that must leave
// everything where it was, and the line arithmetic.
#include "orders/orderconnection.h"
#include "orders/orderdatacontrol.h"
#include "orders/orderdb.h"
#include "orders/ordersession.h"
#include "support/ordertfixture.h"

#include <QSignalSpy>

#include <memory>

namespace
{

// The keys of a control's rows, "1,2".
QString keys(const OrderDataControl *control)
{
    QStringList result;
    for (int r = 0; r < control->rowCount(); ++r)
        result << control->index(r, 0).data(Qt::EditRole).toString();
    return result.join(QLatin1Char(','));
}

// Customer, order and line keys held: "1|1,2|1,2".
QString held(const OrderSession &session)
{
    return QStringLiteral("%1|%2|%3")
        .arg(session.customers()->currentKey().toString(), keys(session.orders()), keys(session.lines()));
}

} // namespace

class TestOrderSession : public QObject
{
    Q_OBJECT

private:
    OdbcConfig config;
    std::unique_ptr<OrderSession> session;

    void execOnFile(const QString &statement)
    {
        QString why;
        QVERIFY2(config.sqliteExec(statement, &why), qPrintable(why));
    }

    // One step of a person at the counter, by name.
    bool step(const QString &what)
    {
        const QStringList parts = what.split(QLatin1Char(' '));
        const QString verb = parts.at(0);
        const QString arg = parts.value(1);
        OrderDataControl *customers = session->customers();
        OrderDataControl *orders = session->orders();
        if (verb == QLatin1String("customer-next"))
            return session->move(customers, &OrderDataControl::moveNext);
        if (verb == QLatin1String("customer-last"))
            return session->move(customers, &OrderDataControl::moveLast);
        if (verb == QLatin1String("order-next"))
            return session->move(orders, &OrderDataControl::moveNext);
        if (verb == QLatin1String("type-customer"))
            return session->showOrdersOf(arg);
        if (verb == QLatin1String("type-order"))
            return session->showLinesOf(arg);
        if (verb == QLatin1String("new-order"))
            return session->newOrder(arg);
        if (verb == QLatin1String("show-order"))
            return session->showOrder(
                arg.section(QLatin1Char(','), 0, 0).toInt(), arg.section(QLatin1Char(','), 1).toInt());
        qFatal("unknown step %s", qPrintable(what));
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void init()
    {
        config.useFreshSqlite();
        QString error;
        std::optional<QSqlDatabase> db = OrderDb::open(QStringLiteral("session-ims"), &error);
        QVERIFY2(db, qPrintable(error));
        session = std::make_unique<OrderSession>(*db);
        QVERIFY2(session->open(), qPrintable(session->lastError()));
    }

    void cleanup()
    {
        session.reset();
        QSqlDatabase::database(QStringLiteral("session-ims"), false).close();
        QSqlDatabase::removeDatabase(QStringLiteral("session-ims"));
    }

    void requeryChain_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("expected"); // customer | orders | lines
        QTest::addColumn<QString>("ordersFor");
        QTest::addColumn<QString>("linesFor");
        QTest::newRow("opened on the first customer") << QStringList() << "1|1,2|1,2"
                                                      << "1"
                                                      << "1";
        QTest::newRow("next customer") << QStringList { "customer-next" } << "2|3|4"
                                       << "2"
                                       << "3";
        QTest::newRow("customer without orders") << QStringList { "customer-last" } << "3||"
                                                 << "3"
                                                 << "";
        QTest::newRow("next order") << QStringList { "order-next" } << "1|1,2|3"
                                    << "1"
                                    << "2";
        QTest::newRow("typed customer") << QStringList { "type-customer 2" } << "1|3|4"
                                        << "2"
                                        << "3";
        QTest::newRow("typed text that is no key") << QStringList { "type-customer 1;DROP" } << "1||"
                                                   << "1;DROP"
                                                   << "";
        QTest::newRow("typed order") << QStringList { "type-order 3" } << "1|1,2|4"
                                     << "1"
                                     << "3";
        // An order made elsewhere (from an offer) is shown with its customer and its lines.
        QTest::newRow("order shown") << QStringList { "show-order 1,2" } << "1|1,2|3"
                                     << "1"
                                     << "2";
        QTest::newRow("another customer's order shown") << QStringList { "show-order 2,3" } << "2|3|4"
                                                        << "2"
                                                        << "3";
        QTest::newRow("new order for the customer") << QStringList { "new-order 1" } << "1|1,2,4|"
                                                    << "1"
                                                    << "4";
    }

    void requeryChain()
    {
        QFETCH(QStringList, steps);
        for (const QString &s : steps)
            QVERIFY2(step(s), qPrintable(s + QStringLiteral(": ") + session->lastError()));
        QTEST(held(*session), "expected");
        QTEST(session->ordersFor(), "ordersFor");
        QTEST(session->linesFor(), "linesFor");
        QCOMPARE(session->linesOrder(), OrderDb::keyValue(session->linesFor()));
    }

    void refusedWriteMovesNothing_data()
    {
        QTest::addColumn<QString>("trigger"); // "BEFORE UPDATE ON <table>"
        QTest::addColumn<int>("editedControl"); // 0 customer, 1 orders, 2 lines
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("toldBySignal");
        QTest::newRow("line refused, next customer") << "BEFORE UPDATE ON ORDERDETAIL" << 2 << "DESCRIPTION"
                                                     << "customer-next" << true;
        QTest::newRow("line refused, next order") << "BEFORE UPDATE ON ORDERDETAIL" << 2 << "DESCRIPTION"
                                                  << "order-next" << true;
        QTest::newRow("line refused, typed customer") << "BEFORE UPDATE ON ORDERDETAIL" << 2 << "DESCRIPTION"
                                                      << "type-customer 2" << true;
        QTest::newRow("line refused, typed order") << "BEFORE UPDATE ON ORDERDETAIL" << 2 << "DESCRIPTION"
                                                   << "type-order 3" << true;
        QTest::newRow("order refused, next customer") << "BEFORE UPDATE ON ORDERS" << 1 << "COMMENT"
                                                      << "customer-next" << true;
        QTest::newRow("order refused, new order") << "BEFORE UPDATE ON ORDERS" << 1 << "COMMENT"
                                                  << "new-order 1" << false;
        QTest::newRow("customer refused, next customer") << "BEFORE UPDATE ON CUSTOMER" << 0 << "NAME"
                                                         << "customer-next" << true;
    }

    void refusedWriteMovesNothing()
    {
        QFETCH(QString, trigger);
        QFETCH(int, editedControl);
        QFETCH(QString, column);
        QFETCH(QString, step);
        QFETCH(bool, toldBySignal);
        OrderDataControl *controls[] = { session->customers(), session->orders(), session->lines() };
        OrderDataControl *edited = controls[editedControl];
        QVERIFY(edited->setValue(column, QStringLiteral("changed")));
        execOnFile(QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'refused'); END")
                       .arg(trigger));
        const QString before = held(*session);
        const int orderRow = session->orders()->currentRow();
        QSignalSpy refused(session.get(), &OrderSession::writeRefused);

        QVERIFY(!this->step(step));
        QCOMPARE(session->lastFailure(), OrderSession::Failure::WriteRefused);
        QVERIFY2(session->lastError().contains(QLatin1String("refused")), qPrintable(session->lastError()));
        QCOMPARE(refused.count(), toldBySignal ? 1 : 0);
        QCOMPARE(held(*session), before);
        QCOMPARE(session->orders()->currentRow(), orderRow);
        // What was typed is still there, waiting for a write the database accepts.
        QVERIFY(edited->isDirty());
        QCOMPARE(edited->value(column).toString(), QStringLiteral("changed"));
        QCOMPARE(session->linesOrder(), OrderDb::keyValue(session->linesFor()));
    }

    void lineArithmetic_data()
    {
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("discount");
        QTest::addColumn<int>("column"); // the cell entered
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("total");
        using S = OrderSession;
        const int settled = int(S::LineOutcome::Settled);
        QTest::newRow("price x quantity less discount") << "1250"
                                                        << "3"
                                                        << "10" << int(S::LineQuantity) << settled << "3375";
        QTest::newRow("halves go to even") << "2.5"
                                           << "1"
                                           << "0" << int(S::LineUnitPrice) << settled << "2";
        QTest::newRow("entering the total cell") << "100"
                                                 << "2"
                                                 << "0" << int(S::LineTotal) << settled << "200";
        QTest::newRow("entering the discount cell") << "100"
                                                    << "2"
                                                    << "50" << int(S::LineDiscount) << settled << "100";
        QTest::newRow("another cell leaves the total")
            << "100"
            << "2"
            << "0" << int(S::LineDescription) << int(S::LineOutcome::Unchanged) << "11000";
        QTest::newRow("weight cell leaves the total")
            << "100"
            << "2"
            << "0" << int(S::LineWeight) << int(S::LineOutcome::Unchanged) << "11000";
        QTest::newRow("total out of range keeps the old one")
            << "99999999999"
            << "100"
            << "0" << int(S::LineQuantity) << int(S::LineOutcome::TotalOutOfRange) << "11000";
    }

    void lineArithmetic()
    {
        QFETCH(QString, price);
        QFETCH(QString, quantity);
        QFETCH(QString, discount);
        QFETCH(int, column);
        OrderDataControl *lines = session->lines();
        QVERIFY(lines->setData(lines->index(0, OrderSession::LineUnitPrice), price));
        QVERIFY(lines->setData(lines->index(0, OrderSession::LineQuantity), quantity));
        QVERIFY(lines->setData(lines->index(0, OrderSession::LineDiscount), discount));
        QTEST(int(session->settleLine(0, column, session->linesFor())), "outcome");
        const std::optional<Decimal> stored
            = Decimal::fromPlain(lines->index(0, OrderSession::LineTotal).data().toString());
        QVERIFY(stored);
        QFETCH(QString, total);
        QVERIFY2(*stored == *Decimal::fromPlain(total), qPrintable(stored->exactText()));
    }

    void lineStampedOnlyWithItsOrder_data()
    {
        QTest::addColumn<QString>("shownOrder");
        QTest::addColumn<int>("expected");
        QTest::newRow("the order the lines were read for") << "1" << 1;
        QTest::newRow("blanks around it") << " 1 " << 1;
        QTest::newRow("another order") << "2" << 99;
        QTest::newRow("no key") << "x" << 99;
    }

    void lineStampedOnlyWithItsOrder()
    {
        QFETCH(QString, shownOrder);
        OrderDataControl *lines = session->lines();
        QVERIFY(lines->setData(lines->index(0, OrderSession::LineOrder), 99));
        session->settleLine(0, OrderSession::LineQuantity, shownOrder);
        QTEST(lines->index(0, OrderSession::LineOrder).data(Qt::EditRole).toInt(), "expected");
    }

    void connectionLifetime_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<bool>("inUse");
        QTest::addColumn<bool>("remainsAfter"); // the name still holds a connection afterwards
        QTest::newRow("data source there") << "present" << true << false << false;
        QTest::newRow("name already in use") << "taken" << false << true << true;
        // Last: unixODBC may keep answering "no such data source" for a while after it is back.
        QTest::newRow("data source missing") << "missing" << false << false << false;
    }

    void connectionLifetime()
    {
        QFETCH(QString, situation);
        const QString name = situation == QLatin1String("taken") ? QStringLiteral("session-ims")
                                                                 : QStringLiteral("lifetime-ims");
        if (situation == QLatin1String("missing")) {
            // The driver manager reads the data sources again only once no connection is open.
            cleanup();
            config.removeDataSource();
        }
        {
            const OrderConnection connection(name);
            QTEST(connection.isOpen(), "opened");
            QTEST(connection.alreadyInUse(), "inUse");
            QCOMPARE(connection.database().isOpen(), connection.isOpen());
            if (situation == QLatin1String("missing"))
                QVERIFY2(
                    connection.error().contains(OrderDb::dataSourceName()), qPrintable(connection.error()));
            if (connection.isOpen()) {
                OrderSession other(connection.database());
                QVERIFY2(other.open(), qPrintable(other.lastError()));
                QCOMPARE(held(other), QStringLiteral("1|1,2|1,2"));
            }
        }
        QTEST(QSqlDatabase::contains(name), "remainsAfter");
        // A connection held by someone else is left open and working.
        if (session) {
            QVERIFY(QSqlDatabase::database(QStringLiteral("session-ims"), false).isOpen());
            QVERIFY(session->customers()->setValue(QStringLiteral("NAME"), QStringLiteral("still here")));
            QVERIFY2(session->save(), qPrintable(session->lastError()));
        }
    }
};

QTEST_GUILESS_MAIN(TestOrderSession)
#include "tst_ordersession.moc"
