#pragma once

#include "decimal.h"
#include "price.h"

#include <QString>

#include <optional>

// What a price leaves over what the shop paid for the item: in money (price − cost) and in percent
// of the price (Price::marginPercent). Shown on screen only, never on a page a client sees.
namespace Margin
{

// Shown where a margin cannot be told: the cost is unknown, or the price is not wholly a number.
inline QString unknownText()
{
    return QStringLiteral("—");
}

// price − cost, or nullopt when the price is not wholly a number.
std::optional<Decimal> money(const Decimal &cost, const Price &price);
// Money as a margin shows it: digits grouped by three with ',', '.' and two decimals, cut as every
// amount is ("1,080.00", "-150.00").
QString moneyText(const Decimal &money);
// Percent and money, "18.5% (1,080.00)"; the money alone for a price of nothing, which no percent
// can be taken of; unknownText() when there is no margin to tell.
QString figures(const std::optional<Price> &cost, const Price &price);

} // namespace Margin
