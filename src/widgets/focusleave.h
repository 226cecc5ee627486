#pragma once

#include <QFocusEvent>

// Whether a control losing the focus is the person moving on to another control of its window. A
// menu or list opening over the window, the menu bar taking the keys (Alt) and another window or
// program becoming active take the focus only for a while: it comes back to the same control, which
// was never left.
inline bool leavesForAnotherControl(const QFocusEvent &event)
{
    switch (event.reason()) {
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
    case Qt::ActiveWindowFocusReason:
        return false;
    default:
        return true;
    }
}
