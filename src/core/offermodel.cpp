#include "offermodel.h"

#include "amount.h"
#include "offermargins.h"

OfferModel::OfferModel(QObject *parent)
    : QObject(parent)
    , m_offer(Offer::blank(QString(), QString(), QDateTime::currentDateTime()))
{
}

void OfferModel::setOffer(const Offer &offer)
{
    const Offer was = m_offer;
    m_offer = offer;
    if (!m_offer.date.isValid())
        m_offer.date = QDateTime::currentDateTime();
    if (!m_offer.validUntil.isValid())
        m_offer.validUntil = OfferStatus::validUntilOr(QDate(), m_offer.date.date());
    if (m_offer.shop != was.shop || m_offer.client != was.client || m_offer.seller != was.seller
        || m_offer.date != was.date || m_offer.validUntil != was.validUntil)
        Q_EMIT headerChanged();
    bool amounts = false;
    for (int i = 0; i < Offer::RowCount; ++i) {
        if (m_offer.row(i) == was.row(i))
            continue;
        amounts = amounts || m_offer.row(i).amountText() != was.row(i).amountText();
        Q_EMIT rowChanged(i);
    }
    if (amounts)
        Q_EMIT totalChanged();
    Q_EMIT offerReplaced();
}

void OfferModel::changeHeader(QString Offer::*field, const QString &text)
{
    if (m_offer.*field == text)
        return;
    m_offer.*field = text;
    Q_EMIT headerChanged();
}

void OfferModel::setShop(const QString &shop)
{
    changeHeader(&Offer::shop, shop);
}

void OfferModel::setClient(const QString &client)
{
    changeHeader(&Offer::client, client);
}

void OfferModel::setSeller(const QString &seller)
{
    changeHeader(&Offer::seller, seller);
}

void OfferModel::setDate(const QDateTime &date)
{
    if (m_offer.date == date)
        return;
    m_offer.date = date;
    Q_EMIT headerChanged();
}

void OfferModel::setValidUntil(const QDate &day)
{
    if (m_offer.validUntil == day || !day.isValid())
        return;
    m_offer.validUntil = day;
    Q_EMIT headerChanged();
}

void OfferModel::changeRow(int index, const OfferRow &row)
{
    OfferRow &now = m_offer.row(index);
    if (now == row)
        return;
    const bool amount = now.amountText() != row.amountText();
    now = row;
    Q_EMIT rowChanged(index);
    if (amount)
        Q_EMIT totalChanged();
}

void OfferModel::setItemId(int index, const QString &id)
{
    if (row(index).itemId == id)
        return;
    OfferRow changed = row(index);
    changed.itemId = id;
    changed.listPrice.reset();
    changeRow(index, changed);
}

void OfferModel::takeListItem(int index, const std::optional<QString> &description,
    const std::optional<Price> &price, const std::optional<Price> &cost)
{
    OfferRow changed = row(index);
    if (description)
        changed.description = *description;
    if (price)
        changed.setAmountText(price->text());
    changed.listPrice = price;
    changed.cost = cost;
    changeRow(index, changed);
}

void OfferModel::setAmountText(int index, const QString &text)
{
    OfferRow changed = row(index);
    changed.setAmountText(text);
    changeRow(index, changed);
}

bool OfferModel::amountRefused(int index) const
{
    return row(index).amount().status == Amounts::Status::OutOfRange;
}

QString OfferModel::marginText(int index) const
{
    return OfferMargins::rowText(row(index));
}

QString OfferModel::marginTotalText() const
{
    return OfferMargins::totalText(m_offer);
}

bool OfferModel::belowCost(int index) const
{
    return OfferMargins::ofRow(row(index)).belowCost;
}

QStringList OfferModel::belowCostReasons(const std::function<QString(int)> &caption) const
{
    return OfferMargins::belowCostReasons(m_offer, caption);
}
