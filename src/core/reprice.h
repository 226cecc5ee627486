#pragma once

#include "offer.h"

#include "price.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

// Re-pricing a kept offer: which rows hold an item whose price or cost in the list is no longer the
// one saved with the offer, and taking the current ones for them.
namespace Reprice
{

// What the price list says today about a row's item.
struct CurrentPrice {
    bool listed = false; // false: the item is no longer in the list
    std::optional<Price> price; // its price; nullopt when the list holds none for it
    // What the shop pays for it now; nullopt when that is not known. A cost that cannot be read is
    // not known, and is not reported as a change.
    std::optional<Price> cost = std::nullopt;
    bool costRead = false;
};

struct Change {
    int row = 0;
    Price savedPrice; // the list price saved with the offer
    std::optional<Price> currentPrice; // nullopt: the item is no longer in the list
    // The amount had been typed over the saved list price; it is kept unless asked otherwise.
    bool typedOver = false;
    // Whether the price changed; a row may have changed in its cost alone.
    bool priceChanged = true;
    bool costChanged = false;
    std::optional<Price> savedCost = std::nullopt; // as saved with the offer; nullopt: not known then
    std::optional<Price> currentCost = std::nullopt; // as the list holds it now; nullopt: not known
};

// The rows whose item was picked from the list and whose list price or cost has changed, or which
// are gone. current is asked only for those rows.
QList<Change> changes(const Offer &offer, const std::function<CurrentPrice(const OfferRow &row)> &current);

// Takes the current prices: every changed row gets its new list price and cost, and its amount
// becomes that price unless the amount had been typed over (then only when retyped is true) or only
// the cost changed. Rows whose item is gone stay as they are. Returns how many amounts changed.
int apply(Offer &offer, const QList<Change> &changes, bool retyped);

// "300.50 → 320.00" or "300.50 → no longer in the price list", then the cost's change
// ("cost 250 → 270", "cost not known → 270"), when it changed.
QString describe(const Change &change);

} // namespace Reprice
