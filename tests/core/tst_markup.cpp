#include "core/margin.h"
#include "core/markup.h"

#include <QTest>

// Prices from what the shop pays: the rule's arithmetic, exact, and what a person may type.
class TestMarkup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listPrice_data();
    void listPrice();
    void readPercent_data();
    void readPercent();
    void margin_data();
    void margin();
};

Q_DECLARE_METATYPE(Markup::Step)

void TestMarkup::listPrice_data()
{
    QTest::addColumn<QString>("cost");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<Markup::Step>("step");
    QTest::addColumn<QString>("price");
    using S = Markup::Step;
    QTest::newRow("to the cent") << "1000"
                                 << "18.5" << S::Cent << "1185";
    QTest::newRow("cents up, never down") << "10.01"
                                          << "10" << S::Cent << "11.02"; // 11.011
    QTest::newRow("up to ten") << "1000"
                               << "18.5" << S::Ten << "1190";
    QTest::newRow("already on the step") << "1000"
                                         << "20" << S::Hundred << "1200";
    QTest::newRow("a hair over the step") << "1000.01"
                                          << "20" << S::Hundred << "1300";
    QTest::newRow("up to five") << "99.99"
                                << "0" << S::Five << "100";
    QTest::newRow("up to fifty") << "7355"
                                 << "12" << S::Fifty << "8250"; // 8237.6
    QTest::newRow("up to one") << "0.10"
                               << "15" << S::One << "1";
    QTest::newRow("no markup") << "4325.50"
                               << "0" << S::Cent << "4325.5";
    QTest::newRow("a discount") << "1000"
                                << "-10" << S::Cent << "900";
    QTest::newRow("floating point would miss") << "0.1"
                                               << "200" << S::Cent << "0.3";
    QTest::newRow("large") << "123456789012.34"
                           << "7.25" << S::One << "132407406216";
    QTest::newRow("free") << "0"
                          << "30" << S::Ten << "0";
}

void TestMarkup::listPrice()
{
    QFETCH(QString, cost);
    QFETCH(QString, percent);
    QFETCH(Markup::Step, step);
    QFETCH(QString, price);
    const Markup::Rule rule { *Decimal::fromPlain(percent), step };
    const Decimal paid = *Decimal::fromPlain(cost);
    QCOMPARE(Markup::listPrice(paid, rule).exactText(), price);
    QVERIFY(Markup::isRulePrice(Markup::listPriceText(paid, rule), paid, rule));
    QVERIFY(!Markup::isRulePrice(Price::fromStored(price + QStringLiteral(" EGP")), paid, rule));
}

void TestMarkup::readPercent_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("percent"); // empty: refused
    QTest::newRow("whole") << "20"
                           << "20";
    QTest::newRow("with a sign") << " 18.5 % "
                                 << "18.5";
    QTest::newRow("German comma") << "18,5"
                                  << "18.5";
    QTest::newRow("discount") << "-10"
                              << "-10";
    QTest::newRow("all of it off") << "-100"
                                   << "";
    QTest::newRow("too much") << "10001"
                              << "";
    QTest::newRow("words") << "twenty"
                           << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestMarkup::readPercent()
{
    QFETCH(QString, typed);
    QFETCH(QString, percent);
    const QLocale locale
        = QTest::currentDataTag() == QByteArray("German comma") ? QLocale(QLocale::German) : QLocale::c();
    const auto read = Markup::readPercent(typed, locale);
    QCOMPARE(read ? read->exactText() : QString(), percent);
}

void TestMarkup::margin_data()
{
    QTest::addColumn<QString>("cost");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("margin");
    QTest::addColumn<QString>("figures"); // as the editor and the counter show them
    QTest::newRow("the issue's example") << "4757.89"
                                         << "5837.89"
                                         << "18.5%"
                                         << "18.5% (1,080.00)";
    QTest::newRow("below cost") << "1040"
                                << "1000"
                                << "-4.0%"
                                << "-4.0% (-40.00)";
    QTest::newRow("half away from zero") << "0"
                                         << "1"
                                         << "100.0%"
                                         << "100.0% (1.00)";
    QTest::newRow("price not a number") << "100"
                                        << "call"
                                        << ""
                                        << "—";
    QTest::newRow("free") << "100"
                          << "0"
                          << ""
                          << "-100.00";
    QTest::newRow("cents are cut") << "0.005"
                                   << "1234567.999"
                                   << "100.0%"
                                   << "100.0% (1,234,567.99)";
    QTest::newRow("far below cost") << "1000100"
                                    << "100"
                                    << "-1000000.0%"
                                    << "-1000000.0% (-1,000,000.00)";
    QTest::newRow("unknown cost") << "-"
                                  << "100"
                                  << ""
                                  << "—";
}

void TestMarkup::margin()
{
    QFETCH(QString, cost);
    QFETCH(QString, price);
    QFETCH(QString, margin);
    QFETCH(QString, figures);
    const std::optional<Price> known
        = cost == QLatin1String("-") ? std::nullopt : std::optional<Price>(Price::fromStored(cost));
    if (known)
        QCOMPARE(Price::marginPercent(*known->number(), Price::fromStored(price)), margin);
    QCOMPARE(Margin::figures(known, Price::fromStored(price)), figures);
}

QTEST_APPLESS_MAIN(TestMarkup)
#include "tst_markup.moc"
