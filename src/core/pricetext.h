#pragma once

#include <QLocale>
#include <QString>

// Prices as the editor writes and shows them: always with '.' as the point, whatever the locale,
// so a stored price reads back the same everywhere.
namespace PriceText
{

// What the price field shows for a stored price: its plain decimal form with every digit and '.'
// (never an exponent, never rounded); the stored text itself when it holds no number that can be
// held, so nothing is hidden.
QString shown(const QString &stored);

// A typed price checked for storing. Add and Update accept and refuse the same texts: any amount
// the field reads (the locale's decimal sign, '.', an exponent), within the amount range. Add
// stores it as entered, Update cut to cents (never rounded); both in plain decimal form.
struct Entry {
    bool ok = false;
    QString stored; // the text to store, when ok
    QString message; // why it is refused, naming the field, when not
};
Entry forAdd(const QString &typed, const QLocale &locale);
Entry forUpdate(const QString &typed, const QLocale &locale);

// Whether two stored prices are the same amount ("5400.50" and "5400.5" are); texts that are no
// number are the same only when they are equal.
bool samePrice(const QString &a, const QString &b);

// The change from one stored price to another in percent, one decimal, signed ("+12.5%", "-3.0%",
// "0.0%"); empty when either is not a number or the old price is zero.
QString percentChange(const QString &oldPrice, const QString &newPrice);

} // namespace PriceText
