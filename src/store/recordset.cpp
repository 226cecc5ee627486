#include "recordset.h"

#include <QSqlRecord>

RecordSet::RecordSet(std::unique_ptr<QSqlQueryModel> model)
    : m_model(std::move(model))
{
}

RecordSet::~RecordSet() = default;

void RecordSet::fetchTo(int row) const
{
    while (row >= m_model->rowCount() && m_model->canFetchMore())
        m_model->fetchMore();
}

int RecordSet::rowCount() const
{
    while (m_model->canFetchMore())
        m_model->fetchMore();
    return m_model->rowCount();
}

bool RecordSet::isEmpty() const
{
    fetchTo(0);
    return m_model->rowCount() == 0;
}

bool RecordSet::hasCurrentRow() const
{
    if (m_row < 0)
        return false;
    fetchTo(m_row);
    return m_row < m_model->rowCount();
}

bool RecordSet::moveTo(int row)
{
    if (row < 0) {
        m_row = -1;
        return false;
    }
    fetchTo(row);
    m_row = std::min(row, m_model->rowCount());
    return hasCurrentRow();
}

bool RecordSet::moveFirst()
{
    return moveTo(0);
}

bool RecordSet::moveLast()
{
    const int n = rowCount();
    if (n == 0) {
        m_row = 0;
        return false;
    }
    return moveTo(n - 1);
}

bool RecordSet::movePrevious()
{
    return moveTo(m_row - 1);
}

bool RecordSet::moveNext()
{
    return moveTo(m_row + 1);
}

std::optional<QVariant> RecordSet::field(const QString &name) const
{
    if (!hasCurrentRow())
        return std::nullopt;
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
