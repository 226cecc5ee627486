#include "core/supplierimport.h"

#include <QTest>

#include <cstring>

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
    void itemsComeBackAsPut();
    void refusalsAreCountedNotAllKept();
    void endlessFileStopsAtTheLimit();
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

// Items are kept packed together; every text must come back whole, whatever its size and
// neighbours, and a description the file leaves empty is not one it lacks.
void TestSupplierImport::itemsComeBackAsPut()
{
    const QString arabic
        = QString::fromUtf16(u"\u0634\u0627\u0634\u0629 \u0633\u0627\u0645\u0633\u0648\u0646\u062c");
    std::vector<SupplierImport::Item> put {
        { "0", "R5", "Ryzen 5", "5400.50", 2 },
        { "0", "EMPTY", QString(""), "1", 3 },
        { "0", "NONE", std::nullopt, "2", 4 },
        { "10", arabic, arabic + arabic, "95", 5 },
        { "0", "HUGE", QString(1500000, u'd'), "3", 6 },
        { "2", "AFTER", "after the huge one", "4", 7 },
    };
    for (int i = 0; i < 40000; ++i) // enough to fill several blocks
        put.push_back({ "7", QStringLiteral("N%1").arg(i), QStringLiteral("Item %1").arg(i), "9", 8 + i });
    SupplierImport::ItemList items;
    for (const SupplierImport::Item &item : put)
        QVERIFY(!items.put(item));
    QCOMPARE(items.size(), put.size());
    for (size_t i = 0; i < put.size(); ++i) {
        const SupplierImport::Item got = items[i];
        QCOMPARE(got.category, put[i].category);
        QCOMPARE(got.id, put[i].id);
        QCOMPARE(got.description.has_value(), put[i].description.has_value());
        QCOMPARE(got.description.value_or("-"), put[i].description.value_or("-"));
        QCOMPARE(got.price, put[i].price);
        QCOMPARE(got.line, put[i].line);
        QCOMPARE(items.find(items.categoryOf(i), put[i].id), std::optional<size_t>(i));
    }
    QCOMPARE(items.put({ "0", "NONE", "now described", "3", 99 }), std::optional<qint64>(4));
    QCOMPARE(items[2].description.value_or("-"), QStringLiteral("now described"));
    QCOMPARE(items[2].line, 99);
    QCOMPARE(items.size(), put.size());
    QVERIFY(!items.find(items.categoryOf(0), u"R"));
    QVERIFY(!items.find(items.categoryOf(put.size() - 1), u"R5")); // the same id in another category
}

// A file of a million bad lines must not keep a million messages: the first ones are listed and
// the rest counted.
void TestSupplierImport::refusalsAreCountedNotAllKept()
{
    SupplierImport::Columns columns;
    columns.category = 0;
    columns.id = 1;
    columns.price = 2;
    columns.header = false;
    SupplierImport::Collector collector(columns);
    const qint64 bad = 3 * SupplierImport::MaxListed;
    for (qint64 line = 1; line <= bad; ++line)
        collector.record({ line, { "0", "A", "abc" } });
    const qint64 twice = 2 * SupplierImport::MaxListed;
    for (qint64 line = bad + 1; line <= bad + twice + 1; ++line)
        collector.record({ line, { "0", "A", "1" } });
    const SupplierImport::Reading reading = collector.take();
    QCOMPARE(reading.problems.size(), SupplierImport::MaxListed);
    QCOMPARE(reading.problemCount, bad);
    QCOMPARE(reading.problems.first().line, 1);
    QCOMPARE(reading.notes.size(), SupplierImport::MaxListed);
    QCOMPARE(reading.noteCount, twice);
    QCOMPARE(reading.items.size(), size_t(1));
    QCOMPARE(reading.items[0].line, bad + twice + 1);
}

namespace
{

// A file that never ends: a line of a new item for every read, for as long as it is read.
class EndlessFile : public QIODevice
{
public:
    EndlessFile() { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 served = 0;

protected:
    qint64 readData(char *data, qint64 size) override
    {
        if (m_pending.size() < size) {
            for (int i = 0; i < 1000; ++i)
                m_pending += "0,ID" + QByteArray::number(m_next++) + ",Endless item,1.50\n";
        }
        const qint64 n = std::min<qint64>(size, m_pending.size());
        std::memcpy(data, m_pending.constData(), static_cast<size_t>(n));
        m_pending.remove(0, n);
        served += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_pending;
    qint64 m_next = 0;
};

} // namespace

// A file far longer than any price list (a 2 GB one, or one that never ends) is not read to its end.
void TestSupplierImport::endlessFileStopsAtTheLimit()
{
    EndlessFile file;
    SupplierImport::Columns columns { 0, 1, 2, 3, QString(), false, DecimalSign::Point };
    bool finished = true;
    QString why;
    const SupplierImport::Reading reading = SupplierImport::readItems(
        file, { SupplierFile::Encoding::Utf8, u',' }, columns, {}, &finished, &why, 20000);
    QVERIFY(!finished);
    QVERIFY2(why.contains("more than " + QLocale().toString(20000) + " items"), qPrintable(why));
    QVERIFY2(file.served < 4 * 1024 * 1024, qPrintable(QString::number(file.served)));
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
