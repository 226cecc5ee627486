#pragma once

// Where an import's time goes, step by step: the benchmark's own steps (opening, reading the file,
// the preview) and those the Apply tells (PriceImport::setStepSink), for every timed run; the run
// of median total is printed beside the figure it explains.

#include "store/steptimer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace Bench
{

class StepBreakdown final
{
public:
    void beginRun()
    {
        m_runs.push_back({});
        m_clock.start();
    }
    // Ends the benchmark's own step under way.
    void lap(const char *step) { add(step, m_clock.nsecsElapsed()); }
    // For the Apply, which reports its own steps; the benchmark's clock restarts after it.
    StepTimer::Sink sink()
    {
        return [this](const char *step, qint64 nsecs) { add(step, nsecs); };
    }
    void print(const QString &title) const
    {
        // The first run only warms up, as Bench::medianMs has it.
        QList<Run> timed = m_runs.mid(1);
        if (timed.isEmpty())
            return;
        std::sort(timed.begin(), timed.end(), [](const Run &a, const Run &b) { return total(a) < total(b); });
        const Run &median = timed[timed.size() / 2];
        std::printf("steps of %s (run of median total, %.0f ms):\n", qPrintable(title), total(median) / 1e6);
        for (const auto &[step, nsecs] : median)
            std::printf("  %-28s %8.1f ms\n", step.constData(), static_cast<double>(nsecs) / 1e6);
        std::fflush(stdout);
    }

private:
    using Run = QList<std::pair<QByteArray, qint64>>;

    static double total(const Run &run)
    {
        double sum = 0;
        for (const auto &step : run)
            sum += static_cast<double>(step.second);
        return sum;
    }

    // A step told more than once in a run (the staging's statements) adds up under one name.
    void add(const char *step, qint64 nsecs)
    {
        Run &run = m_runs.back();
        const auto same
            = std::find_if(run.begin(), run.end(), [&](const auto &s) { return s.first == step; });
        if (same != run.end())
            same->second += nsecs;
        else
            run.push_back({ QByteArray(step), nsecs });
        m_clock.restart();
    }

    QList<Run> m_runs;
    QElapsedTimer m_clock;
};

} // namespace Bench
