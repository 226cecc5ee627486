#include "store/pricelistrepository.h"
#include "support/testdb.h"

#include <QSqlQuery>
#include <QTest>

namespace
{

// Every row outside the category a test works in, exactly as stored.
QStringList rowsOutside(const TestDb &db, const QString &category)
{
    QSqlQuery q(db.raw());
    q.prepare("select category,id,description,price from adt where category <> ? order by " + db.rowKey());
    q.addBindValue(category);
    q.exec();
    QStringList rows;
    while (q.next())
        rows << QStringList { q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
            q.value(3).toString() }
                    .join(u'|');
    return rows;
}

} // namespace

// The repository against a real db.mdb and a real PostgreSQL database: values go in and come back
// exactly, and no text can reach beyond the rows it names.
class TestPriceListRepository : public QObject
{
    Q_OBJECT

public:
    explicit TestPriceListRepository(Backend backend)
        : m_backend(backend)
    {
    }

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void textsComeBackExactly_data();
    void textsComeBackExactly();
    void unstorableTextsAreRefused_data();
    void unstorableTextsAreRefused();
    void listIsOrderedAndScoped();
    void changesTouchOnlyTheNamedItem();
    void missingItemIsNoError();
    void removeRowTakesOnlyThatRow_data();
    void removeRowTakesOnlyThatRow();
    void failedSettingsRewriteKeepsOldRows();
    void dateStampReplacesRow();
    void checkedChange_data();
    void checkedChange();

private:
    Backend m_backend;
    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<PriceListRepository> m_repo;
};

void TestPriceListRepository::initTestCase()
{
    BRASKO_START_BACKEND(m_backend);
}

void TestPriceListRepository::init()
{
    m_db = std::make_unique<TestDb>(m_backend,
        std::vector<TestRow> {
            { "2", "A", "first", "1.00" },
            { "2", "C", "third", "3.00" },
            { "2", "B", "second", "2.00" },
            { "20", "A", "other category", "9.00" },
            { "90", "company", "Shop", "0.00" },
            { "90", "sp", "Seller", "0.00" },
        });
    m_store = std::make_unique<Store>(m_db->path, QStringLiteral("t-repo"));
    QVERIFY(m_store->open());
    m_repo = std::make_unique<PriceListRepository>(m_store.get());
}

void TestPriceListRepository::cleanup()
{
    m_repo.reset();
    m_store.reset();
    m_db.reset();
}

void TestPriceListRepository::textsComeBackExactly_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("price");
    QTest::newRow("quotes") << "O'NEIL"
                            << "it's \"quoted\"; --"
                            << "12.345";
    QTest::newRow("statement in a value") << "X'); delete from adt; --"
                                          << "' or '1'='1"
                                          << "0.00";
    QTest::newRow("arabic") << QString::fromUtf8("معالج") << QString::fromUtf8("ذاكرة ١٦ جيجا") << "1250";
    QTest::newRow("emoji and blanks") << " E " << QString::fromUtf8("fast 🚀 ") << " 5.5 ";
    QTest::newRow("long") << QString(300, 'I') << QString(10000, 'd') << "1e20";
    QTest::newRow("quote and inch mark") << "O'NEIL 15\""
                                         << "Intel's \"best\""
                                         << "5";
    QTest::newRow("always-true condition") << "x' or '1'='1"
                                           << "'); delete from adt; --"
                                           << "5";
    QTest::newRow("statement as description") << "X"
                                              << "x'); delete from adt; --"
                                              << "x'); delete from adt; --";
    QTest::newRow("only quotes") << "''"
                                 << "'"
                                 << "'";
    QTest::newRow("arabic with quotes")
        << QString::fromUtf8("قرص 'صلب'") << QString::fromUtf8("\"سريع\" جدا") << QString::fromUtf8("١٢٥٠");
    QTest::newRow("empty id and description") << ""
                                              << ""
                                              << "";
}

void TestPriceListRepository::textsComeBackExactly()
{
    QFETCH(QString, id);
    QFETCH(QString, description);
    QFETCH(QString, price);
    const int before = m_db->count();
    const QStringList others = rowsOutside(*m_db, "5");
    const StoreError added = m_repo->add({ "5", id, description, price });
    QVERIFY2(!added.isValid(), qPrintable(added.text()));
    QCOMPARE(m_db->descriptions("5", id), QStringList { description }); // as another reader sees it
    auto read = m_repo->item("5", id);
    QVERIFY(read && *read);
    const PriceListItem &found = **read;
    QCOMPARE(found.description, std::optional<QString>(description));
    QCOMPARE(found.price, std::optional<QString>(price));
    QVERIFY(!m_repo->update({ "5", id, description + "!", price + "0" }).isValid());
    QCOMPARE((*m_repo->item("5", id))->description, std::optional<QString>(description + "!"));
    QVERIFY(!m_repo->remove("5", id).isValid());
    QVERIFY(!*m_repo->item("5", id));
    QCOMPARE(m_db->count(), before);
    QCOMPARE(rowsOutside(*m_db, "5"), others);
}

void TestPriceListRepository::unstorableTextsAreRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("nul") << QString(QChar(0)) + "x"
                         << "NUL";
    QTest::newRow("U+FFFF") << QString(QChar(0xFFFF)) << "U+FFFF";
}

void TestPriceListRepository::unstorableTextsAreRefused()
{
    QFETCH(QString, text);
    QFETCH(QString, reason);
    const int before = m_db->count();
    const StoreError refused = m_repo->add({ "5", "ID", text, "1.00" });
    QVERIFY2(refused.text().contains(reason), qPrintable(refused.text()));
    QVERIFY(m_repo->rewriteSettings({ { "company", text } }).isValid());
    QCOMPARE(m_db->count(), before);
    QCOMPARE(*m_repo->setting("company"), std::optional<QString>("Shop"));
}

void TestPriceListRepository::listIsOrderedAndScoped()
{
    auto read = m_repo->items("2", PriceListRepository::Order::IdDescending);
    QVERIFY(read && *read);
    auto rows = *std::move(read);
    QStringList ids;
    for (bool ok = rows->moveFirst(); ok; ok = rows->moveNext())
        ids << *rows->text("ID");
    QCOMPARE(ids, QStringList({ "C", "B", "A" }));
    // The grid shows the columns under these names on either engine.
    QCOMPARE(rows->model()->headerData(0, Qt::Horizontal).toString(), QString("ID"));
    QCOMPARE(rows->model()->headerData(2, Qt::Horizontal).toString(), QString("Price"));
}

void TestPriceListRepository::changesTouchOnlyTheNamedItem()
{
    QVERIFY(!m_repo->update({ "2", "A", "changed", "1.50" }).isValid());
    QCOMPARE(m_db->descriptions("20", "A"), QStringList({ "other category" }));
    QCOMPARE(m_db->descriptions("2", "A"), QStringList({ "changed" }));
    QVERIFY(!m_repo->remove("2", "B").isValid());
    QCOMPARE(m_db->descriptions("2", "C"), QStringList({ "third" }));
    QCOMPARE(m_db->count(), 5);
}

void TestPriceListRepository::missingItemIsNoError()
{
    const auto nothing = m_repo->item("2", "nothing");
    QVERIFY(nothing && !*nothing);
    QVERIFY(!nothing.error().isValid());
    QVERIFY(!*m_repo->item("9", "A")); // "9" and "90" are different categories
}

void TestPriceListRepository::removeRowTakesOnlyThatRow_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("changeBefore"); // a raw statement run between lookup and removal
    QTest::addColumn<QStringList>("left"); // descriptions of category 6 / id afterwards

    QTest::newRow("repeated id") << "R"
                                 << "" << QStringList { "second", "third" };
    QTest::newRow("empty ids") << ""
                               << "" << QStringList { "second", "third" };
    // The row was renamed after the lookup: its key now names another item, which stays.
    QTest::newRow("stale key") << "R"
                               << "update adt set id = 'OTHER' where category = '6' and description = 'first'"
                               << QStringList { "second", "third" };
}

void TestPriceListRepository::removeRowTakesOnlyThatRow()
{
    QFETCH(QString, id);
    QFETCH(QString, changeBefore);
    QFETCH(QStringList, left);
    for (const char *description : { "first", "second", "third" })
        m_db->insert({ "6", id, description, "1" });
    m_db->insert({ "7", id, "other category", "1" });
    const QStringList others = rowsOutside(*m_db, "6");
    const auto read = m_repo->item("6", id);
    QVERIFY(read && *read && (*read)->rowKey);
    const PriceListItem &found = **read;
    QCOMPARE(found.description, std::optional<QString>("first"));
    if (!changeBefore.isEmpty())
        m_db->exec(changeBefore);
    QVERIFY(!m_repo->removeRow(found).isValid());
    QCOMPARE(m_db->descriptions("6", id), left);
    QCOMPARE(rowsOutside(*m_db, "6"), others);
    if (!changeBefore.isEmpty())
        QCOMPARE(m_db->descriptions("6", "OTHER"), QStringList { "first" });
}

void TestPriceListRepository::failedSettingsRewriteKeepsOldRows()
{
    m_db->refuseInsertsOf("sp");
    QVERIFY(m_repo->rewriteSettings({ { "company", "New shop" }, { "sp", "New seller" } }).isValid());
    QCOMPARE(*m_repo->setting("company"), std::optional<QString>("Shop"));
    QCOMPARE(*m_repo->setting("sp"), std::optional<QString>("Seller"));
}

void TestPriceListRepository::dateStampReplacesRow()
{
    m_db->insert({ "90", "dt", "old", "0.00" });
    m_db->insert({ "90", "dt", "older", "0.00" });
    QVERIFY(!m_repo->stampDate(QDateTime(QDate(2026, 12, 8), QTime(0, 0))).isValid());
    QCOMPARE(m_db->descriptions("90", "dt").size(), 1);
    QVERIFY((*m_repo->setting("dt"))->contains("2026"));
}

void TestPriceListRepository::checkedChange_data()
{
    QTest::addColumn<bool>("remove"); // else update
    QTest::addColumn<QString>("meanwhile"); // what another counter did after the item was read
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QStringList>("left"); // descriptions of 2/A afterwards
    QTest::addColumn<QString>("currentDescription"); // told when it was changed meanwhile

    using O = CheckedChange::Outcome;
    const QString newPrice = "update adt set price = '1.25' where category = '2' and id = 'A'";
    const QString newText = "update adt set description = 'theirs' where category = '2' and id = 'A'";
    const QString gone = "delete from adt where category = '2' and id = 'A'";
    QTest::newRow("update, nobody else") << false << "" << int(O::Done) << QStringList { "mine" } << "";
    QTest::newRow("update, price changed meanwhile")
        << false << newPrice << int(O::ChangedMeanwhile) << QStringList { "first" } << "first";
    QTest::newRow("update, description changed meanwhile")
        << false << newText << int(O::ChangedMeanwhile) << QStringList { "theirs" } << "theirs";
    QTest::newRow("update, removed meanwhile")
        << false << gone << int(O::GoneMeanwhile) << QStringList {} << "";
    QTest::newRow("remove, nobody else") << true << "" << int(O::Done) << QStringList {} << "";
    QTest::newRow("remove, price changed meanwhile")
        << true << newPrice << int(O::ChangedMeanwhile) << QStringList { "first" } << "first";
    QTest::newRow("remove, removed meanwhile")
        << true << gone << int(O::GoneMeanwhile) << QStringList {} << "";
    QTest::newRow("update of a row without a description")
        << false << "update adt set description = null where category = '2' and id = 'A'" << int(O::Done)
        << QStringList { "mine" } << "";
}

void TestPriceListRepository::checkedChange()
{
    QFETCH(bool, remove);
    QFETCH(QString, meanwhile);
    QFETCH(QStringList, left);
    QFETCH(QString, currentDescription);
    const bool seenAfter = meanwhile.contains("null"); // read after the change: nothing to tell
    if (seenAfter)
        m_db->exec(meanwhile);
    const auto read = m_repo->item("2", "A");
    QVERIFY(read && *read);
    const PriceListItem &seen = **read;
    if (!seenAfter && !meanwhile.isEmpty())
        m_db->exec(meanwhile);
    const CheckedChange result = remove ? m_repo->removeIfUnchanged(seen)
                                        : m_repo->updateIfUnchanged(seen, { "2", "A", "mine", "9.99" });
    QTEST(int(result.outcome), "outcome");
    QCOMPARE(m_db->descriptions("2", "A"), left);
    QCOMPARE(result.current ? result.current->description.value_or("") : QString(), currentDescription);
    QCOMPARE(m_db->descriptions("20", "A"), QStringList { "other category" });
}

BRASKO_TEST_ON_BOTH_BACKENDS(TestPriceListRepository)
#include "tst_pricelistrepository.moc"
