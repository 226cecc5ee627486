#pragma once

#include <QAbstractProxyModel>

#include <functional>
#include <vector>

// What an open picker shows: every row of its list, or the rows a search found, in the list's
// order. However many rows are known, a view is told of them a screenful at a time as it scrolls
// down (canFetchMore, fetchMore), so rows read or found while the list is open cost the view
// nothing until it reaches them.
class ShownRowsModel final : public QAbstractProxyModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShownRowsModel)

public:
    explicit ShownRowsModel(QObject *parent = nullptr);

    // Every row of the source, reading on in it as the view scrolls.
    void showEveryRow(QAbstractItemModel *source);
    // These rows of the source: ascending, but for the first, which may have been brought to the
    // top.
    void setRows(QAbstractItemModel *source, std::vector<int> rows);
    // Rows found after those known, to go below them.
    void appendRows(std::vector<int>::const_iterator first, std::vector<int>::const_iterator last);
    // Tells the view of the rows up to this one.
    void revealTo(int row);
    // Where a row of the source is among the rows known (told to the view or not); -1: not there.
    int rowOf(int sourceRow) const;
    // Which rows of the source are shown dimmed (asked as they are painted), and why, as their
    // tooltip.
    void setDimmed(std::function<bool(int sourceRow)> dimmed, const QString &why)
    {
        m_dimmed = std::move(dimmed);
        m_dimmedWhy = why;
    }

    QVariant data(const QModelIndex &proxyIndex, int role = Qt::DisplayRole) const override;
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    void reset(QAbstractItemModel *source, bool everyRow, std::vector<int> rows);
    int knownRows() const;
    void tellTo(int rows);

    bool m_everyRow = false;
    std::vector<int> m_rows; // the rows found, for a search
    int m_told = 0; // the rows the view was told of
    std::function<bool(int)> m_dimmed;
    QString m_dimmedWhy;
};
