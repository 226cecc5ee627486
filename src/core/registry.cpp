#include "registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>

namespace
{

// The buffer the value is read into; longer values are not read at all.
constexpr qsizetype ValueBufferSize = 1024;

// Registry files larger than this are taken as damaged rather than read into memory.
constexpr qint64 MaxRegistryFileSize = qint64(256) * 1024 * 1024;

// Follows the components below an existing folder, each matched without regard to case when the
// exact name is not there, as Windows paths are.
QString resolveBelow(const QString &base, QStringView rest)
{
    QString current = base;
    const auto parts = rest.split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts);
    for (QStringView part : parts) {
        const QString exact = current + u'/' + part;
        if (QFileInfo::exists(exact)) {
            current = exact;
            continue;
        }
        QString found;
        const QStringList entries
            = QDir(current).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &entry : entries) {
            if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                found = entry;
                break;
            }
        }
        current += u'/' + (found.isEmpty() ? part.toString() : found);
    }
    return current;
}

} // namespace

bool isWindowsDrivePath(QStringView path)
{
    return path.size() >= 2 && path.at(0).isLetter() && path.at(0).unicode() < 0x80 && path.at(1) == u':'
        && (path.size() == 2 || path.at(2) == u'\\' || path.at(2) == u'/');
}

RegistrySource::~RegistrySource() = default;

QString RegistrySource::localPath(const QString &registryPath) const
{
    return registryPath;
}

RegistryFileSource::RegistryFileSource(QStringList files)
    : m_files(std::move(files))
    , m_loaded(m_files.size())
{
}

QString RegistryFileSource::defaultFile()
{
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    const QString folder = prefix.isEmpty() ? QDir::homePath() + u"/.wine" : prefix;
    return folder + u"/system.reg";
}

const RegistryFileModel *RegistryFileSource::model(qsizetype index)
{
    const QFileInfo info(m_files.at(index));
    Loaded &loaded = m_loaded[index];
    if (!info.isFile() || info.size() > MaxRegistryFileSize) {
        loaded = Loaded();
        return nullptr;
    }
    if (loaded.size == info.size() && loaded.modified == info.lastModified())
        return &loaded.model;
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly)) {
        loaded = Loaded();
        return nullptr;
    }
    loaded.model = parseRegistryFile(file.readAll());
    loaded.size = info.size();
    loaded.modified = info.lastModified();
    return &loaded.model;
}

std::optional<RegistryData> RegistryFileSource::queryValue(
    quint32 root, const QString &keyName, const QString &valueName, qsizetype capacity)
{
    // The names reach the registry through the 8-bit API; take them as it would receive them.
    const QString key = QString::fromLocal8Bit(keyName.toLocal8Bit());
    const QString name = QString::fromLocal8Bit(valueName.toLocal8Bit());
    for (qsizetype i = m_files.size() - 1; i >= 0; --i) {
        const RegistryFileModel *m = model(i);
        if (!m)
            continue;
        const RegistryKey *k = findRegistryKey(*m, root, key);
        if (!k)
            continue;
        const RegistryValue *v = findRegistryValue(*k, name);
        if (!v)
            continue;
        RegistryData out;
        out.type = v->type;
        if (Registry::isTextType(v->type)) {
            // Kept as UTF-16, handed out in the system's 8-bit encoding (an odd last byte is lost).
            const qsizetype units = v->data.size() / 2;
            QString text(units, Qt::Uninitialized);
            for (qsizetype u = 0; u < units; ++u)
                text[u] = QChar(qFromLittleEndian<quint16>(v->data.constData() + 2 * u));
            out.bytes = text.toLocal8Bit();
        } else {
            out.bytes = v->data;
        }
        if (out.bytes.size() > capacity)
            return std::nullopt;
        return out;
    }
    return std::nullopt;
}

QString RegistryFileSource::localPath(const QString &registryPath) const
{
    if (isWindowsDrivePath(registryPath)) {
        for (const QString &file : m_files) {
            const QString drive
                = QFileInfo(file).absolutePath() + u"/dosdevices/" + registryPath.at(0).toLower() + u':';
            if (QFileInfo(drive).isDir())
                return resolveBelow(drive, QStringView(registryPath).sliced(2));
        }
    }
    QString local = registryPath;
    local.replace(u'\\', u'/');
    return local;
}

std::unique_ptr<RegistrySource> createSystemRegistrySource()
{
#ifdef Q_OS_WIN
    return createWindowsRegistrySource();
#else
    return std::make_unique<RegistryFileSource>(QStringList { RegistryFileSource::defaultFile() });
#endif
}

bool GetKeyValue(RegistrySource &source, quint32 keyRoot, const QString &keyName, const QString &subKeyRef,
    QString &keyVal)
{
    const std::optional<RegistryData> data = source.queryValue(keyRoot, keyName, subKeyRef, ValueBufferSize);
    if (!data || data->bytes.size() > ValueBufferSize) {
        keyVal.clear();
        return false;
    }
    QByteArray bytes = data->bytes;
    if (!bytes.isEmpty() && bytes.back() == '\0')
        bytes.chop(1);

    switch (data->type) {
    case Registry::TypeSz:
        keyVal = QString::fromLocal8Bit(bytes);
        break;
    case Registry::TypeDword: {
        // The buffer starts all zero, so a short or cut value reads as its bytes padded with zeros.
        quint32 number = 0;
        for (qsizetype i = 0; i < 4 && i < data->bytes.size(); ++i)
            number |= quint32(uchar(data->bytes.at(i))) << (8 * i);
        keyVal = QString::number(number);
        break;
    }
    default:
        break; // other types leave the caller's text as it was
    }
    return true;
}
