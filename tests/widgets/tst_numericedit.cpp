#include "widgets/numericedit.h"

#include <QAccessible>
#include <QAction>
#include <QFrame>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

// The numeric box with its calculator as assistive technology and UI tests read it.
class TestNumericEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void boxValueIsItsText_data();
    void boxValueIsItsText();
    void calculatorIsNamed_data();
    void calculatorIsNamed();
};

namespace
{

QString accessibleText(QObject *object, QAccessible::Text t)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(t) : QStringLiteral("<none>");
}

} // namespace

void TestNumericEdit::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestNumericEdit::boxValueIsItsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("initial") << "0.00";
    QTest::newRow("grouped") << "1,250.25";
    QTest::newRow("partial") << "-";
    QTest::newRow("empty") << "";
}

void TestNumericEdit::boxValueIsItsText()
{
    QFETCH(QString, text);
    QWidget window;
    auto *edit = new NumericEdit(&window);
    window.show();
    edit->setText(text);
    QCOMPARE(accessibleText(edit, QAccessible::Value), text);
    QCOMPARE(edit->property("text").toString(), text);
}

void TestNumericEdit::calculatorIsNamed_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name");
    QTest::newRow("digit") << "calc7"
                           << "7";
    QTest::newRow("point") << "calcPoint"
                           << "Decimal point";
    QTest::newRow("clear") << "calcClear"
                           << "Clear";
    QTest::newRow("add") << "calcAdd"
                         << "Add";
    QTest::newRow("subtract") << "calcSubtract"
                              << "Subtract";
    QTest::newRow("multiply") << "calcMultiply"
                              << "Multiply";
    QTest::newRow("divide") << "calcDivide"
                            << "Divide";
    QTest::newRow("equals") << "calcEquals"
                            << "Equals";
}

void TestNumericEdit::calculatorIsNamed()
{
    QFETCH(QString, key);
    QFETCH(QString, name);
    QWidget window;
    auto *edit = new NumericEdit(&window);
    edit->setText(QStringLiteral("12"));
    window.show();
    QToolButton *opener = nullptr;
    for (QToolButton *b : edit->findChildren<QToolButton *>()) {
        if (b->defaultAction() == edit->calculatorAction())
            opener = b;
    }
    QVERIFY(opener);
    QCOMPARE(accessibleText(opener, QAccessible::Name), "Calculator");

    edit->showCalculator();
    QFrame *popup = edit->calculator();
    QVERIFY(popup);
    QCOMPARE(accessibleText(popup, QAccessible::Name), "Calculator");
    auto *display = popup->findChild<QLineEdit *>(QStringLiteral("calcDisplay"));
    QCOMPARE(accessibleText(display, QAccessible::Name), "Calculator display");
    QCOMPARE(accessibleText(display, QAccessible::Value), "12");
    auto *button = popup->findChild<QToolButton *>(key);
    QVERIFY(button);
    QCOMPARE(accessibleText(button, QAccessible::Name), name);
    popup->close();
}

QTEST_MAIN(TestNumericEdit)
#include "tst_numericedit.moc"
