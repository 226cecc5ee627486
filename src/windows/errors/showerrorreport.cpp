#include "showerrorreport.h"

#include "core/generaldate.h"
#include "errorreport.h"

#include <QApplication>
#include <QPointer>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace
{

ErrorReporting::ShowHook &showHook()
{
    static ErrorReporting::ShowHook hook;
    return hook;
}

// One step of the report: whatever goes wrong inside it stays inside it.
template <typename Step> void guarded(Step &&step) noexcept
{
    try {
        step();
    } catch (...) {
    }
}

bool isOwnName(const QString &name)
{
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

// Plain grouping widgets hold controls but never are the active control themselves.
bool isContainer(const QWidget *w)
{
    if (w->isWindow())
        return true;
    const char *cls = w->metaObject()->className();
    for (const char *container : { "QWidget", "QFrame", "QGroupBox", "QStackedWidget", "QTabWidget",
             "QScrollArea", "QSplitter", "QToolBox" }) {
        if (qstrcmp(cls, container) == 0)
            return true;
    }
    return false;
}

} // namespace

namespace ErrorReporting
{

ShowHook setShowHook(ShowHook hook)
{
    ShowHook previous = std::move(showHook());
    showHook() = std::move(hook);
    return previous;
}

QString operatorName()
{
    for (const char *variable : { "USER", "LOGNAME", "USERNAME" }) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return name;
    }
#ifdef Q_OS_UNIX
    // Services and containers often start programs without those variables.
    if (const passwd *entry = ::getpwuid(::geteuid()))
        return QString::fromLocal8Bit(entry->pw_name);
#endif
    return {};
}

QString activeControlName(const QWidget *form)
{
    if (!form)
        return {};
    const QWidget *focus = form->focusWidget();
    if (!focus)
        return {};
    // Walk up to the outermost named control below the nearest container: the text box inside a
    // picker names the picker, while a frame around the picker is not a control of its own.
    const QWidget *named = nullptr;
    for (const QWidget *w = focus; w && w != form && !isContainer(w); w = w->parentWidget()) {
        if (isOwnName(w->objectName()))
            named = w;
    }
    return named ? named->objectName() : focus->objectName();
}

} // namespace ErrorReporting

void ShowErrorReport(QWidget *form, const QString &number, const QString &description, const QString &source)
{
    QPointer<ErrorReport> report;
    guarded([&] { report = new ErrorReport(form); });
    if (!report)
        return;
    guarded([&] { report->setDescription(description); });
    guarded([&] { report->setSource(source); });
    guarded([&] { report->setWindowTitle(QLatin1String("Error #") + number); });
    guarded([&] {
        const QString control = ErrorReporting::activeControlName(form);
        if (!control.isEmpty())
            report->setActiveControlLine(QLatin1String("Active Control:") + control);
    });
    guarded([&] {
        if (form)
            report->setScreenLine(QLatin1String("Form: ") + form->objectName());
    });
    guarded([&] { report->setOperatorLine(QLatin1String("Operator:") + ErrorReporting::operatorName()); });
    guarded([&] { report->setDateTimeLine(GeneralDateText(QDateTime::currentDateTime())); });
    guarded([&] {
        if (const ErrorReporting::ShowHook &hook = showHook())
            hook(*report);
        else
            report->exec();
    });
    // The window may have gone with its parent while it was shown.
    guarded([&] { delete report.data(); });
}
