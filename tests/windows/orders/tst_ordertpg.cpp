// The same data path with the data source IMS pointed at a PostgreSQL server (driver "PostgreSQL
// Unicode"): the program is unchanged, only the data source differs. The server runs on loopback
// for this test only and is stopped at its end.
#include "orders/orderdatacontrol.h"
#include "orders/orderdb.h"
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
    std::unique_ptr<PostgresServer> server;
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

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        if (!PostgresServer::available())
            QSKIP("PostgreSQL 15 server binaries are not installed (Debian package postgresql-15).");
        server = std::make_unique<PostgresServer>();
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
        w = std::make_unique<OrderWindow>(*db);
        w->setMessageSink([this](const QString &text) { messages << text; });
        QVERIFY2(w->Form_Load(), qPrintable(w->loadError()));
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
};

QTEST_MAIN(TestOrderTPostgres)
#include "tst_ordertpg.moc"
