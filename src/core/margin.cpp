#include "margin.h"

#include "amount.h"

namespace Margin
{

std::optional<Decimal> money(const Decimal &cost, const Price &price)
{
    if (!price.isNumber())
        return std::nullopt;
    return *price.number() - cost;
}

QString moneyText(const Decimal &money)
{
    QString text = Amounts::amountText(money);
    const qsizetype sign = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    for (qsizetype at = (point < 0 ? text.size() : point) - 3; at > sign; at -= 3)
        text.insert(at, QLatin1Char(','));
    return text;
}

QString figures(const std::optional<Price> &cost, const Price &price)
{
    if (!cost || !cost->isNumber())
        return unknownText();
    const auto left = money(*cost->number(), price);
    if (!left)
        return unknownText();
    const QString percent = Price::marginPercent(*cost->number(), price);
    return percent.isEmpty() ? moneyText(*left) : QStringLiteral("%1 (%2)").arg(percent, moneyText(*left));
}

} // namespace Margin
