#include "support/rowsfixture.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

// The rows' amounts and the total: exact sums in every locale, out-of-range amounts, and when an
// amount box counts as left.
class TestRowAmounts : public QObject, public RowsFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }
    void typingKeepsTotalExact_data();
    void typingKeepsTotalExact();
    void outOfRangeAmountIsRefused_data();
    void outOfRangeAmountIsRefused();
    void chosenPriceSurvivesTabbingAway_data();
    void chosenPriceSurvivesTabbingAway();
    void amountNormalisedOnlyWhenLeft_data();
    void amountNormalisedOnlyWhenLeft();
    void amountKeptWhileMenuOrOtherWindowIsActive();
};

void TestRowAmounts::typingKeepsTotalExact_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("afterLeaving");
    QTest::newRow("cut not rounded") << "en_US" << QStringList { "12.345" } << "12.34"
                                     << "12.34";
    QTest::newRow("grouped as shown") << "en_US" << QStringList { "1,200" } << "1200.00"
                                      << "1,200.00";
    QTest::newRow("words after") << "en_US" << QStringList { "12.5 pounds" } << "12.50"
                                 << "0.00";
    QTest::newRow("not a number") << "en_US" << QStringList { "abc" } << "0.00"
                                  << "0.00";
    QTest::newRow("no residue") << "en_US" << QStringList { "0.1", "0.2", "0.7" } << "1.00"
                                << "0.10";
    QTest::newRow("comma locale") << "de_DE" << QStringList { "0.1", "0.2" } << "0.30"
                                  << "0.10";
    QTest::newRow("comma typed in a comma locale") << "de_DE" << QStringList { "1,25" } << "1.25"
                                                   << "1.25";
    QTest::newRow("french") << "fr_FR" << QStringList { "0.1", "0,2" } << "0.30"
                            << "0.10";
    QTest::newRow("arabic") << "ar_EG" << QStringList { "1250.00", u"0\u066B5"_qs } << "1250.50"
                            << "1250.00";
    QTest::newRow("C") << "C" << QStringList { "0.1", "1,250" } << "1250.10"
                       << "0.10";
    QTest::newRow("20 digits") << "en_US" << QStringList { "12345678901234567890", "1" }
                               << "12345678901234567891.00"
                               << "12345678901234567890.00";
    QTest::newRow("beyond 15 digits")
        << "en_US" << QStringList { "922337203685477.58", "922337203685477.58" } << "1844674407370955.16"
        << "922337203685477.58";
    QTest::newRow("exponent counts its number") << "en_US" << QStringList { "1.5e3" } << "1500.00"
                                                << "1500.00";
    QTest::newRow("total of 1e15") << "en_US" << QStringList { "1e15" } << "1000000000000000.00"
                                   << "1000000000000000.00";
}

void TestRowAmounts::typingKeepsTotalExact()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, amounts);
    QFETCH(QString, total);
    QFETCH(QString, afterLeaving);
    QLocale::setDefault(QLocale(locale));
    for (int i = 0; i < amounts.size(); ++i) {
        amount(i)->clear();
        // Keys exist for ASCII only; other characters come in as typed text does.
        if (amounts[i].toLatin1() == amounts[i].toUtf8())
            QTest::keyClicks(amount(i), amounts[i]);
        else
            amount(i)->insert(amounts[i]);
    }
    QCOMPARE(this->total(), total);
    m_form->amountLeft(0);
    QCOMPARE(amount(0)->text(), afterLeaving);
}

void TestRowAmounts::outOfRangeAmountIsRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("two rows of 1e308") << "1e308";
    QTest::newRow("largest double") << "1.7976931348623157e308";
    QTest::newRow("10^21") << "1e21";
    QTest::newRow("1e400") << "1e400";
    QTest::newRow("23 digits") << "12345678901234567890123";
}

void TestRowAmounts::outOfRangeAmountIsRefused()
{
    // Kept as typed and named, never cut into another number or counted as one; and never left
    // out of a total that would then stand beside it: while it stands there is no total.
    QFETCH(QString, typed);
    typeOver(amount(3), QStringLiteral("2.50"));
    for (int i : { 0, 1 }) {
        typeOver(amount(i), typed);
        m_form->amountLeft(i);
        QCOMPARE(amount(i)->text(), typed);
        QVERIFY2(
            amount(i)->toolTip().contains(QStringLiteral("out of range")), qPrintable(amount(i)->toolTip()));
    }
    QCOMPARE(total(), QStringLiteral("No total"));
    QVERIFY(m_form->offer().totalText() != total()); // the model's sum is not what is shown
    QVERIFY(!amount(3)->property("outOfRange").toBool());
    QVERIFY(amount(0)->property("outOfRange").toBool());
    // The message stays while a row is out of range and goes when none is.
    const QString message = m_form->statusBar()->currentMessage();
    QVERIFY2(message.startsWith(QStringLiteral("Row Processor: \"") + typed.left(37)), qPrintable(message));
    QVERIFY2(message.endsWith(QStringLiteral("The offer has no total until it is corrected.")),
        qPrintable(message));
    typeOver(amount(0), QStringLiteral("1"));
    QVERIFY(amount(0)->toolTip().isEmpty());
    QVERIFY(!amount(0)->property("outOfRange").toBool());
    QCOMPARE(total(), QStringLiteral("No total"));
    QVERIFY(m_form->statusBar()->currentMessage().startsWith(QStringLiteral("Row Mother Board: ")));
    typeOver(amount(1), QStringLiteral("2"));
    QCOMPARE(total(), QStringLiteral("5.50"));
    QVERIFY(m_form->statusBar()->currentMessage().isEmpty());
}

void TestRowAmounts::chosenPriceSurvivesTabbingAway_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("afterLeaving");
    for (const char *l : { "en_US", "de_DE", "fr_FR", "ar_EG", "C" }) {
        QTest::addRow("store form @%s", l) << l << "D4-32G"
                                           << "3050.00"
                                           << "3050.00"
                                           << "3050.00";
        QTest::addRow("a tenth @%s", l) << l << "MID"
                                        << "0.1"
                                        << "0.10"
                                        << "0.10";
        QTest::addRow("exponent form @%s", l) << l << "BIG"
                                              << "1.5e20"
                                              << "150000000000000000000.00"
                                              << "150000000000000000000.00";
    }
}

void TestRowAmounts::chosenPriceSurvivesTabbingAway()
{
    QFETCH(QString, locale);
    QFETCH(QString, id);
    QFETCH(QString, shown);
    QFETCH(QString, total);
    QFETCH(QString, afterLeaving);
    QLocale::setDefault(QLocale(locale));
    const int r = id.startsWith(u'D') ? 2 : 5;
    picker(r)->setText(id);
    m_form->itemPicked(r);
    QCOMPARE(amount(r)->text(), shown);
    QCOMPARE(this->total(), total);
    m_form->activateWindow();
    amount(r)->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(amount(r)->hasFocus());
    QTest::keyClick(amount(r), Qt::Key_Tab);
    QVERIFY(!amount(r)->hasFocus());
    QCOMPARE(amount(r)->text(), afterLeaving);
    QCOMPARE(this->total(), total);
}

void TestRowAmounts::amountNormalisedOnlyWhenLeft_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<QString>("after");
    QTest::newRow("tab") << int(Qt::TabFocusReason) << "12.34";
    QTest::newRow("shift+tab") << int(Qt::BacktabFocusReason) << "12.34";
    QTest::newRow("click on another control") << int(Qt::MouseFocusReason) << "12.34";
    QTest::newRow("access key of another control") << int(Qt::ShortcutFocusReason) << "12.34";
    QTest::newRow("focus moved by the window") << int(Qt::OtherFocusReason) << "12.34";
    QTest::newRow("a menu opens") << int(Qt::PopupFocusReason) << "12.345";
    QTest::newRow("Alt gives the menu bar the keys") << int(Qt::MenuBarFocusReason) << "12.345";
    QTest::newRow("another program becomes active") << int(Qt::ActiveWindowFocusReason) << "12.345";
}

void TestRowAmounts::amountNormalisedOnlyWhenLeft()
{
    QFETCH(int, reason);
    QFETCH(QString, after);
    amount(0)->setFocus();
    amount(0)->clear();
    QTest::keyClicks(amount(0), QStringLiteral("12.345"));
    QFocusEvent out(QEvent::FocusOut, Qt::FocusReason(reason));
    QApplication::sendEvent(amount(0), &out);
    QCOMPARE(amount(0)->text(), after);
    QCOMPARE(total(), QStringLiteral("12.34"));
}

void TestRowAmounts::amountKeptWhileMenuOrOtherWindowIsActive()
{
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    amount(0)->setFocus();
    amount(0)->clear();
    QTest::keyClicks(amount(0), QStringLiteral("12.345"));
    auto *file = m_form->findChild<QMenu *>(QStringLiteral("mnufile"));
    file->popup(m_form->mapToGlobal(QPoint(0, 0)));
    QVERIFY(QTest::qWaitForWindowExposed(file));
    file->close();
    QCOMPARE(amount(0)->text(), QStringLiteral("12.345"));
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(amount(0)->text(), QStringLiteral("12.345"));
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QTRY_VERIFY(amount(0)->hasFocus());
    QTest::keyClick(amount(0), Qt::Key_Tab); // now it is left
    QCOMPARE(amount(0)->text(), QStringLiteral("12.34"));
}

QTEST_MAIN(TestRowAmounts)
#include "tst_rowamounts.moc"
