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

} // namespace PriceText
