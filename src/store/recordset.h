#pragma once

#include <QSqlQueryModel>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

// A query's result with a current row that can be moved to the first, last, previous and next
// row, read by field name without regard to case. The rows are fetched as they are needed, so a
// long list costs nothing until it is scrolled or moved through; model() feeds a grid view.
class RecordSet final
{
public:
    explicit RecordSet(std::unique_ptr<QSqlQueryModel> model);
    ~RecordSet();
    RecordSet(const RecordSet &) = delete;
    RecordSet &operator=(const RecordSet &) = delete;

    QSqlQueryModel *model() const { return m_model.get(); }

    // Every move returns whether it landed on a row; running past either end leaves no current
    // row (the reads then fail) until the next move back onto a row.
    bool moveFirst();
    bool moveLast();
    bool movePrevious();
    bool moveNext();
    bool moveTo(int row);

    int currentRow() const { return m_row; }
    bool hasCurrentRow() const;
    bool isEmpty() const;
    int rowCount() const; // fetches every row

    // The field of the current row; nullopt when there is no current row or no such field.
    std::optional<QVariant> field(const QString &name) const;
    // The same as text; a NULL value is no text (nullopt) either.
    std::optional<QString> text(const QString &name) const;

private:
    void fetchTo(int row) const;

    std::unique_ptr<QSqlQueryModel> m_model;
    int m_row = 0; // -1 before the first row, rowCount() after the last
};
