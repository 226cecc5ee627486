#include "store/countersettings.h"
#include "store/pricelistrepository.h"
#include "support/testdb.h"

#include <QFile>
#include <QProcess>
#include <QTest>

// The settings rows and the store's statements, on db.mdb and on a PostgreSQL database alike; what
// only a file can do (be missing, be garbage, be deleted) is tried on the file alone.
class TestStore : public QObject
{
    Q_OBJECT

public:
    explicit TestStore(Backend backend)
        : m_backend(backend)
    {
    }

private Q_SLOTS:
    void initTestCase();
    void neverCreatesTheFile();
    void refusesWhatIsNotADatabase();
    void settingsRoundTrip_data();
    void settingsRoundTrip();
    void firstOfTwoRowsIsReadAndOneRemains();
    void failedInsertKeepsTheOldRow();
    void recordSetMoves();
    void nulIsRefused();
    void settingsSaveTogether();
    void deletedFileIsNamed();
    void locksAreTakenInTurn();
    void settingsWrittenAtOnceKeepOneRow_data();
    void settingsWrittenAtOnceKeepOneRow();
    void unreadSettingsAreNotWritten_data();
    void unreadSettingsAreNotWritten();
    void listGetsItsIndex_data();
    void listGetsItsIndex();

private:
    Backend m_backend;
};

void TestStore::initTestCase()
{
    BRASKO_START_BACKEND(m_backend);
}

void TestStore::neverCreatesTheFile()
{
    if (m_backend == Backend::Server)
        QSKIP("a matter of the db.mdb file");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    Store store(path, QStringLiteral("t-missing"));
    QVERIFY(!store.open());
    QVERIFY(!QFile::exists(path));
    QVERIFY(store.connectionString().contains(QStringLiteral("db.mdb")));
}

void TestStore::refusesWhatIsNotADatabase()
{
    if (m_backend == Backend::Server)
        QSKIP("a matter of the db.mdb file");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    Store store(path, QStringLiteral("t-garbage"));
    QVERIFY(!store.open());
    QVERIFY(store.lastError().isValid());
}

void TestStore::settingsRoundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("apostrophe") << "Ahmed's PCs";
    QTest::newRow("injection") << "x'); delete from adt; --";
    QTest::newRow("trailing blank") << "Delta Computers ";
    QTest::newRow("arabic and emoji") << QString::fromUtf8("دلتا للكمبيوتر \xF0\x9F\x96\xA5");
    QTest::newRow("empty") << "";
    QTest::newRow("long") << QString(100 * 1024, u'q');
}

void TestStore::settingsRoundTrip()
{
    QFETCH(QString, value);
    TestDb db(m_backend, { { "1", "X", "an item", "10" } });
    Store store(db.path, QStringLiteral("t-roundtrip"));
    QVERIFY(store.open());
    QVERIFY(!PriceListRepository(&store).rewriteSettings({ { QStringLiteral("company"), value } }).isValid());
    QCOMPARE(*PriceListRepository(&store).setting(QStringLiteral("company")), std::optional<QString>(value));
    QCOMPARE(db.count(), 2); // the item survived whatever the text held
}

void TestStore::firstOfTwoRowsIsReadAndOneRemains()
{
    TestDb db(m_backend, { { "90", "company", "first", "0.00" }, { "90", "company", "second", "0.00" } });
    Store store(db.path, QStringLiteral("t-two"));
    QVERIFY(store.open());
    QCOMPARE(**PriceListRepository(&store).setting(QStringLiteral("company")), QStringLiteral("first"));
    QVERIFY(!PriceListRepository(&store)
                 .rewriteSettings({ { QStringLiteral("company"), QStringLiteral("third") } })
                 .isValid());
    QCOMPARE(db.descriptions(QStringLiteral("90"), QStringLiteral("company")),
        QStringList { QStringLiteral("third") });
}

void TestStore::failedInsertKeepsTheOldRow()
{
    TestDb db(m_backend, { { "90", "sp", "Mona", "0.00" } });
    db.refuseInsertsOf(QStringLiteral("sp"));
    Store store(db.path, QStringLiteral("t-fail"));
    QVERIFY(store.open());
    QVERIFY(PriceListRepository(&store)
                .rewriteSettings({ { QStringLiteral("sp"), QStringLiteral("Someone else") } })
                .isValid());
    QVERIFY(store.lastError().text().contains(QStringLiteral("refused")));
    QCOMPARE(
        db.descriptions(QStringLiteral("90"), QStringLiteral("sp")), QStringList { QStringLiteral("Mona") });
}

void TestStore::recordSetMoves()
{
    TestDb db(m_backend, { { "5", "A", "a", "1" }, { "5", "B", "b", "2" }, { "5", "C", "c", "3" } });
    Store store(db.path, QStringLiteral("t-rs"));
    QVERIFY(store.open());
    auto rs
        = store.query(QStringLiteral("select id as \"ID\",description as \"Description\",price as \"Price\" "
                                     "from adt where category = ? order by id desc"),
            { QStringLiteral("5") });
    QVERIFY(rs);
    QVERIFY(rs->moveFirst());
    QCOMPARE(*rs->text(QStringLiteral("id")), QStringLiteral("C"));
    QVERIFY(rs->moveLast());
    QCOMPARE(*rs->text(QStringLiteral("ID")), QStringLiteral("A"));
    QVERIFY(!rs->moveNext()); // past the end: nothing to read
    QVERIFY(!rs->text(QStringLiteral("id")));
    QVERIFY(rs->movePrevious());
    QCOMPARE(*rs->text(QStringLiteral("id")), QStringLiteral("A"));
    QCOMPARE(*rs->text(QStringLiteral("price")), QStringLiteral("1"));
    QVERIFY(!store.query(QStringLiteral("select nonsense from nowhere"), {}));
}

void TestStore::nulIsRefused()
{
    // Texts SQLite would cut or change are refused with the reason; the old row stays.
    TestDb db(m_backend, { { "90", "company", "Old", "0.00" } });
    Store store(db.path, QStringLiteral("t-nul"));
    QVERIFY(store.open());
    const std::pair<QString, const char *> cases[] = {
        { QStringLiteral("a") + QChar(0) + QStringLiteral("b"), "NUL" },
        { QStringLiteral("a") + QChar(0xFFFE), "U+FFFE, which is not a character" },
        { QStringLiteral("a") + QChar(0xD800), "U+D800, half of a character pair" },
        { QStringLiteral("a") + QChar(0xFFFF) + QStringLiteral("b"), "U+FFFF, which is not a character" },
    };
    for (const auto &[text, reason] : cases) {
        QVERIFY(
            PriceListRepository(&store).rewriteSettings({ { QStringLiteral("company"), text } }).isValid());
        QVERIFY2(store.lastError().text().contains(QLatin1String(reason)), reason);
        // Said in a sentence, not shouted: only the code is in capitals; and nothing after it.
        QVERIFY2(store.lastError().text().endsWith(QLatin1String("cannot be stored.")),
            qPrintable(store.lastError().text()));
        QCOMPARE(**PriceListRepository(&store).setting(QStringLiteral("company")), QStringLiteral("Old"));
    }
    const QString emoji = QString::fromUtf8("\xF0\x9F\x96\xA5");
    QVERIFY(!PriceListRepository(&store).rewriteSettings({ { QStringLiteral("company"), emoji } }).isValid());
    QCOMPARE(**PriceListRepository(&store).setting(QStringLiteral("company")), emoji);
}

void TestStore::settingsSaveTogether()
{
    if (m_backend == Backend::Server)
        QSKIP("a matter of the db.mdb file");
    TestDb db(m_backend, { { "90", "company", "Old Shop", "0.00" }, { "90", "sp", "Old Seller", "0.00" } });
    db.exec(QStringLiteral("create table log (statement text)"));
    db.exec(QStringLiteral("create trigger log_delete before delete on adt begin insert into log values "
                           "('delete ' || old.id); end"));
    db.exec(QStringLiteral("create trigger log_insert before insert on adt begin insert into log values "
                           "('insert ' || new.id); end"));
    Store store(db.path, QStringLiteral("t-together"));
    QVERIFY(store.open());
    QVERIFY(!PriceListRepository(&store)
                 .rewriteSettings({ { "company", "New Shop" }, { "sp", "New Seller" } })
                 .isValid());
    QSqlQuery q(QStringLiteral("select statement from log"), db.raw());
    QStringList order;
    while (q.next())
        order << q.value(0).toString();
    QCOMPARE(order, (QStringList { "delete company", "delete sp", "insert company", "insert sp" }));

    db.exec(QStringLiteral(
        "create trigger no_sp before insert on adt when new.id = 'sp' begin select raise(abort, 'no'); end"));
    QVERIFY(PriceListRepository(&store)
                .rewriteSettings({ { "company", "Newer Shop" }, { "sp", "Newer Seller" } })
                .isValid());
    QCOMPARE(db.descriptions("90", "company"), QStringList { "New Shop" }); // nothing half-saved
    QCOMPARE(db.descriptions("90", "sp"), QStringList { "New Seller" });
}

void TestStore::deletedFileIsNamed()
{
    if (m_backend == Backend::Server)
        QSKIP("a matter of the db.mdb file");
    TestDb db(m_backend, { { "90", "company", "Old Shop", "0.00" } });
    Store store(db.path, QStringLiteral("t-deleted"));
    QVERIFY(store.open());
    QVERIFY(store.isWritable());
    QVERIFY(QFile::remove(db.path));
    QVERIFY(PriceListRepository(&store)
                .rewriteSettings({ { QStringLiteral("company"), QStringLiteral("New") } })
                .isValid());
    QVERIFY2(store.lastError().text().contains(QStringLiteral("deleted or moved")),
        qPrintable(store.lastError().text()));
    QVERIFY(!QFile::exists(db.path));
}

void TestStore::locksAreTakenInTurn()
{
    TestDb db(m_backend, {});
    Store first(db.path, QStringLiteral("t-lock-1"));
    Store second(db.path, QStringLiteral("t-lock-2"));
    QVERIFY(first.open() && second.open());
    QVERIFY(!first.lock(QStringLiteral("list"), Store::LockMode::Shared)); // only inside a transaction
    const bool serverOnly = m_backend == Backend::Server;
    QVERIFY(first.inTransaction([&] {
        if (!first.lock(QStringLiteral("list"), Store::LockMode::Shared))
            return false;
        // Another shared holder goes along; an exclusive one is told at once, on a server.
        bool sharedToo = false;
        bool exclusive = false;
        second.inTransaction([&] {
            sharedToo
                = second.lock(QStringLiteral("list"), Store::LockMode::Shared, Store::LockWait::DoNotWait);
            return false;
        });
        second.inTransaction([&] {
            exclusive
                = second.lock(QStringLiteral("list"), Store::LockMode::Exclusive, Store::LockWait::DoNotWait);
            return false;
        });
        return sharedToo && exclusive == !serverOnly && (!serverOnly || second.lastErrorIsBusy());
    }));
    // Released with the transaction.
    QVERIFY(second.inTransaction([&] {
        return second.lock(QStringLiteral("list"), Store::LockMode::Exclusive, Store::LockWait::DoNotWait);
    }));
}

void TestStore::settingsWrittenAtOnceKeepOneRow_data()
{
    QTest::addColumn<bool>("shopNameRow"); // whether the server holds one before
    QTest::newRow("shop-name row") << true;
    QTest::newRow("no shop-name row yet") << false;
}

// Two counters closing at the same moment, each writing the shop name its person typed: the second
// waits for the first one's rewrite, and exactly one row is left, the later one's.
void TestStore::settingsWrittenAtOnceKeepOneRow()
{
    QFETCH(bool, shopNameRow);
    if (m_backend == Backend::File)
        QSKIP("a file lets one program write at a time");
    TestDb db(m_backend,
        shopNameRow ? std::vector<TestRow> { { "90", "company", "Old Shop", "0.00" } }
                    : std::vector<TestRow> {});
    QTemporaryDir home;
    Store store(db.path, QStringLiteral("t-settings-first"));
    QVERIFY(store.open());
    CounterSettings first(&store, QStringLiteral("Company Name and Tel"), QStringLiteral("Sales Executive"),
        home.filePath(QStringLiteral("first.conf")));
    first.load();
    first.changeCompany(QStringLiteral("First Counter"));
    const auto someoneWaitsForALock = [&db] {
        QSqlQuery q(db.raw());
        return q.exec(QStringLiteral("select count(*) from pg_stat_activity where wait_event_type = 'Lock'"))
            && q.next() && q.value(0).toInt() > 0;
    };
    QProcess second;
    QVERIFY(store.inTransaction([&] {
        // The first counter's rewrite is done but not yet committed when the second one writes.
        if (first.save().isValid())
            return false;
        second.start(QStringLiteral(SETTINGS_WRITER),
            { db.path, home.filePath(QStringLiteral("second.conf")), QStringLiteral("Second Counter") });
        if (!second.waitForStarted())
            return false;
        while (second.state() != QProcess::NotRunning && !someoneWaitsForALock())
            second.waitForFinished(10);
        return true;
    }));
    QVERIFY(second.state() == QProcess::NotRunning || second.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(second.readAllStandardOutput()), QStringLiteral("saved\n"));
    QCOMPARE(db.descriptions(QStringLiteral("90"), QStringLiteral("company")),
        QStringList { QStringLiteral("Second Counter") });
}

void TestStore::unreadSettingsAreNotWritten_data()
{
    QTest::addColumn<QString>("typedShop"); // empty: nothing typed
    QTest::addColumn<QString>("shopAfter");
    QTest::newRow("nothing typed") << QString() << QStringLiteral("Old Shop");
    QTest::newRow("shop name typed") << QStringLiteral("New Shop") << QStringLiteral("New Shop");
}

// The settings could not be read when the counter started (the table away for a moment): closing
// writes only what its person typed, never the boxes' first texts over the stored names.
void TestStore::unreadSettingsAreNotWritten()
{
    QFETCH(QString, typedShop);
    QFETCH(QString, shopAfter);
    TestDb db(m_backend, { { "90", "company", "Old Shop", "0.00" }, { "90", "sp", "Old Seller", "0.00" } });
    QTemporaryDir home;
    Store store(db.path, QStringLiteral("t-unread"));
    QVERIFY(store.open());
    CounterSettings settings(&store, QStringLiteral("Company Name and Tel"),
        QStringLiteral("Sales Executive"), home.filePath(QStringLiteral("counter.conf")));
    db.exec(QStringLiteral("alter table adt rename to adt_away"));
    const StoreError unread = settings.load();
    db.exec(QStringLiteral("alter table adt_away rename to adt"));
    QVERIFY(unread.isValid());
    QCOMPARE(settings.company(), QStringLiteral("Company Name and Tel"));
    if (!typedShop.isEmpty())
        settings.changeCompany(typedShop);
    const StoreError failure = settings.save();
    QVERIFY2(!failure.isValid(), qPrintable(failure.text()));
    QCOMPARE(db.descriptions(QStringLiteral("90"), QStringLiteral("company")), QStringList { shopAfter });
    QCOMPARE(db.descriptions(QStringLiteral("90"), QStringLiteral("sp")),
        QStringList { QStringLiteral("Old Seller") });
}

void TestStore::listGetsItsIndex_data()
{
    QTest::addColumn<QStringList>("before"); // what another program did to the list
    QTest::addColumn<int>("indexes");
    const QString drop = QStringLiteral("drop index adt_category_id");
    QTest::newRow("made by Brasko") << QStringList() << 1;
    QTest::newRow("no index") << QStringList { drop } << 1;
    QTest::newRow("another name, other case")
        << QStringList { drop, QStringLiteral("create index byitem on adt (Category, ID)") } << 1;
    QTest::newRow("on id only") << QStringList { drop, QStringLiteral("create index byid on adt (id)") } << 2;
}

// A list another program made without the index makes every look-up read the whole table; opening
// it gives it the index once, and never a second one.
void TestStore::listGetsItsIndex()
{
    QFETCH(QStringList, before);
    QFETCH(int, indexes);
    TestDb db(m_backend, { { "1", "A1", "Board", "100" } });
    for (const QString &statement : before)
        db.exec(statement);
    for (int run = 0; run < 2; ++run) {
        Store store(db.path, QStringLiteral("t-index"));
        QVERIFY(store.open());
        QVERIFY(!store.lastError().isValid());
    }
    QSqlQuery q(db.raw());
    QVERIFY(q.exec(m_backend == Backend::File
            ? QStringLiteral("select count(*) from sqlite_master where type = 'index' and tbl_name = 'adt'")
            : QStringLiteral(
                "select count(*) from pg_indexes where tablename = 'adt' and indexname not like '%pkey'")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), indexes);
}

BRASKO_TEST_ON_BOTH_BACKENDS(TestStore)
#include "tst_store.moc"
