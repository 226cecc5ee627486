#pragma once

#include <QString>

#include <optional>

class Store;

// Writes the price list (every category, or one) to a CSV file a spreadsheet opens and the import
// reads back to the same list: UTF-8 with a byte-order mark (spreadsheets take the file for
// another encoding without it), a header row "category,id,description,price", prices exactly as
// stored ('.' as the point), one row per item ordered by category and id. The settings rows are no
// items and stay out. The file is replaced only when everything was written. With costs, a "cost"
// column follows, empty where the cost is unknown; the import reads it back as costs beside the
// list prices.
struct PriceListExport {
    bool ok = false;
    int items = 0;
    QString error; // why it failed, in words for the counter
};

PriceListExport exportPriceList(
    Store &store, const std::optional<QString> &category, const QString &path, bool withCosts = false);
