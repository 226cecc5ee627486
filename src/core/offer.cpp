#include "offer.h"

Offer::Offer()
{
    for (int i = 0; i < RowCount; ++i)
        m_rows.at(static_cast<size_t>(i)).category = QString::number(i);
}

Offer Offer::blank(const QString &shop, const QString &seller, const QDateTime &date, int validDays)
{
    Offer offer;
    offer.shop = shop;
    offer.seller = seller;
    offer.date = date;
    offer.validUntil = OfferStatus::validUntilFrom(date.date(), validDays);
    for (OfferRow &r : offer.m_rows)
        r.setAmountText(QStringLiteral("0.00"));
    return offer;
}

bool Offer::sameWork(const Offer &other) const
{
    return client == other.client && validUntil == other.validUntil && m_rows == other.m_rows;
}

void Offer::pickItem(int index, const QString &id, const QString &description, const QString &price,
    const std::optional<Price> &cost)
{
    OfferRow &r = row(index);
    r.itemId = id;
    r.description = description;
    r.setAmountText(price);
    r.listPrice = Price::fromStored(price);
    r.cost = cost;
}

void OfferRow::setAmountText(const QString &text)
{
    m_amountText = text;
    m_amount = Amounts::readLeadingAmount(text);
}

bool OfferRow::operator==(const OfferRow &other) const
{
    return category == other.category && itemId == other.itemId && description == other.description
        && Price::toColumn(listPrice) == Price::toColumn(other.listPrice)
        && Price::toColumn(cost) == Price::toColumn(other.cost) && m_amountText == other.m_amountText;
}

Decimal Offer::total(int *refused) const
{
    Decimal sum;
    int first = -1;
    for (int i = 0; i < RowCount; ++i) {
        const Amounts::Reading &amount = row(i).amount();
        if (amount.status == Amounts::Status::OutOfRange && first < 0)
            first = i;
        sum = sum + amount.value; // 0 for what holds no number or cannot be added
    }
    if (refused)
        *refused = first;
    return sum;
}

QString Offer::totalText(int *refused) const
{
    return Amounts::amountText(total(refused));
}
