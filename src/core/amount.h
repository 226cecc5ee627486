#pragma once

#include "decimal.h"

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

// Amount texts: money written with exactly two digits after a point ("0.00", "125.50").
// The digits after the second decimal are cut, never rounded. A text whose point is '.' and that
// has no exponent is padded or cut as it stands (blanks, sign and digit groups kept); any other
// number (the locale's own decimal sign, an exponent, Arabic-Indic digits) is first written in its
// plain decimal form with '.', so the result always reads back as the same number, in every
// locale. A number outside the amount range (see below) is returned unchanged: the caller refuses
// it with a message rather than showing a mangled figure.
QString FormatAmount(const QString &s, const QLocale &locale = QLocale());
QString FormatAmountOrEmpty(const QString &s, const QLocale &locale = QLocale());

namespace Amounts
{

// How every number text is read, in both readings below:
//  - '.' is always the decimal point: the program writes every amount with it;
//  - the locale's own decimal sign ("," in de_DE and fr_FR, U+066B in ar_EG) is the point too, but
//    only in a text that holds no '.';
//  - the locale's digit-group separator counts only where it cannot be mistaken for the point:
//    never when it is '.' (de_DE), and only in groups of three. Where the locale groups with a
//    blank (fr_FR), a plain or no-break blank is taken for it as well;
//  - digits are ASCII or Arabic-Indic; an exponent ('e', 'E' or the locale's own) is allowed.
//
// The amount range: an amount must be below 10^21 in magnitude, i.e. have at most 21 digits before
// the point. That holds every price of any currency, hyperinflated ones included, with room to
// spare; a text beyond it is a slip (an exponent typo, a pasted measurement), not a price. Within
// the range every digit is kept: sums are exact and shown in plain decimal form.
inline constexpr int maxIntegerDigits = 21;
bool inRange(const Decimal &value);

enum class Status {
    Number, // value holds the number
    NotNumber, // no number at all (value 0)
    OutOfRange, // a number, but 10^21 or more in magnitude or beyond what can be held (value 0)
};

struct Reading {
    Status status = Status::NotNumber;
    Decimal value;
    bool ok() const { return status == Status::Number; }
};

// The whole-text reading: surrounding blanks, a sign, the number, nothing else.
Reading readAmount(QStringView text, const QLocale &locale = QLocale());
// The leading-number reading: the number a text begins with, blanks inside it ignored, whatever
// follows it ignored ("12.5 pounds" reads 12.5); NotNumber when the text does not begin with one.
Reading readLeadingAmount(QStringView text, const QLocale &locale = QLocale());

// The whole-text reading without the amount range (only what cannot be held is refused).
std::optional<Decimal> localeNumber(QStringView text, const QLocale &locale = QLocale());
bool isNumeric(QStringView text, const QLocale &locale = QLocale());

// The leading-number reading's value, 0 when there is none or it cannot be held.
Decimal leadingNumber(QStringView text, const QLocale &locale = QLocale());

// The text step of the two routines, for a text already known to be numeric: pads to or cuts at
// two characters after the first '.', or appends ".00" when there is none.
QString padOrCut(const QString &numeric);
// A number as an amount text: its plain decimal form, every integer digit, '.', cut to two decimals.
QString amountText(const Decimal &value);

// Why an out-of-range number is refused, quoting it; and the same naming the field ("Price",
// "Row RAM") before it.
QString outOfRangeText(const QString &text);
QString outOfRangeMessage(const QString &field, const QString &text);

} // namespace Amounts
