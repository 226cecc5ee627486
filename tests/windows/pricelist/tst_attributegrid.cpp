#include "store/partattributetable.h"
#include "support/messageboxes.h"
#include "support/partattributetext.h"
#include "support/pricelisteditorfixture.h"
#include "windows/pricelist/attributegrid.h"

#include <QTableWidget>

// The editor's part attributes: typed, guessed and accepted, kept with the item's change.
class TestAttributeGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void keptWithTheItem_data();
    void keptWithTheItem();
};

void TestAttributeGrid::keptWithTheItem_data()
{
    QTest::addColumn<QString>("cat");
    QTest::addColumn<QString>("id"); // an id of the list is updated, another one added
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("guess");
    QTest::addColumn<QStringList>("typed"); // "grid row:value"; "grid row:!" ticks a guess
    QTest::addColumn<QString>("message"); // what the editor says, in part
    QTest::addColumn<QString>("kept"); // "-": the item itself was not written
    QTest::newRow("typed loosely, kept in one spelling")
        << "0"
        << "R7-7700"
        << "Ryzen 7" << false << QStringList { "0:am 5", "1:ddr5" } << ""
        << "socket=AM5; memory_types=DDR5";
    QTest::newRow("a guess not ticked is not kept")
        << "0"
        << "R5-7600"
        << "AMD Ryzen 5 7600 AM5 65W" << true << QStringList {} << ""
        << "";
    QTest::newRow("a guess ticked is kept")
        << "0"
        << "R5-7600"
        << "AMD Ryzen 5 7600 AM5 65W" << true << QStringList { "0:!" } << ""
        << "socket=AM5";
    QTest::newRow("a guess typed over is the person's")
        << "0"
        << "R5-7600"
        << "AMD Ryzen 5 7600 AM5 65W" << true << QStringList { "2:95" } << ""
        << "power=95";
    QTest::newRow("an existing item updated")
        << "0"
        << "I5"
        << "Intel Core i5" << false << QStringList { "0:LGA 1700" } << ""
        << "socket=LGA1700";
    QTest::newRow("a value that does not read: nothing written")
        << "0"
        << "R9"
        << "Ryzen 9" << false << QStringList { "2:lots" } << "Power must be"
        << "-";
    QTest::newRow("a case") << "12"
                            << "CASE-1"
                            << "Q300L mATX 360mm" << true << QStringList { "0:!", "1:!" } << ""
                            << "case_forms=Micro-ATX; card_clearance=360";
}

void TestAttributeGrid::keptWithTheItem()
{
    QFETCH(QString, cat);
    QFETCH(QString, id);
    QFETCH(QString, description);
    QFETCH(bool, guess);
    QFETCH(QStringList, typed);
    QFETCH(QString, message);
    QFETCH(QString, kept);
    Fixture f("Row", cat);
    f.leaveId(id);
    f.desc()->setText(description);
    f.price()->setText(QStringLiteral("100"));
    if (guess)
        QTest::mouseClick(f.button("cmdguessattributes"), Qt::LeftButton);
    auto *grid = f.child<QTableWidget>("grdattributes");
    QVERIFY(grid && grid->isVisible());
    for (const QString &cell : typed) {
        QTableWidgetItem *value = grid->item(cell.section(u':', 0, 0).toInt(), 1);
        if (cell.section(u':', 1) == QLatin1String("!"))
            value->setCheckState(Qt::Checked);
        else
            value->setText(cell.section(u':', 1));
    }
    MessageBoxes boxes;
    const bool known = !f.prices(cat, id).isEmpty();
    QTest::mouseClick(f.button(known ? "Command2" : "Command1"), Qt::LeftButton);
    QVERIFY2(boxes.text().contains(message), qPrintable(boxes.text()));
    QCOMPARE(f.prices(cat, id).isEmpty(), kept == QLatin1String("-") && !known);
    if (kept != QLatin1String("-"))
        QCOMPARE(attributesText(*PartAttributeTable(&f.store).read(cat, id)), kept);
}

QTEST_MAIN(TestAttributeGrid)
#include "tst_attributegrid.moc"
