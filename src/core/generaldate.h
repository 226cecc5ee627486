#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// The system's general date-and-time text: the locale's short date, one blank and its long time
// (without the time-zone name Qt's long form adds); the date alone when the time is exactly
// midnight. Used for the report's time line and for the price-list date stamp.
QString GeneralDateText(const QDateTime &when, const QLocale &locale = QLocale());
