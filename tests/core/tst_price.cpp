#include "core/price.h"

#include <QTest>

// A price, row by row: read from each place a price comes from, compared, shown, and held to the
// one policy the editor and the import share.
class TestPrice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void fromStored_data();
    void fromStored();
    void fromTyped_data();
    void fromTyped();
    void fromSupplier_data();
    void fromSupplier();
    void editorAndImportAgree_data();
    void editorAndImportAgree();
    void same_data();
    void same();
    void changeShown_data();
    void changeShown();
};

using Sign = Price::DecimalSign;
Q_DECLARE_METATYPE(Price::DecimalSign)

namespace
{

QString problemName(Price::Problem problem)
{
    switch (problem) {
    case Price::Problem::Empty:
        return QStringLiteral("Empty");
    case Price::Problem::NotNumber:
        return QStringLiteral("NotNumber");
    case Price::Problem::OutOfRange:
        return QStringLiteral("OutOfRange");
    case Price::Problem::GroupSign:
        return QStringLiteral("GroupSign");
    }
    return QString();
}

// The text to store, or "!Problem quoted" for a refusal.
QString described(const PriceReading &r)
{
    if (r.ok())
        return r.price->text();
    return QStringLiteral("!%1 %2").arg(problemName(r.refusal.problem), r.refusal.written).trimmed();
}

} // namespace

void TestPrice::fromStored_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("field"); // the editor's price field
    QTest::addColumn<QString>("number"); // "-": none
    QTest::addColumn<bool>("whole");
    QTest::addColumn<QString>("amount"); // a row's amount box after leaving it
    QTest::newRow("plain") << "5400.50"
                           << "5400.5"
                           << "5400.5" << true << "5400.50";
    QTest::newRow("three decimals") << "12.345"
                                    << "12.345"
                                    << "12.345" << true << "12.34";
    QTest::newRow("negative") << "-3"
                              << "-3"
                              << "-3" << true << "-3.00";
    QTest::newRow("tiny exponent") << "1.234E-07"
                                   << "0.0000001234"
                                   << "0.0000001234" << true << "0.00";
    QTest::newRow("beyond the amount range, kept whole") << "1e25"
                                                         << "10000000000000000000000000"
                                                         << "10000000000000000000000000" << true << "1e25";
    QTest::newRow("blanks around") << " 12 "
                                   << "12"
                                   << "12" << true << " 12.00 ";
    QTest::newRow("a currency after") << "1250 EGP"
                                      << "1250"
                                      << "1250" << false << "0.00";
    QTest::newRow("groups of thousands") << "1,250"
                                         << "1250"
                                         << "1250" << false << "1,250.00";
    QTest::newRow("words only") << "call"
                                << "call"
                                << "-" << false << "0.00";
    QTest::newRow("empty") << ""
                           << ""
                           << "-" << false << "0.00";
    QTest::newRow("words after a number beyond the range") << "1e30 x"
                                                           << "1e30 x"
                                                           << "-" << false << "0.00";
}

void TestPrice::fromStored()
{
    QFETCH(QString, stored);
    QFETCH(QString, number);
    const Price price = Price::fromStored(stored);
    QCOMPARE(price.text(), stored);
    QTEST(price.fieldText(), "field");
    QCOMPARE(price.number() ? price.number()->exactText() : QStringLiteral("-"), number);
    QTEST(price.isNumber(), "whole");
    QTEST(price.amountText(), "amount");
}

void TestPrice::fromTyped_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("added"); // as Add keeps it, or the refusal
    QTest::addColumn<QString>("updated"); // as Update keeps it
    QTest::newRow("three decimals: Update cuts, never rounds") << "C"
                                                               << "12.349"
                                                               << "12.349"
                                                               << "12.34";
    QTest::newRow("negative, cut towards zero") << "C"
                                                << "-12.349"
                                                << "-12.349"
                                                << "-12.34";
    QTest::newRow("zero") << "C"
                          << "0"
                          << "0"
                          << "0";
    QTest::newRow("exponent") << "C"
                              << "1.5e-7"
                              << "0.00000015"
                              << "0";
    QTest::newRow("trailing zeros go") << "C"
                                       << "12.50"
                                       << "12.5"
                                       << "12.5";
    QTest::newRow("groups") << "en_US"
                            << "1,250.75"
                            << "1250.75"
                            << "1250.75";
    QTest::newRow("comma in de_DE") << "de_DE"
                                    << "12,345"
                                    << "12.345"
                                    << "12.34";
    QTest::newRow("point in de_DE") << "de_DE"
                                    << "0.1"
                                    << "0.1"
                                    << "0.1";
    QTest::newRow("arabic sign") << "ar_EG" << u"7\u066B25"_qs << "7.25"
                                 << "7.25";
    QTest::newRow("just below 10^21") << "C"
                                      << "999999999999999999999.999"
                                      << "999999999999999999999.999"
                                      << "999999999999999999999.99";
    QTest::newRow("10^21") << "C"
                           << "1e21"
                           << "!OutOfRange 1e21"
                           << "!OutOfRange 1e21";
    QTest::newRow("no number") << "C"
                               << " 12-3 "
                               << "!NotNumber 12-3"
                               << "!NotNumber 12-3";
    QTest::newRow("a sign alone") << "C"
                                  << "-"
                                  << "!NotNumber -"
                                  << "!NotNumber -";
    QTest::newRow("blanks") << "C"
                            << "   "
                            << "!Empty"
                            << "!Empty";
}

void TestPrice::fromTyped()
{
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    const QLocale l(locale);
    QTEST(described(Price::fromTyped(typed, l, Price::Decimals::AsEntered)), "added");
    QTEST(described(Price::fromTyped(typed, l, Price::Decimals::Cents)), "updated");
}

void TestPrice::fromSupplier_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Sign>("sign");
    QTest::addColumn<QString>("read"); // as the import keeps it, or the refusal
    QTest::newRow("1.234,56 with a decimal comma") << "1.234,56" << Sign::Comma << "1234.56";
    QTest::newRow("1,234.56 with a decimal point") << "1,234.56" << Sign::Point << "1234.56";
    QTest::newRow("12,5 with a decimal comma") << "12,5" << Sign::Comma << "12.5";
    QTest::newRow("12,5 with a decimal point") << "12,5" << Sign::Point << "!GroupSign 12,5";
    QTest::newRow("1.234,56 with a decimal point") << "1.234,56" << Sign::Point << "!NotNumber 1.234,56";
    // The editor stores negative prices (a trade-in or a discount kept in "Other"); a file that holds
    // them must read back the same.
    QTest::newRow("-3, as the editor allows") << "-3" << Sign::Point << "-3";
    QTest::newRow("a currency code before") << "EGP 1.234,50" << Sign::Comma << "1234.5";
    QTest::newRow("a currency sign after") << "145,00 \u00a3" << Sign::Comma << "145";
    QTest::newRow("a currency sign before, spaced") << "$ 9,90" << Sign::Comma << "9.9";
    QTest::newRow("a currency code after, no space") << "9.90USD" << Sign::Point << "9.9";
    QTest::newRow("a sign before the currency") << "-$5.00" << Sign::Point << "-5";
    QTest::newRow("Arabic pounds") << "\u062c.\u0645. 1.250" << Sign::Comma << "1250";
    QTest::newRow("a word that is no currency") << "12 pcs" << Sign::Point << "!NotNumber 12 pcs";
    QTest::newRow("a currency alone") << "EGP" << Sign::Point << "!NotNumber EGP";
    QTest::newRow("the refusal quotes the file, not the converted text")
        << "1.234,5x" << Sign::Comma << "!NotNumber 1.234,5x";
    QTest::newRow("abc") << "abc" << Sign::Point << "!NotNumber abc";
    QTest::newRow("1e9999") << "1e9999" << Sign::Point << "!OutOfRange 1e9999";
    QTest::newRow("empty") << " " << Sign::Point << "!Empty";
    QTest::newRow("blanks and a thin space as groups") << "1 234\u202f567,5" << Sign::Comma << "1234567.5";
    QTest::newRow("plain") << " 5400.50 " << Sign::Point << "5400.5";
    QTest::newRow("exponent") << "1.5e3" << Sign::Point << "1500";
}

void TestPrice::fromSupplier()
{
    QFETCH(QString, text);
    QFETCH(Sign, sign);
    QTEST(described(Price::fromSupplier(text, sign)), "read");
}

// A price the editor stores is one the import takes, and the other way round: one rule.
void TestPrice::editorAndImportAgree_data()
{
    QTest::addColumn<QString>("text");
    for (const char *text : { "-5", "-1500.50", "0", "12.345", "1.5e3", "999999999999999999999", "1e21",
             "abc", "-", "1e400", "", "  7  " })
        QTest::newRow(text) << QString::fromLatin1(text);
}

void TestPrice::editorAndImportAgree()
{
    QFETCH(QString, text);
    const PriceReading editor = Price::fromTyped(text, QLocale::c(), Price::Decimals::AsEntered);
    const PriceReading import = Price::fromSupplier(text, Sign::Point);
    QCOMPARE(described(import), described(editor));
}

void TestPrice::same_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("trailing zero") << "5400.50"
                                   << "5400.5" << true;
    QTest::newRow("cents written out") << "1250"
                                       << "1250.00" << true;
    QTest::newRow("exponent") << "1.5e3"
                              << "1500" << true;
    QTest::newRow("blanks around") << " 12"
                                   << "12" << true;
    QTest::newRow("negative zero") << "-0"
                                   << "0" << true;
    QTest::newRow("another number") << "1250"
                                    << "1250.01" << false;
    // The number a text begins with does not make it that price: the words may be another currency.
    QTest::newRow("a currency beside the number") << "1250 EGP"
                                                  << "1250" << false;
    QTest::newRow("another currency") << "1250 EGP"
                                      << "1250 USD" << false;
    QTest::newRow("the same words") << "1250 EGP"
                                    << "1250 EGP" << true;
    QTest::newRow("words only") << "call"
                                << "ask" << false;
    QTest::newRow("empty and zero") << ""
                                    << "0" << false;
    QTest::newRow("both empty") << ""
                                << "" << true;
}

void TestPrice::same()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QCOMPARE(Price::same(a, b), same);
    QCOMPARE(Price::same(b, a), same);
    QCOMPARE(Price::fromStored(a).isSameAs(Price::fromStored(b)), same);
}

void TestPrice::changeShown_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<QString>("tenfold");
    QTest::newRow("a rise") << "5400"
                            << "5500"
                            << "+1.9%"
                            << "";
    QTest::newRow("exactly five percent") << "6900"
                                          << "7245"
                                          << "+5.0%"
                                          << "";
    QTest::newRow("a fall") << "100"
                            << "97"
                            << "-3.0%"
                            << "";
    QTest::newRow("no change") << "12.50"
                               << "12.5"
                               << "0.0%"
                               << "";
    // Computed exactly: halves go away from zero, whatever binary fractions would have made of them.
    QTest::newRow("a half up") << "100"
                               << "100.35"
                               << "+0.4%"
                               << "";
    QTest::newRow("another half up") << "100"
                                     << "100.25"
                                     << "+0.3%"
                                     << "";
    QTest::newRow("a half down") << "100"
                                 << "99.95"
                                 << "-0.1%"
                                 << "";
    QTest::newRow("less than a twentieth of a percent") << "100"
                                                        << "99.96"
                                                        << "0.0%"
                                                        << "";
    QTest::newRow("from a negative price") << "-100"
                                           << "-50"
                                           << "-50.0%"
                                           << "";
    QTest::newRow("beyond what a double holds") << "99999999999999999999"
                                                << "100000000000000000000"
                                                << "0.0%"
                                                << "";
    QTest::newRow("ten times") << "5400"
                               << "54000"
                               << "+900.0%"
                               << "\u00d710";
    QTest::newRow("ten times, in cents") << "1.12"
                                         << "11.2"
                                         << "+900.0%"
                                         << "\u00d710";
    QTest::newRow("a thousandth") << "1299"
                                  << "1.299"
                                  << "-99.9%"
                                  << "\u00f71000";
    QTest::newRow("twelve and a half times") << "8"
                                             << "100"
                                             << "+1150.0%"
                                             << "\u00d712.5";
    QTest::newRow("nine times") << "100"
                                << "900"
                                << "+800.0%"
                                << "";
    QTest::newRow("a negative price ten times") << "-5"
                                                << "-50"
                                                << "+900.0%"
                                                << "\u00d710";
    QTest::newRow("from nothing") << "0"
                                  << "100"
                                  << ""
                                  << "";
    QTest::newRow("no number") << "abc"
                               << "100"
                               << ""
                               << "";
    QTest::newRow("a currency beside the number") << "1250 EGP"
                                                  << "12500"
                                                  << ""
                                                  << "";
}

void TestPrice::changeShown()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    const Price from = Price::fromStored(before);
    const Price to = Price::fromStored(after);
    QTEST(Price::percentChange(from, to), "percent");
    QTEST(Price::tenfold(from, to), "tenfold");
    QCOMPARE(Price::changeText(from, to), QString(before + QStringLiteral(" \u2192 ") + after));
}

QTEST_GUILESS_MAIN(TestPrice)
#include "tst_price.moc"
