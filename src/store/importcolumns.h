#pragma once

#include "storeerror.h"

#include <QString>

#include <optional>

class Store;

// The columns a supplier's file was last imported with, by the file's name and by the name the
// supplier's files share whatever their date (nile_2026-12.csv, nile_2027-01.csv), so next month's
// file of the same supplier opens with them. Kept in db.mdb (table import_columns, made by a schema step
// when first needed); every value bound.
class ImportColumns final
{
public:
    explicit ImportColumns(Store *store);
    // The columns kept for this name (nullopt: none), or why they cannot be read.
    StoreResult<std::optional<QString>> remembered(const QString &fileName);
    // Nothing (an invalid StoreError) when they were kept, else why not.
    StoreError remember(const QString &fileName, const QString &columns);

private:
    Store *m_store;
};
