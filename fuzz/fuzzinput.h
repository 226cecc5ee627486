#pragma once

// Splitting a fuzzer's bytes into the few arguments a routine takes.

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace Fuzz
{

// The locales the program meets: the point and comma decimal separators, the point and blank
// (narrow no-break space) group separators, Arabic-Indic digits.
inline const QList<QLocale> &locales()
{
    static const QList<QLocale> all = {
        QLocale::c(),
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France),
        QLocale(QLocale::Arabic, QLocale::Egypt),
        QLocale(QLocale::Hindi, QLocale::India),
        QLocale(QLocale::German, QLocale::Switzerland),
    };
    return all;
}

// The first byte picks a locale and flags; the rest is cut at 0x1f bytes into UTF-8 texts.
struct Input {
    QLocale locale;
    uint8_t flags = 0;
    QList<QString> texts;

    Input(const uint8_t *data, size_t size, int wanted)
    {
        if (size > 0) {
            locale = locales().at(data[0] % locales().size());
            flags = data[0];
            ++data;
            --size;
        } else {
            locale = QLocale::c();
        }
        const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
        const QList<QByteArray> parts = bytes.split('\x1f');
        for (int i = 0; i < wanted; ++i)
            texts << (i < parts.size() ? QString::fromUtf8(parts[i]) : QString());
    }
};

} // namespace Fuzz

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);              \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)
