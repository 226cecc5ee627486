#include "core/plan.h"

#include "core/amount.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Installments;

class TestPlan : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void amounts_data();
    void amounts();
    void refusals_data();
    void refusals();
    void zeroRemainder();
    void scheduleOfTenThousand();
    void dueDates_data();
    void dueDates();
    void dateSeparators_data();
    void dateSeparators();
    void refusedPlanBuildsNoSchedule();
    void unreadableFieldTextSubtractsNothing();
    void commaLocaleStillEndsOnZero();
    void randomPlansAddUpToRemainder();
    void dueDatesMatchCalendarMonths();
    void amountTextsMatchFormatting();
    void modelShowsRowsAndAlignment();
};

void TestPlan::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestPlan::amounts_data()
{
    QTest::addColumn<QString>("remainder");
    QTest::addColumn<QString>("count");
    QTest::addColumn<bool>("orderRules");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("first");

    QTest::newRow("10000 in 12: A brought down, F larger") << "10000"
                                                           << "12" << false << "833.00"
                                                           << "837.00";
    QTest::newRow("26 in 4: half goes to even 6") << "26"
                                                  << "4" << false << "6.00"
                                                  << "8.00";
    QTest::newRow("30 in 4: half goes to even 8") << "30"
                                                  << "4" << false << "8.00"
                                                  << "6.00";
    QTest::newRow("one installment: F is R") << "10000.10"
                                             << "1" << false << "10000.00"
                                             << "10000.10";
    QTest::newRow("cents go to F") << "10000.10"
                                   << "12" << false << "833.00"
                                   << "837.10";
    QTest::newRow("even split") << "7500"
                                << "12" << false << "625.00"
                                << "625.00";
    QTest::newRow("grouped remainder") << "10,000.00"
                                       << "12" << false << "833.00"
                                       << "837.00";
    QTest::newRow("count with blanks and .0") << "10000"
                                              << " 12.0 " << false << "833.00"
                                              << "837.00";
    QTest::newRow("negative half to even") << "-10"
                                           << "4" << false << "-2.00"
                                           << "-4.00";
    QTest::newRow("largest 32-bit amount") << "2147483647"
                                           << "1" << false << "2147483647.00"
                                           << "2147483647.00";
    QTest::newRow("largest count") << "32767"
                                   << "32767" << false << "1.00"
                                   << "1.00";
    QTest::newRow("order: zero remainder computes") << "0"
                                                    << "12" << true << "0.00"
                                                    << "0.00";
    QTest::newRow("order: above 16 bits computes") << "65536"
                                                   << "1" << true << "65536.00"
                                                   << "65536.00";
    QTest::newRow("order: 40000 a month") << "480000"
                                          << "12" << true << "40000.00"
                                          << "40000.00";
    QTest::newRow("order: largest 32-bit amount") << "4294967294"
                                                  << "2" << true << "2147483647.00"
                                                  << "2147483647.00";
}

void TestPlan::amounts()
{
    QFETCH(QString, remainder);
    QFETCH(QString, count);
    QFETCH(bool, orderRules);
    QFETCH(QString, amount);
    QFETCH(QString, first);
    const PlanAmounts p = calcInst(remainder, count, orderRules ? Rules::order() : Rules::calculator());
    QCOMPARE(p.outcome, Outcome::Done);
    QCOMPARE(p.amountText, amount);
    QCOMPARE(p.firstText, first);
    // N - 1 installments of A and one of F make R.
    QCOMPARE(p.first + p.amount * Decimal::fromInt(p.count - 1), p.remainder);
}

void TestPlan::refusals_data()
{
    QTest::addColumn<QString>("remainder");
    QTest::addColumn<QString>("count");
    QTest::addColumn<bool>("orderRules");
    QTest::addColumn<int>("reason");
    QTest::addColumn<int>("field");

    const int count = int(Field::Count);
    const int rem = int(Field::Remainder);
    QTest::newRow("empty count") << "100"
                                 << "" << false << int(Reason::CountEmpty) << count;
    QTest::newRow("blank count") << "100"
                                 << "   " << false << int(Reason::CountEmpty) << count;
    QTest::newRow("empty count before zero remainder") << "0"
                                                       << "" << false << int(Reason::CountEmpty) << count;
    QTest::newRow("count not a number") << "100"
                                        << "twelve" << false << int(Reason::CountNotNumber) << count;
    QTest::newRow("count zero") << "100"
                                << "0" << false << int(Reason::CountNotPositive) << count;
    QTest::newRow("count negative") << "100"
                                    << "-3" << false << int(Reason::CountNotPositive) << count;
    QTest::newRow("count fractional") << "100"
                                      << "2.5" << false << int(Reason::CountNotWhole) << count;
    QTest::newRow("count above 16 bits") << "100"
                                         << "32768" << false << int(Reason::CountTooLarge) << count;
    QTest::newRow("count huge exponent") << "100"
                                         << "1e300" << false << int(Reason::CountTooLarge) << count;
    QTest::newRow("remainder not a number") << "12abc"
                                            << "12" << false << int(Reason::RemainderNotNumber) << rem;
    QTest::newRow("amount beyond 32 bits") << "2147483648"
                                           << "1" << false << int(Reason::AmountTooLarge) << rem;
    QTest::newRow("amount beyond 32 bits negative") << "-2147483649"
                                                    << "1" << false << int(Reason::AmountTooLarge) << rem;
    QTest::newRow("order: amount beyond 32 bits") << "2147483648"
                                                  << "1" << true << int(Reason::AmountTooLarge) << rem;
    QTest::newRow("order: rounding reaches 2^31") << "4294967295"
                                                  << "2" << true << int(Reason::AmountTooLarge) << rem;
}

void TestPlan::refusals()
{
    QFETCH(QString, remainder);
    QFETCH(QString, count);
    QFETCH(bool, orderRules);
    QFETCH(int, reason);
    QFETCH(int, field);
    const PlanAmounts p = calcInst(remainder, count, orderRules ? Rules::order() : Rules::calculator());
    QCOMPARE(p.outcome, Outcome::Refused);
    QCOMPARE(int(p.reason), reason);
    QCOMPARE(int(p.field), field);
    QVERIFY(!p.message.isEmpty());
    QVERIFY(p.amountText.isEmpty() && p.firstText.isEmpty());
}

void TestPlan::zeroRemainder()
{
    for (const QString &r :
        { QStringLiteral("0"), QStringLiteral("0.00"), QString(), QStringLiteral("-0") }) {
        QCOMPARE(calcInst(r, u"12").outcome, Outcome::Unchanged);
        QCOMPARE(calcAllInst(r, u"12", QDate(2027, 1, 31), QString(), QString()).outcome, Outcome::Unchanged);
    }
}

void TestPlan::scheduleOfTenThousand()
{
    const PlanAmounts p = calcInst(u"10000", u"12");
    const SchedulePlan plan = calcAllInst(u"10000", u"12", QDate(2027, 1, 31), p.amountText, p.firstText);
    QCOMPARE(plan.outcome, Outcome::Done);
    const QList<ScheduleRow> rows = plan.schedule.rows();
    QCOMPARE(rows.size(), 12);
    auto check = [&](int k, const char *date, const char *amount, const char *balance) {
        const ScheduleRow &r = rows.at(k - 1);
        QCOMPARE(r.number, QString::number(k));
        QCOMPARE(r.date, QLatin1String(date));
        QCOMPARE(r.amount, QLatin1String(amount));
        QCOMPARE(r.balance, QLatin1String(balance));
    };
    check(1, "31/01/2027", "837.00", "9163.00");
    check(2, "28/02/2027", "833.00", "8330.00");
    check(3, "31/03/2027", "833.00", "7497.00");
    check(4, "30/04/2027", "833.00", "6664.00");
    check(12, "31/12/2027", "833.00", "0.00");
}

void TestPlan::dueDates_data()
{
    QTest::addColumn<QDate>("first");
    QTest::addColumn<int>("k");
    QTest::addColumn<QDate>("due");

    QTest::newRow("row 1 is D") << QDate(2027, 1, 31) << 1 << QDate(2027, 1, 31);
    QTest::newRow("31 Jan to end of Feb") << QDate(2027, 1, 31) << 2 << QDate(2027, 2, 28);
    QTest::newRow("day comes back in March") << QDate(2027, 1, 31) << 3 << QDate(2027, 3, 31);
    QTest::newRow("30 April") << QDate(2027, 1, 31) << 4 << QDate(2027, 4, 30);
    QTest::newRow("31 May") << QDate(2027, 1, 31) << 5 << QDate(2027, 5, 31);
    QTest::newRow("leap February") << QDate(2028, 1, 30) << 2 << QDate(2028, 2, 29);
    QTest::newRow("29 Feb a year on") << QDate(2028, 2, 29) << 13 << QDate(2029, 2, 28);
    QTest::newRow("year turns") << QDate(2027, 11, 15) << 3 << QDate(2028, 1, 15);
    QTest::newRow("last of 32767") << QDate(2027, 1, 31) << 32767 << QDate(4757, 7, 31);
}

void TestPlan::dueDates()
{
    QFETCH(QDate, first);
    QFETCH(int, k);
    QFETCH(QDate, due);
    QCOMPARE(dueDate(first, k), due);
}

void TestPlan::dateSeparators_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");

    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "/"
                           << "05/03/2027";
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "."
                           << "05.03.2027";
    QTest::newRow("nl_NL") << QLocale(QLocale::Dutch, QLocale::Netherlands) << "-"
                           << "05-03-2027";
    QTest::newRow("C, blanks only") << QLocale::c() << "/"
                                    << "05/03/2027";
}

void TestPlan::dateSeparators()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QCOMPARE(dateSeparator(locale), separator);
    QCOMPARE(dateText(QDate(2027, 3, 5), DateStyle::DayMonthYear, locale), text);
}

void TestPlan::refusedPlanBuildsNoSchedule()
{
    // Stale field texts from an earlier plan must not be scheduled against a refused one.
    const SchedulePlan plan
        = calcAllInst(u"99999999999", u"1", QDate(2027, 1, 31), u"833.00"_qs, u"837.00"_qs);
    QCOMPARE(plan.outcome, Outcome::Refused);
    QCOMPARE(plan.reason, Reason::AmountTooLarge);
    QVERIFY(plan.schedule.isEmpty());
    QCOMPARE(calcAllInst(u"100", u"0", QDate(2027, 1, 31), u"1.00"_qs, u"1.00"_qs).reason,
        Reason::CountNotPositive);
}

void TestPlan::unreadableFieldTextSubtractsNothing()
{
    // The order window builds its schedule from whatever its fields hold; an unreadable text is a
    // skipped step.
    Schedule::Inputs in;
    in.startBalance = *Decimal::fromPlain(u"100");
    in.count = 3;
    in.firstDate = QDate(2027, 1, 31);
    in.firstText = u"40.00"_qs;
    in.amountText = QString();
    in.firstValue = *Decimal::fromPlain(u"40");
    in.dateStyle = DateStyle::ShortLocale;
    const Schedule s(in);
    QCOMPARE(s.row(1).balance, u"60.00"_qs);
    QCOMPARE(s.row(3).balance, u"60.00"_qs);
    QCOMPARE(s.row(3).amount, QString());
    QCOMPARE(s.row(2).date, QLocale().toString(QDate(2027, 2, 28), QLocale::ShortFormat));
}

void TestPlan::commaLocaleStillEndsOnZero()
{
    const QLocale de(QLocale::German, QLocale::Germany);
    const PlanAmounts p = calcInst(u"10000,1", u"12", Rules::calculator(), de);
    QCOMPARE(p.outcome, Outcome::Done);
    QCOMPARE(p.amountText, u"833.00"_qs);
    const SchedulePlan plan = calcAllInst(
        u"10000,1", u"12", QDate(2027, 1, 31), p.amountText, p.firstText, Rules::calculator(), de);
    // The amount texts carry a point, which reads as the point in German too.
    QCOMPARE(p.firstText, u"837.10"_qs);
    QCOMPARE(plan.schedule.row(2).balance, u"8330.00"_qs);
    QCOMPARE(plan.schedule.row(12).balance, u"0.00"_qs);
}

void TestPlan::randomPlansAddUpToRemainder()
{
    QRandomGenerator rng(20270131);
    const QDate d(2027, 1, 31);
    for (int i = 0; i < 3000; ++i) {
        // R with up to two decimals, mostly money-sized, sometimes tiny, large or negative.
        const int shape = rng.bounded(10);
        qint64 cents = shape == 0 ? rng.bounded(100)
            : shape == 1          ? rng.bounded(Q_INT64_C(1), Q_INT64_C(100000000000))
                                  : rng.bounded(Q_INT64_C(1), Q_INT64_C(10000000));
        if (shape == 2)
            cents = -cents;
        const int n = rng.bounded(10) == 0 ? rng.bounded(1, maxCount + 1) : rng.bounded(1, 61);
        const QString r = Decimal::fromPlain(QString::number(cents) + u"e-2"_qs)->plainText();
        const PlanAmounts p = calcInst(r, QString::number(n));
        if (cents == 0) {
            QCOMPARE(p.outcome, Outcome::Unchanged);
            continue;
        }
        QVERIFY2(p.outcome == Outcome::Done, qPrintable(r + u" / "_qs + QString::number(n)));
        const SchedulePlan plan = calcAllInst(r, QString::number(n), d, p.amountText, p.firstText);
        QCOMPARE(plan.schedule.count(), n);
        // The amounts as shown add up to R, and the last balance is exactly zero.
        Decimal sum;
        const int rowsToRead = std::min(n, 50);
        for (int k = 1; k <= rowsToRead; ++k)
            sum = sum + *textValue(plan.schedule.cell(k, 2));
        sum = sum + *textValue(p.amountText) * Decimal::fromInt(n - rowsToRead);
        QVERIFY2(sum == *textValue(r), qPrintable(r + u" / "_qs + QString::number(n)));
        QVERIFY(plan.schedule.balanceAfter(n).isZero());
        if (n <= 60) {
            // Row by row and in closed form, the balances agree.
            const QList<Decimal> balances = plan.schedule.balances();
            QCOMPARE(balances.size(), n);
            for (int k = 1; k <= n; ++k)
                QVERIFY(balances.at(k - 1) == plan.schedule.balanceAfter(k));
        }
        QCOMPARE(plan.schedule.row(n).balance, u"0.00"_qs);
    }
}

void TestPlan::dueDatesMatchCalendarMonths()
{
    QRandomGenerator rng(7);
    for (int i = 0; i < 2000; ++i) {
        const QDate d = QDate(1900, 1, 1).addDays(rng.bounded(80000));
        const int k = rng.bounded(1, 800);
        QCOMPARE(dueDate(d, k), d.addMonths(k - 1));
    }
}

void TestPlan::amountTextsMatchFormatting()
{
    // The schedule writes amounts without reading its own plain texts back; the result must be
    // what the shared amount formatting gives, in both kinds of locale.
    QRandomGenerator rng(11);
    const QLocale de(QLocale::German, QLocale::Germany);
    QStringList samples = { "0", "5", "0.001", "-3.5", "1e20", "1.5e20", "-2e-7", "123456789012.345678" };
    for (int i = 0; i < 500; ++i)
        samples << QString::number(qint64(rng.generate64() % 2000000000000) - 1000000000000) + "e-"
                + QString::number(rng.bounded(6));
    for (const QString &sample : samples) {
        const Decimal d = *Decimal::fromPlain(sample);
        for (const QLocale &locale : { QLocale(), de }) {
            QCOMPARE(amountText(d, locale), FormatAmount(d.plainText(locale), locale));
            QCOMPARE(amountTextOrEmpty(d, locale), FormatAmountOrEmpty(d.plainText(locale), locale));
        }
    }
}

void TestPlan::modelShowsRowsAndAlignment()
{
    ScheduleModel model;
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 4);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), u"Installment Date"_qs);
    const PlanAmounts p = calcInst(u"7500", u"12");
    model.setSchedule(calcAllInst(u"7500", u"12", QDate(2027, 1, 31), p.amountText, p.firstText).schedule);
    QCOMPARE(model.rowCount(), 12);
    QCOMPARE(model.index(0, 3).data().toString(), u"6875.00"_qs);
    QCOMPARE(model.index(11, 0).data().toString(), u"12"_qs);
    QCOMPARE(model.index(11, 3).data().toString(), u"0.00"_qs);
    for (int c = 0; c < 4; ++c) {
        const auto align = model.index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
        QCOMPARE(bool(align & Qt::AlignRight), c >= 2);
    }
    model.clear();
    QCOMPARE(model.rowCount(), 0);
}

QTEST_GUILESS_MAIN(TestPlan)
#include "tst_plan.moc"
