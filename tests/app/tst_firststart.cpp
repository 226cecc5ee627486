// The first start with no price list anywhere: the person is asked, nothing is created unasked,
// declining ends with the usual three-line message, and a created price list opens at once.

#include "app/startup.h"
#include "store/store.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

    QTest::newRow("declined: the usual failure, no file") << int(FirstStart::Quit) << 1 << false << false;
    QTest::newRow("empty price list: created and opened")
        << int(FirstStart::CreateEmpty) << 0 << true << false;
    QTest::newRow("demo price list: created and opened") << int(FirstStart::CreateDemo) << 0 << true << true;
}

void TestFirstStart::start()
{
    QFETCH(int, choice);
    QTemporaryDir dir;
    DatabaseLocation::Found found;
    found.path = dir.filePath(QStringLiteral("data/brasko/db.mdb"));
    found.searched = { dir.filePath(QStringLiteral("bin/db.mdb")), found.path };

    int asked = 0;
    QString failure;
    StartOptions options;
    options.locate = [&] { return found; };
    options.askFirstStart = [&](const DatabaseLocation::Found &f) {
        ++asked;
        [&] { QCOMPARE(f.path, found.path); }();
        [&] { QVERIFY(!QFile::exists(f.path)); }(); // nothing made before the answer
        return FirstStart(choice);
    };
    options.showFailure = [&](const QString &message) { failure = message; };
    // A window that opens is closed again as soon as the event loop runs.
    QTimer::singleShot(0, qApp, [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            w->close();
    });
    QTEST(Main(*qApp, options), "exitCode");
    QCOMPARE(asked, 1);
    QTEST(QFile::exists(found.path), "created");
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
