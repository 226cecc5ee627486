#include "store/pricehistory.h"
#include "store/pricelistexport.h"
#include "support/testdb.h"
#include "windows/import/importwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

// The import window over a small price list: what the preview shows, and what
// Apply leaves.
class TestImportWindow : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void initTestCase() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }
  void previewAndApply_data();
  void previewAndApply();
  void exportedListImportsWithoutChanges();
  void columnsAreRememberedPerFileName();
};

namespace {

const std::vector<TestRow> List = {
    {"0", "R5", "AMD Ryzen 5", "5400"},    {"0", "I5", "Intel Core i5", "6900"},
    {"0", "I7", "Intel Core i7", "11800"}, {"0", "I3", "Intel Core i3", "4350"},
    {"2", "D4-16G", "DDR4 16GB", "1250"},  {"90", "dt", "1/1/26 10:00", "0.00"},
};

const QList<std::pair<QString, QString>> Categories = {
    {"&Processor", "0"}, {"&Mother Board", "1"}, {"&RAM", "2"}};

struct Window {
  explicit Window(Store *store) : window(store, Categories) {
    window.setTell([this](const QString &text, bool failure) {
      told << (failure ? "!" : "") + text;
    });
  }
  template <typename T> T *child(const char *name) {
    return window.findChild<T *>(QString::fromLatin1(name));
  }
  QStringList grid() {
    auto *g = child<QTableWidget>("grdpreview");
    QStringList rows;
    for (int r = 0; r < g->rowCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < g->columnCount(); ++c)
        cells << g->item(r, c)->text();
      rows << cells.join(u'|');
    }
    return rows;
  }
  ImportWindow window;
  QStringList told;
};

QString writeFile(const TestDb &db, const QString &name,
                  const QByteArray &bytes) {
  const QString path = db.dir.filePath(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
    qFatal("cannot write %s", qPrintable(path));
  return path;
}

} // namespace

void TestImportWindow::previewAndApply_data() {
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<QString>("summary");
  QTest::addColumn<QStringList>("rows");
  QTest::addColumn<QStringList>("problems");
  QTest::addColumn<bool>("applies");
  QTest::newRow("three prices raised and two items added")
      << QByteArray("Code;Name;Price\n"
                    "R5;AMD Ryzen 5;5.500,00\n"
                    "I5;Intel Core i5;7.245\n"
                    "I7;Intel Core i7;12.000\n"
                    "I3;Intel Core i3;4350\n"
                    "R7;AMD Ryzen 7;9.900,50\n"
                    "R9;AMD Ryzen 9;15.000\n")
      << "2 new, 3 changed, 1 unchanged, 0 no longer listed (kept)."
      << QStringList{"Changed|Processor|R5|AMD Ryzen 5|5400|5500|+1.9%",
                     "Changed|Processor|I5|Intel Core i5|6900|7245|+5.0%",
                     "Changed|Processor|I7|Intel Core i7|11800|12000|+1.7%",
                     "New|Processor|R7|AMD Ryzen 7||9900.5|",
                     "New|Processor|R9|AMD Ryzen 9||15000|"}
      << QStringList{} << true;
  QTest::newRow("an unreadable price blocks Apply")
      << QByteArray("id,description,price\nR5,AMD Ryzen 5,abc\nI5,Intel Core "
                    "i5,6900\n")
      << "0 new, 0 changed, 1 unchanged, 3 no longer listed (kept). 1 line "
         "cannot be read (listed below); "
         "correct the file to import it."
      << QStringList{"No longer listed|Processor|I3|Intel Core i3|4350||",
                     "No longer listed|Processor|I7|Intel Core i7|11800||",
                     "No longer listed|Processor|R5|AMD Ryzen 5|5400||"}
      << QStringList{"Line 2: \"abc\" is not a number. Type a price such as "
                     "1250 or 12.50."}
      << false;
  QTest::newRow("an id listed twice: the last line wins")
      << QByteArray("id\tprice\nR5\t1\nR5\t5400\n") << "No changes."
      << QStringList{"No longer listed|Processor|I3|Intel Core i3|4350||",
                     "No longer listed|Processor|I5|Intel Core i5|6900||",
                     "No longer listed|Processor|I7|Intel Core i7|11800||"}
      << QStringList{"Line 3: R5 (Processor) was already listed on line 2; "
                     "this line is used."}
      << false;
  QByteArray unreadable = "id,price\n";
  QStringList firstListed;
  for (int line = 2; line <= 1501; ++line) {
    unreadable += "X" + QByteArray::number(line) + ",abc\n";
    if (firstListed.size() < 1000)
      firstListed << QStringLiteral("Line %1: \"abc\" is not a number. Type a "
                                    "price such as 1250 or 12.50.")
                         .arg(line);
  }
  QTest::newRow(
      "many unreadable lines: the first thousand listed, the rest counted")
      << unreadable
      << "0 new, 0 changed, 0 unchanged, 0 no longer listed (kept). 1500 lines "
         "cannot be read (listed "
         "below); "
         "correct the file to import it."
      << QStringList{}
      << firstListed +
             QStringList{"... and 500 more lines that cannot be read."}
      << false;
}

void TestImportWindow::previewAndApply() {
  QFETCH(QByteArray, file);
  QFETCH(QString, summary);
  QFETCH(QStringList, rows);
  QFETCH(QStringList, problems);
  QFETCH(bool, applies);
  TestDb db(List);
  Store store(db.path, QStringLiteral("t-importwindow"));
  QVERIFY(store.open());
  Window w(&store);
  QVERIFY(w.window.setFile(writeFile(db, "supplier.csv", file)));
  QCOMPARE(w.child<QComboBox>("cbofixedcategory")->currentData().toString(),
           QStringLiteral("0"));
  w.child<QPushButton>("cmdpreview")->click();
  QCOMPARE(w.told, QStringList{});
  QCOMPARE(w.child<QLabel>("lblsummary")->text(), summary);
  QCOMPARE(w.grid(), rows);
  QStringList listed;
  for (int i = 0; i < w.child<QListWidget>("lstproblems")->count(); ++i)
    listed << w.child<QListWidget>("lstproblems")->item(i)->text();
  QCOMPARE(listed, problems);
  auto *apply = w.child<QPushButton>("cmdapply");
  QCOMPARE(apply->isEnabled(), applies);
  if (!applies)
    return;
  apply->click();
  QCOMPARE(w.window.result(), int(QDialog::Accepted));
  QCOMPARE(w.told.size(), 1);
  PriceHistory history(&store);
  const auto r5 = history.changes("0", "R5");
  QCOMPARE(r5->size(), 1);
  QCOMPARE(r5->first().source, QStringLiteral("supplier.csv"));
  QCOMPARE(r5->first().newPrice.value_or(""), QStringLiteral("5500"));
  QCOMPARE(history.changes("0", "R9")->size(), 1);
  auto picker = PriceListRepository(&store).items(
      "0", PriceListRepository::Order::IdDescending);
  QStringList ids;
  for (bool on = picker->moveFirst(); on; on = picker->moveNext())
    ids << picker->text("ID").value_or("");
  QCOMPARE(ids, (QStringList{"R9", "R7", "R5", "I7", "I5", "I3"}));
}

void TestImportWindow::exportedListImportsWithoutChanges() {
  TestDb db(List);
  Store store(db.path, QStringLiteral("t-importwindow-export"));
  QVERIFY(store.open());
  const QString path = db.dir.filePath("pricelist.csv");
  QVERIFY(exportPriceList(store, std::nullopt, path).ok);
  Window w(&store);
  QVERIFY(w.window.setFile(path));
  QCOMPARE(w.child<QComboBox>("cbocategory")->currentData().toInt(), 0);
  w.child<QPushButton>("cmdpreview")->click();
  QCOMPARE(w.child<QLabel>("lblsummary")->text(),
           QStringLiteral("No changes."));
  QVERIFY(!w.child<QPushButton>("cmdapply")->isEnabled());
}

void TestImportWindow::columnsAreRememberedPerFileName() {
  TestDb db(List);
  Store store(db.path, QStringLiteral("t-importwindow-columns"));
  QVERIFY(store.open());
  // No header: the person maps the columns and the category by hand.
  const QString path = writeFile(db, "acme.txt", "x;16G;DDR4 16GB;1300\n");
  {
    Window w(&store);
    QVERIFY(w.window.setFile(path));
    w.child<QCheckBox>("chkheader")->setChecked(false);
    w.child<QComboBox>("cboid")->setCurrentIndex(2);
    w.child<QComboBox>("cbodescription")->setCurrentIndex(3);
    w.child<QComboBox>("cboprice")->setCurrentIndex(4);
    w.child<QComboBox>("cbofixedcategory")->setCurrentIndex(2);
    w.child<QPushButton>("cmdpreview")->click();
    QCOMPARE(w.child<QLabel>("lblsummary")->text(),
             QStringLiteral(
                 "1 new, 0 changed, 0 unchanged, 1 no longer listed (kept)."));
    w.child<QPushButton>("cmdapply")->click();
    QCOMPARE(w.window.result(), int(QDialog::Accepted));
  }
  Window again(&store);
  QVERIFY(again.window.setFile(path));
  QVERIFY(!again.child<QCheckBox>("chkheader")->isChecked());
  QCOMPARE(again.child<QComboBox>("cboprice")->currentIndex(), 4);
  QCOMPARE(again.child<QComboBox>("cbofixedcategory")->currentData().toString(),
           QStringLiteral("2"));
  again.child<QPushButton>("cmdpreview")->click();
  QCOMPARE(again.child<QLabel>("lblsummary")->text(),
           QStringLiteral("No changes."));
}

QTEST_MAIN(TestImportWindow)
#include "tst_importwindow.moc"
