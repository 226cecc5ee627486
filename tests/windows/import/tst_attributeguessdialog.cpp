#include "support/partattributetext.h"
#include "windows/import/attributeguessdialog.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTest>

// Guessing attributes for incoming items: what is proposed, and that only what the person accepts
// comes back, no longer a guess.
class TestAttributeGuessDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void onlyAcceptedComeBack_data();
    void onlyAcceptedComeBack();
};

void TestAttributeGuessDialog::onlyAcceptedComeBack_data()
{
    QTest::addColumn<QString>("ticks"); // "all" (the button), row numbers ticked, or empty
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("accepted"); // "category id attributes"
    const QString cpu = QStringLiteral("0 CPU1 socket=AM5; memory_types=DDR5; power=65");
    const QString board = QStringLiteral("1 MB1 socket=AM5; memory_type=DDR5; form_factor=Micro-ATX");
    const QString psu = QStringLiteral("14 PSU1 supply_power=650");
    QTest::newRow("nothing ticked") << "" << true << QStringList {};
    QTest::newRow("one row") << "1" << true << QStringList { board };
    QTest::newRow("all") << "all" << true << QStringList { cpu, board, psu };
    QTest::newRow("cancelled") << "all" << false << QStringList {};
}

void TestAttributeGuessDialog::onlyAcceptedComeBack()
{
    QFETCH(QString, ticks);
    QFETCH(bool, ok);
    QFETCH(QStringList, accepted);
    AttributeGuessDialog dialog(
        { { "0", "CPU1", "AMD Ryzen 5 7600 AM5 65W DDR5 boxed" }, { "1", "MB1", "MSI PRO B650M-A WIFI DDR5" },
            { "9", "KB1", "Keyboard, black" }, { "14", "PSU1", "Corsair CV650 650W 80 Plus Bronze PSU" } });
    QCOMPARE(dialog.objectName(), QStringLiteral("frmguess"));
    // The keyboard's description gives nothing away: it is not listed.
    QCOMPARE(dialog.proposals(), 3);
    auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("grdguesses"));
    QCOMPARE(table->item(0, 3)->text(), QStringLiteral("Socket AM5, Memory types DDR5, Power 65 W"));
    if (ticks == QLatin1String("all"))
        dialog.findChild<QPushButton *>(QStringLiteral("cmdacceptall"))->click();
    else if (!ticks.isEmpty())
        dialog.setRowAccepted(ticks.toInt(), true);
    dialog.findChild<QPushButton *>(ok ? QStringLiteral("cmdok") : QStringLiteral("cmdcancel"))->click();
    QStringList found;
    for (const AttributeGuessDialog::Accepted &item : dialog.accepted()) {
        found << item.category + u' ' + item.id + u' ' + attributesText(item.attributes);
        for (const auto &value : item.attributes.values())
            QVERIFY(!value.guessed);
    }
    QCOMPARE(found, accepted);
}

QTEST_MAIN(TestAttributeGuessDialog)
#include "tst_attributeguessdialog.moc"
