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
    void readingAcrossLocales_data();
    void readingAcrossLocales();
    void amountRange_data();
    void amountRange();
    void formattedReadsBackEverywhere_data();
    void formattedReadsBackEverywhere();
};

namespace
{

const QStringList Locales = { "en_US", "de_DE", "fr_FR", "ar_EG", "C" };

QString statusName(Amounts::Status s)
{
    switch (s) {
    case Amounts::Status::Number:
        return QStringLiteral("number");
    case Amounts::Status::NotNumber:
        return QStringLiteral("not a number");
    case Amounts::Status::OutOfRange:
        return QStringLiteral("out of range");
    }
    return {};
}

} // namespace

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
    QTest::newRow("exponent read as its number") << "1e3"
                                                 << "1000.00"
                                                 << "1000.00";
    QTest::newRow("exponent with point read as its number") << "1.5E2"
                                                            << "150.00"
                                                            << "150.00";
    QTest::newRow("lone sign") << "-"
                               << "0.00"
                               << "";
    QTest::newRow("plus sign") << "+4"
                               << "+4.00"
                               << "+4.00";
    QTest::newRow("huge exponent left for the caller to refuse") << "1e999999"
                                                                 << "1e999999"
                                                                 << "1e999999";
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
    QTest::newRow("comma is the point where there is no point") << "12,5"
                                                                << "12.50";
    QTest::newRow("point groups") << "1.250"
                                  << "1.25";
    QTest::newRow("point is the point, so no comma after it") << "1.250,75"
                                                              << "0.00";
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
    QTest::newRow("comma locale's own decimal sign") << "de_DE"
                                                     << "12,5"
                                                     << "12.5";
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

void TestAmount::readingAcrossLocales_data()
{
    // The whole-text reading (value or "-"), the leading reading and FormatAmount, per locale.
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("whole");
    QTest::addColumn<QString>("leading");
    QTest::addColumn<QString>("amount");
    for (const QString &l : Locales) {
        const QByteArray at = " @" + l.toLatin1();
        // The program's own forms read back in every locale.
        QTest::newRow("store form" + at) << l << "1250.00"
                                         << "1250"
                                         << "1250"
                                         << "1250.00";
        QTest::newRow("a tenth" + at) << l << "0.1"
                                      << "0.1"
                                      << "0.1"
                                      << "0.10";
        QTest::newRow("negative" + at) << l << "-3.5"
                                       << "-3.5"
                                       << "-3.5"
                                       << "-3.50";
        QTest::newRow("exponent" + at) << l << "1.5e3"
                                       << "1500"
                                       << "1500"
                                       << "1500.00";
        QTest::newRow("small exponent" + at) << l << "1.234E-07"
                                             << "0.0000001234"
                                             << "0.0000001234"
                                             << "0.00";
        QTest::newRow("20 digits" + at) << l << "12345678901234567890"
                                        << "12345678901234567890"
                                        << "12345678901234567890"
                                        << "12345678901234567890.00";
    }
    // The locale's own decimal sign, where the text has no '.'.
    QTest::newRow("de comma") << "de_DE"
                              << "1,25"
                              << "1.25"
                              << "1.25"
                              << "1.25";
    QTest::newRow("fr comma") << "fr_FR"
                              << "12,5"
                              << "12.5"
                              << "12.5"
                              << "12.50";
    QTest::newRow("ar decimal sign") << "ar_EG" << u"12\u066B5"_qs << "12.5"
                                     << "12.5"
                                     << "12.50";
    QTest::newRow("ar digits") << "ar_EG" << u"\u0661\u066C\u0662\u0663\u0664\u066B\u0665"_qs << "1234.5"
                               << "1234.5"
                               << "1234.50";
    QTest::newRow("en comma groups") << "en_US"
                                     << "1,250"
                                     << "1250"
                                     << "1250"
                                     << "1,250.00";
    QTest::newRow("en comma is no point") << "en_US"
                                          << "1,25"
                                          << "-"
                                          << "1"
                                          << "0.00";
    QTest::newRow("C comma groups") << "C"
                                    << "1,250.5"
                                    << "1250.5"
                                    << "1250.5"
                                    << "1,250.50";
    // A group sign that could be the point is never a group sign.
    QTest::newRow("de point is the point") << "de_DE"
                                           << "1.250"
                                           << "1.25"
                                           << "1.25"
                                           << "1.25";
    QTest::newRow("de comma after point") << "de_DE"
                                          << "1.250,5"
                                          << "-"
                                          << "1.25"
                                          << "0.00";
    QTest::newRow("fr blank groups") << "fr_FR" << u"1\u202F250,5"_qs << "1250.5"
                                     << "1250.5"
                                     << "1250.50";
    QTest::newRow("fr plain blank groups") << "fr_FR"
                                           << "1 250.5"
                                           << "1250.5"
                                           << "1250.5"
                                           << "1 250.50";
    QTest::newRow("ar groups and point") << "ar_EG" << u"1\u066C250.5"_qs << "1250.5"
                                         << "1250.5" << u"1\u066C250.50"_qs;
    QTest::newRow("ar own minus") << "ar_EG" << u"\u061C-5"_qs << "-5"
                                  << "-5" << u"\u061C-5.00"_qs;
    QTest::newRow("trailing blank stays behind") << "en_US"
                                                 << "12 "
                                                 << "12"
                                                 << "12"
                                                 << "12.00 ";
}

void TestAmount::readingAcrossLocales()
{
    QFETCH(QString, locale);
    QFETCH(QString, input);
    QFETCH(QString, whole);
    QFETCH(QString, leading);
    QFETCH(QString, amount);
    const QLocale l(locale);
    const auto value = Amounts::localeNumber(input, l);
    QCOMPARE(value ? value->exactText() : QStringLiteral("-"), whole);
    QCOMPARE(Amounts::leadingNumber(input, l).exactText(), leading);
    QCOMPARE(FormatAmount(input, l), amount);
}

void TestAmount::amountRange_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("amount");
    QTest::newRow("largest amount") << "999999999999999999999.99"
                                    << "number"
                                    << "999999999999999999999.99";
    QTest::newRow("negative largest") << "-999999999999999999999"
                                      << "number"
                                      << "-999999999999999999999.00";
    QTest::newRow("1.5e20") << "1.5e20"
                            << "number"
                            << "150000000000000000000.00";
    QTest::newRow("10^21") << "1e21"
                           << "out of range"
                           << "1e21";
    QTest::newRow("22 digits") << "1000000000000000000000"
                               << "out of range"
                               << "1000000000000000000000";
    QTest::newRow("largest double") << "1.7976931348623157e308"
                                    << "out of range"
                                    << "1.7976931348623157e308";
    QTest::newRow("beyond what is held") << "1e5000"
                                         << "out of range"
                                         << "1e5000";
    QTest::newRow("far too small to hold") << "1e-5000"
                                           << "out of range"
                                           << "1e-5000";
    QTest::newRow("denormal kept") << "2.5e-310"
                                   << "number"
                                   << "0.00";
    QTest::newRow("not a number") << "e5"
                                  << "not a number"
                                  << "0.00";
}

void TestAmount::amountRange()
{
    QFETCH(QString, input);
    QFETCH(QString, status);
    QFETCH(QString, amount);
    for (const QString &l : Locales) {
        QCOMPARE(statusName(Amounts::readAmount(input, QLocale(l)).status), status);
        QCOMPARE(statusName(Amounts::readLeadingAmount(input, QLocale(l)).status), status);
        QCOMPARE(FormatAmount(input, QLocale(l)), amount);
    }
}

void TestAmount::formattedReadsBackEverywhere_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("input");
    QTest::newRow("de comma") << "de_DE"
                              << "12,345";
    QTest::newRow("ar digits") << "ar_EG" << u"\u0661\u0662\u066B\u0663\u0664\u0665"_qs;
    QTest::newRow("exponent") << "en_US"
                              << "1.2345e4";
    QTest::newRow("fr comma") << "fr_FR"
                              << "-0,5";
    QTest::newRow("store form") << "C"
                                << "123456789012345.678";
}

void TestAmount::formattedReadsBackEverywhere()
{
    // What the program writes for a number reads back as the same number in every locale.
    QFETCH(QString, locale);
    QFETCH(QString, input);
    const QString amount = FormatAmount(input, QLocale(locale));
    const Decimal cut
        = *Decimal::fromPlain(Amounts::padOrCut(Amounts::localeNumber(input, QLocale(locale))->exactText()));
    for (const QString &l : Locales) {
        QVERIFY2(Amounts::readAmount(amount, QLocale(l)).value == cut, qPrintable(amount + " @" + l));
        QCOMPARE(FormatAmount(amount, QLocale(l)), amount);
    }
}

QTEST_GUILESS_MAIN(TestAmount)
#include "tst_amount.moc"
