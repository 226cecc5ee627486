#include "store/itemcosttable.h"
#include "store/markupruletable.h"
#include "support/messageboxes.h"
#include "support/testdb.h"
#include "windows/pricelist/markupwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

// The markup window as a person uses it: typing rules, keeping them, and what it refuses.
class TestMarkupWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void keepsRules_data();
    void keepsRules();
    void offersToRepriceTheList();
};

namespace
{

const QList<std::pair<QString, QString>> Categories { { QStringLiteral("&Processor"), QStringLiteral("0") },
    { QStringLiteral("&Mother Board"), QStringLiteral("1") },
    { QStringLiteral("&RAM"), QStringLiteral("2") } };

// The rules as one line: "default 10/none; 0 18.5/10".
QString text(const Markup::Rules &rules)
{
    QStringList parts { QStringLiteral("default %1/%2")
                            .arg(rules.defaultRule.percent.exactText(),
                                Markup::stepText(rules.defaultRule.step)) };
    for (auto it = rules.owned().cbegin(); it != rules.owned().cend(); ++it)
        parts
            << QStringLiteral("%1 %2/%3").arg(it.key(), it->percent.exactText(), Markup::stepText(it->step));
    return parts.join(QLatin1String("; "));
}

} // namespace

void TestMarkupWindow::keepsRules_data()
{
    QTest::addColumn<QStringList>("typed"); // "grid row:markup:step index"
    QTest::addColumn<bool>("otherCounterFirst"); // another counter keeps rules while the window is open
    QTest::addColumn<QString>("message"); // what the window says, in part; empty: nothing
    QTest::addColumn<QString>("kept");
    QTest::newRow("nothing typed") << QStringList {} << false << ""
                                   << "default 0/none";
    QTest::newRow("default and one category") << QStringList { "0:12:3", "1:18.5%:2" } << false << ""
                                              << "default 12/10; 0 18.5/5";
    QTest::newRow("a category emptied follows the default") << QStringList { "0:10:0", "2:" } << false << ""
                                                            << "default 10/none";
    QTest::newRow("not a markup") << QStringList { "2:lots" } << false
                                  << "The markup of Mother Board is not a number"
                                  << "default 0/none";
    QTest::newRow("changed at another counter")
        << QStringList { "0:20:0" } << true << "changed at another counter"
        << "default 5/none";
}

void TestMarkupWindow::keepsRules()
{
    QFETCH(QStringList, typed);
    QFETCH(bool, otherCounterFirst);
    QFETCH(QString, message);
    QFETCH(QString, kept);
    TestDb db;
    Store store(db.path, QStringLiteral("t-markup"));
    QVERIFY(store.open());
    MarkupWindow window(&store, Categories);
    auto *grid = window.findChild<QTableWidget *>(QStringLiteral("grdmarkup"));
    QCOMPARE(grid->rowCount(), 4);
    for (const QString &cell : typed) {
        const int row = cell.section(u':', 0, 0).toInt();
        grid->item(row, 1)->setText(cell.section(u':', 1, 1));
        if (!cell.section(u':', 2, 2).isEmpty())
            window.findChild<QComboBox *>(QStringLiteral("cbostep(%1)").arg(row))
                ->setCurrentIndex(cell.section(u':', 2, 2).toInt());
    }
    if (otherCounterFirst) {
        Store other(db.path, QStringLiteral("t-markup-other"));
        QVERIFY(other.open());
        Markup::Rules theirs;
        theirs.defaultRule.percent = Decimal::fromInt(5);
        QVERIFY(!MarkupRuleTable(&other).save(theirs, Markup::Rules()).isValid());
    }
    MessageBoxes boxes;
    window.accept();
    QCOMPARE(window.result() == QDialog::Accepted, message.isEmpty());
    QCOMPARE(boxes.said.isEmpty(), message.isEmpty());
    if (!message.isEmpty())
        QVERIFY2(boxes.text().contains(message), qPrintable(boxes.text()));
    QCOMPARE(text(*MarkupRuleTable(&store).read()), kept);
    // What was kept is what the window shows when it opens again, with the price a cost gives.
    if (message.isEmpty() && !typed.isEmpty()) {
        MarkupWindow again(&store, Categories);
        auto *shown = again.findChild<QTableWidget *>(QStringLiteral("grdmarkup"));
        QCOMPARE(shown->item(0, 1)->text(), typed.first().section(u':', 1, 1));
        QVERIFY(!shown->item(0, 3)->text().isEmpty());
    }
}

// Changed rules are kept at once; the prices they gave follow only when the person says so, shown
// what changes.
void TestMarkupWindow::offersToRepriceTheList()
{
    for (const bool apply : { false, true }) {
        TestDb db(std::vector<TestRow> { { "0", "I5", "Core i5", "1200" }, { "0", "R5", "Ryzen 5", "999" } });
        Store store(db.path, QStringLiteral("t-markup-reprice"));
        QVERIFY(store.open());
        for (const char *id : { "I5", "R5" })
            QVERIFY(
                !ItemCostTable(&store)
                     .set({ "0", id, std::nullopt, Price::fromStored("1000") }, QDateTime::currentDateTime())
                     .isValid());
        Markup::Rules was;
        was.defaultRule.percent = Decimal::fromInt(20);
        QVERIFY(!MarkupRuleTable(&store).save(was, Markup::Rules()).isValid());
        MarkupWindow window(&store, Categories);
        QStringList asked;
        window.setAskApply([&](const QString &question, const QString &changes) {
            asked << question << changes;
            return apply;
        });
        window.findChild<QTableWidget *>(QStringLiteral("grdmarkup"))
            ->item(0, 1)
            ->setText(QStringLiteral("25"));
        window.accept();
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(asked.size(), 2);
        QVERIFY2(asked.first().contains(QStringLiteral("1 list price changes")), qPrintable(asked.first()));
        QCOMPARE(asked.last(), QStringLiteral("Processor I5: 1200 → 1250"));
        QSqlQuery q(QStringLiteral("select price from adt where category = '0' order by id"), db.raw());
        QStringList prices;
        while (q.next())
            prices << q.value(0).toString();
        QCOMPARE(prices, apply ? (QStringList { "1250", "999" }) : (QStringList { "1200", "999" }));
    }
}

QTEST_MAIN(TestMarkupWindow)
#include "tst_markupwindow.moc"
