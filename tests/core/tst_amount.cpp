#include "core/amount.h"

#include <QTest>

class TestAmount : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formatPointLocale_data();
    void formatPointLocale();
    void formatCommaLocale_data();
    void formatCommaLocale();
    void leadingNumber_data();
    void leadingNumber();
};

void TestAmount::formatPointLocale_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("amountOrEmpty");
    QTest::newRow("empty") << ""
                           << "0.00"
                           << "0.00";
    QTest::newRow("whole") << "7"
                           << "7.00"
                           << "7.00";
    QTest::newRow("one decimal") << "12.5"
                                 << "12.50"
                                 << "12.50";
    QTest::newRow("two decimals") << "12.25"
                                  << "12.25"
                                  << "12.25";
    QTest::newRow("cut, not rounded") << "12.349"
                                      << "12.34"
                                      << "12.34";
    QTest::newRow("nines cut") << "12.999"
                               << "12.99"
                               << "12.99";
    QTest::newRow("trailing point") << "5."
                                    << "5.00"
                                    << "5.00";
    QTest::newRow("leading point") << ".5"
                                   << ".50"
                                   << ".50";
    QTest::newRow("negative") << "-3.5"
                              << "-3.50"
                              << "-3.50";
    QTest::newRow("letters") << "abc"
                             << "0.00"
                             << "";
    QTest::newRow("two points") << "1.2.3"
                                << "0.00"
                                << "";
    QTest::newRow("grouped") << "1,250"
                             << "1,250.00"
                             << "1,250.00";
    QTest::newRow("grouped twice") << "1,250,000.5"
                                   << "1,250,000.50"
                                   << "1,250,000.50";
    QTest::newRow("badly grouped") << "1,25"
                                   << "0.00"
                                   << "";
    QTest::newRow("blanks kept") << " 12"
                                 << " 12.00"
                                 << " 12.00";
    QTest::newRow("blanks only") << "   "
                                 << "0.00"
                                 << "";
    QTest::newRow("exponent") << "1e3"
                              << "1e3.00"
                              << "1e3.00";
    QTest::newRow("exponent with point is cut as text") << "1.5E2"
                                                        << "1.5E"
                                                        << "1.5E";
    QTest::newRow("lone sign") << "-"
                               << "0.00"
                               << "";
    QTest::newRow("plus sign") << "+4"
                               << "+4.00"
                               << "+4.00";
    QTest::newRow("huge exponent") << "1e999999"
                                   << "0.00"
                                   << "";
}

void TestAmount::formatPointLocale()
{
    QFETCH(QString, input);
    QFETCH(QString, amount);
    QFETCH(QString, amountOrEmpty);
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    QCOMPARE(FormatAmount(input, en), amount);
    QCOMPARE(FormatAmountOrEmpty(input, en), amountOrEmpty);
}

void TestAmount::formatCommaLocale_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("amount");
    QTest::newRow("comma decimal has no point") << "12,5"
                                                << "12,5.00";
    QTest::newRow("point groups") << "1.250"
                                  << "1.25";
    QTest::newRow("point groups and comma") << "1.250,75"
                                            << "1.25";
    QTest::newRow("point locale text is not numeric here") << "1.2.3"
                                                           << "0.00";
    QTest::newRow("plain integer") << "42"
                                   << "42.00";
    QTest::newRow("letters") << "abc"
                             << "0.00";
}

void TestAmount::formatCommaLocale()
{
    QFETCH(QString, input);
    QFETCH(QString, amount);
    const QLocale de(QLocale::German, QLocale::Germany);
    QCOMPARE(FormatAmount(input, de), amount);
}

void TestAmount::leadingNumber_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "en_US"
                           << "1250"
                           << "1250";
    QTest::newRow("words after") << "en_US"
                                 << "12.5 pounds"
                                 << "12.5";
    QTest::newRow("grouped like the amount shows") << "en_US"
                                                   << "1,200"
                                                   << "1200";
    QTest::newRow("grouped with decimals") << "en_US"
                                           << "1,200.50"
                                           << "1200.5";
    QTest::newRow("badly grouped stops") << "en_US"
                                         << "1,20"
                                         << "1";
    QTest::newRow("letters") << "en_US"
                             << "abc"
                             << "0";
    QTest::newRow("empty") << "en_US"
                           << ""
                           << "0";
    QTest::newRow("blanks ignored") << "en_US"
                                    << " - 1 2.5"
                                    << "-12.5";
    QTest::newRow("exponent") << "en_US"
                              << "2e3x"
                              << "2000";
    QTest::newRow("dangling exponent") << "en_US"
                                       << "2ex"
                                       << "2";
    QTest::newRow("point whatever the locale") << "de_DE"
                                               << "12.5"
                                               << "12.5";
    QTest::newRow("comma locale stops at comma") << "de_DE"
                                                 << "12,5"
                                                 << "12";
    QTest::newRow("masked") << "en_US"
                            << "****"
                            << "0";
}

void TestAmount::leadingNumber()
{
    QFETCH(QString, locale);
    QFETCH(QString, input);
    QFETCH(QString, value);
    QCOMPARE(Amounts::leadingNumber(input, QLocale(locale)).exactText(), value);
}

QTEST_GUILESS_MAIN(TestAmount)
#include "tst_amount.moc"
