#pragma once

#include <QString>

#include <optional>

class Store;
class StepTimer;

// An import's changes staged on a database server in a table of the transaction's own
// (brasko_import, dropped at its end), so that the whole import is checked and written in a few
// statements instead of one round trip per line: over a network each round trip costs far more
// than the row it writes. PriceTable and PriceHistoryTable read the staged rows; this class only
// makes the table and fills it, each column of many rows sent as one array. ItemCostTable reads
// the cost changes staged beside the prices. What the server can work out from the rows (their
// order, the description the history records) is not sent: each byte sent is also escaped,
// parsed and taken apart again.
class StagedImport final
{
public:
    enum Kind { Changed = 1, Added = 2, Missing = 3 };
    struct Row {
        Kind kind;
        QString category;
        QString id;
        std::optional<QString> oldDescription; // as the preview saw the row
        std::optional<QString> oldPrice;
        std::optional<QString> newDescription; // nullopt: the row keeps its own (changed rows)
        std::optional<QString> newPrice; // nullopt for a missing row
        bool record = false; // whether the price history records the change
        // The item's cost changes too: from oldCost (nullopt: unknown) to newCost.
        bool costChanges = false;
        std::optional<QString> oldCost = std::nullopt;
        std::optional<QString> newCost = std::nullopt;
    };

    static QString table() { return QStringLiteral("brasko_import"); }

    // The cost columns are sent only with costs (else they stay empty); steps is told the time
    // each part of the staging took.
    StagedImport(Store *store, bool costs, StepTimer &steps);
    // Makes the table; false (and the store's lastError()) when it cannot.
    bool create();
    bool add(const Row &row);
    // Writes what is still buffered and readies the rows for reading; false when that failed.
    bool finish();

private:
    bool flush();

    // The columns sent, each as one array; the rest the server works out from them.
    enum Column {
        Kind,
        Category,
        Id,
        OldDescription,
        OldPrice,
        NewDescription,
        NewPrice,
        Record,
        CostChanges,
        OldCost,
        NewCost,
        ColumnCount
    };
    Store *m_store;
    StepTimer &m_steps;
    int m_sent; // the columns sent: all, or those before the costs'
    QString m_columns[ColumnCount]; // each column's array, in its text form, as it grows
    int m_buffered = 0;
    int m_flushed = 0; // the rows sent before the buffered ones, which number them in order
};
