// The floor every Qt Widgets program pays: start, show an empty main window, close it, end.
// With the argument "text" the window shows one line of text, which adds the font set-up that any
// window with a caption pays.
#include "closeonpaint.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Bench::CloseOnFirstPaint closer;
    app.installEventFilter(&closer);
    QMainWindow window;
    if (argc > 1 && QByteArray(argv[1]) == "text") {
        auto *label = new QLabel(QStringLiteral("Company Name and Tel"), &window);
        label->setFont(QFont(QStringLiteral("Arial"), 12, QFont::Bold));
        window.setCentralWidget(label);
    }
    window.show();
    return app.exec();
}
