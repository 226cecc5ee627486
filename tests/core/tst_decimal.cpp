#include "core/decimal.h"

#include <QRandomGenerator>
#include <QTest>

class TestDecimal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void plainText_data();
    void plainText();
    void halfEven_data();
    void halfEven();
    void exactSums();
    void refusesBadInput();
    void refusesAbsurdExponents_data();
    void refusesAbsurdExponents();
};

void TestDecimal::plainText_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("plain");
    QTest::newRow("whole") << "2500"
                           << "2500";
    QTest::newRow("fraction") << "308.640"
                              << "308.64";
    QTest::newRow("negative") << "-36"
                              << "-36";
    QTest::newRow("zero with decimals") << "0.00"
                                        << "0";
    QTest::newRow("small") << "0.05"
                           << "0.05";
    QTest::newRow("15 digits kept") << "123456789012.345"
                                    << "123456789012.345";
    QTest::newRow("16 digits rounded") << "1234567890123.455"
                                       << "1234567890123.46";
    QTest::newRow("rounding carries") << "999999999999999.9"
                                      << "1E+15";
    QTest::newRow("large") << "1e20"
                           << "1E+20";
    QTest::newRow("tiny") << "0.0000001"
                          << "1E-07";
}

void TestDecimal::plainText()
{
    QFETCH(QString, input);
    QFETCH(QString, plain);
    QCOMPARE(Decimal::fromPlain(input)->plainText(QLocale::c()), plain);
}

void TestDecimal::halfEven_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("q");
    QTest::newRow("6.5") << "26"
                         << "4"
                         << "6";
    QTest::newRow("7.5") << "30"
                         << "4"
                         << "8";
    QTest::newRow("-2.5") << "-5"
                          << "2"
                          << "-2";
    QTest::newRow("below half") << "10000"
                                << "12"
                                << "833";
    QTest::newRow("above half") << "99.6"
                                << "1"
                                << "100";
    QTest::newRow("negative divisor") << "7"
                                      << "-2"
                                      << "-4";
}

void TestDecimal::halfEven()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, q);
    const auto r = Decimal::divideRoundedHalfEven(*Decimal::fromPlain(a), *Decimal::fromPlain(b));
    QVERIFY(r);
    QCOMPARE(r->exactText(), q);
}

void TestDecimal::exactSums()
{
    // Sums of cents never leave residue, in any order.
    QRandomGenerator rng(42);
    for (int round = 0; round < 200; ++round) {
        Decimal sum;
        long long cents = 0;
        for (int i = 0; i < 17; ++i) {
            const int c = int(rng.bounded(10000000));
            cents += c;
            sum = sum
                + *Decimal::fromPlain(
                    QString::number(c / 100) + u'.' + QString::number(c % 100).rightJustified(2, u'0'));
        }
        QCOMPARE(
            sum.exactText(), Decimal::fromPlain(QString::number(cents) + QLatin1String("e-2"))->exactText());
    }
    QVERIFY((*Decimal::fromPlain(u"0.1") + *Decimal::fromPlain(u"0.2")) == *Decimal::fromPlain(u"0.3"));
}

void TestDecimal::refusesBadInput()
{
    for (const char *bad :
        { "", "-", ".", "1e", "1e+", "1..2", "1 2", "1e4001", "100e3999", "0.001e-3998", "x1" })
        QVERIFY2(!Decimal::fromPlain(QString::fromLatin1(bad)), bad);
    // At the bound, a value's own plain text reads back.
    for (const char *edge : { "1e4000", "0.01e4002", "9.99e3999", "1e-4000" }) {
        const auto d = Decimal::fromPlain(QString::fromLatin1(edge));
        QVERIFY2(d, edge);
        QVERIFY2(Decimal::fromPlain(d->plainText(QLocale::c())), edge);
    }
    QVERIFY(!Decimal::divideRoundedHalfEven(Decimal::fromInt(1), Decimal()));
}

void TestDecimal::refusesAbsurdExponents_data()
{
    // Exponents that wrap a 32-bit accumulator (a long on Windows) into a harmless-looking one and
    // then ask for a power of ten of hundreds of megabytes.
    QTest::addColumn<QString>("text");
    QTest::newRow("3e9 below") << "1e-3000000000";
    QTest::newRow("3e9 above") << "1e3000000000";
    QTest::newRow("wraps to 4001") << "1e4294971297";
    QTest::newRow("wraps to -4000") << "1e-4294963296";
    QTest::newRow("past 64 bits") << "1e-99999999999999999999999999999";
    QTest::newRow("a million digits") << QStringLiteral("1e") + QString(1000000, u'9');
}

void TestDecimal::refusesAbsurdExponents()
{
    QFETCH(QString, text);
    QVERIFY(!Decimal::fromPlain(text));
}

QTEST_GUILESS_MAIN(TestDecimal)
#include "tst_decimal.moc"
