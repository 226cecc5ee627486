// The floor every Qt Widgets program pays: start, show an empty main window, close it, end.
// With the argument "text" the window shows one line of text, which adds the font set-up that any
// window with a caption pays. Built as bench_bare_plugins it also links the Qt modules the program
// links and loads the plugin it loads besides the platform's (the SQLite driver), so that what
// stays between the two is the program's own window.
#include "closeonpaint.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#ifdef BENCH_SAME_PLUGINS
#include <QPrinterInfo>
#include <QSqlDatabase>
#endif

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Bench::CloseOnFirstPaint closer;
    app.installEventFilter(&closer);
#ifdef BENCH_SAME_PLUGINS
    // Linked, as the program's printing is, though nothing is printed at start.
    [[maybe_unused]] volatile auto printing = &QPrinterInfo::defaultPrinterName;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(QStringLiteral(":memory:"));
    if (!db.open())
        return 1;
#endif
    QMainWindow window;
    if (argc > 1 && QByteArray(argv[1]) == "text") {
        auto *label = new QLabel(QStringLiteral("Company Name and Tel"), &window);
        label->setFont(QFont(QStringLiteral("Arial"), 12, QFont::Bold));
        window.setCentralWidget(label);
    }
    window.show();
    return app.exec();
}
