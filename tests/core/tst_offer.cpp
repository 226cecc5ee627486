#include "core/offer.h"

#include <QLocale>
#include <QTest>

class TestOffer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void rowsKnowTheirCategory();
    void totalIsExactSum_data();
    void totalIsExactSum();
    void pickedItemKeepsListPrice();
};

void TestOffer::rowsKnowTheirCategory()
{
    const Offer offer;
    QCOMPARE(offer.row(0).category, QString("0"));
    QCOMPARE(offer.row(16).category, QString("16"));
    QCOMPARE(offer.totalText(), QString("0.00"));
}

void TestOffer::totalIsExactSum_data()
{
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QString>("total");
    QTest::addColumn<int>("refused"); // the first row whose amount cannot be added, or -1
    QTest::newRow("cents add exactly") << QStringList({ "0.10", "0.20" }) << "0.30" << -1;
    QTest::newRow("leading number") << QStringList({ "12.5 pounds", "abc", "" }) << "12.50" << -1;
    QTest::newRow("seventeen rows") << QStringList(17, "0.01") << "0.17" << -1;
    QTest::newRow("out of range, left out and named")
        << QStringList({ "5", "1e21", "-3", "1e400 pounds" }) << "2.00" << 1;
    QTest::newRow("just in range") << QStringList({ "999999999999999999999.99", "0.01" })
                                   << "1000000000000000000000.00" << -1;
}

void TestOffer::totalIsExactSum()
{
    QFETCH(QStringList, amounts);
    QFETCH(QString, total);
    Offer offer;
    for (int i = 0; i < amounts.size(); ++i)
        offer.row(i).setAmountText(amounts.at(i));
    int refused = -2;
    QCOMPARE(offer.totalText(&refused), total);
    QTEST(refused, "refused");
}

void TestOffer::pickedItemKeepsListPrice()
{
    Offer offer;
    offer.pickItem(2, "D4-16G", "DDR4 16GB", "1250");
    offer.row(2).setAmountText("1100"); // typed over
    QCOMPARE(Price::toColumn(offer.row(2).listPrice), std::optional<QString>("1250"));
    QCOMPARE(offer.totalText(), QString("1100.00"));
    Offer copy = offer;
    QCOMPARE(copy, offer);
    copy.row(2).itemId.clear();
    QVERIFY(!(copy == offer));
}

QTEST_GUILESS_MAIN(TestOffer)
#include "tst_offer.moc"
