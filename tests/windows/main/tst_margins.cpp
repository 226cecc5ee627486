#include "store/itemcosttable.h"
#include "support/rowsfixture.h"
#include "windows/main/marginview.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

// The offer's margins at the counter: off at the start, beside the amounts when asked for, updated
// as amounts are typed, and a row sold below its cost marked whether they are shown or not.
class TestMargins : public QObject, public RowsFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup() { tearDown(); }
    void shownOnlyWhenAsked();
    void followTyping_data();
    void followTyping();

private:
    QAction *toggle() const { return m_form->findChild<QAction *>(QStringLiteral("mnuoffermargins")); }
    QLabel *label(const QString &name) const { return m_form->findChild<QLabel *>(name); }
    void pick(int index, const QString &id)
    {
        picker(index)->setText(id);
        m_form->itemPicked(index);
    }
};

void TestMargins::init()
{
    setUp();
    // What the shop pays for the RAM; the speaker's cost is not known.
    QVERIFY(
        !ItemCostTable(m_store.get())
             .set({ "2", "D4-16G", std::nullopt, Price::fromStored("1000") }, QDateTime::currentDateTime())
             .isValid());
}

void TestMargins::shownOnlyWhenAsked()
{
    QVERIFY(toggle());
    QVERIFY(toggle()->isCheckable());
    QVERIFY(!toggle()->isChecked());
    QCOMPARE(toggle()->text(), QStringLiteral("Show &Margins"));
    QCOMPARE(toggle()->shortcut(), QKeySequence(QStringLiteral("Ctrl+M")));
    QCOMPARE(qobject_cast<QMenu *>(toggle()->parent())->objectName(), QStringLiteral("mnuoffer"));
    pick(2, "D4-16G");
    for (int i = 0; i < 17; ++i)
        QVERIFY(label(QStringLiteral("lblmargin(%1)").arg(i))->isHidden());
    QVERIFY(label("lblmargintotal")->isHidden());
    const int collapsed = m_form->windowWidthTwips();

    // Asked for while the detail is collapsed, margins show the detail, and a column beside it.
    toggle()->trigger();
    QVERIFY(!label("lblmargin(2)")->isHidden());
    QVERIFY(!label("lblmargintotal")->isHidden());
    QCOMPARE(label("lblmargin(2)")->text(), QStringLiteral("20.0% (250.00)"));
    QCOMPARE(label("lblmargin(3)")->text(), QString()); // an empty row
    QVERIFY(label("lblmargin(2)")->geometry().left() > amount(2)->geometry().right());
    QCOMPARE(label("lblmargin(2)")->geometry().top(), amount(2)->geometry().top());
    QVERIFY(label("lblmargin(2)")->geometry().right() < m_form->findChild<QWidget *>("Frame1")->width());
    const int shown = m_form->windowWidthTwips();
    QVERIFY2(shown > collapsed + MarginView::ColumnTwips - 30, qPrintable(QString::number(shown)));

    toggle()->trigger();
    QVERIFY(label("lblmargin(2)")->isHidden());
    QVERIFY(qAbs(m_form->windowWidthTwips() - (shown - MarginView::ColumnTwips)) <= 30);
}

void TestMargins::followTyping_data()
{
    QTest::addColumn<QString>("typed"); // over the RAM's amount; empty leaves the list price
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("reason");

    QTest::newRow("the list price") << ""
                                    << "20.0% (250.00)"
                                    << "Margin 20.0% (250.00); leaves out 1 row without a cost"
                                    << "";
    QTest::newRow("at cost") << "1000"
                             << "0.0% (0.00)"
                             << "Margin 0.0% (0.00); leaves out 1 row without a cost"
                             << "";
    QTest::newRow("below cost") << "850"
                                << "-17.6% (-150.00)"
                                << "Margin -17.6% (-150.00); leaves out 1 row without a cost"
                                << "Row RAM is 150.00 below cost.";
    QTest::newRow("no amount") << "x"
                               << "—"
                               << "Margin —; leaves out 2 rows without a cost"
                               << "";
}

void TestMargins::followTyping()
{
    QFETCH(QString, typed);
    QFETCH(QString, row);
    QFETCH(QString, total);
    QFETCH(QString, reason);
    pick(2, "D4-16G");
    pick(9, "SPK");
    if (!typed.isEmpty())
        typeOver(amount(2), typed);
    // Marked whether margins are shown or not, in colour and in words.
    QCOMPARE(amount(2)->property("belowCost").toBool(), !reason.isEmpty());
    QCOMPARE(amount(2)->accessibleDescription(), reason);
    QCOMPARE(m_form->belowCostReasons(), reason.isEmpty() ? QStringList() : QStringList { reason });
    toggle()->setChecked(true);
    QCOMPARE(label("lblmargin(2)")->text(), row);
    QCOMPARE(label("lblmargin(9)")->text(), QStringLiteral("—"));
    QCOMPARE(label("lblmargintotal")->text(), total);
    // Every keystroke counts, as it does for the total.
    typeOver(amount(2), "1250");
    QCOMPARE(label("lblmargin(2)")->text(), QStringLiteral("20.0% (250.00)"));
    QVERIFY(!amount(2)->property("belowCost").toBool());
    QCOMPARE(amount(2)->accessibleDescription(), QString());
}

QTEST_MAIN(TestMargins)
#include "tst_margins.moc"
