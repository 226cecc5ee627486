// The shared window print operation against the real print system: CUPS with its cups-pdf queue as
// the default printer, the resulting PDF read back with poppler-utils.
#include "support/tst_printsupport.h"
#include "widgets/windowprinter.h"

#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QVBoxLayout>

#include <cups/cups.h>

#include <memory>

class TestWindowPrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void printsClientAreaThroughCups_data();
    void printsClientAreaThroughCups();
    void refusesWhatThePrinterCannotTake_data();
    void refusesWhatThePrinterCannotTake();
    void savesPdf_data();
    void savesPdf();

private:
    QString m_pdfDir;
};

namespace
{

struct Sample {
    std::unique_ptr<QWidget> window;
    QString menuText;
};

// A small window with a text line and a filled box: what every printing window has.
Sample sample(const QString &kind, const QString &token)
{
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    layout->addWidget(new QLabel(QStringLiteral("Probe heading ") + token));
    auto *box = new QLineEdit(QStringLiteral("Box text 1250.00"));
    // A focused box is drawn with a translucent glow, which the PostScript step of the test queue
    // turns into a bitmap; the text of an unfocused box stays text.
    box->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(box);
    Sample s;
    if (kind == QLatin1String("main window")) {
        auto *main = new QMainWindow;
        s.menuText = QStringLiteral("Menuword") + token;
        main->menuBar()->addMenu(s.menuText);
        main->setCentralWidget(content);
        s.window.reset(main);
    } else {
        s.window.reset(content);
    }
    s.window->resize(600, 400);
    return s;
}

} // namespace

void TestWindowPrint::initTestCase()
{
    QString why;
    m_pdfDir = PrintTest::startCups(&why);
    QVERIFY2(!m_pdfDir.isEmpty(), qPrintable(why));
}

void TestWindowPrint::printsClientAreaThroughCups_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("plain widget") << QStringLiteral("widget");
    QTest::newRow("main window without its menu bar") << QStringLiteral("main window");
}

void TestWindowPrint::printsClientAreaThroughCups()
{
    QFETCH(QString, kind);
    const QString token = PrintTest::token();
    Sample s = sample(kind, token);
    s.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));

    const PrintResult result = printWindow(s.window.get(), QStringLiteral("brasko-probe-") + token);
    QVERIFY2(result.ok, qPrintable(result.error));
    const QString pdf = PrintTest::waitForPdf(m_pdfDir, token);
    QVERIFY2(!pdf.isEmpty(), "no PDF arrived from the cups-pdf queue within 30 s");

    const QString text = PrintTest::pdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("Probe heading ") + token), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Box text 1250.00")), qPrintable(text));
    if (!s.menuText.isEmpty())
        QVERIFY2(!text.contains(s.menuText), "the menu bar is not part of the page");

    // Scaled to the printable width, centred across the page, standing at its top.
    const QImage page = PrintTest::pdfImage(pdf);
    const QRect ink = PrintTest::inkBox(page);
    QVERIFY(!ink.isEmpty());
    QVERIFY2(ink.width() > page.width() * 0.75, "the picture is not scaled up to the printable width");
    QVERIFY2(std::abs(ink.left() - (page.width() - 1 - ink.right())) <= 3, "the picture is not centred");
    QVERIFY2(ink.top() < page.height() * 0.1, "the picture does not start at the top of the page");
    QFile::remove(pdf);
}

void TestWindowPrint::refusesWhatThePrinterCannotTake_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("says");
    // $PRINTER names the user's default printer (read afresh at every look-up); the scheduler's
    // address is set through libcups, which keeps it once read. Both only for this test program, so
    // the system's own default stays as it is.
    QTest::newRow("stopped printer") << QByteArray("PRINTER") << QByteArray("PDF-stopped")
                                     << QStringLiteral("\"PDF-stopped\" is off line");
    QTest::newRow("printer rejecting jobs") << QByteArray("PRINTER") << QByteArray("PDF-rejecting")
                                            << QStringLiteral("\"PDF-rejecting\" is not accepting jobs");
    QTest::newRow("default printer that does not exist")
        << QByteArray("PRINTER") << QByteArray("NoSuchPrinter") << QStringLiteral("No default printer");
    QTest::newRow("print system not running")
        << QByteArray("CUPS_SERVER") << QByteArray("/nonexistent/cups.sock")
        << QStringLiteral("print system (CUPS) is not running");
}

void TestWindowPrint::refusesWhatThePrinterCannotTake()
{
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, value);
    QFETCH(QString, says);
    const QString token = PrintTest::token();
    Sample s = sample(QStringLiteral("widget"), token);
    const bool server = variable == "CUPS_SERVER";
    if (server)
        cupsSetServer(value.constData());
    else
        qputenv(variable.constData(), value);
    const PrintResult result = printWindow(s.window.get(), QStringLiteral("brasko-refused-") + token);
    if (server)
        cupsSetServer(nullptr);
    else
        qunsetenv(variable.constData());
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(says), qPrintable(result.error));
    // Nothing was left waiting in a queue to come out later.
    const PrintTest::Run jobs = PrintTest::run(QStringLiteral("lpstat"), { QStringLiteral("-o") });
    QVERIFY2(!jobs.out.contains(QStringLiteral("PDF-stopped"))
            && !jobs.out.contains(QStringLiteral("PDF-rejecting")),
        qPrintable(jobs.out));
}

void TestWindowPrint::savesPdf_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<bool>("ok");
    QTest::newRow("new file") << QStringLiteral("offer.pdf") << true;
    QTest::newRow("name with blanks and accents") << QStringLiteral("Offer für Ahmed.pdf") << true;
    QTest::newRow("folder that does not exist") << QStringLiteral("missing/offer.pdf") << false;
}

void TestWindowPrint::savesPdf()
{
    QFETCH(QString, relativePath);
    QFETCH(bool, ok);
    QTemporaryDir dir;
    const QString path = dir.filePath(relativePath);
    const QString token = PrintTest::token();
    Sample s = sample(QStringLiteral("main window"), token);

    const PrintResult result = printWindowToPdf(s.window.get(), path);
    QCOMPARE(result.ok, ok);
    if (!ok) {
        QVERIFY2(result.error.contains(path), qPrintable(result.error));
        QVERIFY(!QFile::exists(path));
        return;
    }
    const QString text = PrintTest::pdfText(path);
    QVERIFY2(text.contains(QStringLiteral("Probe heading ") + token), qPrintable(text));
    QVERIFY(!text.contains(s.menuText));
}

QTEST_MAIN(TestWindowPrint)
#include "tst_windowprint.moc"
