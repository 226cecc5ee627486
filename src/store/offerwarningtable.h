#pragma once

#include "offerrepository.h"
#include "storeerror.h"

#include <QList>
#include <QString>

class Store;

// What a person was warned about when an offer was kept (parts that do not fit, ...) and whether
// they said to keep it all the same: table offer_warnings, one row per warning of a revision,
// made by a schema step of its own the first time a warning is kept. An offer kept without any
// writes nothing here, so a file without warnings stays as it was.
struct OfferWarning {
    QString text;
    bool accepted = false;
    bool operator==(const OfferWarning &) const = default;
};

class OfferWarningTable final
{
public:
    explicit OfferWarningTable(Store *store);

    // Makes the table; before the save's transaction, never in it.
    bool ensureSchema();
    // Keeps these warnings for the revision, inside the transaction that saves it when one is
    // running; false (and the store's lastError()) when they could not be written.
    bool write(const OfferKey &key, const QList<OfferWarning> &warnings);
    // The revision's warnings in the order they were kept; none for a revision kept without.
    StoreResult<QList<OfferWarning>> read(const OfferKey &key);

private:
    Store *m_store;
};
