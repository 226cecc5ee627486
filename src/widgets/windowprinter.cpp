#include "windowprinter.h"

#include "cupslibrary.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMainWindow>
#include <QMenuBar>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QWidget>

#include <algorithm>
#include <memory>

// Why the job goes to CUPS through libcups rather than through QPrinter's own CUPS engine: that
// engine drops the answer of the print system, so a job refused by the scheduler looked printed.
// The page is still laid out for the printer's paper and printable margins (taken from QPrinter),
// painted as a PDF - exactly what the Qt engine would hand over - and submitted here, where the job
// number or the refusal can be read.

namespace
{

const QString Creator = QStringLiteral("Velmont Brasko");
constexpr int Resolution = 1200;

// What goes on paper: the window below its menu bar, like the client area of a form.
QRect clientArea(const QWidget *window)
{
    QRect area = window->rect();
    if (const auto *main = qobject_cast<const QMainWindow *>(window)) {
        const QWidget *menu = main->menuWidget();
        if (menu && !menu->isHidden())
            area.setTop(menu->geometry().bottom() + 1);
    }
    return area;
}

PrintResult renderPages(QPagedPaintDevice *device, const PageDrawer &draw)
{
    QPainter painter;
    if (!painter.begin(device))
        return { false, QStringLiteral("The page could not be started.") };
    PrintResult drawn = draw(painter, *device);
    if (!painter.end() && drawn.ok)
        return { false, QStringLiteral("The page could not be finished.") };
    return drawn;
}

PageDrawer windowPage(QWidget *window)
{
    return [window](QPainter &painter, QPagedPaintDevice &) { return drawWindowPage(window, painter); };
}

QPageLayout fallbackLayout()
{
    const bool letter = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
    return QPageLayout(QPageSize(letter ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
        QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}

QPageLayout printerLayout(const QPrinterInfo &info)
{
    QPrinter printer(info, QPrinter::HighResolution);
    const QPageLayout layout = printer.pageLayout();
    return layout.isValid() ? layout : fallbackLayout();
}

void describeDocument(QPdfWriter &writer, const QPageLayout &layout, const QString &title)
{
    writer.setPageLayout(layout);
    writer.setResolution(Resolution);
    writer.setCreator(Creator);
    writer.setTitle(title);
}

// Printing begins only once libcups is there (cupslibrary.h).
const CupsLibrary &cups()
{
    return *CupsLibrary::get(nullptr);
}

struct DestDeleter {
    void operator()(cups_dest_t *dest) const { cups().freeDests(1, dest); }
};
using Dest = std::unique_ptr<cups_dest_t, DestDeleter>;

QString cupsError()
{
    return QString::fromUtf8(cups().lastErrorString());
}

QString option(const cups_dest_t *dest, const char *name)
{
    return QString::fromUtf8(cups().getOption(name, dest->num_options, dest->options));
}

// The reason the printer cannot take a job now, or the empty text when it can.
QString refusalOf(const cups_dest_t *dest, const QString &printer)
{
    const QString said = option(dest, "printer-state-message");
    const QString tail
        = said.isEmpty() ? QString() : QStringLiteral(" The print system says: \"%1\".").arg(said);
    const QStringList reasons = option(dest, "printer-state-reasons").split(u',', Qt::SkipEmptyParts);
    const bool offline = std::any_of(reasons.begin(), reasons.end(),
        [](const QString &reason) { return reason.startsWith(QLatin1String("offline")); });
    // printer-state 5 is "stopped": CUPS would only queue the job until someone starts the printer.
    if (option(dest, "printer-state") == QLatin1String("5") || offline)
        return QStringLiteral("The printer \"%1\" is off line (stopped), so nothing was printed.")
                   .arg(printer)
            + tail;
    if (option(dest, "printer-is-accepting-jobs") == QLatin1String("false"))
        return QStringLiteral("The printer \"%1\" is not accepting jobs, so nothing was printed.")
                   .arg(printer)
            + tail;
    return {};
}

bool schedulerAnswers()
{
    http_t *http = cups().httpConnect2(
        cups().server(), cups().ippPort(), nullptr, AF_UNSPEC, cups().encryption(), 1, 5000, nullptr);
    if (!http)
        return false;
    cups().httpClose(http);
    return true;
}

QString noPrinterMessage()
{
    if (!schedulerAnswers())
        return QStringLiteral("The print system (CUPS) is not running, so nothing was printed.");
    return QStringLiteral("No default printer is set up on this computer, so nothing was printed.");
}

} // namespace

PrintResult printWindow(QWidget *window, const QString &jobName)
{
    return printDocument(jobName, windowPage(window));
}

PrintResult printWindowToPdf(QWidget *window, const QString &pdfPath)
{
    return writeDocumentPdf(pdfPath, windowPage(window));
}

PrintResult drawWindowPage(QWidget *window, QPainter &painter)
{
    const QRect area = clientArea(window);
    if (area.isEmpty())
        return { false, QStringLiteral("The window has nothing to print.") };
    const QRect page = painter.viewport();
    const double scale = std::min(double(page.width()) / area.width(), double(page.height()) / area.height());
    painter.save();
    // Centred across the page and standing at its top, the way a letter starts.
    painter.translate(page.x() + (page.width() - area.width() * scale) / 2.0, page.y());
    painter.scale(scale, scale);
    window->render(&painter, QPoint(), QRegion(area), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    painter.restore();
    return { true, {} };
}

PrintResult printDocument(const QString &jobName, const PageDrawer &draw)
{
    QString why;
    if (!CupsLibrary::get(&why))
        return { false,
            QStringLiteral(
                "The print system's library (libcups) cannot be loaded, so nothing was printed: %1")
                .arg(why) };
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return { false, noPrinterMessage() };

    // A CUPS printer id is "queue" or "queue/instance".
    const QString id = info.printerName();
    const QByteArray queue = id.section(u'/', 0, 0).toUtf8();
    const QByteArray instance = id.section(u'/', 1).toUtf8();
    const QString shown = info.description().isEmpty() ? id : info.description();
    Dest dest(cups().getNamedDest(
        CUPS_HTTP_DEFAULT, queue.constData(), instance.isEmpty() ? nullptr : instance.constData()));
    if (!dest)
        return { false, QStringLiteral("The printer \"%1\" cannot be reached: %2").arg(shown, cupsError()) };
    if (const QString refusal = refusalOf(dest.get(), shown); !refusal.isEmpty())
        return { false, refusal };

    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/brasko-print-XXXXXX.pdf"));
    if (!file.open())
        return { false,
            QStringLiteral("The page could not be prepared for printing: %1").arg(file.errorString()) };
    const QPageLayout layout = printerLayout(info);
    {
        QPdfWriter writer(&file);
        describeDocument(writer, layout, jobName);
        if (PrintResult drawn = renderPages(&writer, draw); !drawn.ok)
            return drawn;
    }
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return { false,
            QStringLiteral("The page could not be prepared for printing: %1").arg(file.errorString()) };

    cups_option_t *options = nullptr;
    int count = 0;
    const QByteArray media = layout.pageSize().key().toUtf8();
    if (!media.isEmpty())
        count = cups().addOption("media", media.constData(), count, &options);
    for (int i = 0; i < dest->num_options; ++i) {
        // The user's saved settings for this printer (lpoptions), as lp passes them.
        if (!cups().getOption(dest->options[i].name, count, options))
            count = cups().addOption(dest->options[i].name, dest->options[i].value, count, &options);
    }
    const int job = cups().printFile2(CUPS_HTTP_DEFAULT, queue.constData(),
        QFile::encodeName(file.fileName()).constData(), jobName.toUtf8().constData(), count, options);
    cups().freeOptions(count, options);
    if (job <= 0)
        return { false, QStringLiteral("The printer \"%1\" refused the job: %2").arg(shown, cupsError()) };
    return { true, {} };
}

PrintResult writeDocumentPdf(const QString &pdfPath, const PageDrawer &draw)
{
    QSaveFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly))
        return { false,
            QStringLiteral("The file \"%1\" could not be written: %2").arg(pdfPath, file.errorString()) };
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    {
        QPdfWriter writer(&file);
        describeDocument(writer, info.isNull() ? fallbackLayout() : printerLayout(info),
            QFileInfo(pdfPath).completeBaseName());
        if (PrintResult drawn = renderPages(&writer, draw); !drawn.ok) {
            file.cancelWriting();
            return drawn;
        }
    }
    if (!file.commit())
        return { false,
            QStringLiteral("The file \"%1\" could not be written: %2").arg(pdfPath, file.errorString()) };
    return { true, {} };
}
