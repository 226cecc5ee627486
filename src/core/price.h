#pragma once

#include "amount.h"
#include "decimal.h"

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

struct PriceReading;

// A price of the list: the text the list keeps and the exact number it stands for.
//
// A price comes from one of three places, each read by its own named constructor:
//  - the list's price column (fromStored): it may hold anything another program wrote there, so
//    every text is taken as it stands; its number is the one it is, or begins with ("1250 EGP");
//  - a person's typing in a price field (fromTyped), under the field's locale;
//  - a supplier's file (fromSupplier), with the decimal sign the file uses and a currency sign or
//    code around the number.
// A typed or supplier's price passes one policy (below) before it may be stored; a refusal names
// the problem and quotes the text, and the window that shows it words the message.
//
// Prices are compared by one rule (isSameAs) and shown by one form for each place.
class Price final
{
public:
    enum class DecimalSign { Point, Comma };

    // How many decimals a new price keeps: Add and the import keep what was entered; Update cuts
    // to cents, never rounding (12.345 becomes 12.34).
    enum class Decimals { AsEntered, Cents };

    enum class Problem {
        Empty, // nothing but blanks
        NotNumber, // no number, or more than a number
        OutOfRange, // a number, but outside the amount range (Amounts::inRange)
        GroupSign, // a supplier's price with a group separator not standing before three digits
    };
    struct Refusal {
        Problem problem = Problem::NotNumber;
        QString written; // the text as it was written, blanks around it taken away
    };

    Price() = default; // the empty text, which holds no number

    // The list's text as it stands; nothing is refused, it is already there.
    static Price fromStored(const QString &stored);
    // A price column that may be NULL: no price then.
    static std::optional<Price> fromColumn(const std::optional<QString> &column);
    static std::optional<QString> toColumn(const std::optional<Price> &price);
    // What a person typed, read with the locale's decimal sign and groups as well as '.', an
    // exponent allowed.
    static PriceReading fromTyped(QStringView typed, const QLocale &locale, Decimals keep);
    // A supplier's price cell: blanks, a currency sign or code before or after the number, groups
    // of three digits; kept as Add keeps it. Read in supplierprice.cpp, with what suppliers write.
    static PriceReading fromSupplier(QStringView text, DecimalSign sign);

    // The one rule of sameness: the same text, or texts that are wholly numbers of the same value
    // ("5400.50" and "5400.5" are the same price). A text with anything beside its number is the
    // same only as itself: "1250 EGP" and "1250 USD" begin with the same number but are not one
    // price, and "call" is not "ask"; when in doubt a price counts as changed, never as kept.
    bool isSameAs(const Price &other) const;
    // The same rule for two texts of the list's price column.
    static bool same(const QString &storedA, const QString &storedB);

    // Where it is shown:
    // - as stored: what the list, an export, a kept offer and the price history hold;
    const QString &text() const { return m_text; }
    // - in the editor's price field: the number in plain decimal form with every digit (never an
    //   exponent, never rounded), or the text itself when it holds no number, so nothing is hidden;
    QString fieldText() const;
    // - as a row's amount: the text with two decimals, cut, as the amount box writes what the list
    //   put in it when the person leaves it (FormatAmount, in the present locale);
    QString amountText() const;
    // - as a change in a list of changes: "300.50 → 320".
    static QString changeText(const Price &from, const Price &to);
    // - as a change in percent, one decimal, signed, halves away from zero ("+12.5%", "-3.0%",
    //   "0.0%"); empty when either is not wholly a number or the old price is zero;
    static QString percentChange(const Price &from, const Price &to);
    // - as the tenfold flag: how many times larger ("×10", "×12.5") or smaller ("÷1000") the new
    //   price is, when ten times or more: such a change is more often a misread decimal sign or a
    //   slip than a new price. Empty otherwise, and when either is not wholly a number or is zero.
    static QString tenfold(const Price &from, const Price &to);
    // - as the margin it leaves over a cost, in percent of the price, one decimal, halves away
    //   from zero ("18.5%", "-4.0%" below cost); empty when it is not wholly a number or is zero.
    static QString marginPercent(const Decimal &cost, const Price &price);

    // The number the text is or begins with; nullopt when it holds none that can be read.
    const std::optional<Decimal> &number() const { return m_number; }
    // Whether the text is wholly a number (blanks around it aside).
    bool isNumber() const { return m_whole; }
    // The one rule a cost passes besides a price's, wherever it is entered: what the shop pays is
    // a number never below zero (a trade-in lowers a price; nobody is paid to take a part).
    bool mayBeCost() const { return m_whole && m_number && m_number->sign() >= 0; }

private:
    Price(QString text, std::optional<Decimal> number, bool whole);
    // The policy every new price passes, typed or read from a file.
    static PriceReading checked(const Amounts::Reading &reading, QStringView written, Decimals keep);
    static PriceReading refused(Problem problem, QStringView written);

    QString m_text;
    std::optional<Decimal> m_number;
    bool m_whole = false;
};

// A price read from a person or a file, or why the text is none.
struct PriceReading {
    std::optional<Price> price;
    Price::Refusal refusal; // when there is no price
    bool ok() const { return price.has_value(); }
};
