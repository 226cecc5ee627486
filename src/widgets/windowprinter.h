#pragma once

#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPainter;
class QWidget;

// The one print operation every window that prints itself uses: the window's client area (below its
// menu bar), as it is shown, rendered onto one page scaled to fit the printable area with its
// proportions kept, centred across the page and standing at its top. The widgets are painted straight
// onto the page at printer resolution, so text stays text and lines stay sharp.
struct PrintResult {
    bool ok = false;
    QString error; // what went wrong, in words for the person at the counter
};

// Prints on the system's default printer without any dialog. Refuses, with a message, when there is
// no default printer, when the print system is not running, when the printer is stopped (off line)
// or rejecting jobs, and reports a job the print system does not take.
PrintResult printWindow(QWidget *window, const QString &jobName);
// Writes the same page into a PDF file (written completely or not at all), laid out for the default
// printer's paper when there is one.
PrintResult printWindowToPdf(QWidget *window, const QString &pdfPath);

// A document of one or more pages: paints them with the painter, calling device.newPage() before
// every page after the first.
using PageDrawer = std::function<PrintResult(QPainter &painter, QPagedPaintDevice &device)>;

// The same two ways out for a document of several pages, as one job or one file.
PrintResult printDocument(const QString &jobName, const PageDrawer &draw);
PrintResult writeDocumentPdf(const QString &pdfPath, const PageDrawer &draw);
// Paints the window's client area onto the painter's current page, as printWindow places it.
PrintResult drawWindowPage(QWidget *window, QPainter &painter);
