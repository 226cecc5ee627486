// Kept offers under real faults: a saving process killed at random moments, two processes saving
// at once, another process holding the file, a read-only file or folder and a full disk. Whatever
// happens, an offer is in the file whole or not at all, no number is given twice, the price list is
// untouched, and the caller gets a reason it can show.

#include "store/offerrepository.h"
#include "support/faults_support.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <QThread>

#include <csignal>
#include <fcntl.h>

using namespace Faults;

class TestOfferFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedSaveLeavesWholeOffers();
    void twoProcessesGetDifferentNumbers();
    void lockedByAnotherProcess();
    void readOnly_data();
    void readOnly();
    void fullDisk();

private:
    static QList<Row> baseRows()
    {
        QList<Row> rows { { "90", "company", "Old Shop", "0.00" }, { "90", "sp", "Old Seller", "0.00" },
            { "3", "K1", "Keyboard", "10.00" } };
        for (int i = 0; i < 60; ++i)
            rows << Row { QString::number(i % 17), QStringLiteral("ID%1").arg(i),
                QStringLiteral("Item %1").arg(i), QStringLiteral("%1.50").arg(i) };
        return rows;
    }
    static Offer offer(const QString &client)
    {
        Offer o;
        o.client = client;
        o.date = QDateTime(QDate(2027, 5, 1), QTime(8, 0));
        o.validUntil = QDate(2027, 5, 15);
        o.pickItem(3, QStringLiteral("K1"), QString(3000, QChar(0x0643)), QStringLiteral("10.00"));
        return o;
    }
    // Whole offers and sound numbering: every saved revision has its 17 rows, no row lacks its
    // offer, numbers run 1..n without a gap and the counter stands after the last. Returns n.
    static int checkOffers(const QString &path, const QString &context);
};

int TestOfferFaults::checkOffers(const QString &path, const QString &context)
{
    return withRaw(path, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        if (!db.tables().contains(QStringLiteral("offers")))
            return 0;
        q.exec(QStringLiteral("select count(*) from offers o where (select count(*) from offer_rows r where "
                              "r.number = o.number and r.revision = o.revision) <> 17"));
        q.next();
        if (q.value(0).toInt() != 0)
            qFatal("%s: %d offers are not whole", qPrintable(context), q.value(0).toInt());
        q.exec(QStringLiteral("select count(*) from offer_rows r where not exists (select 1 from offers o "
                              "where o.number = r.number and o.revision = r.revision)"));
        q.next();
        if (q.value(0).toInt() != 0)
            qFatal("%s: rows without their offer", qPrintable(context));
        q.exec(QStringLiteral("select count(distinct number), coalesce(max(number), 0) from offers"));
        q.next();
        const int distinct = q.value(0).toInt();
        const int highest = q.value(1).toInt();
        if (distinct != highest)
            qFatal("%s: %d numbers up to %d", qPrintable(context), distinct, highest);
        q.exec(QStringLiteral("select next_number from offer_counter"));
        q.next();
        if (q.value(0).toInt() != highest + 1)
            qFatal("%s: the counter stands at %d after %d", qPrintable(context), q.value(0).toInt(), highest);
        return highest;
    });
}

void TestOfferFaults::killedSaveLeavesWholeOffers()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QVERIFY(makeDatabase(path, baseRows()));
    const QStringList priceList = allRows(path);
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    int midTransaction = 0;
    int highest = 0;
    QSet<int> counts; // different totals after kills: the kills landed at different moments
    for (int attempt = 0; attempt < 20; ++attempt) {
        QProcess writer;
        QVERIFY2(startHelper(writer, QStringLiteral("offers"), path, "ready"), "the writer did not start");
        QThread::usleep(random.bounded(100000));
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished(10000));
        if (QFileInfo(path + QStringLiteral("-journal")).size() > 0)
            ++midTransaction;
        const QString context = QStringLiteral("after kill %1 (seed %2)").arg(attempt).arg(seed);
        QCOMPARE(integrity(path), QStringLiteral("ok"));
        const int now = checkOffers(path, context);
        QVERIFY2(now > highest, qPrintable(context)); // every run saved at least its first offer
        highest = now;
        counts.insert(now);
        QCOMPARE(allRows(path), priceList);
    }
    // The next save after all that takes the next number.
    Store store(path, QStringLiteral("t-after-kills"));
    QVERIFY(store.open());
    OfferRepository offers(&store);
    const auto key = offers.save(offer(QStringLiteral("After")), std::nullopt);
    QVERIFY2(key, qPrintable(key.error().text()));
    QCOMPARE(key->number, highest + 1);
    qInfo("%d of 20 kills landed inside a transaction (seed %u)", midTransaction, seed);
}

void TestOfferFaults::twoProcessesGetDifferentNumbers()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QVERIFY(makeDatabase(path, baseRows()));
    constexpr int PerProcess = 25;
    QProcess a;
    QProcess b;
    for (QProcess *p : { &a, &b }) {
        p->setProgram(helperPath());
        p->setArguments({ QStringLiteral("offers"), path, QString::number(PerProcess) });
        p->start();
        QVERIFY(p->waitForStarted(10000));
        while (!p->canReadLine())
            QVERIFY2(p->waitForReadyRead(10000), p->readAllStandardError().constData());
        QCOMPARE(p->readLine().trimmed(), QByteArray("ready"));
    }
    a.write("go\n"); // both start saving at the same moment
    b.write("go\n");
    QSet<int> numbers;
    int saved = 0;
    for (QProcess *p : { &a, &b }) {
        QVERIFY(p->waitForFinished(60000));
        QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
        const QList<QByteArray> lines = p->readAllStandardOutput().trimmed().split('\n');
        QCOMPARE(lines.size(), PerProcess);
        for (const QByteArray &line : lines) {
            numbers.insert(line.toInt());
            ++saved;
        }
    }
    QCOMPARE(saved, 2 * PerProcess);
    QCOMPARE(numbers.size(), 2 * PerProcess); // no number given twice
    QCOMPARE(checkOffers(path, QStringLiteral("after two writers")), 2 * PerProcess);
}

void TestOfferFaults::lockedByAnotherProcess()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QVERIFY(makeDatabase(path, baseRows()));
    Store store(path, QStringLiteral("t-locked"));
    QVERIFY(store.open());
    OfferRepository offers(&store);
    QCOMPARE(offers.save(offer(QStringLiteral("First")), std::nullopt)->number, 1);
    QProcess locker;
    QVERIFY(startHelper(locker, QStringLiteral("lock"), path, "locked"));
    const auto locked = offers.save(offer(QStringLiteral("While locked")), std::nullopt);
    QVERIFY(!locked);
    QVERIFY2(locked.error().text().contains(QStringLiteral("locked")), qPrintable(locked.error().text()));
    QVERIFY(!offers.save(offer(QStringLiteral("While locked")), 1));
    stopHelper(locker);
    QCOMPARE(checkOffers(path, QStringLiteral("after the lock")), 1);
    const auto key = offers.save(offer(QStringLiteral("After")), std::nullopt);
    QVERIFY2(key, qPrintable(key.error().text()));
    QCOMPARE(*key, (OfferKey { 2, 1 }));
}

void TestOfferFaults::readOnly_data()
{
    QTest::addColumn<bool>("fileReadOnly");
    QTest::addColumn<bool>("folderReadOnly");
    QTest::addColumn<bool>("hasOffers"); // the offer tables exist already
    QTest::newRow("file, first use") << true << false << false;
    QTest::newRow("file, offers kept") << true << false << true;
    QTest::newRow("folder, offers kept") << false << true << true;
}

void TestOfferFaults::readOnly()
{
    QFETCH(bool, fileReadOnly);
    QFETCH(bool, folderReadOnly);
    QFETCH(bool, hasOffers);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QVERIFY(makeDatabase(path, baseRows()));
    if (hasOffers) {
        Store store(path, QStringLiteral("t-ro-setup"));
        QVERIFY(store.open());
        OfferRepository offers(&store);
        QVERIFY(offers.save(offer(QStringLiteral("Kept")), std::nullopt));
    }
    const QByteArray before = fileBytes(path);
    makeReadOnly(dir.path(), path, fileReadOnly, folderReadOnly);
    {
        ActAsNobody nobody;
        if (fileReadOnly && writesIgnoringPermissions(path))
            QSKIP("file permissions are not enforced for this user");
        Store store(path, QStringLiteral("t-ro"));
        QVERIFY(store.open());
        OfferRepository offers(&store);
        QVERIFY(!offers.canSave());
        const auto refused = offers.save(offer(QStringLiteral("New")), std::nullopt);
        QVERIFY(!refused);
        QVERIFY2(
            refused.error().text().contains(QStringLiteral("read-only")), qPrintable(refused.error().text()));
        auto list = offers.list(); // reading goes on
        QVERIFY(list);
        QCOMPARE((*list)->rowCount(), hasOffers ? 1 : 0);
        if (hasOffers)
            QCOMPARE(offers.load({ 1, 1 })->offer, offer(QStringLiteral("Kept")));
    }
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    QCOMPARE(fileBytes(path), before);
}

void TestOfferFaults::fullDisk()
{
    SmallDisk disk(QStringLiteral("300k"));
    if (!disk.isMounted())
        QSKIP(qPrintable(QStringLiteral("no small disk to fill: ") + disk.whyNot()));
    const QString path = disk.filePath(QStringLiteral("db.mdb"));
    QVERIFY(makeDatabase(path, baseRows()));
    {
        Store store(path, QStringLiteral("t-full"));
        QVERIFY(store.open());
        OfferRepository offers(&store);
        QVERIFY(offers.save(offer(QStringLiteral("Before")), std::nullopt));
        const QStringList priceList = allRows(path);
        QVERIFY(disk.fill() > 0);
        Offer big = offer(QStringLiteral("Big"));
        big.row(0).description = QString(100 * 1024, QChar(0x0628));
        const auto failed = offers.save(big, std::nullopt);
        QVERIFY(!failed);
        QVERIFY(!failed.error().text().isEmpty());
        QVERIFY(!offers.save(big, 1));
        QCOMPARE(checkOffers(path, QStringLiteral("disk full")), 1);
        QCOMPARE(allRows(path), priceList);
        QVERIFY(QFile::remove(disk.filePath(QStringLiteral("filler"))));
        const auto key = offers.save(offer(QStringLiteral("After")), std::nullopt);
        QVERIFY2(key, qPrintable(key.error().text()));
        QCOMPARE(*key, (OfferKey { 2, 1 }));
    }
    QCOMPARE(integrity(path), QStringLiteral("ok"));
}

QTEST_GUILESS_MAIN(TestOfferFaults)
#include "tst_offerfaults.moc"
