#pragma once

#include "pricehistorytable.h"
#include "pricelistrepository.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

class Store;

// The price-list changes that leave a record in the price history (PriceHistoryTable): each change
// and its record are written in one transaction, so the record always matches the list, and the
// price recorded as replaced is the one the change really replaced.
class PriceHistory final
{
public:
    static const QString EditorSource;

    explicit PriceHistory(Store *store);

    // Each change says why it failed; an invalid error when it was made.
    // Adds the item and records its price as new.
    StoreError add(const PriceListItem &item, const QDateTime &when, const QString &source = EditorSource);
    // Changes the item as PriceListRepository::update does, recording the price when it changed.
    StoreError update(const PriceListItem &item, const QDateTime &when, const QString &source = EditorSource);
    // Removes the row as PriceListRepository::removeRow does and records the price it had.
    StoreError removeRow(
        const PriceListItem &item, const QDateTime &when, const QString &source = EditorSource);

    // As PriceListRepository::updateIfUnchanged and removeIfUnchanged (the change is made only
    // while the item still holds what was seen), recording the price change when one was made.
    CheckedChange updateIfUnchanged(const PriceListItem &seen, const PriceListItem &changed,
        const QDateTime &when, const QString &source = EditorSource);
    CheckedChange removeIfUnchanged(
        const PriceListItem &seen, const QDateTime &when, const QString &source = EditorSource);
    // The changes of one item, newest first (none where nothing was ever recorded).
    StoreResult<QList<PriceChange>> changes(const QString &category, const QString &id);

private:
    // The first row of the item as it is now, inside the running transaction; nullopt with no
    // error when there is none.
    std::optional<PriceListItem> current(const PriceListItem &item, bool *failed);

    Store *m_store;
    PriceListRepository m_priceList;
    PriceHistoryTable m_table;
};
