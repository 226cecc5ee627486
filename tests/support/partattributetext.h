#pragma once

// Part attributes as a line of text, for tests that give them as data: "key=value,key=value", a
// value starting with '?' a guess and '+' standing for the comma inside a list; and back as
// "key=value; key=value".
#include "core/partattributes.h"

#include <QStringList>
#include <QtGlobal>

inline PartAttributes attributesFromText(const QString &text)
{
    PartAttributes out;
    for (const QString &pair : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (pair.trimmed().isEmpty())
            continue;
        const auto attribute = attributeFromKey(pair.section(QLatin1Char('='), 0, 0).trimmed());
        if (!attribute)
            qFatal("unknown attribute in %s", qPrintable(pair));
        QString value
            = pair.section(QLatin1Char('='), 1).trimmed().replace(QLatin1Char('+'), QLatin1Char(','));
        const bool guessed = value.startsWith(QLatin1Char('?'));
        out.set(*attribute, readAttribute(*attribute, guessed ? value.mid(1) : value).value.value_or(value),
            guessed);
    }
    return out;
}

inline QString attributesText(const PartAttributes &attributes)
{
    QStringList out;
    for (auto it = attributes.values().cbegin(); it != attributes.values().cend(); ++it)
        out << QLatin1String(attributeInfo(it.key()).key) + QLatin1Char('=') + it->text;
    return out.join(QLatin1String("; "));
}
