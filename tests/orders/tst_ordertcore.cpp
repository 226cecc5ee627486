// The order window's arithmetic and texts, without a window: line totals, the installment price,
// typed keys and the money fields' currency form.
#include "orders/orderdb.h"

#include <QTest>

class TestOrderCore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void lineTotal_data()
    {
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("discount");
        QTest::addColumn<QString>("total"); // empty: refused

        QTest::newRow("half-up-to-even") << "99.5"
                                         << "1"
                                         << "0"
                                         << "100";
        QTest::newRow("half-down-to-even") << "98.5"
                                           << "1"
                                           << "0"
                                           << "98";
        QTest::newRow("ten-percent") << "1250"
                                     << "3"
                                     << "10"
                                     << "3375";
        QTest::newRow("no-discount") << "1250"
                                     << "3"
                                     << "0"
                                     << "3750";
        QTest::newRow("full-discount") << "1250"
                                       << "3"
                                       << "100"
                                       << "0";
        QTest::newRow("discount-rounds-half-even") << "25"
                                                   << "1"
                                                   << "10"
                                                   << "22"; // 22.5
        QTest::newRow("leading-number-cells") << "12.5 pounds"
                                              << "2 pcs"
                                              << ""
                                              << "25";
        QTest::newRow("no-number-is-zero") << "abc"
                                           << "3"
                                           << "0"
                                           << "0";
        QTest::newRow("fraction-quantity") << "10"
                                           << "2.25"
                                           << "0"
                                           << "22"; // 22.5
        QTest::newRow("largest-32-bit") << "2147483647"
                                        << "1"
                                        << "0"
                                        << "2147483647";
        QTest::newRow("beyond-32-bit") << "2147483648"
                                       << "1"
                                       << "0"
                                       << "";
        QTest::newRow("negative-discount-overflows") << "2000000000"
                                                     << "1"
                                                     << "-10"
                                                     << "";
    }

    void lineTotal()
    {
        QFETCH(QString, price);
        QFETCH(QString, quantity);
        QFETCH(QString, discount);
        QFETCH(QString, total);
        const std::optional<Decimal> result = OrderDb::lineTotal(price, quantity, discount);
        QCOMPARE(result.has_value(), !total.isEmpty());
        if (result)
            QCOMPARE(result->plainText(), total);
    }

    void keyValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "12" << true << 12;
        QTest::newRow("blanks") << " 7 " << true << 7;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("quote") << "1' OR '1'='1" << false << 0;
        QTest::newRow("fraction") << "1.5" << false << 0;
        QTest::newRow("letters") << "12a" << false << 0;
        QTest::newRow("too-large") << "99999999999" << false << 0;
    }

    void keyValue()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        const std::optional<qint32> key = OrderDb::keyValue(text);
        QCOMPARE(key.has_value(), ok);
        if (key)
            QCOMPARE(*key, value);
    }

    void installmentPrice_data()
    {
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("deposit");
        QTest::addColumn<QString>("price"); // empty: refused
        QTest::newRow("total-less-deposit") << "12500"
                                            << "2500"
                                            << "10000";
        QTest::newRow("cents") << "1234.56"
                               << "0.56"
                               << "1234";
        QTest::newRow("blank-deposit") << "800"
                                       << "  "
                                       << "800";
        QTest::newRow("grouped-deposit") << "12500"
                                         << "1,500"
                                         << "11000";
        QTest::newRow("deposit-not-number") << "800"
                                            << "abc"
                                            << "";
    }

    void installmentPrice()
    {
        QFETCH(QString, total);
        QFETCH(QString, deposit);
        QFETCH(QString, price);
        const std::optional<Decimal> result = OrderDb::installmentPrice(*Decimal::fromPlain(total), deposit);
        QCOMPARE(result.has_value(), !price.isEmpty());
        if (result)
            QCOMPARE(result->plainText(), price);
    }

    void currency_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        const QString sign = QString::fromUtf8("ج.م.\u200F ");
        QTest::newRow("grouped") << "1250" << sign + "1,250.00";
        QTest::newRow("millions") << "12500.5" << sign + "12,500.50";
        QTest::newRow("small") << "0.07" << sign + "0.07";
        QTest::newRow("negative") << "-1234567.891" << sign + "-1,234,567.89";
    }

    void currency()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(OrderDb::currencyText(stored).value_or(QString()), shown);
        // What is shown reads back as the same amount, to the cent.
        const std::optional<Decimal> back = OrderDb::currencyValue(shown);
        QVERIFY(back);
        const QString digits = shown.mid(shown.indexOf(QLatin1Char(' ')) + 1).remove(QLatin1Char(','));
        QVERIFY2(*back == *Decimal::fromPlain(digits), qPrintable(back->exactText()));
    }

    void currencyRefusesText()
    {
        QVERIFY(!OrderDb::currencyText(QStringLiteral("abc")));
        QVERIFY(!OrderDb::currencyValue(QStringLiteral("ج.م. abc")));
        QCOMPARE(OrderDb::currencyValue(QStringLiteral("  300 "))->exactText(), QStringLiteral("300"));
        // As far as the order database's Currency columns reach, and no farther.
        QCOMPARE(OrderDb::currencyValue(QStringLiteral("-922337203685477.5807"))->exactText(),
            QStringLiteral("-922337203685477.5807"));
        QVERIFY(!OrderDb::currencyValue(QStringLiteral("922337203685477.5808")));
        QVERIFY(!OrderDb::currencyValue(QStringLiteral("1e20")));
    }
};

QTEST_GUILESS_MAIN(TestOrderCore)
#include "tst_ordertcore.moc"
