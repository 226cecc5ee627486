// Where the price list is looked for when no path is given, and where a new one would go.

#include "store/databaselocation.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class TestDatabaseLocation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void resolve_data();
    void resolve();
    void configuredPath_data();
    void configuredPath();
    void configuredServerWins_data();
    void configuredServerWins();
    void configuredServer_data();
    void configuredServer();
};

namespace
{

const DatabaseLocation::Places Everywhere { QStringLiteral("/usr/bin/db.mdb"),
    QStringLiteral("/srv/shop/db.mdb"), QStringLiteral("/home/a/.local/share/brasko/db.mdb"), QString() };

} // namespace

void TestDatabaseLocation::resolve_data()
{
    QTest::addColumn<QString>("configured");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QStringList>("searched");

    const QString beside = Everywhere.besideExecutable;
    const QString shop = Everywhere.configured;
    const QString user = Everywhere.userData;
    QTest::newRow("folder carrying its own database keeps it")
        << shop << QStringList { beside, shop, user } << beside << true << QStringList { beside };
    QTest::newRow("installed: the person's own data folder")
        << QString() << QStringList { user } << user << true << QStringList { beside, user };
    QTest::newRow("shop's configured place before the person's")
        << shop << QStringList { shop, user } << shop << true << QStringList { beside, shop };
    QTest::newRow("configured place missing: the person's own is still used")
        << shop << QStringList { user } << user << true << QStringList { beside, shop, user };
    QTest::newRow("nothing anywhere: a new one goes to the person's folder")
        << QString() << QStringList {} << user << false << QStringList { beside, user };
    QTest::newRow("nothing anywhere, configured: a new one goes to the shop's place")
        << shop << QStringList {} << shop << false << QStringList { beside, shop, user };
    QTest::newRow("configured place is the executable's folder: looked at once")
        << beside << QStringList {} << beside << false << QStringList { beside, user };
}

void TestDatabaseLocation::resolve()
{
    QFETCH(QString, configured);
    QFETCH(QStringList, existing);
    DatabaseLocation::Places places = Everywhere;
    places.configured = configured;
    const QSet<QString> files(existing.cbegin(), existing.cend());
    const auto found = DatabaseLocation::resolve(places, [&](const QString &p) { return files.contains(p); });
    QTEST(found.path, "path");
    QTEST(found.exists, "exists");
    QTEST(found.searched, "searched");
}

void TestDatabaseLocation::configuredPath_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected"); // relative to the configuration file's folder

    QTest::newRow("absolute path") << QByteArray("[database]\npath=/srv/shop/db.mdb\n") << "/srv/shop/db.mdb";
    QTest::newRow("relative path is taken from the file's folder")
        << QByteArray("[database]\npath=prices/db.mdb\n") << "prices/db.mdb";
    QTest::newRow("blank value names none") << QByteArray("[database]\npath=  \n") << QString();
    QTest::newRow("other keys only") << QByteArray("[window]\nwidth=3\n") << QString();
    QTest::newRow("empty file") << QByteArray() << QString();
}

void TestDatabaseLocation::configuredPath()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("brasko.conf"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    if (!expected.isEmpty() && !expected.startsWith(u'/'))
        expected = dir.filePath(expected);
    QCOMPARE(DatabaseLocation::configuredPath(file), expected);
    QCOMPARE(DatabaseLocation::configuredPath(dir.filePath(QStringLiteral("none.conf"))), QString());
}

void TestDatabaseLocation::configuredServerWins_data()
{
    QTest::addColumn<QStringList>("existing");
    const QString server = QStringLiteral("postgresql://shop@10.0.0.5/brasko");
    QTest::newRow("even over db.mdb beside the executable")
        << QStringList { Everywhere.besideExecutable, Everywhere.userData };
    QTest::newRow("no file anywhere: nobody is asked to make one") << QStringList {};
}

// A shop that named its server never ends up on a local file, whatever files lie around: the
// counters would drift apart without anyone noticing.
void TestDatabaseLocation::configuredServerWins()
{
    QFETCH(QStringList, existing);
    DatabaseLocation::Places places = Everywhere;
    places.server = QStringLiteral("postgresql://shop@10.0.0.5/brasko");
    const QSet<QString> files(existing.cbegin(), existing.cend());
    const auto found = DatabaseLocation::resolve(places, [&](const QString &p) { return files.contains(p); });
    QCOMPARE(found.path, places.server);
    QVERIFY(found.exists);
    QCOMPARE(found.searched, QStringList {});
}

void TestDatabaseLocation::configuredServer_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");
    QTest::newRow("server") << QByteArray("[database]\nserver=postgresql://shop@10.0.0.5/brasko\n")
                            << "postgresql://shop@10.0.0.5/brasko";
    QTest::newRow("blank") << QByteArray("[database]\nserver= \n") << QString();
    QTest::newRow("a path only") << QByteArray("[database]\npath=/srv/db.mdb\n") << QString();
}

void TestDatabaseLocation::configuredServer()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("brasko.conf"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    QTEST(DatabaseLocation::configuredServer(file), "expected");
}

QTEST_GUILESS_MAIN(TestDatabaseLocation)
#include "tst_databaselocation.moc"
