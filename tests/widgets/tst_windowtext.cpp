#include "support/testdb.h"
#include "widgets/gridcombo.h"
#include "widgets/windowtext.h"
#include "windows/installments/installmentcalculator.h"
#include "windows/main/mainwindow.h"
#include "windows/pricelist/pricelisteditor.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

// How the boxes of the windows take long texts: a person's input is limited and a cut is told; what
// the program puts in is never cut.
class TestWindowText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void pasteIsCutAndTold_data();
    void pasteIsCutAndTold();
    void typingStopsAtTheLimit_data();
    void typingStopsAtTheLimit();
    void programTextsAreNeverCut_data();
    void programTextsAreNeverCut();
    void pickerTypingStopsAtItsLimit();
    void everyBoxHasALimit_data();
    void everyBoxHasALimit();
    void longStoredShopNameIsKeptWhole();
};

namespace
{

QLabel *notice(QLineEdit *box)
{
    return box->findChild<QLabel *>(QStringLiteral("textLimitNotice"));
}

bool told(QLineEdit *box)
{
    return notice(box) && notice(box)->isVisible();
}

// Right-click in the box and choose Paste.
void pasteFromMenu(QLineEdit *box)
{
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), box->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(box, &click);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QAction *paste = nullptr;
    for (QAction *action : menu->actions()) {
        if (action->text().startsWith(QLineEdit::tr("&Paste")))
            paste = action;
    }
    QVERIFY(paste);
    paste->trigger();
    menu->close();
}

} // namespace

void TestWindowText::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestWindowText::pasteIsCutAndTold_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("cut");
    for (const char *way : { "Ctrl+V", "Shift+Insert", "menu" }) {
        const auto row = [way](const char *name) -> QTestData & {
            return QTest::addRow("%s, %s", way, name) << QString::fromLatin1(way);
        };
        row("fits") << "ab" << 2 << "cde"
                    << "abcde" << false;
        row("fills exactly") << "ab" << 2 << "cdefghij"
                             << "abcdefghij" << false;
        row("cut at the end") << "ab" << 2 << "cdefghijklmn"
                              << "abcdefghij" << true;
        row("cut in the middle keeps the rest") << "abyz" << 2 << "cdefghijkl"
                                                << "abcdefghyz" << true;
        row("long paste into an empty box") << "" << 0 << QString(40000, u'x') << QString(10, u'x') << true;
        row("full box") << "abcdefghij" << 10 << "k"
                        << "abcdefghij" << true;
    }
}

void TestWindowText::pasteIsCutAndTold()
{
    QFETCH(QString, way);
    QFETCH(QString, before);
    QFETCH(int, cursor);
    QFETCH(QString, pasted);
    QFETCH(QString, after);
    QFETCH(bool, cut);
    QLineEdit box;
    WindowText::limitLength(&box, 10);
    box.show();
    box.setText(before);
    box.setCursorPosition(cursor);
    QGuiApplication::clipboard()->setText(pasted);
    if (way == QLatin1String("menu"))
        pasteFromMenu(&box);
    else if (way == QLatin1String("Shift+Insert"))
        QTest::keyClick(&box, Qt::Key_Insert, Qt::ShiftModifier);
    else
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box.text(), after);
    QCOMPARE(told(&box), cut);
    if (cut)
        QVERIFY(notice(&box)->text().contains(QStringLiteral("10 characters")));
}

void TestWindowText::typingStopsAtTheLimit_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("cut");
    QTest::newRow("up to the limit") << "abc" << false << "defghij"
                                     << "abcdefghij" << false;
    QTest::newRow("beyond it") << "abc" << false << "defghijklm"
                               << "abcdefghij" << true;
    QTest::newRow("over a selection") << "abcdefghij" << true << "xy"
                                      << "xy" << false;
}

void TestWindowText::typingStopsAtTheLimit()
{
    QFETCH(QString, before);
    QFETCH(bool, selectAll);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    QFETCH(bool, cut);
    QLineEdit box;
    WindowText::limitLength(&box, 10);
    box.setText(before);
    if (selectAll)
        box.selectAll();
    QTest::keyClicks(&box, typed);
    QCOMPARE(box.text(), after);
    QCOMPARE(told(&box), cut);
}

void TestWindowText::programTextsAreNeverCut_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("longer than the limit") << QString(300, u'd');
    QTest::newRow("longer than Qt's own limit") << QString(40000, u'd');
}

void TestWindowText::programTextsAreNeverCut()
{
    QFETCH(QString, text);
    QLineEdit box;
    WindowText::limitLength(&box, 10);
    box.setText(text);
    QCOMPARE(box.text(), text);
    QCOMPARE(WindowText::lengthLimit(&box), 10);
    box.setCursorPosition(5);
    QTest::keyClick(&box, Qt::Key_X); // does not grow
    QCOMPARE(box.text(), text);
    QTest::keyClick(&box, Qt::Key_Backspace); // but can be edited
    QCOMPARE(box.text().size(), text.size() - 1);
}

void TestWindowText::pickerTypingStopsAtItsLimit()
{
    // Like the price-list editor, the owner builds the id from the typed characters.
    GridCombo picker;
    picker.setMaxLength(5);
    QSignalSpy keyDowns(&picker, &GridCombo::keyDown);
    connect(&picker, &GridCombo::keyPress, &picker, [&picker](int c) {
        picker.suppressKey();
        picker.setText(picker.Text() + QChar(c));
    });
    QTest::keyClicks(picker.lineEdit(), QStringLiteral("ABCDEFG"));
    QCOMPARE(picker.Text(), QStringLiteral("ABCDE"));
    QVERIFY(told(picker.lineEdit()));
    QCOMPARE(keyDowns.size(), 7); // the owner still hears every key
    picker.setText(QStringLiteral("A-STORED-ID-LONGER-THAN-FIVE"));
    QCOMPARE(picker.Text(), QStringLiteral("A-STORED-ID-LONGER-THAN-FIVE"));
}

void TestWindowText::everyBoxHasALimit_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QChar>("fill");
    QTest::addColumn<int>("limit");
    QTest::newRow("shop name") << "main"
                               << "Text3" << QChar(u'a') << int(WindowText::ShopLength);
    QTest::newRow("client") << "main"
                            << "Text2" << QChar(u'a') << int(WindowText::ClientLength);
    QTest::newRow("sales executive") << "main"
                                     << "Text5" << QChar(u'a') << int(WindowText::PersonLength);
    QTest::newRow("row amount") << "main"
                                << "text1(3)" << QChar(u'1') << int(WindowText::AmountLength);
    QTest::newRow("row picker") << "main"
                                << "GridCombo1(3)" << QChar(u'A') << int(WindowText::IdLength);
    QTest::newRow("price") << "calculator"
                           << "txtcerditamount" << QChar(u'1') << int(WindowText::AmountLength);
    QTest::newRow("deposit") << "calculator"
                             << "txtdeposit" << QChar(u'1') << int(WindowText::AmountLength);
    QTest::newRow("remainder") << "calculator"
                               << "txtsellprice" << QChar(u'1') << int(WindowText::AmountLength);
    QTest::newRow("count") << "calculator"
                           << "txtnoinst" << QChar(u'1') << int(WindowText::CountLength);
    QTest::newRow("id") << "editor"
                        << "txtrid" << QChar(u'A') << int(WindowText::IdLength);
    QTest::newRow("description") << "editor"
                                 << "txtdesc" << QChar(u'a') << int(WindowText::DescriptionLength);
    QTest::newRow("editor price") << "editor"
                                  << "txtprice" << QChar(u'1') << int(WindowText::AmountLength);
}

void TestWindowText::everyBoxHasALimit()
{
    QFETCH(QString, window);
    QFETCH(QString, box);
    QFETCH(QChar, fill);
    QFETCH(int, limit);
    TestDb db;
    Store store(db.path, QStringLiteral("t-limits"));
    MainWindow form(&store);
    QVERIFY(form.load());
    std::unique_ptr<QWidget> owned;
    QWidget *w = &form;
    if (window == QLatin1String("calculator"))
        owned = std::make_unique<InstallmentCalculator>(QString(), QStringLiteral("0.00"));
    else if (window == QLatin1String("editor"))
        owned = std::make_unique<PriceListEditor>(
            &store, QStringLiteral("&Processor Data"), QStringLiteral("0"), QPixmap());
    if (owned)
        w = owned.get();
    QWidget *found = w->findChild<QWidget *>(box);
    QVERIFY(found);
    auto *picker = qobject_cast<GridCombo *>(found);
    QLineEdit *edit = picker ? picker->lineEdit() : qobject_cast<QLineEdit *>(found);
    QVERIFY(edit);
    QVERIFY(limit < 1000);
    edit->clear();
    QGuiApplication::clipboard()->setText(QString(40000, fill));
    pasteFromMenu(edit);
    QCOMPARE(edit->text(), QString(limit, fill));
    QVERIFY(told(edit));
}

void TestWindowText::longStoredShopNameIsKeptWhole()
{
    const QString shop = QString(3 * WindowText::ShopLength, u's');
    const QString name = QString(3 * WindowText::PersonLength, u'n');
    TestDb db({ { "90", "company", shop, "0.00" }, { "90", "sp", name, "0.00" } });
    {
        Store store(db.path, QStringLiteral("t-longshop"));
        MainWindow form(&store);
        QVERIFY(form.load());
        QCOMPARE(form.findChild<QLineEdit *>(QStringLiteral("Text3"))->text(), shop);
        QCOMPARE(form.findChild<QLineEdit *>(QStringLiteral("Text5"))->text(), name);
        form.close();
    }
    QCOMPARE(db.descriptions(QStringLiteral("90"), QStringLiteral("company")), QStringList { shop });
    QCOMPARE(db.descriptions(QStringLiteral("90"), QStringLiteral("sp")), QStringList { name });
}

QTEST_MAIN(TestWindowText)
#include "tst_windowtext.moc"
