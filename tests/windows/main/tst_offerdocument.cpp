#include "core/plan.h"
#include "support/testdb.h"
#include "support/tst_printsupport.h"
#include "support/typing.h"
#include "widgets/gridcombo.h"
#include "windows/main/mainwindow.h"
#include "windows/main/offeractions.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

// The offer as a document: exported to a PDF file that keeps its text as text, with or without the
// installment plan's pages, and printed together with the plan as one job (or, when printing
// fails, written as PDF instead).
class TestOfferDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void exportedPdfHoldsTheOffer();
    void planPages_data();
    void planPages();
    void failedPrintWithPlanOffersPdf();
    void printWithPlanThroughCups();

private:
    static PlanPrintout plan(int count);
    QString exportTo(const std::optional<PlanPrintout> &withPlan);
    static int pageCount(const QString &pdf);
    static QString pageText(const QString &pdf, int page);

    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<MainWindow> m_form;
    QTemporaryDir m_out;
    QStringList m_told;
    QString m_cupsDir;
    QString m_cupsProblem;
};

void TestOfferDocument::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_cupsDir = PrintTest::startCups(&m_cupsProblem);
}

void TestOfferDocument::init()
{
    // Descriptions with "fi", "ff" and "fl", which shaping likes to draw as ligatures.
    m_db = std::make_unique<TestDb>(std::vector<TestRow> {
        { "0", "CPU-1", "Official Duo 2.4 GHz", "1250" },
        { "2", "RAM-1", "DDR 512 MB fluffy", "300.50" },
        { "90", "company", "Velmont Office Supplies 555-1234", "0.00" },
        { "90", "sp", "Sam Fielding", "0.00" },
    });
    m_store = std::make_unique<Store>(m_db->path, QStringLiteral("t-offerdocument"));
    m_form = std::make_unique<MainWindow>(m_store.get());
    QVERIFY(m_form->load());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    typeOver(m_form->findChild<QLineEdit *>(QStringLiteral("Text2")), QStringLiteral("Mr. Griffin 0100"));
    for (const auto &[row, id] : { std::pair { 0, "CPU-1" }, std::pair { 2, "RAM-1" } }) {
        m_form->row(row).picker()->setText(QString::fromLatin1(id));
        m_form->itemPicked(row);
    }
    m_told.clear();
    OfferActions *actions = m_form->offerActions();
    actions->setTell([this](const QString &message) { m_told << message; });
    actions->setAskIncludePlan([] { return std::optional<bool>(false); });
}

void TestOfferDocument::cleanup()
{
    m_form.reset();
    m_store.reset();
    m_db.reset();
}

PlanPrintout TestOfferDocument::plan(int count)
{
    const QString n = QString::number(count);
    const auto amounts = Installments::calcInst(u"10000", n);
    const auto all
        = Installments::calcAllInst(u"10000", n, QDate(2027, 1, 31), amounts.amountText, amounts.firstText);
    PlanPrintout p;
    p.client = QStringLiteral("Mr. Griffin 0100");
    p.figures = { { QStringLiteral("Remainder"), QStringLiteral("10000") },
        { QStringLiteral("No of Installments"), n } };
    p.headers = Installments::ScheduleModel::calculatorHeaders();
    p.schedule = all.schedule;
    return p;
}

QString TestOfferDocument::exportTo(const std::optional<PlanPrintout> &withPlan)
{
    OfferActions *actions = m_form->offerActions();
    if (withPlan) {
        actions->setAskIncludePlan([] { return std::optional<bool>(true); });
        actions->setAskPlan([withPlan] { return withPlan; });
    }
    QString suggested;
    const QString path = m_out.filePath(QStringLiteral("offer.pdf"));
    actions->setAskPdfPath([&](const QString &s) {
        suggested = s;
        return path;
    });
    if (!actions->exportPdf())
        return {};
    [&] {
        QVERIFY2(QFileInfo(suggested).fileName() == "Offer 1-1 Mr. Griffin 0100.pdf", qPrintable(suggested));
    }();
    return path;
}

int TestOfferDocument::pageCount(const QString &pdf)
{
    const QString info = PrintTest::run(QStringLiteral("pdfinfo"), { pdf }).out;
    for (const QString &line : info.split(u'\n')) {
        if (line.startsWith(QLatin1String("Pages:")))
            return line.section(u':', 1).trimmed().toInt();
    }
    return -1;
}

QString TestOfferDocument::pageText(const QString &pdf, int page)
{
    return PrintTest::run(QStringLiteral("pdftotext"),
        { QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
            QString::number(page), pdf, QStringLiteral("-") })
        .out;
}

void TestOfferDocument::exportedPdfHoldsTheOffer()
{
    const QString pdf = exportTo(std::nullopt);
    QVERIFY(!pdf.isEmpty());
    QVERIFY2(m_told.isEmpty(), qPrintable(m_told.join('\n')));
    QCOMPARE(pageCount(pdf), 1);
    // The page text, searched as a reader would, ligatures and all.
    const QString text = PrintTest::run(QStringLiteral("pdftotext"), { pdf, QStringLiteral("-") }).out;
    for (const char *expected : { "PC Configuration", "Velmont Office Supplies 555-1234", "Mr. Griffin 0100",
             "Official Duo 2.4 GHz", "DDR 512 MB fluffy", "1550.50", "Sam Fielding", "Offer 1, revision 1" })
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" not in:\n") + text));
    QCOMPARE(*m_form->offerActions()->current(), (OfferKey { 1, 1 })); // kept before it was written
}

void TestOfferDocument::planPages_data()
{
    QTest::addColumn<int>("installments");
    QTest::newRow("one installment") << 1;
    QTest::newRow("a year") << 12;
    QTest::newRow("ten years") << 120;
}

void TestOfferDocument::planPages()
{
    QFETCH(int, installments);
    const QString pdf = exportTo(plan(installments));
    QVERIFY(!pdf.isEmpty());
    const int pages = pageCount(pdf);
    QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
    QStringList numbers; // every installment number found in the plan's pages, in order
    for (int page = 2; page <= pages; ++page) {
        const QString text = pageText(pdf, page);
        // Numbered within the whole document, the offer's page being the first.
        QVERIFY2(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(pages)), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Offer 1, revision 1")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Velmont Office Supplies 555-1234")), qPrintable(text));
        for (const QString &line : text.split(u'\n')) {
            const QStringList cells = line.simplified().split(u' ');
            if (cells.size() == 4 && cells[1].count(u'/') == 2)
                numbers << cells[0];
        }
    }
    QCOMPARE(numbers.size(), installments);
    QCOMPARE(numbers.first(), QStringLiteral("1"));
    QCOMPARE(numbers.last(), QString::number(installments));
    QVERIFY(pageText(pdf, pages).contains(QStringLiteral("0.00")));
    if (installments == 120)
        QVERIFY(pages > 3);
}

void TestOfferDocument::failedPrintWithPlanOffersPdf()
{
    OfferActions *actions = m_form->offerActions();
    actions->setAskPlan([] { return std::optional<PlanPrintout>(plan(12)); });
    actions->setPrintJob([](const QString &, const PageDrawer &) {
        return PrintResult { false,
            QStringLiteral("No default printer is set up on this computer, so nothing "
                           "was printed.") };
    });
    QString problem;
    const QString path = m_out.filePath(QStringLiteral("instead.pdf"));
    actions->setAskPdfInstead([&](const QString &p, const QString &) {
        problem = p;
        return path;
    });
    QVERIFY(actions->printOfferWithPlan());
    QVERIFY2(problem.contains(QStringLiteral("No default printer")), qPrintable(problem));
    QCOMPARE(pageCount(path), 2);
    QVERIFY(pageText(path, 2).contains(QStringLiteral("Installment plan")));
}

void TestOfferDocument::printWithPlanThroughCups()
{
    if (m_cupsDir.isEmpty())
        QFAIL(qPrintable(m_cupsProblem));
    const QString client = PrintTest::token();
    typeOver(m_form->findChild<QLineEdit *>(QStringLiteral("Text2")), client);
    OfferActions *actions = m_form->offerActions();
    PlanPrintout p = plan(40);
    p.client = client;
    actions->setAskPlan([p] { return std::optional<PlanPrintout>(p); });
    actions->setAskPdfInstead([](const QString &problem, const QString &) {
        qWarning("printing failed: %s", qPrintable(problem));
        return QString();
    });
    QVERIFY(actions->printOfferWithPlan());
    const QString pdf = PrintTest::waitForPdf(m_cupsDir, client);
    QVERIFY2(!pdf.isEmpty(), "the job did not arrive");
    QVERIFY(pageCount(pdf) >= 2); // one job: the offer page and the plan's pages
    const QString plan = pageText(pdf, 2);
    QVERIFY2(plan.contains(QStringLiteral("Page 2 of %1").arg(pageCount(pdf))), qPrintable(plan));
    QVERIFY2(plan.contains(client), qPrintable(plan));
}

QTEST_MAIN(TestOfferDocument)
#include "tst_offerdocument.moc"
