#include "core/registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// GetKeyValue's reading rules, through the registry-file source on real files.
class TestRegistry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void getKeyValue_data();
    void getKeyValue();
    void failureEmptiesText();
    void fileChangesAreSeen();
    void laterFileWins();
    void defaultFileFollowsWinePrefix();
    void localPath_data();
    void localPath();

private:
    QString write(const QString &name, const QByteArray &content);
    QTemporaryDir m_dir;
};

namespace
{

const QString Key = QStringLiteral("SOFTWARE\\Test");

QByteArray hexList(const QByteArray &bytes)
{
    QStringList parts;
    for (char c : bytes)
        parts << QString::asprintf("%02x", uchar(c));
    return parts.join(',').toLatin1();
}

} // namespace

void TestRegistry::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QString TestRegistry::write(const QString &name, const QByteArray &content)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(content);
    return path;
}

void TestRegistry::getKeyValue_data()
{
    QTest::addColumn<QByteArray>("line"); // the value line under [HKEY_LOCAL_MACHINE\SOFTWARE\Test]
    QTest::addColumn<QString>("valueName"); // as asked
    QTest::addColumn<QString>("passedIn");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("result");

    QTest::newRow("text with its zero loses the zero")
        << QByteArray("\"v\"=\"C:\\\\Tools\\\\msinfo32.exe\"") << "v"
        << "old" << true << "C:\\Tools\\msinfo32.exe";
    QTest::newRow("text without zero comes back whole") << QByteArray("\"v\"=hex(1):61,62,63") << "v"
                                                        << "old" << true << "abc";
    QTest::newRow("only one zero is cut") << QByteArray("\"v\"=hex(1):61,00,00") << "v"
                                          << "" << true << QString::fromUtf8("a\0", 2);
    QTest::newRow("empty text") << QByteArray("\"v\"=\"\"") << "v"
                                << "old" << true << "";
    QTest::newRow("empty data") << QByteArray("\"v\"=hex(1):") << "v"
                                << "old" << true << "";
    QTest::newRow("exactly 1024 bytes with the zero") << "\"v\"=\"" + QByteArray(1023, 'x') + "\""
                                                      << "v"
                                                      << "" << true << QString(1023, 'x');
    QTest::newRow("1025 bytes with the zero") << "\"v\"=\"" + QByteArray(1024, 'x') + "\""
                                              << "v"
                                              << "old" << false << "";
    QTest::newRow("exactly 1024 bytes without zero")
        << "\"v\"=hex(1):" + hexList(QByteArray(1024, 'y')) << "v"
        << "" << true << QString(1024, 'y');
    QTest::newRow("1025 bytes without zero") << "\"v\"=hex(1):" + hexList(QByteArray(1025, 'y')) << "v"
                                             << "old" << false << "";
    QTest::newRow("1024 bytes counted in the 8-bit encoding")
        << "\"v\"=\"" + QString(512, QChar(0xE9)).toUtf8() + "\""
        << "v"
        << "old" << false << "";
    QTest::newRow("non-ASCII text") << QString("\"v\"=\"caf\u00e9\"").toUtf8() << "v"
                                    << "" << true << QString::fromUtf8("caf\u00e9");
    QTest::newRow("expand string leaves the text") << QByteArray("\"v\"=str(2):\"%SystemRoot%\"") << "v"
                                                   << "as passed" << true << "as passed";
    QTest::newRow("expand string in hex leaves the text") << QByteArray("\"v\"=hex(2):25,41,25,00") << "v"
                                                          << "as passed" << true << "as passed";
    QTest::newRow("binary leaves the text") << QByteArray("\"v\"=hex:01,02") << "v"
                                            << "kept" << true << "kept";
    QTest::newRow("multi string leaves the text") << QByteArray("\"v\"=hex(7):61,00,00") << "v"
                                                  << "kept" << true << "kept";
    QTest::newRow("dword in decimal") << QByteArray("\"v\"=dword:0000001f") << "v"
                                      << "" << true << "31";
    QTest::newRow("dword ending in zero bytes") << QByteArray("\"v\"=dword:00000100") << "v"
                                                << "" << true << "256";
    QTest::newRow("dword zero") << QByteArray("\"v\"=dword:00000000") << "v"
                                << "x" << true << "0";
    QTest::newRow("dword high bit unsigned") << QByteArray("\"v\"=dword:ffffffff") << "v"
                                             << "" << true << "4294967295";
    QTest::newRow("short dword padded") << QByteArray("\"v\"=hex(4):01,02") << "v"
                                        << "" << true << "513";
    QTest::newRow("value name without case") << QByteArray("\"Path\"=\"p\"") << "pATH"
                                             << "" << true << "p";
    QTest::newRow("default value") << QByteArray("@=\"d\"") << ""
                                   << "" << true << "d";
    QTest::newRow("missing value") << QByteArray("\"v\"=\"x\"") << "w"
                                   << "old" << false << "";
}

void TestRegistry::getKeyValue()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, valueName);
    QFETCH(QString, passedIn);
    QFETCH(bool, read);
    QFETCH(QString, result);

    const QString path
        = write("rules.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n" + line + "\r\n");
    QVERIFY(!path.isEmpty());
    RegistryFileSource source({ path });
    QString text = passedIn;
    QCOMPARE(GetKeyValue(source, Registry::LocalMachine, Key, valueName, text), read);
    QCOMPARE(text, result);
}

void TestRegistry::failureEmptiesText()
{
    const QString path = write("fail.reg", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"v\"=\"x\"\n");
    RegistryFileSource source({ path });
    QString text = "old";
    QVERIFY(!GetKeyValue(source, Registry::LocalMachine, "SOFTWARE\\Missing", "v", text));
    QCOMPARE(text, QString());
    text = "old";
    QVERIFY(!GetKeyValue(source, Registry::CurrentUser, Key, "v", text));
    QCOMPARE(text, QString());
    text = "old";
    RegistryFileSource nothing({ m_dir.filePath("no-such.reg") });
    QVERIFY(!GetKeyValue(nothing, Registry::LocalMachine, Key, "v", text));
    QCOMPARE(text, QString());
    // Keys match without regard to case, and stray separators do not matter.
    QVERIFY(GetKeyValue(source, Registry::LocalMachine, "software\\\\TEST\\", "V", text));
    QCOMPARE(text, "x");
}

void TestRegistry::fileChangesAreSeen()
{
    const QString path
        = write("change.reg", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"v\"=\"one\"\n");
    RegistryFileSource source({ path });
    QString text;
    QVERIFY(GetKeyValue(source, Registry::LocalMachine, Key, "v", text));
    QCOMPARE(text, "one");
    write("change.reg", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"v\"=\"second\"\n");
    QVERIFY(GetKeyValue(source, Registry::LocalMachine, Key, "v", text));
    QCOMPARE(text, "second");
    QFile::remove(path);
    QVERIFY(!GetKeyValue(source, Registry::LocalMachine, Key, "v", text));
}

void TestRegistry::laterFileWins()
{
    const QString first = write("first.reg", "REGEDIT4\n[HKLM\\SOFTWARE\\Test]\n\"a\"=\"1\"\n\"b\"=\"1\"\n");
    const QString second = write("second.reg", "REGEDIT4\n[HKLM\\SOFTWARE\\Test]\n\"b\"=\"2\"\n");
    RegistryFileSource source({ first, second });
    QString text;
    QVERIFY(GetKeyValue(source, Registry::LocalMachine, Key, "a", text));
    QCOMPARE(text, "1");
    QVERIFY(GetKeyValue(source, Registry::LocalMachine, Key, "b", text));
    QCOMPARE(text, "2");
}

void TestRegistry::defaultFileFollowsWinePrefix()
{
    const QByteArray saved = qgetenv("WINEPREFIX");
    qputenv("WINEPREFIX", "/srv/prefix");
    QCOMPARE(RegistryFileSource::defaultFile(), "/srv/prefix/system.reg");
    qunsetenv("WINEPREFIX");
    QCOMPARE(RegistryFileSource::defaultFile(), QDir::homePath() + "/.wine/system.reg");
    if (!saved.isNull())
        qputenv("WINEPREFIX", saved);
}

void TestRegistry::localPath_data()
{
    QTest::addColumn<QString>("registryPath");
    QTest::addColumn<QString>("local"); // below the test folder, "" for as given with slashes

    QTest::newRow("drive path, exact case") << "C:\\Windows\\system32\\msinfo32.exe"
                                            << "/dosdevices/c:/Windows/system32/msinfo32.exe";
    QTest::newRow("drive path, other case") << "c:\\WINDOWS\\System32\\MSINFO32.EXE"
                                            << "/dosdevices/c:/Windows/system32/msinfo32.exe";
    QTest::newRow("missing part kept as given") << "C:\\Windows\\Nothing\\x.exe"
                                                << "/dosdevices/c:/Windows/Nothing/x.exe";
    QTest::newRow("drive without folder") << "D:\\tools\\x.exe"
                                          << "";
    QTest::newRow("local path") << "/opt/tools\\MSINFO32.EXE"
                                << "";
}

void TestRegistry::localPath()
{
    QFETCH(QString, registryPath);
    QFETCH(QString, local);
    const QString prefix = m_dir.filePath("prefix");
    QVERIFY(QDir().mkpath(prefix + "/dosdevices/c:/Windows/system32"));
    QFile exe(prefix + "/dosdevices/c:/Windows/system32/msinfo32.exe");
    QVERIFY(exe.open(QIODevice::WriteOnly));
    exe.close();
    RegistryFileSource source({ prefix + "/system.reg" });
    const QString expected = local.isEmpty() ? QString(registryPath).replace('\\', '/') : prefix + local;
    QCOMPARE(source.localPath(registryPath), expected);
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
