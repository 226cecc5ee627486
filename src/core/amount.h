#pragma once

#include "decimal.h"

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

// Amount texts: money written with exactly two digits after a point ("0.00", "125.50").
// Both routines work on the text alone: digits after the second decimal are cut, never rounded.
// The numeric test follows the given locale (the system's by default); the point they look for
// is always '.', whatever the locale's decimal separator is.
QString FormatAmount(const QString &s, const QLocale &locale = QLocale());
QString FormatAmountOrEmpty(const QString &s, const QLocale &locale = QLocale());

namespace Amounts
{

// The locale-aware reading: surrounding blanks, a sign, digits in groups of three with the
// locale's group separator, the locale's decimal separator and an exponent. A text that is not
// wholly a number gives nullopt.
std::optional<Decimal> localeNumber(QStringView text, const QLocale &locale = QLocale());
bool isNumeric(QStringView text, const QLocale &locale = QLocale());

// The leading-number reading: the number a text begins with, '.' as the decimal point whatever
// the locale, blanks ignored; 0 when the text does not begin with a number. Digit groups of the
// locale (when its group separator is not '.') count as part of the number when correctly
// grouped, so "1,200" reads 1200 like the amount shows, while "12.5 pounds" reads 12.5.
Decimal leadingNumber(QStringView text, const QLocale &locale = QLocale());

// The text step of the two routines, for a text already known to be numeric: pads to or cuts at
// two characters after the first '.', or appends ".00" when there is none.
QString padOrCut(const QString &numeric);

} // namespace Amounts
