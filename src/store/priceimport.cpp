#include "priceimport.h"

#include "core/price.h"
#include "pricehistory.h"
#include "store.h"

#include <algorithm>

namespace
{

std::optional<QString> textOf(const QVariant &value)
{
    return value.isNull() ? std::nullopt : std::optional<QString>(value.toString());
}

} // namespace

PriceImport::PriceImport(Store *store)
    : m_store(store)
{
}

StoreError PriceImport::lastError() const
{
    return m_error.isValid() ? m_error : m_store->lastError();
}

ImportChange ImportPreview::changed(size_t i) const
{
    const Change &c = m_changed[i];
    return { (*m_items)[c.item], m_text.optionalText(c.oldPrice),
        c.descriptionChanges ? m_text.optionalText(c.oldDescription) : std::nullopt };
}

PriceListItem ImportPreview::missing(size_t i) const
{
    const Missing &m = m_missing[i];
    return { m_items->category(m.category), m_text.text(m.id), m_text.optionalText(m.description),
        m_text.optionalText(m.price) };
}

std::optional<ImportPreview> PriceImport::preview(const SupplierImport::ItemList &items)
{
    m_error = StoreError();
    ImportPreview preview;
    preview.m_items = &items;
    std::vector<bool> listed(items.size());
    for (quint32 category = 0; category < items.categoryCount(); ++category) {
        if (!compareCategory(category, listed, preview))
            return std::nullopt;
    }
    // Both in the order of the file.
    std::sort(preview.m_changed.begin(), preview.m_changed.end(),
        [&](const ImportPreview::Change &a, const ImportPreview::Change &b) {
            return items.line(a.item) < items.line(b.item);
        });
    for (size_t i = 0; i < items.size(); ++i) {
        if (!listed[i])
            preview.m_added.push_back(static_cast<quint32>(i));
    }
    return preview;
}

bool PriceImport::compareCategory(quint32 category, std::vector<bool> &listed, ImportPreview &preview)
{
    const SupplierImport::ItemList &items = *preview.m_items;
    QString previous;
    bool first = true;
    enum class Kept { Nothing, Change, Missing } kept = Kept::Nothing;
    return m_store->readRows(
        QStringLiteral("select id, description, price from adt where category = ? order by id"),
        { items.category(category) }, [&](const StreamedRow &row) {
            const QString id = row.value(0).toString();
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
            const std::optional<QString> description = textOf(row.value(1));
            const std::optional<QString> price = textOf(row.value(2));
            const std::optional<size_t> found = items.find(category, id);
            if (!found) {
                preview.m_missing.push_back({ category, preview.m_text.add(QStringView(id)),
                    preview.m_text.addOptional(description), preview.m_text.addOptional(price) });
                kept = Kept::Missing;
                return true;
            }
            listed[*found] = true;
            const std::optional<QString> fileDescription = items.description(*found);
            const bool samePrice = price && Price::same(*price, items.price(*found));
            const bool sameDescription = !fileDescription || fileDescription == description;
            if (samePrice && sameDescription) {
                ++preview.m_unchanged;
                return true;
            }
            preview.m_changed.push_back({ static_cast<quint32>(*found), preview.m_text.addOptional(price),
                preview.m_text.addOptional(description), !sameDescription });
            kept = Kept::Change;
            return true;
        });
}

namespace
{

QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

QVariant nullable(const std::optional<QString> &value)
{
    return value ? text(*value) : QVariant(QMetaType(QMetaType::QString));
}

// A change made only while the row still holds what the preview saw: one statement for each way
// of holding no value, each prepared when first needed, so a row binds only the texts it compares.
class CheckedStatement
{
public:
    CheckedStatement(Store &store, const QString &statement)
        : m_store(store)
        , m_statement(statement)
    {
    }
    // false (and the store's lastError()) when it failed; *changed says whether the row was as seen.
    bool exec(QVariantList values, const std::optional<QString> &description,
        const std::optional<QString> &price, bool *changed)
    {
        std::unique_ptr<PreparedStatement> &variant = m_variants[(description ? 0 : 1) + (price ? 0 : 2)];
        if (!variant) {
            variant = m_store.prepare(m_statement
                + QStringLiteral(" and description %1 and price %2")
                      .arg(description ? QStringLiteral("= ?") : QStringLiteral("is null"),
                          price ? QStringLiteral("= ?") : QStringLiteral("is null")));
            if (!variant)
                return false;
        }
        if (description)
            values << text(*description);
        if (price)
            values << text(*price);
        if (!variant->exec(values))
            return false;
        *changed = variant->rowsAffected() > 0;
        return true;
    }

private:
    Store &m_store;
    QString m_statement;
    std::unique_ptr<PreparedStatement> m_variants[4];
};

} // namespace

// The statements of an import, prepared once for its thousands of rows. Each change is made only
// while the row holds what the preview saw, and an item only added while its id is not there.
struct PriceImport::Statements {
    std::unique_ptr<PreparedStatement> add, updateAll, updatePriceAll, removeAll, record;
    CheckedStatement update, updatePrice, remove;
    explicit Statements(Store &store)
        : add(store.prepare(QStringLiteral(
            "insert into adt (category,id,description,price) select cast(? as text),cast(? as text),"
            "cast(? as text),cast(? as text) where not exists (select 1 from adt where category = ? and id = "
            "?)")))
        // The other rows of an id the list holds more than once follow its first.
        , updateAll(store.prepare(
              QStringLiteral("update adt set description = ?,price = ? where id = ? and category = ?")))
        , updatePriceAll(
              store.prepare(QStringLiteral("update adt set price = ? where id = ? and category = ?")))
        , removeAll(store.prepare(QStringLiteral("delete from adt where id = ? and category = ?")))
        , record(store.prepare(PriceHistory::recordStatement()))
        , update(
              store, QStringLiteral("update adt set description = ?,price = ? where id = ? and category = ?"))
        , updatePrice(store, QStringLiteral("update adt set price = ? where id = ? and category = ?"))
        , remove(store, QStringLiteral("delete from adt where id = ? and category = ?"))
    {
    }
    bool ready() const { return add && updateAll && updatePriceAll && removeAll && record; }
};

bool PriceImport::takeWholeList()
{
    // A second import is refused at once; changes already under way at other counters are waited
    // for (they are short), and new ones are refused until this import ends.
    if (!m_store->lock(
            QStringLiteral("price list import"), Store::LockMode::Exclusive, Store::LockWait::DoNotWait)) {
        if (m_store->lastErrorIsBusy())
            m_error = m_store->refusal(
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
    PriceListRepository list(m_store);
    auto now = list.item(category, id);
    if (!now && list.lastError().isValid())
        return false;
    if (now)
        now->rowKey.reset();
    m_conflicts.push_back({ category, id, seen, now });
    return true;
}

namespace
{

// Every record of an import has the same time and source: those are bound once, at the start.
bool record(PreparedStatement &statement, const PriceChange &change)
{
    return statement.exec(PriceHistory::ownValues(change));
}

} // namespace

bool PriceImport::writeChanged(const ImportPreview &preview, Statements &run, const QDateTime &when,
    const QString &source, const GoOn &goOn)
{
    for (const ImportPreview::Change &c : preview.m_changed) {
        if (!goOn())
            return false;
        const SupplierImport::Item item = (*preview.m_items)[c.item];
        const std::optional<QString> oldPrice = preview.m_text.optionalText(c.oldPrice);
        const std::optional<QString> oldDescription = preview.m_text.optionalText(c.oldDescription);
        const QVariantList values = item.description
            ? QVariantList { nullable(item.description), text(item.price), text(item.id),
                  text(item.category) }
            : QVariantList { text(item.price), text(item.id), text(item.category) };
        bool asSeen = false;
        if (!(item.description ? run.update : run.updatePrice)
                 .exec(values, oldDescription, oldPrice, &asSeen))
            return false;
        if (!asSeen) {
            if (!conflict(item.category, item.id,
                    PriceListItem { item.category, item.id, oldDescription, oldPrice }))
                return false;
            continue;
        }
        if (c.repeated && !(item.description ? *run.updateAll : *run.updatePriceAll).exec(values))
            return false;
        // The row held the price the preview saw, so that is the price replaced.
        const bool priceMoved = !oldPrice || !Price::same(*oldPrice, item.price);
        if (priceMoved
            && !record(*run.record,
                { when, item.category, item.id, oldPrice, item.price,
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
        if (!run.add->exec({ text(item.category), text(item.id), text(item.description.value_or(QString())),
                text(item.price), text(item.category), text(item.id) }))
            return false;
        if (run.add->rowsAffected() == 0) {
            if (!conflict(item.category, item.id, std::nullopt))
                return false;
            continue;
        }
        if (!record(*run.record,
                { when, item.category, item.id, std::nullopt, item.price,
                    item.description.value_or(QString()), source }))
            return false;
    }
    return true;
}

bool PriceImport::removeMissing(const ImportPreview &preview, Statements &run, const QDateTime &when,
    const QString &source, const GoOn &goOn)
{
    PriceListRepository list(m_store);
    for (size_t i = 0; i < preview.missingCount(); ++i) {
        if (!goOn())
            return false;
        const PriceListItem item = preview.missing(i);
        const QVariantList where { text(item.id), text(item.category) };
        bool asSeen = false;
        if (!run.remove.exec(where, item.description, item.price, &asSeen))
            return false;
        if (!asSeen) {
            // Gone already is what the file asks for; changed is not.
            auto now = list.item(item.category, item.id);
            if (!now && list.lastError().isValid())
                return false;
            if (now) {
                now->rowKey.reset();
                m_conflicts.push_back({ item.category, item.id, item, now });
            }
            continue;
        }
        if (preview.m_missing[i].repeated && !run.removeAll->exec(where))
            return false;
        if (!record(*run.record,
                { when, item.category, item.id, item.price, std::nullopt,
                    item.description.value_or(QString()), source }))
            return false;
    }
    return true;
}

bool PriceImport::apply(const ImportPreview &preview, bool removeMissingItems, const QString &source,
    const QDateTime &when, const Progress &keepGoing)
{
    m_error = StoreError();
    m_conflicts.clear();
    PriceHistory history(m_store);
    const qint64 total = static_cast<qint64>(
        preview.addedCount() + preview.changedCount() + (removeMissingItems ? preview.missingCount() : 0));
    qint64 written = 0;
    const GoOn goOn = [&] { return !keepGoing || ++written % 2048 != 0 || keepGoing(written, total); };
    bool changedMeanwhile = false;
    const bool applied = history.ensureSchema() && m_store->inTransaction([&] {
        if (!takeWholeList())
            return false;
        Statements run(*m_store);
        if (!run.ready())
            return false;
        const auto [time, from] = PriceHistory::sharedValues(when, source);
        if (!run.record->keep(0, time) || !run.record->keep(6, from))
            return false;
        if (!writeChanged(preview, run, when, source, goOn) || !writeAdded(preview, run, when, source, goOn)
            || (removeMissingItems && !removeMissing(preview, run, when, source, goOn)))
            return false;
        if (!m_conflicts.isEmpty()) {
            changedMeanwhile = true;
            m_error = StoreError(StoreError::Kind::Conflict,
                QStringLiteral(
                    "%1 of the items were changed at another counter after the preview, so nothing "
                    "was written. Preview again to see the price list as it is now.")
                    .arg(m_conflicts.size()),
                QStringLiteral("Brasko"));
            return false;
        }
        return PriceListRepository(m_store).stampDate(when);
    });
    if (!applied && !changedMeanwhile)
        m_conflicts.clear();
    return applied;
}
