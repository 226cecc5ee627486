#pragma once

// One of the order window's three data controls: the rows of one table (or of one requery of it)
// with a current record that can be moved first, previous, next and last. Edits are kept in the
// model until they are written: moving to another record, a requery and the window's save write
// them, so nothing typed is lost by navigating. Rows are kept in key order.

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlTableModel>
#include <QString>
#include <QVariant>

class OrderDataControl final : public QSqlTableModel
{
    Q_OBJECT

public:
    // table: CUSTOMER, ORDERS or ORDERDETAIL, in any case; the first column is the key.
    OrderDataControl(const QString &table, const QSqlDatabase &db, QObject *parent = nullptr);

    // Opens on the whole table and moves to its first record.
    bool open();

    // Requeries to the rows whose column equals the typed key text, and moves to the first of
    // them. The text never becomes part of the statement: it is read as a whole number (or, for a
    // text column, passed through the driver's own quoting), and a text that cannot be a key of
    // that column simply matches no row. Pending edits are written first; on a failure nothing is
    // requeried and lastError() says why.
    bool requery(const QString &column, const QString &keyText);

    int currentRow() const { return m_row; }
    bool hasCurrentRecord() const { return m_row >= 0 && m_row < rowCount(); }
    bool moveFirst();
    bool movePrevious();
    bool moveNext();
    bool moveLast();
    bool moveTo(int row);
    // Moves to the record with that key; false when there is none (or what is pending could not be
    // written first).
    bool moveToKey(const QVariant &key);

    // Index of a column by name, without regard to case; -1 when there is none.
    int column(const QString &name) const;
    // How many characters a text column takes, as the database declares it (VARCHAR(n)); 0 for
    // other columns and for text of any length.
    int textLength(int column) const;
    // A NULL of the column's own type, which every driver can bind.
    QVariant nullValue(int column) const;
    QVariant value(const QString &column) const;
    // Sets a column of the current record (in the model; written with the next write).
    bool setValue(const QString &column, const QVariant &value);
    // The current record's key, when there is one.
    QVariant currentKey() const;

    // Starts a new record at the end with the next free key and makes it current.
    bool addNew();
    // The next free key: one above the highest in the table and in the rows not yet written.
    std::optional<qint64> nextKey();

    // Writes every pending change and stays on the same record (found again by its key).
    bool writePending();
    // Whether a row is marked to be deleted by the next write.
    bool isMarkedForDeletion(int row) const;
    // Throws away every pending change (new records too) and shows a record that still exists:
    // the one keyed show when given and still there, else the current one, else a neighbour.
    void discardPending(const QVariant &show = QVariant());
    // Makes a row current without writing anything (the lines grid keeps its edits in the model
    // until the save, so moving between its rows must not reload it).
    void track(int row);

    QString lastErrorText() const { return lastError().text(); }

Q_SIGNALS:
    // After every move, requery, write or reload: the record the bound fields must show
    // (-1: none).
    void currentRowChanged(int row);

private:
    void setCurrent(int row);
    bool reselectKeeping(const QVariant &key);
    int rowOfKey(const QVariant &key);

    int m_row = -1;
};
