#include "store/priceimport.h"

#include "store/importcolumns.h"
#include "store/itemcosttable.h"
#include "store/markupreprice.h"
#include "store/markupruletable.h"
#include "store/pricehistory.h"
#include "store/pricelistexport.h"
#include "support/supplierbytes.h"
#include "support/testdb.h"

#include <QFile>

// Importing a supplier's file: what the preview says and what Apply writes, all or nothing; on
// db.mdb and on a PostgreSQL database.
class TestPriceImport : public QObject
{
    Q_OBJECT

public:
    explicit TestPriceImport(Backend backend)
        : m_backend(backend)
    {
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        BRASKO_START_BACKEND(m_backend);
    }
    void exportThenImportChangesNothing_data();
    void exportThenImportChangesNothing();
    void previewAndApply_data();
    void previewAndApply();
    void changesKeepTheFilesOrder();
    void cancelledApplyChangesNothing();
    void applyLeavesWhatChangedSincePreview_data();
    void applyLeavesWhatChangedSincePreview();
    void costsPriceByTheMarkup_data();
    void costsPriceByTheMarkup();
    void supplierFilesShareTheirMapping();
    void changedRulesRepriceTheirPricesOnly();

private:
    Backend m_backend;
};

namespace
{

const std::vector<TestRow> List = {
    { "0", "R5", "AMD Ryzen 5", "5400.50" },
    { "0", "I5", "Intel Core i5", "6900" },
    { "0", "I7", "Intel Core i7", "11800" },
    { "0", "OLD", "Discontinued", "100" },
    { "2", "D4-16G", "DDR4 16GB, \"Fury\"", "1250" },
    { "5", "BIG", "Priced in exponent form", "1.5e20" },
    { "10", "KB-AR", QString::fromUtf16(u"\u0644\u0648\u062d\u0629"), "95" },
    { "90", "dt", "1/1/26 10:00", "0.00" },
};

QStringList costs(Store &store, const QString &category)
{
    const auto known = ItemCostTable(&store).readCategory(category);
    if (!known)
        qFatal("%s", qPrintable(known.error().text()));
    QStringList out;
    for (auto i = known->cbegin(); i != known->cend(); ++i)
        out << i.key() + "=" + i.value().text();
    out.sort();
    return out;
}

QStringList prices(const TestDb &db)
{
    QSqlQuery q("select category, id, price from adt where category <> '90' order by category, id", db.raw());
    QStringList out;
    while (q.next())
        out << q.value(0).toString() + "/" + q.value(1).toString() + "=" + q.value(2).toString();
    return out;
}

} // namespace

// What the list holds is written out and read back as it stands: every row unchanged, nothing to apply.
void TestPriceImport::exportThenImportChangesNothing_data()
{
    QTest::addColumn<QStringList>("rows"); // "category|id|description|price"; "<null>": no description
    QStringList shared;
    for (const TestRow &r : List) {
        if (r.category != "90")
            shared << QStringList { r.category, r.id, r.description, r.price }.join(u'|');
    }
    QTest::newRow("the list of these tests") << shared;
    QTest::newRow("a NULL description and an empty one") << QStringList { "0|R5|<null>|5400", "0|I5||6900" };
    QTest::newRow("blanks around ids and descriptions")
        << QStringList { "0| R5 | AMD Ryzen 5 |5400", "0|I5\t|\tIntel Core i5|6900", "2|  |two blanks|1" };
    QTest::newRow("negative prices, as the editor allows")
        << QStringList { "16|TRADE-IN|Old PC taken back|-1500", "16|DISCOUNT|Cash discount|-5.50" };
    QTest::newRow("quotes, delimiters and line breaks")
        << QStringList { "0|15\" LCD|Screen, 15\", \"matte\"|3000", "0|R;5|two\r\nlines|1" };
}

void TestPriceImport::exportThenImportChangesNothing()
{
    QFETCH(QStringList, rows);
    std::vector<TestRow> list { { "90", "dt", "1/1/26 10:00", "0.00" } };
    for (const QString &row : rows) {
        const QStringList p = row.split(u'|');
        list.push_back({ p[0], p[1], p[2] == "<null>" ? QString() : p[2], p[3] });
    }
    TestDb db(m_backend, list);
    QSqlQuery nulls("select count(*) from adt where description is null", db.raw());
    QVERIFY(nulls.next());
    QCOMPARE(nulls.value(0).toInt(), int(rows.filter("|<null>|").size()));
    nulls.finish();
    Store store(db.path, QStringLiteral("t-import-roundtrip"));
    QVERIFY(store.open());
    // With its costs too: the first item's is known, the others' are not.
    const TestRow &first = list[1];
    const StoreError costKept
        = ItemCostTable(&store).set({ first.category, first.id, std::nullopt, Price::fromStored("1080.5") },
            QDateTime::currentDateTime());
    QVERIFY2(!costKept.isValid(), qPrintable(costKept.text()));
    for (const bool withCosts : { false, true }) {
        const QString path = db.dir.filePath("export.csv");
        const PriceListExport exported = exportPriceList(store, std::nullopt, path, withCosts);
        QVERIFY2(exported.ok, qPrintable(exported.error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        SupplierImport::Reading reading = readBytes(file.readAll());
        QStringList problems;
        for (const SupplierFile::Problem &p : reading.problems)
            problems << QStringLiteral("%1: %2").arg(p.line).arg(p.reason);
        QCOMPARE(problems, QStringList {});
        QCOMPARE(reading.items.size(), size_t(rows.size()));
        QStringList costs;
        for (const SupplierImport::Item &item : reading.items) {
            if (item.cost)
                costs << item.id + "=" + *item.cost;
        }
        QCOMPARE(costs, withCosts ? QStringList { first.id + "=1080.5" } : QStringList {});
        PriceImport import(&store);
        const auto preview = import.preview(std::move(reading.items));
        QVERIFY(preview);
        for (size_t i = 0; i < preview->changedCount(); ++i)
            qWarning() << "changed:" << preview->changed(i).item.id;
        for (size_t i = 0; i < preview->addedCount(); ++i)
            qWarning() << "added:" << preview->added(i).id;
        QVERIFY(preview->changesNothing(true));
        QCOMPARE(preview->unchanged(), rows.size());
    }
}

void TestPriceImport::previewAndApply_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("remove");
    QTest::addColumn<QString>("sabotage");
    QTest::addColumn<QStringList>("preview"); // "+id", "~id old>new", "-id" (missing)
    QTest::addColumn<bool>("applied");
    QTest::addColumn<QStringList>("after");
    const QByteArray supplier = "id;description;price\n"
                                "R5;AMD Ryzen 5;5.600,00\n"
                                "I5;Intel Core i5;7.100\n"
                                "I7;Intel Core i7;12.000,5\n"
                                "N1;New one;100\n"
                                "N2;New two;200,25\n";
    // Category comes from a column in this one; semicolons and decimal commas, as many suppliers write.
    const QByteArray withCategory = "category;" + supplier.left(supplier.indexOf('\n')) + "\n"
        + QByteArray(supplier.mid(supplier.indexOf('\n') + 1)).replace("\n", "\n0;").chopped(2).prepend("0;");
    const QStringList raised { "+N1", "+N2", "~I5 6900>7100", "~I7 11800>12000.5", "~R5 5400.50>5600",
        "-OLD" };
    const QStringList untouched { "0/I5=6900", "0/I7=11800", "0/OLD=100", "0/R5=5400.50", "10/KB-AR=95",
        "2/D4-16G=1250", "5/BIG=1.5e20" };
    QTest::newRow("three raised, two added, one missing kept")
        << withCategory << false << "" << raised << true
        << QStringList { "0/I5=7100", "0/I7=12000.5", "0/N1=100", "0/N2=200.25", "0/OLD=100", "0/R5=5600",
               "10/KB-AR=95", "2/D4-16G=1250", "5/BIG=1.5e20" };
    QTest::newRow("the missing one removed when asked")
        << withCategory << true << "" << raised << true
        << QStringList { "0/I5=7100", "0/I7=12000.5", "0/N1=100", "0/N2=200.25", "0/R5=5600", "10/KB-AR=95",
               "2/D4-16G=1250", "5/BIG=1.5e20" };
    // Old lists may hold an id twice; both rows are the item the file lists, and removing the
    // missing ones must not take it away.
    QTest::newRow("an id the list holds twice is changed, not removed")
        << withCategory << true
        << "insert into adt (category, id, description, price) values ('0', 'I5', 'Intel i5, row 2', '6900')"
        << raised << true
        << QStringList { "0/I5=7100", "0/I5=7100", "0/I7=12000.5", "0/N1=100", "0/N2=200.25", "0/R5=5600",
               "10/KB-AR=95", "2/D4-16G=1250", "5/BIG=1.5e20" };
    // What a server receives as arrays of texts: quotes, backslashes, braces, commas and the word
    // NULL are ids like any other.
    QTest::newRow("ids with quotes, backslashes, braces and NULL")
        << QByteArray("category;id;description;price\n0;A\\B;back\\slash;10\n0;\"Q\"\"T\";quote \"q\";20\n"
                      "0;{X,Y};braces;30\n0;NULL;NULL;40\n")
        << false << "" << QStringList { "+A\\B", "+Q\"T", "+NULL", "+{X,Y}", "-I5", "-I7", "-OLD", "-R5" }
        << true
        << QStringList { "0/A\\B=10", "0/I5=6900", "0/I7=11800", "0/NULL=40", "0/OLD=100", "0/Q\"T=20",
               "0/R5=5400.50", "0/{X,Y}=30", "10/KB-AR=95", "2/D4-16G=1250", "5/BIG=1.5e20" };
    QTest::newRow("a refused write changes nothing")
        << withCategory << true
        << "create trigger t before insert on adt when new.id = 'N2' begin select raise(abort, 'full'); end"
        << raised << false << untouched;
}

void TestPriceImport::previewAndApply()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, remove);
    QFETCH(QString, sabotage);
    QFETCH(QStringList, preview);
    QFETCH(bool, applied);
    QFETCH(QStringList, after);
    if (sabotage.startsWith("create trigger") && m_backend == Backend::Server)
        QSKIP("the refusals are made with SQLite triggers");
    TestDb db(m_backend, List);
    if (!sabotage.isEmpty())
        db.exec(sabotage);
    Store store(db.path, QStringLiteral("t-import"));
    QVERIFY(store.open());
    SupplierImport::Reading reading = readBytes(file);
    QCOMPARE(reading.problems.size(), 0);
    PriceImport import(&store);
    const auto shown = import.preview(std::move(reading.items));
    QVERIFY(shown);
    QStringList seen;
    for (size_t i = 0; i < shown->addedCount(); ++i)
        seen << "+" + shown->added(i).id;
    for (size_t i = 0; i < shown->changedCount(); ++i) {
        const ImportChange c = shown->changed(i);
        seen << QStringLiteral("~%1 %2>%3").arg(c.item.id, c.oldPrice.value_or("-"), c.item.price);
    }
    for (size_t i = 0; i < shown->missingCount(); ++i)
        seen << "-" + shown->missing(i).id;
    std::sort(seen.begin() + 2, seen.end() - 1);
    QCOMPARE(seen, preview);
    QCOMPARE(shown->unchanged(), 0);
    const QDateTime when(QDate(2026, 12, 8), QTime(12, 0));
    QCOMPARE(!import.apply(*shown, remove, "supplier.csv", when).isValid(), applied);
    QCOMPARE(prices(db), after);
    QVERIFY(!db.descriptions("0", "I5").contains("Intel i5, row 2")); // each row of an id takes the file's
    PriceHistory history(&store);
    const bool raisedFile = file.contains("R5;");
    const auto r5 = history.changes("0", "R5");
    QVERIFY(r5);
    QCOMPARE(r5->size(), applied && raisedFile ? 1 : 0);
    if (applied) {
        // Every added item's history starts with its first price.
        for (const QString &line : preview) {
            if (line.startsWith(u'+'))
                QCOMPARE(history.changes("0", line.mid(1))->size(), 1);
        }
        if (raisedFile) {
            QCOMPARE(r5->first().source + "|" + r5->first().description, QString("supplier.csv|AMD Ryzen 5"));
            QCOMPARE(r5->first().oldPrice.value_or(""), QStringLiteral("5400.50"));
            QCOMPARE(history.changes("0", "OLD")->size(), remove ? 1 : 0);
        }
        QCOMPARE(db.descriptions("90", "dt").size(), 1);
        QVERIFY(db.descriptions("90", "dt").first() != QStringLiteral("1/1/26 10:00"));
    } else {
        QCOMPARE(db.descriptions("90", "dt"), QStringList { "1/1/26 10:00" });
    }
}

// A long file whose items all change price: the preview lists them in the file's order, whatever
// the order the list holds them in.
void TestPriceImport::changesKeepTheFilesOrder()
{
    std::vector<TestRow> rows;
    QByteArray file = "category,id,description,price\n";
    const int count = 3000;
    for (int i = 0; i < count; ++i) {
        // The file goes through the ids in an order of its own, neither the list's nor reversed.
        const int n = (i * 7919) % count;
        const QString id = QStringLiteral("ID%1").arg(n, 5, 10, QLatin1Char('0'));
        rows.push_back({ "0", id, "Item", "10.00" });
        file += "0," + id.toUtf8() + ",Item," + QByteArray::number(20 + n) + "\n";
    }
    TestDb db(m_backend, rows);
    Store store(db.path, QStringLiteral("t-import-order"));
    QVERIFY(store.open());
    SupplierImport::Reading reading = readBytes(file);
    QCOMPARE(reading.items.size(), size_t(count));
    PriceImport import(&store);
    const auto shown = import.preview(std::move(reading.items));
    QVERIFY(shown);
    QCOMPARE(shown->changedCount(), size_t(count));
    for (size_t i = 1; i < shown->changedCount(); ++i)
        QVERIFY2(
            shown->changed(i - 1).item.line < shown->changed(i).item.line, qPrintable(QString::number(i)));
}

// Cancel while a long file is written: not a row of it stays, nor a line of its history.
void TestPriceImport::cancelledApplyChangesNothing()
{
    std::vector<TestRow> rows;
    QByteArray file = "category,id,description,price\n";
    for (int i = 0; i < 5000; ++i) {
        const QString id = QStringLiteral("ID%1").arg(i);
        if (i % 2 == 0)
            rows.push_back({ "0", id, "Item", "10.00" });
        file += "0," + id.toUtf8() + ",Item,20\n";
    }
    TestDb db(m_backend, rows);
    Store store(db.path, QStringLiteral("t-import-cancel"));
    QVERIFY(store.open());
    const QStringList before = prices(db);
    SupplierImport::Reading reading = readBytes(file);
    PriceImport import(&store);
    const auto shown = import.preview(std::move(reading.items));
    QVERIFY(shown);
    QCOMPARE(shown->addedCount() + shown->changedCount(), size_t(5000));
    qint64 asked = 0;
    const auto stopAtTheSecond = [&](qint64 written, qint64 total) {
        [&] { QVERIFY(written > 0 && written < total && total == 5000); }();
        return ++asked < 2;
    };
    QVERIFY(
        import.apply(*shown, false, "supplier.csv", QDateTime::currentDateTime(), stopAtTheSecond).isValid());
    QCOMPARE(asked, 2);
    QCOMPARE(prices(db), before);
    QCOMPARE(PriceHistory(&store).changes("0", "ID1")->size(), 0);
    QCOMPARE(PriceHistory(&store).changes("0", "ID0")->size(), 0);
    QVERIFY(!import.apply(*shown, false, "supplier.csv", QDateTime::currentDateTime(), {}).isValid());
    QCOMPARE(PriceHistory(&store).changes("0", "ID0")->size(), 1);
}

void TestPriceImport::applyLeavesWhatChangedSincePreview_data()
{
    // What another counter's editor does between the preview and Apply: "update ID DESCRIPTION
    // PRICE", "add ID DESCRIPTION PRICE" or "delete ID".
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<bool>("remove");
    QTest::addColumn<QStringList>("changed"); // "id: seen > now", "-" for no item
    QTest::newRow("nothing") << "" << true << QStringList {};
    QTest::newRow("a price the file changes") << "update R5 AMD_Ryzen_5 5500" << true
                                              << QStringList { "R5: AMD Ryzen 5 5400.50 > AMD Ryzen 5 5500" };
    QTest::newRow("a description alone") << "update I5 Intel_i5_boxed 6900" << true
                                         << QStringList { "I5: Intel Core i5 6900 > Intel i5 boxed 6900" };
    QTest::newRow("an id the file adds")
        << "add N1 Early_bird 90" << true << QStringList { "N1: - > Early bird 90" };
    QTest::newRow("an item the file changes, deleted")
        << "delete R5" << true << QStringList { "R5: AMD Ryzen 5 5400.50 > -" };
    QTest::newRow("an item the file no longer lists, changed")
        << "update OLD Discontinued 80" << true << QStringList { "OLD: Discontinued 100 > Discontinued 80" };
    QTest::newRow("an item the file no longer lists, deleted") << "delete OLD" << true << QStringList {};
    QTest::newRow("an item the file no longer lists, kept")
        << "update OLD Discontinued 80" << false << QStringList {};
    QTest::newRow("an item the file lists as it is")
        << "update I7 Intel_Core_i7 11900" << true << QStringList {};
}

// Apply writes only over what its preview saw: an item another counter changed, added or deleted
// since is never overwritten or added twice. Then nothing at all is written, and those items are
// listed, as they were and as they are; previewed again, Apply records the price it replaced.
void TestPriceImport::applyLeavesWhatChangedSincePreview()
{
    QFETCH(QString, meanwhile);
    QFETCH(bool, remove);
    QFETCH(QStringList, changed);
    TestDb db(m_backend, List);
    Store store(db.path, QStringLiteral("t-import-meanwhile"));
    Store other(db.path, QStringLiteral("t-import-other"));
    QVERIFY(store.open() && other.open());
    const QByteArray file = "category;id;description;price\n"
                            "0;R5;AMD Ryzen 5;5600\n"
                            "0;I5;Intel Core i5 New;7100\n"
                            "0;I7;Intel Core i7;11800\n"
                            "0;N1;New one;100\n";
    SupplierImport::Reading reading = readBytes(file);
    PriceImport import(&store);
    const auto shown = import.preview(std::move(reading.items));
    QVERIFY(shown);
    QCOMPARE(shown->changedCount() + shown->addedCount() + shown->missingCount(), size_t(4));

    const QDateTime then(QDate(2026, 12, 8), QTime(11, 0));
    const QStringList step = meanwhile.split(u' ', Qt::SkipEmptyParts);
    PriceHistory editor(&other);
    if (!step.isEmpty()) {
        const auto seen = *PriceListRepository(&other).item("0", step[1]);
        const auto words = [](const QString &text) { return QString(text).replace(u'_', u' '); };
        CheckedChange done;
        if (step[0] == QLatin1String("add")) {
            done.error = editor.add({ "0", step[1], words(step[2]), step[3] }, then);
            done.outcome
                = done.error.isValid() ? CheckedChange::Outcome::Failed : CheckedChange::Outcome::Done;
        } else if (step[0] == QLatin1String("update")) {
            done = editor.updateIfUnchanged(*seen, { "0", step[1], words(step[2]), step[3] }, then);
        } else {
            done = editor.removeIfUnchanged(*seen, then);
        }
        QVERIFY2(done.outcome == CheckedChange::Outcome::Done, qPrintable(done.error.text()));
    }
    const QStringList before = prices(db);

    const QDateTime when(QDate(2026, 12, 8), QTime(12, 0));
    const StoreError failed = import.apply(*shown, remove, "supplier.csv", when);
    QCOMPARE(!failed.isValid(), changed.isEmpty());
    QStringList listed;
    const auto item = [](const std::optional<PriceListItem> &i) {
        return i ? i->description.value_or("") + " " + i->price.value_or("") : QStringLiteral("-");
    };
    for (const ImportConflict &c : import.changedMeanwhile())
        listed << c.id + ": " + item(c.seen) + " > " + item(c.now);
    QCOMPARE(listed, changed);
    PriceHistory history(&store);
    if (!changed.isEmpty()) {
        QVERIFY2(failed.text().endsWith(QLatin1String("as it is now.")), qPrintable(failed.text()));
        QCOMPARE(failed.kind(), StoreError::Kind::Conflict);
        QCOMPARE(prices(db), before); // nothing written
        QCOMPARE(db.descriptions("90", "dt"), QStringList { "1/1/26 10:00" });
        for (const QString id : { "R5", "I5", "N1", "OLD" }) {
            const auto changes = history.changes("0", id);
            QVERIFY(changes);
            for (const PriceChange &c : *changes)
                QCOMPARE(c.source, PriceHistory::EditorSource);
        }
        // Previewed again, the file applies over what the list holds now.
        const auto again = import.preview(std::move(readBytes(file).items));
        QVERIFY(again);
        const StoreError notApplied = import.apply(*again, remove, "supplier.csv", when);
        QVERIFY2(!notApplied.isValid(), qPrintable(notApplied.text()));
    }
    // No id is held twice, and the history names the price each change really replaced.
    QSqlQuery q("select count(*), count(distinct category || '/' || id) from adt", db.raw());
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), q.value(1).toInt());
    QStringList replaced;
    for (const QString id : { "R5", "I5", "N1" }) {
        const auto changes = history.changes("0", id);
        QVERIFY(changes && !changes->isEmpty());
        if (changes->first().source == QLatin1String("supplier.csv"))
            replaced << id + " " + changes->first().oldPrice.value_or("-") + ">" + *changes->first().newPrice;
    }
    QStringList expected;
    if (step.value(0) != QLatin1String("delete") || step.value(1) != QLatin1String("R5"))
        expected << "R5 " + QString(meanwhile.startsWith("update R5") ? "5500" : "5400.50") + ">5600";
    else
        expected << "R5 ->5600";
    expected << "I5 6900>7100";
    if (!meanwhile.startsWith("add N1"))
        expected << "N1 ->100";
    else
        expected << "N1 90>100";
    QCOMPARE(replaced, expected);
}

// A file of what the shop pays: each item's list price follows from its cost by the markup (here
// 20%, rounded up to 10), exactly; a price set by hand stays unless asked; costs are kept with it.
void TestPriceImport::costsPriceByTheMarkup_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("reprice");
    QTest::addColumn<QStringList>("preview"); // "~id old>new cost old>new [kept|repriced]", "+id price cost"
    QTest::addColumn<QStringList>("after"); // the category's prices
    QTest::addColumn<QStringList>("costsAfter");
    QTest::addColumn<QString>("meanwhile"); // "id=cost" another counter keeps after the preview
    const QByteArray file = "category;id;description;dealer price\n0;I5;Intel Core i5;5800\n"
                            "0;I7;Intel Core i7;10000\n0;R5;AMD Ryzen 5;4600\n0;N1;New one;99.99\n";
    QTest::newRow("by the markup; the hand-set price kept")
        << file << false
        << QStringList { "~I5 6900>6960 cost 5750>5800", "~I7 11800>12000 cost 9833.33>10000",
               "~R5 5400.50>5400.50 cost ->4600 kept", "+N1 120 cost 99.99" }
        << QStringList { "0/I5=6960", "0/I7=12000", "0/N1=120", "0/OLD=100", "0/R5=5400.50" }
        << QStringList { "I5=5800", "I7=10000", "N1=99.99", "R5=4600" } << QString();
    QTest::newRow("a cost changed at another counter after the preview: nothing written")
        << file << false
        << QStringList { "~I5 6900>6960 cost 5750>5800", "~I7 11800>12000 cost 9833.33>10000",
               "~R5 5400.50>5400.50 cost ->4600 kept", "+N1 120 cost 99.99" }
        << QStringList { "0/I5=6900", "0/I7=11800", "0/OLD=100", "0/R5=5400.50" }
        << QStringList { "I5=5760", "I7=9833.33" } << "I5=5760";
    QTest::newRow("the hand-set price re-priced when asked")
        << file << true
        << QStringList { "~I5 6900>6960 cost 5750>5800", "~I7 11800>12000 cost 9833.33>10000",
               "~R5 5400.50>5520 cost ->4600 repriced", "+N1 120 cost 99.99" }
        << QStringList { "0/I5=6960", "0/I7=12000", "0/N1=120", "0/OLD=100", "0/R5=5520" }
        << QStringList { "I5=5800", "I7=10000", "N1=99.99", "R5=4600" } << QString();
    QTest::newRow("list prices with their costs, as exported")
        << QByteArray("category;id;description;price;cost\n0;I5;Intel Core i5;6900;5000\n0;I7;Intel Core "
                      "i7;11800;\n")
        << false << QStringList { "~I5 6900>6900 cost 5750>5000" }
        << QStringList { "0/I5=6900", "0/I7=11800", "0/OLD=100", "0/R5=5400.50" }
        << QStringList { "I5=5000", "I7=9833.33" } << QString();
}

void TestPriceImport::costsPriceByTheMarkup()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, reprice);
    QFETCH(QStringList, preview);
    QFETCH(QStringList, after);
    QFETCH(QStringList, costsAfter);
    QFETCH(QString, meanwhile);
    TestDb db(m_backend, List);
    Store store(db.path, QStringLiteral("t-import-costs"));
    QVERIFY(store.open());
    const QDateTime before(QDate(2026, 12, 1), QTime(9, 0));
    for (const auto &[id, cost] : { std::pair { "I5", "5750" }, std::pair { "I7", "9833.33" } })
        QVERIFY(
            !ItemCostTable(&store).set({ "0", id, std::nullopt, Price::fromStored(cost) }, before).isValid());
    Markup::Rules rules;
    rules.defaultRule = { Decimal::fromInt(20), Markup::Step::Ten };
    QVERIFY(!MarkupRuleTable(&store).save(rules, Markup::Rules()).isValid());
    SupplierImport::Reading reading = readBytes(file);
    QCOMPARE(reading.problems.size(), 0);
    PriceImport import(&store);
    const auto shown = reading.items.size() && reading.items.cost(0) && reading.items.price(0).isEmpty()
        ? import.preview(std::move(reading.items), CostPricing { rules, reprice })
        : import.preview(std::move(reading.items));
    QVERIFY(shown);
    QStringList seen;
    for (size_t i = 0; i < shown->changedCount(); ++i) {
        const ImportChange c = shown->changed(i);
        seen << QStringLiteral("~%1 %2>%3 cost %4>%5%6")
                    .arg(c.item.id, c.oldPrice.value_or("-"), c.item.price, c.oldCost.value_or("-"),
                        c.item.cost.value_or("-"),
                        c.handSet == HandSetPrice::Kept           ? " kept"
                            : c.handSet == HandSetPrice::Repriced ? " repriced"
                                                                  : "");
    }
    for (size_t i = 0; i < shown->addedCount(); ++i) {
        const SupplierImport::Item item = shown->added(i);
        seen << QStringLiteral("+%1 %2 cost %3").arg(item.id, item.price, item.cost.value_or("-"));
    }
    QCOMPARE(seen, preview);
    if (!meanwhile.isEmpty()) {
        Store other(db.path, QStringLiteral("t-import-costs-other"));
        QVERIFY(other.open());
        const QString id = meanwhile.section(u'=', 0, 0);
        const auto was = ItemCostTable(&other).read("0", id);
        QVERIFY(was);
        QVERIFY(!ItemCostTable(&other)
                     .set({ "0", id, *was, Price::fromStored(meanwhile.section(u'=', 1)) },
                         QDateTime::currentDateTime())
                     .isValid());
    }
    const StoreError applied
        = import.apply(*shown, false, "nile_2026-12.csv", QDateTime(QDate(2026, 12, 8), QTime(12, 0)));
    QCOMPARE(applied.kind(), meanwhile.isEmpty() ? StoreError::Kind::None : StoreError::Kind::Conflict);
    QCOMPARE(prices(db).filter(QRegularExpression("^0/")), after);
    QCOMPARE(costs(store, "0"), costsAfter);
}

// Next month's file of a supplier, named by another date, opens with this month's columns.
void TestPriceImport::supplierFilesShareTheirMapping()
{
    TestDb db(m_backend, List);
    Store store(db.path, QStringLiteral("t-import-columns"));
    QVERIFY(store.open());
    ImportColumns columns(&store);
    QVERIFY(!columns.remember("nile_2026-12.csv", "0,1,2,3,1,comma,,prices:cost").isValid());
    QCOMPARE(*columns.remembered("nile_2027-01.csv"), std::optional<QString>("0,1,2,3,1,comma,,prices:cost"));
    QCOMPARE(*columns.remembered("delta_2027-01.csv"), std::nullopt);
    // The file's own name comes first.
    QVERIFY(!columns.remember("nile_2027-01.csv", "-1,0,1,2,1,point,0").isValid());
    QCOMPARE(*columns.remembered("nile_2026-12.csv"), std::optional<QString>("0,1,2,3,1,comma,,prices:cost"));
    QCOMPARE(*columns.remembered("nile_2027-02.csv"), std::optional<QString>("-1,0,1,2,1,point,0"));
}

// New markup rules move the prices the old rules gave, when asked; a price set by hand and an item
// without a cost stay as they are.
void TestPriceImport::changedRulesRepriceTheirPricesOnly()
{
    TestDb db(m_backend, List);
    Store store(db.path, QStringLiteral("t-markup-reprice"));
    QVERIFY(store.open());
    // I5 and I7 are priced by 20% rounded up to 10; R5's price was typed by hand.
    for (const auto &[id, cost] :
        { std::pair { "I5", "5750" }, std::pair { "I7", "9833.33" }, std::pair { "R5", "4600" } })
        QVERIFY(!ItemCostTable(&store)
                     .set({ "0", id, std::nullopt, Price::fromStored(cost) }, QDateTime::currentDateTime())
                     .isValid());
    Markup::Rules was;
    was.defaultRule = { Decimal::fromInt(20), Markup::Step::Ten };
    Markup::Rules now;
    now.defaultRule = { Decimal::fromInt(25), Markup::Step::Fifty };
    MarkupReprice reprice(&store);
    const auto shown = reprice.preview(was, now);
    QVERIFY(shown);
    QStringList seen;
    for (size_t i = 0; i < shown->changedCount(); ++i)
        seen << shown->changed(i).item.id + ": " + shown->changed(i).oldPrice.value_or("-") + ">"
                + shown->changed(i).item.price;
    QCOMPARE(seen, (QStringList { "I5: 6900>7200", "I7: 11800>12300" }));
    QCOMPARE(shown->addedCount(), size_t(0));
    QVERIFY(!reprice.apply(*shown, QDateTime::currentDateTime()).isValid());
    QCOMPARE(prices(db).filter(QRegularExpression("^0/")),
        (QStringList { "0/I5=7200", "0/I7=12300", "0/OLD=100", "0/R5=5400.50" }));
    const auto history = PriceHistory(&store).changes("0", "I5");
    QVERIFY(history);
    QVERIFY(std::any_of(history->cbegin(), history->cend(), [](const PriceChange &c) {
        return c.source == MarkupReprice::source() && c.oldPrice == "6900" && c.newPrice == "7200";
    }));
    QCOMPARE(costs(store, "0"), (QStringList { "I5=5750", "I7=9833.33", "R5=4600" }));
}

BRASKO_TEST_ON_BOTH_BACKENDS(TestPriceImport)
#include "tst_priceimport.moc"
