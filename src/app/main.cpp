#include "commandline.h"
#include "core/version.h"
#include "startup.h"

#include <QApplication>
#include <QTextStream>

namespace
{

void setNames()
{
    QCoreApplication::setApplicationName(QString::fromUtf16(AppTitle));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(Version::Major).arg(Version::Minor).arg(Version::Revision));
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
    // Read before any window system is needed, so --help, --version and a mistake are answered
    // on a terminal without a display too.
    CommandLine line;
    {
        QCoreApplication reader(argc, argv);
        setNames();
        line = parseCommandLine(reader.arguments());
    }
    if (!line.run)
        return answer(line);
    QApplication app(argc, argv);
    setNames();
    StartOptions options;
    options.databasePath = line.databasePath;
    return Main(app, options);
}
