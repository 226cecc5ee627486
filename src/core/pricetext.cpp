#include "pricetext.h"

#include <cmath>

namespace PriceText
{

QString shown(const QString &stored)
{
    if (const auto exact = Decimal::fromPlain(stored.trimmed()))
        return exact->exactText();
    const Amounts::Reading r = Amounts::readLeadingAmount(stored, QLocale::c());
    return r.ok() ? r.value.exactText() : stored;
}

std::optional<QString> refusal(const Amounts::Reading &reading, const QString &written)
{
    if (reading.status == Amounts::Status::OutOfRange)
        return Amounts::outOfRangeMessage(QStringLiteral("Price"), written);
    if (!reading.ok())
        return written.trimmed().isEmpty()
            ? QStringLiteral("Price: enter a price (0 for none).")
            : QStringLiteral("Price: \"%1\" is not a number. Type a price such as 1250 or 12.50.")
                  .arg(written.trimmed().left(40));
    return std::nullopt;
}

namespace
{

    Entry check(const Amounts::Reading &r, const QString &written, bool cut)
    {
        Entry e;
        if (const auto why = refusal(r, written)) {
            e.message = *why;
            return e;
        }
        e.ok = true;
        // Cut, not rounded: 12.345 becomes 12.34; read back so trailing zeros go (12.5, 12).
        const Decimal value = cut ? *Decimal::fromPlain(Amounts::amountText(r.value)) : r.value;
        e.stored = value.exactText();
        return e;
    }

} // namespace

Entry forAdd(const QString &typed, const QLocale &locale)
{
    return check(Amounts::readAmount(typed, locale), typed, false);
}

Entry forUpdate(const QString &typed, const QLocale &locale)
{
    return check(Amounts::readAmount(typed, locale), typed, true);
}

Entry forFile(const QString &plain, const QString &written)
{
    return check(Amounts::readAmount(plain, QLocale::c()), written, false);
}

} // namespace PriceText

QString PriceText::percentChange(const QString &oldPrice, const QString &newPrice)
{
    bool okOld = false;
    bool okNew = false;
    const double before = oldPrice.toDouble(&okOld);
    const double after = newPrice.toDouble(&okNew);
    if (!okOld || !okNew || before == 0 || !std::isfinite(before) || !std::isfinite(after))
        return QString();
    const double percent = (after - before) / before * 100.0;
    const QString number = QString::number(percent, 'f', 1);
    return (percent > 0 && number != QLatin1String("0.0") ? QStringLiteral("+") : QString()) + number
        + QLatin1Char('%');
}

bool PriceText::samePrice(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    const auto x = Decimal::fromPlain(a.trimmed());
    const auto y = Decimal::fromPlain(b.trimmed());
    return x && y && *x == *y;
}

QString PriceText::tenfold(const QString &oldPrice, const QString &newPrice)
{
    const auto before = Decimal::fromPlain(oldPrice.trimmed());
    const auto after = Decimal::fromPlain(newPrice.trimmed());
    if (!before || !after || before->isZero() || after->isZero())
        return QString();
    const double a = std::abs(before->toDouble());
    const double b = std::abs(after->toDouble());
    const bool larger = b >= a;
    const double factor = larger ? b / a : a / b;
    if (!(factor >= 10) || !std::isfinite(factor))
        return QString();
    QString number = QString::number(factor, 'f', factor < 100 ? 1 : 0);
    if (number.endsWith(QLatin1String(".0")))
        number.chop(2);
    return (larger ? QStringLiteral("\u00d7") : QStringLiteral("\u00f7")) + number;
}
