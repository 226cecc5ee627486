#include "store/store.h"
#include "support/testdb.h"
#include "windows/import/exportdialog.h"
#include "windows/main/mainwindow.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

// The "Price List" menu and the export window.
class TestExportDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void menuSitsBetweenOfferAndHelp();
    void exports_data();
    void exports();
};

void TestExportDialog::menuSitsBetweenOfferAndHelp()
{
    TestDb db;
    Store store(db.path, QStringLiteral("t-menu"));
    MainWindow form(&store);
    QVERIFY(form.load());
    QStringList menus;
    for (QAction *a : form.menuBar()->actions())
        menus << (a->menu() ? a->menu()->objectName() : QString());
    QCOMPARE(menus, (QStringList { "mnufile", "mnuoffer", "mnupricelist", "menuhelp" }));
    auto *menu = form.findChild<QMenu *>(QStringLiteral("mnupricelist"));
    QCOMPARE(menu->title(), QStringLiteral("&Price List"));
    const auto items = menu->actions();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0]->objectName(), QStringLiteral("mnupricelistimport"));
    QCOMPARE(items[0]->text(), QStringLiteral("&Import..."));
    QCOMPARE(items[1]->objectName(), QStringLiteral("mnupricelistexport"));
    QCOMPARE(items[1]->text(), QStringLiteral("&Export..."));
    QCOMPARE(items[2]->objectName(), QStringLiteral("mnupricelistmarkup"));
    QCOMPARE(items[2]->text(), QStringLiteral("&Markup..."));
    QSignalSpy imports(&form, &MainWindow::priceListImportRequested);
    QSignalSpy exports(&form, &MainWindow::priceListExportRequested);
    QSignalSpy markups(&form, &MainWindow::priceListMarkupRequested);
    for (QAction *item : items)
        item->trigger();
    QCOMPARE(imports.size(), 1);
    QCOMPARE(exports.size(), 1);
    QCOMPARE(markups.size(), 1);
}

void TestExportDialog::exports_data()
{
    QTest::addColumn<int>("choice"); // 0: all categories, 1 + i: the i-th category
    QTest::addColumn<QString>("file"); // relative to the test folder; empty: none given
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("lines"); // of the file written, header included
    QTest::newRow("all") << 0 << "all.csv" << true << "3 items were written to" << 4;
    QTest::newRow("RAM only") << 3 << "ram.csv" << true << "2 items were written to" << 3;
    QTest::newRow("no file given") << 0 << "" << false << "File: enter the file" << -1;
    QTest::newRow("a folder that does not exist") << 0 << "none/x.csv" << false << "cannot be written" << -1;
}

void TestExportDialog::exports()
{
    QFETCH(int, choice);
    QFETCH(QString, file);
    QFETCH(bool, accepted);
    QFETCH(QString, message);
    QFETCH(int, lines);
    TestDb db({ { "2", "D4-16G", "DDR4 16GB", "1250" }, { "2", "D4-8G", "DDR4 8GB", "850" },
        { "0", "R5", "Ryzen", "5400" }, { "90", "company", "Shop", "0.00" } });
    Store store(db.path, QStringLiteral("t-exportdialog"));
    QVERIFY(store.open());
    PriceListExportDialog dialog(
        &store, { { "&Processor", "0" }, { "&Mother Board", "1" }, { "&RAM", "2" } });
    QStringList told;
    dialog.setTell([&](const QString &text, bool) { told << text; });
    auto *categories = dialog.findChild<QComboBox *>(QStringLiteral("cbocategory"));
    QCOMPARE(categories->count(), 4);
    QCOMPARE(categories->itemText(3), QStringLiteral("RAM"));
    categories->setCurrentIndex(choice);
    const QString path = file.isEmpty() ? QString() : db.dir.filePath(file);
    dialog.findChild<QLineEdit *>(QStringLiteral("txtfile"))->setText(path);
    dialog.findChild<QPushButton *>(QStringLiteral("cmdexport"))->click();
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    QCOMPARE(told.size(), 1);
    QVERIFY2(told.first().contains(message), qPrintable(told.first()));
    if (lines >= 0) {
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll().count("\r\n"), lines);
    }
}

QTEST_MAIN(TestExportDialog)
#include "tst_exportdialog.moc"
