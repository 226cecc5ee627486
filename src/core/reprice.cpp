#include "reprice.h"

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

} // namespace

QList<Change> changes(const Offer &offer, const std::function<CurrentPrice(const OfferRow &row)> &current)
{
    QList<Change> out;
    for (int i = 0; i < Offer::RowCount; ++i) {
        const OfferRow &r = offer.row(i);
        if (!r.listPrice || r.itemId.isEmpty())
            continue; // not picked from the list: nothing to compare with
        const CurrentPrice now = current(r);
        if (now.listed && (!now.price || now.price->isSameAs(*r.listPrice)))
            continue;
        Change change { i, *r.listPrice, std::nullopt, false };
        if (now.listed)
            change.currentPrice = now.price;
        change.typedOver = isTypedOver(r, *r.listPrice);
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
    return change.currentPrice
        ? Price::changeText(change.savedPrice, *change.currentPrice)
        : change.savedPrice.text() + QStringLiteral(" \u2192 no longer in the price list");
}

} // namespace Reprice
