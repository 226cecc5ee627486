#pragma once

#include "core/price.h"
#include "storeerror.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

class Store;

// One item's cost changing from what was read (old) to what it is to be (now); nullopt on either
// side is an unknown cost.
struct CostChange {
    QString category;
    QString id;
    std::optional<Price> old;
    std::optional<Price> now;
    QString description = QString(); // for the price history, as a price change records it
};

// What the shop pays for the list's items, beside the list: table item_costs, one row for each item
// whose cost is known, made by a schema step when first written. A cost is kept as the exact text
// of a price ("1080.5" stays "1080.5"); zero is a cost, no row is an unknown one, and a negative
// cost is refused. Every change is recorded in the price history with what it replaced. On a
// server every counter shares the costs as it shares the list; adt itself is never touched, so a
// list without costs behaves as it always has.
class ItemCostTable final
{
public:
    static const QString EditorSource;

    explicit ItemCostTable(Store *store);

    // Brings the cost table and the price history up to date; before a transaction that calls
    // setCosts() (the others do it themselves).
    bool ensureSchema();

    // One item's cost, nullopt when it is unknown, or why it cannot be read.
    StoreResult<std::optional<Price>> read(const QString &category, const QString &id);
    // Every known cost of a category, by item id.
    StoreResult<QHash<QString, Price>> readCategory(const QString &category);

    // Keeps the item's cost change.now (nullopt: unknown from now on) unless another counter
    // changed it since change.old was read: then nothing is written and the error is a Conflict.
    // The change and its record in the price history are written together, in the caller's
    // transaction when there is one. Invalid when done, or when there was nothing to change.
    StoreError set(const CostChange &change, const QDateTime &when, const QString &source = EditorSource);

    // Many changes at once, each with its record, inside the caller's transaction (an import);
    // ensureSchema() first. An item whose cost is no longer the old one read makes the whole a
    // Conflict naming it: the caller then rolls back. Invalid when done.
    StoreError setCosts(const QList<CostChange> &changes, const QDateTime &when, const QString &source);

    // The same for an import staged on a server (stagedimport.h), in a few statements; each change
    // with its record. The items whose cost is no longer the one staged as seen make the whole a
    // Conflict, as setCosts() does. Invalid when done.
    StoreError setStagedCosts(const QDateTime &when, const QString &source);

    // Drops the costs of items the list no longer holds: of this id, or of the whole category when
    // id is empty; in the caller's transaction, beside the removal. An id that comes back later is a
    // new item, whose price must not look hand-set against a cost it never had.
    bool forgetRemoved(const QString &category, const QString &id = QString());

    // Why a cost cannot be kept, empty when it can: a cost is a number, never below zero.
    static QString refusal(const Price &cost);

private:
    Store *m_store;
};
