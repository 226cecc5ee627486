#pragma once

#include "core/supplierimport.h"
#include "pricelistrepository.h"

#include <QDateTime>
#include <QSqlError>

#include <optional>
#include <vector>

class Store;

// An item the file lists differently from the price list: another price or description.
struct ImportChange {
    const SupplierImport::Item *item;
    std::optional<QString> oldPrice;
    std::optional<QString> oldDescription; // only when the file brings another one
};

// What applying a supplier's file would do to the categories it names. It points into the items
// it was made from (a file may list a million), which must outlive it.
struct ImportPreview {
    std::vector<const SupplierImport::Item *> added;
    std::vector<ImportChange> changed;
    qsizetype unchanged = 0;
    // Items of those categories the file no longer lists: kept, unless the person asks to remove them.
    std::vector<PriceListItem> missing;

    bool changesNothing(bool removeMissing) const
    {
        return added.empty() && changed.empty() && (!removeMissing || missing.empty());
    }
};

// Compares a supplier's items with the price list and writes them into it: every addition,
// change and (when asked) removal, with its price-history record and one stamp of the price-list
// date, in one transaction, so the list is either the old one or the new one.
class PriceImport final
{
public:
    explicit PriceImport(Store *store);

    // nullopt (and lastError()) when the list cannot be read.
    std::optional<ImportPreview> preview(const std::deque<SupplierImport::Item> &items);
    bool apply(
        const ImportPreview &preview, bool removeMissing, const QString &source, const QDateTime &when);

    QSqlError lastError() const;

private:
    bool compareCategory(const QString &category, const std::vector<const SupplierImport::Item *> &inFile,
        ImportPreview &preview);

    Store *m_store;
    QSqlError m_error;
};
