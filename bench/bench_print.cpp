// Printing the offer: from the click on "Print" (dressing the main window for paper, rendering the
// page, handing the job to CUPS, restoring the window) to the job accepted by the print system, on a
// full offer of seventeen rows, expanded, with pictures. Beside it: printing the same window
// undressed, i.e. the bare render-and-submit. Needs CUPS with a default printer (the print tests'
// tests/support/cups-fixture.sh sets up the cups-pdf queue); every run leaves one PDF from that queue.
//
//   bench_print [runs=9]
#include "benchdb.h"
#include "benchutil.h"

#include "store/store.h"
#include "widgets/windowprinter.h"
#include "windows/main/mainwindow.h"
#include "windows/main/offerprint.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 9;
    if (QPrinterInfo::defaultPrinter().isNull()) {
        std::fprintf(stderr, "bench_print: no default printer; run tests/support/cups-fixture.sh first\n");
        return 1;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    if (!Bench::makePriceList(path, 17 * 20, 0, 20))
        return 1;
    Store store(path);
    MainWindow form(&store);
    if (!form.load())
        return 1;
    for (int i = 0; i < ConfigRow::Count; ++i)
        form.pickerKeyDown(i, 36, 0); // Home: the first item of every row
    form.toggleDetail();
    form.findChild<QCheckBox *>(QStringLiteral("Check1"))->setChecked(true);
    form.findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(QStringLiteral("Bench client 0100 200"));
    form.show();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();

    QString failure;
    const double offer = Bench::medianMs(runs, [&] {
        OfferPrint print(&form, form.offer().client);
        print.setAskPdfPath([&failure](const QString &problem, const QString &) {
            failure = problem;
            return QString();
        });
        print.run();
    });
    PrintResult bare;
    const double plain
        = Bench::medianMs(runs, [&] { bare = printWindow(&form, QStringLiteral("Velmont Brasko bench")); });
    if (!failure.isEmpty() || !bare.ok) {
        std::fprintf(stderr, "bench_print: printing failed: %s\n",
            qPrintable(failure.isEmpty() ? bare.error : failure));
        return 1;
    }
    Bench::result(QStringLiteral("offer print: click to job handed to CUPS"), offer,
        QStringLiteral("the same window printed undressed"), plain, QStringLiteral("ms:300"));
    return 0;
}
