#include "pricehistory.h"

#include "core/price.h"
#include "store.h"

const QString PriceHistory::EditorSource = QStringLiteral("editor");

PriceHistory::PriceHistory(Store *store)
    : m_store(store)
    , m_priceList(store)
    , m_table(store)
{
}

std::optional<PriceListItem> PriceHistory::current(const PriceListItem &item, bool *failed)
{
    auto found = m_priceList.item(item.category, item.id);
    *failed = !found;
    return found ? *found : std::nullopt;
}

StoreError PriceHistory::add(const PriceListItem &item, const QDateTime &when, const QString &source)
{
    return m_store->errorUnless(m_table.ensureSchema() && m_store->inTransaction([&] {
        return !m_priceList.add(item).isValid()
            && m_table.record({ when, item.category, item.id, std::nullopt, item.price,
                item.description.value_or(QString()), source });
    }));
}

StoreError PriceHistory::update(const PriceListItem &item, const QDateTime &when, const QString &source)
{
    return m_store->errorUnless(m_table.ensureSchema() && m_store->inTransaction([&] {
        // The item is taken before it is read, so the price read is the one the change replaces.
        if (m_priceList.takeItem(item.category, item.id).isValid())
            return false;
        bool failed = false;
        const auto before = current(item, &failed);
        if (failed || m_priceList.update(item).isValid())
            return false;
        // A change of the description alone is no price change.
        const std::optional<QString> old = before ? before->price : std::nullopt;
        if (before && old.has_value() == item.price.has_value() && (!old || Price::same(*old, *item.price)))
            return true;
        return m_table.record(
            { when, item.category, item.id, old, item.price, item.description.value_or(QString()), source });
    }));
}

StoreError PriceHistory::removeRow(const PriceListItem &item, const QDateTime &when, const QString &source)
{
    return m_store->errorUnless(m_table.ensureSchema() && m_store->inTransaction([&] {
        if (m_priceList.takeItem(item.category, item.id).isValid())
            return false;
        bool failed = false;
        const auto before = current(item, &failed);
        if (failed || m_priceList.removeRow(item).isValid())
            return false;
        if (!before)
            return true;
        return m_table.record({ when, item.category, item.id, before->price, std::nullopt,
            before->description.value_or(QString()), source });
    }));
}

CheckedChange PriceHistory::updateIfUnchanged(
    const PriceListItem &seen, const PriceListItem &changed, const QDateTime &when, const QString &source)
{
    CheckedChange result;
    const bool ok = m_table.ensureSchema() && m_store->inTransaction([&] {
        result = m_priceList.updateIfUnchanged(seen, changed);
        if (result.outcome != CheckedChange::Outcome::Done)
            return result.outcome != CheckedChange::Outcome::Failed;
        // The row held the price seen, so that is the price it had.
        if (seen.price.has_value() == changed.price.has_value()
            && (!seen.price || Price::same(*seen.price, *changed.price)))
            return true;
        return m_table.record({ when, changed.category, changed.id, seen.price, changed.price,
            changed.description.value_or(QString()), source });
    });
    if (ok)
        return result;
    return { CheckedChange::Outcome::Failed, std::nullopt, m_store->lastError() };
}

CheckedChange PriceHistory::removeIfUnchanged(
    const PriceListItem &seen, const QDateTime &when, const QString &source)
{
    CheckedChange result;
    const bool ok = m_table.ensureSchema() && m_store->inTransaction([&] {
        result = m_priceList.removeIfUnchanged(seen);
        if (result.outcome != CheckedChange::Outcome::Done)
            return result.outcome != CheckedChange::Outcome::Failed;
        return m_table.record({ when, seen.category, seen.id, seen.price, std::nullopt,
            seen.description.value_or(QString()), source });
    });
    if (ok)
        return result;
    return { CheckedChange::Outcome::Failed, std::nullopt, m_store->lastError() };
}

StoreResult<QList<PriceChange>> PriceHistory::changes(const QString &category, const QString &id)
{
    auto read = m_table.changes(category, id);
    if (!read)
        return m_store->lastError();
    return std::move(*read);
}
