#include "core/csvtext.h"

#include <QTest>

// Fields written for spreadsheets: what is quoted, and how.
class TestCsvText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void field_data();
    void field();
    void line();
};

void TestCsvText::field_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("written");
    QTest::newRow("plain") << "Ryzen 5"
                           << ","
                           << "Ryzen 5";
    QTest::newRow("empty") << ""
                           << ","
                           << "";
    QTest::newRow("comma") << "1,5"
                           << ","
                           << "\"1,5\"";
    QTest::newRow("comma in a tab file") << "1,5"
                                         << "\t"
                                         << "1,5";
    QTest::newRow("tab in a tab file") << "a\tb"
                                       << "\t"
                                       << "\"a\tb\"";
    QTest::newRow("quotes doubled") << "15\" \"best\""
                                    << ","
                                    << "\"15\"\" \"\"best\"\"\"";
    QTest::newRow("line break") << "two\nlines"
                                << ","
                                << "\"two\nlines\"";
    QTest::newRow("carriage return") << "a\rb"
                                     << ","
                                     << "\"a\rb\"";
    QTest::newRow("blank at the end kept") << "Shop "
                                           << ","
                                           << "\"Shop \"";
    QTest::newRow("Arabic") << QString::fromUtf16(u"\u0634\u0627\u0634\u0629") << ","
                            << QString::fromUtf16(u"\u0634\u0627\u0634\u0629");
}

void TestCsvText::field()
{
    QFETCH(QString, text);
    QFETCH(QString, delimiter);
    QFETCH(QString, written);
    QCOMPARE(CsvText::field(text, delimiter.at(0)), written);
}

void TestCsvText::line()
{
    QCOMPARE(CsvText::line({ "0", "O'NEIL", "a, b", "" }), QStringLiteral("0,O'NEIL,\"a, b\",\r\n"));
}

QTEST_APPLESS_MAIN(TestCsvText)
#include "tst_csvtext.moc"
