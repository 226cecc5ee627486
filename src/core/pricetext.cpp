#include "pricetext.h"

#include "amount.h"

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

namespace
{

    Entry check(const QString &typed, const QLocale &locale, bool cut)
    {
        Entry e;
        const Amounts::Reading r = Amounts::readAmount(typed, locale);
        if (r.status == Amounts::Status::OutOfRange) {
            e.message = Amounts::outOfRangeMessage(QStringLiteral("Price"), typed);
        } else if (!r.ok()) {
            e.message = typed.trimmed().isEmpty()
                ? QStringLiteral("Price: enter a price (0 for none).")
                : QStringLiteral("Price: \"%1\" is not a number. Type a price such as 1250 or 12.50.")
                      .arg(typed.trimmed().left(40));
        } else {
            e.ok = true;
            // Cut, not rounded: 12.345 becomes 12.34; read back so trailing zeros go (12.5, 12).
            const Decimal value = cut ? *Decimal::fromPlain(Amounts::amountText(r.value)) : r.value;
            e.stored = value.exactText();
        }
        return e;
    }

} // namespace

Entry forAdd(const QString &typed, const QLocale &locale)
{
    return check(typed, locale, false);
}

Entry forUpdate(const QString &typed, const QLocale &locale)
{
    return check(typed, locale, true);
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
