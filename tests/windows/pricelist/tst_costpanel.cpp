#include "support/pricelisteditorfixture.h"

#include "store/itemcosttable.h"
#include "store/markupruletable.h"

#include <QLabel>

// The editor's cost: typed and checked like a price, kept with the item all or nothing, its margin
// shown as the price is typed, and the list price set from it by the markup rule.
class TestCostPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void costIsKeptWithTheItem_data();
    void costIsKeptWithTheItem();
    void otherCounterChangedTheCost();
    void markupSetsThePrice_data();
    void markupSetsThePrice();
};

namespace
{

NumericEdit *costBox(const Fixture &f)
{
    return f.child<NumericEdit>("txtcost");
}

QString margin(const Fixture &f)
{
    return f.child<QLabel>("lblmargin")->text();
}

QString keptCost(Fixture &f, const QString &id)
{
    const auto read = ItemCostTable(&f.store).read(QStringLiteral("0"), id);
    return !read ? QStringLiteral("unreadable") : *read ? (*read)->text() : QStringLiteral("-");
}

void keepCost(Fixture &f, const QString &id, const QString &cost)
{
    QVERIFY(!ItemCostTable(&f.store)
                 .set({ QStringLiteral("0"), id,
                          ItemCostTable(&f.store).read(QStringLiteral("0"), id).operator*(),
                          Price::fromStored(cost) },
                     QDateTime::currentDateTime())
                 .isValid());
}

} // namespace

void TestCostPanel::costIsKeptWithTheItem_data()
{
    QTest::addColumn<QString>("id"); // I5 is in the list at 6900; NEW is not
    QTest::addColumn<QString>("before"); // its kept cost, "-" for none
    QTest::addColumn<QString>("typed"); // into txtcost; "=" leaves it as shown
    QTest::addColumn<QString>("price"); // into txtprice; "=" leaves it as shown
    QTest::addColumn<QString>("shown"); // lblmargin before saving
    QTest::addColumn<QString>("refused"); // how the refusal begins; empty when saved
    QTest::addColumn<QString>("after");

    QTest::newRow("a cost for an item") << "I5"
                                        << "-"
                                        << "5000"
                                        << "="
                                        << "Margin 27.5% (1,900.00)"
                                        << ""
                                        << "5000";
    QTest::newRow("zero is a cost") << "I5"
                                    << "-"
                                    << "0"
                                    << "="
                                    << "Margin 100.0% (6,900.00)"
                                    << ""
                                    << "0";
    QTest::newRow("every decimal is kept") << "I5"
                                           << "-"
                                           << "4757.895"
                                           << "5837.89"
                                           << "Margin 18.5% (1,079.99)"
                                           << ""
                                           << "4757.895";
    QTest::newRow("emptied, it is unknown") << "I5"
                                            << "5000"
                                            << ""
                                            << "="
                                            << "—"
                                            << ""
                                            << "-";
    QTest::newRow("left as read, it is written as it was") << "I5"
                                                           << "5000.0"
                                                           << "="
                                                           << "7000"
                                                           << "Margin 28.6% (2,000.00)"
                                                           << ""
                                                           << "5000.0";
    QTest::newRow("below zero") << "I5"
                                << "-"
                                << "-1"
                                << "="
                                << "—"
                                << "Cost: a cost cannot be below zero"
                                << "-";
    QTest::newRow("not a number") << "I5"
                                  << "5000"
                                  << "1.2.3"
                                  << "="
                                  << "—"
                                  << "Cost: \"1.2.3\" is not a number"
                                  << "5000";
    QTest::newRow("a new item with its cost") << "NEW"
                                              << "-"
                                              << "100"
                                              << "150"
                                              << "Margin 33.3% (50.00)"
                                              << ""
                                              << "100";
    QTest::newRow("below cost") << "I5"
                                << "-"
                                << "7050"
                                << "="
                                << "Margin -2.2% (-150.00)"
                                << ""
                                << "7050";
}

void TestCostPanel::costIsKeptWithTheItem()
{
    QFETCH(QString, id);
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(QString, price);
    QFETCH(QString, shown);
    QFETCH(QString, refused);
    QFETCH(QString, after);
    Fixture f;
    Reports reports;
    if (before != QLatin1String("-"))
        keepCost(f, id, before);
    f.leaveId(id);
    if (typed != QLatin1String("="))
        costBox(f)->setText(typed);
    if (price != QLatin1String("="))
        f.price()->setText(price);
    QCOMPARE(margin(f), shown);
    Refusals refusals;
    QTest::mouseClick(f.button(id == QLatin1String("NEW") ? "Command1" : "Command2"), Qt::LeftButton);
    if (refused.isEmpty()) {
        QTRY_VERIFY(!f.editor->isVisible());
        QCOMPARE(refusals.list, QStringList());
    } else {
        QTRY_COMPARE(refusals.list.size(), 1);
        QVERIFY2(refusals.list.first().startsWith(refused), qPrintable(refusals.list.first()));
        QVERIFY(f.editor->isVisible());
        QCOMPARE(costBox(f)->text(), typed); // for the person to correct
    }
    QCOMPARE(keptCost(f, id), after);
    QCOMPARE(reports.list.size(), size_t(0));
}

// Another counter changes the cost after the look-up: nothing is written, neither price nor cost,
// the person is told the cost as it is now, and pressing Update again keeps theirs.
void TestCostPanel::otherCounterChangedTheCost()
{
    Fixture f;
    Reports reports;
    keepCost(f, "I5", "5000");
    f.leaveId("I5");
    costBox(f)->setText("5100");
    f.price()->setText("7100");
    f.db.exec("update item_costs set cost = '5200' where category = '0' and item_id = 'I5'");
    {
        Refusals refusals;
        QTest::mouseClick(f.button("Command2"), Qt::LeftButton);
        QTRY_COMPARE(refusals.list.size(), 1);
        QVERIFY2(refusals.list.first().contains("Cost: 5200"), qPrintable(refusals.list.first()));
    }
    QVERIFY(f.editor->isVisible());
    QCOMPARE(f.prices("0", "I5"), QStringList { "6900" });
    QCOMPARE(keptCost(f, "I5"), QStringLiteral("5200"));
    QCOMPARE(costBox(f)->text(), QStringLiteral("5100"));
    QTest::mouseClick(f.button("Command2"), Qt::LeftButton);
    QTRY_VERIFY(!f.editor->isVisible());
    QCOMPARE(f.prices("0", "I5"), QStringList { "7100" });
    QCOMPARE(keptCost(f, "I5"), QStringLiteral("5100"));
    QCOMPARE(reports.list.size(), size_t(0));
}

void TestCostPanel::markupSetsThePrice_data()
{
    QTest::addColumn<QString>("cost");
    QTest::addColumn<QString>("price"); // in txtprice after "Apply markup"
    QTest::addColumn<QString>("refused");

    QTest::newRow("20% rounded up to 10") << "4757.89"
                                          << "5710"
                                          << "";
    QTest::newRow("on a step already") << "1000"
                                       << "1200"
                                       << "";
    QTest::newRow("zero") << "0"
                          << "0"
                          << "";
    QTest::newRow("no cost") << ""
                             << "6900"
                             << "Cost: enter what the shop pays";
    QTest::newRow("not a cost") << "-5"
                                << "6900"
                                << "Cost: a cost cannot be below zero";
}

void TestCostPanel::markupSetsThePrice()
{
    QFETCH(QString, cost);
    QFETCH(QString, refused);
    Fixture f;
    Markup::Rules rules;
    rules.defaultRule = { Decimal::fromInt(5), Markup::Step::One };
    rules.setOwn("0", Markup::Rule { Decimal::fromInt(20), Markup::Step::Ten });
    QVERIFY(!MarkupRuleTable(&f.store).save(rules, Markup::Rules()).isValid());
    f.leaveId("I5");
    costBox(f)->setText(cost);
    Refusals refusals;
    QTest::mouseClick(f.child<QPushButton>("cmdmarkup"), Qt::LeftButton);
    if (!refused.isEmpty()) {
        QTRY_COMPARE(refusals.list.size(), 1);
        QVERIFY2(refusals.list.first().startsWith(refused), qPrintable(refusals.list.first()));
    }
    QTEST(f.price()->text(), "price");
    QCOMPARE(f.prices("0", "I5"), QStringList { "6900" }); // nothing is saved until Update
}

QTEST_MAIN(TestCostPanel)
#include "tst_costpanel.moc"
