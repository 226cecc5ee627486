#include "offer.h"

#include "amount.h"

#include <QStringList>

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

Decimal Offer::total(int *refused) const
{
    QStringList texts;
    for (const OfferRow &r : m_rows)
        texts << r.amountText;
    int first = -1;
    const Decimal sum = Amounts::total(texts, &first);
    if (refused)
        *refused = first;
    return sum;
}

QString Offer::totalText(int *refused) const
{
    return Amounts::amountText(total(refused));
}
