// The program's start reads no image file before its window shows: reading one by name makes Qt
// load every image-format plugin, with their libraries, to ask which one reads it. A process of its
// own, so nothing an earlier test did has loaded them already.
#include "app/startup.h"
#include "support/testdb.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMainWindow>
#include <QTimer>

class TestStartImages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowShowsWithoutImagePlugins();
};

namespace
{

// The image-format plugins this process has loaded, by file.
QStringList loadedImagePlugins()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        qFatal("cannot read /proc/self/maps");
    QStringList plugins;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const QString path = QString::fromLocal8Bit(line.mid(line.indexOf('/')));
        if (path.contains(QStringLiteral("/imageformats/")) && !plugins.contains(path))
            plugins << path;
    }
    return plugins;
}

} // namespace

void TestStartImages::windowShowsWithoutImagePlugins()
{
    QVERIFY(loadedImagePlugins().isEmpty());
    TestDb db;
    QStringList atShow;
    bool shown = false;
    QObject guard;
    QTimer::singleShot(0, &guard, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            shown = shown || (qobject_cast<QMainWindow *>(w) && w->isVisible());
        atShow = loadedImagePlugins();
        QCoreApplication::exit(0);
    });
    QString failure;
    QCOMPARE(Main(
                 *qApp, [&](const QString &message) { failure = message; }, db.path),
        0);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(shown);
    QVERIFY2(atShow.isEmpty(), qPrintable(atShow.join(u", ")));
    // The check would see a plugin had one been loaded: reading a picture by its file name.
    const QString picture = db.dir.filePath(QStringLiteral("picture.png"));
    QVERIFY(QImage(2, 2, QImage::Format_RGB32).save(picture, "PNG"));
    QVERIFY(!QImage(picture).isNull());
    QVERIFY(!loadedImagePlugins().isEmpty());
}

QTEST_MAIN(TestStartImages)
#include "tst_startimages.moc"
