#include "widgets/numericedit.h"
#include "widgets/twips.h"
#include "windows/installments/installmentcalculator.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDateEdit>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QWindow>

class TestFrmInst : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void opening_data();
    void opening();
    void titleShowsClientAsTyped_data();
    void titleShowsClientAsTyped();
    void calculateFromToday();
    void scheduleFromEndOfJanuary();
    void zeroRemainderKeepsSchedule();
    void refusalKeepsEverything_data();
    void refusalKeepsEverything();
    void leavingCountRecomputesAndReturnsToPrice();
    void focusSelectsWholeText();
    void firstFocusIsPrice();
    void tabOrder_data();
    void tabOrder();
    void priceAndDepositChangeNoOutput();
    void listLayout();
    void printFailureOffersPdf();
    void calculatorPopup_data();
    void calculatorPopup();
    void numericEditValue();
    void planChoiceForTheOffer_data();
    void planChoiceForTheOffer();
};

namespace
{

template <typename T = QLineEdit> T *child(QWidget &w, const char *name)
{
    T *c = w.findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

QString text(QWidget &w, const char *name)
{
    return child(w, name)->text();
}

QString cell(QWidget &w, int row, int column)
{
    const QAbstractItemModel *m = child<QTreeView>(w, "lv")->model();
    return m->index(row, column).data().toString();
}

int rows(QWidget &w)
{
    return child<QTreeView>(w, "lv")->model()->rowCount();
}

void calculate(QWidget &w)
{
    QTest::mouseClick(child<QPushButton>(w, "cmdcalc"), Qt::LeftButton);
}

QString ddmmyyyy(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace

void TestFrmInst::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestFrmInst::opening_data()
{
    QTest::addColumn<QString>("client");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("deposit");
    QTest::addColumn<bool>("note");

    QTest::newRow("round total") << "Ali 0100"
                                 << "10000.00"
                                 << "2500" << false;
    QTest::newRow("total with cents") << "Ali 0100"
                                      << "1234.56"
                                      << "308.64" << false;
    QTest::newRow("empty client") << ""
                                  << "10000.00"
                                  << "2500" << false;
    QTest::newRow("total not a number") << "Ali 0100"
                                        << "12abc"
                                        << "0.00" << true;
    QTest::newRow("empty total") << "Ali 0100"
                                 << ""
                                 << "0.00" << true;
}

void TestFrmInst::opening()
{
    QFETCH(QString, client);
    QFETCH(QString, total);
    QFETCH(QString, deposit);
    QFETCH(bool, note);
    InstallmentCalculator w(client, total);
    QCOMPARE(w.objectName(), "frminst");
    QCOMPARE(w.windowTitle(), "Installment Calculator - " + client);
    QCOMPARE(child<QLabel>(w, "lblname")->text(), client);
    QCOMPARE(text(w, "txtcerditamount"), total);
    QCOMPARE(text(w, "txtdeposit"), deposit);
    QCOMPARE(text(w, "txtsellprice"), "0.00");
    QCOMPARE(text(w, "txtnoinst"), "12");
    QCOMPARE(text(w, "txtinst"), "0.00");
    QCOMPARE(text(w, "txtfinst"), "");
    QCOMPARE(child<QDateEdit>(w, "txtfirstinst")->date(), QDate::currentDate());
    QCOMPARE(rows(w), 0);
    QCOMPARE(child<QLabel>(w, "lblerror")->text().isEmpty(), !note);
    QVERIFY(w.isModal());
}

void TestFrmInst::titleShowsClientAsTyped_data()
{
    QTest::addColumn<QString>("client");
    QTest::newRow("placeholder inside") << "Ali [*] 0100";
    QTest::newRow("placeholder at the end") << "Ali [*]";
    QTest::newRow("two placeholders") << "[*][*]";
    QTest::newRow("no placeholder") << "Ali 0100";
}

void TestFrmInst::titleShowsClientAsTyped()
{
    QFETCH(QString, client);
    InstallmentCalculator w(client, QStringLiteral("10000.00"));
    w.winId(); // the title bar's text is the native window's title
    QCOMPARE(w.windowHandle()->title(), "Installment Calculator - " + client);
    QCOMPARE(child<QLabel>(w, "lblname")->text(), client);
    QString jobTitle;
    w.setPrinter([&](QWidget *, const QString &title) {
        jobTitle = title;
        return PrintResult { true, QString() };
    });
    QTest::mouseClick(child<QPushButton>(w, "cmdprint"), Qt::LeftButton);
    QCOMPARE(jobTitle, "Installment Calculator - " + client);
}

void TestFrmInst::calculateFromToday()
{
    InstallmentCalculator w(QStringLiteral("Ali 0100"), QStringLiteral("10000.00"));
    child(w, "txtsellprice")->setText(QStringLiteral("7500"));
    calculate(w);
    QCOMPARE(text(w, "txtinst"), "625.00");
    QCOMPARE(text(w, "txtfinst"), "625.00");
    QCOMPARE(rows(w), 12);
    const QDate today = QDate::currentDate();
    QCOMPARE(cell(w, 0, 0), "1");
    QCOMPARE(cell(w, 0, 1), ddmmyyyy(today));
    QCOMPARE(cell(w, 0, 2), "625.00");
    QCOMPARE(cell(w, 0, 3), "6875.00");
    QCOMPARE(cell(w, 1, 1), ddmmyyyy(today.addMonths(1)));
    QCOMPARE(cell(w, 11, 0), "12");
    QCOMPARE(cell(w, 11, 1), ddmmyyyy(today.addMonths(11)));
    QCOMPARE(cell(w, 11, 2), "625.00");
    QCOMPARE(cell(w, 11, 3), "0.00");
}

void TestFrmInst::scheduleFromEndOfJanuary()
{
    InstallmentCalculator w(QString(), QStringLiteral("0.00"));
    child(w, "txtsellprice")->setText(QStringLiteral("10000"));
    child<QDateEdit>(w, "txtfirstinst")->setDate(QDate(2027, 1, 31));
    calculate(w);
    QCOMPARE(text(w, "txtinst"), "833.00");
    QCOMPARE(text(w, "txtfinst"), "837.00");
    QCOMPARE(rows(w), 12);
    QCOMPARE(QStringList({ cell(w, 0, 1), cell(w, 0, 2), cell(w, 0, 3) }),
        QStringList({ "31/01/2027", "837.00", "9163.00" }));
    QCOMPARE(QStringList({ cell(w, 1, 1), cell(w, 1, 2), cell(w, 1, 3) }),
        QStringList({ "28/02/2027", "833.00", "8330.00" }));
    QCOMPARE(QStringList({ cell(w, 2, 1), cell(w, 2, 3) }), QStringList({ "31/03/2027", "7497.00" }));
    QCOMPARE(QStringList({ cell(w, 11, 1), cell(w, 11, 3) }), QStringList({ "31/12/2027", "0.00" }));

    // A second plan replaces the first one entirely.
    child(w, "txtnoinst")->setText(QStringLiteral("1"));
    calculate(w);
    QCOMPARE(rows(w), 1);
    QCOMPARE(text(w, "txtfinst"), "10000.00");
    QCOMPARE(cell(w, 0, 3), "0.00");
}

void TestFrmInst::zeroRemainderKeepsSchedule()
{
    InstallmentCalculator w(QString(), QStringLiteral("10000.00"));
    calculate(w);
    QCOMPARE(rows(w), 0);
    child(w, "txtsellprice")->setText(QStringLiteral("7500"));
    calculate(w);
    child(w, "txtsellprice")->setText(QStringLiteral("0"));
    child(w, "txtnoinst")->setText(QStringLiteral("3"));
    calculate(w);
    QCOMPARE(rows(w), 12);
    QCOMPARE(text(w, "txtinst"), "625.00");
    QCOMPARE(text(w, "txtfinst"), "625.00");
}

void TestFrmInst::refusalKeepsEverything_data()
{
    QTest::addColumn<QString>("remainder");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("mentions");

    QTest::newRow("empty count") << "7500"
                                 << ""
                                 << "number of installments";
    QTest::newRow("zero count") << "7500"
                                << "0"
                                << "at least 1";
    QTest::newRow("negative count") << "7500"
                                    << "-4"
                                    << "at least 1";
    QTest::newRow("fractional count") << "7500"
                                      << "2.5"
                                      << "whole number";
    QTest::newRow("count not a number") << "7500"
                                        << "twelve"
                                        << "whole number";
    QTest::newRow("count above 32767") << "7500"
                                       << "40000"
                                       << "32767";
    QTest::newRow("remainder not a number") << "-"
                                            << "12"
                                            << "Remainder";
    QTest::newRow("installment beyond 32 bits") << "99999999999"
                                                << "12"
                                                << "Remainder";
}

void TestFrmInst::refusalKeepsEverything()
{
    QFETCH(QString, remainder);
    QFETCH(QString, count);
    QFETCH(QString, mentions);
    InstallmentCalculator w(QString(), QStringLiteral("10000.00"));
    child(w, "txtsellprice")->setText(QStringLiteral("7500"));
    calculate(w);
    const QString lastBalance = cell(w, 11, 3);

    child(w, "txtsellprice")->setText(remainder);
    child(w, "txtnoinst")->setText(count);
    calculate(w);
    QVERIFY2(child<QLabel>(w, "lblerror")->text().contains(mentions),
        qPrintable(child<QLabel>(w, "lblerror")->text()));
    QCOMPARE(text(w, "txtinst"), "625.00");
    QCOMPARE(text(w, "txtfinst"), "625.00");
    QCOMPARE(rows(w), 12);
    QCOMPARE(cell(w, 11, 3), lastBalance);

    // Put right, the message goes.
    child(w, "txtsellprice")->setText(QStringLiteral("26"));
    child(w, "txtnoinst")->setText(QStringLiteral("4"));
    calculate(w);
    QCOMPARE(child<QLabel>(w, "lblerror")->text(), QString());
    QCOMPARE(text(w, "txtinst"), "6.00");
    QCOMPARE(text(w, "txtfinst"), "8.00");
    QCOMPARE(rows(w), 4);
}

void TestFrmInst::leavingCountRecomputesAndReturnsToPrice()
{
    InstallmentCalculator w(QString(), QStringLiteral("10000.00"));
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QLineEdit *count = child(w, "txtnoinst");
    child(w, "txtsellprice")->setText(QStringLiteral("30"));
    count->setFocus();
    QTRY_VERIFY(count->hasFocus());
    count->setText(QStringLiteral("4"));
    QTest::keyClick(count, Qt::Key_Tab);
    QCOMPARE(text(w, "txtinst"), "8.00");
    QCOMPARE(text(w, "txtfinst"), "6.00");
    QTRY_VERIFY(child(w, "txtcerditamount")->hasFocus());
    QCOMPARE(rows(w), 0); // leaving a field never builds the schedule
}

void TestFrmInst::focusSelectsWholeText()
{
    InstallmentCalculator w(QString(), QStringLiteral("10000.00"));
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    for (const char *name : { "txtdeposit", "txtnoinst", "txtcerditamount" }) {
        QLineEdit *box = child(w, name);
        box->deselect();
        box->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(box->hasFocus());
        QCoreApplication::processEvents();
        QCOMPARE(box->selectedText(), box->text());
        QCOMPARE(box->selectionStart(), 0);
    }
}

void TestFrmInst::firstFocusIsPrice()
{
    InstallmentCalculator w(QStringLiteral("Ali 0100"), QStringLiteral("10000.00"));
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTRY_COMPARE(QApplication::focusWidget(), child(w, "txtcerditamount"));
    QCOMPARE(child(w, "txtcerditamount")->selectedText(), "10000.00");
}

void TestFrmInst::tabOrder_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("back");
    QTest::addColumn<QString>("to");
    QTest::newRow("price to deposit") << "txtcerditamount" << false << "txtdeposit";
    QTest::newRow("deposit to remainder") << "txtdeposit" << false << "txtsellprice";
    QTest::newRow("remainder to count") << "txtsellprice" << false << "txtnoinst";
    QTest::newRow("count back to remainder") << "txtnoinst" << true << "txtsellprice";
    QTest::newRow("remainder back to deposit") << "txtsellprice" << true << "txtdeposit";
    QTest::newRow("deposit back to price") << "txtdeposit" << true << "txtcerditamount";
}

void TestFrmInst::tabOrder()
{
    QFETCH(QString, from);
    QFETCH(bool, back);
    QFETCH(QString, to);
    InstallmentCalculator w(QString(), QStringLiteral("10000.00"));
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QLineEdit *start = w.findChild<QLineEdit *>(from);
    start->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(start->hasFocus());
    QTest::keyClick(start, back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), to);
}

void TestFrmInst::priceAndDepositChangeNoOutput()
{
    InstallmentCalculator w(QString(), QStringLiteral("10000.00"));
    child(w, "txtsellprice")->setText(QStringLiteral("7500"));
    calculate(w);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QLineEdit *price = child(w, "txtcerditamount");
    price->setFocus();
    QTRY_VERIFY(price->hasFocus());
    price->setText(QStringLiteral("50000.00"));
    QTest::keyClick(price, Qt::Key_Tab);
    QCOMPARE(text(w, "txtdeposit"), "2500");
    QCOMPARE(text(w, "txtinst"), "625.00");
    QCOMPARE(rows(w), 12);
    QCOMPARE(cell(w, 0, 3), "6875.00");
}

void TestFrmInst::listLayout()
{
    InstallmentCalculator w(QString(), QStringLiteral("0.00"));
    QCOMPARE(w.size(), QSize(Twips::toX(&w, 7995), Twips::toY(&w, 7245)));
    auto *lv = child<QTreeView>(w, "lv");
    const QStringList headers = { "S", "Installment Date", "Amount", "Balance" };
    for (int c = 0; c < 4; ++c)
        QCOMPARE(lv->model()->headerData(c, Qt::Horizontal).toString(), headers.at(c));
    for (int c = 0; c < 3; ++c)
        QCOMPARE(lv->header()->sectionSize(c), Twips::toX(&w, c == 0 ? 882 : 2540));
    // The right-aligned balances are in sight (and so on the printed page) without scrolling.
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(lv->header()->sectionSize(3) > 0);
    QVERIFY(lv->header()->sectionPosition(3) + lv->header()->sectionSize(3) <= lv->viewport()->width());
    for (const char *name : { "txtcerditamount", "txtdeposit", "txtnoinst", "txtfinst", "txtinst" })
        QVERIFY(child(w, name)->alignment() & Qt::AlignRight);
    QVERIFY(child(w, "txtfinst")->isReadOnly());
    QVERIFY(child(w, "txtinst")->isReadOnly());
    QVERIFY(!child(w, "txtnoinst")->isReadOnly());
    QCOMPARE(child<QPushButton>(w, "cmdcalc")->text(), "Calculate");
    QCOMPARE(child<QPushButton>(w, "cmdprint")->text(), "Print");
    QCOMPARE(child<QPushButton>(w, "cmdclose")->text(), "Close");
}

void TestFrmInst::printFailureOffersPdf()
{
    InstallmentCalculator w(QStringLiteral("Ali 0100"), QStringLiteral("10000.00"));
    QWidget *printed = nullptr;
    w.setPrinter([&](QWidget *window, const QString &) {
        printed = window;
        return PrintResult { false, QStringLiteral("No default printer is set up on this computer.") };
    });
    QString shownTitle;
    QString shownText;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        shownTitle = box->windowTitle();
        shownText = box->text();
        box->button(QMessageBox::No)->click();
    });
    QTest::mouseClick(child<QPushButton>(w, "cmdprint"), Qt::LeftButton);
    QCOMPARE(printed, &w);
    QCOMPARE(shownTitle, "Velmont Brasko");
    QVERIFY(shownText.contains("No default printer is set up on this computer."));
    QVERIFY(shownText.contains("PDF"));
}

void TestFrmInst::calculatorPopup_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("result");

    QTest::newRow("typed number") << "0.00" << QStringList { "7", "5", "0", "0", "Equals" } << "7500";
    QTest::newRow("left to right") << "" << QStringList { "1", "2", "Add", "3", "Multiply", "2", "Equals" }
                                   << "30";
    QTest::newRow("starts from the box") << "100" << QStringList { "Multiply", "3", "Equals" } << "300";
    QTest::newRow("second operator replaces")
        << "10" << QStringList { "Add", "Subtract", "4", "Equals" } << "6";
    QTest::newRow("fraction") << "" << QStringList { "1", "Point", "5", "Divide", "4", "Equals" } << "0.375";
    QTest::newRow("clear") << "55" << QStringList { "9", "Clear", "8", "Equals" } << "8";
    QTest::newRow("divide by zero writes nothing") << "55" << QStringList { "Divide", "0", "Equals" } << "55";
}

void TestFrmInst::calculatorPopup()
{
    QFETCH(QString, start);
    QFETCH(QStringList, keys);
    QFETCH(QString, result);
    QWidget host;
    auto *edit = new NumericEdit(&host);
    edit->setText(start);
    host.show();
    edit->calculatorAction()->trigger();
    QFrame *popup = edit->calculator();
    QVERIFY(popup);
    for (const QString &key : keys) {
        auto *b = popup->findChild<QToolButton *>("calc" + key);
        QVERIFY2(b, qPrintable(key));
        b->click();
    }
    QCOMPARE(edit->text(), result);
    if (result != start)
        QTRY_VERIFY(!edit->calculator());
}

void TestFrmInst::numericEditValue()
{
    NumericEdit edit;
    edit.setValue(1250.5);
    QCOMPARE(edit.text(), "1250.5");
    QCOMPARE(edit.value(), 1250.5);
    edit.setText("1,250.25");
    QCOMPARE(edit.value(), 1250.25);
    edit.clear();
    QTest::keyClicks(&edit, "12a-3.5x");
    QCOMPARE(edit.text(), "12-3.5");
    QVERIFY(!edit.hasValue());
    QCOMPARE(edit.value(), 0.0);
}

void TestFrmInst::planChoiceForTheOffer_data()
{
    QTest::addColumn<bool>("choice"); // the window was asked for the choice
    QTest::addColumn<QString>("remainder");
    QTest::addColumn<int>("rows"); // -1: no plan chosen
    QTest::addColumn<QString>("total");
    // The figures as they go on paper: Price, Deposit, Remainder.
    QTest::addColumn<QStringList>("onPaper");
    QTest::newRow("plain calculator has no such button")
        << false << "7500" << -1 << "10000.00" << QStringList {};
    QTest::newRow("no remainder yet") << true << "0" << -1 << "10000.00" << QStringList {};
    QTest::newRow("a plan") << true << "7500" << 12 << "10000.00"
                            << QStringList { "10000.00", "2500.00", "7500.00" };
    // A quarter of this total has three decimals; on paper it is an amount like the others.
    QTest::newRow("a deposit with every digit")
        << true << "1162.88" << 12 << "1550.50" << QStringList { "1550.50", "387.62", "1162.88" };
}

void TestFrmInst::planChoiceForTheOffer()
{
    QFETCH(bool, choice);
    QFETCH(QString, remainder);
    QFETCH(int, rows);
    QFETCH(QString, total);
    QFETCH(QStringList, onPaper);
    InstallmentCalculator w(QStringLiteral("Ali 0100"), total);
    if (choice)
        w.offerPlanChoice();
    w.show();
    auto *button = child<QPushButton>(w, "cmdprintoffer");
    QCOMPARE(button->isVisible(), choice);
    if (!choice)
        return;
    child(w, "txtsellprice")->setText(remainder);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(w.chosenPlan().has_value(), rows >= 0);
    QCOMPARE(w.isVisible(), rows < 0); // a chosen plan closes the window
    if (rows < 0) {
        QVERIFY(!child<QLabel>(w, "lblerror")->text().isEmpty());
        return;
    }
    const PlanPrintout plan = *w.chosenPlan();
    QCOMPARE(plan.schedule.count(), rows);
    QCOMPARE(plan.client, QStringLiteral("Ali 0100"));
    QCOMPARE(plan.schedule.row(12).balance, QStringLiteral("0.00"));
    QCOMPARE(plan.figures.value(0), (std::pair<QString, QString>("Price", onPaper.value(0))));
    QCOMPARE(plan.figures.value(1), (std::pair<QString, QString>("Deposit", onPaper.value(1))));
    QCOMPARE(plan.figures.value(2), (std::pair<QString, QString>("Remainder", onPaper.value(2))));
    QCOMPARE(plan.headers, (QStringList { "S", "Installment Date", "Amount", "Balance" }));
}

QTEST_MAIN(TestFrmInst)
#include "tst_installmentcalculator.moc"
