#include "store/pricelistexport.h"

#include "support/testdb.h"

#include <QFile>

// Writing the price list to a CSV file.
class TestPriceListExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writes_data();
    void writes();
    void failureKeepsTheOldFile();
};

namespace
{

const std::vector<TestRow> Rows = {
    { "2", "D4-16G", "DDR4 16GB", "1250" },
    { "0", "R5", "AMD Ryzen 5, boxed", "5400.50" },
    { "0", "O'NEIL 15\"", "Intel's \"best\"\nsecond line", "1.5e20" },
    { "10", "KB-AR", QString::fromUtf16(u"\u0644\u0648\u062d\u0629 \u0645\u0641\u0627\u062a\u064a\u062d"),
        "95" },
    { "90", "company", "Shop", "0.00" },
    { "90", "dt", "1/1/26 10:00", "0.00" },
};

const QByteArray Header = "\xEF\xBB\xBF"
                          "category,id,description,price\r\n";

} // namespace

void TestPriceListExport::writes_data()
{
    QTest::addColumn<QString>("category"); // empty: all
    QTest::addColumn<int>("items");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("every category, settings left out")
        << "" << 4
        << QByteArray("0,\"O'NEIL 15\"\"\",\"Intel's \"\"best\"\"\nsecond line\",1.5e20\r\n"
                      "0,R5,\"AMD Ryzen 5, boxed\",5400.50\r\n"
                      "10,KB-AR,")
            + QString::fromUtf16(u"\u0644\u0648\u062d\u0629 \u0645\u0641\u0627\u062a\u064a\u062d").toUtf8()
            + QByteArray(",95\r\n2,D4-16G,DDR4 16GB,1250\r\n");
    QTest::newRow("one category") << "2" << 1 << QByteArray("2,D4-16G,DDR4 16GB,1250\r\n");
    QTest::newRow("an empty category: the header alone") << "16" << 0 << QByteArray();
}

void TestPriceListExport::writes()
{
    QFETCH(QString, category);
    QFETCH(int, items);
    QFETCH(QByteArray, body);
    TestDb db(Rows);
    Store store(db.path, QStringLiteral("t-export"));
    QVERIFY(store.open());
    const QString path = db.dir.filePath(QStringLiteral("out.csv"));
    const PriceListExport result
        = exportPriceList(store, category.isEmpty() ? std::nullopt : std::optional<QString>(category), path);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.items, items);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), Header + body);
}

void TestPriceListExport::failureKeepsTheOldFile()
{
    TestDb db(Rows);
    Store store(db.path, QStringLiteral("t-export-fail"));
    QVERIFY(store.open());
    const QString path = db.dir.filePath(QStringLiteral("old.csv"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old content");
    }
    db.exec(QStringLiteral("drop table adt"));
    const PriceListExport result = exportPriceList(store, std::nullopt, path);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(QStringLiteral("cannot be read")), qPrintable(result.error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old content"));
    const PriceListExport nowhere
        = exportPriceList(store, std::nullopt, db.dir.filePath("no/such/dir/x.csv"));
    QVERIFY(!nowhere.ok);
    QVERIFY2(nowhere.error.contains(QStringLiteral("x.csv")), qPrintable(nowhere.error));
}

QTEST_APPLESS_MAIN(TestPriceListExport)
#include "tst_pricelistexport.moc"
