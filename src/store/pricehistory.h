#pragma once

#include "pricelistrepository.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariantList>

#include <optional>
#include <utility>

class Store;

// One change of an item's price: added (no old price), changed, or deleted (no new price).
struct PriceChange {
    QDateTime when;
    QString category;
    QString id;
    std::optional<QString> oldPrice;
    std::optional<QString> newPrice;
    QString description;
    QString source; // "editor", or the name of the file an import read
    bool operator==(const PriceChange &) const = default;
};

// The record of every price change, in a table of its own beside adt (price_history), and the
// price-list changes that leave such a record: each change and its record are written in one
// transaction, so the record always matches the list, and the price recorded as replaced is the
// one the change really replaced. The table is made by a schema step (Store::ensureSchema) the
// first time a change is recorded, before that change's transaction. Every value is bound; the SQL
// is the common subset of SQLite and PostgreSQL.
class PriceHistory final
{
public:
    static const QString EditorSource;

    explicit PriceHistory(Store *store);

    // Adds the item and records its price as new.
    bool add(const PriceListItem &item, const QDateTime &when, const QString &source = EditorSource);
    // Changes the item as PriceListRepository::update does, recording the price when it changed.
    bool update(const PriceListItem &item, const QDateTime &when, const QString &source = EditorSource);
    // Removes the row as PriceListRepository::removeRow does and records the price it had.
    bool removeRow(const PriceListItem &item, const QDateTime &when, const QString &source = EditorSource);

    // As PriceListRepository::updateIfUnchanged and removeIfUnchanged (the change is made only
    // while the item still holds what was seen), recording the price change when one was made.
    CheckedChange updateIfUnchanged(const PriceListItem &seen, const PriceListItem &changed,
        const QDateTime &when, const QString &source = EditorSource);
    CheckedChange removeIfUnchanged(
        const PriceListItem &seen, const QDateTime &when, const QString &source = EditorSource);
    // For work that runs in a transaction of its own (an import): brings the table up to date,
    // before that transaction, then records one change after another in it.
    bool ensureSchema();
    bool record(const PriceChange &change);
    // The statement record() runs, for work that records many changes at once, and its values:
    // the time and the source all changes of that work share (its first and last placeholders),
    // and each change's own (the others, in order).
    static QString recordStatement();
    static std::pair<QVariant, QVariant> sharedValues(const QDateTime &when, const QString &source);
    static QVariantList ownValues(const PriceChange &change);

    // The changes of one item, newest first (none where nothing was ever recorded); nullopt (and
    // lastError()) when they cannot be read.
    std::optional<QList<PriceChange>> changes(const QString &category, const QString &id);

    StoreError lastError() const;

private:
    // The first row of the item as it is now, inside the running transaction; nullopt with no
    // error when there is none.
    std::optional<PriceListItem> current(const PriceListItem &item, bool *failed);

    Store *m_store;
    PriceListRepository m_priceList;
};
