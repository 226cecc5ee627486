#pragma once

#include <QString>

#include <functional>

class ErrorReport;
class QWidget;

// Reports a trapped error: fills a fresh ErrorReport with the description, the source, the caption
// "Error #<number>", the active control and the name of form, the operator and the time, and shows
// it modally over form. Returns when the report is dismissed (or never, when the operator stops the
// program from it). Every step is guarded on its own, so the routine never fails its caller: a step
// that goes wrong leaves its line empty and the next step runs.
void ShowErrorReport(QWidget *form, const QString &number, const QString &description, const QString &source);

namespace ErrorReporting
{

// Replaces the modal display: the hook receives the filled window instead of it being shown (tests
// read it and press its buttons). Returns the hook it replaced; an empty hook restores the display.
using ShowHook = std::function<void(ErrorReport &report)>;
ShowHook setShowHook(ShowHook hook);

// The operator line's value: the name of the user the program runs as (from the environment, else
// the system's user database); empty when neither knows it.
QString operatorName();

// The name shown on the active-control line: form's focus widget, or the nearest of its ancestors
// inside form that carries a name of the program's own (inner parts of a compound control, such as
// the text box of a picker, are named by the control). Empty when form has no focus widget.
QString activeControlName(const QWidget *form);

} // namespace ErrorReporting
