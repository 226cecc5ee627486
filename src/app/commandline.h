#pragma once

#include <QString>
#include <QStringList>

// What the command line asked for. --help and --version answer on standard output and end the run;
// a mistake is told on standard error with exit code 2 (the usual code for wrong usage).
struct CommandLine {
    bool run = true; // false: print output/error and end with exitCode
    int exitCode = 0;
    QString output;
    QString error;
    QString databasePath; // --database; empty: the usual places
};

// arguments as QCoreApplication::arguments() gives them, the program's name first.
CommandLine parseCommandLine(const QStringList &arguments);
