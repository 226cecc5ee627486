// Starting on a database server: the main window says where it works, and a server that cannot be
// reached stops the start with a message naming it, without a word written anywhere else.

#include "app/startup.h"
#include "support/testdb.h"
#include "support/typing.h"
#include "windows/main/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
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
    void passwordNeverShown_data();
    void passwordNeverShown();
    void windowSaysWhichDatabase_data();
    void windowSaysWhichDatabase();
    void salesExecutiveStaysWithTheCounter();
    void closingKeepsAnotherCountersShopName_data();
    void closingKeepsAnotherCountersShopName();

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

void TestServerStart::passwordNeverShown_data()
{
    QTest::addColumn<bool>("fromConfiguration");
    QTest::addColumn<QString>("address");
    for (const bool fromConfiguration : { true, false }) {
        const char *where = fromConfiguration ? "brasko.conf" : "command line";
        QTest::addRow("%s: after the user, holding a slash", where)
            << fromConfiguration << "postgresql://shop:qz7/k9w@127.0.0.1:1/brasko";
        QTest::addRow("%s: a parameter", where)
            << fromConfiguration << "postgresql://shop@127.0.0.1:1/brasko?password=qz7k9w";
        QTest::addRow("%s: a second parameter, key percent-encoded", where)
            << fromConfiguration << "postgresql://shop@127.0.0.1:1/brasko?sslmode=disable&%70assword=qz7k9w";
        QTest::addRow("%s: a connection string", where)
            << fromConfiguration << "host=127.0.0.1 port=1 dbname=brasko password=qz7k9w";
    }
}

// The start-up message names the address refused, with no piece of the password in it.
void TestServerStart::passwordNeverShown()
{
    QFETCH(bool, fromConfiguration);
    QFETCH(QString, address);
    const QString config = m_home.filePath(QStringLiteral("config/brasko/brasko.conf"));
    QFile::remove(config);
    StartOptions options;
    if (fromConfiguration) {
        QSettings conf(config, QSettings::IniFormat);
        conf.setValue(QStringLiteral("database/server"), address);
    } else {
        options.databasePath = address;
    }
    QStringList shown;
    options.showFailure = [&](const QString &message) { shown << message; };
    options.askFirstStart = [&](const DatabaseLocation::Found &) { return FirstStart::CreateEmpty; };
    QCOMPARE(Main(*qApp, options), 1);
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown[0].contains(QStringLiteral("holds a password")), qPrintable(shown[0]));
    QVERIFY2(shown[0].contains(QStringLiteral("Provider=PostgreSQL")), qPrintable(shown[0]));
    for (const char *piece : { "qz7", "k9w" })
        QVERIFY2(!shown[0].contains(QLatin1String(piece)), qPrintable(shown[0]));
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
    QVERIFY(form.load());
    auto *panel = form.findChild<QLabel *>(QStringLiteral("DatabasePanel"));
    QVERIFY(panel);
    QVERIFY2(panel->text().contains(panelHas), qPrintable(panel->text()));
    QVERIFY(panel->toolTip().contains(QDir::toNativeSeparators(db.path)));
    QCOMPARE(form.findChild<QLineEdit *>(QStringLiteral("Text3"))->text(), QStringLiteral("Shared Shop"));
}

namespace
{

void closeWithoutFailure(MainWindow &form)
{
    QStringList failures;
    form.setCloseAfterFailure([&](const QString &message) {
        failures << message;
        return true;
    });
    form.close();
    QCOMPARE(failures, QStringList {});
}

QLineEdit *box(MainWindow &form, const char *name)
{
    return form.findChild<QLineEdit *>(QString::fromLatin1(name));
}

// One counter: its own configuration file, its own connection, its main window.
struct Counter {
    Counter(const QString &address, const QString &name, const QString &home)
        : store(address, name)
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QLatin1Char('/') + name));
        form = std::make_unique<MainWindow>(&store);
    }
    ~Counter() { form.reset(); }
    Store store;
    std::unique_ptr<MainWindow> form;
};

} // namespace

// Two counters on one shop's server: each keeps its own sales executive, and neither the shared
// row nor the other counter's name is touched by it.
void TestServerStart::salesExecutiveStaysWithTheCounter()
{
    if (!PostgresServer::available())
        QSKIP(qPrintable(PostgresServer::unavailableReason()));
    TestDb db(
        Backend::Server, { { "90", "company", "Shop", "0.00" }, { "90", "sp", "Copied Seller", "0.00" } });
    for (const char *name : { "counter1", "counter2" }) {
        Counter counter(db.path, QString::fromLatin1(name), m_home.path());
        QVERIFY(counter.form->load());
        // A new counter starts from the name the shop's copied database held.
        QCOMPARE(box(*counter.form, "Text5")->text(), QStringLiteral("Copied Seller"));
        typeOver(box(*counter.form, "Text5"), QString::fromLatin1(name) + QStringLiteral(" seller"));
        closeWithoutFailure(*counter.form);
    }
    QCOMPARE(db.descriptions("90", "sp"), QStringList { "Copied Seller" });
    for (const char *name : { "counter1", "counter2" }) {
        Counter counter(db.path, QString::fromLatin1(name), m_home.path());
        QVERIFY(counter.form->load());
        QCOMPARE(box(*counter.form, "Text5")->text(), QString::fromLatin1(name) + QStringLiteral(" seller"));
    }
}

void TestServerStart::closingKeepsAnotherCountersShopName_data()
{
    QTest::addColumn<bool>("shopNameRow"); // whether the server holds one when the counters start
    QTest::newRow("shop-name row") << true;
    QTest::newRow("no shop-name row yet") << false;
}

// Counter 1 is open all day; counter 2 renames the shop and closes. When counter 1 closes later,
// the new name stays: it writes back only what it changed itself (not even the placeholder its box
// showed for a name the server did not have yet).
void TestServerStart::closingKeepsAnotherCountersShopName()
{
    QFETCH(bool, shopNameRow);
    if (!PostgresServer::available())
        QSKIP(qPrintable(PostgresServer::unavailableReason()));
    TestDb db(Backend::Server,
        shopNameRow ? std::vector<TestRow> { { "90", "company", "Old Shop", "0.00" } }
                    : std::vector<TestRow> {});
    Counter first(db.path, QStringLiteral("early"), m_home.path());
    QVERIFY(first.form->load());
    {
        Counter second(db.path, QStringLiteral("late"), m_home.path());
        QVERIFY(second.form->load());
        typeOver(box(*second.form, "Text3"), QStringLiteral("New Shop"));
        closeWithoutFailure(*second.form);
    }
    closeWithoutFailure(*first.form);
    QCOMPARE(db.descriptions("90", "company"), QStringList { "New Shop" });
    // What a counter did change is written, and by then it wins.
    Counter third(db.path, QStringLiteral("third"), m_home.path());
    QVERIFY(third.form->load());
    typeOver(box(*third.form, "Text3"), QStringLiteral("Newest Shop"));
    closeWithoutFailure(*third.form);
    QCOMPARE(db.descriptions("90", "company"), QStringList { "Newest Shop" });
}

QTEST_MAIN(TestServerStart)
#include "tst_serverstart.moc"
