#include "offerstatus.h"

#include <array>

namespace OfferStatus
{

Status of(const Facts &facts, const QDate &today)
{
    if (facts.order)
        return Status::Ordered;
    if (facts.laterTaken)
        return Status::Superseded;
    if (facts.validUntil.isValid() && facts.validUntil < today)
        return Status::Expired;
    return facts.given ? Status::Given : Status::Draft;
}

QString text(Status status)
{
    switch (status) {
    case Status::Draft:
        return QStringLiteral("Draft");
    case Status::Given:
        return QStringLiteral("Given");
    case Status::Ordered:
        return QStringLiteral("Ordered");
    case Status::Expired:
        return QStringLiteral("Expired");
    case Status::Superseded:
        return QStringLiteral("Superseded");
    }
    return QString();
}

QString filterText(Filter filter)
{
    static const std::array<const char *, FilterCount> names { "All", "Open", "Ordered", "Expired" };
    return QString::fromLatin1(names.at(static_cast<size_t>(filter)));
}

bool matches(Filter filter, Status status)
{
    switch (filter) {
    case Filter::All:
        return true;
    case Filter::Open:
        return status == Status::Draft || status == Status::Given;
    case Filter::Ordered:
        return status == Status::Ordered;
    case Filter::Expired:
        return status == Status::Expired;
    }
    return false;
}

QDate validUntilOr(const QDate &stored, const QDate &offerDate)
{
    if (stored.isValid())
        return stored;
    return offerDate.isValid() ? offerDate.addDays(DefaultValidDays) : QDate();
}

QDate validUntilFrom(const QDate &offerDate, int days)
{
    return offerDate.addDays(days > 0 && days <= 3660 ? days : DefaultValidDays);
}

} // namespace OfferStatus
