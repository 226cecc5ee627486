#include "quote/gridcombo.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

// The picker on its own, as every owner (the rows, the price-list editor) sees it.
class TestGridCombo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void focusLostOnlyWhenLeft_data();
    void focusLostOnlyWhenLeft();
};

void TestGridCombo::focusLostOnlyWhenLeft_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("lost");
    QTest::newRow("tab") << int(Qt::TabFocusReason) << true;
    QTest::newRow("click on another control") << int(Qt::MouseFocusReason) << true;
    QTest::newRow("focus moved by the window") << int(Qt::OtherFocusReason) << true;
    QTest::newRow("a menu opens") << int(Qt::PopupFocusReason) << false;
    QTest::newRow("Alt gives the menu bar the keys") << int(Qt::MenuBarFocusReason) << false;
    QTest::newRow("another program becomes active") << int(Qt::ActiveWindowFocusReason) << false;
}

void TestGridCombo::focusLostOnlyWhenLeft()
{
    QFETCH(int, reason);
    QFETCH(bool, lost);
    GridCombo picker;
    QSignalSpy spy(&picker, &GridCombo::focusLost);
    QFocusEvent out(QEvent::FocusOut, Qt::FocusReason(reason));
    QApplication::sendEvent(picker.lineEdit(), &out);
    QCOMPARE(spy.size(), lost ? 1 : 0);
}

QTEST_MAIN(TestGridCombo)
#include "tst_gridcombo.moc"
