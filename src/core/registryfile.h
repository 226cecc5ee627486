#pragma once

// Reader of registry files in their text forms, for platforms that have no registry of their own.
//
// Three forms are understood:
//  - "REGEDIT4" exports: 8-bit text; string data given in hex are 8-bit bytes.
//  - "Windows Registry Editor Version 5.00" exports: usually UTF-16LE with a byte-order mark;
//    string data given in hex are UTF-16LE.
//  - Wine's own hive files ("WINE REGISTRY Version 2", e.g. system.reg): key names relative to the
//    root named in the ";; All keys relative to" line (HKEY_LOCAL_MACHINE when absent), written with
//    C-like escapes (so the separator appears as a doubled backslash), a timestamp after the
//    closing bracket, '#' lines for metadata, string data given in hex as UTF-16LE.
//
// The model holds each value the way the registry itself keeps it: string data as UTF-16LE bytes
// (with the terminating zero where the file gives one: a quoted text always has it), other data as
// the bytes given. Key and value names are matched without regard to case.
//
// The parser never fails: lines it cannot make sense of are passed over and counted, so any byte
// sequence gives a (possibly empty) model. Deletion entries ("[-key]" and "name"=-) describe
// changes to another registry rather than content: a deleted value is dropped from the model, a
// deleted key's section is passed over.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace Registry
{

// The predefined roots, by the numbers of their handles.
inline constexpr quint32 ClassesRoot = 0x80000000;
inline constexpr quint32 CurrentUser = 0x80000001;
inline constexpr quint32 LocalMachine = 0x80000002;
inline constexpr quint32 Users = 0x80000003;
inline constexpr quint32 CurrentConfig = 0x80000005;

// Value types.
inline constexpr quint32 TypeNone = 0;
inline constexpr quint32 TypeSz = 1;
inline constexpr quint32 TypeExpandSz = 2;
inline constexpr quint32 TypeBinary = 3;
inline constexpr quint32 TypeDword = 4;
inline constexpr quint32 TypeMultiSz = 7;
inline constexpr quint32 TypeQword = 11;

// Whether the type holds text (kept as UTF-16 by the registry, converted by the 8-bit API).
bool isTextType(quint32 type);

// The root for a name such as "HKEY_LOCAL_MACHINE" or "HKLM" (any case); nullopt when unknown.
std::optional<quint32> rootFromName(QStringView name);

} // namespace Registry

struct RegistryValue {
    QString name; // empty for the key's default value ("@")
    quint32 type = Registry::TypeNone;
    QByteArray data;
};

struct RegistryKey {
    quint32 root = 0;
    QString path; // below the root, components separated by single backslashes
    QList<RegistryValue> values;
    QHash<QString, qsizetype> valueIndex; // case-folded name -> position in values
};

struct RegistryFileModel {
    enum class Format { Unknown, Regedit4, Regedit5, Wine };
    Format format = Format::Unknown;
    QList<RegistryKey> keys;
    QHash<QString, qsizetype> keyIndex; // see registryKeyId()
    int skippedLines = 0; // lines passed over as malformed or unsupported
};

// Parses the whole file content. Never throws, never fails.
RegistryFileModel parseRegistryFile(const QByteArray &content);

// Lookups; null when there is no such key or value. The path is split at backslashes, empty
// components ignored, so "A\B", "A\\B" and "\A\B\" name the same key.
const RegistryKey *findRegistryKey(const RegistryFileModel &model, quint32 root, QStringView path);
const RegistryValue *findRegistryValue(const RegistryKey &key, QStringView name);

// The identity under which a key is indexed: its root and case-folded, normalised path.
QString registryKeyId(quint32 root, QStringView path);
