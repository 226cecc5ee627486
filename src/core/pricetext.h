#pragma once

#include "amount.h"

#include <QLocale>
#include <QString>

#include <optional>

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
// A price of a supplier's file, already in C form ('.' as the point, no groups, no currency),
// checked by the same rule as Add and stored as Add stores it; a refusal quotes `written`, the text
// as the file holds it.
Entry forFile(const QString &plain, const QString &written);

// The one rule for what the list may hold as a price, whoever enters it: a number within the amount
// range. Zero and negative amounts are prices too: a counter keeps trade-ins and discounts (in
// "Other") whose amounts lower an offer's total, and lists already hold them; refusing them in one
// place would make an exported list fail to import, or its items impossible to update. nullopt
// when the reading may be stored, else why not, naming the field and quoting `written`.
std::optional<QString> refusal(const Amounts::Reading &reading, const QString &written);

// Whether two stored prices are the same amount ("5400.50" and "5400.5" are); texts that are no
// number are the same only when they are equal.
bool samePrice(const QString &a, const QString &b);

// The change from one stored price to another in percent, one decimal, signed ("+12.5%", "-3.0%",
// "0.0%"); empty when either is not a number or the old price is zero.
QString percentChange(const QString &oldPrice, const QString &newPrice);

// How many times larger ("×10", "×12.5") or smaller ("÷1000") a new price is than the old one, when
// ten times or more: such a change is more often a misread decimal sign or a slip than a new price.
// Empty otherwise, and when either is no number or zero.
QString tenfold(const QString &oldPrice, const QString &newPrice);

} // namespace PriceText
