// The store under real faults: another process holding the file, a read-only file or folder, a
// file that is cut short or deleted, a full disk, and a writer killed at random moments. Whatever
// happens, the caller gets a failure it can report, and no settings row or item is lost or
// half-written.

#include "store/pricelistrepository.h"
#include "support/faults_support.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <csignal>
#include <fcntl.h>

using namespace Faults;

class TestStoreFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedWriterLeavesEveryRow();
    void lockedByAnotherProcess();
    void readOnly_data();
    void readOnly();
    void cutShortOrNotADatabase_data();
    void cutShortOrNotADatabase();
    void deletedWhileOpen();
    void fullDisk();

private:
    QList<Row> baseRows() const
    {
        QList<Row> rows { { "90", "company", "Old Shop", "0.00" }, { "90", "sp", "Old Seller", "0.00" },
            { "90", "dt", "1/1/2026 09:00:00", "0.00" }, { "3", "K1", "Keyboard", "10.00" } };
        for (int i = 0; i < 300; ++i)
            rows << Row { QString::number(i % 17), QStringLiteral("ID%1").arg(i, 4, 10, QLatin1Char('0')),
                QStringLiteral("Item %1 ").arg(i) + QString(60, QLatin1Char('d')),
                QStringLiteral("%1.50").arg(i) };
        return rows;
    }
};

void TestStoreFaults::killedWriterLeavesEveryRow()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QVERIFY(makeDatabase(path, baseRows()));
    const int before = allRows(path).size();
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    const QRegularExpression price(QStringLiteral("^\\d+\\.00$"));
    int kills = 0;
    int midTransaction = 0;
    QSet<QString> shops; // different rounds seen after kills: the kills did land at different moments
    for (int attempt = 0; attempt < 30; ++attempt) {
        QProcess writer;
        QVERIFY2(startHelper(writer, QStringLiteral("rewrite"), path, "ready"), "the writer did not start");
        QThread::usleep(random.bounded(200000)); // a writer round takes some tens of milliseconds
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished(10000));
        ++kills;
        // A journal left behind means the kill landed inside a transaction.
        if (QFileInfo(path + QStringLiteral("-journal")).size() > 0)
            ++midTransaction;
        const QString context = QStringLiteral("after kill %1 (seed %2)").arg(attempt).arg(seed);
        QCOMPARE(integrity(path), QStringLiteral("ok"));
        const QStringList company = descriptions(path, QStringLiteral("90"), QStringLiteral("company"));
        QVERIFY2(
            company.size() == 1 && company[0].startsWith(QStringLiteral("Shop ")) && company[0].size() > 3000,
            qPrintable(context + QStringLiteral(": company rows ") + QString::number(company.size())));
        shops.insert(company[0].section(QLatin1Char(' '), 1, 1));
        QVERIFY2(
            descriptions(path, QStringLiteral("90"), QStringLiteral("sp")).size() == 1, qPrintable(context));
        QVERIFY2(
            descriptions(path, QStringLiteral("90"), QStringLiteral("dt")).size() == 1, qPrintable(context));
        QCOMPARE(descriptions(path, QStringLiteral("3"), QStringLiteral("K1")),
            QStringList { QStringLiteral("Keyboard") });
        const QStringList rows = allRows(path);
        QCOMPARE(rows.size(), before);
        const QString k1 = rows.filter(QStringLiteral("3|K1|")).value(0);
        QVERIFY2(price.match(k1.section(QLatin1Char('|'), 3)).hasMatch(), qPrintable(k1));
    }
    QCOMPARE(kills, 30);
    qInfo("%d of %d kills landed inside a transaction (seed %u)", midTransaction, kills, seed);
    QVERIFY2(shops.size() > 1, "every kill found the same round: the writer made no progress");
}

void TestStoreFaults::lockedByAnotherProcess()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QVERIFY(makeDatabase(path, baseRows()));
    const QStringList before = allRows(path);

    // Locked before the program starts: opening fails with a reason, after a bounded wait.
    {
        QProcess locker;
        QVERIFY(startHelper(locker, QStringLiteral("lock"), path, "locked"));
        Store store(path, QStringLiteral("t-locked-open"));
        QVERIFY(!store.open());
        QVERIFY2(store.lastError().text().contains(QStringLiteral("locked")),
            qPrintable(store.lastError().text()));
        stopHelper(locker);
        QVERIFY(store.open()); // once the other process lets go, the same store works
        QCOMPARE(
            **PriceListRepository(&store).setting(QStringLiteral("company")), QStringLiteral("Old Shop"));
    }
    // Locked while the program runs: a rewrite fails as a whole and says why.
    {
        Store store(path, QStringLiteral("t-locked-write"));
        QVERIFY(store.open());
        QProcess locker;
        QVERIFY(startHelper(locker, QStringLiteral("lock"), path, "locked"));
        QVERIFY(PriceListRepository(&store)
                    .rewriteSettings({ { QStringLiteral("company"), QStringLiteral("New Shop") } })
                    .isValid());
        QVERIFY2(store.lastError().text().contains(QStringLiteral("locked")),
            qPrintable(store.lastError().text()));
        QVERIFY(!store.execute(
            QStringLiteral("update adt set price = '1.00' where category = '3' and id = 'K1'"), {}));
        stopHelper(locker);
        QCOMPARE(allRows(path), before);
        QVERIFY(!PriceListRepository(&store)
                     .rewriteSettings({ { QStringLiteral("company"), QStringLiteral("New Shop") } })
                     .isValid());
        QCOMPARE(descriptions(path, QStringLiteral("90"), QStringLiteral("company")),
            QStringList { QStringLiteral("New Shop") });
    }
}

void TestStoreFaults::readOnly_data()
{
    QTest::addColumn<bool>("fileReadOnly");
    QTest::addColumn<bool>("folderReadOnly");
    QTest::newRow("read-only file") << true << false;
    // The file is writable but no journal can be made beside it.
    QTest::newRow("read-only folder") << false << true;
}

void TestStoreFaults::readOnly()
{
    QFETCH(bool, fileReadOnly);
    QFETCH(bool, folderReadOnly);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QVERIFY(makeDatabase(path, baseRows()));
    const QStringList before = allRows(path);
    makeReadOnly(dir.path(), path, fileReadOnly, folderReadOnly);
    {
        ActAsNobody nobody;
        if (fileReadOnly && writesIgnoringPermissions(path))
            QSKIP("file permissions are not enforced for this user");
        Store store(path, QStringLiteral("t-readonly"));
        QVERIFY2(store.open(), qPrintable(store.lastError().text())); // reading is still possible
        // Asked before anything is tried, the store gives the answer the writes then get.
        QVERIFY(!store.isWritable());
        QCOMPARE(**PriceListRepository(&store).setting(QStringLiteral("sp")), QStringLiteral("Old Seller"));
        QVERIFY(PriceListRepository(&store)
                    .rewriteSettings({ { QStringLiteral("company"), QStringLiteral("New Shop") } })
                    .isValid());
        QVERIFY(!store.lastError().text().isEmpty());
        QVERIFY(!store.execute(
            QStringLiteral("insert into adt (category,id,description,price) values ('1','N','n','1')"), {}));
        QVERIFY(!store.lastError().text().isEmpty());
    }
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    QCOMPARE(allRows(path), before);
}

void TestStoreFaults::cutShortOrNotADatabase_data()
{
    QTest::addColumn<int>("keep"); // bytes of the real file kept; -1: replaced by text; -2: half
    QTest::addColumn<bool>("lastPageOnly"); // only the last page is missing
    QTest::newRow("empty file") << 0 << false;
    QTest::newRow("header only") << 100 << false;
    QTest::newRow("first page") << 4096 << false;
    QTest::newRow("half") << -2 << false;
    // Every page a first read needs is there: only the length the header names shows the loss.
    QTest::newRow("last page missing") << 0 << true;
    QTest::newRow("a text file") << -1 << false;
}

void TestStoreFaults::cutShortOrNotADatabase()
{
    QFETCH(int, keep);
    QFETCH(bool, lastPageOnly);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QVERIFY(makeDatabase(path, baseRows()));
    QByteArray bytes = fileBytes(path);
    QVERIFY(bytes.size() > 3 * 4096);
    if (keep == -1)
        bytes = QByteArray("category;id;description;price\n3;K1;Keyboard;10.00\n").repeated(200);
    else if (lastPageOnly)
        bytes.chop(4096);
    else
        bytes.truncate(keep == -2 ? bytes.size() / 2 : keep);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    // A damaged file is refused when it is opened, with a reason, so the program never starts
    // writing into it; and it is left exactly as it was, for whoever repairs it.
    Store store(path, QStringLiteral("t-cut"));
    QVERIFY2(!store.open(), "a damaged database file was opened");
    qInfo("refused: %s", qPrintable(store.lastError().text()));
    QVERIFY(!store.lastError().text().isEmpty());
    QVERIFY(!store.isOpen());
    QCOMPARE(fileBytes(path), bytes);
    QVERIFY(!QFile::exists(path + QStringLiteral("-journal")));
}

void TestStoreFaults::deletedWhileOpen()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QVERIFY(makeDatabase(path, baseRows()));
    Store store(path, QStringLiteral("t-deleted"));
    QVERIFY(store.open());
    QVERIFY(QFile::remove(path));
    // Writing into a file nobody can reach any more would report success and lose the row.
    QVERIFY(PriceListRepository(&store)
                .rewriteSettings({ { QStringLiteral("company"), QStringLiteral("New Shop") } })
                .isValid());
    QVERIFY(!store.lastError().text().isEmpty());
    QVERIFY(!QFile::exists(path)); // and nothing new is made in its place
}

void TestStoreFaults::fullDisk()
{
    SmallDisk disk(QStringLiteral("200k"));
    if (!disk.isMounted())
        QSKIP(qPrintable(QStringLiteral("no small disk to fill: ") + disk.whyNot()));
    const QString path = disk.filePath(QStringLiteral("db.mdb"));
    QList<Row> rows = baseRows().mid(0, 60);
    QVERIFY(makeDatabase(path, rows));
    const QStringList before = allRows(path);
    QVERIFY(disk.fill() > 0);
    {
        Store store(path, QStringLiteral("t-full"));
        QVERIFY(store.open());
        QCOMPARE(
            **PriceListRepository(&store).setting(QStringLiteral("company")), QStringLiteral("Old Shop"));
        const QString big = QString(100 * 1024, QChar(0x0628)); // 100 KB of Arabic letters
        QVERIFY(
            PriceListRepository(&store).rewriteSettings({ { QStringLiteral("company"), big } }).isValid());
        QVERIFY(!store.lastError().text().isEmpty());
        QVERIFY(PriceListRepository(&store)
                    .rewriteSettings({ { QStringLiteral("sp"), QStringLiteral("New Seller") } })
                    .isValid());
        QVERIFY(
            !store.execute(QStringLiteral("insert into adt (category,id,description,price) values (?,?,?,?)"),
                { QStringLiteral("1"), QStringLiteral("N"), big, QStringLiteral("1") }));
        QCOMPARE(allRows(path), before);
        // Room again: the same connection goes on working.
        QVERIFY(QFile::remove(disk.filePath(QStringLiteral("filler"))));
        QVERIFY2(!PriceListRepository(&store)
                      .rewriteSettings({ { QStringLiteral("sp"), QStringLiteral("New Seller") } })
                      .isValid(),
            qPrintable(store.lastError().text()));
    }
    QCOMPARE(descriptions(path, QStringLiteral("90"), QStringLiteral("sp")),
        QStringList { QStringLiteral("New Seller") });
    QCOMPARE(descriptions(path, QStringLiteral("90"), QStringLiteral("company")),
        QStringList { QStringLiteral("Old Shop") });
    QCOMPARE(integrity(path), QStringLiteral("ok"));
}

QTEST_GUILESS_MAIN(TestStoreFaults)
#include "tst_storefaults.moc"
