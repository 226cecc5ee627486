#include "app/startup.h"
#include "store/pricelistrepository.h"
#include "support/testdb.h"
#include "support/typing.h"
#include "windows/main/mainwindow.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptySettingsOpenWithInitialTexts();
    void closeWritesEditsAndExitDoesNot();
    void shopNameKeepsTrailingBlank();
    void dbDatePanel_data();
    void dbDatePanel();
    void titleShowsShopNameAsTyped_data();
    void titleShowsShopNameAsTyped();
    void missingDatabaseEndsWithoutWindow();
    void namesAndMenus();
    void failedSaveAsksBeforeClosing();
    void unreadSettingsAreSaidAndKept();
};

namespace
{

QLineEdit *box(MainWindow &form, const char *name)
{
    return form.findChild<QLineEdit *>(QString::fromLatin1(name));
}

// Every top-level window shown while it lives, by class and object name. A Show event reaches
// the application's filters on any platform, the headless one included.
class ShownWindows : public QObject
{
public:
    ShownWindows() { qApp->installEventFilter(this); }
    ~ShownWindows() override { qApp->removeEventFilter(this); }
    QStringList shown;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isWindow())
            shown << QString::fromLatin1(watched->metaObject()->className()) + QLatin1Char(' ')
                    + watched->objectName();
        return false;
    }
};

} // namespace

void TestMainWindow::emptySettingsOpenWithInitialTexts()
{
    TestDb db({ { "9", "X", "not a setting", "1" } });
    Store store(db.path, QStringLiteral("t-empty"));
    MainWindow form(&store);
    QVERIFY(form.load());
    QCOMPARE(box(form, "Text3")->text(), QStringLiteral("Company Name and Tel"));
    QCOMPARE(box(form, "Text5")->text(), QStringLiteral("Sales Executive"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Velmont Brasko - Company Name and Tel"));
    QCOMPARE(form.panelText(3), QStringLiteral("DB Date"));
    QCOMPARE(form.panelText(2), QStringLiteral("Version 6.0"));
    QCOMPARE(form.panelToolTip(1), form.panelText(1));
    QVERIFY(!form.panelText(4).isEmpty());
    form.close();
    QCOMPARE(db.descriptions(QStringLiteral("90"), QStringLiteral("company")),
        QStringList { QStringLiteral("Company Name and Tel") });
    QCOMPARE(db.descriptions(QStringLiteral("90"), QStringLiteral("sp")),
        QStringList { QStringLiteral("Sales Executive") });
}

void TestMainWindow::closeWritesEditsAndExitDoesNot()
{
    TestDb db({ { "90", "company", "Old Shop", "0.00" }, { "90", "sp", "Old Name", "0.00" },
        { "90", "dt", "1/2/26 10:00", "0.00" } });
    {
        Store store(db.path, QStringLiteral("t-close"));
        MainWindow form(&store);
        QVERIFY(form.load());
        QCOMPARE(form.panelText(3), QStringLiteral("DB Date:1/2/26 10:00"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Velmont Brasko - Old Shop"));
        typeOver(box(form, "Text3"), QStringLiteral("Ahmed's PCs"));
        typeOver(box(form, "Text5"), QStringLiteral("x'); delete from adt; --"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Velmont Brasko - Ahmed's PCs"));
        form.close();
    }
    QCOMPARE(db.descriptions(QStringLiteral("90"), QStringLiteral("company")),
        QStringList { QStringLiteral("Ahmed's PCs") });
    QCOMPARE(db.descriptions(QStringLiteral("90"), QStringLiteral("sp")),
        QStringList { QStringLiteral("x'); delete from adt; --") });
    {
        Store store(db.path, QStringLiteral("t-exit"));
        MainWindow form(&store);
        bool ended = false;
        form.setEndProgram([&] { ended = true; });
        QVERIFY(form.load());
        typeOver(box(form, "Text3"), QStringLiteral("Never written"));
        form.findChild<QAction *>(QStringLiteral("mnufileexit"))->trigger();
        QVERIFY(ended);
        form.close(); // even a later close must not write after Exit
    }
    QCOMPARE(db.descriptions(QStringLiteral("90"), QStringLiteral("company")),
        QStringList { QStringLiteral("Ahmed's PCs") });
}

void TestMainWindow::shopNameKeepsTrailingBlank()
{
    TestDb db;
    {
        Store store(db.path, QStringLiteral("t-blank"));
        MainWindow form(&store);
        QVERIFY(form.load());
        typeOver(box(form, "Text3"), QStringLiteral("Delta "));
        form.close();
    }
    Store store(db.path, QStringLiteral("t-blank2"));
    MainWindow form(&store);
    QVERIFY(form.load());
    QCOMPARE(box(form, "Text3")->text(), QStringLiteral("Delta "));
}

void TestMainWindow::dbDatePanel_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("panel");
    QTest::newRow("no dt row") << ""
                               << "DB Date";
    QTest::newRow("dt with a date") << "insert into adt values ('90', 'dt', '1/2/26 10:00', '0.00')"
                                    << "DB Date:1/2/26 10:00";
    QTest::newRow("dt without a value") << "insert into adt values ('90', 'dt', NULL, '0.00')"
                                        << "DB Date:";
    QTest::newRow("dt with an empty text") << "insert into adt values ('90', 'dt', '', '0.00')"
                                           << "DB Date:";
}

void TestMainWindow::dbDatePanel()
{
    QFETCH(QString, setup);
    QFETCH(QString, panel);
    TestDb db;
    if (!setup.isEmpty())
        db.exec(setup);
    Store store(db.path, QStringLiteral("t-dbdate"));
    MainWindow form(&store);
    QVERIFY(form.load());
    QCOMPARE(form.panelText(3), panel);
    QCOMPARE(form.panelToolTip(3), QStringLiteral("Data Base Last modification date"));
}

void TestMainWindow::titleShowsShopNameAsTyped_data()
{
    QTest::addColumn<QString>("shop");
    QTest::newRow("placeholder inside") << "PCs [*] More";
    QTest::newRow("placeholder at the end") << "Delta [*]";
    QTest::newRow("two placeholders") << "[*][*]";
    QTest::newRow("three placeholders") << "[*][*][*]";
    QTest::newRow("placeholder in brackets") << "[[*]]";
    QTest::newRow("no placeholder") << "Ahmed's PCs";
    QTest::newRow("empty") << "";
}

void TestMainWindow::titleShowsShopNameAsTyped()
{
    QFETCH(QString, shop);
    TestDb db;
    Store store(db.path, QStringLiteral("t-title"));
    MainWindow form(&store);
    QVERIFY(form.load());
    form.winId(); // the title bar's text is the native window's title
    box(form, "Text3")->setText(shop);
    QCOMPARE(form.windowHandle()->title(), "Velmont Brasko - " + shop);
    QCOMPARE(
        QAccessible::queryAccessibleInterface(&form)->text(QAccessible::Name), "Velmont Brasko - " + shop);
}

void TestMainWindow::missingDatabaseEndsWithoutWindow()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    ShownWindows windows;
    // Should Main go on to its event loop, this ends it at once (with another code) instead of
    // letting the test hang.
    QObject loopGuard;
    bool loopRan = false;
    QTimer::singleShot(0, &loopGuard, [&] {
        loopRan = true;
        QCoreApplication::exit(2);
    });
    QString shown;
    QStringList windowsBeforeMessage;
    const int code = Main(
        *qApp,
        [&](const QString &message) {
            shown = message;
            windowsBeforeMessage = windows.shown;
        },
        path);
    QVERIFY2(windowsBeforeMessage.isEmpty(), qPrintable(windowsBeforeMessage.join(u", ")));
    QVERIFY2(windows.shown.isEmpty(), qPrintable(windows.shown.join(u", ")));
    QVERIFY(!loopRan);
    QCOMPARE(code, 1);
    const QStringList lines = shown.split(u'\r');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QStringLiteral("Error connecting to DataBase!"));
    QCOMPARE(lines[1], QStringLiteral("Please make sure that office 2000 is installed!"));
    QVERIFY(lines[2].startsWith(QStringLiteral("Connection String: ")));
    QVERIFY(lines[2].contains(QStringLiteral("db.mdb")));
    QVERIFY(!shown.contains(u'\n'));
    QVERIFY(!QFile::exists(path));
    // The watch does see a window shown headless, so the empty list above means something.
    QWidget other;
    other.setObjectName(QStringLiteral("control"));
    other.show();
    QCOMPARE(windows.shown, QStringList { QStringLiteral("QWidget control") });
}

void TestMainWindow::namesAndMenus()
{
    TestDb db;
    Store store(db.path, QStringLiteral("t-names"));
    MainWindow form(&store);
    QVERIFY(form.load());
    for (const char *name :
        { "Text3", "Text5", "Text2", "DTPicker1", "StatusBar1", "Frame1", "Frame2", "mnufile", "menuhelp" })
        QVERIFY2(form.findChild<QObject *>(QString::fromLatin1(name)), name);
    const auto file = form.findChild<QMenu *>(QStringLiteral("mnufile"))->actions();
    QCOMPARE(file.size(), 4);
    QCOMPARE(file[0]->objectName(), QStringLiteral("mnufileinstallments"));
    QCOMPARE(file[1]->objectName(), QStringLiteral("mnufileorders"));
    QVERIFY(file[2]->isSeparator());
    QCOMPARE(file[3]->objectName(), QStringLiteral("mnufileexit"));
    QCOMPARE(file[3]->text(), QStringLiteral("&Exit"));
    const auto help = form.findChild<QMenu *>(QStringLiteral("menuhelp"))->actions();
    QCOMPARE(help.value(0)->objectName(), QStringLiteral("menuhelpabout"));
}

void TestMainWindow::failedSaveAsksBeforeClosing()
{
    TestDb db({ { "90", "company", "Old Shop", "0.00" } });
    Store store(db.path, QStringLiteral("t-failsave"));
    MainWindow form(&store);
    QVERIFY(form.load());
    form.show();
    db.exec(QStringLiteral(
        "create trigger no_insert before insert on adt begin select raise(abort, 'disk refused'); end"));
    QString asked;
    bool answer = false;
    form.setCloseAfterFailure([&](const QString &message) {
        asked = message;
        return answer;
    });
    typeOver(box(form, "Text3"), QStringLiteral("New Shop"));
    QVERIFY(!form.close());
    QVERIFY(form.isVisible());
    QVERIFY(asked.contains(QStringLiteral("disk refused")));
    QCOMPARE(db.descriptions(QStringLiteral("90"), QStringLiteral("company")),
        QStringList { QStringLiteral("Old Shop") });
    answer = true;
    QVERIFY(form.close());
    QCOMPARE(db.descriptions(QStringLiteral("90"), QStringLiteral("company")),
        QStringList { QStringLiteral("Old Shop") });
}

// The settings rows cannot be read as the window starts (the file opens, its price list is there):
// the person is told, and closing puts no first text over the names kept in the file.
void TestMainWindow::unreadSettingsAreSaidAndKept()
{
    TestDb db({ { "90", "company", "Old Shop", "0.00" }, { "90", "sp", "Old Seller", "0.00" },
        { "90", "validdays", "30", "0.00" } });
    db.exec(QStringLiteral("alter table adt rename to adt_kept"));
    // Reading a settings row fails (SQLite's abs() refuses the smallest integer); the rest reads.
    db.exec(QStringLiteral(
        "create view adt as select category, id, case when category = '90' then"
        " abs(-9223372036854775808) else description end as description, price from adt_kept"));
    Store store(db.path, QStringLiteral("t-unread"));
    MainWindow form(&store);
    QVERIFY(form.load());
    QCOMPARE(box(form, "Text3")->text(), QStringLiteral("Company Name and Tel"));
    QMessageBox *said = nullptr;
    QTRY_VERIFY((said = form.findChild<QMessageBox *>(QStringLiteral("SettingsUnreadWarning"))));
    QVERIFY2(
        said->text().startsWith(QStringLiteral("Could not read the shop name and the sales executive:\n")),
        qPrintable(said->text()));
    QVERIFY2(said->text().contains(QStringLiteral("overflow")), qPrintable(said->text()));
    said->close();
    // How long offers hold is not taken for unset either: new offers hold the default, and it is said.
    QMessageBox *days = form.findChild<QMessageBox *>(QStringLiteral("ValidDaysUnreadWarning"));
    QVERIFY(days);
    QCOMPARE(days->text().section(u'\n', 0, 0), QStringLiteral("Could not read how long offers hold:"));
    QVERIFY2(days->text().endsWith(QStringLiteral("\n\nNew offers hold 14 days until it can be read.")),
        qPrintable(days->text()));
    days->close();
    db.exec(QStringLiteral("drop view adt"));
    db.exec(QStringLiteral("alter table adt_kept rename to adt"));
    // Readable again; a read lets the window's connection see the table that is back.
    QCOMPARE(**PriceListRepository(&store).setting(QStringLiteral("company")), QStringLiteral("Old Shop"));
    typeOver(box(form, "Text5"), QStringLiteral("New Seller"));
    QString failure;
    form.setCloseAfterFailure([&](const QString &message) {
        failure = message;
        return true;
    });
    QVERIFY(form.close());
    QCOMPARE(failure, QString());
    QCOMPARE(db.descriptions(QStringLiteral("90"), QStringLiteral("company")),
        QStringList { QStringLiteral("Old Shop") });
    QCOMPARE(db.descriptions(QStringLiteral("90"), QStringLiteral("sp")),
        QStringList { QStringLiteral("New Seller") });
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
