#include "commandline.h"

#include "store/serveraddress.h"

#include <QCommandLineParser>
#include <QCoreApplication>

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Builds and prints priced offers and installment plans from a shop's price list.\n\n"
                       "Without --database the price list is db.mdb beside the program when there is one,\n"
                       "else the file named by database/path in brasko/brasko.conf (~/.config or /etc/xdg),\n"
                       "else $XDG_DATA_HOME/brasko/db.mdb (~/.local/share/brasko/db.mdb).\n"
                       "Counters sharing one database give postgresql://user@host[:port]/dbname instead of\n"
                       "a path, here or as database/server in brasko.conf (beside the program or in\n"
                       "~/.config/brasko); the password comes from ~/.pgpass or PGPASSWORD, never from\n"
                       "the address."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption database({ QStringLiteral("d"), QStringLiteral("database") },
        QStringLiteral("Open the price list at <path>, or on the PostgreSQL database\n"
                       "postgresql://user@host[:port]/dbname."),
        QStringLiteral("path"));
    parser.addOption(database);
    // Qt's own options are taken by QApplication; known here too, so they are not called mistakes
    // when the command line is read before there is a window system to connect to.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char *name : { "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
             "qwindowicon", "qwindowtitle", "session", "display", "geometry", "style", "stylesheet" }) {
        QCommandLineOption qtOption(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
    for (const char *name : { "reverse", "widgetcount", "nograb", "dograb", "sync" }) {
        QCommandLineOption qtOption(QString::fromLatin1(name));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }

    CommandLine result;
    const auto stop = [&](int code) {
        result.run = false;
        result.exitCode = code;
        return result;
    };
    if (!parser.parse(arguments)) {
        // Qt repeats a mistyped option whole ("-dpostgresql://..."), address and all.
        result.error
            = withoutPassword(parser.errorText()) + QStringLiteral("\nTry '--help' for the options.\n");
        return stop(2);
    }
    if (parser.isSet(help)) {
        result.output = parser.helpText();
        return stop(0);
    }
    if (parser.isSet(version)) {
        result.output = QCoreApplication::applicationName() + QLatin1Char(' ')
            + QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return stop(0);
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = QStringLiteral("Unexpected argument '%1'; to open a price list use --database %1.\n")
                           .arg(withoutPassword(parser.positionalArguments().constFirst()));
        return stop(2);
    }
    if (parser.isSet(database)) {
        result.databasePath = parser.value(database).trimmed();
        if (result.databasePath.isEmpty()) {
            result.error = QStringLiteral("--database needs the path of a price list.\n");
            return stop(2);
        }
        QString why;
        if (isServerAddressText(result.databasePath) && !parseServerAddress(result.databasePath, &why)) {
            result.databasePath.clear();
            result.error = why + QLatin1Char('\n');
            return stop(2);
        }
    }
    return result;
}
