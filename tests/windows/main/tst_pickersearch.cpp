#include "demodata.h"
#include "store/store.h"
#include "widgets/gridcombo.h"
#include "windows/main/mainwindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

// Searching a configuration row's open picker on the demo price list, and moving through a long
// one from the keyboard.
class TestPickerSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void searchTheDemoList_data();
    void searchTheDemoList();
    void keysLandAsInTheWholeList_data();
    void keysLandAsInTheWholeList();
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
        // A long category: far more rows than the picker reads at a time, some ids twice.
        QVERIFY(filler.inTransaction([&] {
            for (int i = 0; i < 700; ++i) {
                const QString id = QStringLiteral("LONG-%1").arg((i * 13) % 640, 3, 10, QLatin1Char('0'));
                if (!filler.execute(QStringLiteral("insert into adt (category,id,description,price) values "
                                                   "('14',?,?,'1.00')"),
                        { id, QStringLiteral("long list item %1").arg(i) }))
                    return false;
            }
            return true;
        }));
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

void TestPickerSearch::keysLandAsInTheWholeList_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::newRow("End") << QList<int> { Qt::Key_End };
    QTest::newRow("End, Up") << QList<int> { Qt::Key_End, Qt::Key_Up, Qt::Key_Up };
    QTest::newRow("End, PgDn past the end, Up")
        << QList<int> { Qt::Key_End, Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_Up, Qt::Key_Up };
    QTest::newRow("PgDn in an empty picker") << QList<int> { Qt::Key_PageDown, Qt::Key_PageDown };
    QTest::newRow("Home, End, Home") << QList<int> { Qt::Key_Home, Qt::Key_End, Qt::Key_Home, Qt::Key_Down };
    QList<int> upAll { Qt::Key_End };
    for (int i = 0; i < 705; ++i)
        upAll << Qt::Key_PageUp;
    upAll << Qt::Key_Down;
    QTest::newRow("End, then Up past the top and Down") << upAll;
    QList<int> downAll { Qt::Key_End, Qt::Key_Home };
    for (int i = 0; i < 702; ++i)
        downAll << Qt::Key_Right;
    downAll << Qt::Key_Left;
    QTest::newRow("Home, then Down past the end and Up") << downAll;
}

void TestPickerSearch::keysLandAsInTheWholeList()
{
    QFETCH(QList<int>, keys);
    const int row = 14;
    GridCombo *picker = m_form->row(row).picker();
    picker->setText(QString());
    picker->setRowSource(nullptr);
    // The same moves through the list read whole, as MainWindow::pickerKeyDown makes them.
    auto whole = m_store->query(QStringLiteral("select id as \"ID\" from adt where category = '14' "
                                               "order by id desc, rowid desc"),
        {});
    QVERIFY(whole);
    QString expected;
    picker->SetFocus();
    for (const int key : keys) {
        QTest::keyClick(picker->lineEdit(), Qt::Key(key));
        bool moved = true;
        if (key == Qt::Key_End)
            moved = whole->moveLast();
        else if (key == Qt::Key_Home)
            moved = whole->moveFirst();
        else if (key == Qt::Key_Up || key == Qt::Key_PageUp || key == Qt::Key_Left)
            moved = whole->movePrevious();
        else
            moved = whole->moveNext();
        if (moved)
            expected = *whole->text(QStringLiteral("ID"));
        QCOMPARE(picker->Text(), expected);
    }
    QCOMPARE(m_form->row(row).descriptionLabel()->text().isEmpty(), false);
}

QTEST_MAIN(TestPickerSearch)
#include "tst_pickersearch.moc"
