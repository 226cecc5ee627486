#include "reprice.h"

#include "amount.h"

namespace Reprice
{

namespace
{

    // Prices are compared as the numbers they are: "1250" and "1250.00" are the same price.
    bool samePrice(const QString &a, const QString &b)
    {
        return Amounts::leadingNumber(a) == Amounts::leadingNumber(b);
    }

    // An amount is typed over only when a person made it differ from the list price. The amount box
    // writes every amount with two decimals on leaving ("12.345" becomes "12.34"); that text is
    // still the list price.
    bool isTypedOver(const QString &amount, const QString &listPrice)
    {
        return !samePrice(amount, listPrice) && !samePrice(amount, FormatAmount(listPrice));
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
        if (now.listed && (!now.price || samePrice(*now.price, *r.listPrice)))
            continue;
        Change change;
        change.row = i;
        change.savedPrice = *r.listPrice;
        if (now.listed)
            change.currentPrice = now.price;
        change.typedOver = isTypedOver(r.amountText, *r.listPrice);
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
        if (r.amountText != *change.currentPrice) {
            r.amountText = *change.currentPrice;
            ++changed;
        }
    }
    return changed;
}

QString describe(const Change &change)
{
    return change.savedPrice + QStringLiteral(" \u2192 ")
        + (change.currentPrice ? *change.currentPrice : QStringLiteral("no longer in the price list"));
}

} // namespace Reprice
