#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// How the store's tables bind texts to a statement's placeholders and read them back: one rule
// for every table, so a value goes in and comes out alike whichever class wrote it.
namespace BoundValue
{

// A text as a bound value. The engine binds a null QString as NULL, so an empty text is bound as
// an empty one: an empty id or description is stored and found as '', as it was typed.
inline QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

// A text that may hold no value: nullopt is bound as NULL (of the text type, which both engines
// take for a text column).
inline QVariant nullable(const std::optional<QString> &value)
{
    return value ? text(*value) : QVariant(QMetaType(QMetaType::QString));
}

// A column read back: NULL is no text (nullopt), anything else its text.
inline std::optional<QString> textOf(const QVariant &value)
{
    return value.isNull() ? std::nullopt : std::optional<QString>(value.toString());
}

inline std::optional<QString> textOf(const std::optional<QVariant> &value)
{
    return value ? textOf(*value) : std::nullopt;
}

} // namespace BoundValue
