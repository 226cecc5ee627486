#pragma once

// OrderPlacement: an offer's order written into the order database at once, free of widgets. The
// customer, the order and its lines go in one transaction, numbered as the order window numbers
// them (one above the highest key), so either the whole order is there or nothing is. Before
// anything is written every value is checked against what its column can hold, and a value that
// does not fit is refused naming the column, never cut or rounded by the database.
//
// Nothing is added to the database's tables: the order finds its way back to the offer by its
// reference.

#include "core/offerorder.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <optional>

class OrderPlacement final
{
public:
    // db: an open connection on the order database (OrderDb::open, OrderConnection).
    explicit OrderPlacement(const QSqlDatabase &db);

    struct Customer {
        qint32 id = 0;
        QString name;
        bool operator==(const Customer &) const = default;
    };
    struct Customers {
        QList<Customer> same; // NAME equals the client text (trimmed, any case)
        QList<Customer> near; // NAME and the client text hold one another, as a search folds them
    };
    // The customers the client text may mean; nullopt (and lastError()) when they cannot be read.
    // The near ones are looked for only when no customer has that very name.
    std::optional<Customers> customersFor(const QString &client);
    // Every customer name, for the client box's completions; nullopt when they cannot be read.
    std::optional<QStringList> customerNames();

    struct Placed {
        qint32 customer = 0;
        qint32 order = 0;
        bool operator==(const Placed &) const = default;
    };
    // The order already made for the reference (by an earlier attempt whose offer never learnt of
    // it). found is false when that cannot be read (lastError()).
    struct Found {
        bool read = false;
        std::optional<Placed> order;
    };
    Found orderWithReference(const QString &reference);

    // Why the draft cannot be written as it stands, naming the column (and the row) that cannot
    // hold its value; empty when it fits. newCustomer: the client text becomes a customer's NAME.
    QString misfit(const OfferOrder::Draft &draft, bool newCustomer);
    // Writes the order for the customer (nullopt: a new customer named after the client) in one
    // transaction; nullopt (and lastError()) when anything was refused, and then nothing was written.
    std::optional<Placed> place(const OfferOrder::Draft &draft, std::optional<qint32> customer);

    QString lastError() const { return m_error; }

private:
    // A table of the order database as the engine names it, with its columns. Each is asked of
    // the driver once per placement: through ODBC every such question is a catalog call, dearer
    // than the row it is asked for.
    struct Table {
        QString name;
        QSqlRecord columns;
    };
    const Table &table(const QString &wanted);
    bool fail(const QString &why);
    bool readCustomers(const QString &condition, const QVariantList &values,
        const std::function<void(const Customer &)> &each);
    std::optional<qint64> nextKey(const QString &table, const QString &keyColumn);
    bool insert(const QString &table, const QStringList &columns, const QVariantList &values);
    bool writeLines(const OfferOrder::Draft &draft, qint32 order);

    QSqlDatabase m_db;
    QString m_error;
    std::optional<QStringList> m_tableNames;
    QHash<QString, Table> m_tables;
    // Each table's insert, prepared once and run for every row it writes.
    std::map<QString, QSqlQuery> m_inserts;
};
