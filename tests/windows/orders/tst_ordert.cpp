// The order window against a real ODBC data source IMS (the SQLite driver on a fresh file made
// from the set-up's schema), driven through its controls as a person would.
#include "orders/orderdatacontrol.h"
#include "orders/orderdb.h"
#include "orders/ordersession.h"
#include "support/orderwindowfixture.h"
#include "windows/orders/orderwindow.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <memory>

class TestOrderT : public QObject
{
    Q_OBJECT

private:
    OdbcConfig config;
    std::unique_ptr<OrderWindow> w;
    QStringList messages;

    QLineEdit *edit(const char *name) { return w->findChild<QLineEdit *>(QLatin1String(name)); }
    QTableView *grid() { return w->findChild<QTableView *>(QStringLiteral("GRDORDERS")); }
    void navigate(const char *control, const char *step)
    {
        auto *bar = w->findChild<QWidget *>(QLatin1String(control));
        QVERIFY(bar);
        auto *button = bar->findChild<QToolButton *>(QLatin1String(step));
        QVERIFY(button);
        button->click();
    }
    QStringList lineIds()
    {
        QStringList ids;
        for (int r = 0; r < w->RSOrderDetails()->rowCount(); ++r)
            ids << w->RSOrderDetails()->index(r, 0).data().toString();
        return ids;
    }
    QString cell(int row, int column) { return w->RSOrderDetails()->index(row, column).data().toString(); }
    void leave(QWidget *from, QWidget *to)
    {
        from->setFocus();
        QTRY_VERIFY(from->hasFocus());
        to->setFocus();
        QTRY_VERIFY(to->hasFocus());
    }
    void showInstallments()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void init()
    {
        messages.clear();
        openTestOrderWindow(config, w, [this](const QString &text) { messages << text; });
    }

    void cleanup() { closeTestOrderWindow(w); }

    void layoutAndCaptions()
    {
        QCOMPARE(w->objectName(), QStringLiteral("ORDERT"));
        QCOMPARE(w->layoutDirection(), Qt::RightToLeft);
        QVERIFY(edit("txtORDERID(0)"));
        auto *tabs = w->findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        QCOMPARE(tabs->tabText(0), QStringLiteral("معلومات اساسية"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("التقسيط"));
        QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("cmdneworder"))->text(),
            QStringLiteral("طلبية جديدة"));
        QCOMPARE(w->RSOrderDetails()->headerData(9, Qt::Horizontal).toString(), QStringLiteral("مرتجع؟"));
        auto *lv = w->findChild<QTreeView *>(QStringLiteral("lv"));
        QCOMPARE(lv->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Inst.Dtتاريخ القسط"));
        // The money fields show the currency sign and grouped digits.
        QCOMPARE(edit("txtORDERTOTAL")->text(), QStringLiteral("ج.م.\u200F 12,500.00"));
        QCOMPARE(edit("txtORDERDATE")->text(), QStringLiteral("2/11/2026"));
    }

    void chain_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("opening") << QStringList {} << "1"
                                 << "شركة النور للحاسبات"
                                 << "1" << QStringList { "1", "2" };
        QTest::newRow("next-customer") << QStringList { "next" } << "2"
                                       << "أحمد محمود"
                                       << "3" << QStringList { "4" };
        QTest::newRow("last-customer-has-no-order") << QStringList { "last" } << "3"
                                                    << "مكتبة الأمل"
                                                    << "" << QStringList {};
        QTest::newRow("and-back-to-first") << QStringList { "last", "first" } << "1"
                                           << "شركة النور للحاسبات"
                                           << "1" << QStringList { "1", "2" };
        QTest::newRow("past-the-end-stays") << QStringList { "last", "next" } << "3"
                                            << "مكتبة الأمل"
                                            << "" << QStringList {};
    }

    void chain()
    {
        QFETCH(QStringList, steps);
        for (const QString &step : steps)
            navigate("RSMain", qPrintable(step));
        QTEST(edit("txtCUSTOMERID1")->text(), "customer");
        QTEST(edit("txtNAME")->text(), "name");
        QTEST(edit("txtORDERID(0)")->text(), "order");
        QTEST(lineIds(), "lines");
        QVERIFY(messages.isEmpty());
    }

    void orderNavigationFollowsLines()
    {
        navigate("RSORDER", "next");
        QCOMPARE(edit("txtORDERID(0)")->text(), QStringLiteral("2"));
        QCOMPARE(lineIds(), QStringList { "3" });
        QCOMPARE(edit("txtCUSTOMERID")->text(), QStringLiteral("1"));
    }

    void typedCustomerNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("order");
        QTest::newRow("other-customer") << "2"
                                        << "3";
        QTest::newRow("quote-injection") << "1' OR '1'='1"
                                         << "";
        QTest::newRow("semicolon") << "1; DROP TABLE ORDERS"
                                   << "";
        QTest::newRow("not-a-customer") << "77"
                                        << "";
        QTest::newRow("empty") << ""
                               << "";
    }

    void typedCustomerNumber()
    {
        QFETCH(QString, typed);
        edit("txtCUSTOMERID1")->setText(typed);
        QTEST(edit("txtORDERID(0)")->text(), "order");
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QLatin1Char('\n'))));
        // Saving now must not have turned customer 1 into the typed number.
        QVERIFY(w->save());
        QCOMPARE(
            config.sqliteValue(QStringLiteral("SELECT COUNT(*) FROM CUSTOMER WHERE CUSTOMERID IN (1, 2, 3)"))
                .toInt(),
            3);
        QCOMPARE(
            config.sqliteValue(QStringLiteral("SELECT COUNT(*) FROM ORDERS WHERE CUSTOMERID = 1")).toInt(),
            2);
        QCOMPARE(config.sqliteValue(QStringLiteral("SELECT COUNT(*) FROM ORDERS")).toInt(), 3);
    }

    void failedRequeryIsReported()
    {
        {
            QSqlDatabase raw
                = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("breaker"));
            raw.setDatabaseName(config.path(QStringLiteral("orders.sqlite")));
            QVERIFY(raw.open());
            QSqlQuery q(raw);
            QVERIFY(q.exec(QStringLiteral("ALTER TABLE ORDERDETAIL RENAME TO GONE")));
            raw.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("breaker"));
        edit("txtORDERID(0)")->setText(QStringLiteral("2"));
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().contains(QStringLiteral("\"IMS\"")));
    }

    void installmentPrice_data()
    {
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("deposit");
        QTest::addColumn<QString>("leaving");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty-price-from-deposit") << ""
                                                  << "2000"
                                                  << "txtdeposit"
                                                  << "10500";
        QTest::newRow("blank-price-from-deposit") << "   "
                                                  << "500.25"
                                                  << "txtdeposit"
                                                  << "11999.75";
        QTest::newRow("no-deposit") << ""
                                    << ""
                                    << "txtdeposit"
                                    << "12500";
        QTest::newRow("non-empty-price-kept") << "9999"
                                              << "2000"
                                              << "txtdeposit"
                                              << "9999";
        QTest::newRow("deposit-not-number") << ""
                                            << "abc"
                                            << "txtdeposit"
                                            << "";
        QTest::newRow("leaving-total") << ""
                                       << "2500"
                                       << "txtORDERTOTAL"
                                       << "10000";
    }

    void installmentPrice()
    {
        QFETCH(QString, price);
        QFETCH(QString, deposit);
        QFETCH(QString, leaving);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        auto *tabs = w->findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        tabs->setCurrentIndex(leaving == QLatin1String("txtdeposit") ? 1 : 0);
        edit("txtcerditamount")->setText(price);
        edit("txtdeposit")->setText(deposit);
        QWidget *other = leaving == QLatin1String("txtdeposit") ? static_cast<QWidget *>(edit("txtnoinst"))
                                                                : edit("txtPAID");
        other->removeEventFilter(w.get()); // leaving it would compute a plan; only the price matters here
        leave(edit(qPrintable(leaving)), other);
        QTEST(edit("txtcerditamount")->text().trimmed(), "expected");
    }

    void lineTotal_data()
    {
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("discount");
        QTest::addColumn<QString>("total");
        QTest::newRow("99.5-to-even-100") << "99.5"
                                          << "1"
                                          << "0"
                                          << "100";
        QTest::newRow("98.5-to-even-98") << "98.5"
                                         << "1"
                                         << "0"
                                         << "98";
        QTest::newRow("ten-percent") << "1250"
                                     << "3"
                                     << "10"
                                     << "3375";
        QTest::newRow("discount-0") << "1250"
                                    << "3"
                                    << "0"
                                    << "3750";
        QTest::newRow("discount-100") << "1250"
                                      << "3"
                                      << "100"
                                      << "0";
    }

    void lineTotal()
    {
        QFETCH(QString, price);
        QFETCH(QString, quantity);
        QFETCH(QString, discount);
        auto *lines = w->RSOrderDetails();
        grid()->setCurrentIndex(lines->index(0, 4));
        lines->setData(lines->index(0, 4), price);
        lines->setData(lines->index(0, 5), quantity);
        lines->setData(lines->index(0, 6), discount);
        grid()->setCurrentIndex(lines->index(0, 5));
        QTEST(cell(0, 7), "total");
        // And it is what the save writes.
        QVERIFY(w->save());
        QTEST(config.sqliteValue(QStringLiteral("SELECT LINETOTAL FROM ORDERDETAIL WHERE ORDERDETAILID = 1"))
                  .toString(),
            "total");
    }

    void cellMoves_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("orderCell");
        QTest::addColumn<QString>("totalCell");
        // Row 0 starts with order cell 2 (not the shown order 1) and a stale total 5.
        QTest::newRow("1-to-0") << 1 << 0 << "1"
                                << "5";
        QTest::newRow("2-to-3") << 2 << 3 << "1"
                                << "5";
        QTest::newRow("3-to-1") << 3 << 1 << "1"
                                << "5";
        QTest::newRow("from-0-nothing") << 0 << 4 << "2"
                                        << "5";
        QTest::newRow("from-0-to-1-nothing") << 0 << 1 << "2"
                                             << "5";
        QTest::newRow("3-to-5-total") << 3 << 5 << "1"
                                      << "11000";
        QTest::newRow("5-to-8-no-total") << 5 << 8 << "1"
                                         << "5";
    }

    void cellMoves()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        auto *lines = w->RSOrderDetails();
        grid()->setCurrentIndex(lines->index(0, from));
        lines->setData(lines->index(0, 1), 2);
        lines->setData(lines->index(0, 7), QStringLiteral("5"));
        grid()->setCurrentIndex(lines->index(0, to));
        QTEST(cell(0, 1), "orderCell");
        QTEST(cell(0, 7), "totalCell");
    }

    void typingIntoTheGrid_data()
    {
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("total");
        QTest::newRow("typed-99.5") << "99.5"
                                    << "100";
        QTest::newRow("typed-98.5") << "98.5"
                                    << "98";
        QTest::newRow("typed-grouped") << "1,250"
                                       << "1250";
    }

    void typingIntoTheGrid()
    {
        // As a person does it: type over the unit price, Tab to the quantity.
        QFETCH(QString, price);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        auto *lines = w->RSOrderDetails();
        grid()->setFocus();
        grid()->setCurrentIndex(lines->index(0, 4));
        QTest::keyClicks(grid(), price.left(1)); // the first key opens the cell's editor
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        QTest::keyClicks(editor, price.mid(1));
        QTest::keyClick(editor, Qt::Key_Tab);
        QCOMPARE(grid()->currentIndex().column(), 5);
        QTEST(cell(0, 7), "total");
    }

    void refusedCellTextKeepsValue()
    {
        auto *lines = w->RSOrderDetails();
        grid()->setCurrentIndex(lines->index(0, 4));
        grid()->edit(lines->index(0, 4));
        auto *editor = grid()->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("eleven"));
        QMetaObject::invokeMethod(grid(), "commitData", Q_ARG(QWidget *, editor));
        QCOMPARE(cell(0, 4), QStringLiteral("11000"));
        QVERIFY(w->statusText().contains(QStringLiteral("eleven")));
    }

    void saveWritesCustomerOrderAndLines()
    {
        edit("txtNAME")->setText(QStringLiteral("شركة النور"));
        edit("txtSOLDBY")->setText(QStringLiteral("O'Brien"));
        edit("txtPAID")->setText(QStringLiteral("3,000.5"));
        edit("txtORDERDATE")->setText(QStringLiteral("5/1/2027"));
        w->RSOrderDetails()->setData(w->RSOrderDetails()->index(1, 3), QStringLiteral("شاشة"));
        QVERIFY(w->hasUnsavedEdits());
        QVERIFY(w->save());
        QVERIFY(!w->hasUnsavedEdits());
        QCOMPARE(
            config.sqliteValue(QStringLiteral("SELECT NAME FROM CUSTOMER WHERE CUSTOMERID = 1")).toString(),
            QStringLiteral("شركة النور"));
        QCOMPARE(config.sqliteValue(QStringLiteral("SELECT SOLDBY FROM ORDERS WHERE ORDERID = 1")).toString(),
            QStringLiteral("O'Brien"));
        QCOMPARE(
            config.sqliteValue(QStringLiteral("SELECT PAIDAMT FROM ORDERS WHERE ORDERID = 1")).toDouble(),
            3000.5);
        QCOMPARE(
            config.sqliteValue(QStringLiteral("SELECT ORDERDATE FROM ORDERS WHERE ORDERID = 1")).toString(),
            QStringLiteral("2027-01-05"));
        QCOMPARE(
            config.sqliteValue(QStringLiteral("SELECT DESCRIPTION FROM ORDERDETAIL WHERE ORDERDETAILID = 2"))
                .toString(),
            QStringLiteral("شاشة"));
        QCOMPARE(edit("txtPAID")->text(), QStringLiteral("ج.م.\u200F 3,000.50"));
    }

    void badFieldTextRefusesSave()
    {
        edit("txtPAID")->setText(QStringLiteral("a lot"));
        QVERIFY(!w->save());
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().contains(QStringLiteral("a lot")));
        QCOMPARE(
            config.sqliteValue(QStringLiteral("SELECT PAIDAMT FROM ORDERS WHERE ORDERID = 1")).toInt(), 2500);
    }

    void movingWritesTheRecordLeft()
    {
        edit("txtCOMMENT")->setText(QStringLiteral("اتصل قبل التوصيل"));
        navigate("RSORDER", "next");
        QCOMPARE(
            config.sqliteValue(QStringLiteral("SELECT COMMENT FROM ORDERS WHERE ORDERID = 1")).toString(),
            QStringLiteral("اتصل قبل التوصيل"));
    }

    void closing_data()
    {
        QTest::addColumn<bool>("edited");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("stillOpen");
        QTest::addColumn<QString>("stored");
        QTest::newRow("no-edits-no-question")
            << false << int(QMessageBox::Cancel) << false << false << "سامي";
        QTest::newRow("discard") << true << int(QMessageBox::Discard) << true << false << "سامي";
        QTest::newRow("cancel-stays") << true << int(QMessageBox::Cancel) << true << true << "سامي";
        QTest::newRow("save") << true << int(QMessageBox::Save) << true << false << "منى";
    }

    void closing()
    {
        QFETCH(bool, edited);
        QFETCH(int, answer);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        bool asked = false;
        w->setUnsavedQuestion([&] {
            asked = true;
            return QMessageBox::StandardButton(answer);
        });
        if (edited)
            edit("txtSOLDBY")->setText(QStringLiteral("منى"));
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QTEST(asked, "asked");
        QTEST(w->isVisible(), "stillOpen");
        QTEST(config.sqliteValue(QStringLiteral("SELECT SOLDBY FROM ORDERS WHERE ORDERID = 1")).toString(),
            "stored");
        if (w->isVisible())
            QCOMPARE(edit("txtSOLDBY")->text(), QStringLiteral("منى"));
    }

    void newOrder()
    {
        QVERIFY(w->newOrder());
        QCOMPARE(edit("txtORDERID(0)")->text(), QStringLiteral("4"));
        QCOMPARE(edit("txtCUSTOMERID")->text(), QStringLiteral("1"));
        QCOMPARE(
            config.sqliteValue(QStringLiteral("SELECT CUSTOMERID FROM ORDERS WHERE ORDERID = 4")).toInt(), 1);
        // A new line waits in the grid for the order's first item.
        QCOMPARE(w->RSOrderDetails()->rowCount(), 1);
        QCOMPARE(cell(0, 1), QStringLiteral("4"));
        QCOMPARE(cell(0, 0), QStringLiteral("5"));
        w->RSOrderDetails()->setData(w->RSOrderDetails()->index(0, 3), QStringLiteral("ماوس"));
        QVERIFY(w->save());
        QCOMPARE(config.sqliteValue(QStringLiteral("SELECT DESCRIPTION FROM ORDERDETAIL WHERE ORDERID = 4"))
                     .toString(),
            QStringLiteral("ماوس"));
    }

    void newOrderNeedsACustomerNumber()
    {
        edit("txtCUSTOMERID1")->setText(QStringLiteral("x'"));
        QVERIFY(!w->newOrder());
        QCOMPARE(messages.size(), 1);
        QCOMPARE(config.sqliteValue(QStringLiteral("SELECT COUNT(*) FROM ORDERS")).toInt(), 3);
    }

    void plan_data()
    {
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("first");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("lastBalance");
        QTest::newRow("ten-thousand") << "10000"
                                      << "12"
                                      << "833.00"
                                      << "837.00" << 12 << "0.00";
        QTest::newRow("beyond-16-bits") << "1000000"
                                        << "12"
                                        << "83333.00"
                                        << "83337.00" << 12 << "0.00";
        QTest::newRow("one") << "500.5"
                             << "1"
                             << "500.00"
                             << "500.50" << 1 << "0.00";
        QTest::newRow("halves-to-even") << "26"
                                        << "4"
                                        << "6.00"
                                        << "8.00" << 4 << "0.00";
    }

    void plan()
    {
        QFETCH(QString, price);
        QFETCH(QString, count);
        showInstallments();
        edit("txtcerditamount")->setText(price);
        edit("txtnoinst")->setText(count);
        leave(edit("txtcerditamount"), w->findChild<QTreeView *>(QStringLiteral("lv")));
        QTEST(edit("txtinst")->text(), "amount");
        QTEST(edit("txtfinst")->text(), "first");
        QAbstractItemModel *schedule = w->findChild<QTreeView *>(QStringLiteral("lv"))->model();
        QTEST(schedule->rowCount(), "rows");
        QTEST(schedule->index(schedule->rowCount() - 1, 3).data().toString(), "lastBalance");
        QCOMPARE(schedule->index(0, 1).data().toString(),
            QLocale().toString(
                w->findChild<QDateEdit *>(QStringLiteral("txtfirstinst"))->date(), QLocale::ShortFormat));
    }

    void leavingCountRecomputes()
    {
        showInstallments();
        edit("txtcerditamount")->setText(QStringLiteral("10000"));
        edit("txtnoinst")->setText(QStringLiteral("12"));
        w->CalcInst();
        w->CalcAllInst();
        edit("txtnoinst")->setText(QStringLiteral("10"));
        leave(edit("txtnoinst"), w->findChild<QTreeView *>(QStringLiteral("lv")));
        QCOMPARE(edit("txtinst")->text(), QStringLiteral("1000.00"));
        QCOMPARE(w->findChild<QTreeView *>(QStringLiteral("lv"))->model()->rowCount(), 10);
    }

    void refusedCountLeavesPlan_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<bool>("note");
        QTest::newRow("empty-stops-quietly") << "" << false;
        QTest::newRow("zero") << "0" << true;
        QTest::newRow("fraction") << "2.5" << true;
        QTest::newRow("words") << "twelve" << true;
    }

    void refusedCountLeavesPlan()
    {
        QFETCH(QString, count);
        edit("txtcerditamount")->setText(QStringLiteral("10000"));
        w->CalcInst();
        w->CalcAllInst();
        edit("txtnoinst")->setText(count);
        w->CalcInst();
        w->CalcAllInst();
        QCOMPARE(edit("txtinst")->text(), QStringLiteral("833.00"));
        QCOMPARE(w->findChild<QTreeView *>(QStringLiteral("lv"))->model()->rowCount(), 12);
        QTEST(!w->statusText().isEmpty(), "note");
    }

    void scheduleStopsOnZeroTotal()
    {
        w->RSORDER()->setValue(QStringLiteral("ORDERAMT"), QStringLiteral("0"));
        QCOMPARE(edit("txtsellprice")->text(), QStringLiteral("0.00"));
        edit("txtcerditamount")->setText(QStringLiteral("10000"));
        w->CalcInst();
        w->CalcAllInst();
        QCOMPARE(edit("txtinst")->text(), QStringLiteral("833.00"));
        QCOMPARE(w->findChild<QTreeView *>(QStringLiteral("lv"))->model()->rowCount(), 0);
    }

    void openFromMainWindow()
    {
        cleanup();
        QMainWindow main;
        main.show();
        QString name;
        bool modal = false;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(qobject_cast<OrderWindow *>(QApplication::activeModalWidget()));
            auto *window = qobject_cast<OrderWindow *>(QApplication::activeModalWidget());
            modal = window->isModal();
            name = window->findChild<QLineEdit *>(QStringLiteral("txtNAME"))->text();
            window->reject();
        });
        openOrderWindow(&main);
        QVERIFY(modal);
        QCOMPARE(name, QStringLiteral("شركة النور للحاسبات"));
        QVERIFY(main.isVisible());
        QVERIFY(!QSqlDatabase::contains(QStringLiteral("IMS-orders")));
    }
};

QTEST_MAIN(TestOrderT)
#include "tst_ordert.moc"
