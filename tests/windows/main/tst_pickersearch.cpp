#include "demodata.h"
#include "store/store.h"
#include "widgets/gridcombo.h"
#include "windows/main/mainwindow.h"

#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

// Searching a configuration row's open picker on the demo price list.
class TestPickerSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void searchTheDemoList_data();
    void searchTheDemoList();
    void cleanupTestCase();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<MainWindow> m_form;
};

void TestPickerSearch::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString path = m_dir.filePath(QStringLiteral("db.mdb"));
    QString error;
    QVERIFY2(createPriceListDatabase(path, &error), qPrintable(error));
    {
        Store filler(path, QStringLiteral("t-demo-fill"));
        QVERIFY(filler.open());
        QVERIFY2(fillDemoPriceList(filler, &error), qPrintable(error));
    }
    m_store = std::make_unique<Store>(path, QStringLiteral("t-demo"));
    m_form = std::make_unique<MainWindow>(m_store.get());
    QVERIFY(m_form->load());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestPickerSearch::cleanupTestCase()
{
    m_form.reset();
    m_store.reset();
}

void TestPickerSearch::searchTheDemoList_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("description"); // the row's description after Enter
    QTest::newRow("ryz: only the Ryzen processors")
        << 0 << "ryz" << QStringList { "R5-5600G", "R5-5600" } << "AMD Ryzen 5 5600G with Radeon graphics";
    QTest::newRow("i5 in the processors")
        << 0 << "I5" << QStringList { "I5-12400F", "I5-12400" } << "Intel Core i5-12400F (no graphics)";
    QTest::newRow("by a word of the description in the RAM")
        << 2 << "corsair" << QStringList { "D4-16G3600" } << "DDR4 16GB 3600MHz Corsair Vengeance";
}

void TestPickerSearch::searchTheDemoList()
{
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QStringList, shown);
    QFETCH(QString, description);
    GridCombo *picker = m_form->row(row).picker();
    picker->showList();
    QTableView *view = picker->listView();
    QTest::keyClicks(view, typed);
    QStringList ids;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        ids << view->model()->index(r, 0).data().toString();
    QCOMPARE(ids, shown);
    QTest::keyClick(view, Qt::Key_Return);
    QVERIFY(!picker->isListShown());
    QCOMPARE(picker->Text(), shown.first());
    QCOMPARE(m_form->row(row).descriptionLabel()->text(), description);
}

QTEST_MAIN(TestPickerSearch)
#include "tst_pickersearch.moc"
