#include "store/itemcosttable.h"
#include "store/markupruletable.h"
#include "store/partattributetable.h"
#include "store/pricehistory.h"
#include "store/pricelistexport.h"
#include "support/testdb.h"
#include "windows/import/attributeguessdialog.h"
#include "windows/import/importtexts.h"
#include "windows/import/importwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>

// The import window over a small price list: what the preview shows, and what Apply leaves.
class TestImportWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void previewAndApply_data();
    void previewAndApply();
    void exportedListImportsWithoutChanges();
    void columnsAreRememberedPerFileName();
    void supplierFiles_data();
    void supplierFiles();
    void ambiguousDecimalWaitsForThePerson();
    void categoryRowsAreRemembered();
    void applyListsWhatChangedSincePreview();
};

namespace
{

const std::vector<TestRow> List = {
    { "0", "R5", "AMD Ryzen 5", "5400" },
    { "0", "I5", "Intel Core i5", "6900" },
    { "0", "I7", "Intel Core i7", "11800" },
    { "0", "I3", "Intel Core i3", "4350" },
    { "2", "D4-16G", "DDR4 16GB", "1250" },
    // What an export must bring back as it stands.
    { "16", "NODESC", QString(), "10" },
    { "16", " PADDED ", "  blanks around  ", "20" },
    { "16", "TRADE-IN", "Old PC taken back", "-1500" },
    { "90", "dt", "1/1/26 10:00", "0.00" },
};

// As the main window's rows name them.
const QList<std::pair<QString, QString>> Categories = { { "&Processor", "0" }, { "&Mother Board", "1" },
    { "&RAM", "2" }, { "&Floppy Disk", "3" }, { "&Hard Disk", "4" }, { "&VGA Card", "5" },
    { "&Monitor", "6" }, { "C&D-ROM", "7" }, { "&Sound Card", "8" }, { "Sp&eaker", "9" },
    { "&KeyBoard", "10" }, { "Mo&use", "11" }, { "&Case", "12" }, { "Fa&x Modem", "13" },
    { "Extra &1", "14" }, { "Extra &2", "15" }, { "&Other", "16" } };

struct Window {
    explicit Window(Store *store)
        : window(store, Categories)
    {
        window.setTell([this](const QString &text, bool failure) { told << (failure ? "!" : "") + text; });
    }
    template <typename T> T *child(const char *name)
    {
        return window.findChild<T *>(QString::fromLatin1(name));
    }
    QStringList grid()
    {
        auto *g = child<QTableWidget>("grdpreview");
        QStringList rows;
        for (int r = 0; r < g->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < g->columnCount(); ++c) {
                if (!g->isColumnHidden(c))
                    cells << g->item(r, c)->text();
            }
            rows << cells.join(u'|');
        }
        return rows;
    }
    ImportWindow window;
    QStringList told;
};

QString writeFile(const TestDb &db, const QString &name, const QByteArray &bytes)
{
    const QString path = db.dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace

void TestImportWindow::previewAndApply_data()
{
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
        << QStringList { "Changed|Processor|R5|AMD Ryzen 5|5400|5500|+1.9%",
               "Changed|Processor|I5|Intel Core i5|6900|7245|+5.0%",
               "Changed|Processor|I7|Intel Core i7|11800|12000|+1.7%",
               "New|Processor|R7|AMD Ryzen 7||9900.5|", "New|Processor|R9|AMD Ryzen 9||15000|" }
        << QStringList {} << true;
    QTest::newRow("an unreadable price blocks Apply")
        << QByteArray("id,description,price\nR5,AMD Ryzen 5,abc\nI5,Intel Core i5,6900\n")
        << "0 new, 0 changed, 1 unchanged, 3 no longer listed (kept). 1 line cannot be read (listed below); "
           "correct the file to import it."
        << QStringList { "No longer listed|Processor|I3|Intel Core i3|4350||",
               "No longer listed|Processor|I7|Intel Core i7|11800||",
               "No longer listed|Processor|R5|AMD Ryzen 5|5400||" }
        << QStringList { "Line 2: \"abc\" is not a number. Type a price such as 1250 or 12.50." } << false;
    QTest::newRow("an id listed twice: the last line wins")
        << QByteArray("id\tprice\nR5\t1\nR5\t5400\n") << "No changes."
        << QStringList { "No longer listed|Processor|I3|Intel Core i3|4350||",
               "No longer listed|Processor|I5|Intel Core i5|6900||",
               "No longer listed|Processor|I7|Intel Core i7|11800||" }
        << QStringList { "Line 3: R5 (Processor) was already listed on line 2; this line is used." } << false;
    QByteArray unreadable = "id,price\n";
    QStringList firstListed;
    for (int line = 2; line <= 1501; ++line) {
        unreadable += "X" + QByteArray::number(line) + ",abc\n";
        if (firstListed.size() < 1000)
            firstListed << QStringLiteral(
                "Line %1: \"abc\" is not a number. Type a price such as 1250 or 12.50.")
                               .arg(line);
    }
    QTest::newRow("many unreadable lines: the first thousand listed, the rest counted")
        << unreadable
        << "0 new, 0 changed, 0 unchanged, 0 no longer listed (kept). 1500 lines cannot be read (listed "
           "below); "
           "correct the file to import it."
        << QStringList {} << firstListed + QStringList { "... and 500 more lines that cannot be read." }
        << false;
}

void TestImportWindow::previewAndApply()
{
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
    QCOMPARE(w.child<QComboBox>("cbofixedcategory")->currentData().toString(), QStringLiteral("0"));
    w.child<QPushButton>("cmdpreview")->click();
    QCOMPARE(w.told, QStringList {});
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
    auto picker = *PriceListRepository(&store).items("0", PriceListRepository::Order::IdDescending);
    QStringList ids;
    for (bool on = picker->moveFirst(); on; on = picker->moveNext())
        ids << picker->text("ID").value_or("");
    QCOMPARE(ids, (QStringList { "R9", "R7", "R5", "I7", "I5", "I3" }));
}

void TestImportWindow::exportedListImportsWithoutChanges()
{
    TestDb db(List);
    Store store(db.path, QStringLiteral("t-importwindow-export"));
    QVERIFY(store.open());
    const QString path = db.dir.filePath("pricelist.csv");
    QVERIFY(exportPriceList(store, std::nullopt, path).ok);
    Window w(&store);
    QVERIFY(w.window.setFile(path));
    QCOMPARE(w.child<QComboBox>("cbocategory")->currentData().toInt(), 0);
    w.child<QPushButton>("cmdpreview")->click();
    QCOMPARE(w.child<QLabel>("lblsummary")->text(), QStringLiteral("No changes."));
    QVERIFY(!w.child<QPushButton>("cmdapply")->isEnabled());
}

void TestImportWindow::columnsAreRememberedPerFileName()
{
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
            QStringLiteral("1 new, 0 changed, 0 unchanged, 1 no longer listed (kept)."));
        w.child<QPushButton>("cmdapply")->click();
        QCOMPARE(w.window.result(), int(QDialog::Accepted));
    }
    Window again(&store);
    QVERIFY(again.window.setFile(path));
    QVERIFY(!again.child<QCheckBox>("chkheader")->isChecked());
    QCOMPARE(again.child<QComboBox>("cboprice")->currentIndex(), 4);
    QCOMPARE(again.child<QComboBox>("cbofixedcategory")->currentData().toString(), QStringLiteral("2"));
    again.child<QPushButton>("cmdpreview")->click();
    QCOMPARE(again.child<QLabel>("lblsummary")->text(), QStringLiteral("No changes."));
}

namespace
{

QStringList linesOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

std::vector<TestRow> rowsOf(const QStringList &lines)
{
    std::vector<TestRow> rows { { "90", "dt", "1/1/26 10:00", "0.00" } };
    for (const QString &line : lines) {
        const QStringList p = line.split(u'|');
        rows.push_back({ p[0], p[1], p[2] == "<null>" ? QString() : p[2], p[3] });
    }
    return rows;
}

// The list as the case files write it, the stamp left out.
QStringList listOf(const TestDb &db)
{
    QSqlQuery q("select category, id, description, price from adt where not (category = '90' and id = 'dt')",
        db.raw());
    QStringList out;
    while (q.next())
        out << QStringList { q.value(0).toString(), q.value(1).toString(),
            q.value(2).isNull() ? "<null>" : q.value(2).toString(), q.value(3).toString() }
                   .join(u'|');
    out.sort();
    return out;
}

// Chooses an entry of a combo box as the person would, so the window hears of it.
void choose(QComboBox *combo, const QString &text)
{
    const int at = combo->findText(text);
    QVERIFY2(at >= 0, qPrintable(combo->objectName() + ": no " + text));
    combo->setCurrentIndex(at);
    emit combo->activated(at);
}

QComboBox *categoryRow(Window &w, const QString &value)
{
    auto *grid = w.child<QTableWidget>("grdcategories");
    for (int r = 0; grid && r < grid->rowCount(); ++r) {
        if (grid->item(r, 0)->text() == value)
            return qobject_cast<QComboBox *>(grid->cellWidget(r, 2));
    }
    return nullptr;
}

QStringList problemsOf(Window &w)
{
    QStringList listed;
    for (int i = 0; i < w.child<QListWidget>("lstproblems")->count(); ++i)
        listed << w.child<QListWidget>("lstproblems")->item(i)->text();
    return listed;
}

} // namespace

void TestImportWindow::supplierFiles_data()
{
    QTest::addColumn<QString>("folder");
    const QDir cases(QStringLiteral(IMPORT_CASES));
    for (const QString &name : cases.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        QTest::newRow(qPrintable(name)) << cases.filePath(name);
    QVERIFY(!cases.entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

void TestImportWindow::supplierFiles()
{
    QFETCH(QString, folder);
    const QDir dir(folder);
    const QStringList before = linesOf(dir.filePath("before.txt"));
    TestDb db(rowsOf(before));
    Store store(db.path, QStringLiteral("t-importwindow-cases"));
    QVERIFY(store.open());
    // What the shop pays and how it prices, before the file is opened: a shop with markup rules
    // reads a supplier's prices as costs.
    for (const QString &line : linesOf(dir.filePath("costs.txt"))) {
        const QStringList p = line.split(u'|');
        QVERIFY(!ItemCostTable(&store)
                     .set({ p[0], p[1], std::nullopt, Price::fromStored(p[2]) }, QDateTime::currentDateTime())
                     .isValid());
    }
    const QStringList choices = linesOf(dir.filePath("choices.txt"));
    for (const QString &markup : choices.filter(QRegularExpression("^markup "))) {
        Markup::Rules rules;
        rules.defaultRule = { *Decimal::fromPlain(markup.section(u' ', 1, 1)),
            *Markup::stepFromText(markup.section(u' ', 2)) };
        QVERIFY(!MarkupRuleTable(&store).save(rules, Markup::Rules()).isValid());
    }
    // The session alone, as the window drives it: no widget between the case and the import.
    ImportSession session(&store, Categories);
    QVERIFY(session.open(dir.filePath("supplier.csv")).ok());
    for (const QString &choice : choices) {
        const QString what = choice.section(u' ', 0, 0);
        const QString value = choice.section(u' ', 1);
        if (what == "markup" || what == "guess") {
            continue;
        } else if (what == "kind") {
            session.setPricesAreCosts(value == "cost");
        } else if (what == "reprice") {
            session.setRepriceHandSet(true);
        } else if (what == "fixed") {
            QVERIFY2(session.rowNames().contains(value), qPrintable(choice));
            session.setFixedCategory(QString::number(session.rowNames().indexOf(value)));
        } else if (what == "decimal") {
            session.chooseDecimal(value == "comma" ? Price::DecimalSign::Comma : Price::DecimalSign::Point);
        } else if (what == "row") {
            const QString row = value.section(u'=', 1);
            const auto &values = session.categoryValues();
            QVERIFY2(std::any_of(values.cbegin(), values.cend(),
                         [&](const auto &v) { return v.first == value.section(u'=', 0, 0); }),
                qPrintable(choice));
            QVERIFY2(row == "(leave out)" || session.rowNames().contains(row), qPrintable(choice));
            session.chooseRow(value.section(u'=', 0, 0),
                row == "(leave out)" ? QString() : QString::number(session.rowNames().indexOf(row)));
        } else if (what == "remove") {
            session.setRemoveMissing(true);
        } else {
            QFAIL(qPrintable("unknown choice: " + choice));
        }
    }
    QVERIFY(session.decimal());
    const ImportSession::Outcome read = session.read();
    QVERIFY2(read.ok(), qPrintable(read.reason));
    const ImportSession::Outcome compared = session.compare();
    QVERIFY2(compared.ok(), qPrintable(compared.reason));
    if (choices.contains("guess")) {
        AttributeGuessDialog dialog(session.describedNewItems());
        dialog.acceptAll();
        dialog.accept();
        session.acceptGuesses(dialog.accepted());
    }
    const QStringList shown = linesOf(dir.filePath("shown.txt"));
    QCOMPARE(QStringList { ImportTexts::summary(session) } + ImportTexts::problems(session.reading()), shown);
    if (QFile::exists(dir.filePath("preview.txt"))) {
        // The grid leaves the costs out of a preview that writes none.
        QStringList rows;
        for (ImportTexts::PreviewRow row : ImportTexts::previewRows(session, 5000)) {
            if (!session.preview()->writesCosts())
                row.cells.removeLast();
            rows << row.cells.join(u'|');
        }
        QCOMPARE(rows, linesOf(dir.filePath("preview.txt")));
    }
    QStringList after = linesOf(dir.filePath("after.txt"));
    QCOMPARE(session.canApply(), !after.isEmpty());
    if (session.canApply()) {
        const ImportSession::Outcome applied = session.apply(QDateTime::currentDateTime());
        QVERIFY2(applied.ok(), qPrintable(applied.reason));
    } else {
        after = before;
    }
    after.sort();
    QCOMPARE(listOf(db), after);
    if (QFile::exists(dir.filePath("costs-after.txt"))) {
        QStringList costs;
        for (const QString category : { "0", "1", "2", "5" }) {
            const auto known = ItemCostTable(&store).readCategory(category);
            QVERIFY(known);
            for (auto i = known->cbegin(); i != known->cend(); ++i)
                costs << QStringLiteral("%1|%2|%3").arg(category, i.key(), i.value().text());
        }
        costs.sort();
        QCOMPARE(costs, linesOf(dir.filePath("costs-after.txt")));
    }
    if (QFile::exists(dir.filePath("attributes-after.txt"))) {
        QStringList attributes;
        for (const QString &line : after) {
            const QStringList item = line.split(u'|');
            const auto known = PartAttributeTable(&store).read(item[0], item[1]);
            QVERIFY(known);
            QStringList values;
            for (auto v = known->values().cbegin(); v != known->values().cend(); ++v)
                values << QString::fromUtf8(attributeInfo(v.key()).key) + "=" + v->text
                        + (v->guessed ? "?" : "");
            if (!values.isEmpty())
                attributes << item[0] + "|" + item[1] + "|" + values.join(u';');
        }
        QCOMPARE(attributes, linesOf(dir.filePath("attributes-after.txt")));
    }
}

// Prices that read two ways a thousand times apart are not guessed: the person is shown both
// readings and chooses before anything is previewed or applied.
void TestImportWindow::ambiguousDecimalWaitsForThePerson()
{
    TestDb db(List);
    Store store(db.path, QStringLiteral("t-importwindow-decimal"));
    QVERIFY(store.open());
    Window w(&store);
    QVERIFY(w.window.setFile(writeFile(db, "thousands.csv",
        "id;description;stock;price\nR5;AMD Ryzen 5;12,5;5.400\nI5;Intel Core i5;3;6.900\n")));
    auto *decimal = w.child<QComboBox>("cbodecimal");
    auto *preview = w.child<QPushButton>("cmdpreview");
    auto *readings = w.child<QLabel>("lbldecimal");
    QCOMPARE(decimal->currentIndex(), -1);
    QVERIFY(!preview->isEnabled());
    QVERIFY(!w.child<QPushButton>("cmdapply")->isEnabled());
    QVERIFY(!readings->isHidden());
    QCOMPARE(readings->text(),
        QStringLiteral("\"5.400\" reads 5400 with a decimal comma, or 5.4 with a decimal point: choose the "
                       "decimal sign."));
    w.window.readPreview(); // as if Preview were pressed anyway
    QVERIFY(!w.window.preview());
    // Another column for the prices: the sign is guessed again from it.
    choose(w.child<QComboBox>("cboprice"), QStringLiteral("stock"));
    QCOMPARE(decimal->currentIndex(), 1);
    QVERIFY(readings->isHidden());
    QVERIFY(preview->isEnabled());
    choose(w.child<QComboBox>("cboprice"), QStringLiteral("price"));
    QCOMPARE(decimal->currentIndex(), -1);
    QVERIFY(!preview->isEnabled());
    choose(decimal, QStringLiteral("Comma (1.234,56)"));
    QVERIFY(readings->isHidden());
    QVERIFY(preview->isEnabled());
    preview->click();
    QCOMPARE(w.child<QLabel>("lblsummary")->text(), QStringLiteral("No changes."));
}

// The rows chosen for a supplier's categories are there again the next time its file is opened.
void TestImportWindow::categoryRowsAreRemembered()
{
    TestDb db(List);
    Store store(db.path, QStringLiteral("t-importwindow-rows"));
    QVERIFY(store.open());
    const QString path = writeFile(db, "acme.csv",
        "category,id,description,price\nProcessors,R5,AMD Ryzen 5,5500\nMemory,D4-16G,DDR4 16GB,1250\n"
        "Printers,LJ1,LaserJet,4000\n");
    {
        Window w(&store);
        QVERIFY(w.window.setFile(path));
        QVERIFY(w.child<QTableWidget>("grdcategories")->isEnabled());
        w.child<QPushButton>("cmdpreview")->click();
        QCOMPARE(problemsOf(w).size(), 3);
        QVERIFY(!w.child<QPushButton>("cmdapply")->isEnabled());
        QComboBox *processors = categoryRow(w, "Processors");
        QVERIFY(processors);
        QCOMPARE(processors->currentIndex(), -1);
        choose(processors, "Processor");
        choose(categoryRow(w, "Memory"), "RAM");
        choose(categoryRow(w, "Printers"), "(leave out)");
        QCOMPARE(w.grid(), QStringList {}); // a choice changes what Preview showed
        w.child<QPushButton>("cmdpreview")->click();
        QCOMPARE(problemsOf(w), QStringList {});
        w.child<QPushButton>("cmdapply")->click();
        QCOMPARE(w.window.result(), int(QDialog::Accepted));
    }
    Window again(&store);
    QVERIFY(again.window.setFile(path));
    QCOMPARE(categoryRow(again, "Processors")->currentText(), QStringLiteral("Processor"));
    QCOMPARE(categoryRow(again, "Printers")->currentText(), QStringLiteral("(leave out)"));
    again.child<QPushButton>("cmdpreview")->click();
    QCOMPARE(again.child<QLabel>("lblsummary")->text(),
        QStringLiteral("No changes. 1 line passed over: its category is left out."));
}

// Another counter changes an item after the preview: Apply writes nothing, lists the item as the
// preview saw it and as it is now, and asks for a new preview.
void TestImportWindow::applyListsWhatChangedSincePreview()
{
    TestDb db(List);
    Store store(db.path, QStringLiteral("t-importwindow-meanwhile"));
    Store other(db.path, QStringLiteral("t-importwindow-other"));
    QVERIFY(store.open() && other.open());
    Window w(&store);
    QVERIFY(w.window.setFile(writeFile(db, "supplier.csv", "id;description;price\nR5;AMD Ryzen 5;5500\n")));
    w.child<QPushButton>("cmdpreview")->click();
    QVERIFY(w.child<QPushButton>("cmdapply")->isEnabled());
    const auto seen = *PriceListRepository(&other).item("0", "R5");
    QCOMPARE(
        PriceHistory(&other)
            .updateIfUnchanged(*seen, { "0", "R5", seen->description, "5600" }, QDateTime::currentDateTime())
            .outcome,
        CheckedChange::Outcome::Done);
    w.child<QPushButton>("cmdapply")->click();
    QCOMPARE(w.window.result(), int(QDialog::Rejected));
    QCOMPARE(w.told.size(), 1);
    QVERIFY2(w.told.first().startsWith("!") && w.told.first().contains("Preview again"),
        qPrintable(w.told.first()));
    auto *problems = w.child<QListWidget>("lstproblems");
    QCOMPARE(problems->count(), 1);
    QCOMPARE(problems->item(0)->text(),
        QStringLiteral(
            "Processor R5: the preview saw \"AMD Ryzen 5\" at 5400, the list now holds \"AMD Ryzen 5\" "
            "at 5600."));
    QVERIFY(!w.child<QPushButton>("cmdapply")->isEnabled());
    QCOMPARE((*PriceListRepository(&store).item("0", "R5"))->price, std::optional<QString>("5600"));
}

QTEST_MAIN(TestImportWindow)
#include "tst_importwindow.moc"
