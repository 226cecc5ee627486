#include "windowprinter.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace {

PrintResult render(QWidget *window, QPrinter &printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return {false, QStringLiteral("The printer could not start the page.")};
    const QRect page = painter.viewport();
    const QSize size = window->size();
    const double scale = std::min(double(page.width()) / size.width(), double(page.height()) / size.height());
    painter.translate(page.x() + (page.width() - size.width() * scale) / 2.0, page.y());
    painter.scale(scale, scale);
    window->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    if (!painter.end())
        return {false, QStringLiteral("The printer did not accept the page.")};
    return {true, {}};
}

} // namespace

PrintResult printWindow(QWidget *window, const QString &jobName)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return {false, QStringLiteral("No default printer is set up on this computer.")};
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(jobName);
    return render(window, printer);
}

PrintResult printWindowToPdf(QWidget *window, const QString &pdfPath)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    return render(window, printer);
}
