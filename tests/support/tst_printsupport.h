#pragma once

// Helpers of the print tests: the real print system (cupsd with its cups-pdf queue, brought up by
// cups-fixture.sh), finding the PDF a job turned into, and reading a PDF back with poppler-utils.
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QUuid>

namespace PrintTest
{

struct Run {
    bool ok = false;
    QString out;
    QString err;
};

inline Run run(const QString &program, const QStringList &args, int timeoutMs = 30000)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(5000))
        return { false, {}, program + QStringLiteral(" could not be started: ") + p.errorString() };
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(2000);
        return { false, {}, program + QStringLiteral(" did not finish in time") };
    }
    return { p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0,
        QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError()) };
}

// Brings CUPS up; returns the folder the cups-pdf queue writes into, or the empty text with *why.
inline QString startCups(QString *why)
{
    const Run r = run(QStringLiteral("bash"), { QStringLiteral(CUPS_FIXTURE) }, 60000);
    const QString dir = r.out.trimmed().section(u'\n', -1);
    if (!r.ok || dir.isEmpty()) {
        *why = QStringLiteral("CUPS could not be brought up: ") + r.err.trimmed();
        return {};
    }
    return dir;
}

// A token unique to this run, fit for a job title and so for the cups-pdf file name. Without an "f":
// shaping turns "ff", "fi" and "fl" into ligature glyphs, which the test queue's PostScript step
// keeps as pictures without their letters.
inline QString token()
{
    return QStringLiteral("t") + QUuid::createUuid().toString(QUuid::Id128).left(12).replace(u'f', u'x');
}

// cups-pdf names its file after the job title; jobs land a moment after they are handed over, and a
// file is complete once its size holds still.
inline QString waitForPdf(const QString &dir, const QString &token, int timeoutMs = 30000)
{
    QElapsedTimer clock;
    clock.start();
    qint64 lastSize = -1;
    while (clock.elapsed() < timeoutMs) {
        const QFileInfoList found
            = QDir(dir).entryInfoList({ QLatin1Char('*') + token + QLatin1Char('*') }, QDir::Files);
        if (!found.isEmpty()) {
            const qint64 size = found.first().size();
            if (size > 0 && size == lastSize)
                return found.first().absoluteFilePath();
            lastSize = size;
        }
        QTest::qWait(200);
    }
    return {};
}

inline QString pdfText(const QString &pdf)
{
    return run(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") }).out;
}

// The first page at a low resolution, as an image.
inline QImage pdfImage(const QString &pdf, int dpi = 40)
{
    const QString stem = QDir::tempPath() + QStringLiteral("/brasko-page-") + token();
    run(QStringLiteral("pdftoppm"),
        { QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-singlefile"),
            pdf, stem });
    QImage image(stem + QStringLiteral(".png"));
    QFile::remove(stem + QStringLiteral(".png"));
    return image;
}

// The bounding box of everything that is not white on the image.
inline QRect inkBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 240)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace PrintTest
