#include "pickerfilter.h"

#include <algorithm>

ShownRowsModel::ShownRowsModel(QObject *parent)
    : QAbstractProxyModel(parent)
{
}

void ShownRowsModel::setRows(QAbstractItemModel *source, std::vector<int> rows)
{
    beginResetModel();
    if (sourceModel() != source) {
        // Silences the reset that setSourceModel would announce inside this one.
        const QSignalBlocker quiet(this);
        setSourceModel(source);
    }
    m_rows = std::move(rows);
    endResetModel();
}

QModelIndex ShownRowsModel::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!proxyIndex.isValid() || !sourceModel())
        return QModelIndex();
    const auto row = static_cast<size_t>(proxyIndex.row());
    if (row >= m_rows.size())
        return QModelIndex();
    return sourceModel()->index(m_rows[row], proxyIndex.column());
}

QModelIndex ShownRowsModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid())
        return QModelIndex();
    if (m_rows.empty())
        return QModelIndex();
    if (m_rows.front() == sourceIndex.row())
        return index(0, sourceIndex.column());
    // After the first (which may have been brought to the top) the rows are in ascending order.
    const auto at = std::lower_bound(m_rows.begin() + 1, m_rows.end(), sourceIndex.row());
    if (at == m_rows.end() || *at != sourceIndex.row())
        return QModelIndex();
    return index(static_cast<int>(at - m_rows.begin()), sourceIndex.column());
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
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
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

PickerFilter::PickerFilter()
    : m_shown(std::make_unique<ShownRowsModel>())
{
}

PickerFilter::~PickerFilter() = default;

void PickerFilter::forget()
{
    m_query.clear();
    m_source.clear();
    m_index.clear();
    m_shown->setRows(nullptr, {});
}

void PickerFilter::build(QAbstractItemModel *source)
{
    m_index.clear();
    m_source = source;
    while (source->canFetchMore(QModelIndex()))
        source->fetchMore(QModelIndex());
    const int rows = source->rowCount();
    const bool described = source->columnCount() > 1;
    m_index.reserve(rows, 48);
    for (int r = 0; r < rows; ++r) {
        const QString id = source->index(r, 0).data().toString();
        const QString description = described ? source->index(r, 1).data().toString() : QString();
        m_index.add(id, description);
    }
}

QAbstractItemModel *PickerFilter::apply(QAbstractItemModel *source, const QString &query)
{
    m_query = query;
    if (!source || query.isEmpty())
        return source;
    if (m_source != source || m_index.size() != source->rowCount() || source->canFetchMore(QModelIndex()))
        build(source);
    std::vector<int> rows = m_index.find(query);
    // A whole id typed means that item, however many longer ids contain it: it comes first, where
    // Enter takes it. The id exactly as typed goes before one that differs only in case or accents.
    const QString folded = SearchText::fold(query);
    qsizetype exact = -1;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!m_index.idIs(rows[i], folded))
            continue;
        if (exact < 0)
            exact = qsizetype(i);
        if (source->index(rows[i], 0).data().toString() == query) {
            exact = qsizetype(i);
            break;
        }
    }
    if (exact > 0)
        std::rotate(rows.begin(), rows.begin() + exact, rows.begin() + exact + 1);
    m_shown->setRows(source, std::move(rows));
    return m_shown.get();
}

int PickerFilter::sourceRow(int shownRow) const
{
    if (!isActive())
        return shownRow;
    const QModelIndex source = m_shown->mapToSource(m_shown->index(shownRow, 0));
    return source.isValid() ? source.row() : -1;
}
