#pragma once

#include "pricetable.h"
#include "recordset.h"
#include "storeerror.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <utility>

class Store;

// What a change made against the values a person saw found: done, or the item was changed or
// removed by someone else since it was read (then nothing was written), or why it failed.
struct CheckedChange {
    enum class Outcome { Done, ChangedMeanwhile, GoneMeanwhile, Failed };
    Outcome outcome = Outcome::Failed;
    std::optional<PriceListItem> current; // the item as it is now, when it was changed meanwhile
    StoreError error = StoreError(); // why, when it failed
};

// The price list and its settings rows as the program changes them: each change of an item takes
// its turn with the other counters' changes (takeItem) in a transaction of its own, a change
// checked against what a person saw says what was found instead, and a settings rewrite leaves
// one row per setting. The statements themselves are the table's (PriceTable).
class PriceListRepository final
{
public:
    explicit PriceListRepository(Store *store);

    using Order = PriceTable::Order;

    // Every call below gives its failure back with its result: a change an error, invalid when it
    // was made.

    // The items of one category with the columns ID, Description and Price, for a picker grid.
    StoreResult<std::unique_ptr<RecordSet>> items(const QString &category, Order order = Order::Unordered);

    // The first item with this id in the category; nullopt when there is none.
    StoreResult<std::optional<PriceListItem>> item(const QString &category, const QString &id);

    // Adds the item unless its id is in the category already (then refused, saying so): no id is
    // ever held twice, even when two counters add it at the same moment.
    StoreError add(const PriceListItem &item);
    // Changes description and price of the item(s) with item.id in item.category; never renames.
    StoreError update(const PriceListItem &item);
    // Removes the item(s) with this id in the category.
    StoreError remove(const QString &category, const QString &id);
    // Removes only the row with this key, and only while it still holds this id in this category;
    // an item without a key is removed as remove() does.
    StoreError removeRow(const PriceListItem &item);

    // The same changes, made only while the item still holds the description and price it was read
    // with (seen), so that of two editors changing one item at the same time the second is told,
    // with the current value, instead of silently overwriting the first.
    CheckedChange updateIfUnchanged(const PriceListItem &seen, const PriceListItem &changed);
    CheckedChange removeIfUnchanged(const PriceListItem &seen);

    // Every change of an item above takes its turn with the other counters' changes of the same
    // item, and goes along with them on the list as a whole, which an import takes for itself
    // (listLock()): while one runs, a change is refused at once, saying so (a Busy error), instead
    // of waiting for the import to end. Only inside a transaction; for work that reads the item
    // before it changes it.
    StoreError takeItem(const QString &category, const QString &id);
    // What is kept beside the list for an item (its cost, its attributes) goes with its last row:
    // of this id, or of every id the category no longer holds when id is empty. Only inside the
    // transaction that removed the rows.
    StoreError forgetRemoved(const QString &category, const QString &id = QString());
    // The name of the lock on the price list as a whole (Store::lock).
    static QString listLock() { return QStringLiteral("price list"); }

    // Settings rows (category "90"): company, sp and dt; nullopt for a missing row or one without
    // a value.
    StoreResult<std::optional<QString>> setting(const QString &id);
    // The same, telling a row without a value (a null QVariant) from a missing row (nullopt).
    StoreResult<std::optional<QVariant>> settingValue(const QString &id);
    // Every delete in the given order, then every insert, in one transaction: a failed insert
    // leaves the previous rows in place. Rewrites by several counters at once take turns, so each
    // setting keeps exactly one row.
    StoreError rewriteSettings(const QList<std::pair<QString, QString>> &settings);
    // The price-list date stamp (setting dt): the date and time of the last change, as the system
    // writes dates. All or nothing, like every settings rewrite.
    StoreError stampDate(const QDateTime &when);

private:
    CheckedChange whatChanged(const PriceListItem &seen);

    Store *m_store;
    PriceTable m_table;
};
