#include "priceimport.h"

#include "core/price.h"
#include "itemcosttable.h"
#include "partattributetable.h"
#include "pricehistorytable.h"
#include "pricetable.h"
#include "store.h"

#include <QSet>

#include <algorithm>

PriceImport::PriceImport(Store *store)
    : m_store(store)
{
}

ImportChange ImportPreview::changed(size_t i) const
{
    const Change &c = m_changed[i];
    return { (*m_items)[c.item], m_text.optionalText(c.oldPrice),
        c.descriptionChanges ? m_text.optionalText(c.oldDescription) : std::nullopt, c.costChanges,
        c.costChanges ? m_text.optionalText(c.oldCost) : std::nullopt, c.handSet };
}

PriceListItem ImportPreview::missing(size_t i) const
{
    const Missing &m = m_missing[i];
    return { m_items->category(m.category), m_text.text(m.id), m_text.optionalText(m.description),
        m_text.optionalText(m.price) };
}

StoreResult<ImportPreview> PriceImport::preview(SupplierImport::ItemList &&items)
{
    return compare(std::move(items), std::nullopt);
}

StoreResult<ImportPreview> PriceImport::preview(SupplierImport::ItemList &&items, const CostPricing &pricing)
{
    return compare(std::move(items), pricing);
}

StoreResult<ImportPreview> PriceImport::compare(
    SupplierImport::ItemList &&taken, const std::optional<CostPricing> &pricing)
{
    ImportPreview preview;
    preview.m_items = std::make_unique<SupplierImport::ItemList>(std::move(taken));
    SupplierImport::ItemList &items = *preview.m_items;
    for (size_t i = 0; i < items.size() && !preview.m_costs; ++i)
        preview.m_costs = items.cost(i).has_value();
    std::vector<bool> listed(items.size());
    for (quint32 category = 0; category < items.categoryCount(); ++category) {
        if (!compareCategory(category, listed, preview, pricing))
            return m_store->lastError();
    }
    // Both in the order of the file.
    std::sort(preview.m_changed.begin(), preview.m_changed.end(),
        [&](const ImportPreview::Change &a, const ImportPreview::Change &b) {
            return items.line(a.item) < items.line(b.item);
        });
    for (size_t i = 0; i < items.size(); ++i) {
        if (listed[i])
            continue;
        preview.m_added.push_back(static_cast<quint32>(i));
        // A new item has no price of its own to keep: the markup gives it one.
        const std::optional<QString> cost = items.cost(i);
        if (pricing && cost) {
            const Markup::Rule rule = pricing->rules.forCategory(items.category(items.categoryOf(i)));
            items.setPrice(i, Markup::listPriceText(*Price::fromStored(*cost).number(), rule).text());
        }
    }
    return preview;
}

namespace
{

// The list price an import of costs gives an item the list holds: the markup's for its new cost,
// unless the price it has was set by hand (it is not the markup's for the cost it had) and is to
// be kept.
std::pair<QString, HandSetPrice> pricedFromCost(const std::optional<QString> &price,
    const std::optional<Price> &oldCost, const QString &cost, const Markup::Rule &rule,
    const Markup::Rule &setBy, bool repriceHandSet)
{
    const QString ruled = Markup::listPriceText(*Price::fromStored(cost).number(), rule).text();
    const bool handSet = price
        && !(oldCost && oldCost->number()
            && Markup::isRulePrice(Price::fromStored(*price), *oldCost->number(), setBy));
    if (!handSet)
        return { ruled, HandSetPrice::No };
    if (!repriceHandSet)
        return { *price, HandSetPrice::Kept };
    return { ruled, HandSetPrice::Repriced };
}

} // namespace

bool PriceImport::compareCategory(quint32 category, std::vector<bool> &listed, ImportPreview &preview,
    const std::optional<CostPricing> &pricing)
{
    SupplierImport::ItemList &items = *preview.m_items;
    const QString &name = items.category(category);
    QHash<QString, Price> costs;
    if (preview.m_costs) {
        auto read = ItemCostTable(m_store).readCategory(name);
        if (!read)
            return false;
        costs = std::move(*read);
    }
    static const CostPricing listPrices;
    const CostPricing &byCost = pricing ? *pricing : listPrices;
    const Markup::Rule rule = byCost.rules.forCategory(name);
    const Markup::Rule setBy = byCost.setBy.value_or(byCost.rules).forCategory(name);
    QString previous;
    bool first = true;
    enum class Kept { Nothing, Change, Missing } kept = Kept::Nothing;
    return PriceTable(m_store).readCategory(name,
        [&](const QString &id, const std::optional<QString> &description,
            const std::optional<QString> &price) {
            // The first row of an id the list holds twice stands for both: Apply changes every row of
            // the id alike, so a second row must not count as missing.
            if (!first && id == previous) {
                if (kept == Kept::Change)
                    preview.m_changed.back().repeated = true;
                else if (kept == Kept::Missing)
                    preview.m_missing.back().repeated = true;
                return true;
            }
            first = false;
            previous = id;
            kept = Kept::Nothing;
            const std::optional<size_t> found = items.find(category, id);
            if (!found) {
                preview.m_missing.push_back({ category, preview.m_text.add(QStringView(id)),
                    preview.m_text.addOptional(description), preview.m_text.addOptional(price) });
                kept = Kept::Missing;
                return true;
            }
            listed[*found] = true;
            const std::optional<QString> cost = items.cost(*found);
            const auto oldCostAt = costs.constFind(id);
            const std::optional<Price> oldCost
                = oldCostAt == costs.cend() ? std::nullopt : std::optional<Price>(*oldCostAt);
            HandSetPrice handSet = HandSetPrice::No;
            if (pricing && cost) {
                auto [listPrice, how]
                    = pricedFromCost(price, oldCost, *cost, rule, setBy, byCost.repriceHandSet);
                items.setPrice(*found, listPrice);
                handSet = how;
            }
            const std::optional<QString> fileDescription = items.description(*found);
            const bool samePrice = price && Price::same(*price, items.price(*found));
            const bool sameDescription = !fileDescription || fileDescription == description;
            // A cost is compared as a price is; the file without one leaves the cost as it is.
            const bool costChanges = cost && !(oldCost && Price::same(oldCost->text(), *cost));
            if (samePrice && sameDescription && !costChanges) {
                ++preview.m_unchanged;
                return true;
            }
            const TextPool::Ref oldCostText
                = costChanges && oldCost ? preview.m_text.add(QStringView(oldCost->text())) : TextPool::Ref();
            const ImportPreview::Change change { static_cast<quint32>(*found),
                preview.m_text.addOptional(price), preview.m_text.addOptional(description), !sameDescription,
                false, costChanges, oldCostText, handSet };
            if (handSet != HandSetPrice::No)
                ++preview.m_handSet;
            preview.m_changed.push_back(change);
            kept = Kept::Change;
            return true;
        });
}

// The prepared statements of an Apply: the list's and the history's.
struct PriceImport::Statements {
    std::unique_ptr<PriceTable::Bulk> list;
    std::unique_ptr<PriceHistoryTable::Recorder> history;
};

bool PriceImport::takeWholeList()
{
    // A second import is refused at once; changes already under way at other counters are waited
    // for (they are short), and new ones are refused until this import ends.
    if (!m_store->lock(
            QStringLiteral("price list import"), Store::LockMode::Exclusive, Store::LockWait::DoNotWait)) {
        if (m_store->lastErrorIsBusy())
            m_refused = m_store->refusal(
                QStringLiteral("Another counter is importing into the price list at this moment, so nothing "
                               "was written. Try again when it has finished."),
                Store::busyCode());
        return false;
    }
    return m_store->lock(PriceListRepository::listLock(), Store::LockMode::Exclusive);
}

bool PriceImport::conflict(
    const QString &category, const QString &id, const std::optional<PriceListItem> &seen)
{
    auto now = PriceTable(m_store).item(category, id);
    if (!now && m_store->lastError().isValid())
        return false;
    if (now)
        now->rowKey.reset();
    m_conflicts.push_back({ category, id, seen, now });
    return true;
}

bool PriceImport::writeChanged(const ImportPreview &preview, Statements &run, const QDateTime &when,
    const QString &source, const GoOn &goOn)
{
    for (const ImportPreview::Change &c : preview.m_changed) {
        if (!goOn())
            return false;
        const SupplierImport::Item item = (*preview.m_items)[c.item];
        const std::optional<QString> oldPrice = preview.m_text.optionalText(c.oldPrice);
        const std::optional<QString> oldDescription = preview.m_text.optionalText(c.oldDescription);
        const PriceListItem changed { item.category, item.id, item.description, item.price };
        bool asSeen = false;
        if (!run.list->updateIfHolds(changed, oldDescription, oldPrice, &asSeen))
            return false;
        if (!asSeen) {
            if (!conflict(item.category, item.id,
                    PriceListItem { item.category, item.id, oldDescription, oldPrice }))
                return false;
            continue;
        }
        if (c.repeated && !run.list->updateAll(changed))
            return false;
        // The row held the price the preview saw, so that is the price replaced.
        const bool priceMoved = !oldPrice || !Price::same(*oldPrice, item.price);
        if (priceMoved
            && !run.history->record({ when, item.category, item.id, oldPrice, item.price,
                item.description.value_or(oldDescription.value_or(QString())), source }))
            return false;
    }
    return true;
}

bool PriceImport::writeAdded(const ImportPreview &preview, Statements &run, const QDateTime &when,
    const QString &source, const GoOn &goOn)
{
    for (size_t i = 0; i < preview.addedCount(); ++i) {
        if (!goOn())
            return false;
        const SupplierImport::Item item = preview.added(i);
        // An item the file lists without a description is added with an empty one.
        bool added = false;
        if (!run.list->addIfMissing(
                { item.category, item.id, item.description.value_or(QString()), item.price }, &added))
            return false;
        if (!added) {
            if (!conflict(item.category, item.id, std::nullopt))
                return false;
            continue;
        }
        if (!run.history->record({ when, item.category, item.id, std::nullopt, item.price,
                item.description.value_or(QString()), source }))
            return false;
    }
    return true;
}

bool PriceImport::writeCosts(const ImportPreview &preview, const QDateTime &when, const QString &source)
{
    QList<CostChange> changes;
    for (const ImportPreview::Change &c : preview.m_changed) {
        if (!c.costChanges)
            continue;
        const SupplierImport::Item item = (*preview.m_items)[c.item];
        changes.push_back({ item.category, item.id, Price::fromColumn(preview.m_text.optionalText(c.oldCost)),
            Price::fromColumn(item.cost), item.description.value_or(QString()) });
    }
    for (size_t i = 0; i < preview.addedCount(); ++i) {
        const SupplierImport::Item item = preview.added(i);
        if (item.cost)
            changes.push_back({ item.category, item.id, std::nullopt, Price::fromStored(*item.cost),
                item.description.value_or(QString()) });
    }
    if (changes.isEmpty())
        return true;
    const StoreError error = ItemCostTable(m_store).setCosts(changes, when, source);
    if (!error.isValid())
        return true;
    // Another counter's cost change since the preview: as with prices, nothing is written.
    m_refused = error;
    return false;
}

bool PriceImport::writeAttributes()
{
    if (!m_attributes)
        return true;
    PartAttributeTable table(m_store);
    for (auto i = m_attributes->cbegin(); i != m_attributes->cend(); ++i) {
        const auto &[category, id] = i.key();
        auto kept = table.read(category, id);
        if (!kept) {
            m_refused = kept.error();
            return false;
        }
        PartAttributes merged = *kept;
        for (auto v = i.value().values().cbegin(); v != i.value().values().cend(); ++v)
            merged.set(v.key(), v->text);
        if (merged == *kept)
            continue;
        const StoreError error = table.write(category, id, merged);
        if (error.isValid()) {
            m_refused = error;
            return false;
        }
    }
    return true;
}

bool PriceImport::removeMissing(const ImportPreview &preview, Statements &run, const QDateTime &when,
    const QString &source, const GoOn &goOn)
{
    PriceTable list(m_store);
    for (size_t i = 0; i < preview.missingCount(); ++i) {
        if (!goOn())
            return false;
        const PriceListItem item = preview.missing(i);
        bool asSeen = false;
        if (!run.list->removeIfHolds(item, &asSeen))
            return false;
        if (!asSeen) {
            // Gone already is what the file asks for; changed is not.
            auto now = list.item(item.category, item.id);
            if (!now && m_store->lastError().isValid())
                return false;
            if (now) {
                now->rowKey.reset();
                m_conflicts.push_back({ item.category, item.id, item, now });
            }
            continue;
        }
        if (preview.m_missing[i].repeated && !run.list->removeAll(item.category, item.id))
            return false;
        if (!run.history->record({ when, item.category, item.id, item.price, std::nullopt,
                item.description.value_or(QString()), source }))
            return false;
    }
    return true;
}

bool PriceImport::forgetMissing(const ImportPreview &preview)
{
    QSet<quint32> done;
    PriceListRepository list(m_store);
    for (size_t i = 0; i < preview.m_missing.size(); ++i) {
        if (done.contains(preview.m_missing[i].category))
            continue;
        done.insert(preview.m_missing[i].category);
        if (list.forgetRemoved(preview.missing(i).category).isValid())
            return false;
    }
    return true;
}

StoreError PriceImport::apply(const ImportPreview &preview, bool removeMissingItems, const QString &source,
    const QDateTime &when, const Progress &keepGoing)
{
    m_refused = StoreError();
    m_conflicts.clear();
    PriceHistoryTable history(m_store);
    const qint64 total = static_cast<qint64>(
        preview.addedCount() + preview.changedCount() + (removeMissingItems ? preview.missingCount() : 0));
    qint64 written = 0;
    bool stopped = false;
    const GoOn goOn = [&] {
        stopped = keepGoing && ++written % 2048 == 0 && !keepGoing(written, total);
        return !stopped;
    };
    bool changedMeanwhile = false;
    m_steps.start();
    const bool applied = history.ensureSchema()
        && (!preview.writesCosts() || ItemCostTable(m_store).ensureSchema()) && m_store->inTransaction([&] {
               m_steps.lap("schema, begin");
               if (!takeWholeList())
                   return false;
               m_steps.lap("lock");
               if (m_store->isServer()) {
                   if (!writeStaged(preview, removeMissingItems, when, source, goOn))
                       return false;
               } else {
                   Statements run { PriceTable(m_store).prepareBulk(),
                       history.prepareRecorder(when, source) };
                   if (!run.list || !run.history)
                       return false;
                   if (!writeChanged(preview, run, when, source, goOn)
                       || !writeAdded(preview, run, when, source, goOn)
                       || (removeMissingItems && !removeMissing(preview, run, when, source, goOn)))
                       return false;
                   m_steps.lap("rows, history");
               }
               if (!m_conflicts.isEmpty()) {
                   changedMeanwhile = true;
                   m_refused = StoreError(StoreError::Kind::Conflict,
                       QStringLiteral(
                           "%1 of the items were changed at another counter after the preview, so nothing "
                           "was written. Preview again to see the price list as it is now.")
                           .arg(m_conflicts.size()));
                   return false;
               }
               // On a server the costs went with the staged rows.
               const bool written = (m_store->isServer() || writeCosts(preview, when, source))
                   && writeAttributes() && (!removeMissingItems || forgetMissing(preview))
                   && !PriceListRepository(m_store).stampDate(when).isValid();
               m_steps.lap("costs, attributes, date");
               return written;
           });
    m_steps.lap("commit");
    if (applied)
        return {};
    if (!changedMeanwhile)
        m_conflicts.clear();
    if (stopped)
        return StoreError::failed(QStringLiteral("The import was stopped; nothing was written."));
    return m_refused.isValid() ? m_refused : m_store->lastError();
}
