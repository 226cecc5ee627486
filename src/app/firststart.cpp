#include "firststart.h"

#include "core/version.h"
#include "demodata.h"
#include "store/store.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryFile>

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

namespace
{

// Why a folder cannot be made: the nearest part of the path that exists is a file, or a folder
// that cannot be written to.
QString whyNoFolder(const QString &folder)
{
    QFileInfo part(folder);
    while (!part.exists() && part.absolutePath() != part.absoluteFilePath())
        part = QFileInfo(part.absolutePath());
    const QString where = QDir::toNativeSeparators(part.absoluteFilePath());
    if (part.exists() && !part.isDir())
        return QStringLiteral("%1 is a file, not a folder.").arg(where);
    return QStringLiteral("Nothing can be written in %1.").arg(where);
}

// A folder this program may not write to (read only, or not its person's) fails here with the
// system's own words, before the database engine says only that it cannot open a file.
bool mayWriteIn(const QString &folder, QString *error)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("db.mdb.XXXXXX")));
    if (probe.open())
        return true;
    if (error)
        *error = QStringLiteral("Nothing can be written in the folder %1 (%2).")
                     .arg(QDir::toNativeSeparators(folder), probe.errorString());
    return false;
}

bool fill(FirstStart choice, const QString &path, QString *error)
{
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

} // namespace

bool createFirstPriceList(FirstStart choice, const QString &path, QString *error)
{
    if (choice == FirstStart::Quit)
        return false;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be created: %2")
                         .arg(QDir::toNativeSeparators(folder), whyNoFolder(folder));
        return false;
    }
    if (!mayWriteIn(folder, error))
        return false;
    const bool existed = QFileInfo::exists(path);
    QString why;
    if (fill(choice, path, &why))
        return true;
    // A price list made only in part (a full disk) would be found and opened at the next start as
    // if it were whole: it goes, with a journal left beside it. One that was there is never touched.
    if (!existed) {
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
    }
    // The engine's words for it are "database or disk is full"; for a new file it is the disk.
    if (why.contains(QLatin1String("disk is full"), Qt::CaseInsensitive))
        why = QStringLiteral("the disk is full (%1)").arg(why.trimmed());
    if (error)
        *error = QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), why);
    return false;
}
