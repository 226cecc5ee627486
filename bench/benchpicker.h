#pragma once

// Opening a row's picker list, timed the same way wherever the price list comes from.

#include "benchutil.h"
#include "widgets/gridcombo.h"

#include <QTableView>

namespace Bench
{

// Shows a picker's list and paints it, and nothing else that waits in the event loop (what the
// list does between other events once it shows is not the opening's).
inline void showListPainted(GridCombo *picker)
{
    picker->showList();
    QCoreApplication::sendPostedEvents();
    picker->listView()->window()->repaint();
}

// The median time from asking a closed, empty picker for its list until the list is painted.
inline double pickerOpenMs(GridCombo *picker, int runs)
{
    const double ms = medianMs(
        runs,
        [&] {
            picker->hideList();
            picker->setText(QString());
            settle();
        },
        [&] { showListPainted(picker); });
    picker->hideList();
    return ms;
}

} // namespace Bench
