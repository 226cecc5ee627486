#include "support/messageboxes.h"
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

#include <functional>

// A change made through the window's offer model; what reads a field of the offer.
using ModelChange = std::function<void(OfferModel &)>;
using OfferField = std::function<QString(const Offer &)>;
Q_DECLARE_METATYPE(ModelChange)
Q_DECLARE_METATYPE(OfferField)

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
    void viewFollowsModel_data();
    void viewFollowsModel();
    void editsGoIntoModel_data();
    void editsGoIntoModel();

private:
    QString shown(const QString &name) const;
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
    QCOMPARE(r2.categoryButton()->objectName(), QStringLiteral("Command1(2)"));
    QCOMPARE(r2.categoryButton()->text(), QStringLiteral("&RAM"));
    QCOMPARE(m_form->row(16).categoryButton()->text(), QStringLiteral("&Other"));
    QVERIFY(!m_form->row(16).picture());
    QCOMPARE(r2.picker()->objectName(), QStringLiteral("GridCombo1(2)"));
    QCOMPARE(r2.amountBox()->objectName(), QStringLiteral("text1(2)"));
    QVERIFY(m_form->findChild<QLabel *>(QStringLiteral("Image2(15)")));
    QVERIFY(!m_form->findChild<QLabel *>(QStringLiteral("Image2(0)")));
    for (int i = 0; i < ConfigRow::Count; ++i) {
        QVERIFY(m_form->row(i).descriptionLabel()->text().isEmpty());
        QCOMPARE(amount(i)->text(), QStringLiteral("0.00"));
        if (m_form->row(i).printCopy())
            QVERIFY(!m_form->row(i).printCopy()->isVisibleTo(m_form.get()));
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
    QCOMPARE(m_form->row(2).descriptionLabel()->text(), QStringLiteral("DDR4 32GB"));
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
    QCOMPARE(m_form->row(2).descriptionLabel()->text(), descriptions.value(0));
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
    QCOMPARE(m_form->row(2).descriptionLabel()->text(), QStringLiteral("DDR4 32GB"));
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
    QCOMPARE(m_form->row(2).descriptionLabel()->text(), QStringLiteral("DDR4 8GB"));
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
    QCOMPARE(m_form->row(16).descriptionLabel()->text(), QStringLiteral("Quoted id"));
}

void TestRows::quotesAndMismatches()
{
    picker(2)->setText(QStringLiteral("D4-16G"));
    m_form->itemPicked(2);
    picker(2)->setText(QStringLiteral("NOPE' or '1'='1"));
    m_form->itemPicked(2);
    QCOMPARE(m_form->row(2).descriptionLabel()->text(), QStringLiteral("DDR4 16GB"));
    QCOMPARE(amount(2)->text(), QStringLiteral("1250"));
    picker(9)->setText(QStringLiteral("SPK"));
    m_form->itemPicked(9);
    QCOMPARE(m_form->row(9).descriptionLabel()->text(), QStringLiteral("Speaker"));
    picker(9)->showList(); // category "9" never shows "90"'s settings
    QCOMPARE(picker(9)->listView()->model()->rowCount(), 1);
    picker(9)->hideList();
}

void TestRows::lookupKeepsWhatHasNoValue_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("breaking"); // run on the file before the lookup
    QTest::addColumn<QString>("said"); // how the window's message begins; empty: none
    QTest::newRow("no description") << "NODESC"
                                    << "DDR4 16GB"
                                    << "99"
                                    << ""
                                    << "";
    QTest::newRow("no price") << "NOPRICE"
                              << "No price"
                              << "1250"
                              << ""
                              << "";
    QTest::newRow("neither") << "NOTHING"
                             << "DDR4 16GB"
                             << "1250"
                             << ""
                             << "";
    QTest::newRow("empty description") << "EMPTYDESC"
                                       << ""
                                       << "5"
                                       << ""
                                       << "";
    // Nothing the row showed for the item before passes for this one's.
    QTest::newRow("list unreadable") << "D4-8G"
                                     << ""
                                     << ""
                                     << "drop table adt"
                                     << "The price list of \"RAM\" could not be read.";
}

void TestRows::lookupKeepsWhatHasNoValue()
{
    QFETCH(QString, id);
    QFETCH(QString, label);
    QFETCH(QString, amount);
    QFETCH(QString, breaking);
    QFETCH(QString, said);
    m_db->exec(QStringLiteral(
        "insert into adt values ('2', 'NODESC', NULL, '99'), ('2', 'NOPRICE', 'No price', NULL),"
        " ('2', 'NOTHING', NULL, NULL), ('2', 'EMPTYDESC', '', '5')"));
    picker(2)->setText(QStringLiteral("D4-16G"));
    m_form->itemPicked(2);
    if (!breaking.isEmpty())
        m_db->exec(breaking);
    MessageBoxes boxes;
    picker(2)->setText(id);
    m_form->itemPicked(2);
    QCOMPARE(m_form->row(2).descriptionLabel()->text(), label);
    QCOMPARE(this->amount(2)->text(), amount);
    QCOMPARE(boxes.said.size(), said.isEmpty() ? 0 : 1);
    if (!said.isEmpty())
        QVERIFY2(boxes.said.first().startsWith(said), qPrintable(boxes.said.first()));
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
    typeOver(amount(1), QStringLiteral("125.50"));
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
    typeOver(m_form->findChild<QLineEdit *>(QStringLiteral("Text2")), QStringLiteral("Ali 0100"));
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

QString TestRows::shown(const QString &name) const
{
    if (name == QLatin1String("title"))
        return m_form->windowTitle();
    const QObject *control = m_form->findChild<QObject *>(name);
    return control ? control->property("text").toString() : QStringLiteral("(no %1)").arg(name);
}

void TestRows::viewFollowsModel_data()
{
    QTest::addColumn<ModelChange>("change");
    QTest::addColumn<QStringList>("controls"); // "name=text" as each control shows it afterwards
    QTest::newRow("amount") << ModelChange([](OfferModel &m) { m.setAmountText(3, "12.5"); })
                            << QStringList { "text1(3)=12.5", "txttotal=12.50" };
    QTest::newRow("amount too large") << ModelChange([](OfferModel &m) { m.setAmountText(3, "1e400"); })
                                      << QStringList { "text1(3)=1e400", "txttotal=No total" };
    QTest::newRow("id stepped to") << ModelChange([](OfferModel &m) { m.setItemId(2, "D4-8G"); })
                                   << QStringList { "GridCombo1(2)=D4-8G", "Label1(2)=", "text1(2)=0.00" };
    QTest::newRow("item looked up") << ModelChange([](OfferModel &m) {
        m.setItemId(2, "D4-8G");
        m.takeListItem(2, QString("DDR4 8GB"), Price::fromStored("850.5"));
    }) << QStringList { "GridCombo1(2)=D4-8G", "Label1(2)=DDR4 8GB", "text1(2)=850.5", "txttotal=850.50" };
    QTest::newRow("client") << ModelChange([](OfferModel &m) { m.setClient("Ali 0100"); })
                            << QStringList { "Text2=Ali 0100" };
    QTest::newRow("shop, and the title with it")
        << ModelChange([](OfferModel &m) { m.setShop("PC Land"); })
        << QStringList { "Text3=PC Land", "title=Velmont Brasko - PC Land" };
    QTest::newRow("seller") << ModelChange([](OfferModel &m) { m.setSeller("Mona"); })
                            << QStringList { "Text5=Mona" };
    QTest::newRow("a whole offer") << ModelChange([](OfferModel &m) {
        Offer offer = Offer::blank("Old Shop", "Mona", QDateTime(QDate(2026, 3, 4), QTime(10, 20)));
        offer.client = "Omar";
        offer.pickItem(9, "SPK", "Speaker", "220");
        offer.row(16).setAmountText("10");
        m.setOffer(offer);
    })
                                   << QStringList { "Text3=Old Shop", "Text5=Mona", "Text2=Omar",
                                          "GridCombo1(9)=SPK", "Label1(9)=Speaker", "text1(9)=220",
                                          "text1(16)=10", "txttotal=230.00" };
}

// Whatever changes the offer, the window shows it.
void TestRows::viewFollowsModel()
{
    QFETCH(ModelChange, change);
    QFETCH(QStringList, controls);
    change(*m_form->offerModel());
    for (const QString &control : controls)
        QCOMPARE(control.section(u'=', 0, 0) + u'=' + shown(control.section(u'=', 0, 0)), control);
}

void TestRows::editsGoIntoModel_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("how"); // "type", "type and undo" or "set" (the program's own setText)
    QTest::addColumn<QString>("text");
    QTest::addColumn<OfferField>("field");
    QTest::addColumn<QString>("held"); // what the offer holds afterwards
    const auto amount4 = OfferField([](const Offer &o) { return o.row(4).amountText(); });
    const auto client = OfferField([](const Offer &o) { return o.client; });
    QTest::newRow("amount typed") << "text1(4)"
                                  << "type"
                                  << "99" << amount4 << "99";
    QTest::newRow("amount typed, then undone") << "text1(4)"
                                               << "type and undo"
                                               << "99" << amount4 << "0.00";
    QTest::newRow("client typed") << "Text2"
                                  << "type"
                                  << "Ali 0100" << client << "Ali 0100";
    QTest::newRow("shop typed") << "Text3"
                                << "type"
                                << "PC Land" << OfferField([](const Offer &o) { return o.shop; })
                                << "PC Land";
    QTest::newRow("seller typed") << "Text5"
                                  << "type"
                                  << "Mona" << OfferField([](const Offer &o) { return o.seller; }) << "Mona";
    QTest::newRow("id pasted into a picker")
        << "GridCombo1(2)"
        << "type"
        << "D4-8G" << OfferField([](const Offer &o) { return o.row(2).itemId; }) << "D4-8G";
    // The program's own texts come from the offer; a box's text never goes back into it.
    QTest::newRow("amount set by the program") << "text1(4)"
                                               << "set"
                                               << "77" << amount4 << "0.00";
    QTest::newRow("client set by the program") << "Text2"
                                               << "set"
                                               << "Omar" << client << "";
}

void TestRows::editsGoIntoModel()
{
    QFETCH(QString, control);
    QFETCH(QString, how);
    QFETCH(QString, text);
    QFETCH(OfferField, field);
    QFETCH(QString, held);
    auto *box = m_form->findChild<QLineEdit *>(control);
    if (auto *picker = m_form->findChild<GridCombo *>(control))
        box = picker->lineEdit();
    QVERIFY(box);
    if (how == QLatin1String("set")) {
        box->setText(text);
    } else {
        typeOver(box, text);
        if (how == QLatin1String("type and undo"))
            box->undo();
    }
    QCOMPARE(field(m_form->offer()), held);
}

QTEST_MAIN(TestRows)
#include "tst_rows.moc"
