#include "price.h"

namespace
{

Decimal magnitude(const Decimal &d)
{
    return d.sign() < 0 ? -d : d;
}

// a / b brought to the nearest whole number, halves away from zero: how a person rounds a figure
// that is only shown. b must not be zero.
Decimal roundedRatio(const Decimal &a, const Decimal &b)
{
    const Decimal x = magnitude(a);
    const Decimal y = magnitude(b);
    // floor(x / y + 1/2) = floor((2x + y) / 2y); the nearest whole number is never more than one
    // above the floor.
    const Decimal two = Decimal::fromInt(2);
    const Decimal num = two * x + y;
    const Decimal den = two * y;
    Decimal q = *Decimal::divideRoundedHalfEven(num, den);
    if (num < q * den)
        q = q - Decimal::fromInt(1);
    return (a.sign() < 0) != (b.sign() < 0) ? -q : q;
}

// A whole number of tenths as a figure with one decimal ("12.5", "-3.0", "0.0").
QString tenthsText(const Decimal &tenths)
{
    static const Decimal tenth = *Decimal::fromPlain(u"0.1");
    QString text = (tenths * tenth).exactText();
    if (!text.contains(QLatin1Char('.')))
        text += QLatin1String(".0");
    return text;
}

} // namespace

Price::Price(QString text, std::optional<Decimal> number, bool whole)
    : m_text(std::move(text))
    , m_number(std::move(number))
    , m_whole(whole)
{
}

Price Price::fromStored(const QString &stored)
{
    // Written by this program: a plain number with '.'. Written by another, it may carry words;
    // its number is then the one it begins with, read with '.' as the point as the list is.
    if (std::optional<Decimal> exact = Decimal::fromPlain(stored.trimmed()))
        return Price(stored, std::move(exact), true);
    const Amounts::Reading leading = Amounts::readLeadingAmount(stored, QLocale::c());
    return Price(stored, leading.ok() ? std::optional<Decimal>(leading.value) : std::nullopt, false);
}

std::optional<Price> Price::fromColumn(const std::optional<QString> &column)
{
    return column ? std::optional<Price>(fromStored(*column)) : std::nullopt;
}

std::optional<QString> Price::toColumn(const std::optional<Price> &price)
{
    return price ? std::optional<QString>(price->text()) : std::nullopt;
}

PriceReading Price::fromTyped(QStringView typed, const QLocale &locale, Decimals keep)
{
    return checked(Amounts::readAmount(typed, locale), typed, keep);
}

PriceReading Price::refused(Problem problem, QStringView written)
{
    PriceReading r;
    r.refusal = { problem, written.trimmed().toString() };
    return r;
}

PriceReading Price::checked(const Amounts::Reading &reading, QStringView written, Decimals keep)
{
    // The one rule for what the list may hold as a price, whoever enters it: a number within the
    // amount range. Zero and negative amounts are prices too: a counter keeps trade-ins and
    // discounts (in "Other") whose amounts lower an offer's total, and lists already hold them;
    // refusing them in one place would make an exported list fail to import, or its items
    // impossible to update.
    if (reading.status == Amounts::Status::OutOfRange)
        return refused(Problem::OutOfRange, written);
    if (!reading.ok())
        return refused(written.trimmed().isEmpty() ? Problem::Empty : Problem::NotNumber, written);
    // Cut, not rounded: 12.345 becomes 12.34; read back so trailing zeros go (12.5, 12).
    const Decimal value
        = keep == Decimals::Cents ? *Decimal::fromPlain(Amounts::amountText(reading.value)) : reading.value;
    PriceReading r;
    r.price = Price(value.exactText(), value, true);
    return r;
}

bool Price::isSameAs(const Price &other) const
{
    return m_text == other.m_text || (m_whole && other.m_whole && *m_number == *other.m_number);
}

bool Price::same(const QString &storedA, const QString &storedB)
{
    // Most prices compared are the same text: nothing to read then.
    return storedA == storedB || fromStored(storedA).isSameAs(fromStored(storedB));
}

QString Price::fieldText() const
{
    return m_number ? m_number->exactText() : m_text;
}

QString Price::amountText() const
{
    return FormatAmount(m_text);
}

QString Price::changeText(const Price &from, const Price &to)
{
    return from.text() + QStringLiteral(" \u2192 ") + to.text();
}

QString Price::percentChange(const Price &from, const Price &to)
{
    if (!from.m_whole || !to.m_whole || from.m_number->isZero())
        return QString();
    const Decimal tenths
        = roundedRatio((*to.m_number - *from.m_number) * Decimal::fromInt(1000), *from.m_number);
    return (tenths.sign() > 0 ? QStringLiteral("+") : QString()) + tenthsText(tenths) + QLatin1Char('%');
}

QString Price::marginPercent(const Decimal &cost, const Price &price)
{
    if (!price.m_whole || price.m_number->isZero())
        return QString();
    return tenthsText(roundedRatio((*price.m_number - cost) * Decimal::fromInt(1000), *price.m_number))
        + QLatin1Char('%');
}

QString Price::tenfold(const Price &from, const Price &to)
{
    if (!from.m_whole || !to.m_whole || from.m_number->isZero() || to.m_number->isZero())
        return QString();
    const Decimal before = magnitude(*from.m_number);
    const Decimal after = magnitude(*to.m_number);
    const bool larger = !(after < before);
    const Decimal &big = larger ? after : before;
    const Decimal &small = larger ? before : after;
    if (big < small * Decimal::fromInt(10))
        return QString();
    QString factor;
    if (big < small * Decimal::fromInt(100)) {
        factor = tenthsText(roundedRatio(big * Decimal::fromInt(10), small));
        if (factor.endsWith(QLatin1String(".0")))
            factor.chop(2);
    } else {
        factor = roundedRatio(big, small).exactText();
    }
    return (larger ? QStringLiteral("\u00d7") : QStringLiteral("\u00f7")) + factor;
}
