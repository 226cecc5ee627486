#include "store/countersettings.h"
#include "store/offerprogress.h"
#include "store/offerrepository.h"
#include "store/offerschema.h"
#include "store/offerwarningtable.h"
#include "store/store.h"
#include "support/testdb.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <set>

// Offers kept in db.mdb: what is saved comes back exactly, numbers and revisions are given as they
// should be, the price list is left alone, and a file the program cannot or must not write is
// refused with a reason.
class TestOfferRepository : public QObject
{
    Q_OBJECT

public:
    explicit TestOfferRepository(Backend backend)
        : m_backend(backend)
    {
    }

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void textsComeBackExactly_data();
    void textsComeBackExactly();
    void numbersAndRevisions();
    void newerRevisionRefusesTheSave();
    void failedSaveLeavesNothing_data();
    void failedSaveLeavesNothing();
    void warningsGoWithTheirRevision();
    void priceListIsLeftAlone();
    void newerSchemaIsNotWritten();
    void search_data();
    void search();
    void concurrentSavesGetDistinctNumbers();
    void statusFromFacts_data();
    void statusFromFacts();
    void oneOrderPerRevision();
    void offersOfAnOlderSchemaKeepOpening();
    void shopSetsHowLongOffersHold_data();
    void shopSetsHowLongOffersHold();

private:
    void reopen();
    static Offer sample(const QString &client);
    QStringList rawColumn(const QString &sql) const;
    // "number/revision status", newest first, as the list shows them on that day.
    QStringList statuses(const QDate &today);

    Backend m_backend;
    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<OfferRepository> m_repo;
};

void TestOfferRepository::initTestCase()
{
    BRASKO_START_BACKEND(m_backend);
}

void TestOfferRepository::init()
{
    m_db = std::make_unique<TestDb>(m_backend,
        std::vector<TestRow> {
            { "0", "CPU1", "Core Duo", "1250" },
            { "90", "company", "Shop", "0.00" },
            { "90", "sp", "Seller", "0.00" },
        });
    reopen();
}

void TestOfferRepository::reopen()
{
    m_repo.reset();
    m_store.reset();
    m_store = std::make_unique<Store>(m_db->path, QStringLiteral("t-offers"));
    QVERIFY(m_store->open());
    m_repo = std::make_unique<OfferRepository>(m_store.get());
}

void TestOfferRepository::cleanup()
{
    m_repo.reset();
    m_store.reset();
    m_db.reset();
}

Offer TestOfferRepository::sample(const QString &client)
{
    Offer offer;
    offer.shop = QStringLiteral("Velmont Shop 555-1234");
    offer.client = client;
    offer.seller = QStringLiteral("Sam");
    offer.date = QDateTime(QDate(2027, 1, 31), QTime(10, 15, 30, 250));
    offer.validUntil = QDate(2027, 2, 14);
    offer.pickItem(0, QStringLiteral("CPU1"), QStringLiteral("Core Duo"), QStringLiteral("1250"),
        Price::fromStored(QStringLiteral("1000.125"))); // what the shop paid, kept as it was
    offer.row(0).setAmountText(QStringLiteral("1250.00"));
    offer.pickItem(2, QStringLiteral("RAM7"), QStringLiteral("DDR 512 MB"), QStringLiteral("300.50"));
    offer.row(2).setAmountText(QStringLiteral("280")); // typed over
    offer.row(16).setAmountText(QStringLiteral("12.5 pounds"));
    return offer;
}

QStringList TestOfferRepository::rawColumn(const QString &sql) const
{
    QSqlQuery q(m_db->raw());
    QStringList out;
    if (!q.exec(sql))
        return { QStringLiteral("error: ") + q.lastError().text() };
    while (q.next())
        out << q.value(0).toString();
    return out;
}

void TestOfferRepository::textsComeBackExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("quotes") << QStringLiteral("O'Brien \"Joe\" '; drop table adt; --");
    QTest::newRow("arabic") << QStringLiteral("محمد علي ٠١٢٣");
    QTest::newRow("emoji") << QStringLiteral("Ana \U0001F600 \U0001F468\u200D\U0001F469\u200D\U0001F467");
    QTest::newRow("10000 characters") << QString(10000, QLatin1Char('x')) + QStringLiteral("end");
    QTest::newRow("empty") << QString();
    QTest::newRow("line breaks and tabs") << QStringLiteral("a\nb\r\nc\td  ");
    QTest::newRow("percent and backslash") << QStringLiteral("100% \\ _x_");
}

void TestOfferRepository::textsComeBackExactly()
{
    QFETCH(QString, text);
    Offer offer = sample(text);
    offer.shop = text;
    offer.seller = text;
    offer.row(5).itemId = text;
    offer.row(5).description = text;
    offer.row(5).setAmountText(text);
    offer.row(5).listPrice = Price::fromStored(text);
    offer.row(5).cost = Price::fromStored(text);
    const auto key = m_repo->save(
        offer, std::nullopt, QDateTime(QDate(2027, 2, 1), QTime(9, 0)), QStringLiteral("PC ") + text);
    QVERIFY2(key, qPrintable(key.error().text()));
    reopen(); // as after quitting and starting again
    const auto back = m_repo->load(*key);
    QVERIFY2(back, qPrintable(back.error().text()));
    QCOMPARE(back->offer, offer);
    QCOMPARE(back->savedOn, QStringLiteral("PC ") + text);
    QCOMPARE(back->savedAt, QDateTime(QDate(2027, 2, 1), QTime(9, 0)));
    QCOMPARE(back->total, offer.totalText());
}

void TestOfferRepository::numbersAndRevisions()
{
    const Offer first = sample(QStringLiteral("First"));
    const auto a = m_repo->save(first, std::nullopt);
    QVERIFY2(a, qPrintable(a.error().text()));
    QCOMPARE(*a, (OfferKey { 1, 1 }));
    const auto b = m_repo->save(sample(QStringLiteral("Second")), std::nullopt);
    QCOMPARE(*b, (OfferKey { 2, 1 }));
    Offer changed = first;
    changed.row(2).setAmountText(QStringLiteral("290.00"));
    const auto c = m_repo->save(changed, 1);
    QVERIFY2(c, qPrintable(c.error().text()));
    QCOMPARE(*c, (OfferKey { 1, 2 }));
    reopen();
    QCOMPARE(m_repo->load({ 1, 1 })->offer, first); // the earlier revision is kept as it was
    QCOMPARE(m_repo->load({ 1, 2 })->offer, changed);
    QCOMPARE(*m_repo->latestRevision(1), std::optional<int>(2));
    const auto d = m_repo->save(sample(QStringLiteral("Third")), std::nullopt);
    QCOMPARE(*d, (OfferKey { 3, 1 }));
    const auto none = m_repo->save(first, 99); // no such offer to revise
    QVERIFY(!none);
    QVERIFY(none.error().text().contains(QStringLiteral("99")));
}

// Two counters revise the same offer from revision 1: the second is refused, told which revision
// came in between, where and when, and can then save its work after that one.
void TestOfferRepository::newerRevisionRefusesTheSave()
{
    const Offer first = sample(QStringLiteral("First"));
    QCOMPARE(*m_repo->saveFollowing(first, std::nullopt), (OfferKey { 1, 1 }));
    const QDateTime when(QDate(2027, 3, 1), QTime(16, 45, 10));
    {
        Store other(m_db->path, QStringLiteral("t-offers-other"));
        QVERIFY(other.open());
        Offer theirs = first;
        theirs.row(5).setAmountText(QStringLiteral("10.00"));
        QCOMPARE(*OfferRepository(&other).saveFollowing(
                     theirs, OfferKey { 1, 1 }, when, QStringLiteral("COUNTER-2")),
            (OfferKey { 1, 2 }));
    }
    Offer mine = first;
    mine.row(6).setAmountText(QStringLiteral("20.00"));
    const auto refused = m_repo->saveFollowing(mine, OfferKey { 1, 1 });
    QVERIFY(!refused);
    const auto newer = m_repo->newerRevision();
    QVERIFY(newer);
    QCOMPARE(newer->key, (OfferKey { 1, 2 }));
    QCOMPARE(newer->savedAt, when);
    QCOMPARE(newer->savedOn, QStringLiteral("COUNTER-2"));
    QVERIFY2(
        refused.error().text().contains(QStringLiteral("revision 2")), qPrintable(refused.error().text()));
    QCOMPARE(rawColumn(QStringLiteral("select count(*) from offers")), QStringList { "2" });
    // Knowingly, after revision 2: the newest.
    QCOMPARE(*m_repo->saveFollowing(mine, OfferKey { 1, 2 }), (OfferKey { 1, 3 }));
    QVERIFY(!m_repo->newerRevision());
    QCOMPARE(m_repo->load({ 1, 2 })->offer.row(5).amountText(), QStringLiteral("10.00"));
    QCOMPARE(m_repo->load({ 1, 3 })->offer, mine);
    QVERIFY(!m_repo->saveFollowing(mine, OfferKey { 9, 1 })); // no such offer
    QVERIFY(!m_repo->newerRevision());
    // Revisions that cannot be read are not an offer that is missing.
    rawColumn(QStringLiteral("alter table offers rename to offers_away"));
    const auto unread = m_repo->saveFollowing(mine, OfferKey { 1, 3 });
    QVERIFY(!unread);
    QVERIFY2(!unread.error().text().contains(QStringLiteral("is not in")), qPrintable(unread.error().text()));
}

void TestOfferRepository::failedSaveLeavesNothing_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("badText");
    QTest::newRow("NUL in the last row") << 16 << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    QTest::newRow("noncharacter in the first row") << 0 << QString(QChar(0xFFFF));
    // Row -1: the offer is sound, a warning kept with it is not.
    QTest::newRow("NUL in a warning kept with it")
        << -1 << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
}

void TestOfferRepository::failedSaveLeavesNothing()
{
    QFETCH(int, row);
    QFETCH(QString, badText);
    QVERIFY(m_repo->save(sample(QStringLiteral("Kept")), std::nullopt));
    Offer bad = sample(QStringLiteral("Broken"));
    if (row >= 0) {
        bad.row(row).description = badText;
    } else {
        QVERIFY(OfferWarningTable(m_store.get()).ensureSchema());
        m_repo->setAlongside([&](const OfferKey &key) {
            return OfferWarningTable(m_store.get())
                .write(key, { { QStringLiteral("fine"), true }, { badText, true } });
        });
    }
    const auto failed = m_repo->save(bad, std::nullopt);
    QVERIFY(!failed);
    QVERIFY(!failed.error().text().isEmpty());
    QVERIFY(!m_repo->save(bad, 1));
    QCOMPARE(rawColumn(QStringLiteral("select count(*) from offers")), QStringList { "1" });
    QCOMPARE(rawColumn(QStringLiteral("select count(*) from offer_rows")), QStringList { "17" });
    if (row < 0)
        QCOMPARE(rawColumn(QStringLiteral("select count(*) from offer_warnings")), QStringList { "0" });
    m_repo->setAlongside(nullptr);
    // The next offer takes the next number after the kept one.
    QCOMPARE(*m_repo->save(sample(QStringLiteral("Next")), std::nullopt), (OfferKey { 2, 1 }));
}

void TestOfferRepository::warningsGoWithTheirRevision()
{
    OfferWarningTable warnings(m_store.get());
    // An offer kept without warnings makes no table.
    QVERIFY(m_repo->save(sample(QStringLiteral("Plain")), std::nullopt));
    QVERIFY(!*m_store->hasTable(QStringLiteral("offer_warnings")));
    QVERIFY(warnings.read({ 1, 1 }));
    QVERIFY(warnings.read({ 1, 1 })->isEmpty());
    const QList<OfferWarning> said {
        { QStringLiteral("Processor AM5 does not fit the board's LGA1700 socket"), true },
        { QStringLiteral("Row RAM is 150.00 below cost. \u0645"), false }
    };
    QVERIFY(warnings.ensureSchema());
    m_repo->setAlongside([&](const OfferKey &key) { return warnings.write(key, said); });
    QCOMPARE(*m_repo->save(sample(QStringLiteral("Warned")), 1), (OfferKey { 1, 2 }));
    m_repo->setAlongside(nullptr);
    reopen();
    OfferWarningTable again(m_store.get());
    QCOMPARE(*again.read({ 1, 2 }), said);
    QVERIFY(again.read({ 1, 1 })->isEmpty());
}

void TestOfferRepository::priceListIsLeftAlone()
{
    const QStringList before = rawColumn(QStringLiteral(
        "select category || '|' || id || '|' || description || '|' || price from adt order by 1"));
    const QStringList schemaBefore = m_db->tableDefinition(QStringLiteral("adt"));
    QCOMPARE(*m_repo->storedSchemaVersion(), 0);
    QVERIFY(m_repo->save(sample(QStringLiteral("X")), std::nullopt));
    QCOMPARE(*m_repo->storedSchemaVersion(), OfferRepository::SchemaVersion);
    QCOMPARE(rawColumn(QStringLiteral(
                 "select category || '|' || id || '|' || description || '|' || price from adt order by 1")),
        before);
    QCOMPARE(m_db->tableDefinition(QStringLiteral("adt")), schemaBefore);
}

void TestOfferRepository::newerSchemaIsNotWritten()
{
    QVERIFY(m_repo->save(sample(QStringLiteral("Old")), std::nullopt));
    m_db->exec(QStringLiteral("update brasko_schema set version = 7 where component = 'offers'"));
    reopen();
    QVERIFY(!m_repo->canSave());
    const auto refused = m_repo->save(sample(QStringLiteral("New")), std::nullopt);
    QVERIFY(!refused);
    QVERIFY2(refused.error().text().contains(QStringLiteral("newer")), qPrintable(refused.error().text()));
    QVERIFY(!m_repo->save(sample(QStringLiteral("New")), 1));
    QCOMPARE(rawColumn(QStringLiteral("select count(*) from offers")), QStringList { "1" });
    QCOMPARE(rawColumn(QStringLiteral("select version from brasko_schema")), QStringList { "7" });
    // Reading still works.
    QVERIFY(m_repo->load({ 1, 1 }));
    const auto rows = m_repo->list();
    QVERIFY(rows);
    QCOMPARE((*rows)->rowCount(), 1);
}

void TestOfferRepository::search_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("expected"); // "number/revision", newest first
    QTest::newRow("all") << QString() << QStringList { "3/1", "2/1", "1/2", "1/1" };
    QTest::newRow("client, other case") << QStringLiteral("mÜller") << QStringList { "2/1" };
    QTest::newRow("number") << QStringLiteral("3") << QStringList { "3/1" };
    QTest::newRow("item description")
        << QStringLiteral("ddr 512") << QStringList { "3/1", "2/1", "1/2", "1/1" };
    QTest::newRow("item only in a revision") << QStringLiteral("gtx") << QStringList { "1/2" };
    QTest::newRow("percent is literal") << QStringLiteral("100%") << QStringList { "3/1" };
    QTest::newRow("underscore is literal") << QStringLiteral("a_b") << QStringList {};
    QTest::newRow("quote") << QStringLiteral("o'neil") << QStringList { "1/2", "1/1" };
    QTest::newRow("nothing") << QStringLiteral("zzz") << QStringList {};
}

void TestOfferRepository::search()
{
    QFETCH(QString, search);
    QFETCH(QStringList, expected);
    Offer one = sample(QStringLiteral("O'Neil"));
    QVERIFY(m_repo->save(one, std::nullopt));
    one.pickItem(5, QStringLiteral("VGA9"), QStringLiteral("GTX 1080"), QStringLiteral("900"));
    QVERIFY(m_repo->save(one, 1));
    QVERIFY(m_repo->save(sample(QStringLiteral("Müller")), std::nullopt));
    Offer three = sample(QStringLiteral("Axb 100% sure"));
    QVERIFY(m_repo->save(three, std::nullopt));
    const auto listed = m_repo->list(search);
    QVERIFY2(listed, qPrintable(listed.error().text()));
    RecordSet &rows = **listed;
    QStringList got;
    for (bool on = rows.moveFirst(); on; on = rows.moveNext())
        got << *rows.text(QStringLiteral("Number")) + QLatin1Char('/')
                + *rows.text(QStringLiteral("Revision"));
    QCOMPARE(got, expected);
}

// Two counters saving at the same moment, each on its own connection: every offer gets a number of
// its own, and new revisions of one offer get revisions of their own.
void TestOfferRepository::concurrentSavesGetDistinctNumbers()
{
    QVERIFY(m_repo->save(sample(QStringLiteral("Shared")), std::nullopt)); // offer 1, and the tables
    constexpr int PerCounter = 25;
    struct Result {
        QList<OfferKey> keys;
        QStringList errors;
    };
    Result results[2];
    QList<QThread *> threads;
    for (int c = 0; c < 2; ++c) {
        threads << QThread::create([&, c] {
            Store store(m_db->path, QStringLiteral("t-counter%1").arg(c));
            if (!store.open()) {
                results[c].errors << store.lastError().text();
                return;
            }
            OfferRepository repo(&store);
            for (int i = 0; i < PerCounter; ++i) {
                // Every other save is a new revision of offer 1, the rest new offers.
                const auto key = repo.save(sample(QStringLiteral("c%1 %2").arg(c).arg(i)),
                    i % 2 ? std::optional<int>(1) : std::nullopt);
                if (key)
                    results[c].keys << *key;
                else
                    results[c].errors << key.error().text();
            }
        });
    }
    for (QThread *t : threads)
        t->start();
    for (QThread *t : threads) {
        QVERIFY(t->wait(120000));
        delete t;
    }
    std::set<std::pair<int, int>> seen;
    for (const Result &r : results) {
        QCOMPARE(r.errors, QStringList {});
        for (const OfferKey &k : r.keys)
            QVERIFY2(seen.insert({ k.number, k.revision }).second,
                qPrintable(QStringLiteral("%1/%2 given twice").arg(k.number).arg(k.revision)));
    }
    QCOMPARE(int(seen.size()), 2 * PerCounter);
    QCOMPARE(rawColumn(QStringLiteral("select count(*) from offers")),
        QStringList { QString::number(2 * PerCounter + 1) });
}

QStringList TestOfferRepository::statuses(const QDate &today)
{
    const auto listed = m_repo->list();
    if (!listed)
        return { QStringLiteral("error: ") + listed.error().text() };
    RecordSet &rows = **listed;
    QStringList got;
    for (bool on = rows.moveFirst(); on; on = rows.moveNext())
        got << QStringLiteral("%1/%2 %3")
                   .arg(*rows.text(QStringLiteral("Number")), *rows.text(QStringLiteral("Revision")),
                       OfferStatus::text(OfferStatus::of(listedFacts(rows), today)));
    return got;
}

// What happens to offer 1's revisions, step by step ("save" a revision valid until the day given,
// "give 1/2", "order 1/2 1043"), and where each stands afterwards: worked out from the facts on the
// day asked, never kept.
void TestOfferRepository::statusFromFacts_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QStringList>("expected");
    const QDate day(2027, 2, 10);
    QTest::newRow("saved") << QStringList { "save 2027-02-14" } << day << QStringList { "1/1 Draft" };
    QTest::newRow("given") << QStringList { "save 2027-02-14", "give 1/1" } << day
                           << QStringList { "1/1 Given" };
    QTest::newRow("given twice") << QStringList { "save 2027-02-14", "give 1/1", "give 1/1" } << day
                                 << QStringList { "1/1 Given" };
    QTest::newRow("last day") << QStringList { "save 2027-02-10", "give 1/1" } << day
                              << QStringList { "1/1 Given" };
    QTest::newRow("expired") << QStringList { "save 2027-02-09", "give 1/1" } << day
                             << QStringList { "1/1 Expired" };
    QTest::newRow("later revision only saved") << QStringList { "save 2027-02-14", "give 1/1",
        "save 2027-02-20" } << day << QStringList { "1/2 Draft", "1/1 Given" };
    QTest::newRow("later revision given") << QStringList { "save 2027-02-14", "give 1/1", "save 2027-02-20",
        "give 1/2" } << day << QStringList { "1/2 Given", "1/1 Superseded" };
    QTest::newRow("later revision ordered") << QStringList { "save 2027-02-14", "give 1/1", "save 2027-02-20",
        "order 1/2 1043" } << day << QStringList { "1/2 Ordered", "1/1 Superseded" };
    QTest::newRow("ordered, past its day")
        << QStringList { "save 2027-02-01", "order 1/1 7" } << day << QStringList { "1/1 Ordered" };
    QTest::newRow("earlier revision given later") << QStringList { "save 2027-02-14", "save 2027-02-20",
        "give 1/1" } << day << QStringList { "1/2 Draft", "1/1 Given" };
}

void TestOfferRepository::statusFromFacts()
{
    QFETCH(QStringList, steps);
    QFETCH(QDate, today);
    QFETCH(QStringList, expected);
    OfferProgress progress(m_store.get());
    for (const QString &step : steps) {
        const QStringList words = step.split(QLatin1Char(' '));
        const QStringList key = words.value(1).split(QLatin1Char('/'));
        const OfferKey revision { key.value(0).toInt(), key.value(1).toInt() };
        if (words.at(0) == QLatin1String("save")) {
            Offer offer = sample(QStringLiteral("Client"));
            offer.validUntil = QDate::fromString(words.at(1), Qt::ISODate);
            const auto latest = m_repo->highestNumber();
            const auto saved
                = m_repo->save(offer, latest && *latest > 0 ? std::optional<int>(1) : std::nullopt);
            QVERIFY2(saved, qPrintable(saved.error().text()));
        } else if (words.at(0) == QLatin1String("give")) {
            const StoreError failure = m_repo->markGiven(revision);
            QVERIFY2(!failure.isValid(), qPrintable(failure.text()));
        } else {
            const StoreError failure = progress.linkOrder(revision, words.at(2).toInt());
            QVERIFY2(!failure.isValid(), qPrintable(failure.text()));
        }
    }
    QCOMPARE(statuses(today), expected);
}

// A revision becomes one order at most: another order is refused, naming the one it is; the same
// link again is no change.
void TestOfferRepository::oneOrderPerRevision()
{
    QVERIFY(m_repo->save(sample(QStringLiteral("Client")), std::nullopt));
    QVERIFY(m_repo->save(sample(QStringLiteral("Client")), 1));
    OfferProgress progress(m_store.get());
    QVERIFY(progress.orderOf({ 1, 2 }));
    QCOMPARE(*progress.orderOf({ 1, 2 }), std::nullopt);
    QVERIFY(!progress.linkOrder({ 1, 2 }, 1043).isValid());
    QVERIFY(!progress.linkOrder({ 1, 2 }, 1043).isValid());
    QCOMPARE(progress.linkOrder({ 1, 2 }, 1044).text(), QStringLiteral("Offer 1/2 is already order 1043"));
    QCOMPARE(*progress.orderOf({ 1, 2 }), std::optional<int>(1043));
    QCOMPARE(*progress.orderOf({ 1, 1 }), std::nullopt);
    QCOMPARE(rawColumn(QStringLiteral("select count(*) from offer_orders")), QStringList { "1" });
}

// Offers kept by the program before revisions had a valid-until day: read as they are (holding for
// the default days from their date, never given, no order), and brought up to date by the next save.
void TestOfferRepository::offersOfAnOlderSchemaKeepOpening()
{
    QVERIFY(m_store->ensureSchema(QStringLiteral("offers"), { offerSchemaSteps().first() }));
    m_db->exec(QStringLiteral(
        "insert into offers (number, revision, shop, client, seller, offer_date, total, saved_at, saved_on,"
        " search_text) values (1, 1, 'Shop', 'Old client', 'Sam', '2027-01-05T10:00:00.000', '10.00',"
        " '2027-01-05T10:00:00.000', 'pc', '1')"));
    m_db->exec(QStringLiteral(
        "insert into offer_rows (number, revision, row_index, category, item_id, description,"
        " amount_text, list_price) values (1, 1, 0, '0', 'CPU1', 'Core Duo', '1250', '1250')"));
    m_db->exec(QStringLiteral("update offer_counter set next_number = 2"));
    reopen();
    QCOMPARE(*m_repo->storedSchemaVersion(), 1);
    QCOMPARE(statuses(QDate(2027, 1, 19)), QStringList { "1/1 Draft" });
    QCOMPARE(statuses(QDate(2027, 1, 20)), QStringList { "1/1 Expired" });
    const auto old = m_repo->load({ 1, 1 });
    QVERIFY2(old, qPrintable(old.error().text()));
    QCOMPARE(old->offer.validUntil, QDate(2027, 1, 19));
    QCOMPARE(old->offer.row(0).listPrice->text(), QStringLiteral("1250"));
    QVERIFY(!old->offer.row(0).cost); // kept before rows had a cost: not known
    QVERIFY(OfferProgress(m_store.get()).orderOf({ 1, 1 }));
    QVERIFY(m_repo->save(sample(QStringLiteral("New")), std::nullopt));
    QCOMPARE(*m_repo->storedSchemaVersion(), OfferRepository::SchemaVersion);
    QCOMPARE(m_repo->load({ 1, 1 })->offer.client, QStringLiteral("Old client"));
    QVERIFY(!m_repo->load({ 1, 1 })->offer.row(0).cost);
    QCOMPARE(m_repo->load({ 2, 1 })->offer.row(0).cost->text(), QStringLiteral("1000.125"));
    QCOMPARE(m_repo->load({ 2, 1 })->offer.validUntil, QDate(2027, 2, 14));
    QCOMPARE(statuses(QDate(2027, 1, 19)), (QStringList { "2/1 Draft", "1/1 Draft" }));
}

void TestOfferRepository::shopSetsHowLongOffersHold_data()
{
    QTest::addColumn<QString>("row"); // the settings row validdays; empty: none
    QTest::addColumn<int>("days");
    QTest::newRow("not set") << QString() << 14;
    QTest::newRow("thirty") << QStringLiteral("30") << 30;
    QTest::newRow("blanks") << QStringLiteral(" 7 ") << 7;
    QTest::newRow("zero") << QStringLiteral("0") << 14;
    QTest::newRow("words") << QStringLiteral("two weeks") << 14;
}

void TestOfferRepository::shopSetsHowLongOffersHold()
{
    QFETCH(QString, row);
    QFETCH(int, days);
    if (!row.isEmpty())
        m_db->insert({ "90", "validdays", row, "0.00" });
    QTemporaryDir home;
    CounterSettings settings(m_store.get(), QStringLiteral("Company"), QStringLiteral("Seller"),
        home.filePath(QStringLiteral("counter.conf")));
    settings.load();
    QCOMPARE(settings.validDays(), days);
}

BRASKO_TEST_ON_BOTH_BACKENDS(TestOfferRepository)
#include "tst_offerrepository.moc"
