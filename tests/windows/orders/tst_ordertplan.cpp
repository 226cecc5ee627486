// The order window's installment tab against a data source IMS of the test's own, driven by
// leaving its fields as a person does; and how much its boxes and cells take.
#include "orders/orderdb.h"
#include "orders/ordersession.h"
#include "support/orderwindowfixture.h"
#include "widgets/windowtext.h"
#include "windows/orders/orderwindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>

#include <memory>

class TestOrderTPlan : public QObject
{
    Q_OBJECT

private:
    OdbcConfig config;
    std::unique_ptr<OrderWindow> w;

    QLineEdit *edit(const char *name) { return w->findChild<QLineEdit *>(QLatin1String(name)); }
    QTreeView *schedule() { return w->findChild<QTreeView *>(QStringLiteral("lv")); }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void init()
    {
        openTestOrderWindow(config, w, [](const QString &text) { QFAIL(qPrintable(text)); });
        if (QTest::currentTestFailed())
            return;
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
    }

    void cleanup() { closeTestOrderWindow(w); }

    void blankPriceKeepsPlan_data()
    {
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("leaving");
        QTest::newRow("empty-leaving-price") << ""
                                             << "txtcerditamount";
        QTest::newRow("blanks-leaving-price") << "   "
                                              << "txtcerditamount";
        QTest::newRow("empty-leaving-count") << ""
                                             << "txtnoinst";
        QTest::newRow("blanks-leaving-count") << "  "
                                              << "txtnoinst";
    }

    void blankPriceKeepsPlan()
    {
        // A blank installment price is no number: the steps that read it are skipped, so the plan
        // already shown stays instead of turning into a schedule of zeros.
        QFETCH(QString, price);
        QFETCH(QString, leaving);
        edit("txtcerditamount")->setText(QStringLiteral("10000"));
        edit("txtnoinst")->setText(QStringLiteral("12"));
        w->CalcInst();
        w->CalcAllInst();
        QCOMPARE(schedule()->model()->rowCount(), 12);

        edit("txtcerditamount")->setText(price);
        QLineEdit *left = edit(qPrintable(leaving));
        left->setFocus();
        QTRY_VERIFY(left->hasFocus());
        schedule()->setFocus();
        QTRY_VERIFY(schedule()->hasFocus());

        QCOMPARE(edit("txtcerditamount")->text().trimmed(), price.trimmed());
        QCOMPARE(edit("txtinst")->text(), QStringLiteral("833.00"));
        QCOMPARE(edit("txtfinst")->text(), QStringLiteral("837.00"));
        const QAbstractItemModel *rows = schedule()->model();
        QCOMPARE(rows->rowCount(), 12);
        QCOMPARE(rows->index(0, 2).data().toString(), QStringLiteral("837.00"));
        QCOMPARE(rows->index(0, 3).data().toString(), QStringLiteral("9163.00"));
        QCOMPARE(rows->index(11, 3).data().toString(), QStringLiteral("0.00"));
    }

    // A box takes what its column can store (the schema's VARCHAR sizes), so a long paste is cut
    // with a word in the box instead of being refused by the database at the save.
    void boxesTakeWhatTheirColumnHolds_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("limit");
        QTest::newRow("customer name") << "txtNAME" << 100;
        QTest::newRow("reference") << "txtORDERREFERENCE" << 50;
        QTest::newRow("sold by") << "txtSOLDBY" << 50;
        QTest::newRow("comment") << "txtCOMMENT" << 255;
        QTest::newRow("typed order number") << "txtORDERID(0)" << 10;
        QTest::newRow("typed customer number") << "txtCUSTOMERID1" << 10;
        QTest::newRow("paid amount") << "txtPAID" << 40;
        QTest::newRow("deposit") << "txtdeposit" << 40;
    }

    void boxesTakeWhatTheirColumnHolds()
    {
        QFETCH(QString, box);
        QLineEdit *line = w->findChild<QLineEdit *>(box);
        QVERIFY(line);
        QTEST(WindowText::lengthLimit(line), "limit");
    }

    void cellsTakeWhatTheirColumnHolds_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("limit");
        QTest::newRow("product id") << 2 << 20;
        QTest::newRow("description") << 3 << 100;
        QTest::newRow("unit price") << 4 << 40;
    }

    void cellsTakeWhatTheirColumnHolds()
    {
        QFETCH(int, column);
        w->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(0);
        auto *grid = w->findChild<QTableView *>(QStringLiteral("GRDORDERS"));
        const QModelIndex cell = grid->model()->index(0, column);
        grid->setCurrentIndex(cell);
        grid->edit(cell);
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        QTEST(WindowText::lengthLimit(editor), "limit");
    }
};

QTEST_MAIN(TestOrderTPlan)
#include "tst_ordertplan.moc"
