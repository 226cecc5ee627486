#pragma once

#include "firststart.h"

#include <QString>

#include <functional>

class QApplication;

// How a run starts. Every member may stay empty: then the price list is looked for in the usual
// places (DatabaseLocation::find), the person is asked with a dialog when there is none, and a
// failure is shown in a message box.
struct StartOptions {
    std::function<void(const QString &)> showFailure;
    QString databasePath; // given (command line, tests): opened as it is, nobody is asked
    std::function<DatabaseLocation::Found()> locate;
    AskFirstStart askFirstStart;
};

// The start routine: creates the store and the main window, runs the load sequence and shows the
// window until it closes. When the database cannot be opened, showFailure gets the three-line
// message instead and the window is never shown; when a first price list could not be created,
// it gets the reason before that. Returns the process exit code.
int Main(QApplication &app, const StartOptions &options);

// The same with only the failure hook and the path given.
int Main(QApplication &app, const std::function<void(const QString &)> &showFailure = {},
    const QString &databasePath = QString());

// Shows the start-up failure message in a box titled with the application title.
void showStartupFailure(const QString &message);
