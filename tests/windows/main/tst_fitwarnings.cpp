#include "app/windowwiring.h"
#include "store/offerwarningtable.h"
#include "store/partattributetable.h"
#include "support/partattributetext.h"
#include "support/testdb.h"
#include "support/typing.h"
#include "widgets/gridcombo.h"
#include "windows/main/configrow.h"
#include "windows/main/fitwarnings.h"
#include "windows/main/mainwindow.h"
#include "windows/main/offeractions.h"
#include "windows/main/offerprint.h"

#include <QLabel>
#include <QListWidget>
#include <QTableView>
#include <QTest>

// Warnings while the offer is built: which rows are marked, what the panel lists, and that a list
// without attributes shows nothing at all.
class TestFitWarnings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void warnings_data();
    void warnings();
    void pickerFits_data();
    void pickerFits();
    void askedOnceBeforeKeeping_data();
    void askedOnceBeforeKeeping();
};

namespace
{

// "row id key=value,key=value": an item of the list and its attributes.
void keep(Store &store, const QString &line)
{
    const QString row = line.section(u' ', 0, 0);
    const QString id = line.section(u' ', 1, 1);
    QVERIFY(!PartAttributeTable(&store).write(row, id, attributesFromText(line.section(u' ', 2))).isValid());
}

} // namespace

void TestFitWarnings::warnings_data()
{
    QTest::addColumn<QStringList>("attributes"); // what the list knows of its items
    QTest::addColumn<QStringList>("chosen"); // "row id"
    QTest::addColumn<QStringList>("panel"); // its lines
    QTest::addColumn<QString>("marked"); // the rows with a mark
    const QStringList known { "0 AM5CPU socket=AM5,memory_types=DDR5,power=105",
        "1 INTELBOARD socket=LGA1700,memory_type=DDR5,form_factor=ATX",
        "1 AMDBOARD socket=AM5,memory_type=DDR5", "2 DDR4KIT memory_type=DDR4,modules=2" };
    QTest::newRow("a list without attributes says nothing")
        << QStringList {} << QStringList { "0 AM5CPU", "1 INTELBOARD" } << QStringList {} << "";
    QTest::newRow("socket differs") << known << QStringList { "0 AM5CPU", "1 INTELBOARD" }
                                    << QStringList { "Processor AM5 does not fit the board's LGA1700 socket",
                                           "1 check could not be made: unknown attributes" }
                                    << "0,1";
    QTest::newRow("fits, one check unknown")
        << known << QStringList { "0 AM5CPU", "1 AMDBOARD" }
        << QStringList { "1 check could not be made: unknown attributes" } << "";
    QTest::newRow("memory of another generation") << known << QStringList { "1 AMDBOARD", "2 DDR4KIT" }
                                                  << QStringList { "Memory DDR4 but the board takes DDR5",
                                                         "1 check could not be made: unknown attributes" }
                                                  << "1,2";
    QTest::newRow("an item the list does not know")
        << known << QStringList { "0 AM5CPU", "1 NOSUCH" }
        << QStringList { "3 checks could not be made: unknown attributes" } << "";
}

void TestFitWarnings::warnings()
{
    QFETCH(QStringList, attributes);
    QFETCH(QStringList, chosen);
    QFETCH(QStringList, panel);
    QFETCH(QString, marked);
    TestDb db({ { "0", "AM5CPU", "Ryzen 7 7700", "9000" }, { "1", "INTELBOARD", "Z790", "7000" },
        { "1", "AMDBOARD", "B650", "6000" }, { "2", "DDR4KIT", "2x16GB DDR4", "2500" } });
    Store store(db.path, QStringLiteral("t-fit"));
    MainWindow form(&store);
    connectWindows(form);
    QVERIFY(form.load());
    for (const QString &line : attributes)
        keep(store, line);
    form.show();
    const int plainHeight = form.height();
    for (const QString &pick : chosen) {
        const int row = pick.section(u' ', 0, 0).toInt();
        form.row(row).picker()->setText(pick.section(u' ', 1, 1));
        form.itemPicked(row);
    }
    auto *list = form.findChild<QListWidget *>(QStringLiteral("lstcompat"));
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    QCOMPARE(lines, panel);
    QCOMPARE(list->isVisible(), !panel.isEmpty());
    // The window makes room for the panel, and only while it shows.
    QCOMPARE(form.height() > plainHeight, !panel.isEmpty());
    QStringList marks;
    for (int row = 0; row < ConfigRow::Count; ++row) {
        auto *mark = form.findChild<QLabel *>(QStringLiteral("imgcompat(%1)").arg(row));
        if (mark && mark->isVisible()) {
            marks << QString::number(row);
            QVERIFY(!mark->toolTip().isEmpty() && mark->accessibleDescription() == mark->toolTip());
        }
    }
    QCOMPARE(marks.join(u','), marked);
    // On paper neither the panel nor the marks show; they come back after printing.
    {
        OfferPaperDress dress(&form);
        QVERIFY(!list->isVisible());
        for (const QString &row : marks)
            QVERIFY(!form.findChild<QLabel *>(QStringLiteral("imgcompat(%1)").arg(row))->isVisible());
    }
    QCOMPARE(list->isVisible(), !panel.isEmpty());
    form.offerActions()->setAskUnsaved([](const QString &) { return OfferActions::Unsaved::Discard; });
}

void TestFitWarnings::pickerFits_data()
{
    QTest::addColumn<QStringList>("attributes");
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<QStringList>("shown"); // by the processor row's picker with Fits on
    QTest::addColumn<QStringList>("dimmed");
    const QStringList known { "0 AM5CPU socket=AM5,memory_types=DDR5", "0 INTELCPU socket=LGA1700",
        "1 INTELBOARD socket=LGA1700,memory_type=DDR5", "1 AMDBOARD socket=AM5,memory_type=DDR5" };
    QTest::newRow("an AM5 board") << known << QStringList { "1 AMDBOARD" }
                                  << QStringList { "UNKNOWNCPU", "AM5CPU" } << QStringList { "UNKNOWNCPU" };
    // The Intel processor's memory is not known, nor the other's socket: both are in doubt.
    QTest::newRow("an Intel board") << known << QStringList { "1 INTELBOARD" }
                                    << QStringList { "UNKNOWNCPU", "INTELCPU" }
                                    << QStringList { "UNKNOWNCPU", "INTELCPU" };
    QTest::newRow("nothing else chosen")
        << known << QStringList {} << QStringList { "UNKNOWNCPU", "INTELCPU", "AM5CPU" } << QStringList {};
    QTest::newRow("a list without attributes")
        << QStringList {} << QStringList { "1 AMDBOARD" }
        << QStringList { "UNKNOWNCPU", "INTELCPU", "AM5CPU" } << QStringList {};
}

void TestFitWarnings::pickerFits()
{
    QFETCH(QStringList, attributes);
    QFETCH(QStringList, chosen);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, dimmed);
    TestDb db({ { "0", "AM5CPU", "Ryzen 7 7700", "9000" }, { "0", "INTELCPU", "Core i5-14400", "8000" },
        { "0", "UNKNOWNCPU", "Some processor", "100" }, { "1", "INTELBOARD", "Z790", "7000" },
        { "1", "AMDBOARD", "B650", "6000" } });
    Store store(db.path, QStringLiteral("t-fit"));
    MainWindow form(&store);
    connectWindows(form);
    QVERIFY(form.load());
    for (const QString &line : attributes)
        keep(store, line);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (const QString &pick : chosen) {
        const int row = pick.section(u' ', 0, 0).toInt();
        form.row(row).picker()->setText(pick.section(u' ', 1, 1));
        form.itemPicked(row);
    }
    GridCombo *picker = form.row(0).picker();
    picker->showList();
    QTableView *view = picker->listView();
    QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
    QTRY_VERIFY(picker->isSearchReady());
    QStringList ids, grey;
    for (int r = 0; r < view->model()->rowCount(); ++r) {
        const QModelIndex index = view->model()->index(r, 0);
        ids << index.data().toString();
        if (index.data(Qt::ForegroundRole).isValid())
            grey << ids.last();
    }
    QCOMPARE(ids, shown);
    QCOMPARE(grey, dimmed);
    picker->hideList();
    form.offerActions()->setAskUnsaved([](const QString &) { return OfferActions::Unsaved::Discard; });
}

void TestFitWarnings::askedOnceBeforeKeeping_data()
{
    QTest::addColumn<QString>("how"); // save or print
    QTest::addColumn<bool>("yes"); // the answer to the question
    QTest::newRow("save, kept all the same") << "save" << true;
    QTest::newRow("save, gone back") << "save" << false;
    QTest::newRow("print, kept all the same") << "print" << true;
    QTest::newRow("print, gone back") << "print" << false;
}

void TestFitWarnings::askedOnceBeforeKeeping()
{
    QFETCH(QString, how);
    QFETCH(bool, yes);
    TestDb db({ { "0", "AM5CPU", "Ryzen 7 7700", "9000" }, { "1", "INTELBOARD", "Z790", "7000" },
        { "2", "DDR4KIT", "2x16GB DDR4", "2500" } });
    Store store(db.path, QStringLiteral("t-fit"));
    MainWindow form(&store);
    connectWindows(form);
    QVERIFY(form.load());
    for (const char *line : { "0 AM5CPU socket=AM5,memory_types=DDR5",
             "1 INTELBOARD socket=LGA1700,memory_type=DDR5,memory_slots=4",
             "2 DDR4KIT memory_type=DDR4,modules=2" })
        keep(store, QString::fromLatin1(line));
    OfferActions *actions = form.offerActions();
    QStringList asked, told;
    int printed = 0;
    actions->cautions().setAsk([&](const QString &question) {
        asked << question;
        return yes;
    });
    actions->setTell([&](const QString &message) { told << message; });
    actions->setPrintPage([&] { return ++printed > 0; });
    actions->setAskUnsaved([](const QString &) { return OfferActions::Unsaved::Discard; });
    const auto pick = [&](int row, const QString &id) {
        form.row(row).picker()->setText(id);
        form.itemPicked(row);
    };
    const auto keepIt = [&] { return how == QLatin1String("save") ? actions->save() : actions->printKept(); };
    const QString socket = QStringLiteral("Processor AM5 does not fit the board's LGA1700 socket");
    pick(0, QStringLiteral("AM5CPU"));
    pick(1, QStringLiteral("INTELBOARD"));
    const Offer before = form.offer();
    QCOMPARE(keepIt(), yes);
    QCOMPARE(asked, QStringList { socket + QStringLiteral("\n\nKeep it?") });
    QCOMPARE(printed, how == QLatin1String("print") && yes ? 1 : 0);
    QVERIFY(told.isEmpty());
    QCOMPARE(actions->current().has_value(), yes);
    QVERIFY(form.offer() == before);
    if (!yes)
        return;
    // Accepted once: a change that leaves the warning as it was is not asked about again.
    typeOver(form.row(0).amountBox(), QStringLiteral("8900"));
    QVERIFY(keepIt());
    QCOMPARE(asked.size(), 1);
    // Kept with the revision, and read back when it is opened again.
    const auto kept = OfferWarningTable(&store).read({ 1, 2 });
    QVERIFY(kept);
    QCOMPARE(*kept, (QList<OfferWarning> { { socket, true } }));
    // Another offer starts with nothing accepted.
    actions->newOffer();
    pick(0, QStringLiteral("AM5CPU"));
    pick(1, QStringLiteral("INTELBOARD"));
    QVERIFY(actions->save());
    QCOMPARE(asked.size(), 2);
    QVERIFY(actions->load({ 1, 2 }));
    QVERIFY(actions->printKept());
    QCOMPARE(asked.size(), 2);
    // A new warning is asked about alone.
    pick(2, QStringLiteral("DDR4KIT"));
    QVERIFY(actions->save());
    QCOMPARE(asked.size(), 3);
    QCOMPARE(asked.last(), QStringLiteral("Memory DDR4 but the board takes DDR5\n\nKeep it?"));
}

QTEST_MAIN(TestFitWarnings)
#include "tst_fitwarnings.moc"
