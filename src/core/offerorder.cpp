#include "offerorder.h"

namespace OfferOrder
{

QString reference(int number, int revision)
{
    return QStringLiteral("Offer %1/%2").arg(number).arg(revision);
}

bool isChosen(const OfferRow &row)
{
    return !row.itemId.trimmed().isEmpty() || !row.amount().value.isZero();
}

bool hasChosenRow(const Offer &offer)
{
    for (int i = 0; i < Offer::RowCount; ++i) {
        if (isChosen(offer.row(i)))
            return true;
    }
    return false;
}

std::optional<Draft> draftOf(const Offer &offer, int number, int revision, const QString &source,
    const QDate &date, const std::optional<Plan> &plan)
{
    Draft draft;
    for (int i = 0; i < Offer::RowCount; ++i) {
        const OfferRow &row = offer.row(i);
        if (!isChosen(row))
            continue;
        // The amount the total counts: what the row's text reads as (0 for no number).
        draft.lines.append({ i, row.itemId.trimmed(), row.description, row.amount().value });
    }
    if (draft.lines.isEmpty())
        return std::nullopt;
    draft.reference = reference(number, revision);
    draft.client = offer.client.trimmed();
    draft.soldBy = offer.seller.trimmed();
    draft.source = source;
    draft.date = date;
    draft.total = offer.total();
    draft.plan = plan;
    draft.paid = plan ? plan->deposit : Decimal();
    draft.remaining = draft.total - draft.paid;
    return draft;
}

} // namespace OfferOrder
