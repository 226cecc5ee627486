#include "store/adtstatements.h"
#include "store/store.h"
#include "support/testdb.h"

#include <QTest>

#include <cmath>
#include <limits>

class TestAdtStatements : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void texts_data();
    void texts();
    void quotedValuesRoundTrip_data();
    void quotedValuesRoundTrip();
    void general_data();
    void general();
    void cutToCents_data();
    void cutToCents();
    void read_data();
    void read();
};

void TestAdtStatements::texts_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("expected");

    QTest::newRow("list")
        << AdtStatements::list("15")
        << "select id as [ID],description as [Description],price as [Price] from adt  where Category  = '15'";
    QTest::newRow("lookup") << AdtStatements::lookup("0", "AB1")
                            << "select description,price,rowid from adt  where category = '0' and id ='AB1'";
    QTest::newRow("insert") << AdtStatements::insert("3", "FDD", "Floppy",
        "12.345") << "insert into adt (category,id,description,price) values ('3','FDD','Floppy','12.345')";
    QTest::newRow("update") << AdtStatements::update("3", "FDD", "Floppy", "12.34")
                            << "update adt set id = 'FDD',description='Floppy',price='12.34'  where id = "
                               "'FDD' and category = '3'";
    QTest::newRow("delete") << AdtStatements::remove("3", "FDD")
                            << "delete * from adt where id = 'FDD' and category = '3'";
    QTest::newRow("quotes-doubled-in-id")
        << AdtStatements::lookup("2", "O'NEIL 15\"")
        << "select description,price,rowid from adt  where category = '2' and id ='O''NEIL 15\"'";
    QTest::newRow("quotes-doubled-in-description") << AdtStatements::insert("2", "X", "Intel's \"best\"",
        "1") << "insert into adt (category,id,description,price) values ('2','X','Intel''s \"best\"','1')";
}

void TestAdtStatements::texts()
{
    QFETCH(QString, statement);
    QFETCH(QString, expected);
    QCOMPARE(statement, expected);
}

void TestAdtStatements::quotedValuesRoundTrip_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("description");

    QTest::newRow("quote-and-inch-mark") << "O'NEIL 15\""
                                         << "Intel's \"best\"";
    QTest::newRow("injection-attempt") << "x' or '1'='1"
                                       << "'); delete from adt; --";
    QTest::newRow("only-quotes") << "''"
                                 << "'";
}

void TestAdtStatements::quotedValuesRoundTrip()
{
    QFETCH(QString, id);
    QFETCH(QString, description);

    TestDb db({ { "2", "OTHER", "stays", "1" } });
    Store store(db.path, QStringLiteral("t-roundtrip"));
    QVERIFY(store.open());
    QVERIFY(store.execute(AdtStatements::insert("2", id, description, "5")));
    QCOMPARE(db.descriptions("2", id), QStringList { description });
    auto found = store.query(AdtStatements::lookup("2", id));
    QVERIFY(found && found->moveFirst());
    QCOMPARE(found->text("Description"), description);
    QVERIFY(store.execute(AdtStatements::update("2", id, description + "!", "6")));
    QCOMPARE(db.descriptions("2", id), QStringList { description + "!" });
    QVERIFY(store.execute(AdtStatements::remove("2", id)));
    QCOMPARE(db.descriptions("2", id), QStringList {});
    QCOMPARE(db.count(), 1);
}

void TestAdtStatements::general_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected"); // "-" for none

    QTest::newRow("three-decimals-kept") << 12.345 << "12.345";
    QTest::newRow("whole-number-no-point") << 12.0 << "12";
    QTest::newRow("binary-residue-gone") << 0.1 + 0.2 << "0.3";
    QTest::newRow("negative") << -3.5 << "-3.5";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("large-no-groups") << 1234567.5 << "1234567.5";
    QTest::newRow("not-a-number") << std::nan("") << "-";
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << "-";
}

void TestAdtStatements::general()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QLocale::setDefault(QLocale(QLocale::German)); // the stored text never follows the locale
    const auto text = PriceText::general(value);
    QLocale::setDefault(QLocale::c());
    QCOMPARE(text.value_or("-"), expected);
}

void TestAdtStatements::cutToCents_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected"); // general text of the result, "-" for none

    QTest::newRow("cut-not-rounded") << 12.345 << "12.34";
    QTest::newRow("nines-cut") << 12.999 << "12.99";
    QTest::newRow("two-decimals-unchanged") << 12.25 << "12.25";
    QTest::newRow("whole") << 7.0 << "7";
    QTest::newRow("negative-cut-toward-zero") << -3.555 << "-3.55";
    QTest::newRow("below-a-cent") << 0.001 << "0";
    QTest::newRow("exponent-form-read-as-its-number") << 1e15 << "1E+15";
}

void TestAdtStatements::cutToCents()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    const auto cut = PriceText::cutToCents(value);
    QCOMPARE(cut ? PriceText::general(*cut).value_or("?") : QString("-"), expected);
}

void TestAdtStatements::read_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<double>("expected");

    QTest::newRow("decimals") << "12.345" << 12.345;
    QTest::newRow("grouped") << "1,250.00" << 1250.0;
    QTest::newRow("not-a-number") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
}

void TestAdtStatements::read()
{
    QFETCH(QString, stored);
    QFETCH(double, expected);
    QCOMPARE(PriceText::read(stored), expected);
}

QTEST_GUILESS_MAIN(TestAdtStatements)
#include "tst_adtstatements.moc"
