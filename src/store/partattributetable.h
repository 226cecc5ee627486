#pragma once

#include "core/partattributes.h"
#include "storeerror.h"

#include <QHash>
#include <QString>

#include <optional>

class Store;

// What is known about the price list's items as parts (a processor's socket, a card's length),
// beside the list itself: table part_attributes, one row per item and attribute, made by a schema
// step when first written. On a server every counter shares it as it shares the list. The list
// itself is never touched, so a list without attributes behaves as it always has.
class PartAttributeTable final
{
public:
    explicit PartAttributeTable(Store *store);

    // An item's attributes, empty when none are kept, or why they cannot be read.
    StoreResult<PartAttributes> read(const QString &category, const QString &itemId);
    // Every item's of a category that has any, by item id.
    StoreResult<QHash<QString, PartAttributes>> readCategory(const QString &category);
    // Keeps exactly these attributes for the item, in one transaction; invalid when done. What a
    // newer program keeps under names this one does not know is left as it is.
    StoreError write(const QString &category, const QString &itemId, const PartAttributes &attributes);

    // Drops the attributes of items the list no longer holds: of this id, or of the whole category
    // when id is empty; in the caller's transaction, beside the removal.
    bool forgetRemoved(const QString &category, const QString &id = QString());

private:
    Store *m_store;
};
