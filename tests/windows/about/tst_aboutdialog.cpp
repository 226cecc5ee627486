#include "core/registry.h"
#include "windows/about/aboutdialog.h"
#include "windows/about/bitmapdisplayer.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

class TestAbout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void loadsOnFirstTabWithVersion();
    void okCloses();
    void animateCycle_data();
    void animateCycle();
    void startSysInfo_data();
    void startSysInfo();

private:
    QTemporaryDir m_dir;
};

namespace
{

template <typename T> T *child(QObject &parent, const char *name)
{
    return parent.findChild<T *>(QString::fromLatin1(name));
}

} // namespace

void TestAbout::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestAbout::loadsOnFirstTabWithVersion()
{
    AboutDialog about;
    QCOMPARE(about.objectName(), "ABOUTT");
    QCOMPARE(about.windowTitle(), "About Velmont Brasko");
    QVERIFY(about.isModal());

    auto *tabs = child<QTabWidget>(about, "SSTab1");
    QVERIFY(tabs);
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), "Author");
    QCOMPARE(tabs->tabText(1), "Program");
    QCOMPARE(tabs->currentIndex(), 0);

    QCOMPARE(child<QLabel>(about, "lblver")->text(), "Version : 6.0.0");
    QCOMPARE(child<QLabel>(about, "lbldesc")->text(), "Velmont Brasko");
    QVERIFY(!child<QLabel>(about, "lblDisclaimer")->text().isEmpty());
    QVERIFY(child<QFrame>(about, "Line1"));
    QCOMPARE(child<QGroupBox>(about, "Frame1")->title(), "Contact");
    QCOMPARE(child<QLabel>(about, "Label4")->text(), "Author");
    QVERIFY(!child<QLabel>(about, "Label1")->text().isEmpty());
    QVERIFY(!child<QLabel>(about, "Image1")->pixmap().isNull());

    auto *link = child<QLabel>(about, "axsHLink1");
    QVERIFY(link->text().contains("href=\"mailto:"));
    QVERIFY(link->openExternalLinks());
    QVERIFY(link->textInteractionFlags() & Qt::LinksAccessibleByMouse);

    // The contact sits on the first tab, the product on the second.
    QVERIFY(tabs->widget(0)->isAncestorOf(child<QGroupBox>(about, "Frame1")));
    QVERIFY(tabs->widget(0)->isAncestorOf(child<BitmapDisplayer>(about, "HSBitmapDisplayer1")));
    QVERIFY(tabs->widget(0)->isAncestorOf(child<QPushButton>(about, "Command1")));
    QVERIFY(tabs->widget(1)->isAncestorOf(child<QLabel>(about, "lblver")));

    QCOMPARE(child<QPushButton>(about, "Command1")->text(), "Animate!");
    QCOMPARE(child<QPushButton>(about, "cmdSysInfo")->text(), "System info");
    QCOMPARE(child<QPushButton>(about, "CommandButton1")->text(), "Ok");
    QVERIFY(!child<QPushButton>(about, "CommandButton1")->icon().isNull());
}

void TestAbout::okCloses()
{
    AboutDialog about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    child<QPushButton>(about, "CommandButton1")->click();
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

void TestAbout::animateCycle_data()
{
    // What the last of `presses` presses of "Animate!" does to the displayer, in order.
    QTest::addColumn<int>("presses");
    QTest::addColumn<QStringList>("log");

    const QString steps = "set 68030001=50";
    const QString over = "set 68030000=1";
    const QString block = "set 68030002=10";
    const auto plain = [&](const char *effect) {
        return QStringList { steps, over, QString("invoke ") + effect };
    };
    const auto blocks = [&](const char *effect) {
        return QStringList { steps, block, over, QString("invoke ") + effect };
    };
    QTest::newRow("press 1") << 1 << plain("6003000d");
    QTest::newRow("press 2") << 2 << plain("60030010");
    QTest::newRow("press 3") << 3 << plain("60030011");
    QTest::newRow("press 4 sets no member") << 4 << QStringList { steps, "invoke 6003000f" };
    QTest::newRow("press 5 sets no member") << 5 << QStringList { steps, "invoke 6003000e" };
    QTest::newRow("press 6") << 6 << plain("60030012");
    QTest::newRow("press 7") << 7 << plain("6003001a");
    QTest::newRow("press 8") << 8 << blocks("60030019");
    QTest::newRow("press 9") << 9 << plain("60030014");
    QTest::newRow("press 10") << 10 << plain("60030015");
    QTest::newRow("press 11") << 11 << plain("6003000c");
    QTest::newRow("press 12") << 12 << plain("60030016");
    QTest::newRow("press 13") << 13 << blocks("60030018");
    QTest::newRow("press 14 repeats 13") << 14 << blocks("60030018");
    QTest::newRow("press 15") << 15 << blocks("6003001b");
    QTest::newRow("press 16 plays nothing") << 16 << QStringList { steps };
    QTest::newRow("press 17 starts again") << 17 << plain("6003000d");
    QTest::newRow("press 18") << 18 << plain("60030010");
    QTest::newRow("press 32 plays nothing") << 32 << QStringList { steps };
    QTest::newRow("press 33 starts again") << 33 << plain("6003000d");
}

void TestAbout::animateCycle()
{
    QFETCH(int, presses);
    QFETCH(QStringList, log);

    AboutDialog about;
    auto *displayer = child<BitmapDisplayer>(about, "HSBitmapDisplayer1");
    auto *animate = child<QPushButton>(about, "Command1");
    QVERIFY(displayer && animate);
    QStringList seen;
    connect(displayer, &BitmapDisplayer::memberSet, this,
        [&](quint32 id, int value) { seen << QString("set %1=%2").arg(id, 0, 16).arg(value); });
    connect(displayer, &BitmapDisplayer::invoked, this,
        [&](quint32 id) { seen << QString("invoke %1").arg(id, 0, 16); });

    for (int i = 1; i < presses; ++i)
        animate->click();
    seen.clear();
    animate->click();
    QCOMPARE(seen, log);
    QCOMPARE(about.animatePresses(), presses % 16);
}

void TestAbout::startSysInfo_data()
{
    // %DIR% stands for a folder of the test; registry files are REGEDIT4 unless they say otherwise.
    QTest::addColumn<QByteArray>("registry");
    QTest::addColumn<QStringList>("files"); // created below %DIR%
    QTest::addColumn<bool>("startSucceeds");
    QTest::addColumn<QStringList>("started");
    QTest::addColumn<int>("messages");

    const QByteArray msinfo = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n";
    const QByteArray location = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\n";

    QTest::newRow("path value started without a check")
        << msinfo + "\"PATH\"=\"%DIR%/nowhere/msinfo32.exe\"\n"
        << QStringList() << true << QStringList { "%DIR%/nowhere/msinfo32.exe" } << 0;
    QTest::newRow("path value wins over the folder")
        << msinfo + "\"PATH\"=\"%DIR%/first.exe\"\n" + location + "\"MSINFO\"=\"%DIR%/tools\"\n"
        << QStringList { "tools/MSINFO32.EXE" } << true << QStringList { "%DIR%/first.exe" } << 0;
    QTest::newRow("names without case")
        << QByteArray("[hkey_local_machine\\software\\microsoft\\shared tools\\msinfo]\n"
                      "\"path\"=\"%DIR%/x.exe\"\n")
        << QStringList() << true << QStringList { "%DIR%/x.exe" } << 0;
    QTest::newRow("folder holding the tool")
        << location + "\"MSINFO\"=\"%DIR%/tools\"\n"
        << QStringList { "tools/MSINFO32.EXE" } << true << QStringList { "%DIR%/tools\\MSINFO32.EXE" } << 0;
    QTest::newRow("folder without the tool")
        << location + "\"MSINFO\"=\"%DIR%/empty\"\n"
        << QStringList { "empty/other.exe" } << true << QStringList() << 1;
    QTest::newRow("folder named as the tool is no tool")
        << location + "\"MSINFO\"=\"%DIR%/dir\"\n"
        << QStringList { "dir/MSINFO32.EXE/inside" } << true << QStringList() << 1;
    QTest::newRow("neither key") << QByteArray("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n\"PATH\"=\"x\"\n")
                                 << QStringList() << true << QStringList() << 1;
    QTest::newRow("value of another name") << msinfo + "\"Path2\"=\"x\"\n"
                                           << QStringList() << true << QStringList() << 1;
    QTest::newRow("failed start") << msinfo + "\"PATH\"=\"%DIR%/broken.exe\"\n"
                                  << QStringList() << false << QStringList { "%DIR%/broken.exe" } << 1;
    QTest::newRow("path longer than the buffer") << msinfo + "\"PATH\"=\"" + QByteArray(1100, 'p') + "\"\n"
                                                 << QStringList() << true << QStringList() << 1;
    QTest::newRow("wine prefix with the tool in another case")
        << QByteArray("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n"
                      "[Software\\\\Microsoft\\\\Shared Tools Location] 1700000000\n"
                      "\"MSINFO\"=\"C:\\\\windows\\\\system32\"\n")
        << QStringList { "dosdevices/c:/windows/system32/msinfo32.exe" } << true
        << QStringList { "C:\\windows\\system32\\MSINFO32.EXE" } << 0;
    QTest::newRow("wine prefix without the tool")
        << QByteArray("WINE REGISTRY Version 2\n[Software\\\\Microsoft\\\\Shared Tools Location] 1700000000\n"
                      "\"MSINFO\"=\"C:\\\\windows\\\\system32\"\n")
        << QStringList { "dosdevices/c:/windows/notepad.exe" } << true << QStringList() << 1;
}

void TestAbout::startSysInfo()
{
    QFETCH(QByteArray, registry);
    QFETCH(QStringList, files);
    QFETCH(bool, startSucceeds);
    QFETCH(QStringList, started);
    QFETCH(int, messages);

    const QString dir = m_dir.filePath(QTest::currentDataTag());
    QVERIFY(QDir().mkpath(dir));
    for (const QString &file : files) {
        const QString path = dir + '/' + file;
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    if (!registry.startsWith("WINE"))
        registry.prepend("REGEDIT4\n\n");
    registry.replace("%DIR%", dir.toUtf8());
    QFile reg(dir + "/system.reg");
    QVERIFY(reg.open(QIODevice::WriteOnly));
    reg.write(registry);
    reg.close();

    AboutDialog about;
    about.setRegistrySource(std::make_unique<RegistryFileSource>(QStringList { reg.fileName() }));
    QStringList startedPaths;
    about.setProgramStarter([&](const QString &path) {
        startedPaths << path;
        return startSucceeds;
    });
    QStringList shown;
    about.setMessageShower([&](const QString &text, const QString &title) { shown << title + ": " + text; });

    child<QPushButton>(about, "cmdSysInfo")->click();

    started.replaceInStrings("%DIR%", dir);
    QCOMPARE(startedPaths, started);
    QCOMPARE(shown.size(), messages);
    if (messages)
        QCOMPARE(shown.first(), "Velmont Brasko: System Information Is Unavailable At This Time");
}

QTEST_MAIN(TestAbout)
#include "tst_aboutdialog.moc"
