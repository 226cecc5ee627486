#include "support/testdb.h"
#include "widgets/gridcombo.h"

#include <QAccessible>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

// The picker on its own, as every owner (the rows, the price-list editor) sees it.
class TestGridCombo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void focusLostOnlyWhenLeft_data();
    void focusLostOnlyWhenLeft();
    void textIsReadableLikeAComboBox_data();
    void textIsReadableLikeAComboBox();
    void accessibleActionOpensTheList();
    void typingSearchesTheOpenList_data();
    void typingSearchesTheOpenList();
    void typingWithTheListClosedSearchesNothing();
    void typingBeforeTheListIsReady_data();
    void typingBeforeTheListIsReady();
    void openingShowsTheItemHeld_data();
    void openingShowsTheItemHeld();
    void fitsLeavesOnlyWhatFits_data();
    void fitsLeavesOnlyWhatFits();
};

namespace
{

// The ids the open list shows, top to bottom.
QStringList shownIds(QTableView *view)
{
    QStringList ids;
    const QAbstractItemModel *model = view->model();
    for (int r = 0; model && r < model->rowCount(); ++r)
        ids << model->index(r, 0).data().toString();
    return ids;
}

// Types into a widget character by character, Arabic too (QTest::keyClicks takes Latin-1 only).
void typeInto(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress,
            c.isLetter() && c.unicode() < 0x80 ? Qt::Key_A + (c.toUpper().unicode() - u'A') : 0,
            Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

} // namespace

void TestGridCombo::focusLostOnlyWhenLeft_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("lost");
    QTest::newRow("tab") << int(Qt::TabFocusReason) << true;
    QTest::newRow("click on another control") << int(Qt::MouseFocusReason) << true;
    QTest::newRow("focus moved by the window") << int(Qt::OtherFocusReason) << true;
    QTest::newRow("a menu opens") << int(Qt::PopupFocusReason) << false;
    QTest::newRow("Alt gives the menu bar the keys") << int(Qt::MenuBarFocusReason) << false;
    QTest::newRow("another program becomes active") << int(Qt::ActiveWindowFocusReason) << false;
}

void TestGridCombo::focusLostOnlyWhenLeft()
{
    QFETCH(int, reason);
    QFETCH(bool, lost);
    GridCombo picker;
    QSignalSpy spy(&picker, &GridCombo::focusLost);
    QFocusEvent out(QEvent::FocusOut, Qt::FocusReason(reason));
    QApplication::sendEvent(picker.lineEdit(), &out);
    QCOMPARE(spy.size(), lost ? 1 : 0);
}

void TestGridCombo::textIsReadableLikeAComboBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("an id") << "D4-16G";
    QTest::newRow("quoted id") << "O'NEIL";
    QTest::newRow("Arabic") << "\u0645\u0639\u0627\u0644\u062c";
}

void TestGridCombo::textIsReadableLikeAComboBox()
{
    QFETCH(QString, text);
    QWidget window;
    auto *picker = new GridCombo(&window);
    picker->setText(QStringLiteral("before"));
    window.show();
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(picker);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::ComboBox);

    QSignalSpy changed(picker, &GridCombo::textChanged);
    picker->setText(text);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(iface->text(QAccessible::Value), text);
    QCOMPARE(iface->text(QAccessible::Name), text);
    QCOMPARE(picker->property("text").toString(), text);
    QCOMPARE(QString::fromLatin1(picker->metaObject()->userProperty().name()), "text");

    picker->setAccessibleName(QStringLiteral("Processor"));
    QCOMPARE(iface->text(QAccessible::Name), "Processor");
    QCOMPARE(iface->text(QAccessible::Value), text);

    iface->setText(QAccessible::Value, QStringLiteral("set by a tool"));
    QCOMPARE(picker->Text(), "set by a tool");
    QVERIFY(picker->setProperty("text", text));
    QCOMPARE(picker->Text(), text);
}

void TestGridCombo::accessibleActionOpensTheList()
{
    QWidget window;
    auto *picker = new GridCombo(&window);
    window.show();
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(picker);
    QAccessibleActionInterface *actions = iface->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
    QVERIFY(iface->state().collapsed);
    QSignalSpy requested(picker, &GridCombo::listRequested);
    actions->doAction(QAccessibleActionInterface::showMenuAction());
    QCOMPARE(requested.size(), 1);
    QVERIFY(picker->isListShown());
    QVERIFY(iface->state().expanded);
    picker->hideList();
}

void TestGridCombo::typingSearchesTheOpenList_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("backspaces");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("finalKey"); // "enter", "escape" or "down enter"
    QTest::addColumn<QString>("chosen"); // the picker's text afterwards
    QTest::addColumn<int>("choices");
    const QStringList all { "R7-7700", "R5-5600", "I5-12400F", "I5-12400", "AR-1" };
    QTest::newRow("by description, any case, Enter takes the first")
        << "ryz" << 0 << QStringList { "R7-7700", "R5-5600" } << "enter"
        << "R7-7700" << 1;
    QTest::newRow("Down then Enter takes the second")
        << "RYZEN" << 0 << QStringList { "R7-7700", "R5-5600" } << "down enter"
        << "R5-5600" << 1;
    QTest::newRow("by id") << "12400" << 0 << QStringList { "I5-12400F", "I5-12400" } << "enter"
                           << "I5-12400F" << 1;
    // A whole id is the item meant, though a longer id holding it comes first in the list.
    QTest::newRow("a whole id: that item first")
        << "I5-12400" << 0 << QStringList { "I5-12400", "I5-12400F" } << "enter"
        << "I5-12400" << 1;
    QTest::newRow("a whole id in another case")
        << "i5-12400" << 0 << QStringList { "I5-12400", "I5-12400F" } << "enter"
        << "I5-12400" << 1;
    QTest::newRow("a whole id, then Down takes the next")
        << "I5-12400" << 0 << QStringList { "I5-12400", "I5-12400F" } << "down enter"
        << "I5-12400F" << 1;
    QTest::newRow("a whole id typed on: no longer first")
        << "I5-12400f" << 0 << QStringList { "I5-12400F" } << "enter"
        << "I5-12400F" << 1;
    QTest::newRow("Arabic, with or without hamza")
        << QString::fromUtf16(u"\u0627\u0644\u0648\u0627\u0646") << 0 << QStringList { "AR-1" } << "enter"
        << "AR-1" << 1;
    QTest::newRow("nothing found: Enter chooses nothing") << "zzz" << 0 << QStringList {} << "enter"
                                                          << "before" << 0;
    QTest::newRow("Escape leaves the picker as it was")
        << "ryz" << 0 << QStringList { "R7-7700", "R5-5600" } << "escape"
        << "before" << 0;
    QTest::newRow("Backspace widens again") << "ryzq" << 1 << QStringList { "R7-7700", "R5-5600" } << "enter"
                                            << "R7-7700" << 1;
    QTest::newRow("Backspace to nothing shows every row") << "i5" << 2 << all << "escape"
                                                          << "before" << 0;
}

void TestGridCombo::typingSearchesTheOpenList()
{
    QFETCH(QString, typed);
    QFETCH(int, backspaces);
    QFETCH(QStringList, shown);
    QFETCH(QString, finalKey);
    QFETCH(QString, chosen);
    QFETCH(int, choices);
    TestDb db({
        { "0", "R7-7700", "AMD Ryzen 7 7700", "9000" },
        { "0", "R5-5600", "AMD Ryzen 5 5600", "5400" },
        { "0", "I5-12400F", "Intel Core i5-12400F", "6500" },
        { "0", "I5-12400", "Intel Core i5-12400", "6900" },
        { "0", "AR-1", QString::fromUtf16(u"\u0634\u0627\u0634\u0629 \u0623\u0644\u0648\u0627\u0646"),
            "100" },
    });
    Store store(db.path, QStringLiteral("t-gridcombo"));
    QVERIFY(store.open());
    QWidget window;
    auto *picker = new GridCombo(&window);
    picker->setText(QStringLiteral("before"));
    QSignalSpy keys(picker, &GridCombo::keyDown);
    QSignalSpy chosenSpy(picker, &GridCombo::itemChosen);
    connect(picker, &GridCombo::listRequested, picker, [&] {
        picker->setRowSource(store.query(QStringLiteral("select id as \"ID\", description as \"Description\","
                                                        " price as \"Price\" from adt order by rowid"),
            {}));
    });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    picker->showList();
    QTableView *view = picker->listView();
    typeInto(view, typed);
    for (int i = 0; i < backspaces; ++i)
        QTest::keyClick(view, Qt::Key_Backspace);
    QCOMPARE(shownIds(view), shown);
    if (!shown.isEmpty())
        QCOMPARE(view->currentIndex().row(), 0);
    for (const QString &key : finalKey.split(u' ')) {
        if (key == QLatin1String("down"))
            QTest::keyClick(view, Qt::Key_Down);
        else
            QTest::keyClick(view, key == QLatin1String("enter") ? Qt::Key_Return : Qt::Key_Escape);
    }
    QCOMPARE(picker->Text(), chosen);
    QCOMPARE(chosenSpy.size(), choices);
    // The owner hears none of the keys typed into the list.
    QCOMPARE(keys.size(), 0);
    if (choices > 0)
        QCOMPARE(picker->RowSource()->text(QStringLiteral("ID")).value_or(QString()), chosen);
    if (picker->isListShown())
        QTest::keyClick(view, Qt::Key_Escape);
    // The next opening shows the whole list again.
    picker->showList();
    QCOMPARE(picker->searchText(), QString());
    QCOMPARE(shownIds(view).size(), 5);
    picker->hideList();
}

void TestGridCombo::typingWithTheListClosedSearchesNothing()
{
    QWidget window;
    auto *picker = new GridCombo(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    picker->SetFocus();
    QSignalSpy keys(picker, &GridCombo::keyDown);
    QTest::keyClicks(picker->lineEdit(), QStringLiteral("ryz"));
    QCOMPARE(keys.size(), 3);
    QCOMPARE(picker->Text(), QStringLiteral("ryz"));
    QCOMPARE(picker->searchText(), QString());
    QVERIFY(!picker->isListShown());
}

namespace
{

// A picker holding \a text, shown with its list open over the whole list in the order written,
// folding \a stepRows rows a turn.
GridCombo *openOnList(QWidget &window, Store &store, const QString &text, int stepRows)
{
    auto *picker = new GridCombo(&window);
    picker->setText(text);
    picker->setSearchStepRows(stepRows);
    QObject::connect(picker, &GridCombo::listRequested, picker, [picker, &store] {
        picker->setRowSource(store.query(QStringLiteral("select id as \"ID\", description as \"Description\","
                                                        " price as \"Price\" from adt order by rowid"),
            {}));
    });
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return nullptr;
    picker->showList();
    return picker;
}

} // namespace

void TestGridCombo::typingBeforeTheListIsReady_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("shownAtOnce"); // among the rows ready when the last key is typed
    QTest::addColumn<QString>("then"); // "wait" (until the list is ready), "enter" or "down enter"
    QTest::addColumn<QStringList>("shown"); // once the list is ready
    QTest::addColumn<QString>("chosen");
    // One row gets ready with each key typed: when Enter comes, only the first rows are.
    QTest::newRow("found as the list gets ready, in its order")
        << "ryz" << QStringList { "R5-5600" } << "wait" << QStringList { "R5-5600", "R7-7700", "R9-7950X" }
        << "before";
    QTest::newRow("typing on while the list gets ready")
        << "the la" << QStringList {} << "wait" << QStringList { "ZZ-9" } << "before";
    QTest::newRow("a whole id ready last still goes to the top")
        << "I5-12400" << QStringList { "I5-12400F", "I5-12400X" } << "wait"
        << QStringList { "I5-12400", "I5-12400F", "I5-12400X" } << "before";
    QTest::newRow("Enter at once takes the whole id not ready yet")
        << "I5-12400" << QStringList { "I5-12400F", "I5-12400X" } << "enter"
        << QStringList { "I5-12400", "I5-12400F", "I5-12400X" } << "I5-12400";
    QTest::newRow("Enter at once takes the whole id in another case")
        << "i5-12400" << QStringList { "I5-12400F", "I5-12400X" } << "enter"
        << QStringList { "I5-12400", "I5-12400F", "I5-12400X" } << "I5-12400";
    QTest::newRow("Enter at once on nothing found yet takes what the rest holds")
        << "zz" << QStringList {} << "enter" << QStringList { "ZZ-9" } << "ZZ-9";
    QTest::newRow("a row moved to before the list is ready is the one taken")
        << "I5-124" << QStringList { "I5-12400F", "I5-12400X" } << "down enter"
        << QStringList { "I5-12400", "I5-12400F", "I5-12400X" } << "I5-12400X";
}

void TestGridCombo::typingBeforeTheListIsReady()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, shownAtOnce);
    QFETCH(QString, then);
    QFETCH(QStringList, shown);
    QFETCH(QString, chosen);
    std::vector<TestRow> rows {
        { "0", "I5-12400F", "Intel Core i5-12400F", "6500" },
        { "0", "R5-5600", "AMD Ryzen 5 5600", "5400" },
        { "0", "I5-12400X", "Intel special", "1" },
        { "0", "R7-7700", "AMD Ryzen 7 7700", "9000" },
        { "0", "R9-7950X", "AMD Ryzen 9 7950X", "19000" },
    };
    for (int i = 0; i < 13; ++i)
        rows.push_back({ "0", QStringLiteral("F-%1").arg(i), QStringLiteral("filler"), "1" });
    rows.push_back({ "0", "ZZ-9", "the last but one", "1" });
    rows.push_back({ "0", "I5-12400", "Intel Core i5-12400", "6900" });
    TestDb db(rows);
    Store store(db.path, QStringLiteral("t-gridcombo"));
    QVERIFY(store.open());
    QWidget window;
    GridCombo *picker = openOnList(window, store, QStringLiteral("before"), 1);
    QVERIFY(picker);
    QTableView *view = picker->listView();
    typeInto(view, typed);
    QVERIFY(!picker->isSearchReady());
    QCOMPARE(shownIds(view), shownAtOnce);
    if (then == QLatin1String("wait")) {
        QTRY_VERIFY(picker->isSearchReady());
        QCOMPARE(shownIds(view), shown);
        QCOMPARE(view->currentIndex().row(), 0);
        QTest::keyClick(view, Qt::Key_Escape);
    }
    for (const QString &key : then.split(u' ')) {
        if (key == QLatin1String("down"))
            QTest::keyClick(view, Qt::Key_Down);
        else if (key == QLatin1String("enter"))
            QTest::keyClick(view, Qt::Key_Return);
    }
    QCOMPARE(picker->Text(), chosen);
    if (chosen != QLatin1String("before"))
        QCOMPARE(picker->RowSource()->text(QStringLiteral("ID")).value_or(QString()), chosen);
    QVERIFY(!picker->isListShown());
}

void TestGridCombo::openingShowsTheItemHeld_data()
{
    QTest::addColumn<int>("held"); // the row of the item the picker holds
    QTest::addColumn<bool>("moved"); // Down at once, before the list is read that far
    QTest::addColumn<int>("current");
    QTest::newRow("among the rows read at once") << 7 << false << 7;
    QTest::newRow("deep in the list: current once read") << 599 << false << 599;
    QTest::newRow("deep in the list, the person moved first") << 599 << true << 1;
}

void TestGridCombo::openingShowsTheItemHeld()
{
    QFETCH(int, held);
    QFETCH(bool, moved);
    QFETCH(int, current);
    TestDb db;
    db.raw().transaction();
    for (int i = 0; i < 600; ++i)
        db.insert({ "0", QStringLiteral("ID%1").arg(i), QStringLiteral("item %1").arg(i), "1" });
    db.raw().commit();
    Store store(db.path, QStringLiteral("t-gridcombo"));
    QVERIFY(store.open());
    QWidget window;
    GridCombo *picker = openOnList(window, store, QStringLiteral("ID%1").arg(held), 50);
    QVERIFY(picker);
    QTableView *view = picker->listView();
    if (moved)
        QTest::keyClick(view, Qt::Key_Down);
    QTRY_VERIFY(picker->isSearchReady());
    QCOMPARE(view->currentIndex().row(), current);
    QCOMPARE(view->currentIndex().data().toString(), QStringLiteral("ID%1").arg(moved ? 1 : held));
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(picker->Text(), QStringLiteral("ID%1").arg(moved ? 1 : held));
}

void TestGridCombo::fitsLeavesOnlyWhatFits_data()
{
    QTest::addColumn<int>("stepRows"); // rows folded a turn
    QTest::addColumn<QString>("typed"); // before Ctrl+F
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("chosen"); // by Enter
    // Ids tell how the owner says they fit: R fits, I does not, X cannot be told.
    QTest::newRow("the whole list") << 1000 << "" << QStringList { "R5-5600", "X-1", "R7-7700" } << "R5-5600";
    QTest::newRow("with a search") << 1000 << "ryzen 7" << QStringList { "R7-7700" } << "R7-7700";
    QTest::newRow("Ctrl+F before the list is ready")
        << 1 << "" << QStringList { "R5-5600", "X-1", "R7-7700" } << "R5-5600";
    QTest::newRow("nothing fits") << 1000 << "core" << QStringList {} << "before";
}

void TestGridCombo::fitsLeavesOnlyWhatFits()
{
    QFETCH(int, stepRows);
    QFETCH(QString, typed);
    QFETCH(QStringList, shown);
    QFETCH(QString, chosen);
    TestDb db({
        { "0", "I5-12400F", "Intel Core i5-12400F", "6500" },
        { "0", "R5-5600", "AMD Ryzen 5 5600", "5400" },
        { "0", "X-1", "AMD Ryzen, socket not known", "1" },
        { "0", "I5-12400", "Intel Core i5-12400", "6900" },
        { "0", "R7-7700", "AMD Ryzen 7 7700", "9000" },
    });
    Store store(db.path, QStringLiteral("t-gridcombo"));
    QVERIFY(store.open());
    QWidget window;
    GridCombo *picker = nullptr;
    int asked = 0;
    const auto check = [&asked](const QString &id) {
        ++asked;
        return id.startsWith(u'R') ? ItemFit::Fits
            : id.startsWith(u'I')  ? ItemFit::DoesNotFit
                                   : ItemFit::Unsure;
    };
    picker = openOnList(window, store, QStringLiteral("before"), stepRows);
    QVERIFY(picker);
    QTableView *view = picker->listView();
    QVERIFY(!view->window()->findChild<QWidget *>(QStringLiteral("chkfits"))->isVisible());
    // The owner that can tell hands the check over as it fills the list.
    picker->hideList();
    QObject::connect(picker, &GridCombo::listRequested, picker, [&] { picker->setFitCheck(check); });
    picker->showList();
    auto *toggle = view->window()->findChild<QWidget *>(QStringLiteral("chkfits"));
    QVERIFY(toggle->isVisible());
    typeInto(view, typed);
    QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(picker->fitsOnly());
    QVERIFY(toggle->property("checked").toBool());
    QTRY_VERIFY(picker->isSearchReady());
    QCOMPARE(shownIds(view), shown);
    QCOMPARE(asked, 5); // once per item
    for (int r = 0; r < view->model()->rowCount(); ++r) {
        const QModelIndex index = view->model()->index(r, 0);
        QCOMPARE(index.data(Qt::ForegroundRole).isValid(), index.data().toString().startsWith(u'X'));
        QCOMPARE(index.data(Qt::ToolTipRole).toString().contains(QLatin1String("not known")),
            index.data().toString().startsWith(u'X'));
    }
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(picker->Text(), chosen);
    if (picker->isListShown())
        picker->hideList();
    // The toggle stays on for the next opening; Ctrl+F again shows every item as before.
    picker->showList();
    QTRY_VERIFY(picker->isSearchReady());
    QCOMPARE(shownIds(view), (QStringList { "R5-5600", "X-1", "R7-7700" }));
    QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(!picker->fitsOnly());
    QCOMPARE(shownIds(view).size(), 5);
    QVERIFY(!view->model()->index(1, 0).data(Qt::ForegroundRole).isValid());
    picker->hideList();
}

QTEST_MAIN(TestGridCombo)
#include "tst_gridcombo.moc"
