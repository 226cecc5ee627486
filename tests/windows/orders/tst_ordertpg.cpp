// The same data path with the data source IMS pointed at a PostgreSQL server (driver "PostgreSQL
// Unicode"): the program is unchanged, only the data source differs. The server runs on loopback
// for this test only and is stopped at its end.
#include "core/offerorder.h"
#include "orders/orderdatacontrol.h"
#include "orders/orderdb.h"
#include "orders/orderplacement.h"
#include "orders/ordersession.h"
#include "support/ordertfixture.h"
#include "windows/orders/orderwindow.h"

#include <QLineEdit>
#include <QTableView>
#include <QToolButton>

#include <memory>

class TestOrderTPostgres : public QObject
{
    Q_OBJECT

private:
    OdbcConfig config;
    std::unique_ptr<OrderPostgresServer> server;
    std::unique_ptr<OrderWindow> w;
    QStringList messages;

    QLineEdit *edit(const char *name) { return w->findChild<QLineEdit *>(QLatin1String(name)); }

    // A value read back through a connection of its own on IMS.
    QVariant value(const QString &statement)
    {
        QVariant result;
        {
            QString error;
            std::optional<QSqlDatabase> db = OrderDb::open(QStringLiteral("check"), &error);
            if (!db)
                return error;
            QSqlQuery q(*db);
            if (q.exec(statement) && q.next())
                result = q.value(0);
            else
                result = q.lastError().text();
            db->close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
        return result;
    }

    bool exec(const QString &statement)
    {
        bool ok = false;
        {
            QString error;
            std::optional<QSqlDatabase> db = OrderDb::open(QStringLiteral("check"), &error);
            if (db) {
                QSqlQuery q(*db);
                ok = q.exec(statement);
                if (!ok)
                    qWarning("%s", qPrintable(q.lastError().text()));
                db->close();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
        return ok;
    }

    // Every stored line with the order it belongs to.
    QString storedLines()
    {
        QStringList parts;
        {
            QString error;
            std::optional<QSqlDatabase> db = OrderDb::open(QStringLiteral("check"), &error);
            if (db) {
                QSqlQuery q(QStringLiteral("SELECT ORDERDETAILID, ORDERID FROM ORDERDETAIL ORDER BY 1"), *db);
                while (q.next())
                    parts << q.value(0).toString() + QLatin1Char(':') + q.value(1).toString();
                db->close();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
        return parts.join(QLatin1Char(' '));
    }

    void click(const char *bar, const char *step)
    {
        w->findChild<QWidget *>(QLatin1String(bar))->findChild<QToolButton *>(QLatin1String(step))->click();
    }

    // The customer, the order and the lines shown, with the order each line names.
    QStringList shown()
    {
        QStringList lines;
        for (int r = 0; r < w->RSOrderDetails()->rowCount(); ++r)
            lines << w->RSOrderDetails()->index(r, 0).data().toString() + QLatin1Char(':')
                    + w->RSOrderDetails()->index(r, 1).data().toString();
        return { edit("txtCUSTOMERID1")->text(), edit("txtORDERID(0)")->text(),
            w->RSORDER()->currentKey().toString(), lines.join(QLatin1Char(' ')) };
    }

    // Sets a cell of the first line ("column:text") or the order's comment ("comment:text").
    void makeChange(const QString &what)
    {
        const qsizetype colon = what.indexOf(QLatin1Char(':'));
        if (what.startsWith(QLatin1String("comment:")))
            edit("txtCOMMENT")->setText(what.mid(colon + 1));
        else
            w->RSOrderDetails()->setData(
                w->RSOrderDetails()->index(0, what.left(colon).toInt()), what.mid(colon + 1));
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        if (!PostgresServer::available())
            QSKIP("PostgreSQL 15 server binaries are not installed (Debian package postgresql-15).");
        server = std::make_unique<OrderPostgresServer>();
        QString why;
        QVERIFY2(server->start(&why), qPrintable(why));
        config.setDataSource(server->odbcBody());
    }

    void cleanupTestCase()
    {
        w.reset();
        QSqlDatabase::removeDatabase(QStringLiteral("pg-ims"));
        if (server)
            server->stop();
    }

    void opensAndFollowsTheChain()
    {
        QString error;
        std::optional<QSqlDatabase> db = OrderDb::open(QStringLiteral("pg-ims"), &error);
        QVERIFY2(db, qPrintable(error));
        QCOMPARE(db->driverName(), QStringLiteral("QODBC"));
        w = std::make_unique<OrderWindow>(new OrderSession(*db));
        w->setMessageSink([this](const QString &text) { messages << text; });
        QVERIFY2(w->load(), qPrintable(w->loadError()));
        QCOMPARE(edit("txtNAME")->text(), QStringLiteral("شركة النور للحاسبات"));
        QCOMPARE(edit("txtORDERID(0)")->text(), QStringLiteral("1"));
        QCOMPARE(w->RSOrderDetails()->rowCount(), 2);
        QCOMPARE(edit("txtORDERTOTAL")->text(), QStringLiteral("ج.م.\u200F 12,500.00"));
        w->findChild<QWidget *>(QStringLiteral("RSMain"))
            ->findChild<QToolButton *>(QStringLiteral("next"))
            ->click();
        QCOMPARE(edit("txtORDERID(0)")->text(), QStringLiteral("3"));
        QCOMPARE(w->RSOrderDetails()->rowCount(), 1);
        edit("txtCUSTOMERID1")->setText(QStringLiteral("1' OR '1'='1"));
        QCOMPARE(w->RSORDER()->rowCount(), 0);
        edit("txtCUSTOMERID1")->setText(QStringLiteral("1"));
        QCOMPARE(w->RSORDER()->rowCount(), 2);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QLatin1Char('\n'))));
    }

    void lineTotalAndSaveReachTheServer()
    {
        QVERIFY(w);
        auto *lines = w->RSOrderDetails();
        auto *grid = w->findChild<QTableView *>(QStringLiteral("GRDORDERS"));
        grid->setCurrentIndex(lines->index(0, 4));
        lines->setData(lines->index(0, 4), QStringLiteral("1250"));
        lines->setData(lines->index(0, 5), QStringLiteral("3"));
        lines->setData(lines->index(0, 6), QStringLiteral("10"));
        grid->setCurrentIndex(lines->index(0, 5));
        edit("txtSOLDBY")->setText(QStringLiteral("O'Brien"));
        edit("txtPAID")->setText(QStringLiteral("3,000.5"));
        QVERIFY2(w->save(), qPrintable(messages.join(QLatin1Char('\n'))));
        QCOMPARE(
            value(QStringLiteral("SELECT LINETOTAL FROM ORDERDETAIL WHERE ORDERDETAILID = 1")).toString(),
            QStringLiteral("3375.00"));
        QCOMPARE(value(QStringLiteral("SELECT SOLDBY FROM ORDERS WHERE ORDERID = 1")).toString(),
            QStringLiteral("O'Brien"));
        QCOMPARE(value(QStringLiteral("SELECT PAIDAMT FROM ORDERS WHERE ORDERID = 1")).toString(),
            QStringLiteral("3000.50"));
    }

    void newOrderOnTheServer()
    {
        QVERIFY(w);
        QVERIFY2(w->newOrder(), qPrintable(messages.join(QLatin1Char('\n'))));
        QCOMPARE(edit("txtORDERID(0)")->text(), QStringLiteral("4"));
        w->RSOrderDetails()->setData(w->RSOrderDetails()->index(0, 3), QStringLiteral("ماوس"));
        QVERIFY2(w->save(), qPrintable(messages.join(QLatin1Char('\n'))));
        QCOMPARE(value(QStringLiteral("SELECT DESCRIPTION FROM ORDERDETAIL WHERE ORDERID = 4")).toString(),
            QStringLiteral("ماوس"));
    }

    void serverRefusesAnOrderForNoCustomer()
    {
        QVERIFY(w);
        // The server keeps the orders tied to their customers: no half-made order stays behind.
        edit("txtCUSTOMERID1")->setText(QStringLiteral("99"));
        QVERIFY(!w->newOrder());
        QCOMPARE(messages.size(), 1);
        QCOMPARE(value(QStringLiteral("SELECT COUNT(*) FROM ORDERS")).toInt(), 4);
        QVERIFY(!w->RSORDER()->isDirty());
    }

    void refusedWriteKeepsLinesWithTheirOrder_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("trigger"); // table whose updates the server refuses; empty: none
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("lift"); // what makes the change acceptable again
        const QString longId = QStringLiteral("2:") + QString(30, QLatin1Char('X'));
        QTest::newRow("order-next/trigger") << "3:حاسب مكتبي"
                                            << "orderdetail"
                                            << "RSORDER:next"
                                            << "drop";
        QTest::newRow("customer-next/trigger") << "3:حاسب"
                                               << "orderdetail"
                                               << "RSMain:next"
                                               << "drop";
        QTest::newRow("order-next/product-id-too-long") << longId << ""
                                                        << "RSORDER:next"
                                                        << "2:P-4";
        QTest::newRow("customer-next/product-id-too-long") << longId << ""
                                                           << "RSMain:next"
                                                           << "2:P-4";
        QTest::newRow("customer-last/discount-out-of-range") << "6:1000"
                                                             << ""
                                                             << "RSMain:last"
                                                             << "6:0";
        QTest::newRow("typed-order/discount-out-of-range") << "6:1000"
                                                           << ""
                                                           << "order:2"
                                                           << "6:0";
        QTest::newRow("customer-next/order-trigger") << "comment:اتصل"
                                                     << "orders"
                                                     << "RSMain:next"
                                                     << "drop";
    }

    void refusedWriteKeepsLinesWithTheirOrder()
    {
        QFETCH(QString, change);
        QFETCH(QString, trigger);
        QFETCH(QString, step);
        QFETCH(QString, lift);
        QVERIFY(w);
        click("RSMain", "first");
        click("RSORDER", "first");
        messages.clear();
        const QString lines = storedLines();
        for (const char *table : { "orderdetail", "orders" }) // left behind by a failed row
            QVERIFY(exec(QStringLiteral("DROP TRIGGER IF EXISTS refuse ON %1").arg(QLatin1String(table))));
        if (!trigger.isEmpty()) {
            QVERIFY(
                exec(QStringLiteral("CREATE OR REPLACE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS "
                                    "'BEGIN RAISE EXCEPTION ''locked''; END'")));
            QVERIFY(exec(QStringLiteral(
                "CREATE TRIGGER refuse BEFORE UPDATE ON %1 FOR EACH ROW EXECUTE FUNCTION refuse()")
                             .arg(trigger)));
        }
        makeChange(change);
        const QStringList before = shown();
        if (step.startsWith(QLatin1String("order:")))
            edit("txtORDERID(0)")->setText(step.mid(6));
        else
            click(qPrintable(step.section(QLatin1Char(':'), 0, 0)),
                qPrintable(step.section(QLatin1Char(':'), 1)));
        // The server refused: nothing moved, and working on in the grid stamps no other order.
        QCOMPARE(messages.size(), 1);
        QCOMPARE(shown(), before);
        auto *grid = w->findChild<QTableView *>(QStringLiteral("GRDORDERS"));
        grid->setCurrentIndex(w->RSOrderDetails()->index(0, 4));
        grid->setCurrentIndex(w->RSOrderDetails()->index(0, 5));
        grid->setCurrentIndex(w->RSOrderDetails()->index(w->RSOrderDetails()->rowCount() - 1, 5));
        QCOMPARE(shown().last(), before.last());
        if (lift == QLatin1String("drop"))
            QVERIFY(exec(QStringLiteral("DROP TRIGGER refuse ON %1").arg(trigger)));
        else
            makeChange(lift);
        QVERIFY2(w->save(), qPrintable(messages.join(QLatin1Char('\n'))));
        QCOMPARE(storedLines(), lines);
    }

    // An offer made an order on the server: the customer found by name (Arabic letter forms as
    // the search takes them) or made anew, the order and its lines in one transaction, numbered
    // after what the server holds, and found again by its reference.
    void offerBecomesAnOrderOnTheServer()
    {
        w.reset();
        QString error;
        std::optional<QSqlDatabase> db = OrderDb::open(QStringLiteral("pg-place"), &error);
        QVERIFY2(db, qPrintable(error));
        {
            OrderPlacement placement(*db);
            const auto ahmed = placement.customersFor(QStringLiteral("  احمد محمود "));
            QVERIFY2(ahmed, qPrintable(placement.lastError()));
            QCOMPARE(ahmed->near.size(), 1);
            QCOMPARE(ahmed->near.first().id, 2);
            Offer offer = Offer::blank(
                QStringLiteral("Shop"), QStringLiteral("Mona"), QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
            offer.client = QStringLiteral("Karim Nabil");
            offer.pickItem(
                0, QStringLiteral("I5-12400"), QStringLiteral("Intel Core i5"), QStringLiteral("6900.00"));
            offer.pickItem(
                2, QStringLiteral("D4-16G"), QStringLiteral("DDR4 16GB"), QStringLiteral("1550.50"));
            OfferOrder::Draft draft = *OfferOrder::draftOf(
                offer, 12, 2, QStringLiteral("counter-1"), QDate(2026, 12, 9), std::nullopt);
            draft.plan = OfferOrder::Plan { Decimal::fromInt(2000), *Decimal::fromPlain(u"6450.5"), 6 };
            draft.paid = draft.plan->deposit;
            draft.remaining = draft.total - draft.paid;
            const int nextOrder = value(QStringLiteral("SELECT MAX(ORDERID) FROM ORDERS")).toInt() + 1;
            const int nextCustomer
                = value(QStringLiteral("SELECT MAX(CUSTOMERID) FROM CUSTOMER")).toInt() + 1;
            QCOMPARE(placement.misfit(draft, true), QString());
            const auto placed = placement.place(draft, std::nullopt);
            QVERIFY2(placed, qPrintable(placement.lastError()));
            QCOMPARE(*placed, (OrderPlacement::Placed { nextCustomer, nextOrder }));
            QCOMPARE(placement.orderWithReference(QStringLiteral("Offer 12/2")).order, placed);
        }
        db->close();
        QSqlDatabase::removeDatabase(QStringLiteral("pg-place"));
        QCOMPARE(
            value(QStringLiteral("SELECT NAME FROM CUSTOMER WHERE CUSTOMERID = (SELECT MAX(CUSTOMERID) FROM "
                                 "CUSTOMER)"))
                .toString(),
            QStringLiteral("Karim Nabil"));
        QCOMPARE(
            value(QStringLiteral("SELECT ORDERREFERENCE || '|' || SOLDBY || '|' || ORDERAMT || '|' || PAIDAMT"
                                 " || '|' || TOTALREMAMT || '|' || INSTNUMBER || '|' || ORDERDATE FROM ORDERS"
                                 " WHERE ORDERID = (SELECT MAX(ORDERID) FROM ORDERS)"))
                .toString(),
            QStringLiteral("Offer 12/2|Mona|8450.50|2000.00|6450.50|6|2026-12-09"));
        QCOMPARE(value(QStringLiteral("SELECT COUNT(*) || '|' || SUM(LINETOTAL) FROM ORDERDETAIL"
                                      " WHERE ORDERID = (SELECT MAX(ORDERID) FROM ORDERS)"))
                     .toString(),
            QStringLiteral("2|8450.50"));
    }
};

QTEST_MAIN(TestOrderTPostgres)
#include "tst_ordertpg.moc"
