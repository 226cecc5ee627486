#include "databaselocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace DatabaseLocation
{

namespace
{

    const QString FileName = QStringLiteral("db.mdb");

} // namespace

QString configuredPath(const QString &configFile)
{
    if (configFile.isEmpty() || !QFileInfo::exists(configFile))
        return {};
    const QSettings settings(configFile, QSettings::IniFormat);
    const QString value = settings.value(QStringLiteral("database/path")).toString().trimmed();
    if (value.isEmpty())
        return {};
    return QDir::cleanPath(QFileInfo(configFile).absoluteDir().absoluteFilePath(value));
}

QString configuredServer(const QString &configFile)
{
    if (configFile.isEmpty() || !QFileInfo::exists(configFile))
        return {};
    const QSettings settings(configFile, QSettings::IniFormat);
    return settings.value(QStringLiteral("database/server")).toString().trimmed();
}

Places currentPlaces()
{
    Places places;
    const QDir programFolder(QCoreApplication::applicationDirPath());
    places.besideExecutable = programFolder.filePath(FileName);
    QString configFile = programFolder.filePath(QStringLiteral("brasko.conf"));
    if (!QFileInfo::exists(configFile))
        configFile = QStandardPaths::locate(
            QStandardPaths::GenericConfigLocation, QStringLiteral("brasko/brasko.conf"));
    places.configured = configuredPath(configFile);
    places.server = configuredServer(configFile);
    // GenericDataLocation is $XDG_DATA_HOME (or ~/.local/share): the person's own, always writable.
    places.userData = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                          .filePath(QStringLiteral("brasko/db.mdb"));
    return places;
}

Found resolve(const Places &places, const std::function<bool(const QString &)> &exists)
{
    const auto there = [&](const QString &path) { return exists ? exists(path) : QFileInfo(path).isFile(); };
    Found found;
    // A shop that named its server means it: the counters must never drift apart on local files.
    if (!places.server.isEmpty()) {
        found.path = places.server;
        found.exists = true;
        return found;
    }
    QStringList order { places.besideExecutable };
    if (!places.configured.isEmpty())
        order << places.configured;
    order << places.userData;
    for (const QString &path : order) {
        if (path.isEmpty() || found.searched.contains(path))
            continue;
        found.searched << path;
        if (there(path)) {
            found.path = path;
            found.exists = true;
            return found;
        }
    }
    // Nothing yet: a shop's configured place wins over the person's own folder.
    found.path = places.configured.isEmpty() ? places.userData : places.configured;
    return found;
}

Found find()
{
    return resolve(currentPlaces());
}

} // namespace DatabaseLocation
