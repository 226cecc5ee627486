#include "core/registryfile.h"

#include <QRandomGenerator>
#include <QTest>

// The registry-file reader on its own: the three file forms, escapes, names without case, and
// inputs that must be survived rather than understood.
class TestRegistryFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void values_data();
    void values();
    void wineRoot_data();
    void wineRoot();
    void laterValueWinsAndDeletionRemoves();
    void malformedNeverCrashes_data();
    void malformedNeverCrashes();
    void randomBytesNeverCrash();
};

namespace
{

QByteArray utf16le(const QString &text, bool terminate)
{
    QByteArray out;
    for (QChar c : text) {
        out += char(c.unicode() & 0xFF);
        out += char(c.unicode() >> 8);
    }
    if (terminate)
        out += QByteArray(2, '\0');
    return out;
}

QByteArray withBom(const QString &text)
{
    return QByteArray("\xFF\xFE", 2) + utf16le(text, false);
}

const char *const Regedit4 = "REGEDIT4\r\n"
                             "\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n"
                             "\"Path\"=\"C:\\\\Program Files\\\\MSInfo\\\\msinfo32.exe\"\r\n"
                             "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
                             "@=\"default\"\r\n"
                             "\"Count\"=dword:0000001f\r\n"
                             "\"Bytes\"=hex:01,02,\\\r\n"
                             "  03,ff\r\n"
                             "\"Expand\"=hex(2):25,41,25,00\r\n"
                             "\"Narrow\"=hex(1):61,62,63\r\n"
                             "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\r\n"
                             "\r\n"
                             "[hkcu\\Software\\Shop]\r\n"
                             "\"Name\"=\"counter\"\r\n";

const char *const Wine = "WINE REGISTRY Version 2\n"
                         ";; All keys relative to \\\\Machine\n"
                         "\n"
                         "#arch=win32\n"
                         "\n"
                         "[Software\\\\Microsoft\\\\Shared Tools Location] 1678901234\n"
                         "#time=1d9556ab2f3c1e0\n"
                         "\"MSINFO\"=\"C:\\\\Windows\\\\system32\"\n"
                         "\"Escapes\"=\"a\\tb\\x00e9c\\101\\\\\"\n"
                         "\"Env\"=str(2):\"%SystemRoot%\\\\x\"\n"
                         "\"Plain\"=str:\"plain\"\n"
                         "\"Wide\"=hex(1):41,00,42,00\n"
                         "[Software\\\\Odd\\]Name] 1678901234\n"
                         "\"v\"=dword:00000001\n";

} // namespace

void TestRegistryFile::values_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<uint>("root");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<uint>("type");
    QTest::addColumn<QByteArray>("data");

    const QByteArray r4(Regedit4);
    const uint hklm = Registry::LocalMachine;
    const QString msinfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    QTest::newRow("regedit4 text has its zero") << r4 << hklm << msinfo << "Path" << uint(Registry::TypeSz)
                                                << utf16le("C:\\Program Files\\MSInfo\\msinfo32.exe", true);
    QTest::newRow("regedit4 names without case")
        << r4 << hklm << "software\\MICROSOFT\\shared tools\\msinfo"
        << "PATH" << uint(Registry::TypeSz) << utf16le("C:\\Program Files\\MSInfo\\msinfo32.exe", true);
    QTest::newRow("regedit4 escaped quote")
        << r4 << hklm << msinfo << "quote" << uint(Registry::TypeSz) << utf16le("say \"hi\"", true);
    QTest::newRow("regedit4 default value")
        << r4 << hklm << msinfo << "" << uint(Registry::TypeSz) << utf16le("default", true);
    QTest::newRow("regedit4 dword") << r4 << hklm << msinfo << "Count" << uint(Registry::TypeDword)
                                    << QByteArray("\x1f\0\0\0", 4);
    QTest::newRow("regedit4 continued hex")
        << r4 << hklm << msinfo << "Bytes" << uint(Registry::TypeBinary) << QByteArray("\x01\x02\x03\xff", 4);
    QTest::newRow("regedit4 narrow expand string widened")
        << r4 << hklm << msinfo << "Expand" << uint(Registry::TypeExpandSz) << utf16le("%A%", true);
    QTest::newRow("regedit4 string without zero")
        << r4 << hklm << msinfo << "Narrow" << uint(Registry::TypeSz) << utf16le("abc", false);
    QTest::newRow("regedit4 typed hex") << r4 << hklm << msinfo << "Qword" << uint(Registry::TypeQword)
                                        << QByteArray("\x01\0\0\0\0\0\0\0", 8);
    QTest::newRow("regedit4 short root name") << r4 << uint(Registry::CurrentUser) << "Software\\Shop"
                                              << "name" << uint(Registry::TypeSz) << utf16le("counter", true);

    const QString v5 = QStringLiteral(
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\r\n"
        "\"MSINFO\"=\"C:\\\\Program Files\\\\Common Files\\\\Microsoft Shared\\\\MSInfo\"\r\n"
        "\"Arabic\"=\"\u0633\u0639\u0631\"\r\n"
        "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\r\n");
    const QString location = "SOFTWARE\\Microsoft\\Shared Tools Location";
    QTest::newRow("version 5 in UTF-16")
        << withBom(v5) << hklm << location << "msinfo" << uint(Registry::TypeSz)
        << utf16le("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo", true);
    QTest::newRow("version 5 non-Latin text")
        << withBom(v5) << hklm << location << "Arabic" << uint(Registry::TypeSz)
        << utf16le(QString::fromUtf8("\u0633\u0639\u0631"), true);
    QTest::newRow("version 5 wide hex kept") << withBom(v5) << hklm << location << "Expand"
                                             << uint(Registry::TypeExpandSz) << utf16le("%A%", true);
    QTest::newRow("version 5 saved as UTF-8")
        << v5.toUtf8() << hklm << location << "msinfo" << uint(Registry::TypeSz)
        << utf16le("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo", true);

    const QByteArray wine(Wine);
    const QString wineKey = "Software\\Microsoft\\Shared Tools Location";
    QTest::newRow("wine doubled backslashes") << wine << hklm << wineKey << "MSINFO" << uint(Registry::TypeSz)
                                              << utf16le("C:\\Windows\\system32", true);
    QTest::newRow("wine C escapes") << wine << hklm << wineKey << "Escapes" << uint(Registry::TypeSz)
                                    << utf16le(QString::fromUtf8("a\tb\u00e9cA\\"), true);
    QTest::newRow("wine str(2)") << wine << hklm << wineKey << "env" << uint(Registry::TypeExpandSz)
                                 << utf16le("%SystemRoot%\\x", true);
    QTest::newRow("wine str:") << wine << hklm << wineKey << "Plain" << uint(Registry::TypeSz)
                               << utf16le("plain", true);
    QTest::newRow("wine wide hex") << wine << hklm << wineKey << "Wide" << uint(Registry::TypeSz)
                                   << utf16le("AB", false);
    QTest::newRow("wine escaped bracket in key name")
        << wine << hklm << "Software\\Odd]Name"
        << "v" << uint(Registry::TypeDword) << QByteArray("\x01\0\0\0", 4);
}

void TestRegistryFile::values()
{
    QFETCH(QByteArray, file);
    QFETCH(uint, root);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(uint, type);
    QFETCH(QByteArray, data);

    const RegistryFileModel model = parseRegistryFile(file);
    QCOMPARE(model.skippedLines, 0);
    const RegistryKey *k = findRegistryKey(model, root, key);
    QVERIFY(k);
    const RegistryValue *v = findRegistryValue(*k, value);
    QVERIFY(v);
    QCOMPARE(v->type, type);
    QCOMPARE(v->data, data);
}

void TestRegistryFile::wineRoot_data()
{
    QTest::addColumn<QByteArray>("relative");
    QTest::addColumn<uint>("root");
    QTest::newRow("machine") << QByteArray(";; All keys relative to \\\\Machine\n")
                             << uint(Registry::LocalMachine);
    QTest::newRow("user hive") << QByteArray(";; All keys relative to \\\\User\\\\S-1-5-21-1-2-3-1000\n")
                               << uint(Registry::CurrentUser);
    QTest::newRow("no comment: machine") << QByteArray() << uint(Registry::LocalMachine);
}

void TestRegistryFile::wineRoot()
{
    QFETCH(QByteArray, relative);
    QFETCH(uint, root);
    const RegistryFileModel model
        = parseRegistryFile("WINE REGISTRY Version 2\n" + relative + "[Software\\\\A] 1\n\"x\"=\"y\"\n");
    QCOMPARE(model.format, RegistryFileModel::Format::Wine);
    QVERIFY(findRegistryKey(model, root, u"software\\a"));
    const quint32 other = root == Registry::LocalMachine ? Registry::CurrentUser : Registry::LocalMachine;
    QVERIFY(!findRegistryKey(model, other, u"software\\a"));
}

void TestRegistryFile::laterValueWinsAndDeletionRemoves()
{
    const RegistryFileModel model = parseRegistryFile("REGEDIT4\n"
                                                      "[HKEY_LOCAL_MACHINE\\A]\n"
                                                      "\"one\"=\"1\"\n"
                                                      "\"two\"=\"2\"\n"
                                                      "\"three\"=\"3\"\n"
                                                      "[hkey_local_machine\\a\\]\n"
                                                      "\"ONE\"=\"first again\"\n"
                                                      "\"one\"=-\n"
                                                      "\"two\"=\"second\"\n");
    QCOMPARE(model.keys.size(), 1);
    const RegistryKey *k = findRegistryKey(model, Registry::LocalMachine, u"A");
    QVERIFY(k);
    QVERIFY(!findRegistryValue(*k, u"one"));
    QCOMPARE(findRegistryValue(*k, u"TWO")->data, utf16le("second", true));
    QCOMPARE(findRegistryValue(*k, u"three")->data, utf16le("3", true));
    QCOMPARE(k->values.size(), 2);
}

void TestRegistryFile::malformedNeverCrashes_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("values"); // values still read from the good lines

    const QByteArray head = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n";
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("no header") << QByteArray("[HKEY_LOCAL_MACHINE\\K]\n\"a\"=\"b\"\n") << 0;
    QTest::newRow("header only, no newline") << QByteArray("REGEDIT4") << 0;
    QTest::newRow("truncated name") << head + "\"abc" << 0;
    QTest::newRow("truncated text") << head + "\"a\"=\"unterminated\n\"b\"=\"ok\"\n" << 1;
    QTest::newRow("text ends in backslash") << head + "\"a\"=\"x\\" << 0;
    QTest::newRow("no equals") << head + "\"a\" \"b\"\n\"c\"=\"d\"" << 1;
    QTest::newRow("bad hex") << head + "\"a\"=hex:zz,01\n\"b\"=hex:1,,2\n\"c\"=hex:123\n" << 0;
    QTest::newRow("continuation at end of file") << head + "\"a\"=hex:01,\\" << 1;
    QTest::newRow("continuation chain") << head + "\"a\"=hex:01,\\\n\\\n\\\n02" << 1;
    QTest::newRow("bad dword") << head + "\"a\"=dword:\n\"b\"=dword:123456789\n\"c\"=dword:xyz\n" << 0;
    QTest::newRow("bad type number") << head + "\"a\"=hex(:01\n\"b\"=hex(123456789):01\n\"c\"=str(2)\"x\"\n"
                                     << 0;
    QTest::newRow("value before any key") << QByteArray("REGEDIT4\n\"a\"=\"b\"\n") << 0;
    QTest::newRow("unknown root") << QByteArray("REGEDIT4\n[HKEY_NOWHERE\\K]\n\"a\"=\"b\"\n") << 0;
    QTest::newRow("unclosed section") << QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\K\n\"a\"=\"b\"\n") << 0;
    QTest::newRow("deleted key section")
        << QByteArray("REGEDIT4\n[-HKEY_LOCAL_MACHINE\\K]\n\"a\"=\"b\"\n") << 0;
    QTest::newRow("wine bad escapes")
        << QByteArray("WINE REGISTRY Version 2\n[A\\\\B] 1\n\"a\"=\"\\x\\777\\q\"\n"
                      "\"b\"=\"\\xFFFFFFFF\"\n[unclosed\\]\n\"c\"=\"d\"\n")
        << 2;
    QTest::newRow("nul bytes") << head + QByteArray("\"a\0b\"=\"c\0d\"\n\0\0\0", 15) << 1;
    QTest::newRow("odd UTF-16") << QByteArray("\xFF\xFEW\0I\0N\0", 9) << 0;
    QTest::newRow("invalid UTF-8") << head + "\"a\"=\"\xC3\x28\xFF\"\n" << 1;
    QTest::newRow("huge text") << head + "\"a\"=\"" + QByteArray(4 * 1024 * 1024, 'x') + "\"\n" << 1;
    QTest::newRow("huge hex") << head + "\"a\"=hex:" + QByteArray("ab,").repeated(1024 * 1024) + "cd\n" << 1;
    QTest::newRow("many sections") << "REGEDIT4\n" + QByteArray("[HKLM\\A\\B]\n\"x\"=-\n").repeated(50000)
                                   << 0;
    QTest::newRow("lone carriage returns") << QByteArray("REGEDIT4\r[HKLM\\K]\r\"a\"=\"b\"\r") << 1;
}

void TestRegistryFile::malformedNeverCrashes()
{
    QFETCH(QByteArray, file);
    QFETCH(int, values);
    const RegistryFileModel model = parseRegistryFile(file);
    int read = 0;
    for (const RegistryKey &key : model.keys) {
        read += int(key.values.size());
        QCOMPARE(key.valueIndex.size(), key.values.size());
    }
    QCOMPARE(read, values);
}

void TestRegistryFile::randomBytesNeverCrash()
{
    // Garbage after each header, with a fixed seed so a failure can be repeated.
    QRandomGenerator random(20240611);
    const QByteArray headers[]
        = { "REGEDIT4\n", "WINE REGISTRY Version 2\n", withBom("Windows Registry Editor Version 5.00\n") };
    const char alphabet[] = "[]\"\\=@:,-;#()hexdwordstr0129afAF \n\r\t\xC3\xFF";
    for (const QByteArray &header : headers) {
        for (int round = 0; round < 300; ++round) {
            QByteArray body(random.bounded(1, 400), '\0');
            for (char &c : body)
                c = round % 2 ? char(random.bounded(256))
                              : alphabet[random.bounded(int(sizeof alphabet) - 1)];
            const RegistryFileModel model = parseRegistryFile(header + body);
            QCOMPARE(model.keyIndex.size(), model.keys.size());
        }
    }
}

QTEST_GUILESS_MAIN(TestRegistryFile)
#include "tst_registryfile.moc"
