#pragma once

#include <QString>

#include <functional>

class QApplication;

// The start routine: creates the store and the main window, runs the load sequence and shows the
// window until it closes. When the database cannot be opened, showFailure gets the three-line
// message instead and the window is never shown. Returns the process exit code.
// databasePath defaults to db.mdb beside the executable.
int Main(QApplication &app, const std::function<void(const QString &)> &showFailure = {},
    const QString &databasePath = QString());

// Shows the start-up failure message in a box titled with the application title.
void showStartupFailure(const QString &message);
