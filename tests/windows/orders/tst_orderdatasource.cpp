// Opening the order window when the data source IMS is missing or unusable. Each situation runs
// in a process of its own (see CMakeLists.txt): unixODBC keeps what it read from odbc.ini for up to
// twenty seconds, so a data source rewritten inside one process may not be seen again.
#include "orders/orderdb.h"
#include "support/ordertfixture.h"
#include "windows/orders/orderwindow.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>

class TestOrderDataSource : public QObject
{
    Q_OBJECT

    OdbcConfig config;

private slots:
    void missingDataSource_data()
    {
        QTest::addColumn<QByteArray>("dataSource");
        QTest::newRow("no-data-source") << QByteArray();
        QTest::newRow("unreachable-file")
            << QByteArray("Driver=SQLite3\nDatabase=/nonexistent/folder/orders.sqlite\n");
        QTest::newRow("no-order-tables") << QByteArray("Driver=SQLite3\nDatabase=")
                + QFile::encodeName(config.path(QStringLiteral("empty.sqlite"))) + "\n";
    }

    void missingDataSource()
    {
        QFETCH(QByteArray, dataSource);
        if (dataSource.isEmpty())
            config.removeDataSource();
        else
            config.setDataSource(dataSource);
        QString error;
        QVERIFY(!OrderDb::open(QStringLiteral("probe"), &error));
        QVERIFY2(error.contains(QStringLiteral("\"IMS\"")), qPrintable(error));
        QVERIFY(!QSqlDatabase::contains(QStringLiteral("probe")));

        // From the main window's menu: a message naming IMS, no order window, the main window intact.
        QMainWindow main;
        main.show();
        QString shown;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            shown = box->text();
            box->accept();
        });
        openOrderWindow(&main);
        QVERIFY2(shown.contains(QStringLiteral("\"IMS\"")), qPrintable(shown));
        QVERIFY(main.isVisible());
        QVERIFY(!main.findChild<OrderWindow *>());
        QVERIFY(!QSqlDatabase::contains(QStringLiteral("IMS-orders")));
    }
};

QTEST_MAIN(TestOrderDataSource)
#include "tst_orderdatasource.moc"
