#pragma once

// Opening a row's picker list, timed the same way wherever the price list comes from.

#include "benchutil.h"
#include "widgets/gridcombo.h"

namespace Bench
{

// The median time from asking a closed, empty picker for its list until the list is shown.
inline double pickerOpenMs(GridCombo *picker, int runs)
{
    const double ms = medianMs(
        runs,
        [&] {
            picker->hideList();
            picker->setText(QString());
            settle();
        },
        [&] {
            picker->showList();
            settle();
        });
    picker->hideList();
    return ms;
}

} // namespace Bench
