#include "reprice.h"

#include <QStringList>

namespace Reprice
{

namespace
{

    // An amount is typed over only when a person made it differ from the list price. The amount box
    // writes every amount with two decimals on leaving ("12.345" becomes "12.34"); that text is
    // still the list price.
    bool isTypedOver(const OfferRow &row, const Price &listPrice)
    {
        if (row.amountText() == listPrice.text())
            return false;
        if (row.amount().status == Amounts::Status::OutOfRange)
            return true;
        // Picking put the list's text into the amount box; what the box holds is compared as the
        // box reads it (the number it begins with, 0 for none, as in the total).
        const Decimal &amount = row.amount().value;
        return !(amount == Amounts::leadingNumber(listPrice.text()))
            && !(amount == Amounts::leadingNumber(listPrice.amountText()));
    }

    bool sameCost(const std::optional<Price> &a, const std::optional<Price> &b)
    {
        return a.has_value() == b.has_value() && (!a || a->isSameAs(*b));
    }

    QString costText(const std::optional<Price> &cost)
    {
        return cost ? cost->text() : QStringLiteral("not known");
    }

} // namespace

QList<Change> changes(const Offer &offer, const std::function<CurrentPrice(const OfferRow &row)> &current)
{
    QList<Change> out;
    for (int i = 0; i < Offer::RowCount; ++i) {
        const OfferRow &r = offer.row(i);
        if (!r.listPrice || r.itemId.isEmpty())
            continue; // not picked from the list: nothing to compare with
        const CurrentPrice now = current(r);
        const bool priceKept = now.listed && (!now.price || now.price->isSameAs(*r.listPrice));
        const bool costKept = !now.listed || !now.costRead || sameCost(r.cost, now.cost);
        if (priceKept && costKept)
            continue;
        Change change { i, *r.listPrice, std::nullopt, false };
        if (now.listed)
            change.currentPrice = priceKept ? r.listPrice : now.price;
        change.typedOver = isTypedOver(r, *r.listPrice);
        change.priceChanged = !priceKept;
        change.costChanged = !costKept;
        change.savedCost = r.cost;
        change.currentCost = costKept ? r.cost : now.cost;
        out << change;
    }
    return out;
}

int apply(Offer &offer, const QList<Change> &changes, bool retyped)
{
    int changed = 0;
    for (const Change &change : changes) {
        if (!change.currentPrice)
            continue;
        OfferRow &r = offer.row(change.row);
        r.cost = change.currentCost;
        if (!change.priceChanged)
            continue; // the amount stays as it is written
        r.listPrice = change.currentPrice;
        if (change.typedOver && !retyped)
            continue;
        if (r.amountText() != change.currentPrice->text()) {
            r.setAmountText(change.currentPrice->text());
            ++changed;
        }
    }
    return changed;
}

QString describe(const Change &change)
{
    if (!change.currentPrice)
        return change.savedPrice.text() + QStringLiteral(" \u2192 no longer in the price list");
    QStringList parts;
    if (change.priceChanged)
        parts << Price::changeText(change.savedPrice, *change.currentPrice);
    if (change.costChanged)
        parts << QStringLiteral("cost %1 \u2192 %2")
                     .arg(costText(change.savedCost), costText(change.currentCost));
    return parts.join(QStringLiteral("; "));
}

} // namespace Reprice
