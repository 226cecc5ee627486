#pragma once

#include "storeerror.h"

#include <QString>

#include <optional>

class Store;

// The columns a supplier's file was last imported with, by the file's name, so next week's file
// of the same supplier opens with them. Kept in db.mdb (table import_columns, made by a schema step
// when first needed); every value bound.
class ImportColumns final
{
public:
    explicit ImportColumns(Store *store);
    // nullopt when none were kept for this name, or when they cannot be read: then lastError()
    // says why (it is invalid when there are simply none).
    std::optional<QString> remembered(const QString &fileName);
    bool remember(const QString &fileName, const QString &columns);
    StoreError lastError() const;

private:
    Store *m_store;
};
