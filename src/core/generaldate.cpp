#include "generaldate.h"

#include <QRegularExpression>

QString GeneralDateText(const QDateTime &when, const QLocale &locale)
{
    const QString date = locale.toString(when.date(), QLocale::ShortFormat);
    const QTime t = when.time();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0)
        return date;
    // Qt's long time ends in the zone name ("t"); the general form never shows it.
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b\\s*"));
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.replace(zone, QStringLiteral(" "));
    format = format.trimmed();
    return date + QLatin1Char(' ') + locale.toString(when.time(), format);
}
