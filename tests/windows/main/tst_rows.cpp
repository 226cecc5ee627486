#include "support/rowsfixture.h"
#include "widgets/twips.h"
#include "windows/main/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

class TestRows : public QObject, public RowsFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void layoutAndNames();
    void choosingAnItem();
    void keyNavigation_data();
    void keyNavigation();
    void typedCharacterKeepsTheItem_data();
    void typedCharacterKeepsTheItem();
    void everyKeyLoadsAnEmptyPicker_data();
    void everyKeyLoadsAnEmptyPicker();
    void openingKeysShowTheList_data();
    void openingKeysShowTheList();
    void tabMovesToNextPicker();
    void quotesAndMismatches();
    void lookupKeepsWhatHasNoValue_data();
    void lookupKeepsWhatHasNoValue();
    void listShowsChanges();
    void detailToggleGeometry();
    void priceMasking();
    void failingListShowsMessage();
    void secondaryWindowsOpenFresh_data();
    void secondaryWindowsOpenFresh();
};

void TestRows::init()
{
    setUp();
}

void TestRows::cleanup()
{
    tearDown();
}

void TestRows::layoutAndNames()
{
    const ConfigRow &r2 = m_form->row(2);
    QCOMPARE(r2.Command1->objectName(), QStringLiteral("Command1(2)"));
    QCOMPARE(r2.Command1->text(), QStringLiteral("&RAM"));
    QCOMPARE(m_form->row(16).Command1->text(), QStringLiteral("&Other"));
    QVERIFY(!m_form->row(16).Image1);
    QCOMPARE(r2.GridCombo1->objectName(), QStringLiteral("GridCombo1(2)"));
    QCOMPARE(r2.text1->objectName(), QStringLiteral("text1(2)"));
    QVERIFY(m_form->findChild<QLabel *>(QStringLiteral("Image2(15)")));
    QVERIFY(!m_form->findChild<QLabel *>(QStringLiteral("Image2(0)")));
    for (int i = 0; i < ConfigRow::Count; ++i) {
        QVERIFY(m_form->row(i).Label1->text().isEmpty());
        QCOMPARE(amount(i)->text(), QStringLiteral("0.00"));
        if (m_form->row(i).Image2)
            QVERIFY(!m_form->row(i).Image2->isVisibleTo(m_form.get()));
    }
    QCOMPARE(total(), QStringLiteral("0.00"));
}

void TestRows::choosingAnItem()
{
    picker(2)->showList();
    QTableView *view = picker(2)->listView();
    QCOMPARE(view->model()->rowCount(), 3);
    QCOMPARE(view->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));
    QCOMPARE(view->model()->index(0, 0).data().toString(), QStringLiteral("D4-8G")); // text order, descending
    view->setCurrentIndex(view->model()->index(1, 0));
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(picker(2)->Text(), QStringLiteral("D4-32G"));
    QCOMPARE(m_form->row(2).Label1->text(), QStringLiteral("DDR4 32GB"));
    QCOMPARE(amount(2)->text(), QStringLiteral("3050.00"));
    picker(2)->setText(QStringLiteral("D4-16G"));
    m_form->itemPicked(2);
    QCOMPARE(amount(2)->text(), QStringLiteral("1250"));
    QCOMPARE(total(), QStringLiteral("1250.00"));
    m_form->amountLeft(2);
    QCOMPARE(amount(2)->text(), QStringLiteral("1250.00"));
}

void TestRows::keyNavigation_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("id");
    QTest::newRow("home loads and takes the highest") << QList<int> { Qt::Key_Home } << "D4-8G";
    QTest::newRow("end takes the lowest") << QList<int> { Qt::Key_End } << "D4-16G";
    QTest::newRow("down goes to smaller ids") << QList<int> { Qt::Key_Home, Qt::Key_Down } << "D4-32G";
    QTest::newRow("pgdn and right") << QList<int> { Qt::Key_Home, Qt::Key_PageDown, Qt::Key_Right }
                                    << "D4-16G";
    QTest::newRow("past the end keeps the id")
        << QList<int> { Qt::Key_End, Qt::Key_Down, Qt::Key_Down } << "D4-16G";
    QTest::newRow("up and back") << QList<int> { Qt::Key_End, Qt::Key_Down, Qt::Key_Up } << "D4-16G";
    QTest::newRow("past the start keeps the id")
        << QList<int> { Qt::Key_Home, Qt::Key_PageUp, Qt::Key_Left } << "D4-8G";
    QTest::newRow("a letter takes the current row") << QList<int> { Qt::Key_X } << "D4-8G";
    QTest::newRow("down in an empty picker loads and moves on") << QList<int> { Qt::Key_Down } << "D4-32G";
    QTest::newRow("shift+down in an empty picker moves like down")
        << QList<int> { (Qt::ShiftModifier | Qt::Key_Down).toCombined() } << "D4-32G";
    QTest::newRow("shift+down moves like down")
        << QList<int> { Qt::Key_Home, (Qt::ShiftModifier | Qt::Key_Down).toCombined() } << "D4-32G";
}

void TestRows::keyNavigation()
{
    QFETCH(QList<int>, keys);
    QFETCH(QString, id);
    picker(2)->SetFocus();
    for (int key : keys) {
        const QKeyCombination combination = QKeyCombination::fromCombined(key);
        QTest::keyClick(picker(2)->lineEdit(), combination.key(), combination.keyboardModifiers());
    }
    QCOMPARE(picker(2)->Text(), id);
    const QStringList descriptions = m_db->descriptions(QStringLiteral("2"), id);
    QCOMPARE(m_form->row(2).Label1->text(), descriptions.value(0));
}

void TestRows::typedCharacterKeepsTheItem_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("shifted");
    // Every printable ASCII character, with Shift where a US keyboard needs it ('(' is Shift+9),
    // then letters of other keyboards. Several share their character code with a navigation key.
    const QString shiftedOnUs = QStringLiteral("~!@#$%^&*()_+{}|:\"<>?ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    for (char c = 0x20; c < 0x7f; ++c) {
        const QString typed(QChar::fromLatin1(c));
        QTest::addRow("'%s' (%d)", qPrintable(typed), int(c))
            << int(QTest::asciiToKey(c)) << typed << shiftedOnUs.contains(typed);
    }
    QTest::newRow("Cyrillic ef") << 0x0424 << QStringLiteral("\u0444") << false;
    QTest::newRow("Arabic beh") << 0x0628 << QStringLiteral("\u0628") << false;
    QTest::newRow("e acute") << int(Qt::Key_Eacute) << QStringLiteral("\u00e9") << false;
}

void TestRows::typedCharacterKeepsTheItem()
{
    QFETCH(int, key);
    QFETCH(QString, typed);
    QFETCH(bool, shifted);
    picker(2)->SetFocus();
    QTest::keyClick(picker(2)->lineEdit(), Qt::Key_Home);
    QTest::keyClick(picker(2)->lineEdit(), Qt::Key_Down);
    QCOMPARE(picker(2)->Text(), QStringLiteral("D4-32G"));
    QTest::sendKeyEvent(QTest::Click, picker(2)->lineEdit(), Qt::Key(key), typed,
        shifted ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(picker(2)->Text(), QStringLiteral("D4-32G"));
    QCOMPARE(m_form->row(2).Label1->text(), QStringLiteral("DDR4 32GB"));
    QCOMPARE(amount(2)->text(), QStringLiteral("3050.00"));
}

void TestRows::everyKeyLoadsAnEmptyPicker_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("shift alone") << int(Qt::Key_Shift) << QString() << int(Qt::ShiftModifier);
    QTest::newRow("ctrl alone") << int(Qt::Key_Control) << QString() << int(Qt::ControlModifier);
    QTest::newRow("insert") << int(Qt::Key_Insert) << QString() << 0;
    QTest::newRow("caps lock") << int(Qt::Key_CapsLock) << QString() << 0;
    QTest::newRow("Cyrillic letter") << 0x0424 << QStringLiteral("\u0444") << 0;
    QTest::newRow("Arabic letter") << 0x0628 << QStringLiteral("\u0628") << 0;
    QTest::newRow("keypad digit") << int(Qt::Key_5) << QStringLiteral("5") << int(Qt::KeypadModifier);
    QTest::newRow("a key without a code") << int(Qt::Key_unknown) << QString() << 0;
}

void TestRows::everyKeyLoadsAnEmptyPicker()
{
    QFETCH(int, key);
    QFETCH(QString, typed);
    QFETCH(int, modifiers);
    picker(2)->SetFocus();
    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), typed);
    QApplication::sendEvent(picker(2)->lineEdit(), &press);
    QCOMPARE(picker(2)->Text(), QStringLiteral("D4-8G")); // the list's first row
    QCOMPARE(m_form->row(2).Label1->text(), QStringLiteral("DDR4 8GB"));
}

void TestRows::openingKeysShowTheList_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("F4") << int(Qt::Key_F4) << 0;
    QTest::newRow("Alt+Down") << int(Qt::Key_Down) << int(Qt::AltModifier);
}

void TestRows::openingKeysShowTheList()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    picker(2)->SetFocus();
    QTest::keyClick(picker(2)->lineEdit(), Qt::Key_Home);
    QTest::keyClick(picker(2)->lineEdit(), Qt::Key_Down);
    QTest::keyClick(picker(2)->lineEdit(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(picker(2)->isListShown());
    QCOMPARE(picker(2)->Text(), QStringLiteral("D4-32G")); // opening the list moves nothing
    QCOMPARE(picker(2)->listView()->currentIndex().data().toString(), QStringLiteral("D4-32G"));
    picker(2)->hideList();
}

void TestRows::tabMovesToNextPicker()
{
    picker(3)->SetFocus();
    QTest::keyClick(picker(3)->lineEdit(), Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(picker(4)->lineEdit()->hasFocus());
    QVERIFY(picker(3)->Text().isEmpty()); // Tab moved without touching the row
    picker(16)->SetFocus();
    QTest::keyClick(picker(16)->lineEdit(), Qt::Key_Tab);
    QCOMPARE(picker(16)->Text(), QStringLiteral("O'NEIL")); // a non-moving key in the last row
    QCOMPARE(m_form->row(16).Label1->text(), QStringLiteral("Quoted id"));
}

void TestRows::quotesAndMismatches()
{
    picker(2)->setText(QStringLiteral("D4-16G"));
    m_form->itemPicked(2);
    picker(2)->setText(QStringLiteral("NOPE' or '1'='1"));
    m_form->itemPicked(2);
    QCOMPARE(m_form->row(2).Label1->text(), QStringLiteral("DDR4 16GB"));
    QCOMPARE(amount(2)->text(), QStringLiteral("1250"));
    picker(9)->setText(QStringLiteral("SPK"));
    m_form->itemPicked(9);
    QCOMPARE(m_form->row(9).Label1->text(), QStringLiteral("Speaker"));
    picker(9)->showList(); // category "9" never shows "90"'s settings
    QCOMPARE(picker(9)->listView()->model()->rowCount(), 1);
    picker(9)->hideList();
}

void TestRows::lookupKeepsWhatHasNoValue_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("amount");
    QTest::newRow("no description") << "NODESC"
                                    << "DDR4 16GB"
                                    << "99";
    QTest::newRow("no price") << "NOPRICE"
                              << "No price"
                              << "1250";
    QTest::newRow("neither") << "NOTHING"
                             << "DDR4 16GB"
                             << "1250";
    QTest::newRow("empty description") << "EMPTYDESC"
                                       << ""
                                       << "5";
}

void TestRows::lookupKeepsWhatHasNoValue()
{
    QFETCH(QString, id);
    QFETCH(QString, label);
    QFETCH(QString, amount);
    m_db->exec(QStringLiteral(
        "insert into adt values ('2', 'NODESC', NULL, '99'), ('2', 'NOPRICE', 'No price', NULL),"
        " ('2', 'NOTHING', NULL, NULL), ('2', 'EMPTYDESC', '', '5')"));
    picker(2)->setText(QStringLiteral("D4-16G"));
    m_form->itemPicked(2);
    picker(2)->setText(id);
    m_form->itemPicked(2);
    QCOMPARE(m_form->row(2).Label1->text(), label);
    QCOMPARE(this->amount(2)->text(), amount);
}

void TestRows::listShowsChanges()
{
    picker(2)->showList();
    picker(2)->hideList();
    m_db->insert({ "2", "D4-64G", "DDR4 64GB", "6000" });
    picker(2)->showList();
    QCOMPARE(picker(2)->listView()->model()->rowCount(), 4);
    picker(2)->hideList();
}

void TestRows::detailToggleGeometry()
{
    auto *frame = m_form->findChild<QWidget *>(QStringLiteral("Frame1"));
    auto *totalBox = m_form->findChild<QLineEdit *>(QStringLiteral("txttotal"));
    auto *toggle = m_form->findChild<QPushButton *>(QStringLiteral("Command2"));
    const auto twips = [this](int px) { return Twips::fromX(m_form.get(), px); };
    const auto collapsed = [&] {
        QCOMPARE(m_form->windowWidthTwips(), 7785);
        QCOMPARE(twips(frame->width()), 7425);
        QCOMPARE(twips(totalBox->x()), 6330);
        QCOMPARE(toggle->text(), QStringLiteral("&>>"));
    };
    collapsed();
    const QRect frameBefore = frame->geometry();
    toggle->click();
    QCOMPARE(m_form->windowWidthTwips(), 9240);
    QCOMPARE(twips(frame->width()), 8880);
    QCOMPARE(totalBox->x(), amount(0)->x());
    QCOMPARE(toggle->text(), QStringLiteral("&<<"));
    toggle->click();
    collapsed();
    QCOMPARE(frame->geometry(), frameBefore);
}

void TestRows::priceMasking()
{
    amount(1)->setText(QStringLiteral("125.50"));
    auto *toggle = m_form->findChild<QPushButton *>(QStringLiteral("Command3"));
    QCOMPARE(toggle->text(), QStringLiteral("H&ide Price"));
    toggle->click();
    QCOMPARE(toggle->text(), QStringLiteral("Sho&w Price"));
    QCOMPARE(amount(1)->displayText(), QStringLiteral("******"));
    QCOMPARE(amount(0)->displayText(), QStringLiteral("****"));
    QCOMPARE(amount(1)->text(), QStringLiteral("125.50"));
    QVERIFY(amount(0)->hasFocus());
    QCOMPARE(total(), QStringLiteral("125.50"));
    amount(0)->selectAll();
    QTest::keyClicks(amount(0), QStringLiteral("10"));
    QCOMPARE(total(), QStringLiteral("135.50"));
    toggle->click();
    QCOMPARE(amount(1)->displayText(), QStringLiteral("125.50"));
}

void TestRows::failingListShowsMessage()
{
    m_db->exec(QStringLiteral("drop table adt"));
    QTimer::singleShot(0, [] {
        QWidget *box = QApplication::activeModalWidget();
        QVERIFY(box);
        box->close();
    });
    picker(2)->showList();
    QVERIFY(!picker(2)->RowSource());
    picker(2)->hideList();
}

void TestRows::secondaryWindowsOpenFresh_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::newRow("total price") << "cmdinst(0)"
                                 << "frminst"
                                 << "Installment Calculator - Ali 0100";
    QTest::newRow("file installments") << "mnufileinstallments"
                                       << "frminst"
                                       << "Installment Calculator - Ali 0100";
    QTest::newRow("processor") << "Command1(0)"
                               << "frmadt"
                               << "&Processor Data";
    QTest::newRow("extra 2") << "Command1(15)"
                             << "frmadt"
                             << "Extra &2 Data";
    QTest::newRow("other, no picture") << "Command1(16)"
                                       << "frmadt"
                                       << "&Other Data";
    QTest::newRow("about") << "menuhelpabout"
                           << "ABOUTT"
                           << "About Velmont Brasko";
}

void TestRows::secondaryWindowsOpenFresh()
{
    QFETCH(QString, trigger);
    QFETCH(QString, window);
    QFETCH(QString, title);
    m_form->findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(QStringLiteral("Ali 0100"));
    for (int opening = 0; opening < 2; ++opening) {
        QString seenName, seenTitle;
        QTimer::singleShot(0, [&] {
            QWidget *w = QApplication::activeModalWidget();
            QVERIFY(w);
            seenName = w->objectName();
            seenTitle = w->windowTitle();
            w->close();
        });
        if (auto *button = m_form->findChild<QPushButton *>(trigger))
            button->click();
        else
            m_form->findChild<QAction *>(trigger)->trigger();
        QCOMPARE(seenName, window);
        QCOMPARE(seenTitle, title);
    }
    QCOMPARE(m_form->findChildren<QDialog *>().size(), 0); // each window was gone when it closed
}

QTEST_MAIN(TestRows)
#include "tst_rows.moc"
