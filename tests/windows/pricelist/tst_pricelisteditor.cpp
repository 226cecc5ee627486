#include "support/pricelisteditorfixture.h"

#include "core/generaldate.h"
#include "support/testdb.h"
#include "widgets/gridcombo.h"
#include "widgets/numericedit.h"
#include "windows/errors/errorreport.h"
#include "windows/errors/showerrorreport.h"
#include "windows/pricelist/pricelisteditor.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

#include <memory>

namespace
{

bool stampedBetween(const QString &stamp, const QDateTime &before, const QDateTime &after)
{
    for (QDateTime t = before.addMSecs(-before.time().msec()); t <= after; t = t.addSecs(1)) {
        if (GeneralDateText(t) == stamp)
            return true;
    }
    return false;
}

} // namespace

class TestFrmadt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void opensOnItsCategory_data();
    void opensOnItsCategory();
    void nothingUsableBeforeALookup();
    void typingAccumulatesUpperCase_data();
    void typingAccumulatesUpperCase();
    void lookupStates_data();
    void lookupStates();
    void choosingARowLooksUpAndMovesToDescription();
    void changes_data();
    void changes();
    void deleteRemovesOnlyTheLookedUpRow_data();
    void deleteRemovesOnlyTheLookedUpRow();
    void stampKeepsOldRowWhenItsInsertFails();
    void rejectedStatements_data();
    void rejectedStatements();
    void failedListIsReported();
    void shownReportTakingTheFocusStartsNoSecondLookup();
    void outOfRangePriceIsRefusedByAdd();
    void cancelAndEscCloseWithoutChange_data();
    void cancelAndEscCloseWithoutChange();
    void tabOrder();
    void commaLocaleStoresPricesWithAPoint_data();
    void commaLocaleStoresPricesWithAPoint();
};

void TestFrmadt::opensOnItsCategory_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("cat");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("ids");

    QTest::newRow("row-15") << "Extra &2"
                            << "15"
                            << "Extra &2 Data" << QStringList { "X1", "O'NEIL 15\"" };
    QTest::newRow("row-0") << "&Processor"
                           << "0"
                           << "&Processor Data" << QStringList { "I5", "R5" };
    QTest::newRow("row-16-without-picture") << "&Other"
                                            << "16"
                                            << "&Other Data" << QStringList {};
}

void TestFrmadt::opensOnItsCategory()
{
    QFETCH(QString, caption);
    QFETCH(QString, cat);
    QFETCH(QString, title);
    QFETCH(QStringList, ids);

    Fixture f(caption, cat);
    QCOMPARE(f.editor->windowTitle(), title);
    QCOMPARE(f.editor->cat(), cat);
    QVERIFY(!f.child<QLabel>("Image1")->pixmap().isNull());
    f.id()->showList();
    RecordSet *rows = f.id()->RowSource();
    QVERIFY(rows);
    QStringList listed;
    for (bool on = rows->moveFirst(); on; on = rows->moveNext())
        listed << rows->text("ID").value_or("?");
    listed.sort();
    ids.sort();
    QCOMPARE(listed, ids); // in the order the database returns them
    QCOMPARE(rows->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Price"));
    f.id()->hideList();
}

void TestFrmadt::nothingUsableBeforeALookup()
{
    Fixture f;
    QCOMPARE(f.buttonStates(), QStringLiteral("---"));
    QVERIFY(f.button("command0")->isEnabled());
    QCOMPARE(f.editor->focusWidget(), f.id()->lineEdit());
    QCOMPARE(f.price()->text(), QStringLiteral("0.00"));
}

void TestFrmadt::typingAccumulatesUpperCase_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("a-b-1") << ""
                           << "ab1"
                           << "AB1";
    QTest::newRow("chosen-id-upper-cased-by-next-key") << "i5-box"
                                                       << "x"
                                                       << "I5-BOXX";
    QTest::newRow("quote-and-inch-mark") << ""
                                         << "o'neil 15\""
                                         << "O'NEIL 15\"";
}

void TestFrmadt::typingAccumulatesUpperCase()
{
    QFETCH(QString, start);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    Fixture f;
    f.id()->setText(start);
    QTest::keyClicks(f.id()->lineEdit(), typed);
    QCOMPARE(f.id()->Text(), expected);
    QTest::keyClick(f.id()->lineEdit(), Qt::Key_Backspace);
    QCOMPARE(f.id()->Text(), QString());
}

void TestFrmadt::lookupStates_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("buttons"); // Add Update Delete: - disabled, E enabled, D enabled default
    QTest::addColumn<QString>("description");
    QTest::addColumn<double>("price");

    QTest::newRow("existing") << "R5"
                              << "-DE"
                              << "AMD Ryzen 5" << 5400.5;
    QTest::newRow("new") << "NEW"
                         << "D--"
                         << "" << 0.0;
    QTest::newRow("only-in-another-category-is-new") << "ONLY3"
                                                     << "D--"
                                                     << "" << 0.0;
    QTest::newRow("settings-row-is-not-an-item") << "dt"
                                                 << "D--"
                                                 << "" << 0.0;
    QTest::newRow("lower-case-is-another-id") << "r5"
                                              << "D--"
                                              << "" << 0.0;
}

void TestFrmadt::lookupStates()
{
    QFETCH(QString, id);
    QFETCH(QString, buttons);
    QFETCH(QString, description);
    QFETCH(double, price);

    Fixture f;
    f.desc()->setText("left over");
    f.price()->setValue(77);
    f.leaveId(id);
    QCOMPARE(f.buttonStates(), buttons);
    QCOMPARE(f.desc()->text(), description);
    QCOMPARE(f.price()->value(), price);
    // A second lookup moves to the other state by the id alone.
    f.leaveId(id == "R5" ? "NEW" : "R5");
    QCOMPARE(f.buttonStates(), QString(id == "R5" ? "D--" : "-DE"));
}

void TestFrmadt::choosingARowLooksUpAndMovesToDescription()
{
    Fixture f("Extra &2", "15");
    f.id()->showList();
    QTableView *view = f.id()->listView();
    const QModelIndexList match
        = view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, "O'NEIL 15\"");
    QCOMPARE(match.size(), 1);
    const QModelIndex row = match.first();
    view->setCurrentIndex(row);
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(f.id()->Text(), QStringLiteral("O'NEIL 15\""));
    QCOMPARE(f.desc()->text(), QStringLiteral("Intel's \"best\""));
    QCOMPARE(f.price()->value(), 99.99);
    QCOMPARE(f.buttonStates(), QStringLiteral("-DE"));
    QCOMPARE(f.editor->focusWidget(), f.desc());
}

void TestFrmadt::changes_data()
{
    QTest::addColumn<QString>("cat");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("description");
    QTest::addColumn<double>("price");
    QTest::addColumn<QStringList>("storedPrices"); // of cat/id afterwards

    QTest::newRow("add-stores-price-as-entered") << "0"
                                                 << "NEW1"
                                                 << "Command1"
                                                 << "New item" << 12.345 << QStringList { "12.345" };
    QTest::newRow("update-cuts-price-to-cents") << "0"
                                                << "R5"
                                                << "Command2"
                                                << "AMD Ryzen 5 box" << 12.345 << QStringList { "12.34" };
    QTest::newRow("delete-removes-only-this-category") << "0"
                                                       << "I5"
                                                       << "Command3"
                                                       << "" << 0.0 << QStringList {};
    QTest::newRow("add-with-quotes") << "15"
                                     << "O'BRIEN 17\""
                                     << "Command1"
                                     << "Intel's \"best\"" << 5.0 << QStringList { "5" };
    QTest::newRow("update-with-quotes") << "15"
                                        << "O'NEIL 15\""
                                        << "Command2"
                                        << "Intel's \"better\"" << 100.999 << QStringList { "100.99" };
    QTest::newRow("delete-with-quotes") << "15"
                                        << "O'NEIL 15\""
                                        << "Command3"
                                        << "" << 0.0 << QStringList {};
}

void TestFrmadt::changes()
{
    QFETCH(QString, cat);
    QFETCH(QString, id);
    QFETCH(QString, button);
    QFETCH(QString, description);
    QFETCH(double, price);
    QFETCH(QStringList, storedPrices);

    std::vector<TestRow> rows = PriceList;
    rows.push_back({ "3", "I5", "same id, other category", "1" });
    rows.push_back({ "90", "dt", "a second stale stamp", "0.00" });
    Fixture f("Row", cat, rows);
    Reports reports;
    const int before = f.db.count();
    f.leaveId(id);
    if (button != "Command3") {
        f.desc()->setText(description);
        f.price()->setValue(price);
    }
    const QDateTime start = QDateTime::currentDateTime();
    QTest::mouseClick(f.button(button.toLatin1().constData()), Qt::LeftButton);
    const QDateTime end = QDateTime::currentDateTime();

    QVERIFY(reports.list.empty());
    QVERIFY(!f.editor->isVisible());
    QCOMPARE(f.editor->result(), int(QDialog::Accepted));
    QCOMPARE(f.prices(cat, id), storedPrices);
    if (!storedPrices.isEmpty())
        QCOMPARE(f.db.descriptions(cat, id), QStringList { description });
    QCOMPARE(f.db.descriptions("3", "I5"), QStringList { "same id, other category" });
    const int itemDelta = button == "Command1" ? 1 : button == "Command3" ? -1 : 0;
    QCOMPARE(f.db.count(), before + itemDelta - 1); // the two stale stamps became one
    const QStringList stamps = f.db.descriptions("90", "dt");
    QCOMPARE(stamps.size(), 1);
    QVERIFY2(stampedBetween(stamps.first(), start, end), qPrintable(stamps.first()));
    QCOMPARE(f.prices("90", "dt"), QStringList { "0.00" });
}

void TestFrmadt::deleteRemovesOnlyTheLookedUpRow_data()
{
    QTest::addColumn<QString>("id");
    QTest::newRow("repeated id") << "TWICE";
    QTest::newRow("quoted repeated id") << "O'TWICE";
}

void TestFrmadt::deleteRemovesOnlyTheLookedUpRow()
{
    QFETCH(QString, id);
    std::vector<TestRow> rows = PriceList;
    rows.push_back({ "0", id, "first", "1" });
    rows.push_back({ "0", id, "second", "2" });
    rows.push_back({ "1", id, "other category", "3" });
    Fixture f("Row", "0", rows);
    Reports reports;
    const int before = f.db.count();
    f.leaveId(id);
    QCOMPARE(f.desc()->text(), QStringLiteral("first"));
    f.button("Command3")->click();
    QVERIFY(reports.list.empty());
    QCOMPARE(f.db.descriptions("0", id), QStringList { "second" });
    QCOMPARE(f.db.descriptions("1", id), QStringList { "other category" });
    QCOMPARE(f.db.count(), before - 1);
}

void TestFrmadt::stampKeepsOldRowWhenItsInsertFails()
{
    Fixture f;
    f.db.exec("create trigger no_stamp before insert on adt when new.id = 'dt' begin select raise(abort, "
              "'disk full'); end");
    Reports reports;
    f.leaveId("NEW2");
    f.button("Command1")->click();
    QVERIFY(reports.list.empty()); // the stamp reports nothing
    QVERIFY(!f.editor->isVisible());
    QCOMPARE(f.db.descriptions("0", "NEW2"), QStringList { "" });
    QCOMPARE(f.db.descriptions("90", "dt"), QStringList { "1/1/20 10:00:00 AM" });
}

void TestFrmadt::rejectedStatements_data()
{
    QTest::addColumn<QString>("sabotage");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("button"); // empty: the lookup itself fails
    QTest::addColumn<QString>("description");

    QTest::newRow("insert") << "create trigger t before insert on adt when new.id = 'BOOM' begin select "
                               "raise(abort, 'insert refused'); end"
                            << "BOOM"
                            << "Command1"
                            << "insert refused";
    QTest::newRow("update")
        << "create trigger t before update on adt begin select raise(abort, 'update refused'); end"
        << "R5"
        << "Command2"
        << "update refused";
    QTest::newRow("delete") << "create trigger t before delete on adt when old.category = '0' begin select "
                               "raise(abort, 'delete refused'); end"
                            << "R5"
                            << "Command3"
                            << "delete refused";
    QTest::newRow("lookup") << "drop table adt"
                            << "R5"
                            << ""
                            << "no such table: adt";
}

void TestFrmadt::rejectedStatements()
{
    QFETCH(QString, sabotage);
    QFETCH(QString, id);
    QFETCH(QString, button);
    QFETCH(QString, description);

    Fixture f;
    Reports reports;
    if (button.isEmpty())
        f.db.exec(sabotage);
    f.leaveId(id);
    if (!button.isEmpty()) {
        QVERIFY(reports.list.empty());
        f.db.exec(sabotage);
        QTest::mouseClick(f.button(button.toLatin1().constData()), Qt::LeftButton);
    }
    QCOMPARE(reports.list.size(), size_t(1));
    const Report &r = reports.list.front();
    QVERIFY2(r.caption.contains(QRegularExpression("^Error #-?[0-9]+$")), qPrintable(r.caption));
    QCOMPARE(r.description, description);
    QVERIFY2(r.source.startsWith("SQLite database ") && r.source.endsWith("db.mdb"), qPrintable(r.source));
    QCOMPARE(r.screen, QStringLiteral("Form: frmadt"));
    if (!button.isEmpty())
        QCOMPARE(r.activeControl, "Active Control:" + button);
    QVERIFY(f.editor->isVisible());
    QCOMPARE(f.buttonStates(), QStringLiteral("---"));
    if (!button.isEmpty()) {
        QCOMPARE(f.db.descriptions("90", "dt"), QStringList { "1/1/20 10:00:00 AM" }); // not re-stamped
        // The next lookup makes the editor usable again.
        f.leaveId(id);
        QVERIFY(f.buttonStates() != "---");
    }
}

void TestFrmadt::failedListIsReported()
{
    Fixture f;
    Reports reports;
    f.db.exec("drop table adt");
    f.id()->showList();
    f.id()->hideList();
    QCOMPARE(reports.list.size(), size_t(1));
    QCOMPARE(reports.list.front().description, QStringLiteral("no such table: adt"));
    QVERIFY(f.editor->isVisible());
}

void TestFrmadt::shownReportTakingTheFocusStartsNoSecondLookup()
{
    Fixture f;
    int shown = 0;
    const auto previous = ErrorReporting::setShowHook([&](ErrorReport &r) {
        ++shown;
        r.show();
        QApplication::setActiveWindow(&r); // the report takes the focus from the picker
        QVERIFY(QTest::qWaitForWindowActive(&r));
        r.findChild<QPushButton *>("pbHalt")->click();
    });
    f.db.exec("drop table adt");
    f.id()->SetFocus();
    f.id()->setText("R5");
    Q_EMIT f.id()->itemChosen();
    ErrorReporting::setShowHook(previous);
    QCOMPARE(shown, 1);
    QVERIFY(f.editor->isVisible());
    QCOMPARE(f.buttonStates(), QStringLiteral("---"));
}

void TestFrmadt::outOfRangePriceIsRefusedByAdd()
{
    Fixture f;
    Reports reports;
    Refusals refusals;
    f.leaveId("HUGE");
    f.price()->setText("1e999"); // a number, but no price
    QTest::mouseClick(f.button("Command1"), Qt::LeftButton);
    QCOMPARE(reports.list.size(), size_t(0));
    QCOMPARE(refusals.list.size(), 1);
    QVERIFY(refusals.list.front().startsWith("Price: "));
    QCOMPARE(f.price()->text(), QStringLiteral("1e999")); // kept for correcting
    QCOMPARE(f.db.descriptions("0", "HUGE"), QStringList {});
    QVERIFY(f.editor->isVisible());
}

void TestFrmadt::cancelAndEscCloseWithoutChange_data()
{
    QTest::addColumn<bool>("esc");
    QTest::newRow("cancel-button") << false;
    QTest::newRow("esc-key") << true;
}

void TestFrmadt::cancelAndEscCloseWithoutChange()
{
    QFETCH(bool, esc);
    Fixture f;
    const int before = f.db.count();
    f.leaveId("R5");
    f.desc()->setText("changed but not saved");
    if (esc)
        QTest::keyClick(f.desc(), Qt::Key_Escape);
    else
        QTest::mouseClick(f.button("command0"), Qt::LeftButton);
    QVERIFY(!f.editor->isVisible());
    QCOMPARE(f.editor->result(), int(QDialog::Rejected));
    QCOMPARE(f.db.count(), before);
    QCOMPARE(f.db.descriptions("0", "R5"), QStringList { "AMD Ryzen 5" });
}

void TestFrmadt::tabOrder()
{
    Fixture f;
    const QStringList expected
        = { "txtrid", "txtdesc", "Command2", "command0", "Command1", "Command3", "txtprice" };
    QStringList seen;
    QWidget *w = f.id();
    for (int i = 0; i < expected.size(); ++i) {
        seen << w->objectName();
        do
            w = w->nextInFocusChain();
        while (!expected.contains(w->objectName()));
    }
    QCOMPARE(seen, expected);
}

void TestFrmadt::commaLocaleStoresPricesWithAPoint_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("stored");

    QTest::newRow("add") << "NEW3"
                         << "Command1"
                         << "12.345";
    QTest::newRow("update") << "R5"
                            << "Command2"
                            << "12.34";
}

void TestFrmadt::commaLocaleStoresPricesWithAPoint()
{
    QFETCH(QString, id);
    QFETCH(QString, button);
    QFETCH(QString, stored);

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Fixture f;
    f.leaveId(id);
    f.price()->setText("12,345");
    QTest::mouseClick(f.button(button.toLatin1().constData()), Qt::LeftButton);
    QLocale::setDefault(QLocale::c());
    QCOMPARE(f.prices("0", id), QStringList { stored });
    // The stored text reads back as the same price in the editor.
    f.open("&Processor", "0");
    f.leaveId(id);
    QCOMPARE(f.price()->value(), stored.toDouble());
}

QTEST_MAIN(TestFrmadt)
#include "tst_pricelisteditor.moc"
