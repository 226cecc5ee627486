#pragma once

#include <QString>

class QWidget;

// The one print operation every window that prints itself uses: the window's client area, as it is
// shown, rendered onto one page (scaled to fit the printable area, proportions kept, centred). The
// widgets are painted straight onto the printer, so text stays text and lines stay sharp.
struct PrintResult {
    bool ok = false;
    QString error; // what went wrong, for the person at the counter
};

// Prints on the system's default printer without any dialog.
PrintResult printWindow(QWidget *window, const QString &jobName);
// Writes the same page into a PDF file.
PrintResult printWindowToPdf(QWidget *window, const QString &pdfPath);
