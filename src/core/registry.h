#pragma once

// Read-only access to registry values.
//
// GetKeyValue applies the program's reading rules (a 1024-byte buffer, the terminating zero cut,
// texts and 32-bit numbers turned into text) to whatever a RegistrySource hands it. There are two
// sources: the platform's registry where the program is built for Windows (registry_win.cpp), and
// elsewhere a registry file in text form (RegistryFileSource), by default Wine's system.reg of the
// prefix named by $WINEPREFIX, else of ~/.wine. The about window takes its source from
// createSystemRegistrySource() and tests hand it their own.

#include "registryfile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

struct RegistryData {
    quint32 type = Registry::TypeNone;
    QByteArray bytes; // as the 8-bit query gives them: texts in the system's 8-bit encoding
};

class RegistrySource
{
public:
    virtual ~RegistrySource();

    // Opens the key for reading and queries the value into a buffer of `capacity` bytes, the way
    // RegOpenKeyExA / RegQueryValueExA / RegCloseKey do. nullopt when the key cannot be opened,
    // the value is missing or its data do not fit.
    virtual std::optional<RegistryData> queryValue(
        quint32 root, const QString &keyName, const QString &valueName, qsizetype capacity)
        = 0;

    // The local file a path read from this registry names. The platform's own registry paths are
    // local already; a Wine registry's "C:\..." paths lie below the prefix (see RegistryFileSource).
    virtual QString localPath(const QString &registryPath) const;
};

// A registry given by registry files (see registryfile.h). Files are read when first needed and
// again when they change on disk; a file that is missing, unreadable or larger than 256 MiB adds
// nothing. Later files win over earlier ones for the same value.
class RegistryFileSource final : public RegistrySource
{
public:
    explicit RegistryFileSource(QStringList files);

    // The default place: $WINEPREFIX/system.reg when $WINEPREFIX is set, else ~/.wine/system.reg.
    static QString defaultFile();

    std::optional<RegistryData> queryValue(
        quint32 root, const QString &keyName, const QString &valueName, qsizetype capacity) override;

    // A drive path "X:\dir\file" is looked up as <folder of the file>/dosdevices/x:/dir/file, the
    // way Wine maps its drives, each component matched without regard to case as Windows would;
    // when no such prefix folder exists, or for any other path, the backslashes become slashes.
    QString localPath(const QString &registryPath) const override;

    QStringList files() const { return m_files; }

private:
    struct Loaded {
        QDateTime modified;
        qint64 size = -1;
        RegistryFileModel model;
    };
    const RegistryFileModel *model(qsizetype index);

    QStringList m_files;
    QList<Loaded> m_loaded;
};

// "C:\...", "d:/...": a path that starts with a drive letter.
bool isWindowsDrivePath(QStringView path);

// The platform's registry where there is one, the default registry file elsewhere.
std::unique_ptr<RegistrySource> createSystemRegistrySource();

#ifdef Q_OS_WIN
std::unique_ptr<RegistrySource> createWindowsRegistrySource();
#endif

// Reads one value as text. True when it was read: REG_SZ gives its text (without the terminating
// zero, when there is one), REG_DWORD its number in decimal (unsigned), any other type leaves
// keyVal as it was passed in. False, with keyVal emptied, when the key cannot be opened for
// reading, the value is missing or it is longer than 1024 bytes.
bool GetKeyValue(RegistrySource &source, quint32 keyRoot, const QString &keyName, const QString &subKeyRef,
    QString &keyVal);
