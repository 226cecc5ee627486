// The first start with no price list anywhere: the person is asked, nothing is created unasked,
// declining ends with the usual three-line message, and a created price list opens at once.

#include "app/startup.h"
#include "store/store.h"
#include "support/faults_support.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>

class TestFirstStart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void start_data();
    void start();
    void questionNamesThePlaces();
    void folderThatCannotBeMade();
};

void TestFirstStart::start_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("created");
    QTest::addColumn<bool>("hasItems");
    QTest::addColumn<QString>("place"); // where the price list is to go: see below
    QTest::addColumn<QString>("whyHas"); // the reason told before the usual failure; empty: none

    const int demo = int(FirstStart::CreateDemo);
    const int empty = int(FirstStart::CreateEmpty);
    QTest::newRow("declined: the usual failure, no file")
        << int(FirstStart::Quit) << 1 << false << false << "folder" << QString();
    QTest::newRow("empty price list: created and opened")
        << empty << 0 << true << false << "folder" << QString();
    QTest::newRow("demo price list: created and opened")
        << demo << 0 << true << true << "folder" << QString();
    // When it cannot be made, the person hears why first, then the usual failure.
    QTest::newRow("a file where a folder belongs") << demo << 1 << false << false << "file in the way"
                                                   << "is a file, not a folder";
    QTest::newRow("a folder that cannot be written to") << demo << 1 << false << false << "read-only folder"
                                                        << "Nothing can be written in the folder";
    QTest::newRow("a full disk, empty price list") << empty << 1 << false << false << "full disk"
                                                   << "disk is full";
    QTest::newRow("a full disk, demo price list") << demo << 1 << false << false << "full disk"
                                                  << "disk is full";
}

void TestFirstStart::start()
{
    QFETCH(int, choice);
    QFETCH(QString, place);
    QFETCH(QString, whyHas);
    QTemporaryDir dir;
    DatabaseLocation::Found found;
    found.path = dir.filePath(QStringLiteral("data/brasko/db.mdb"));
    std::optional<Faults::SmallDisk> disk;
    if (place == QLatin1String("file in the way")) {
        QFile blocker(dir.filePath(QStringLiteral("data")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    } else if (place == QLatin1String("read-only folder")) {
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("data/brasko")));
        Faults::openUpFolder(dir.path());
        Faults::openUpFolder(dir.filePath(QStringLiteral("data")));
        ::chmod(QFile::encodeName(dir.filePath(QStringLiteral("data/brasko"))).constData(), 0555);
    } else if (place == QLatin1String("full disk")) {
        disk.emplace(QStringLiteral("256k"));
        if (!disk->isMounted())
            QSKIP(qPrintable(disk->whyNot()));
        QVERIFY(disk->fill() > 0);
        found.path = disk->filePath(QStringLiteral("db.mdb"));
    }
    found.searched = { dir.filePath(QStringLiteral("bin/db.mdb")), found.path };

    int asked = 0;
    QStringList failures;
    StartOptions options;
    options.locate = [&] { return found; };
    options.askFirstStart = [&](const DatabaseLocation::Found &f) {
        ++asked;
        [&] { QCOMPARE(f.path, found.path); }();
        [&] { QVERIFY(!QFile::exists(f.path)); }(); // nothing made before the answer
        return FirstStart(choice);
    };
    options.showFailure = [&](const QString &message) { failures << message; };
    // A window that opens is closed again as soon as the event loop runs.
    QTimer::singleShot(0, qApp, [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            w->close();
    });
    {
        std::optional<Faults::ActAsNobody> nobody;
        if (place == QLatin1String("read-only folder")) {
            nobody.emplace();
            if (Faults::writesIgnoringPermissions(dir.filePath(QStringLiteral("data/brasko"))))
                QSKIP("this user writes whatever the permissions say");
        }
        QTEST(Main(*qApp, options), "exitCode");
    }
    QCOMPARE(asked, 1);
    QTEST(QFile::exists(found.path), "created");
    if (!whyHas.isEmpty()) {
        // Why first, then the usual message; nothing half-made is left to be found next time.
        QCOMPARE(failures.size(), 2);
        QVERIFY2(failures[0].contains(whyHas), qPrintable(failures[0]));
        QVERIFY2(failures[0].contains(found.path), qPrintable(failures[0]));
        QVERIFY2(failures[1].startsWith(QStringLiteral("Error connecting to DataBase!\r")),
            qPrintable(failures[1]));
        QVERIFY(!QFile::exists(found.path + QStringLiteral("-journal")));
        return;
    }
    const QString failure = failures.value(0);
    QVERIFY(failures.size() <= 1);
    if (choice == int(FirstStart::Quit)) {
        const QStringList lines = failure.split(u'\r');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("Error connecting to DataBase!"));
        QVERIFY(lines[2].endsWith(found.path));
        return;
    }
    QVERIFY(failure.isEmpty());
    Store store(found.path, QStringLiteral("check"));
    QVERIFY(store.open());
    auto rows = store.query(QStringLiteral("select id from adt where category <> '90'"), {});
    QVERIFY(rows);
    QTEST(!rows->isEmpty(), "hasItems");
}

void TestFirstStart::questionNamesThePlaces()
{
    DatabaseLocation::Found found;
    found.path = QStringLiteral("/home/a/.local/share/brasko/db.mdb");
    found.searched = { QStringLiteral("/usr/bin/db.mdb"), found.path };
    const QString text = firstStartQuestion(found);
    QVERIFY(text.contains(QStringLiteral("/usr/bin/db.mdb")));
    QVERIFY(text.contains(found.path));
    QVERIFY(text.contains(QStringLiteral("brasko-demo-db")));
}

void TestFirstStart::folderThatCannotBeMade()
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString error;
    QVERIFY(!createFirstPriceList(
        FirstStart::CreateDemo, dir.filePath(QStringLiteral("file/sub/db.mdb")), &error));
    QVERIFY(error.contains(QStringLiteral("file/sub")));
}

QTEST_MAIN(TestFirstStart)
#include "tst_firststart.moc"
