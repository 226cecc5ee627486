#include "recordset.h"

#include <QSqlRecord>

RecordSet::RecordSet(std::unique_ptr<QSqlQueryModel> model)
    : m_model(std::move(model))
{
}

RecordSet::RecordSet(std::unique_ptr<OrderedList> list)
    : m_list(std::move(list))
{
}

RecordSet::~RecordSet() = default;

QAbstractItemModel *RecordSet::model() const
{
    if (m_list)
        return m_list.get();
    return m_model.get();
}

void RecordSet::fetchTo(int row) const
{
    if (m_list) {
        m_list->hasRow(row);
        return;
    }
    while (row >= m_model->rowCount() && m_model->canFetchMore())
        m_model->fetchMore();
}

int RecordSet::rowCount() const
{
    if (m_list)
        return m_list->readAll();
    while (m_model->canFetchMore())
        m_model->fetchMore();
    return m_model->rowCount();
}

bool RecordSet::isEmpty() const
{
    if (m_list)
        return !m_list->hasRow(0);
    fetchTo(0);
    return m_model->rowCount() == 0;
}

int RecordSet::currentRow() const
{
    if (m_fromEnd)
        return m_list->readAll() - 1 - m_row;
    return m_row;
}

bool RecordSet::hasCurrentRow() const
{
    if (m_row < 0)
        return false;
    if (m_fromEnd)
        return m_list->hasRowFromEnd(m_row);
    fetchTo(m_row);
    return m_row < model()->rowCount();
}

bool RecordSet::moveTo(int row)
{
    m_fromEnd = false;
    if (row < 0) {
        m_row = -1;
        return false;
    }
    fetchTo(row);
    m_row = std::min(row, model()->rowCount());
    return hasCurrentRow();
}

bool RecordSet::moveFromEnd(int back)
{
    if (back < 0) {
        // After the last row, however far one goes on.
        m_fromEnd = true;
        m_row = -1;
        return false;
    }
    if (!m_list->hasRowFromEnd(back))
        return moveTo(-1); // before the first row
    m_fromEnd = true;
    m_row = back;
    return true;
}

bool RecordSet::moveFirst()
{
    return moveTo(0);
}

bool RecordSet::moveLast()
{
    if (m_list) {
        if (m_list->hasRowFromEnd(0))
            return moveFromEnd(0);
        m_fromEnd = false;
        m_row = 0;
        return false;
    }
    const int n = rowCount();
    if (n == 0) {
        m_row = 0;
        return false;
    }
    return moveTo(n - 1);
}

bool RecordSet::movePrevious()
{
    if (m_fromEnd)
        return moveFromEnd(m_row + 1);
    return moveTo(m_row - 1);
}

bool RecordSet::moveNext()
{
    if (m_fromEnd)
        return moveFromEnd(m_row - 1);
    return moveTo(m_row + 1);
}

std::optional<QVariant> RecordSet::field(const QString &name) const
{
    if (!hasCurrentRow())
        return std::nullopt;
    if (m_list) {
        const int column = m_list->fields().indexOf(name);
        if (column < 0)
            return std::nullopt;
        return m_fromEnd ? m_list->valueFromEnd(m_row, column) : m_list->value(m_row, column);
    }
    const QSqlRecord rec = m_model->record(m_row);
    const int column = rec.indexOf(name);
    if (column < 0)
        return std::nullopt;
    return rec.value(column);
}

std::optional<QString> RecordSet::text(const QString &name) const
{
    const auto value = field(name);
    if (!value || value->isNull())
        return std::nullopt;
    return value->toString();
}
