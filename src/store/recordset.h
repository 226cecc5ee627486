#pragma once

#include "orderedlist.h"

#include <QSqlQueryModel>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

// A query's result with a current row that can be moved to the first, last, previous and next
// row, read by field name without regard to case. The rows are fetched as they are needed, so a
// long list costs nothing until it is scrolled or moved through; model() feeds a grid view.
//
// Over an OrderedList the last row is read from the bottom of the list: End and the moves after
// it read a screen of rows, never the whole list (a plain query's result has no bottom to start
// from, and reads every row to find its last).
class RecordSet final
{
public:
    explicit RecordSet(std::unique_ptr<QSqlQueryModel> model);
    explicit RecordSet(std::unique_ptr<OrderedList> list);
    ~RecordSet();
    RecordSet(const RecordSet &) = delete;
    RecordSet &operator=(const RecordSet &) = delete;

    QAbstractItemModel *model() const;

    // Every move returns whether it landed on a row; running past either end leaves no current
    // row (the reads then fail) until the next move back onto a row.
    bool moveFirst();
    bool moveLast();
    bool movePrevious();
    bool moveNext();
    bool moveTo(int row);

    // The current row counted from the top (a row found from the bottom is counted by reading
    // the rows above it).
    int currentRow() const;
    bool hasCurrentRow() const;
    bool isEmpty() const;
    int rowCount() const; // fetches every row

    // The field of the current row; nullopt when there is no current row or no such field.
    std::optional<QVariant> field(const QString &name) const;
    // The same as text; a NULL value is no text (nullopt) either.
    std::optional<QString> text(const QString &name) const;

private:
    void fetchTo(int row) const;
    bool moveFromEnd(int back);

    std::unique_ptr<QSqlQueryModel> m_model;
    std::unique_ptr<OrderedList> m_list;
    // -1 before the first row, rowCount() after the last; with m_fromEnd, the rows before the
    // last (0: the last, -1: after it).
    int m_row = 0;
    bool m_fromEnd = false;
};
