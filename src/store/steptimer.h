#pragma once

#include <QElapsedTimer>

#include <functional>

// Where a long piece of work spends its time, told step by step to whoever asked for it (a
// benchmark's breakdown). Without a sink nothing is timed and nothing is told, so the work pays
// one test of an empty function per step.
class StepTimer final
{
public:
    // The step's name and the nanoseconds since the step before it (or since start()).
    using Sink = std::function<void(const char *step, qint64 nsecs)>;

    void setSink(Sink sink) { m_sink = std::move(sink); }
    void start()
    {
        if (m_sink)
            m_clock.start();
    }
    // Ends the step under way, naming it, and starts the next.
    void lap(const char *step)
    {
        if (!m_sink)
            return;
        m_sink(step, m_clock.nsecsElapsed());
        m_clock.restart();
    }

private:
    Sink m_sink;
    QElapsedTimer m_clock;
};
