#include "core/reprice.h"

#include <QTest>

#include <map>

// Re-pricing: which rows of a kept offer the price list has moved away from, and what taking the
// current prices does to each kind of row.
class TestReprice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void changesAndApply_data();
    void changesAndApply();
    void costChanges_data();
    void costChanges();
};

namespace
{

using Prices = std::map<QString, QString>; // id -> current price; an id not here is gone

} // namespace

void TestReprice::changesAndApply_data()
{
    QTest::addColumn<QString>("savedPrice");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("current"); // "gone": no longer listed
    QTest::addColumn<bool>("retyped");
    QTest::addColumn<bool>("reported");
    QTest::addColumn<bool>("typedOver");
    QTest::addColumn<QString>("amountAfter");
    QTest::addColumn<QString>("listPriceAfter");

    QTest::newRow("unchanged") << "300"
                               << "300.00"
                               << "300.00" << false << false << false << "300.00"
                               << "300";
    QTest::newRow("price rose") << "300"
                                << "300"
                                << "320" << false << true << false << "320"
                                << "320";
    QTest::newRow("price rose, amount normalised") << "300"
                                                   << "300.00"
                                                   << "320.50" << false << true << false << "320.50"
                                                   << "320.50";
    QTest::newRow("typed over stays") << "300"
                                      << "280.00"
                                      << "320" << false << true << true << "280.00"
                                      << "320";
    QTest::newRow("typed over retyped") << "300"
                                        << "280.00"
                                        << "320" << true << true << true << "320"
                                        << "320";
    // The amount box cuts a list price to two decimals when the person only tabs through it.
    QTest::newRow("three decimals, only formatted") << "12.345"
                                                    << "12.34"
                                                    << "13.456" << false << true << false << "13.456"
                                                    << "13.456";
    QTest::newRow("three decimals, unchanged") << "12.345"
                                               << "12.34"
                                               << "12.345" << false << false << false << "12.34"
                                               << "12.345";
    QTest::newRow("three decimals, typed over") << "12.345"
                                                << "12.35"
                                                << "13.456" << false << true << true << "12.35"
                                                << "13.456";
    // A price with words beside its number is the same only as itself: the words may name another
    // currency, and a list of words is no number at all.
    QTest::newRow("another currency") << "1250 EGP"
                                      << "1250 EGP"
                                      << "1250 USD" << false << true << false << "1250 USD"
                                      << "1250 USD";
    QTest::newRow("words only, changed") << "call"
                                         << "call"
                                         << "ask" << false << true << false << "ask"
                                         << "ask";
    QTest::newRow("words only, unchanged") << "call"
                                           << "0.00"
                                           << "call" << false << false << false << "0.00"
                                           << "call";
    QTest::newRow("same number written otherwise") << "1250"
                                                   << "1250.00"
                                                   << "1.25e3" << false << false << false << "1250.00"
                                                   << "1250";
    QTest::newRow("gone") << "300"
                          << "300.00"
                          << "gone" << false << true << false << "300.00"
                          << "300";
}

void TestReprice::changesAndApply()
{
    QFETCH(QString, savedPrice);
    QFETCH(QString, amount);
    QFETCH(QString, current);
    QFETCH(bool, retyped);
    QFETCH(bool, reported);
    QFETCH(bool, typedOver);
    QFETCH(QString, amountAfter);
    QFETCH(QString, listPriceAfter);

    Offer offer;
    offer.pickItem(3, QStringLiteral("ID3"), QStringLiteral("Floppy"), savedPrice);
    offer.row(3).setAmountText(amount);
    offer.row(4).setAmountText(QStringLiteral("99.00")); // typed without an item: never compared
    Prices prices;
    if (current != QLatin1String("gone"))
        prices[QStringLiteral("ID3")] = current;
    int asked = 0;
    const auto found = Reprice::changes(offer, [&](const OfferRow &row) {
        ++asked;
        const auto it = prices.find(row.itemId);
        return it == prices.end() ? Reprice::CurrentPrice {}
                                  : Reprice::CurrentPrice { true, Price::fromStored(it->second) };
    });
    QCOMPARE(asked, 1);
    QCOMPARE(found.size(), reported ? 1 : 0);
    if (reported) {
        QCOMPARE(found[0].row, 3);
        QCOMPARE(found[0].typedOver, typedOver);
        QCOMPARE(found[0].savedPrice.text(), savedPrice);
    }
    Reprice::apply(offer, found, retyped);
    QCOMPARE(offer.row(3).amountText(), amountAfter);
    QCOMPARE(offer.row(3).listPrice->text(), listPriceAfter);
    QCOMPARE(offer.row(4).amountText(), QStringLiteral("99.00"));
}

void TestReprice::costChanges_data()
{
    // The row was saved at 300 with its amount "300.00".
    QTest::addColumn<QString>("savedCost"); // "-": not known when saved
    QTest::addColumn<QString>("price"); // the list's price now
    QTest::addColumn<QString>("cost"); // the list's cost now; "-" not known, "?" cannot be read
    QTest::addColumn<QString>("described"); // empty: not reported
    QTest::addColumn<QString>("amountAfter");
    QTest::addColumn<QString>("costAfter");

    QTest::newRow("cost unchanged") << "250"
                                    << "300"
                                    << "250.0"
                                    << ""
                                    << "300.00"
                                    << "250";
    QTest::newRow("cost rose alone: the amount stays as written") << "250"
                                                                  << "300"
                                                                  << "270"
                                                                  << "cost 250 → 270"
                                                                  << "300.00"
                                                                  << "270";
    QTest::newRow("cost known since") << "-"
                                      << "300"
                                      << "270"
                                      << "cost not known → 270"
                                      << "300.00"
                                      << "270";
    QTest::newRow("cost no longer known") << "250"
                                          << "300"
                                          << "-"
                                          << "cost 250 → not known"
                                          << "300.00"
                                          << "-";
    QTest::newRow("cost cannot be read") << "250"
                                         << "300"
                                         << "?"
                                         << ""
                                         << "300.00"
                                         << "250";
    QTest::newRow("both") << "250"
                          << "320"
                          << "270"
                          << "300 → 320; cost 250 → 270"
                          << "320"
                          << "270";
    QTest::newRow("price alone") << "250"
                                 << "320"
                                 << "250"
                                 << "300 → 320"
                                 << "320"
                                 << "250";
}

void TestReprice::costChanges()
{
    QFETCH(QString, savedCost);
    QFETCH(QString, price);
    QFETCH(QString, cost);
    QFETCH(QString, described);
    const auto costOf = [](const QString &text) {
        return text == QLatin1String("-") || text == QLatin1String("?")
            ? std::nullopt
            : std::optional<Price>(Price::fromStored(text));
    };
    Offer offer;
    offer.pickItem(
        3, QStringLiteral("ID3"), QStringLiteral("Floppy"), QStringLiteral("300"), costOf(savedCost));
    offer.row(3).setAmountText(QStringLiteral("300.00"));
    const auto found = Reprice::changes(offer, [&](const OfferRow &) {
        return Reprice::CurrentPrice { true, Price::fromStored(price), costOf(cost),
            cost != QLatin1String("?") };
    });
    QCOMPARE(found.isEmpty() ? QString() : Reprice::describe(found.first()), described);
    Reprice::apply(offer, found, false);
    QTEST(offer.row(3).amountText(), "amountAfter");
    QTEST(offer.row(3).cost ? offer.row(3).cost->text() : QStringLiteral("-"), "costAfter");
}

QTEST_GUILESS_MAIN(TestReprice)
#include "tst_reprice.moc"
