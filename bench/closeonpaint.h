#pragma once

// Closes the first main window as soon as it has painted itself once: the end of "start-up"
// for both the program and the bare reference, measured the same way. The time is taken once the
// whole first frame (the window and every control in it) has been painted and handed to the
// screen, not at the window's own paint event, which comes before its controls paint.

#include <QEvent>
#include <QMainWindow>
#include <QObject>
#include <QTimer>

#include <time.h>

#include <cstdio>
#include <cstdlib>

namespace Bench
{

class CloseOnFirstPaint final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_done && event->type() == QEvent::Paint) {
            if (auto *window = qobject_cast<QMainWindow *>(watched)) {
                m_done = true;
                // Closing goes through the window's own close handling (for the program: the
                // settings rewrite), after the paint has finished.
                QTimer::singleShot(0, window, [window] {
                    reportShown();
                    window->close();
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // The runner passes its clock reading at the spawn (BENCH_T0, monotonic ns) and a file to
    // append the time to the first paint to (BENCH_SHOWN_FILE).
    static void reportShown()
    {
        const char *t0 = std::getenv("BENCH_T0");
        const char *file = std::getenv("BENCH_SHOWN_FILE");
        if (!t0 || !file)
            return;
        timespec now {};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const double ms = (static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec)
                              - std::strtod(t0, nullptr))
            / 1e6;
        if (FILE *f = std::fopen(file, "w")) {
            std::fprintf(f, "%.3f\n", ms);
            std::fclose(f);
        }
    }

    bool m_done = false;
};

} // namespace Bench
