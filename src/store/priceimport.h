#pragma once

#include "core/markup.h"
#include "core/supplierimport.h"
#include "pricelistrepository.h"
#include "stagedimport.h"
#include "steptimer.h"

#include <QDateTime>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Store;

// Whether an item's list price was set by hand (not the one the markup gives for its cost), and
// what an import of costs did with it.
enum class HandSetPrice { No, Kept, Repriced };

// An item the file lists differently from the price list: another price, description or cost.
struct ImportChange {
    SupplierImport::Item item;
    std::optional<QString> oldPrice;
    std::optional<QString> oldDescription; // only when the file brings another one
    bool costChanges = false; // the file brings another cost (item.cost)
    std::optional<QString> oldCost; // the cost the list held; only when costChanges
    HandSetPrice handSet = HandSetPrice::No;
};

// How an import of costs prices its items: by the shop's markup rules, and whether the list
// prices set by hand follow them too.
struct CostPricing {
    Markup::Rules rules;
    bool repriceHandSet = false;
    // The rules the list prices were last set by, which tell a price set by hand; the same rules
    // when none are given (an import), the rules as they were when the rules change.
    std::optional<Markup::Rules> setBy = std::nullopt;
};

// An item another counter changed, added or removed after the preview, which Apply therefore left
// as it is: what the preview saw (nullopt: the id was not in the list) and what the list holds
// now (nullopt: it is gone).
struct ImportConflict {
    QString category;
    QString id;
    std::optional<PriceListItem> seen;
    std::optional<PriceListItem> now;
};

// What applying a supplier's file would do to the categories it names. It owns the items it was
// made from (a file may list a million: they are moved in, never copied) and keeps only indexes
// into them and the list's old texts, compactly.
class ImportPreview
{
public:
    size_t addedCount() const { return m_added.size(); }
    SupplierImport::Item added(size_t i) const { return (*m_items)[m_added[i]]; }
    // Every item of the file, priced as Apply writes them.
    const SupplierImport::ItemList &items() const { return *m_items; }
    size_t changedCount() const { return m_changed.size(); }
    ImportChange changed(size_t i) const;
    // Items of those categories the file no longer lists: kept, unless the person asks to remove them.
    size_t missingCount() const { return m_missing.size(); }
    PriceListItem missing(size_t i) const;
    qsizetype unchanged() const { return m_unchanged; }
    // Changed items whose list price was set by hand: kept, or re-priced when asked.
    qsizetype handSetCount() const { return m_handSet; }
    // Whether Apply writes costs as well as prices.
    bool writesCosts() const { return m_costs; }

    bool changesNothing(bool removeMissing) const
    {
        return m_added.empty() && m_changed.empty() && (!removeMissing || m_missing.empty());
    }

private:
    friend class PriceImport;
    // What the list held is kept whole, so Apply can tell whether it still holds it.
    struct Change {
        quint32 item;
        TextPool::Ref oldPrice;
        TextPool::Ref oldDescription;
        bool descriptionChanges = false; // the file brings another description
        bool repeated = false; // the list holds the id more than once
        bool costChanges = false;
        TextPool::Ref oldCost;
        HandSetPrice handSet = HandSetPrice::No;
    };
    struct Missing {
        quint32 category;
        TextPool::Ref id;
        TextPool::Ref description;
        TextPool::Ref price;
        bool repeated = false;
    };

    // On the heap, so a preview moves in one step and its items stay where they are.
    std::unique_ptr<SupplierImport::ItemList> m_items;
    std::vector<quint32> m_added;
    std::vector<Change> m_changed;
    std::vector<Missing> m_missing;
    qsizetype m_unchanged = 0;
    qsizetype m_handSet = 0;
    bool m_costs = false;
    TextPool m_text;
};

// Compares a supplier's items with the price list and writes them into it: every addition,
// change and (when asked) removal, with its price-history record and one stamp of the price-list
// date, in one transaction, so the list is either the old one or the new one. Apply writes only
// over what the preview saw: an item another counter changed, added or removed since is never
// overwritten, duplicated or recorded with a price it no longer had; then nothing is written and
// changedMeanwhile() lists those items, to be previewed again.
class PriceImport final
{
public:
    explicit PriceImport(Store *store);

    // The preview, holding the items, or why the list cannot be read.
    StoreResult<ImportPreview> preview(SupplierImport::ItemList &&items);
    // The same for a file of costs: each item is first given its list price from its cost by the
    // rules, but one whose list price was set by hand keeps it unless pricing.repriceHandSet.
    StoreResult<ImportPreview> preview(SupplierImport::ItemList &&items, const CostPricing &pricing);
    // keepGoing is told now and then how many of the rows are written; false stops and undoes it all.
    // While it runs, the other counters' changes of the price list are refused at once (they are
    // told the list is being imported); a second import at the same time is refused likewise.
    // Nothing (an invalid StoreError) when every row was written, else why none was.
    using Progress = std::function<bool(qint64 written, qint64 total)>;
    StoreError apply(const ImportPreview &preview, bool removeMissing, const QString &source,
        const QDateTime &when, const Progress &keepGoing = {});
    // What Apply also keeps of the items' attributes, in the same transaction (the file's attribute
    // columns, and guesses the person accepted): each value given replaces the item's, the rest of
    // what the item has stays. The hash must outlive apply().
    void setAttributes(const QHash<SupplierImport::ItemKey, PartAttributes> *attributes)
    {
        m_attributes = attributes;
    }
    // After an Apply that wrote nothing for them: the items changed since the preview, in the
    // order of the preview (changed, new, no longer listed).
    const QList<ImportConflict> &changedMeanwhile() const { return m_conflicts; }
    // Told how long each step of an Apply took (a benchmark's breakdown).
    void setStepSink(StepTimer::Sink sink) { m_steps.setSink(std::move(sink)); }

private:
    struct Statements;
    using GoOn = std::function<bool()>;
    // The three parts of an Apply, in its one transaction, in the order the preview lists them.
    bool writeChanged(const ImportPreview &preview, Statements &run, const QDateTime &when,
        const QString &source, const GoOn &goOn);
    bool writeAdded(const ImportPreview &preview, Statements &run, const QDateTime &when,
        const QString &source, const GoOn &goOn);
    bool removeMissing(const ImportPreview &preview, Statements &run, const QDateTime &when,
        const QString &source, const GoOn &goOn);
    // The same three on a database server, in a few statements (priceimportserver.cpp).
    bool writeStaged(const ImportPreview &preview, bool removeMissingItems, const QDateTime &when,
        const QString &source, const GoOn &goOn);
    // Every row a server Apply stages, in the preview's order, each with what the preview saw of
    // its item (nullopt for an added one); stops at the first false from `row`.
    using StagedRow = std::function<bool(const StagedImport::Row &, const std::optional<PriceListItem> &)>;
    static bool forEachStaged(const ImportPreview &preview, bool removeMissingItems, const StagedRow &row);
    // Notes each of these staged items as changed since the preview, with what the preview saw.
    bool noteStagedConflicts(const ImportPreview &preview, bool removeMissingItems,
        const QList<std::pair<QString, QString>> &conflicts);
    StoreResult<ImportPreview> compare(
        SupplierImport::ItemList &&items, const std::optional<CostPricing> &pricing);
    bool compareCategory(quint32 category, std::vector<bool> &listed, ImportPreview &preview,
        const std::optional<CostPricing> &pricing);
    bool writeCosts(const ImportPreview &preview, const QDateTime &when, const QString &source);
    bool writeAttributes();
    // The removed items' costs and attributes go with them.
    bool forgetMissing(const ImportPreview &preview);
    bool takeWholeList();
    bool conflict(const QString &category, const QString &id, const std::optional<PriceListItem> &seen);

    Store *m_store;
    StoreError m_refused; // why Apply refused, in the program's own words
    const QHash<SupplierImport::ItemKey, PartAttributes> *m_attributes = nullptr;
    QList<ImportConflict> m_conflicts;
    StepTimer m_steps;
};
