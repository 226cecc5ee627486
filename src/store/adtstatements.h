#pragma once

#include <QLocale>
#include <QString>

#include <optional>

// The price-list editor's statements on adt, with their fixed texts. Every value goes in through
// Store::text(), so an id or a description with quotes is stored as typed and can never end a
// literal early.
namespace AdtStatements
{

QString list(const QString &cat);
// Also selects the row's rowid, so a delete can remove exactly the row that was looked up.
QString lookup(const QString &cat, const QString &id);
QString insert(const QString &cat, const QString &id, const QString &description, const QString &price);
// Sets the id it selects by, so an update never renames an item.
QString update(const QString &cat, const QString &id, const QString &description, const QString &price);
// Jet's "delete * from"; the store brings it to the engine's form. With a rowid, only that row
// goes (ids may repeat, and many rows may have an empty one).
QString remove(const QString &cat, const QString &id, std::optional<qint64> rowid = std::nullopt);

} // namespace AdtStatements

// Prices as the editor writes them: the general number text (shortest text of at most 15
// significant digits, no group separators), always with '.' as the point, whatever the locale,
// so a stored price reads back the same everywhere.
namespace PriceText
{

// nullopt for a value that is not a number (NaN, infinity).
std::optional<QString> general(double value);
// The update's normalisation: the general text cut to at most two decimals (never rounded) and
// read back as a number; nullopt when the cut text is no number any more (an exponent form).
std::optional<double> cutToCents(double value);
// A stored price read back as a number: the number the text begins with, 0 when there is none.
double read(const QString &stored);

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
