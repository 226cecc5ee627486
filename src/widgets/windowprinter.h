#pragma once

#include <QString>

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
