#include "startup.h"

#include "core/version.h"
#include "store/store.h"
#include "widgets/drawniconstyle.h"
#include "windows/main/mainwindow.h"
#include "windows/main/offeractions.h"
#include "windowwiring.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QMessageBox>
#include <QTextStream>

#include <thread>

namespace
{

// The path to open: the given one, or the one found in the usual places. When none exists yet the
// person may create one there; declining leaves the path missing, so the usual failure follows.
// When the price list cannot be made, the person is told why first (a folder in the way, a full
// disk), then the usual failure follows.
QString chooseDatabase(const StartOptions &options, const std::function<void(const QString &)> &showFailure)
{
    if (!options.databasePath.isEmpty())
        return options.databasePath;
    const DatabaseLocation::Found found = options.locate ? options.locate() : DatabaseLocation::find();
    if (found.exists)
        return found.path;
    const FirstStart choice = (options.askFirstStart ? options.askFirstStart : askFirstStart)(found);
    QString error;
    if (choice != FirstStart::Quit && !createFirstPriceList(choice, found.path, &error)) {
        QTextStream(stderr) << "brasko: no price list was created in " << found.path << ": " << error << '\n';
        showFailure(QStringLiteral("No price list was created in %1.\n\n%2")
                        .arg(QDir::toNativeSeparators(found.path), error));
    }
    return found.path;
}

} // namespace

void showStartupFailure(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QString::fromUtf16(AppTitle), message, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("StartupFailure"));
    box.exec();
}

int Main(QApplication &app, const StartOptions &options)
{
    const auto showFailure = options.showFailure ? options.showFailure : showStartupFailure;
    QApplication::setStyle(new DrawnIconStyle);
    // The window's first text needs the font database: fontconfig's configuration and every
    // installed face, a quarter of the start. It is read on another core while the database
    // driver loads; should the window get to its first text sooner, that waits on the font
    // database's own lock.
    std::jthread fonts([] { QFontDatabase::families(); });
    Store de1(chooseDatabase(options, showFailure));
    de1.loadDriver();
    MainWindow form(&de1);
    connectWindows(form);
    if (!form.load()) {
        showFailure(form.connectionFailureMessage());
        return 1;
    }
    form.show();
    form.offerActions()->warnIfNewerSchema();
    return app.exec();
}

int Main(
    QApplication &app, const std::function<void(const QString &)> &showFailure, const QString &databasePath)
{
    StartOptions options;
    options.showFailure = showFailure;
    options.databasePath = databasePath;
    return Main(app, options);
}
