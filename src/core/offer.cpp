#include "offer.h"

#include "amount.h"

Offer::Offer()
{
    for (int i = 0; i < RowCount; ++i)
        m_rows.at(static_cast<size_t>(i)).category = QString::number(i);
}

void Offer::pickItem(int index, const QString &id, const QString &description, const QString &price)
{
    OfferRow &r = row(index);
    r.itemId = id;
    r.description = description;
    r.amountText = price;
    r.listPrice = price;
}

Decimal Offer::total() const
{
    Decimal sum;
    for (const OfferRow &r : m_rows)
        sum = sum + Amounts::leadingNumber(r.amountText);
    return sum;
}

QString Offer::totalText() const
{
    return FormatAmount(total().plainText());
}
