#include "core/supplierimport.h"

#include <QBuffer>
#include <QTest>

#include <cstring>

// What a supplier's lines mean: prices as suppliers write them, columns, ids listed twice.
class TestSupplierImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void guessColumns_data();
    void guessColumns();
    void guessDecimal_data();
    void guessDecimal();
    void collect();
    void lines_data();
    void lines();
    void columnsRemembered();
    void itemsComeBackAsPut();
    void refusalsAreCountedNotAllKept();
    void endlessFileStopsAtTheLimit();
};

using SupplierImport::DecimalSign;
Q_DECLARE_METATYPE(SupplierImport::DecimalSign)

void TestSupplierImport::guessColumns_data()
{
    QTest::addColumn<QStringList>("header");
    // category, id, description, price: the column or -1; then " costs" when the price column holds
    // costs, " cost N" for a column of costs beside the list prices
    QTest::addColumn<QString>("columns");
    QTest::newRow("ours") << QStringList { "category", "id", "description", "price" } << "0,1,2,3";
    QTest::newRow("with a currency") << QStringList { "Code", "Name", "Stock", "Price (EGP)", "Category" }
                                     << "4,0,1,3";
    QTest::newRow("price with more after it") << QStringList { "SKU", "Product", "Price EGP" } << "-1,0,1,2";
    QTest::newRow("code before model")
        << QStringList { "Model", "Item Code", "Desc", "Dealer Price" } << "-1,1,2,3 costs";
    QTest::newRow("model alone keys the items")
        << QStringList { "Brand", "Model", "Net price" } << "-1,1,-1,2 costs";
    QTest::newRow("part number, marks between")
        << QStringList { "Part_No.", "Item name", "Cost" } << "-1,0,1,2 costs";
    QTest::newRow("list price beside the cost")
        << QStringList { "P/N", "Cost", "Retail Price" } << "-1,0,-1,2 cost 1";
    QTest::newRow("an export with its costs")
        << QStringList { "category", "id", "description", "price", "cost" } << "0,1,2,3 cost 4";
    QTest::newRow("Arabic dealer price")
        << QStringList { u"كود الصنف"_qs, u"البيان"_qs, u"سعر التاجر"_qs } << "-1,0,1,2 costs";
    QTest::newRow("Arabic") << QStringList { u"الكود"_qs, u"الوصف"_qs, u"السعر"_qs, u"القسم"_qs }
                            << "3,0,1,2";
    QTest::newRow("Arabic item number, hamza forms")
        << QStringList { u"رقم الصنف"_qs, u"إسم الصنف"_qs, u"سعر البيع"_qs } << "-1,0,1,2";
    QTest::newRow("nothing known") << QStringList { "a", "b" } << "-1,-1,-1,-1";
    QTest::newRow("attributes beside the price")
        << QStringList { "SKU", "Socket", "Form Factor", "Length (mm)", "Price", "Supply wattage" }
        << "-1,0,-1,4 1:socket 2:form_factor 3:length 5:supply_power";
}

void TestSupplierImport::guessColumns()
{
    QFETCH(QStringList, header);
    QFETCH(QString, columns);
    const SupplierImport::Columns c = SupplierImport::guessColumns(header);
    QString got = QStringLiteral("%1,%2,%3,%4").arg(c.category).arg(c.id).arg(c.description).arg(c.price);
    const QMap<int, QString> attributes = SupplierImport::guessAttributeColumns(header, c);
    for (auto i = attributes.cbegin(); i != attributes.cend(); ++i)
        got += QStringLiteral(" %1:%2").arg(i.key()).arg(i.value());
    if (c.pricesAreCosts)
        got += QStringLiteral(" costs");
    if (c.cost >= 0)
        got += QStringLiteral(" cost %1").arg(c.cost);
    QCOMPARE(got, columns);
}

void TestSupplierImport::guessDecimal_data()
{
    QTest::addColumn<QStringList>("prices");
    QTest::addColumn<QString>("guess"); // "point", "comma", or "ask" and the sample shown
    QTest::newRow("decimal commas") << QStringList { "12,50", "1.234,5", "7" } << "comma";
    QTest::newRow("decimal points") << QStringList { "12.50", "1,234.5" } << "point";
    QTest::newRow("three digits after one comma: ask") << QStringList { "1,234", "7" } << "ask 1,234";
    QTest::newRow("three digits after one point: ask")
        << QStringList { "1.299", "12.500", "4.350" } << "ask 1.299";
    QTest::newRow("another price decides for the comma") << QStringList { "1.299", "12,50" } << "comma";
    QTest::newRow("another price decides for the point") << QStringList { "1.299", "12.5" } << "point";
    QTest::newRow("points in groups") << QStringList { "1.234.567" } << "comma";
    QTest::newRow("commas in groups") << QStringList { "1,234,567" } << "point";
    QTest::newRow("whole numbers read alike either way") << QStringList { "1299", "7", "" } << "point";
    QTest::newRow("with currency signs") << QStringList { "EGP 1.234,50", "\u00a3 12" } << "comma";
    QTest::newRow("prices that disagree: ask") << QStringList { "12,50", "12.50" } << "ask 12,50";
}

void TestSupplierImport::guessDecimal()
{
    QFETCH(QStringList, prices);
    QFETCH(QString, guess);
    const SupplierImport::DecimalGuess g = SupplierImport::guessDecimal(prices);
    const QString got = !g.sign ? "ask " + g.sample : *g.sign == DecimalSign::Comma ? "comma" : "point";
    QCOMPARE(got, guess);
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
    QCOMPARE(reading.notes,
        QStringList { "Line 5: R5 (category 0) was already listed on line 2; this line is used." });
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
    const SupplierImport::Columns columns = *SupplierImport::Columns::fromText("0,1,2,3,0,point,");
    bool finished = true;
    QString why;
    const SupplierImport::Reading reading = SupplierImport::readItems(
        file, { SupplierFile::Encoding::Utf8, u',' }, columns, {}, {}, &finished, &why, 20000);
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
    c.categoryRows = { { "Processors", "0" }, { "Printers, ink=toner", "" }, { "%20 odd", "16" },
        { "cost:3", "1" }, { "prices:cost", "2" } };
    c.attributeColumns = { { 7, "socket" }, { 8, "length" } };
    for (const bool costs : { false, true }) {
        c.pricesAreCosts = costs;
        c.cost = costs ? -1 : 6;
        const auto back = SupplierImport::Columns::fromText(c.toText());
        QVERIFY(back);
        QCOMPARE(back->toText(), c.toText());
        QCOMPARE(back->categoryRows, c.categoryRows);
        QCOMPARE(back->pricesAreCosts, costs);
        QCOMPARE(back->cost, c.cost);
        QCOMPARE(back->attributeColumns, c.attributeColumns);
    }
    QVERIFY(!SupplierImport::Columns::fromText("0,1,2,3,1,point,,attribute:7:colour"));
    QVERIFY(!SupplierImport::Columns::fromText("0,1,2,3,1,point,,cost:x"));
    // Next month's file of a supplier shares this month's mapping; another supplier's does not.
    QCOMPARE(
        SupplierImport::supplierKey("nile_2027-01.csv"), SupplierImport::supplierKey("nile_2026-12.csv"));
    QVERIFY(
        SupplierImport::supplierKey("nile_2026-12.csv") != SupplierImport::supplierKey("delta_2026-12.csv"));
    QVERIFY(!SupplierImport::Columns::fromText("nonsense"));
    // A text kept before categories could be mapped reads as it did.
    const auto old = SupplierImport::Columns::fromText("0,1,2,3,1,comma,");
    QVERIFY(old);
    QCOMPARE(old->category, 0);
    QCOMPARE(old->decimal, DecimalSign::Comma);
    QVERIFY(old->categoryRows.isEmpty());
    // No category outside the rows, however it was written.
    QVERIFY(!SupplierImport::Columns::fromText("-1,1,2,3,1,point,90"));
    QVERIFY(!SupplierImport::Columns::fromText("0,1,2,3,1,point,,Memory=90"));
}

namespace
{

const QStringList RowNames { "Processor", "Mother Board", "RAM", "Floppy Disk", "Hard Disk", "VGA Card",
    "Monitor", "CD-ROM", "Sound Card", "Speaker", "KeyBoard", "Mouse", "Case", "Fax Modem", "Extra 1",
    "Extra 2", "Other" };

} // namespace

// What the lines of a file become: items ("category/id=price:description", "-" for a description the
// file leaves to the list, " cost N" when the file gives a cost), the lines refused and what is noted.
void TestSupplierImport::lines_data()
{
    QTest::addColumn<QString>("columns"); // as remembered: Columns::toText()
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("refused"); // "line: reason"
    QTest::addColumn<QStringList>("notes");
    const QByteArray header = "category,id,description,price\n";
    QTest::newRow("row numbers and row names are rows; any other value is refused with it")
        << "0,1,2,3,1,point,"
        << header
            + "0,R5,Ryzen,5400\nKeyBoard,K1,Keys,95\nkeyboard,K2,Keys,96\nProcessors,P1,x,1\n"
              "90,company,Shop,0\n17,X,x,1\n00,Y,y,1\n"
        << QStringList { "0/R5=5400:Ryzen", "10/K1=95:Keys", "10/K2=96:Keys" }
        << QStringList { "5: the category \"Processors\" is none of the rows; choose its row in the "
                         "category list, or leave it out",
               "6: the category \"90\" is none of the rows; choose its row in the category list, or leave "
               "it out",
               "7: the category \"17\" is none of the rows; choose its row in the category list, or leave "
               "it out",
               "8: the category \"00\" is none of the rows; choose its row in the category list, or leave "
               "it out" }
        << QStringList {};
    QTest::newRow("values mapped to a row go there; values left out are passed over")
        << "0,1,2,3,1,point,,Processors=0,Printers=,3=5"
        << header + "Processors,P1,x,1\nPrinters,PR,Laser,5\n3,H1,Disk,7\n"
        << QStringList { "0/P1=1:x", "5/H1=7:Disk" } << QStringList {} << QStringList {};
    QTest::newRow("no category column: every item in the chosen row")
        << "-1,0,-1,1,0,point,0" << QByteArray("R5,5400\n") << QStringList { "0/R5=5400:-" } << QStringList {}
        << QStringList {};
    QTest::newRow("an empty description cell keeps the list's description")
        << "0,1,2,3,1,point," << header + "0,R5,,5400\n0,I5,\"\",6900\n0,I7, ,11800\n"
        << QStringList { "0/R5=5400:-", "0/I5=6900:-", "0/I7=11800:-" } << QStringList {} << QStringList {};
    QTest::newRow("blanks inside quotes are kept, blanks outside are not")
        << "0,1,2,3,1,point," << header + "0,\" R5 \",\" padded \",5\n0, I5 , Core i5 ,6\n"
        << QStringList { "0/ R5 =5: padded ", "0/I5=6:Core i5" } << QStringList {} << QStringList {};
    QTest::newRow("ids listed twice are named by their row")
        << "0,1,2,3,1,point," << header + "2,D4,DDR4,1250\n2,D4,DDR4,1300\n"
        << QStringList { "2/D4=1300:DDR4" } << QStringList {}
        << QStringList { "Line 3: D4 (RAM) was already listed on line 2; this line is used." };
    QTest::newRow("a price refused as the file writes it")
        << "0,1,2,3,1,comma," << header + "10,K1,Keys,EGP 12x\n10,K2,Keys,\"145,00 \u00a3\"\n"
        << QStringList { "10/K2=145:Keys" }
        << QStringList { "2: \"EGP 12x\" is not a number. Type a price such as 1250 or 12.50." }
        << QStringList {};
    // Each reason a price is refused, worded for the list of lines that cannot be read.
    QTest::newRow("every reason a price is refused")
        << "0,1,2,3,1,comma,"
        << header + "10,K1,Keys,12.5\n10,K2,Keys,\"12,5.0\"\n10,K3,Keys, \n10,K4,Keys,1e21\n10,K5,Keys,-7\n"
        << QStringList { "10/K5=-7:Keys" }
        << QStringList { "2: the price \"12.5\" has a '.' where the decimal sign is ','",
               "3: \"12,5.0\" is not a number. Type a price such as 1250 or 12.50.", "4: no price",
               "5: \"1e21\" is out of range for an amount. An amount must be below 10^21 (at most 21 digits "
               "before the point)." }
        << QStringList {};
    QTest::newRow("costs in the price column: the markup gives the list prices later")
        << "0,1,2,3,1,point,,prices:cost" << header + "0,R5,Ryzen,1000\n0,I5,Core,0\n0,I7,Core,-5\n"
        << QStringList { "0/R5=:Ryzen cost 1000", "0/I5=:Core cost 0" }
        << QStringList { "4: the cost -5 is below zero" } << QStringList {};
    QTest::newRow("a column of costs beside the list prices; an empty cost is unknown")
        << "0,1,2,3,1,comma,,cost:4"
        << QByteArray(
               "category,id,description,price,cost\n0,R5,Ryzen,\"5400,5\",\"4800,25\"\n0,I5,Core,6900,\n"
               "0,I7,Core,9000,lots\n")
        << QStringList { "0/R5=5400.5:Ryzen cost 4800.25", "0/I5=6900:Core" }
        << QStringList { "4: cost: \"lots\" is not a number. Type a price such as 1250 or 12.50." }
        << QStringList {};
}

void TestSupplierImport::lines()
{
    QFETCH(QString, columns);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, items);
    QFETCH(QStringList, refused);
    QFETCH(QStringList, notes);
    const auto chosen = SupplierImport::Columns::fromText(columns);
    QVERIFY(chosen);
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    bool finished = false;
    QString why;
    const SupplierImport::Reading reading = SupplierImport::readItems(
        buffer, { SupplierFile::Encoding::Utf8, u',' }, *chosen, RowNames, {}, &finished, &why);
    QVERIFY2(finished, qPrintable(why));
    QStringList got;
    for (const SupplierImport::Item &item : reading.items)
        got << QStringLiteral("%1/%2=%3:%4")
                    .arg(item.category, item.id, item.price, item.description.value_or("-"))
                + (item.cost ? QStringLiteral(" cost ") + *item.cost : QString());
    QCOMPARE(got, items);
    QStringList problems;
    for (const SupplierFile::Problem &p : reading.problems)
        problems << QStringLiteral("%1: %2").arg(p.line).arg(p.reason);
    QCOMPARE(problems, refused);
    QCOMPARE(reading.notes, notes);
}

QTEST_APPLESS_MAIN(TestSupplierImport)
#include "tst_supplierimport.moc"
