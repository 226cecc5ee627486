#include "core/offer.h"
#include "core/offermodel.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include <functional>

// A change made to an offer or through its model, as a data row holds it.
using OfferChange = std::function<void(Offer &)>;
using ModelChange = std::function<void(OfferModel &)>;
Q_DECLARE_METATYPE(OfferChange)
Q_DECLARE_METATYPE(ModelChange)

class TestOffer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void rowsKnowTheirCategory();
    void totalIsExactSum_data();
    void totalIsExactSum();
    void pickedItemKeepsListPrice();
    void sameWork_data();
    void sameWork();
    void modelTellsWhatChanged_data();
    void modelTellsWhatChanged();
    void margins_data();
    void margins();
};

namespace
{

const QDateTime Opened(QDate(2026, 3, 4), QTime(10, 20));

// An offer as it stands when a change is made: a client, one item picked from the list.
Offer started()
{
    Offer offer = Offer::blank(QStringLiteral("Shop"), QStringLiteral("Sam"), Opened);
    offer.client = QStringLiteral("Ali");
    offer.pickItem(2, QStringLiteral("D4-16G"), QStringLiteral("DDR4 16GB"), QStringLiteral("1250"));
    return offer;
}

} // namespace

void TestOffer::rowsKnowTheirCategory()
{
    const Offer offer;
    QCOMPARE(offer.row(0).category, QString("0"));
    QCOMPARE(offer.row(16).category, QString("16"));
    QCOMPARE(offer.totalText(), QString("0.00"));
    const Offer blank = Offer::blank("Shop", "Sam", Opened);
    QCOMPARE(blank.shop, QString("Shop"));
    QCOMPARE(blank.seller, QString("Sam"));
    QCOMPARE(blank.date, Opened);
    QCOMPARE(blank.validUntil, QDate(2026, 3, 18));
    QCOMPARE(Offer::blank("Shop", "Sam", Opened, 30).validUntil, QDate(2026, 4, 3));
    QVERIFY(blank.client.isEmpty());
    for (int i = 0; i < Offer::RowCount; ++i) {
        QCOMPARE(blank.row(i).category, QString::number(i));
        QCOMPARE(blank.row(i).amountText(), QString("0.00"));
        QVERIFY(blank.row(i).itemId.isEmpty() && !blank.row(i).listPrice);
    }
}

void TestOffer::totalIsExactSum_data()
{
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QString>("total");
    QTest::addColumn<int>("refused"); // the first row whose amount cannot be added, or -1
    QTest::addColumn<QList<int>>("outOfRange"); // every row whose amount cannot be added
    QTest::newRow("cents add exactly") << QStringList({ "0.10", "0.20" }) << "0.30" << -1 << QList<int> {};
    QTest::newRow("leading number") << QStringList({ "12.5 pounds", "abc", "" }) << "12.50" << -1
                                    << QList<int> {};
    QTest::newRow("seventeen rows") << QStringList(17, "0.01") << "0.17" << -1 << QList<int> {};
    QTest::newRow("out of range, left out and named")
        << QStringList({ "5", "1e21", "-3", "1e400 pounds" }) << "2.00" << 1 << QList<int> { 1, 3 };
    QTest::newRow("out of range names its row")
        << QStringList({ "1", "1e400", "1e21" }) << "1.00" << 1 << QList<int> { 1, 2 };
    QTest::newRow("just in range") << QStringList({ "999999999999999999999.99", "0.01" })
                                   << "1000000000000000000000.00" << -1 << QList<int> {};
    QTest::newRow("21 digits still add") << QStringList({ "999999999999999999999", "1" })
                                         << "1000000000000000000000.00" << -1 << QList<int> {};
}

void TestOffer::totalIsExactSum()
{
    QFETCH(QStringList, amounts);
    QFETCH(QString, total);
    QFETCH(int, refused);
    QFETCH(QList<int>, outOfRange);
    Offer offer;
    OfferModel model;
    for (int i = 0; i < amounts.size(); ++i) {
        offer.row(i).setAmountText(amounts.at(i));
        model.setAmountText(i, amounts.at(i));
    }
    int refusedByOffer = -2;
    QCOMPARE(offer.totalText(&refusedByOffer), total);
    QCOMPARE(refusedByOffer, refused);
    // The model adds the same, and says which row stops a total.
    int refusedByModel = -2;
    QCOMPARE(model.totalText(&refusedByModel), total);
    QCOMPARE(refusedByModel, refused);
    for (int i = 0; i < Offer::RowCount; ++i)
        QCOMPARE(model.amountRefused(i), outOfRange.contains(i));
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

void TestOffer::sameWork_data()
{
    QTest::addColumn<OfferChange>("change");
    QTest::addColumn<bool>("same");
    // What the window fills in by itself does not make an offer worth keeping.
    QTest::newRow("shop") << OfferChange([](Offer &o) { o.shop = "Other Shop"; }) << true;
    QTest::newRow("seller") << OfferChange([](Offer &o) { o.seller = "Mona"; }) << true;
    QTest::newRow("date") << OfferChange([](Offer &o) { o.date = o.date.addDays(1); }) << true;
    QTest::newRow("client") << OfferChange([](Offer &o) { o.client = "Omar"; }) << false;
    // What the client is told the offer holds until is part of what was given.
    QTest::newRow("valid until") << OfferChange([](Offer &o) { o.validUntil = o.validUntil.addDays(7); })
                                 << false;
    QTest::newRow("amount") << OfferChange([](Offer &o) { o.row(5).setAmountText("10"); }) << false;
    QTest::newRow("item") << OfferChange([](Offer &o) { o.row(2).itemId = "D4-8G"; }) << false;
    QTest::newRow("description") << OfferChange([](Offer &o) { o.row(2).description = "x"; }) << false;
    QTest::newRow("list price only") << OfferChange([](Offer &o) {
        o.row(2).listPrice = Price::fromStored("1300");
    }) << false;
    QTest::newRow("cost only") << OfferChange([](Offer &o) { o.row(2).cost = Price::fromStored("1000"); })
                               << false;
}

void TestOffer::sameWork()
{
    QFETCH(OfferChange, change);
    QFETCH(bool, same);
    const Offer before = started();
    Offer after = before;
    change(after);
    QCOMPARE(after.sameWork(before), same);
    QCOMPARE(before.sameWork(after), same);
}

void TestOffer::modelTellsWhatChanged_data()
{
    QTest::addColumn<ModelChange>("change");
    QTest::addColumn<OfferChange>("expected"); // the same change made to the offer by hand
    QTest::addColumn<QList<int>>("rows"); // rowChanged, in order
    QTest::addColumn<int>("headers");
    QTest::addColumn<int>("totals");
    const auto none = OfferChange([](Offer &) {});
    QTest::newRow("client") << ModelChange([](OfferModel &m) { m.setClient("Omar"); })
                            << OfferChange([](Offer &o) { o.client = "Omar"; }) << QList<int> {} << 1 << 0;
    QTest::newRow("client as it was")
        << ModelChange([](OfferModel &m) { m.setClient("Ali"); }) << none << QList<int> {} << 0 << 0;
    QTest::newRow("shop") << ModelChange([](OfferModel &m) { m.setShop("New Shop"); })
                          << OfferChange([](Offer &o) { o.shop = "New Shop"; }) << QList<int> {} << 1 << 0;
    QTest::newRow("seller") << ModelChange([](OfferModel &m) { m.setSeller("Mona"); })
                            << OfferChange([](Offer &o) { o.seller = "Mona"; }) << QList<int> {} << 1 << 0;
    QTest::newRow("date") << ModelChange([](OfferModel &m) { m.setDate(Opened.addDays(2)); })
                          << OfferChange([](Offer &o) { o.date = Opened.addDays(2); }) << QList<int> {} << 1
                          << 0;
    QTest::newRow("valid until") << ModelChange([](OfferModel &m) { m.setValidUntil(QDate(2026, 4, 1)); })
                                 << OfferChange([](Offer &o) { o.validUntil = QDate(2026, 4, 1); })
                                 << QList<int> {} << 1 << 0;
    QTest::newRow("valid until no date")
        << ModelChange([](OfferModel &m) { m.setValidUntil(QDate()); }) << none << QList<int> {} << 0 << 0;
    // A revision saved before offers had a valid-until day holds for the default days from its date.
    QTest::newRow("an offer without a valid-until day") << ModelChange([](OfferModel &m) {
        Offer open = started();
        open.validUntil = QDate();
        m.setOffer(open);
    }) << none << QList<int> {} << 0 << 0;
    QTest::newRow("amount typed") << ModelChange([](OfferModel &m) { m.setAmountText(5, "12.5"); })
                                  << OfferChange([](Offer &o) { o.row(5).setAmountText("12.5"); })
                                  << QList<int> { 5 } << 0 << 1;
    QTest::newRow("amount as it was")
        << ModelChange([](OfferModel &m) { m.setAmountText(2, "1250"); }) << none << QList<int> {} << 0 << 0;
    // The item a new id names is known only once it is looked up: no list price meanwhile.
    QTest::newRow("id stepped to") << ModelChange([](OfferModel &m) { m.setItemId(2, "D4-8G"); })
                                   << OfferChange([](Offer &o) {
                                          o.row(2).itemId = "D4-8G";
                                          o.row(2).listPrice.reset();
                                      })
                                   << QList<int> { 2 } << 0 << 0;
    QTest::newRow("id as it was") << ModelChange([](OfferModel &m) { m.setItemId(2, "D4-16G"); }) << none
                                  << QList<int> {} << 0 << 0;
    QTest::newRow("item looked up") << ModelChange([](OfferModel &m) {
        m.setItemId(2, "D4-8G");
        m.takeListItem(2, QString("DDR4 8GB"), Price::fromStored("850.5"));
    }) << OfferChange([](Offer &o) { o.pickItem(2, "D4-8G", "DDR4 8GB", "850.5"); })
                                    << QList<int> { 2, 2 } << 0 << 1;
    QTest::newRow("looked up without a price") << ModelChange([](OfferModel &m) {
        m.takeListItem(2, QString("No price"), std::nullopt);
    }) << OfferChange([](Offer &o) {
        o.row(2).description = "No price";
        o.row(2).listPrice.reset();
    }) << QList<int> { 2 } << 0 << 0;
    QTest::newRow("looked up without a description") << ModelChange([](OfferModel &m) {
        m.takeListItem(2, std::nullopt, Price::fromStored("99"));
    }) << OfferChange([](Offer &o) {
        o.row(2).setAmountText("99");
        o.row(2).listPrice = Price::fromStored("99");
    }) << QList<int> { 2 } << 0 << 1;
    // A cost read with the item changes the row's margin, not the total.
    QTest::newRow("looked up with its cost") << ModelChange([](OfferModel &m) {
        m.takeListItem(2, QString("DDR4 16GB"), Price::fromStored("1250"), Price::fromStored("1000"));
    }) << OfferChange([](Offer &o) { o.row(2).cost = Price::fromStored("1000"); })
                                             << QList<int> { 2 } << 0 << 0;
    QTest::newRow("looked up as it was") << ModelChange([](OfferModel &m) {
        m.takeListItem(2, QString("DDR4 16GB"), Price::fromStored("1250"));
    }) << none << QList<int> {} << 0 << 0;
    QTest::newRow("amount too large")
        << ModelChange([](OfferModel &m) { m.setAmountText(4, "1e400"); })
        << OfferChange([](Offer &o) { o.row(4).setAmountText("1e400"); }) << QList<int> { 4 } << 0 << 1;
    QTest::newRow("a new offer") << ModelChange([](OfferModel &m) {
        m.setOffer(Offer::blank("Shop", "Sam", Opened.addDays(1)));
    }) << OfferChange([](Offer &o) { o = Offer::blank("Shop", "Sam", Opened.addDays(1)); })
                                 << QList<int> { 2 } << 1 << 1;
    QTest::newRow("the offer as it is")
        << ModelChange([](OfferModel &m) { m.setOffer(started()); }) << none << QList<int> {} << 0 << 0;
    QTest::newRow("re-priced, amount kept") << ModelChange([](OfferModel &m) {
        Offer repriced = m.offer();
        repriced.row(2).listPrice = Price::fromStored("1300");
        m.setOffer(repriced);
    }) << OfferChange([](Offer &o) { o.row(2).listPrice = Price::fromStored("1300"); })
                                            << QList<int> { 2 } << 0 << 0;
    // An offer without a date is dated as it is shown: now.
    QTest::newRow("an offer without a date") << ModelChange([](OfferModel &m) {
        Offer undated = started();
        undated.date = QDateTime();
        m.setOffer(undated);
    }) << OfferChange([](Offer &o) { o.date = QDateTime(); })
                                             << QList<int> {} << 1 << 0;
}

void TestOffer::modelTellsWhatChanged()
{
    QFETCH(ModelChange, change);
    QFETCH(OfferChange, expected);
    QFETCH(QList<int>, rows);
    QFETCH(int, headers);
    QFETCH(int, totals);
    OfferModel model;
    model.setOffer(started());
    QSignalSpy rowSpy(&model, &OfferModel::rowChanged);
    QSignalSpy headerSpy(&model, &OfferModel::headerChanged);
    QSignalSpy totalSpy(&model, &OfferModel::totalChanged);
    const QDateTime before = QDateTime::currentDateTime();
    change(model);
    QList<int> told;
    for (const QList<QVariant> &signal : rowSpy)
        told << signal.at(0).toInt();
    QCOMPARE(told, rows);
    QCOMPARE(headerSpy.count(), headers);
    QCOMPARE(totalSpy.count(), totals);
    Offer offer = started();
    expected(offer);
    if (!offer.date.isValid()) {
        QVERIFY(model.offer().date >= before && model.offer().date <= QDateTime::currentDateTime());
        offer.date = model.offer().date;
    }
    QCOMPARE(model.offer(), offer);
}

void TestOffer::margins_data()
{
    QTest::addColumn<OfferChange>("change"); // to the started offer: row 2 at 1250, cost unknown
    QTest::addColumn<QString>("row2");
    QTest::addColumn<QString>("row5");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QStringList>("reasons");

    const auto cost = [](int index, const char *price, const char *cost) {
        return OfferChange([=](Offer &o) {
            o.pickItem(index, QStringLiteral("ID%1").arg(index), QStringLiteral("Item"),
                QString::fromLatin1(price), Price::fromStored(QString::fromLatin1(cost)));
        });
    };
    QTest::newRow("no cost known") << OfferChange([](Offer &) {}) << "—"
                                   << ""
                                   << "Margin —; leaves out 1 row without a cost" << QStringList {};
    QTest::newRow("one row with a cost") << cost(2, "1250", "1000") << "20.0% (250.00)"
                                         << ""
                                         << "Margin 20.0% (250.00)" << QStringList {};
    QTest::newRow("zero is a cost") << cost(2, "1250", "0") << "100.0% (1,250.00)"
                                    << ""
                                    << "Margin 100.0% (1,250.00)" << QStringList {};
    QTest::newRow("a typed amount below cost") << OfferChange([=](Offer &o) {
        cost(2, "1250", "1000")(o);
        cost(5, "5837.89", "4757.89")(o);
        o.row(2).setAmountText("850");
    }) << "-17.6% (-150.00)"
                                               << "18.5% (1,080.00)"
                                               << "Margin 13.9% (930.00)"
                                               << QStringList { "Row 2 is 150.00 below cost." };
    QTest::newRow("a row without a cost is left out")
        << OfferChange([=](Offer &o) {
               cost(5, "5837.89", "4757.89")(o);
               o.row(7).setAmountText("100");
           })
        << "—"
        << "18.5% (1,080.00)"
        << "Margin 18.5% (1,080.00); leaves out 2 rows without a cost" << QStringList {};
    QTest::newRow("free, below cost") << OfferChange([=](Offer &o) {
        cost(2, "1250", "1000")(o);
        o.row(2).setAmountText("0");
    }) << "-1,000.00"
                                      << ""
                                      << "Margin -1,000.00"
                                      << QStringList { "Row 2 is 1,000.00 below cost." };
    QTest::newRow("an empty amount box tells nothing") << OfferChange([=](Offer &o) {
        cost(2, "1250", "1000")(o);
        o.row(5).setAmountText("");
    }) << "20.0% (250.00)"
                                                       << ""
                                                       << "Margin 20.0% (250.00)" << QStringList {};
    QTest::newRow("an amount no total can hold") << OfferChange([=](Offer &o) {
        cost(2, "1250", "1000")(o);
        o.row(2).setAmountText("1e400");
    }) << "—"
                                                 << ""
                                                 << "Margin —; leaves out 1 row without a cost"
                                                 << QStringList {};
}

void TestOffer::margins()
{
    QFETCH(OfferChange, change);
    Offer offer = started();
    change(offer);
    OfferModel model;
    model.setOffer(offer);
    QTEST(model.marginText(2), "row2");
    QTEST(model.marginText(5), "row5");
    QTEST(model.marginTotalText(), "total");
    QTEST(model.belowCostReasons([](int index) { return QString::number(index); }), "reasons");
    QCOMPARE(model.belowCost(2), !model.belowCostReasons([](int) { return QString(); }).isEmpty());
    QCOMPARE(model.marginText(9), QString()); // an empty row
}

QTEST_GUILESS_MAIN(TestOffer)
#include "tst_offer.moc"
