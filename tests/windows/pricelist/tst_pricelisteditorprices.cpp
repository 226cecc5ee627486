#include "support/pricelisteditorfixture.h"

#include <QClipboard>
#include <QGuiApplication>

// The editor's prices never change by being shown, Add and Update take the same price texts, and
// the id box holds what an id can be, however the text comes in.
class TestFrmadtPrices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void shownPriceSurvivesUpdate_data();
    void shownPriceSurvivesUpdate();
    void addAndUpdateTakeTheSamePrices_data();
    void addAndUpdateTakeTheSamePrices();
    void pastedIdIsUpperCased_data();
    void pastedIdIsUpperCased();
    void emptyIdIsRefusedByAdd_data();
    void emptyIdIsRefusedByAdd();
    void deleteRemovesTheLookedUpRowOnly_data();
    void deleteRemovesTheLookedUpRowOnly();
};

void TestFrmadtPrices::shownPriceSurvivesUpdate_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    const QStringList locales = { "C", "de_DE", "ar_EG" };
    for (const QString &l : locales) {
        const QByteArray at = " @" + l.toLatin1();
        QTest::newRow("tiny exponent" + at) << l << "1.234E-07"
                                            << "0.0000001234";
        QTest::newRow("denormal" + at) << l << "2.5e-310"
                                       << "0." + QString(309, u'0') + "25";
        QTest::newRow("smallest denormal" + at) << l << "1e-320"
                                                << "0." + QString(319, u'0') + "1";
        QTest::newRow("17 digits" + at) << l << "123456789012345.67"
                                        << "123456789012345.67";
        QTest::newRow("1e15" + at) << l << "1E+15"
                                   << "1000000000000000";
        QTest::newRow("1e20" + at) << l << "1e+20"
                                   << "100000000000000000000";
        QTest::newRow("three decimals" + at) << l << "12.345"
                                             << "12.345";
        QTest::newRow("cents" + at) << l << "5400.50"
                                    << "5400.5";
    }
}

void TestFrmadtPrices::shownPriceSurvivesUpdate()
{
    // Only the description is edited: the price goes back exactly as it was stored.
    QFETCH(QString, locale);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QLocale::setDefault(QLocale(locale));
    Fixture f("&Processor", "0", { { "0", "P", "Priced", stored } });
    Reports reports;
    f.leaveId("P");
    QCOMPARE(f.price()->text(), shown);
    f.desc()->setText("Edited");
    QTest::mouseClick(f.button("Command2"), Qt::LeftButton);
    QCOMPARE(reports.list.size(), size_t(0));
    QCOMPARE(f.prices("0", "P"), QStringList { stored });
    QCOMPARE(f.db.descriptions("0", "P"), QStringList { "Edited" });
}

void TestFrmadtPrices::addAndUpdateTakeTheSamePrices_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("added"); // "" when refused
    QTest::addColumn<QString>("updated"); // "" when refused

    QTest::newRow("1e20") << "C"
                          << "1e20"
                          << "100000000000000000000"
                          << "100000000000000000000";
    QTest::newRow("1e15") << "C"
                          << "1e15"
                          << "1000000000000000"
                          << "1000000000000000";
    QTest::newRow("1.5e-7") << "C"
                            << "1.5e-7"
                            << "0.00000015"
                            << "0";
    QTest::newRow("three decimals") << "C"
                                    << "12.345"
                                    << "12.345"
                                    << "12.34";
    QTest::newRow("20 digits") << "C"
                               << "12345678901234567890.129"
                               << "12345678901234567890.129"
                               << "12345678901234567890.12";
    QTest::newRow("comma in de_DE") << "de_DE"
                                    << "12,345"
                                    << "12.345"
                                    << "12.34";
    QTest::newRow("point in de_DE") << "de_DE"
                                    << "0.1"
                                    << "0.1"
                                    << "0.1";
    QTest::newRow("arabic sign") << "ar_EG" << u"7\u066B25"_qs << "7.25"
                                 << "7.25";
    QTest::newRow("10^21") << "C"
                           << "1e21"
                           << ""
                           << "";
    QTest::newRow("largest double") << "C"
                                    << "1.7976931348623157e308"
                                    << ""
                                    << "";
    QTest::newRow("not a number") << "C"
                                  << "12-3"
                                  << ""
                                  << "";
    QTest::newRow("empty") << "C"
                           << ""
                           << ""
                           << "";
}

void TestFrmadtPrices::addAndUpdateTakeTheSamePrices()
{
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(QString, added);
    QFETCH(QString, updated);
    QLocale::setDefault(QLocale(locale));
    for (const char *button : { "Command1", "Command2" }) {
        const bool add = QByteArray(button) == "Command1";
        const QString expected = add ? added : updated;
        Fixture f("&Processor", "0", { { "0", "OLD", "Old item", "5" } });
        Reports reports;
        Refusals refusals;
        f.leaveId(add ? "NEW" : "OLD");
        f.price()->setText(typed);
        QTest::mouseClick(f.button(button), Qt::LeftButton);
        QCOMPARE(reports.list.size(), size_t(0));
        if (expected.isEmpty()) {
            // Refused before anything is written, with a message naming the field.
            QCOMPARE(refusals.list.size(), 1);
            QVERIFY2(refusals.list.front().startsWith("Price: "), qPrintable(refusals.list.front()));
            QCOMPARE(f.prices("0", add ? "NEW" : "OLD"), add ? QStringList {} : QStringList { "5" });
            QCOMPARE(f.price()->text(), typed);
            QVERIFY(f.editor->isVisible());
        } else {
            QCOMPARE(refusals.list.size(), 0);
            QCOMPARE(f.prices("0", add ? "NEW" : "OLD"), QStringList { expected });
        }
    }
}

void TestFrmadtPrices::pastedIdIsUpperCased_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("id");
    QTest::newRow("ctrl+v") << "ctrl+v"
                            << "r5"
                            << "R5";
    QTest::newRow("shift+insert") << "shift+insert"
                                  << "r5"
                                  << "R5";
    QTest::newRow("middle click") << "middle"
                                  << "r5"
                                  << "R5";
    QTest::newRow("nul stripped") << "ctrl+v" << u"R\u00005"_qs << "R5";
    QTest::newRow("controls stripped") << "ctrl+v" << u"\tr5\r\n"_qs << "R5";
    QTest::newRow("noncharacter stripped") << "ctrl+v" << u"r\uFFFE5"_qs << "R5";
}

void TestFrmadtPrices::pastedIdIsUpperCased()
{
    QFETCH(QString, how);
    QFETCH(QString, pasted);
    QFETCH(QString, id);
    Fixture f;
    Reports reports;
    QClipboard *clipboard = QGuiApplication::clipboard();
    QLineEdit *edit = f.id()->lineEdit();
    f.id()->SetFocus();
    QTRY_VERIFY(edit->hasFocus());
    if (how == "middle") {
        if (!clipboard->supportsSelection())
            QSKIP("no selection clipboard on this platform");
        clipboard->setText(pasted, QClipboard::Selection);
        QTest::mouseClick(edit, Qt::MiddleButton, {}, edit->rect().center());
    } else {
        clipboard->setText(pasted);
        if (how == "ctrl+v")
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        else
            QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    }
    QCOMPARE(f.id()->Text(), id);
    f.desc()->setFocus(Qt::TabFocusReason);
    // The lookup finds the item, and no error report opens for it.
    QCOMPARE(reports.list.size(), size_t(0));
    QCOMPARE(f.desc()->text(), QStringLiteral("AMD Ryzen 5"));
    QCOMPARE(f.buttonStates(), QStringLiteral("-DE"));
}

void TestFrmadtPrices::emptyIdIsRefusedByAdd_data()
{
    QTest::addColumn<QString>("id");
    QTest::newRow("empty") << "";
    QTest::newRow("blanks") << "   ";
}

void TestFrmadtPrices::emptyIdIsRefusedByAdd()
{
    QFETCH(QString, id);
    Fixture f;
    Refusals refusals;
    const int before = f.db.count();
    f.leaveId(id);
    f.desc()->setText(QString());
    QCOMPARE(f.buttonStates(), QStringLiteral("D--"));
    QTest::mouseClick(f.button("Command1"), Qt::LeftButton);
    QCOMPARE(refusals.list.size(), 1);
    QVERIFY(refusals.list.front().startsWith("ID: "));
    QCOMPARE(f.db.count(), before);
    QVERIFY(f.editor->isVisible());
}

void TestFrmadtPrices::deleteRemovesTheLookedUpRowOnly_data()
{
    QTest::addColumn<QString>("id");
    QTest::newRow("empty ids") << "";
    QTest::newRow("repeated id") << "DUP";
}

void TestFrmadtPrices::deleteRemovesTheLookedUpRowOnly()
{
    QFETCH(QString, id);
    Fixture f("&Processor", "0",
        { { "0", id, "first", "1" }, { "0", id, "second", "2" }, { "0", "KEEP", "kept", "3" },
            { "3", id, "other category", "4" } });
    f.leaveId(id);
    const QString lookedUp = f.desc()->text();
    QTest::mouseClick(f.button("Command3"), Qt::LeftButton);
    QVERIFY(!f.editor->isVisible());
    QStringList left = f.db.descriptions("0", id);
    QCOMPARE(left.size(), 1);
    QVERIFY(!left.contains(lookedUp));
    QCOMPARE(f.db.descriptions("0", "KEEP"), QStringList { "kept" });
    QCOMPARE(f.db.descriptions("3", id), QStringList { "other category" });
}

QTEST_MAIN(TestFrmadtPrices)
#include "tst_pricelisteditorprices.moc"
