#include "core/supplierimport.h"

#include <QTest>

// What a supplier's lines mean: prices as suppliers write them, columns, ids listed twice.
class TestSupplierImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void price_data();
    void price();
    void guesses();
    void collect();
    void columnsRemembered();
};

using SupplierImport::DecimalSign;
Q_DECLARE_METATYPE(SupplierImport::DecimalSign)

void TestSupplierImport::price_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<DecimalSign>("sign");
    QTest::addColumn<QString>("stored"); // empty: refused
    QTest::addColumn<QString>("reason"); // part of the reason given
    QTest::newRow("1.234,56 with a decimal comma") << "1.234,56" << DecimalSign::Comma << "1234.56"
                                                   << "";
    QTest::newRow("1,234.56 with a decimal point") << "1,234.56" << DecimalSign::Point << "1234.56"
                                                   << "";
    QTest::newRow("12,5 with a decimal comma") << "12,5" << DecimalSign::Comma << "12.5"
                                               << "";
    QTest::newRow("12,5 with a decimal point") << "12,5" << DecimalSign::Point << ""
                                               << "where the decimal sign is '.'";
    QTest::newRow("1.234,56 with a decimal point") << "1.234,56" << DecimalSign::Point << ""
                                                   << "is not a number";
    QTest::newRow("-3") << "-3" << DecimalSign::Point << ""
                        << "cannot be negative";
    QTest::newRow("abc") << "abc" << DecimalSign::Point << ""
                         << "is not a number";
    QTest::newRow("1e9999") << "1e9999" << DecimalSign::Point << ""
                            << "1e9999";
    QTest::newRow("empty") << " " << DecimalSign::Point << ""
                           << "no price";
    QTest::newRow("blanks and a thin space as groups")
        << "1 234\u202f567,5" << DecimalSign::Comma << "1234567.5"
        << "";
    QTest::newRow("plain") << " 5400.50 " << DecimalSign::Point << "5400.5"
                           << "";
    QTest::newRow("exponent") << "1.5e3" << DecimalSign::Point << "1500"
                              << "";
}

void TestSupplierImport::price()
{
    QFETCH(QString, text);
    QFETCH(DecimalSign, sign);
    QFETCH(QString, stored);
    QFETCH(QString, reason);
    QString why;
    const auto read = SupplierImport::price(text, sign, &why);
    QCOMPARE(read.value_or(QString()), stored);
    if (!stored.isEmpty())
        return;
    QVERIFY2(why.contains(reason), qPrintable(why));
}

void TestSupplierImport::guesses()
{
    const SupplierImport::Columns c
        = SupplierImport::guessColumns({ "Code", "Name", "Stock", "Price (EGP)", "Category" });
    QCOMPARE(c.id, 0);
    QCOMPARE(c.description, 1);
    QCOMPARE(c.price, 3);
    QCOMPARE(c.category, 4);
    QCOMPARE(SupplierImport::guessDecimal({ "12,50", "1.234,5", "7" }), DecimalSign::Comma);
    QCOMPARE(SupplierImport::guessDecimal({ "12.50", "1,234.5" }), DecimalSign::Point);
    QCOMPARE(SupplierImport::guessDecimal({ "1,234", "7" }), DecimalSign::Point);
}

void TestSupplierImport::collect()
{
    SupplierImport::Columns columns;
    columns.category = 0;
    columns.id = 1;
    columns.description = 2;
    columns.price = 3;
    SupplierImport::Collector collector(columns);
    collector.record({ 1, { "category", "id", "description", "price" } });
    collector.record({ 2, { "0", "R5", "Ryzen", "5400" } });
    collector.record({ 3, { "0", "I5", "Core", "abc" } });
    collector.record({ 4, { "0", "", "No id", "1" } });
    collector.record({ 5, { "0", "R5", "Ryzen, boxed", "5500" } });
    collector.record({ 6, { "2", "R5", "Same id, other category", "1" } });
    collector.problem({ 7, "unreadable" });
    const SupplierImport::Reading reading = collector.take();
    QCOMPARE(reading.records, 5);
    QCOMPARE(reading.items.size(), size_t(2));
    QCOMPARE(reading.items[0].price, QStringLiteral("5500"));
    QCOMPARE(reading.items[0].description.value_or(QString()), QStringLiteral("Ryzen, boxed"));
    QCOMPARE(reading.items[0].line, 5);
    QCOMPARE(reading.items[1].category, QStringLiteral("2"));
    QCOMPARE(reading.notes.size(), 1);
    QVERIFY2(reading.notes[0].contains("line 2"), qPrintable(reading.notes[0]));
    QCOMPARE(reading.problems.size(), 3);
    QCOMPARE(reading.problems[0].line, 3);
    QCOMPARE(reading.problems[1].line, 4);
    QCOMPARE(reading.problems[1].reason, QStringLiteral("no id"));
    QCOMPARE(reading.problems[2].line, 7);
}

void TestSupplierImport::columnsRemembered()
{
    SupplierImport::Columns c;
    c.id = 2;
    c.price = 5;
    c.fixedCategory = "3";
    c.header = false;
    c.decimal = DecimalSign::Comma;
    const auto back = SupplierImport::Columns::fromText(c.toText());
    QVERIFY(back);
    QCOMPARE(back->toText(), c.toText());
    QVERIFY(!SupplierImport::Columns::fromText("nonsense"));
}

QTEST_APPLESS_MAIN(TestSupplierImport)
#include "tst_supplierimport.moc"
