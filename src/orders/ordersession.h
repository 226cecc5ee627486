#pragma once

// OrderSession: the order entry's records without any widget. Three data controls hold the
// current customer, that customer's orders and the shown order's lines; showing a customer
// requeries its orders and showing an order requeries its lines. Before the customer or the
// order shown makes way for another, everything that would leave with it is written; when the
// database refuses, nothing moves, so the customer, the orders and the lines always belong
// together, and a line is only ever stamped with the order whose lines are held.
//
// Whoever shows the records listens to customerShown()/orderShown() (emitted before the chain
// goes on to the next control) and to the data controls' own signals, and flushes typed edits
// into the models when editsWanted() asks for them.

#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

class OrderDataControl;

class OrderSession final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OrderSession)

public:
    // The columns of ORDERDETAIL, in the table's order.
    enum LineColumn {
        LineKey = 0, // ORDERDETAILID
        LineOrder = 1, // ORDERID
        LineProduct = 2, // PRODUCTID
        LineDescription = 3,
        LineUnitPrice = 4,
        LineQuantity = 5,
        LineDiscount = 6,
        LineTotal = 7,
        LineWeight = 8,
        LineReturned = 9,
        LineColumnCount = 10,
    };

    // Why the last operation that returned false did not do what was asked.
    enum class Failure {
        None,
        WriteRefused, // pending edits could not be written before moving; nothing moved
        ReadFailed, // a requery could not be read
        NotAKey, // a typed number is no record key
        NoOrderShown, // a line was asked for with no order shown
        LinesOfAnotherOrder, // the lines held are not the shown order's
        StartFailed, // a new record could not be started
        NewOrderRefused, // the database refused the new order; the one shown before is back
        SaveRefused, // one or more controls could not be written
    };

    enum class LineOutcome {
        Unchanged, // nothing to work out for that column
        Settled, // the line's order and total are right
        TotalOutOfRange, // the total would leave the number's range; the old one stays
    };

    // db: an open connection on the order database (OrderDb::open).
    explicit OrderSession(const QSqlDatabase &db, QObject *parent = nullptr);

    OrderDataControl *customers() const { return m_customers; }
    OrderDataControl *orders() const { return m_orders; }
    OrderDataControl *lines() const { return m_lines; }

    // Opens the controls on their tables and shows the first customer, its orders and the first
    // order's lines. false when a table cannot be read (lastError() says which and why).
    bool open();

    Failure lastFailure() const { return m_failure; }
    QString lastError() const { return m_error; }

    // Moves the customer or order control, writing first what the record left would take along.
    bool move(OrderDataControl *control, bool (OrderDataControl::*step)());
    // Shows the customer, its orders and the order among them with its lines (an order made
    // elsewhere, to be looked at); false (lastFailure() ReadFailed) when either is not there.
    bool showOrder(qint32 customer, qint32 order);
    // Requeries the orders to a typed customer number, and the lines to a typed order number.
    bool showOrdersOf(const QString &customerText);
    bool showLinesOf(const QString &orderText);
    // The key texts the orders and lines were last read for.
    QString ordersFor() const { return m_ordersFor; }
    QString linesFor() const { return m_linesFor; }
    // The order whose lines are held, when they were read for one.
    std::optional<qint32> linesOrder() const { return m_linesOrder; }

    // A line's cell was left for another (column: the cell now current): the line gets the order
    // its lines were read for when orderText names that order, and a fresh total when a cell of
    // its price, quantity, discount or total is entered.
    LineOutcome settleLine(int row, int column, QStringView orderText);
    // Starts a line for the shown order with quantity 1, no discount and not returned.
    bool addLine();
    // Marks the current line for deletion with the next save.
    void deleteLine();
    // A new order for the typed customer number, written at once, and a line for it.
    bool newOrder(const QString &customerText);

    // Writes the customer, the orders and the lines, in this order; every write is tried.
    bool save();
    bool isDirty() const;
    void revertAll();

    // The captions the lines model carries for whoever shows it; kept over every requery.
    void setLineHeaders(const QStringList &headers);

    // What a control holds, named for the person at the counter.
    QString recordName(const OrderDataControl *control) const;

Q_SIGNALS:
    // Before anything is written: bound editors should hand over what was typed.
    void editsWanted();
    // A customer or an order was shown (-1: none), before the chain requeries what follows it.
    // key: the shown record's key as text (empty when none).
    void customerShown(int row, const QString &key);
    void orderShown(int row, const QString &key);
    // The chain could not write what a requery would drop (failure names the record and why);
    // nothing was requeried.
    void writeRefused(const QString &failure);
    // A requery could not be read.
    void ordersUnreadable(const QString &customerText, const QString &error);
    void linesUnreadable(const QString &orderText, const QString &error);

private:
    bool fail(Failure failure, const QString &error);
    bool writeBeforeLeaving(OrderDataControl *from);
    void onCustomerRow(int row);
    void onOrderRow(int row);

    OrderDataControl *m_customers = nullptr;
    OrderDataControl *m_orders = nullptr;
    OrderDataControl *m_lines = nullptr;
    Failure m_failure = Failure::None;
    QString m_error;
    bool m_loading = false;
    bool m_ordersFollow = false; // the orders have been narrowed to a customer number
    bool m_linesFollow = false; // the lines have been narrowed to an order number
    QString m_ordersFor;
    QString m_linesFor;
    std::optional<qint32> m_linesOrder;
    QStringList m_lineHeaders;
};
