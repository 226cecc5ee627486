#include "widgets/gridcombo.h"

#include <QAccessible>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTest>

// The picker on its own, as every owner (the rows, the price-list editor) sees it.
class TestGridCombo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void focusLostOnlyWhenLeft_data();
    void focusLostOnlyWhenLeft();
    void textIsReadableLikeAComboBox_data();
    void textIsReadableLikeAComboBox();
    void accessibleActionOpensTheList();
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

void TestGridCombo::textIsReadableLikeAComboBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("an id") << "D4-16G";
    QTest::newRow("quoted id") << "O'NEIL";
    QTest::newRow("Arabic") << "\u0645\u0639\u0627\u0644\u062c";
}

void TestGridCombo::textIsReadableLikeAComboBox()
{
    QFETCH(QString, text);
    QWidget window;
    auto *picker = new GridCombo(&window);
    picker->setText(QStringLiteral("before"));
    window.show();
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(picker);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::ComboBox);

    QSignalSpy changed(picker, &GridCombo::textChanged);
    picker->setText(text);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(iface->text(QAccessible::Value), text);
    QCOMPARE(iface->text(QAccessible::Name), text);
    QCOMPARE(picker->property("text").toString(), text);
    QCOMPARE(QString::fromLatin1(picker->metaObject()->userProperty().name()), "text");

    picker->setAccessibleName(QStringLiteral("Processor"));
    QCOMPARE(iface->text(QAccessible::Name), "Processor");
    QCOMPARE(iface->text(QAccessible::Value), text);

    iface->setText(QAccessible::Value, QStringLiteral("set by a tool"));
    QCOMPARE(picker->Text(), "set by a tool");
    QVERIFY(picker->setProperty("text", text));
    QCOMPARE(picker->Text(), text);
}

void TestGridCombo::accessibleActionOpensTheList()
{
    QWidget window;
    auto *picker = new GridCombo(&window);
    window.show();
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(picker);
    QAccessibleActionInterface *actions = iface->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
    QVERIFY(iface->state().collapsed);
    QSignalSpy requested(picker, &GridCombo::listRequested);
    actions->doAction(QAccessibleActionInterface::showMenuAction());
    QCOMPARE(requested.size(), 1);
    QVERIFY(picker->isListShown());
    QVERIFY(iface->state().expanded);
    picker->hideList();
}

QTEST_MAIN(TestGridCombo)
#include "tst_gridcombo.moc"
