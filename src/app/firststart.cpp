#include "firststart.h"

#include "core/version.h"
#include "demodata.h"
#include "store/store.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

QString firstStartQuestion(const DatabaseLocation::Found &found)
{
    QString text = QStringLiteral("No price list was found. Brasko looked for it in:\n");
    for (const QString &place : found.searched)
        text += QStringLiteral("    ") + QDir::toNativeSeparators(place) + QLatin1Char('\n');
    text += QStringLiteral("\nCreate a new price list in\n    %1 ?\n\n"
                           "The demo price list holds sample items to try the program with; the empty "
                           "one is filled with the price-list editor. From a terminal, "
                           "\"brasko-demo-db\" creates the demo one in the same place, and "
                           "\"brasko --database PATH\" opens one kept elsewhere.")
                .arg(QDir::toNativeSeparators(found.path));
    return text;
}

FirstStart askFirstStart(const DatabaseLocation::Found &found)
{
    QMessageBox box(QMessageBox::Question, QString::fromUtf16(AppTitle), firstStartQuestion(found));
    box.setObjectName(QStringLiteral("FirstStart"));
    QPushButton *demo = box.addButton(QStringLiteral("Create the &demo price list"), QMessageBox::AcceptRole);
    QPushButton *empty
        = box.addButton(QStringLiteral("Create an &empty price list"), QMessageBox::AcceptRole);
    QPushButton *quit = box.addButton(QStringLiteral("&Quit"), QMessageBox::RejectRole);
    box.setDefaultButton(demo);
    box.setEscapeButton(quit);
    box.exec();
    if (box.clickedButton() == demo)
        return FirstStart::CreateDemo;
    if (box.clickedButton() == empty)
        return FirstStart::CreateEmpty;
    return FirstStart::Quit;
}

bool createFirstPriceList(FirstStart choice, const QString &path, QString *error)
{
    if (choice == FirstStart::Quit)
        return false;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    if (!createPriceListDatabase(path, error))
        return false;
    if (choice == FirstStart::CreateEmpty)
        return true;
    Store store(path, QStringLiteral("firststart"));
    if (store.open() && fillDemoPriceList(store, error))
        return true;
    if (error && error->isEmpty())
        *error = store.lastError().text();
    return false;
}
