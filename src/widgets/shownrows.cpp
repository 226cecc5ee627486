#include "shownrows.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

namespace
{

// A screenful and more: what a view is told of at a time.
constexpr int TellRows = 256;

} // namespace

ShownRowsModel::ShownRowsModel(QObject *parent)
    : QAbstractProxyModel(parent)
{
}

void ShownRowsModel::reset(QAbstractItemModel *source, bool everyRow, std::vector<int> rows)
{
    beginResetModel();
    if (sourceModel() != source) {
        // Silences the reset that setSourceModel would announce inside this one.
        const QSignalBlocker quiet(this);
        setSourceModel(source);
    }
    m_everyRow = everyRow;
    m_rows = std::move(rows);
    m_told = std::min(knownRows(), TellRows);
    endResetModel();
}

void ShownRowsModel::showEveryRow(QAbstractItemModel *source)
{
    reset(source, true, {});
}

void ShownRowsModel::setRows(QAbstractItemModel *source, std::vector<int> rows)
{
    reset(source, false, std::move(rows));
}

void ShownRowsModel::appendRows(std::vector<int>::const_iterator first, std::vector<int>::const_iterator last)
{
    m_rows.insert(m_rows.end(), first, last);
    // The first screenful goes to the view at once; the rest when it scrolls down to them.
    tellTo(std::min(knownRows(), TellRows));
}

void ShownRowsModel::revealTo(int row)
{
    tellTo(std::min(knownRows(), row + 1));
}

int ShownRowsModel::knownRows() const
{
    if (!m_everyRow)
        return static_cast<int>(m_rows.size());
    return sourceModel() ? sourceModel()->rowCount() : 0;
}

void ShownRowsModel::tellTo(int rows)
{
    if (rows <= m_told)
        return;
    beginInsertRows(QModelIndex(), m_told, rows - 1);
    m_told = rows;
    endInsertRows();
}

bool ShownRowsModel::canFetchMore(const QModelIndex &parent) const
{
    if (parent.isValid())
        return false;
    return m_told < knownRows()
        || (m_everyRow && sourceModel() && sourceModel()->canFetchMore(QModelIndex()));
}

void ShownRowsModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid())
        return;
    if (m_everyRow && sourceModel() && m_told >= knownRows())
        sourceModel()->fetchMore(QModelIndex());
    tellTo(std::min(knownRows(), m_told + TellRows));
}

QModelIndex ShownRowsModel::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!proxyIndex.isValid() || !sourceModel() || proxyIndex.row() >= m_told)
        return QModelIndex();
    const int row = m_everyRow ? proxyIndex.row() : m_rows[static_cast<size_t>(proxyIndex.row())];
    return sourceModel()->index(row, proxyIndex.column());
}

QVariant ShownRowsModel::data(const QModelIndex &proxyIndex, int role) const
{
    if ((role == Qt::ForegroundRole || role == Qt::ToolTipRole) && m_dimmed) {
        const QModelIndex source = mapToSource(proxyIndex);
        if (source.isValid() && m_dimmed(source.row()))
            return role == Qt::ToolTipRole
                ? QVariant(m_dimmedWhy)
                : QVariant(QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text));
    }
    return QAbstractProxyModel::data(proxyIndex, role);
}

int ShownRowsModel::rowOf(int sourceRow) const
{
    if (m_everyRow)
        return sourceRow >= 0 && sourceRow < knownRows() ? sourceRow : -1;
    if (m_rows.empty())
        return -1;
    if (m_rows.front() == sourceRow)
        return 0;
    // After the first (which may have been brought to the top) the rows are in ascending order.
    const auto at = std::lower_bound(m_rows.begin() + 1, m_rows.end(), sourceRow);
    if (at == m_rows.end() || *at != sourceRow)
        return -1;
    return static_cast<int>(at - m_rows.begin());
}

QModelIndex ShownRowsModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid())
        return QModelIndex();
    // A row the view was not told of yet is not shown.
    return index(rowOf(sourceIndex.row()), sourceIndex.column());
}

QModelIndex ShownRowsModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex ShownRowsModel::parent(const QModelIndex &) const
{
    return QModelIndex();
}

int ShownRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_told;
}

int ShownRowsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount();
}

QVariant ShownRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!sourceModel())
        return QVariant();
    // The column headings stay those of the list, however few rows are shown.
    if (orientation == Qt::Horizontal)
        return sourceModel()->headerData(section, orientation, role);
    return QAbstractProxyModel::headerData(section, orientation, role);
}
