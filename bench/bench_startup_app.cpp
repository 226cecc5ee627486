// The program's own start routine on a given db.mdb, closed again through its close sequence
// once the main window has painted: bench_startup_app <db.mdb>
#include "app/startup.h"
#include "closeonpaint.h"
#include "core/version.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf16(AppTitle));
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_startup_app <db.mdb>\n");
        return 2;
    }
    Bench::CloseOnFirstPaint closer;
    app.installEventFilter(&closer);
    return Main(
        app, [](const QString &message) { std::fprintf(stderr, "%s\n", qPrintable(message)); },
        QString::fromLocal8Bit(argv[1]));
}
