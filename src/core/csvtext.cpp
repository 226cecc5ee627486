#include "csvtext.h"

QString CsvText::field(const QString &text, QChar delimiter)
{
    const bool quoted = text.contains(delimiter) || text.contains(u'"') || text.contains(u'\n')
        || text.contains(u'\r') || (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quoted)
        return text;
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar c : text) {
        if (c == u'"')
            out += u'"';
        out += c;
    }
    out += u'"';
    return out;
}

QString CsvText::line(const QStringList &fields, QChar delimiter)
{
    QString out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += delimiter;
        out += field(fields.at(i), delimiter);
    }
    out += QLatin1String("\r\n");
    return out;
}
