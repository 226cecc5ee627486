#include "startup.h"

#include "core/version.h"
#include "store/store.h"
#include "windows/main/imrform.h"
#include "windows/main/offeractions.h"
#include "windowwiring.h"

#include <QApplication>
#include <QMessageBox>

void showStartupFailure(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QString::fromUtf16(AppTitle), message, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("StartupFailure"));
    box.exec();
}

int Main(
    QApplication &app, const std::function<void(const QString &)> &showFailure, const QString &databasePath)
{
    Store de1(databasePath.isEmpty() ? Store::defaultDatabasePath() : databasePath);
    IMRForm form(&de1);
    connectWindows(form);
    if (!form.Form_Load()) {
        (showFailure ? showFailure : showStartupFailure)(form.connectionFailureMessage());
        return 1;
    }
    form.show();
    form.offerActions()->warnIfNewerSchema();
    return app.exec();
}
