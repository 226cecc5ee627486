#include "offermargins.h"

#include "margin.h"

namespace OfferMargins
{

namespace
{

    // The amount as a price, for the percent a price leaves (Price::marginPercent).
    Price amountPrice(const Decimal &amount)
    {
        return Price::fromStored(amount.exactText());
    }

    bool readable(const OfferRow &row)
    {
        return row.amount().status == Amounts::Status::Number;
    }

} // namespace

RowMargin ofRow(const OfferRow &row)
{
    RowMargin margin;
    const bool hasCost = row.cost && row.cost->isNumber();
    // An empty amount box on an empty row is no sale; an amount no total can hold is one.
    margin.counted = !row.itemId.isEmpty() || hasCost || row.amount().status == Amounts::Status::OutOfRange
        || !row.amount().value.isZero();
    if (!margin.counted || !hasCost || !readable(row))
        return margin;
    margin.money = row.amount().value - *row.cost->number();
    margin.belowCost = margin.money->sign() < 0;
    return margin;
}

QString rowText(const OfferRow &row)
{
    const RowMargin margin = ofRow(row);
    if (!margin.counted)
        return QString();
    if (!margin.money)
        return Margin::unknownText();
    return Margin::figures(row.cost, amountPrice(row.amount().value));
}

Total total(const Offer &offer)
{
    Total sum;
    for (int i = 0; i < Offer::RowCount; ++i) {
        const OfferRow &row = offer.row(i);
        const RowMargin margin = ofRow(row);
        if (!margin.counted)
            continue;
        if (!margin.money) {
            ++sum.leftOut;
            continue;
        }
        ++sum.known;
        sum.money = sum.money + *margin.money;
        sum.amounts = sum.amounts + row.amount().value;
        sum.costs = sum.costs + *row.cost->number();
    }
    return sum;
}

QString totalText(const Offer &offer)
{
    const Total sum = total(offer);
    QString text = QStringLiteral("Margin %1")
                       .arg(sum.known == 0 ? Margin::unknownText()
                                           : Margin::figures(Price::fromStored(sum.costs.exactText()),
                                               amountPrice(sum.amounts)));
    if (sum.leftOut > 0)
        text += sum.leftOut == 1 ? QStringLiteral("; leaves out 1 row without a cost")
                                 : QStringLiteral("; leaves out %1 rows without a cost").arg(sum.leftOut);
    return text;
}

QString shortText(const Offer &offer)
{
    const Total sum = total(offer);
    if (sum.known == 0 && sum.leftOut == 0)
        return QString();
    QString text = sum.known == 0
        ? Margin::unknownText()
        : Margin::figures(Price::fromStored(sum.costs.exactText()), amountPrice(sum.amounts));
    if (sum.known > 0 && sum.leftOut > 0)
        text += sum.leftOut == 1 ? QStringLiteral(", 1 row left out")
                                 : QStringLiteral(", %1 rows left out").arg(sum.leftOut);
    return text;
}

QString belowCostReason(const OfferRow &row, const QString &caption)
{
    const RowMargin margin = ofRow(row);
    if (!margin.belowCost)
        return QString();
    return QStringLiteral("Row %1 is %2 below cost.").arg(caption, Margin::moneyText(-*margin.money));
}

QStringList belowCostReasons(const Offer &offer, const std::function<QString(int)> &caption)
{
    QStringList reasons;
    for (int i = 0; i < Offer::RowCount; ++i) {
        if (ofRow(offer.row(i)).belowCost)
            reasons << belowCostReason(offer.row(i), caption(i));
    }
    return reasons;
}

} // namespace OfferMargins
