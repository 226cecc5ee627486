#pragma once

// What every benchmark of the program shares: timing a piece of work several times and keeping the
// median, the process's peak memory, and one result line that scripts/bench.sh turns into a table.
//
// Result line: RESULT|<what>|<value>|<unit>|<reference>|<reference value>|<goal>|<peak KB>
// where goal is "ratio:<x>" (the figure within x times its reference), "ms:<n>" (under n ms),
// "kb:<n>" (peak memory under n KB) or empty.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace Bench
{

// Median wall time of fn in milliseconds over reps runs (after one warm-up run).
template <typename Fn> double medianMs(int reps, Fn &&fn)
{
    fn();
    std::vector<double> ms;
    ms.reserve(static_cast<size_t>(reps));
    for (int i = 0; i < reps; ++i) {
        QElapsedTimer t;
        t.start();
        fn();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// The same, with an untimed setup before every run.
template <typename Setup, typename Fn> double medianMs(int reps, Setup &&setup, Fn &&fn)
{
    std::vector<double> ms;
    for (int i = 0; i <= reps; ++i) {
        setup();
        QElapsedTimer t;
        t.start();
        fn();
        if (i > 0) // the first run only warms up
            ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// Peak resident memory of this process so far, in KB.
// Lets queued events (layouts, paints, deferred steps) run before and after a measured step.
inline void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

inline long peakKb()
{
    rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

inline void result(const QString &what, double value, const QString &reference, double referenceValue,
    const QString &goal = QString(), long kb = peakKb(), const char *unit = "ms")
{
    std::printf("RESULT|%s|%.4f|%s|%s|%.4f|%s|%ld\n", qPrintable(what), value, unit, qPrintable(reference),
        referenceValue, qPrintable(goal), kb);
    std::fflush(stdout);
}

} // namespace Bench
