#pragma once

#include "recordset.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class PreparedStatement;
class Store;

// One row of the price list as adt keeps it. The price is the stored text ("12.345" stays
// "12.345"), never a number, so nothing is rounded on the way in or out.
struct PriceListItem {
    QString category;
    QString id;
    std::optional<QString> description; // nullopt: the column holds no value
    std::optional<QString> price;
    // The key of the row the item was read from, so a change can name exactly that row when ids
    // repeat (many rows may have an empty one); nullopt for an item not read from the table.
    std::optional<qint64> rowKey = std::nullopt;
};

// The price-list table adt: every statement of the program on it, each with its values bound, so
// nothing a person types can change what a statement does. The SQL is the common subset of SQLite
// and PostgreSQL; the one difference, the column that keys a row, the store names
// (Store::rowKeyColumn). It only reads and writes: taking turns with other counters and running
// in a transaction are the callers' (PriceListRepository, PriceImport). A failed call returns
// false or nullopt, and the store's lastError() says why.
class PriceTable final
{
public:
    explicit PriceTable(Store *store);

    static QString name() { return QStringLiteral("adt"); }
    // The statements that make the table in a new file, and on a database server.
    static QStringList fileTables();
    static QStringList serverTables();
    // Whether the table can be read, on a connection that is being opened (no retry, no report).
    static QString probeStatement();
    // The condition, for a statement on a table kept beside the list (columns category and
    // item_id), that the list no longer holds the row's item.
    static QString itemGoneFrom(const QString &table);

    // The order a picker shows a category in: the main window lists the newest ids first, the
    // editor in the order the engine returns them.
    enum class Order { Unordered, IdDescending };
    // The items of one category with the columns ID, Description and Price, for a picker grid.
    std::unique_ptr<RecordSet> items(const QString &category, Order order);
    // The first row with this id in the category; nullopt with no error when there is none.
    std::optional<PriceListItem> item(const QString &category, const QString &id);
    // Every row of one category by id (id, description, price), one at a time, keeping none.
    using Row = std::function<bool(
        const QString &id, const std::optional<QString> &description, const std::optional<QString> &price)>;
    bool readCategory(const QString &category, const Row &row);
    // Every item (category, id, description, price), of one category or of all but the settings,
    // ordered by category and id, one at a time.
    using ItemRow = std::function<bool(const PriceListItem &item)>;
    bool readItems(const std::optional<QString> &category, const ItemRow &row);

    // Adds the item unless its id is in the category already; *added says whether it did.
    bool addIfMissing(const PriceListItem &item, int *added);
    // Changes description and price of every row with item.id in item.category.
    bool update(const PriceListItem &item);
    // Removes every row with this id in the category.
    bool remove(const QString &category, const QString &id);
    // Removes the row with this key while it still holds this id in this category.
    bool removeRow(const PriceListItem &item);
    // The same changes, made only where the row still holds the description and price seen (and,
    // when seen has one, is the row with that key); *matched counts the rows changed.
    bool updateIfHolds(const PriceListItem &seen, const PriceListItem &changed, int *matched);
    bool removeIfHolds(const PriceListItem &seen, int *matched);

    // Settings rows (category "90"): the description of one, telling a row without a value (a
    // null QVariant) from a missing row (nullopt, with no error).
    std::optional<QVariant> settingValue(const QString &id);
    // Deletes the rows of these settings, then inserts them anew, in order.
    bool rewriteSettings(const QList<std::pair<QString, QString>> &settings);

    // The statements of an import, prepared once for its thousands of rows: each change is made
    // only where the row holds what was seen, and an item added only while its id is not there.
    class Bulk;
    std::unique_ptr<Bulk> prepareBulk();

    // The same work for an import staged on a server (stagedimport.h), in a few statements. The
    // items staged as seen that the list no longer holds as seen (an added id the list holds, a
    // changed or missing item changed since), as category and id, in the preview's order; nullopt
    // when they cannot be read.
    std::optional<QList<std::pair<QString, QString>>> stagedConflicts();
    // Writes every staged change; the staged missing items are removed only when asked.
    bool applyStaged(bool removeMissing);

private:
    Store *m_store;
};

class PriceTable::Bulk final
{
public:
    explicit Bulk(Store &store);
    ~Bulk();
    Bulk(const Bulk &) = delete;
    Bulk &operator=(const Bulk &) = delete;
    bool ready() const;

    bool addIfMissing(const PriceListItem &item, bool *added);
    // Only where the row holds seenDescription and seenPrice; a changed item without a
    // description keeps the row's. *asSeen says whether the row was as seen.
    bool updateIfHolds(const PriceListItem &changed, const std::optional<QString> &seenDescription,
        const std::optional<QString> &seenPrice, bool *asSeen);
    bool removeIfHolds(const PriceListItem &seen, bool *asSeen);
    // The other rows of an id the list holds more than once follow its first.
    bool updateAll(const PriceListItem &changed);
    bool removeAll(const QString &category, const QString &id);

private:
    class Checked;
    std::unique_ptr<PreparedStatement> m_add, m_updateAll, m_updatePriceAll, m_removeAll;
    std::unique_ptr<Checked> m_update, m_updatePrice, m_remove;
};
