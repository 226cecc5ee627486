// Start-up: the program (through its start routine, on a db.mdb of 100,000 items) against a bare
// Qt Widgets program, each from process start to its main window shown and closed again. They
// run in turns, so a machine that slows down in the middle slows all of them. The bare program
// runs three ways: an empty window; one line of text; one line of text with the program's Qt
// modules linked and its SQL driver plugin loaded (bench_bare_plugins).
//
// The program is bench_startup_app: the real start routine Main() on the given db.mdb, with an
// event filter that closes the main window (through its close sequence, which saves the settings)
// once it has painted itself; the bare reference (bench_bare) closes its window the same way. Each
// reports the time of its first paint, so both "shown" and "shown, closed and ended" are measured.
//
//   bench_startup [runs]
#include "benchdb.h"
#include "benchutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <time.h>

#include <algorithm>
#include <vector>

extern char **environ;

namespace
{

struct Run {
    double ms = 0; // spawn to exit
    double shownMs = 0; // spawn to the first paint of the main window
    long kb = 0;
};

QString shownFile;

Run spawn(const QByteArray &program, const QByteArray &argument)
{
    QFile::remove(shownFile);
    timespec t0 {};
    clock_gettime(CLOCK_MONOTONIC, &t0);
    qputenv("BENCH_T0",
        QByteArray::number(static_cast<double>(t0.tv_sec) * 1e9 + static_cast<double>(t0.tv_nsec), 'f', 0));
    std::vector<char *> argv { const_cast<char *>(program.constData()) };
    if (!argument.isEmpty())
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.constData(), nullptr, nullptr, argv.data(), environ) != 0)
        qFatal("cannot start %s", program.constData());
    int status = 0;
    rusage ru {};
    wait4(pid, &status, 0, &ru);
    Run r { static_cast<double>(t.nsecsElapsed()) / 1e6, 0, ru.ru_maxrss };
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("%s ended with status %d", program.constData(), status);
    QFile shown(shownFile);
    if (!shown.open(QIODevice::ReadOnly))
        qFatal("%s never painted its window", program.constData());
    r.shownMs = shown.readAll().trimmed().toDouble();
    return r;
}

Run median(std::vector<Run> runs)
{
    Run m;
    std::sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.shownMs < b.shownMs; });
    m.shownMs = runs[runs.size() / 2].shownMs;
    std::sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.ms < b.ms; });
    m.ms = runs[runs.size() / 2].ms;
    for (const Run &r : runs)
        m.kb = std::max(m.kb, r.kb);
    return m;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 15;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("db.mdb"));
    shownFile = dir.filePath(QStringLiteral("shown"));
    qputenv("BENCH_SHOWN_FILE", QFile::encodeName(shownFile));
    if (!Bench::makePriceList(db, 100000, 2, 20000))
        return 1;
    const QDir bin(QCoreApplication::applicationDirPath());
    const QByteArray program = QFile::encodeName(bin.filePath(QStringLiteral("bench_startup_app")));
    const QByteArray bare = QFile::encodeName(bin.filePath(QStringLiteral("bench_bare")));
    const QByteArray barePlugins = QFile::encodeName(bin.filePath(QStringLiteral("bench_bare_plugins")));
    const QByteArray dbArg = QFile::encodeName(db);
    spawn(program, dbArg); // warm the caches of both
    spawn(bare, {});
    spawn(bare, "text");
    spawn(barePlugins, "text");
    std::vector<Run> programRuns, bareRuns, textRuns, pluginRuns;
    for (int i = 0; i < runs; ++i) {
        programRuns.push_back(spawn(program, dbArg));
        bareRuns.push_back(spawn(bare, {}));
        textRuns.push_back(spawn(bare, "text"));
        pluginRuns.push_back(spawn(barePlugins, "text"));
    }
    const Run p = median(programRuns), b = median(bareRuns), t = median(textRuns), l = median(pluginRuns);
    Bench::result(QStringLiteral("start-up, 100,000 items, to main window shown"), p.shownMs,
        QStringLiteral("bare Qt main window"), b.shownMs, QStringLiteral("ratio:1.3"), p.kb);
    Bench::result(QStringLiteral("start-up, 100,000 items, to main window shown (text floor)"), p.shownMs,
        QStringLiteral("bare Qt main window with one text"), t.shownMs, QStringLiteral("ratio:1.3"), p.kb);
    Bench::result(QStringLiteral("start-up, 100,000 items, to main window shown (same modules and plugins)"),
        p.shownMs, QStringLiteral("bare Qt main window with one text, the same Qt modules and plugins"),
        l.shownMs, QStringLiteral("ratio:1.3"), p.kb);
    Bench::result(QStringLiteral("start-up, 100,000 items, shown, closed (settings saved), ended"), p.ms,
        QStringLiteral("bare Qt main window"), b.ms, QStringLiteral("ratio:1.3"), p.kb);
    Bench::result(QStringLiteral("start-up peak memory (bare window as reference)"),
        static_cast<double>(p.kb) / 1024.0, QStringLiteral("bare Qt main window"),
        static_cast<double>(b.kb) / 1024.0, QStringLiteral("mb:150"), p.kb, "MB");
    Bench::result(QStringLiteral("start-up peak memory (same modules and plugins as reference)"),
        static_cast<double>(p.kb) / 1024.0,
        QStringLiteral("bare Qt main window with one text, the same Qt modules and plugins"),
        static_cast<double>(l.kb) / 1024.0, QStringLiteral("mb:150"), p.kb, "MB");
    return 0;
}
