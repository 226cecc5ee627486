// Renders the program's SVG icon into PNG files of the usual hicolor sizes, so the installed icons
// are always drawn from the one scalable source: rendericon SVG OUTDIR SIZE...
// writes OUTDIR/<SIZE>.png for each size.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() < 4) {
        err << "usage: rendericon SVG OUTDIR SIZE...\n";
        return 2;
    }
    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid()) {
        err << "rendericon: " << args.at(1) << " is not a valid SVG file\n";
        return 1;
    }
    const QDir out(args.at(2));
    QDir().mkpath(out.path());
    for (qsizetype i = 3; i < args.size(); ++i) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        if (!ok || size <= 0 || size > 1024) {
            err << "rendericon: bad size " << args.at(i) << '\n';
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString file = out.filePath(QStringLiteral("%1.png").arg(size));
        if (!image.save(file)) {
            err << "rendericon: cannot write " << file << '\n';
            return 1;
        }
    }
    return 0;
}
