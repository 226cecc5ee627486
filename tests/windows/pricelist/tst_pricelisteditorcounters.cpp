#include "support/pricelisteditorfixture.h"

// Two counters editing one item: the second to save is told, with the item as it is now, and
// nothing the first saved is lost; what the second person typed stays for them to save again.
class TestFrmadtCounters : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void otherCounterChangedTheItem_data();
    void otherCounterChangedTheItem();
};

void TestFrmadtCounters::otherCounterChangedTheItem_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("meanwhile"); // the other counter's change, after this one's lookup
    QTest::addColumn<QString>("toldHas");
    QTest::addColumn<QStringList>("pricesAfter"); // of I5, right after the refusal
    QTest::addColumn<QString>("buttonsAfter");
    QTest::addColumn<QStringList>("pricesAtLast"); // after pressing the button once more

    const QString newPrice = "update adt set price = '7000' where category = '0' and id = 'I5'";
    QTest::newRow("update after a price change") << "Command2" << newPrice << "Price: 7000"
                                                 << QStringList { "7000" } << "-DE" << QStringList { "7000" };
    QTest::newRow("delete after a price change")
        << "Command3" << newPrice << "Price: 7000" << QStringList { "7000" } << "-DE" << QStringList {};
    QTest::newRow("update after a delete")
        << "Command2"
        << "delete from adt where category = '0' and id = 'I5'"
        << "deleted this item" << QStringList {} << "D--" << QStringList {};
}

void TestFrmadtCounters::otherCounterChangedTheItem()
{
    QFETCH(QString, button);
    QFETCH(QString, meanwhile);
    QFETCH(QString, toldHas);
    QFETCH(QString, buttonsAfter);
    Fixture f;
    Reports reports;
    f.leaveId("I5");
    f.desc()->setText("Intel Core i5, boxed");
    f.db.exec(meanwhile);
    {
        Refusals refusals;
        QTest::mouseClick(f.button(button.toLatin1()), Qt::LeftButton);
        QTRY_COMPARE(refusals.list.size(), 1);
        QVERIFY2(refusals.list.first().contains(toldHas), qPrintable(refusals.list.first()));
    }
    QVERIFY(f.editor->isVisible()); // nothing was written, so the editor stays
    QTEST(f.prices("0", "I5"), "pricesAfter");
    QCOMPARE(f.desc()->text(), QStringLiteral("Intel Core i5, boxed")); // what was typed stays
    QCOMPARE(f.buttonStates(), buttonsAfter);
    if (buttonsAfter.startsWith(u'D'))
        return; // the item is gone: Add would put it back, which is the person's choice
    // The untouched price now shows the other counter's; saving again keeps it.
    QCOMPARE(f.price()->text(), QStringLiteral("7000"));
    QTest::mouseClick(f.button(button.toLatin1()), Qt::LeftButton);
    QTRY_VERIFY(!f.editor->isVisible());
    QTEST(f.prices("0", "I5"), "pricesAtLast");
    QCOMPARE(reports.list.size(), size_t(0));
}

QTEST_MAIN(TestFrmadtCounters)
#include "tst_pricelisteditorcounters.moc"
