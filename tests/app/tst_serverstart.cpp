// Starting on a database server: the main window says where it works, and a server that cannot be
// reached stops the start with a message naming it, without a word written anywhere else.

#include "app/startup.h"
#include "support/testdb.h"
#include "windows/main/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>

class TestServerStart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void unreachableServerStopsTheStart_data();
    void unreachableServerStopsTheStart();
    void windowSaysWhichDatabase_data();
    void windowSaysWhichDatabase();

private:
    QTemporaryDir m_home;
};

void TestServerStart::initTestCase()
{
    // The configuration and data folders of this test alone.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
    QDir(m_home.path()).mkpath(QStringLiteral("config/brasko"));
}

void TestServerStart::cleanupTestCase()
{
    TestDb::stopServer();
}

void TestServerStart::unreachableServerStopsTheStart_data()
{
    QTest::addColumn<bool>("fromConfiguration"); // else from the command line
    QTest::newRow("named in brasko.conf") << true;
    QTest::newRow("named on the command line") << false;
}

void TestServerStart::unreachableServerStopsTheStart()
{
    QFETCH(bool, fromConfiguration);
    // Nothing listens on port 1 of the loopback: the connection is refused at once.
    const QString address = QStringLiteral("postgresql://shop@127.0.0.1:1/brasko");
    const QString config = m_home.filePath(QStringLiteral("config/brasko/brasko.conf"));
    QFile::remove(config);
    StartOptions options;
    if (fromConfiguration) {
        QFile f(config);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[database]\nserver=" + address.toUtf8() + "\n");
    } else {
        options.databasePath = address;
    }
    QString shown;
    bool asked = false;
    options.showFailure = [&](const QString &message) { shown = message; };
    options.askFirstStart = [&](const DatabaseLocation::Found &) {
        asked = true;
        return FirstStart::CreateEmpty;
    };
    const QString beside = Store::defaultDatabasePath();
    const bool besideBefore = QFile::exists(beside);
    QCOMPARE(Main(*qApp, options), 1);
    QVERIFY2(shown.contains(QStringLiteral("127.0.0.1:1")), qPrintable(shown));
    QVERIFY2(shown.contains(QStringLiteral("cannot be reached")), qPrintable(shown));
    QVERIFY2(shown.startsWith(QStringLiteral("Error connecting to DataBase!\r")), qPrintable(shown));
    // No fallback to a local file: nobody was asked to make one and none was made or written.
    QVERIFY(!asked);
    QCOMPARE(QFile::exists(beside), besideBefore);
    QVERIFY(!QFile::exists(m_home.filePath(QStringLiteral("data/brasko"))));
    QFile::remove(config);
}

void TestServerStart::windowSaysWhichDatabase_data()
{
    QTest::addColumn<Backend>("backend");
    QTest::addColumn<QString>("panelHas");
    QTest::newRow("db.mdb") << Backend::File << "db.mdb";
    QTest::newRow("server") << Backend::Server << "PostgreSQL: t";
}

void TestServerStart::windowSaysWhichDatabase()
{
    QFETCH(Backend, backend);
    QFETCH(QString, panelHas);
    if (backend == Backend::Server && !PostgresServer::available())
        QSKIP(qPrintable(PostgresServer::unavailableReason()));
    TestDb db(backend, { { "90", "company", "Shared Shop", "0.00" }, { "90", "sp", "Mona", "0.00" } });
    Store store(db.path, QStringLiteral("t-panel"));
    MainWindow form(&store);
    QVERIFY(form.Form_Load());
    auto *panel = form.findChild<QLabel *>(QStringLiteral("DatabasePanel"));
    QVERIFY(panel);
    QVERIFY2(panel->text().contains(panelHas), qPrintable(panel->text()));
    QVERIFY(panel->toolTip().contains(QDir::toNativeSeparators(db.path)));
    QCOMPARE(form.findChild<QLineEdit *>(QStringLiteral("Text3"))->text(), QStringLiteral("Shared Shop"));
}

QTEST_MAIN(TestServerStart)
#include "tst_serverstart.moc"
