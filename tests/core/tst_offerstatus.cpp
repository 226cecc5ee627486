// Where a saved revision stands, from the facts alone, on the day it is asked.
#include "core/offerstatus.h"

#include <QTest>

using OfferStatus::Facts;
using OfferStatus::Filter;
using OfferStatus::Status;

Q_DECLARE_METATYPE(OfferStatus::Status)
Q_DECLARE_METATYPE(OfferStatus::Filter)

class TestOfferStatus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statusFromFacts_data();
    void statusFromFacts();
    void filter_data();
    void filter();
    void validUntil_data();
    void validUntil();
};

namespace
{
const QDate Today(2026, 12, 9);
} // namespace

void TestOfferStatus::statusFromFacts_data()
{
    QTest::addColumn<QDate>("validUntil");
    QTest::addColumn<bool>("given");
    QTest::addColumn<int>("order"); // 0: none
    QTest::addColumn<bool>("laterTaken");
    QTest::addColumn<Status>("status");
    const QDate later = Today.addDays(3);
    const QDate past = Today.addDays(-1);
    QTest::newRow("saved") << later << false << 0 << false << Status::Draft;
    QTest::newRow("printed") << later << true << 0 << false << Status::Given;
    QTest::newRow("last day still holds") << Today << true << 0 << false << Status::Given;
    QTest::newRow("day after last day") << past << true << 0 << false << Status::Expired;
    QTest::newRow("draft past its day") << past << false << 0 << false << Status::Expired;
    QTest::newRow("ordered") << later << true << 1043 << false << Status::Ordered;
    QTest::newRow("ordered never expires") << past << true << 1043 << false << Status::Ordered;
    QTest::newRow("ordered outranks later") << later << true << 1043 << true << Status::Ordered;
    QTest::newRow("later revision given") << later << true << 0 << true << Status::Superseded;
    QTest::newRow("superseded and past") << past << true << 0 << true << Status::Superseded;
    QTest::newRow("no day known") << QDate() << false << 0 << false << Status::Draft;
}

void TestOfferStatus::statusFromFacts()
{
    QFETCH(QDate, validUntil);
    QFETCH(bool, given);
    QFETCH(int, order);
    QFETCH(bool, laterTaken);
    QFETCH(Status, status);
    Facts facts;
    facts.validUntil = validUntil;
    facts.given = given;
    if (order > 0)
        facts.order = order;
    facts.laterTaken = laterTaken;
    QCOMPARE(OfferStatus::of(facts, Today), status);
}

void TestOfferStatus::filter_data()
{
    QTest::addColumn<Filter>("filter");
    QTest::addColumn<QString>("shown"); // the statuses the filter lets through, by initial
    QTest::newRow("all") << Filter::All << "DGOES";
    QTest::newRow("open") << Filter::Open << "DG";
    QTest::newRow("ordered") << Filter::Ordered << "O";
    QTest::newRow("expired") << Filter::Expired << "E";
}

void TestOfferStatus::filter()
{
    QFETCH(Filter, filter);
    QFETCH(QString, shown);
    QString passed;
    for (Status s : { Status::Draft, Status::Given, Status::Ordered, Status::Expired, Status::Superseded }) {
        if (OfferStatus::matches(filter, s))
            passed += OfferStatus::text(s).at(0);
    }
    QCOMPARE(passed, shown);
}

void TestOfferStatus::validUntil_data()
{
    QTest::addColumn<QDate>("offerDate");
    QTest::addColumn<int>("days");
    QTest::addColumn<QDate>("validUntil");
    QTest::newRow("shop's days") << Today << 30 << QDate(2027, 1, 8);
    QTest::newRow("default") << Today << 14 << QDate(2026, 12, 23);
    QTest::newRow("none") << Today << 0 << QDate(2026, 12, 23);
    QTest::newRow("negative") << Today << -5 << QDate(2026, 12, 23);
    QTest::newRow("absurd") << Today << 100000 << QDate(2026, 12, 23);
}

void TestOfferStatus::validUntil()
{
    QFETCH(QDate, offerDate);
    QFETCH(int, days);
    QFETCH(QDate, validUntil);
    QCOMPARE(OfferStatus::validUntilFrom(offerDate, days), validUntil);
    // A revision saved without a day of its own holds for the default days from its date.
    QCOMPARE(OfferStatus::validUntilOr(QDate(), offerDate), offerDate.addDays(14));
    QCOMPARE(OfferStatus::validUntilOr(validUntil, offerDate), validUntil);
}

QTEST_GUILESS_MAIN(TestOfferStatus)
#include "tst_offerstatus.moc"
