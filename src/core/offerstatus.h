#pragma once

// Where a saved revision of an offer stands, worked out from what is known about it: until when it
// is valid, whether it was given to the client (printed or exported), whether it became an order,
// and whether a later revision of the same offer was given or became one. Nothing keeps the status
// itself, so it can never disagree with those facts, nor with the day it is asked on.

#include <QDate>
#include <QString>

#include <optional>

namespace OfferStatus
{

// How long an offer is valid when the shop has not said otherwise, in days from its date.
inline constexpr int DefaultValidDays = 14;

enum class Status {
    Draft, // saved, never given
    Given, // printed or exported, still valid
    Ordered, // became an order
    Expired, // its valid-until day has passed and it did not become an order
    Superseded, // a later revision of the offer was given or became an order
};

struct Facts {
    QDate validUntil; // the last day the offer holds
    bool given = false;
    std::optional<int> order; // the order it became
    bool laterTaken = false; // a later revision was given or became an order
};

// An order outranks everything; a revision passed over by a later one is no longer open, whatever
// its date; past its day an open one has expired (valid through the whole of its last day).
Status of(const Facts &facts, const QDate &today);
QString text(Status status);

// The choices of the saved-offers list's status filter.
enum class Filter { All, Open, Ordered, Expired };
inline constexpr int FilterCount = 4;
QString filterText(Filter filter);
// Open: a draft or a given offer that has not expired.
bool matches(Filter filter, Status status);

// The valid-until day a revision saved without one has: its date and the default validity.
QDate validUntilOr(const QDate &stored, const QDate &offerDate);
// The valid-until day of an offer of that date that holds for the shop's number of days (a count
// of none, fewer or more than ten years gives the default).
QDate validUntilFrom(const QDate &offerDate, int days);

} // namespace OfferStatus
