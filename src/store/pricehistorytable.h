#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class PreparedStatement;
class Store;

// One change of an item's price: added (no old price), changed, or deleted (no new price). A change
// of its cost is recorded alike: known from then on (no old cost), changed, or unknown again.
struct PriceChange {
    enum class What { Price, Cost };
    QDateTime when;
    QString category;
    QString id;
    std::optional<QString> oldPrice;
    std::optional<QString> newPrice;
    QString description;
    QString source; // "editor", or the name of the file an import read
    What what = What::Price;
    bool operator==(const PriceChange &) const = default;
};

// The price-history table price_history beside adt: every statement of the program on it, each
// value bound, in the common subset of SQLite and PostgreSQL. The table is made by a schema step
// (Store::ensureSchema) the first time a change is recorded, before that change's transaction. A
// failed call returns false or nullopt, and the store's lastError() says why.
class PriceHistoryTable final
{
public:
    explicit PriceHistoryTable(Store *store);

    // Brings the table up to date; before the transaction that records into it.
    bool ensureSchema();
    bool record(const PriceChange &change);
    // The changes of one item, prices and costs, newest first (none where nothing was ever
    // recorded).
    std::optional<QList<PriceChange>> changes(const QString &category, const QString &id);

    // For work that records many changes at once, all at one time and from one source (an
    // import): the statement prepared once, those two values bound once; it records changes of
    // what it was made for.
    class Recorder;
    std::unique_ptr<Recorder> prepareRecorder(
        const QDateTime &when, const QString &source, PriceChange::What what = PriceChange::What::Price);
    // Records the changes of an import staged on a server (stagedimport.h) that it records, before
    // they are written: a missing item only while the list still holds it.
    // The cost changes staged beside them, each recorded as a cost's change.
    bool recordStagedCosts(const QDateTime &when, const QString &source);
    bool recordStaged(const QDateTime &when, const QString &source);

private:
    Store *m_store;
};

class PriceHistoryTable::Recorder final
{
public:
    explicit Recorder(std::unique_ptr<PreparedStatement> statement);
    ~Recorder();
    Recorder(const Recorder &) = delete;
    Recorder &operator=(const Recorder &) = delete;
    // Records the change at the time and from the source the recorder was made for.
    bool record(const PriceChange &change);

private:
    std::unique_ptr<PreparedStatement> m_statement;
};
