#include "commandline.h"
#include "core/version.h"
#include "startup.h"

#include <QApplication>
#include <QTextStream>

#include <cstring>

namespace
{

void setNames()
{
    QCoreApplication::setApplicationName(QString::fromUtf16(AppTitle));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(Version::Major).arg(Version::Minor).arg(Version::Revision));
}

// --help and --version answer without a screen, so they never need a display to connect to.
bool answersWithoutWindow(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : { "-h", "--help", "-?", "--help-all", "-v", "--version" })
            if (std::strcmp(argv[i], option) == 0)
                return true;
    }
    return false;
}

int answer(const CommandLine &line)
{
    QTextStream(stdout) << line.output;
    QTextStream(stderr) << line.error;
    return line.exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    if (answersWithoutWindow(argc, argv)) {
        QCoreApplication app(argc, argv);
        setNames();
        return answer(parseCommandLine(app.arguments()));
    }
    QApplication app(argc, argv);
    setNames();
    // QApplication has taken its own options (-platform, -style ...) out of the arguments by now.
    const CommandLine line = parseCommandLine(QApplication::arguments());
    if (!line.run)
        return answer(line);
    StartOptions options;
    options.databasePath = line.databasePath;
    return Main(app, options);
}
