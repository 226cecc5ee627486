#pragma once

#include "storeerror.h"

// What happened to saved revisions after they were saved: given to the client (printed or
// exported) and made into an order. These are the facts a revision's status is worked out from
// (core/offerstatus.h); the status itself is never kept. The links to orders are this class's own
// table (offer_orders); when a revision was given is kept with the revision itself, which the
// repository writes.

#include "core/offerstatus.h"
#include "offerrepository.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

class Store;

class OfferProgress final
{
public:
    explicit OfferProgress(Store *store);

    // The order the revision became; nullopt when none.
    StoreResult<std::optional<int>> orderOf(const OfferKey &key);
    // Keeps the link from the revision to its order. A revision becomes one order at most: a link
    // to another order is refused, naming it; the same link again changes nothing.
    StoreError linkOrder(
        const OfferKey &key, int order, const QDateTime &when = QDateTime::currentDateTime());

    // What the revision's status is worked out from, read as the saved offers' list reads it.
    StoreResult<OfferStatus::Facts> facts(const OfferKey &key);

private:
    Store *m_store;
    OfferRepository m_offers;
};

// What a line of OfferRepository::list() says about its revision's status.
OfferStatus::Facts listedFacts(const RecordSet &line);
