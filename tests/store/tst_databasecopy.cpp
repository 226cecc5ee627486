// Moving a shop onto a server: every table comes along and reads back the same through the
// program, a database that holds anything is refused, and a copy that fails leaves nothing behind.

#include "demodata.h"
#include "store/databasecopy.h"
#include "store/offerprogress.h"
#include "store/offerrepository.h"
#include "store/partattributetable.h"
#include "store/pricelistrepository.h"
#include "support/testdb.h"

#include <QSqlQuery>
#include <QTest>

class TestDatabaseCopy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { TestDb::stopServer(); }
    void copiesEverythingAlike();
    void refusesWhatIsNotEmpty();
    void failedCopyLeavesNothing_data();
    void failedCopyLeavesNothing();
    void namesThatNeedQuoting_data();
    void namesThatNeedQuoting();

private:
    static QStringList onServer(
        const QString &address, const QString &statement, const QVariantList &values = {});
    QString emptyDatabase();
    static QStringList tablesOf(const QString &address);
    static QStringList picker(Store &store, const QString &category);
};

void TestDatabaseCopy::initTestCase()
{
    BRASKO_START_BACKEND(Backend::Server);
}

QString TestDatabaseCopy::emptyDatabase()
{
    static int serial = 0;
    const QString name = QStringLiteral("copy%1").arg(++serial);
    QString why;
    if (!TestDb::server()->createDatabase(name, &why))
        qFatal("%s", qPrintable(why));
    return TestDb::server()->address(name);
}

QStringList TestDatabaseCopy::tablesOf(const QString &address)
{
    QStringList tables;
    {
        Store store(address, QStringLiteral("t-tables"));
        // Opened past the store, which would make the price-list table in an empty database.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("t-tables-raw"));
        db.setHostName(store.server()->host);
        db.setPort(store.server()->port);
        db.setUserName(store.server()->user);
        db.setDatabaseName(store.server()->database);
        if (db.open())
            tables = db.tables();
        tables.sort();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("t-tables-raw"));
    return tables;
}

QStringList TestDatabaseCopy::picker(Store &store, const QString &category)
{
    auto read = PriceListRepository(&store).items(category, PriceListRepository::Order::IdDescending);
    auto rows = read ? *std::move(read) : nullptr;
    QStringList out;
    for (bool on = rows && rows->moveFirst(); on; on = rows->moveNext())
        out << rows->text("ID").value_or("-") + '|' + rows->text("Description").value_or("-") + '|'
                + rows->text("Price").value_or("-");
    return out;
}

void TestDatabaseCopy::copiesEverythingAlike()
{
    TestDb file(Backend::File,
        { { "0", "I5", "Intel Core i5", "6900" }, { "0", "R5", "AMD 'Ryzen' 5", "5400.50" },
            { "2", "", "no id", "" }, { "90", "company", "Shop \U0001F5A5", "0.00" },
            { "90", "sp", "Mona", "0.00" }, { "90", "dt", "1/1/2026 9:00", "0.00" } });
    Offer offer;
    offer.client = QStringLiteral("O'Neil");
    offer.date = QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5));
    offer.validUntil = QDate(2027, 1, 16);
    offer.pickItem(0, "I5", "Intel Core i5", "6900");
    {
        Store store(file.path, QStringLiteral("t-source"));
        QVERIFY(store.open());
        QString error;
        QVERIFY2(fillDemoPriceList(store, &error), qPrintable(error)); // the shop of the demo
        OfferRepository offers(&store);
        QVERIFY(offers.save(offer, std::nullopt));
        QVERIFY(offers.save(offer, 1));
        QVERIFY(!OfferProgress(&store).linkOrder({ 1, 2 }, 1043).isValid());
    }
    // A table a later version keeps beside the others comes along as well.
    file.exec("create table price_history (id integer primary key autoincrement, item_id text not null,"
              " old_price text, new_price varchar(20), rate real, data blob)");
    file.exec("insert into price_history (item_id, old_price, new_price, rate, data) values"
              " ('I5', '6800', '6900', 1.5, x'00ff'), ('R5', null, '5400.50', null, null)");
    file.exec("create index price_history_item on price_history (item_id)");

    const QString target = emptyDatabase();
    const DatabaseCopy::Result result = DatabaseCopy::copy(file.path, target);
    QVERIFY2(result.ok, qPrintable(result.error));
    // adt, brasko_schema, offer_counter, offer_orders, offer_rows, offers, part_attributes,
    // price_history
    QCOMPARE(result.checked.size(), 8);

    Store source(file.path, QStringLiteral("t-a"));
    Store copy(target, QStringLiteral("t-b"));
    QVERIFY(source.open());
    QVERIFY2(copy.open(), qPrintable(copy.lastError().text()));
    for (int category = 0; category <= 16; ++category)
        QCOMPARE(picker(copy, QString::number(category)), picker(source, QString::number(category)));
    QCOMPARE(picker(copy, "90"), picker(source, "90"));
    for (const char *id : { "company", "sp", "dt" })
        QCOMPARE(*PriceListRepository(&copy).setting(id), *PriceListRepository(&source).setting(id));
    // The parts' attributes come along, and every counter on the server checks fit by them.
    const auto attributes = PartAttributeTable(&copy).read("0", "I5-12400");
    QVERIFY(attributes && !attributes->isEmpty());
    QCOMPARE(*attributes, *PartAttributeTable(&source).read("0", "I5-12400"));
    OfferRepository copied(&copy);
    QCOMPARE(copied.load({ 1, 2 })->offer, offer);
    QCOMPARE(*OfferProgress(&copy).orderOf({ 1, 2 }), std::optional<int>(1043));
    // New offers and new history rows go on from where the file left off.
    QCOMPARE(*copied.save(offer, std::nullopt), (OfferKey { 2, 1 }));
    QVERIFY(copy.execute("insert into price_history (item_id) values (?)", { QStringLiteral("X") }));
    auto ids = copy.query("select max(id) as top from price_history", {});
    QVERIFY(ids && ids->moveFirst());
    QCOMPARE(ids->field("top")->toInt(), 3);
}

void TestDatabaseCopy::refusesWhatIsNotEmpty()
{
    TestDb file(Backend::File, { { "0", "I5", "Intel Core i5", "6900" } });
    const QString target = emptyDatabase();
    {
        Store store(target, QStringLiteral("t-filled")); // makes the price-list table
        QVERIFY(store.open());
        QVERIFY(!PriceListRepository(&store).add({ "0", "OLD", "kept", "1" }).isValid());
    }
    const DatabaseCopy::Result result = DatabaseCopy::copy(file.path, target);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains("is not empty"), qPrintable(result.error));
    Store store(target, QStringLiteral("t-filled"));
    QVERIFY(store.open());
    QCOMPARE(picker(store, "0"), QStringList { "OLD|kept|1" });
}

void TestDatabaseCopy::failedCopyLeavesNothing_data()
{
    QTest::addColumn<QString>("breakage"); // done to the file before copying
    QTest::addColumn<QString>("errorHas");
    // SQLite keeps a word in a whole-number column; the server cannot.
    QTest::newRow("a word where a number belongs")
        << "create table tally (n integer); insert into tally values (1), ('many')"
        << "tally, row 2";
    QTest::newRow("no price list") << "drop table adt"
                                   << "no price list";
}

void TestDatabaseCopy::failedCopyLeavesNothing()
{
    QFETCH(QString, breakage);
    QFETCH(QString, errorHas);
    TestDb file(Backend::File, { { "0", "I5", "Intel Core i5", "6900" } });
    for (const QString &statement : breakage.split("; "))
        file.exec(statement);
    const QString target = emptyDatabase();
    const DatabaseCopy::Result result = DatabaseCopy::copy(file.path, target);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(errorHas), qPrintable(result.error));
    QCOMPARE(tablesOf(target), QStringList {});
}

QStringList TestDatabaseCopy::onServer(
    const QString &address, const QString &statement, const QVariantList &values)
{
    QStringList out;
    {
        Store store(address, QStringLiteral("t-onserver"));
        QSqlDatabase db
            = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("t-onserver-raw"));
        db.setHostName(store.server()->host);
        db.setPort(store.server()->port);
        db.setUserName(store.server()->user);
        db.setDatabaseName(store.server()->database);
        if (db.open()) {
            QSqlQuery q(db);
            q.prepare(statement);
            for (qsizetype i = 0; i < values.size(); ++i)
                q.bindValue(int(i), values.at(i));
            if (!q.exec())
                out << QStringLiteral("failed: ") + q.lastError().text();
            while (q.next())
                out << q.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("t-onserver-raw"));
    return out;
}

void TestDatabaseCopy::namesThatNeedQuoting_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("key"); // the whole-number key column
    QTest::addColumn<QString>("index");
    QTest::addColumn<QStringList>("statements"); // run on the file; the table gets rows 1 and 2
    QTest::newRow("a quote") << "it's"
                             << "id"
                             << "it's value"
                             << QStringList {
                                    "create table \"it's\" (id integer primary key autoincrement, v text)",
                                    "create index \"it's value\" on \"it's\" (v)"
                                };
    QTest::newRow("double quotes and blanks")
        << "\"odd\" one"
        << "the id"
        << "by b"
        << QStringList {
               "create table \"\"\"odd\"\" one\" (\"the id\" integer primary key, \"a \"\"b\"\"\" text)",
               "create index [by b] on \"\"\"odd\"\" one\" (\"a \"\"b\"\"\" desc)"
           };
    QTest::newRow("a dot, a unique index in backquotes")
        << "shop.extra"
        << "n"
        << "note key"
        << QStringList { "create table \"shop.extra\" (n integer primary key, note text)",
               "create unique index `note key` on \"shop.extra\" (note)" };
    QTest::newRow("starting with a quote")
        << "\"start"
        << "k"
        << "\"start's\" index"
        << QStringList { "create table \"\"\"start\" (k integer primary key, v text)",
               "create index \"\"\"start's\"\" index\" on \"\"\"start\" (v, k)" };
}

// Names are SQL text on both sides of the copy: any table, column or index name comes across
// whole, its rows, its index and its numbering included.
void TestDatabaseCopy::namesThatNeedQuoting()
{
    QFETCH(QString, table);
    QFETCH(QString, key);
    QFETCH(QString, index);
    QFETCH(QStringList, statements);
    const auto quoted = [](QString name) { return '"' + name.replace('"', "\"\"") + '"'; };
    TestDb file(Backend::File, { { "0", "I5", "Intel Core i5", "6900" } });
    for (const QString &statement : statements)
        file.exec(statement);
    file.exec(QStringLiteral("insert into %1 (%2) values (1), (2)").arg(quoted(table), quoted(key)));
    const QString target = emptyDatabase();
    const DatabaseCopy::Result result = DatabaseCopy::copy(file.path, target);
    QVERIFY2(result.ok, qPrintable(result.error));
    QVERIFY(tablesOf(target).contains(table));
    QCOMPARE(
        onServer(target, QStringLiteral("select count(*) from %1").arg(quoted(table))), QStringList { "2" });
    QCOMPARE(onServer(target,
                 QStringLiteral("select indexname from pg_indexes where tablename = ? and indexname = ?"),
                 { table, index }),
        QStringList { index });
    // A row added on the server is numbered on from the file's.
    QCOMPARE(
        onServer(target,
            QStringLiteral("insert into %1 default values returning %2").arg(quoted(table), quoted(key))),
        QStringList { "3" });
}

QTEST_GUILESS_MAIN(TestDatabaseCopy)
#include "tst_databasecopy.moc"
