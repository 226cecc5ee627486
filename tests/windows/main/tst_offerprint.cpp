// Printing the offer: the main window's paper dress and its exact undoing, the way out through a PDF
// file when printing fails, and the printed page itself, from a click on "Print" through CUPS and
// its cups-pdf queue to the text on the page.
#include "store/itemcosttable.h"
#include "store/partattributetable.h"
#include "support/partattributetext.h"
#include "support/testdb.h"
#include "support/tst_printsupport.h"
#include "support/typing.h"
#include "widgets/gridcombo.h"
#include "widgets/twips.h"
#include "windows/main/mainwindow.h"
#include "windows/main/marginview.h"
#include "windows/main/offeractions.h"
#include "windows/main/offerprint.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <map>
#include <memory>
#include <stdexcept>

class TestOfferPrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void dressesAndRestores_data();
    void dressesAndRestores();
    void failedPrintOffersPdf_data();
    void failedPrintOffersPdf();
    void dialogsOfferPdf_data();
    void dialogsOfferPdf();
    void clickPrintsOfferThroughCups_data();
    void clickPrintsOfferThroughCups();

private:
    // With margins, two of the items have costs (one sold below it) and margins are shown.
    void prepare(bool expanded, bool masked, bool images, bool margins = false);
    QWidget *control(const QString &name) const { return m_form->findChild<QWidget *>(name); }

    QString m_pdfDir;
    QString m_cupsProblem;
    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<MainWindow> m_form;
};

namespace
{

const QString Shop = QStringLiteral("Brasko Computers Tel 555 0100");
const QString Seller = QStringLiteral("Ahmed Saleh");

QString indexed(const char *name, int index)
{
    return QString::fromLatin1(name) + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

// Everything the dress may touch, as it stands.
struct Look {
    bool hidden;
    QColor window;
    bool autoFill;
    bool ownPalette;
    QRect geometry;
    QString styleSheet;
    int cursor;
    qint64 picture;
    QString family; // the face really drawn
    qreal points;
    bool belowCost; // the mark of an amount below its cost
    bool operator==(const Look &) const = default;
};

using Snapshot = std::map<QString, Look>;

QStringList dressedNames()
{
    QStringList names { QStringLiteral("IMRForm"), QStringLiteral("cmdprint"), QStringLiteral("Command2"),
        QStringLiteral("Frame1"), QStringLiteral("Frame2"), QStringLiteral("Label2"),
        QStringLiteral("Label4"), QStringLiteral("Label5"), QStringLiteral("Check1"),
        QStringLiteral("Command3"), QStringLiteral("txttotal"), QStringLiteral("Text2"),
        QStringLiteral("Text3"), QStringLiteral("Text5") };
    for (int i = 0; i < 17; ++i)
        names << indexed("Label1", i) << indexed("GridCombo1", i) << indexed("Image1", i)
              << indexed("Image2", i) << indexed("text1", i) << indexed("lblmargin", i);
    return names << QStringLiteral("lblmargintotal");
}

Snapshot snapshot(QWidget *form)
{
    Snapshot s;
    for (const QString &name : dressedNames()) {
        QWidget *w = name == form->objectName() ? form : form->findChild<QWidget *>(name);
        if (w)
            s[name] = { w->isHidden(), w->palette().color(QPalette::Window), w->autoFillBackground(),
                w->testAttribute(Qt::WA_SetPalette), w->geometry(), w->styleSheet(),
                qobject_cast<QLineEdit *>(w) ? qobject_cast<QLineEdit *>(w)->cursorPosition() : -1,
                qobject_cast<QLabel *>(w) ? qobject_cast<QLabel *>(w)->pixmap().cacheKey() : 0,
                w->fontInfo().family(), w->fontInfo().pointSizeF(), w->property("belowCost").toBool() };
    }
    return s;
}

QString differences(const Snapshot &a, const Snapshot &b)
{
    QString out;
    for (const auto &[name, look] : a) {
        const auto it = b.find(name);
        if (it == b.end() || !(it->second == look))
            out += name + QLatin1Char(' ');
    }
    return out;
}

// The test queue's PostScript step keeps "fi", "fl" and "ff" ligatures as pictures without their
// letters, so those pairs may come back as any one character.
bool onPage(const QString &page, const QString &expected)
{
    QString pattern = QRegularExpression::escape(expected);
    pattern.replace(QRegularExpression(QStringLiteral("f[fil]")), QStringLiteral("(?:f[fil]|.)"));
    return QRegularExpression(pattern).match(page).hasMatch();
}

} // namespace

void TestOfferPrint::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // The PDF tests run whether or not CUPS is there; the print tests fail with the reason.
    m_pdfDir = PrintTest::startCups(&m_cupsProblem);
}

void TestOfferPrint::init()
{
    m_db = std::make_unique<TestDb>(std::vector<TestRow> {
        { "0", "CPU-Z9", "Core Duo 2.4 GHz", "1250" },
        { "2", "RAM-Q7", "DDR 512 MB", "300.50" },
        { "13", "MDM-V92", "Voice modem 56k", "0" },
        { "90", "company", Shop, "0.00" },
        { "90", "sp", Seller, "0.00" },
    });
    m_store = std::make_unique<Store>(m_db->path, QStringLiteral("t-offerprint"));
    m_form = std::make_unique<MainWindow>(m_store.get());
    QVERIFY(m_form->load());
    m_form->setCloseAfterFailure([](const QString &) { return true; });
}

void TestOfferPrint::cleanup()
{
    m_form.reset();
    m_store.reset();
    m_db.reset();
}

// An offer of three items, in the given states of the toggles and the "Print Images" box.
void TestOfferPrint::prepare(bool expanded, bool masked, bool images, bool margins)
{
    if (margins) {
        ItemCostTable costs(m_store.get());
        for (const auto &[category, id, cost] :
            { std::tuple { "0", "CPU-Z9", "1000" }, { "2", "RAM-Q7", "350.50" } })
            QVERIFY(!costs
                         .set({ category, id, std::nullopt, Price::fromStored(cost) },
                             QDateTime::currentDateTime())
                         .isValid());
    }
    const std::vector<std::pair<int, QString>> chosen { { 0, QStringLiteral("CPU-Z9") },
        { 2, QStringLiteral("RAM-Q7") }, { 13, QStringLiteral("MDM-V92") } };
    for (const auto &[row, id] : chosen) {
        m_form->row(row).picker()->setText(id);
        m_form->itemPicked(row);
    }
    // Margins show the detail they stand beside; it may be collapsed again afterwards.
    if (margins)
        m_form->findChild<QAction *>(QStringLiteral("mnuoffermargins"))->setChecked(true);
    const bool isExpanded = m_form->findChild<QPushButton *>(QStringLiteral("Command2"))->text() == "&<<";
    if (expanded != isExpanded)
        m_form->toggleDetail();
    if (masked)
        m_form->togglePrices();
    m_form->findChild<QCheckBox *>(QStringLiteral("Check1"))->setChecked(images);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_form->findChild<QPushButton *>(QStringLiteral("cmdprint"))->setFocus();
}

void TestOfferPrint::dressesAndRestores_data()
{
    QTest::addColumn<bool>("expanded");
    QTest::addColumn<bool>("images");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<bool>("margins");
    QTest::newRow("collapsed, no images, printed") << false << false << QStringLiteral("printed") << false;
    QTest::newRow("expanded, images, printed") << true << true << QStringLiteral("printed") << false;
    QTest::newRow("images, print fails") << false << true << QStringLiteral("fails") << false;
    QTest::newRow("no images, print throws") << true << false << QStringLiteral("throws") << false;
    QTest::newRow("margins shown, printed") << true << false << QStringLiteral("printed") << true;
    QTest::newRow("margins shown, print throws") << true << true << QStringLiteral("throws") << true;
    // Collapsed, the window has no room for the margins and gives none back.
    QTest::newRow("margins shown while collapsed") << false << false << QStringLiteral("printed") << true;
}

void TestOfferPrint::dressesAndRestores()
{
    QFETCH(bool, expanded);
    QFETCH(bool, images);
    QFETCH(QString, outcome);
    QFETCH(bool, margins);
    prepare(expanded, false, images, margins);
    QWidget *focusBefore = QApplication::focusWidget();
    QVERIFY(focusBefore);
    const Snapshot before = snapshot(m_form.get());
    const QColor paper = m_form->palette().color(QPalette::HighlightedText);
    QVERIFY(paper != m_form->palette().color(QPalette::Window));

    Snapshot dressed;
    QWidget *focusWhilePrinting = focusBefore;
    OfferPrint offer(m_form.get(), m_form->offer().client);
    const auto print = [&](QWidget *window, const QString &jobName) -> PrintResult {
        [&] {
            QCOMPARE(window, m_form.get());
            QCOMPARE(jobName, QStringLiteral("Velmont Brasko offer"));
        }();
        dressed = snapshot(window);
        focusWhilePrinting = QApplication::focusWidget();
        if (outcome == QLatin1String("throws"))
            throw std::runtime_error("printer driver crashed");
        return { outcome == QLatin1String("printed"), QStringLiteral("Printer jammed") };
    };
    if (outcome == QLatin1String("throws")) {
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, offer.printDressed(print));
    } else {
        const PrintResult result = offer.printDressed(print);
        QCOMPARE(result.ok, outcome == QLatin1String("printed"));
    }

    // On paper: no print button, detail toggle or picker; white behind window, frames and labels.
    QVERIFY(!dressed.empty());
    QVERIFY(dressed.at(QStringLiteral("cmdprint")).hidden);
    QVERIFY(dressed.at(QStringLiteral("Command2")).hidden);
    QVERIFY(!focusWhilePrinting);
    // Nor what the offer earns: margins hidden, the room they took given back, no row marked.
    if (margins) {
        QCOMPARE(before.at(QStringLiteral("lblmargintotal")).hidden, false);
        QVERIFY(before.at(indexed("text1", 2)).belowCost);
        QCOMPARE(dressed.at(QStringLiteral("IMRForm")).geometry.width(),
            before.at(QStringLiteral("IMRForm")).geometry.width()
                - (expanded ? Twips::toX(m_form.get(), MarginView::ColumnTwips) : 0));
    }
    for (const auto &[name, look] : dressed) {
        QVERIFY2(!name.startsWith(QLatin1String("lblmargin")) || look.hidden, qPrintable(name));
        QVERIFY2(!look.belowCost, qPrintable(name));
    }
    QStringList papered { QStringLiteral("IMRForm"), QStringLiteral("Frame1"), QStringLiteral("Frame2"),
        QStringLiteral("Label2"), QStringLiteral("Label4"), QStringLiteral("Label5") };
    for (int i = 0; i < 17; ++i) {
        QVERIFY(dressed.at(indexed("GridCombo1", i)).hidden);
        papered << indexed("Label1", i);
    }
    for (const QString &name : papered) {
        QVERIFY2(dressed.at(name).window == paper && dressed.at(name).autoFill, qPrintable(name));
    }
    // Pictures: none without "Print Images"; with it the white copies replace the ten grey ones.
    for (int i = 0; i < 16; ++i) {
        const bool copyRow = OfferPaperDress::hasPrintCopy(i);
        QCOMPARE(dressed.at(indexed("Image1", i)).hidden, !images || copyRow);
        if (copyRow)
            QCOMPARE(dressed.at(indexed("Image2", i)).hidden, !images);
        else
            QVERIFY(!dressed.count(indexed("Image2", i)));
    }
    QVERIFY(!dressed.count(indexed("Image1", 16)));
    // Every control shows the form's face on screen, frames' contents included, and paper keeps it:
    // a wider face would cut captions and descriptions.
    for (const auto &[name, look] : before) {
        QVERIFY2(
            look.family == before.at(QStringLiteral("IMRForm")).family, qPrintable(name + " " + look.family));
        QVERIFY2(dressed.at(name).family == look.family && dressed.at(name).points == look.points,
            qPrintable(name + " " + dressed.at(name).family));
    }
    // Nothing the page shows as it stands is moved or hidden.
    for (const QString &name :
        { QStringLiteral("Check1"), QStringLiteral("Command3"), QStringLiteral("txttotal") }) {
        QVERIFY2(dressed.at(name).hidden == before.at(name).hidden, qPrintable(name));
        QVERIFY2(dressed.at(name).geometry == before.at(name).geometry, qPrintable(name));
    }

    // Afterwards, whatever happened: exactly the window as it was, focus included.
    const Snapshot after = snapshot(m_form.get());
    QVERIFY2(after == before, qPrintable(QStringLiteral("changed: ") + differences(before, after)));
    QCOMPARE(QApplication::focusWidget(), focusBefore);
}

void TestOfferPrint::failedPrintOffersPdf_data()
{
    QTest::addColumn<QByteArray>("printer"); // empty: an injected printer that fails
    QTest::addColumn<QStringList>("answers"); // the file names given, one per question
    QTest::addColumn<QStringList>("problems"); // what each question must say
    QTest::addColumn<bool>("kept");
    QTest::newRow("printer fails, offer saved") << QByteArray() << QStringList { QStringLiteral("offer.pdf") }
                                                << QStringList { QStringLiteral("Printer jammed") } << true;
    QTest::newRow("printer fails, person declines")
        << QByteArray() << QStringList { QString() } << QStringList { QStringLiteral("Printer jammed") }
        << false;
    QTest::newRow("folder missing, then saved elsewhere")
        << QByteArray() << QStringList { QStringLiteral("gone/offer.pdf"), QStringLiteral("second.pdf") }
        << QStringList { QStringLiteral("Printer jammed"), QStringLiteral("gone/offer.pdf") } << true;
    QTest::newRow("real printer off line, offer saved")
        << QByteArray("PDF-stopped") << QStringList { QStringLiteral("offline.pdf") }
        << QStringList { QStringLiteral("\"PDF-stopped\" is off line") } << true;
}

void TestOfferPrint::failedPrintOffersPdf()
{
    QFETCH(QByteArray, printer);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, problems);
    QFETCH(bool, kept);
    if (!printer.isEmpty())
        QVERIFY2(!m_pdfDir.isEmpty(), qPrintable(m_cupsProblem));
    prepare(true, true, true);
    typeOver(m_form->findChild<QLineEdit *>(QStringLiteral("Text2")), QStringLiteral("Omar Haddad 0171 22"));
    const Snapshot before = snapshot(m_form.get());
    QTemporaryDir dir;

    OfferPrint offer(m_form.get(), m_form->offer().client);
    if (printer.isEmpty())
        offer.setPrint([](QWidget *, const QString &) {
            return PrintResult { false, QStringLiteral("Printer jammed") };
        });
    else
        qputenv("PRINTER", printer);
    QStringList asked;
    Snapshot whileAsking;
    offer.setAskPdfPath([&](const QString &problem, const QString &suggested) {
        whileAsking = snapshot(m_form.get());
        asked << problem;
        [&] {
            QVERIFY2(suggested.endsWith(QStringLiteral(".pdf"))
                    && suggested.contains(QStringLiteral("Omar Haddad")),
                qPrintable(suggested));
        }();
        const QString answer = answers.value(asked.size() - 1);
        return answer.isEmpty() ? QString() : dir.filePath(answer);
    });
    const bool result = offer.run();
    qunsetenv("PRINTER");

    QCOMPARE(result, kept);
    QCOMPARE(asked.size(), problems.size());
    for (int i = 0; i < problems.size(); ++i)
        QVERIFY2(asked[i].contains(problems[i]), qPrintable(asked[i]));
    // The person is asked in front of the window as it is on screen, and it stays that way.
    QVERIFY2(whileAsking == before, qPrintable(differences(before, whileAsking)));
    QVERIFY2(snapshot(m_form.get()) == before, qPrintable(differences(before, snapshot(m_form.get()))));
    if (!kept)
        return;
    // The saved file is the same dressed page: no pickers, prices masked, total in clear.
    const QString text = PrintTest::pdfText(dir.filePath(answers.last()));
    QVERIFY2(text.contains(Shop) && text.contains(QStringLiteral("Omar Haddad 0171 22")), qPrintable(text));
    QVERIFY2(
        text.contains(QStringLiteral("1550.50")) && text.contains(QStringLiteral("****")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("CPU-Z9")) && !text.contains(QStringLiteral("300.50")),
        qPrintable(text));
}

void TestOfferPrint::dialogsOfferPdf_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("saved, suffix added")
        << QStringLiteral("Save as &PDF...") << QStringLiteral("counter offer")
        << QStringLiteral("counter offer.pdf");
    QTest::newRow("cancelled") << QStringLiteral("Cancel") << QString() << QString();
}

// The real message box and file dialog, answered the way a person would.
void TestOfferPrint::dialogsOfferPdf()
{
    QFETCH(QString, button);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    prepare(false, false, false);
    QTemporaryDir dir;
    OfferPrint offer(m_form.get(), m_form->offer().client);
    offer.setPrint([](QWidget *, const QString &) {
        return PrintResult { false, QStringLiteral("Printer jammed") };
    });
    QString boxText;
    bool fileDialogShown = false;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            boxText = box->text();
            for (QAbstractButton *b : box->buttons()) {
                if (b->text() == button)
                    b->click();
            }
        } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            fileDialogShown = true;
            // Typed into the name box, over the suggestion, as a person would.
            auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (!name)
                return;
            name->setText(dir.filePath(typed));
            static_cast<QDialog *>(files)->accept(); // the "Save" button
        }
    });
    answer.start(50);
    const bool kept = offer.run();
    answer.stop();
    QVERIFY2(
        boxText.contains(QStringLiteral("not printed")) && boxText.contains(QStringLiteral("Printer jammed")),
        qPrintable(boxText));
    QCOMPARE(kept, !written.isEmpty());
    QCOMPARE(fileDialogShown, !written.isEmpty());
    if (!written.isEmpty())
        QVERIFY2(PrintTest::pdfText(dir.filePath(written)).contains(Shop),
            qPrintable(QDir(dir.path()).entryList().join(u',')));
}

void TestOfferPrint::clickPrintsOfferThroughCups_data()
{
    QTest::addColumn<bool>("expanded");
    QTest::addColumn<bool>("masked");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("notShown");
    QTest::addColumn<bool>("margins");
    const QStringList pickerContents { QStringLiteral("CPU-Z9"), QStringLiteral("RAM-Q7"),
        QStringLiteral("MDM-V92") };
    const QStringList amounts { QStringLiteral("1250"), QStringLiteral("300.50"), QStringLiteral("0.00") };
    QTest::newRow("collapsed: total without amounts") << false << false << QStringList {}
                                                      << pickerContents + amounts
            + QStringList { QStringLiteral("Print Images"), QStringLiteral("Hide Price"),
                  QStringLiteral("<<") } << false;
    QTest::newRow("expanded: amounts in clear")
        << true << false
        << amounts + QStringList { QStringLiteral("Print Images"), QStringLiteral("Hide Price") }
        << pickerContents + QStringList { QStringLiteral(">>"), QStringLiteral("<<") } << false;
    QTest::newRow("expanded, prices masked: asterisks")
        << true << true
        << QStringList { QStringLiteral("****"), QStringLiteral("******"), QStringLiteral("Show Price") }
        << pickerContents + amounts + QStringList { QStringLiteral("<<") } << false;
    // Margins and costs on screen never reach the page.
    QTest::newRow("expanded, margins shown: none on paper") << true << false << amounts
                                                            << pickerContents
            + QStringList { QStringLiteral("Margin"), QStringLiteral("20.0%"), QStringLiteral("250.00"),
                  QStringLiteral("1000"), QStringLiteral("350.50"), QStringLiteral("below cost"),
                  QStringLiteral("—"), QStringLiteral("without a cost") }
                                                            << true;
}

void TestOfferPrint::clickPrintsOfferThroughCups()
{
    QFETCH(bool, expanded);
    QFETCH(bool, masked);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, notShown);
    QFETCH(bool, margins);
    QVERIFY2(!m_pdfDir.isEmpty(), qPrintable(m_cupsProblem));
    // Parts that do not fit: warned about on screen, asked about once, never on paper.
    PartAttributeTable attributes(m_store.get());
    QVERIFY(!attributes
                 .write(QStringLiteral("0"), QStringLiteral("CPU-Z9"),
                     attributesFromText(QStringLiteral("socket=AM5,memory_types=DDR5")))
                 .isValid());
    QVERIFY(!attributes
                 .write(QStringLiteral("2"), QStringLiteral("RAM-Q7"),
                     attributesFromText(QStringLiteral("memory_type=DDR4,modules=2")))
                 .isValid());
    const QString warning = QStringLiteral("Memory DDR4 but the processor takes DDR5");
    QStringList asked;
    m_form->offerActions()->cautions().setAsk([&asked](const QString &question) {
        asked << question;
        return true;
    });
    // Nor where the offer stands with the shop: it is kept (a draft) before it prints.
    notShown << warning << QStringLiteral("could not be made") << QStringLiteral("Keep it")
             << QStringLiteral("Draft");
    prepare(expanded, masked, true, margins);
    if (margins)
        QCOMPARE(m_form->findChild<QLabel *>(QStringLiteral("lblmargin(0)"))->text(),
            QStringLiteral("20.0% (250.00)"));
    const QString client = QStringLiteral("Client ") + PrintTest::token();
    typeOver(m_form->findChild<QLineEdit *>(QStringLiteral("Text2")), client);
    // A failure would ask, in a message box, whether to keep the offer as a PDF: record and refuse.
    QString failure;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&failure] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            failure = box->text();
            box->reject();
        }
    });
    watch.start(100);
    const Snapshot before = snapshot(m_form.get());
    QTest::mouseClick(m_form->findChild<QPushButton *>(QStringLiteral("cmdprint")), Qt::LeftButton);
    watch.stop();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    // Asked once, for every reason together: a row below its cost as well when there is one.
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.first().startsWith(warning) && asked.first().endsWith(QStringLiteral("\n\nKeep it?"))
            && asked.first().contains(QStringLiteral("below cost")) == margins,
        qPrintable(asked.first()));
    QVERIFY2(snapshot(m_form.get()) == before, qPrintable(differences(before, snapshot(m_form.get()))));

    const QString pdf = PrintTest::waitForPdf(m_pdfDir, client.section(u' ', 1));
    QVERIFY2(!pdf.isEmpty(), "no PDF arrived from the cups-pdf queue within 30 s");
    const QString page = PrintTest::pdfText(pdf);
    const QString date = m_form->findChild<QDateTimeEdit *>(QStringLiteral("DTPicker1"))->text();
    QStringList always { Shop, client, date, Seller, QStringLiteral("1550.50"),
        QStringLiteral("Core Duo 2.4 GHz"), QStringLiteral("DDR 512 MB"), QStringLiteral("Voice modem 56k") };
    for (const char *heading :
        { "PC Configuration", "Client Data", "Name/Tel", "Date", "Sales Executive", "Total Price",
            "Processor", "Mother Board", "Floppy Disk", "Hard Disk", "Fax Modem", "Extra 2", "Other" })
        always << QString::fromLatin1(heading);
    QStringList wrong;
    for (const QString &expected : always + shown) {
        if (!onPage(page, expected))
            wrong << QStringLiteral("missing: ") + expected;
    }
    for (const QString &unexpected : notShown) {
        if (page.contains(unexpected))
            wrong << QStringLiteral("printed: ") + unexpected;
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n') + QStringLiteral("\non the page:\n") + page));
    QFile::remove(pdf);
}

QTEST_MAIN(TestOfferPrint)
#include "tst_offerprint.moc"
