#include "pricelistrepository.h"

#include "core/generaldate.h"
#include "itemcosttable.h"
#include "partattributetable.h"
#include "store.h"

PriceListRepository::PriceListRepository(Store *store)
    : m_store(store)
    , m_table(store)
{
}

StoreResult<std::unique_ptr<RecordSet>> PriceListRepository::items(const QString &category, Order order)
{
    auto rows = m_table.items(category, order);
    if (!rows)
        return m_store->lastError();
    return rows;
}

StoreResult<std::optional<PriceListItem>> PriceListRepository::item(
    const QString &category, const QString &id)
{
    auto found = m_table.item(category, id);
    if (!found && m_store->lastError().isValid())
        return m_store->lastError();
    return found;
}

StoreError PriceListRepository::takeItem(const QString &category, const QString &id)
{
    if (!m_store->lock(listLock(), Store::LockMode::Shared, Store::LockWait::DoNotWait)) {
        if (m_store->lastErrorIsBusy())
            m_store->refuse(QStringLiteral("The price list is being imported at another counter, so nothing "
                                           "was changed. Try again in a moment."),
                Store::busyCode());
        return m_store->lastError();
    }
    return m_store->errorUnless(
        m_store->lock(QStringLiteral("item %1/%2").arg(category, id), Store::LockMode::Exclusive));
}

StoreError PriceListRepository::forgetRemoved(const QString &category, const QString &id)
{
    return m_store->errorUnless(ItemCostTable(m_store).forgetRemoved(category, id)
        && PartAttributeTable(m_store).forgetRemoved(category, id));
}

StoreError PriceListRepository::add(const PriceListItem &item)
{
    // Counters adding the same id take turns on it, so the second finds the first one's row.
    int added = 0;
    const bool ok = m_store->inTransaction(
        [&] { return !takeItem(item.category, item.id).isValid() && m_table.addIfMissing(item, &added); });
    // The refusal is the store's last error too, for a transaction this add is a part of.
    if (ok && added == 0)
        return m_store->errorUnless(
            m_store->refuse(QStringLiteral("%1 is in the price list already (another counter added it after "
                                           "it was looked up), so it was not added a second time. Look it "
                                           "up again to see it.")
                                .arg(item.id)));
    return m_store->errorUnless(ok);
}

StoreError PriceListRepository::update(const PriceListItem &item)
{
    return m_store->errorUnless(m_store->inTransaction(
        [&] { return !takeItem(item.category, item.id).isValid() && m_table.update(item); }));
}

StoreError PriceListRepository::remove(const QString &category, const QString &id)
{
    return m_store->errorUnless(m_store->inTransaction([&] {
        return !takeItem(category, id).isValid() && m_table.remove(category, id)
            && !forgetRemoved(category, id).isValid();
    }));
}

StoreError PriceListRepository::removeRow(const PriceListItem &item)
{
    if (!item.rowKey)
        return remove(item.category, item.id);
    return m_store->errorUnless(m_store->inTransaction([&] {
        return !takeItem(item.category, item.id).isValid() && m_table.removeRow(item)
            && !forgetRemoved(item.category, item.id).isValid();
    }));
}

CheckedChange PriceListRepository::updateIfUnchanged(const PriceListItem &seen, const PriceListItem &changed)
{
    int matched = 0;
    const bool ok = m_store->inTransaction([&] {
        if (takeItem(seen.category, seen.id).isValid() || !m_table.updateIfHolds(seen, changed, &matched))
            return false;
        // Rows that repeat the id change along, as every update of an id does.
        return matched == 0 || m_table.update({ seen.category, seen.id, changed.description, changed.price });
    });
    if (!ok)
        return { CheckedChange::Outcome::Failed, std::nullopt, m_store->lastError() };
    return matched > 0 ? CheckedChange { CheckedChange::Outcome::Done, std::nullopt } : whatChanged(seen);
}

CheckedChange PriceListRepository::removeIfUnchanged(const PriceListItem &seen)
{
    int matched = 0;
    if (!m_store->inTransaction([&] {
            return !takeItem(seen.category, seen.id).isValid() && m_table.removeIfHolds(seen, &matched)
                && (matched == 0 || !forgetRemoved(seen.category, seen.id).isValid());
        }))
        return { CheckedChange::Outcome::Failed, std::nullopt, m_store->lastError() };
    return matched > 0 ? CheckedChange { CheckedChange::Outcome::Done, std::nullopt } : whatChanged(seen);
}

CheckedChange PriceListRepository::whatChanged(const PriceListItem &seen)
{
    auto now = item(seen.category, seen.id);
    if (!now)
        return { CheckedChange::Outcome::Failed, std::nullopt, now.error() };
    if (!*now)
        return { CheckedChange::Outcome::GoneMeanwhile, std::nullopt };
    return { CheckedChange::Outcome::ChangedMeanwhile, *now };
}

StoreResult<std::optional<QString>> PriceListRepository::setting(const QString &id)
{
    const auto value = settingValue(id);
    if (!value)
        return value.error();
    return *value && !(*value)->isNull() ? std::optional<QString>((*value)->toString()) : std::nullopt;
}

StoreResult<std::optional<QVariant>> PriceListRepository::settingValue(const QString &id)
{
    auto value = m_table.settingValue(id);
    if (!value && m_store->lastError().isValid())
        return m_store->lastError();
    return value;
}

StoreError PriceListRepository::rewriteSettings(const QList<std::pair<QString, QString>> &settings)
{
    return m_store->errorUnless(m_store->inTransaction([&] {
        // Counters sharing a server take turns: between one counter's delete and insert another's
        // delete would find nothing to remove and both inserts would stay. After the lock the
        // delete sees every row committed before it, so exactly one row is left.
        return m_store->lock(QStringLiteral("settings"), Store::LockMode::Exclusive)
            && m_table.rewriteSettings(settings);
    }));
}

StoreError PriceListRepository::stampDate(const QDateTime &when)
{
    return rewriteSettings({ { QStringLiteral("dt"), GeneralDateText(when) } });
}
