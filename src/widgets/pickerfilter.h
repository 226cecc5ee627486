#pragma once

#include "core/searchtext.h"

#include <QAbstractProxyModel>
#include <QPointer>

#include <memory>
#include <vector>

// Some rows of a list model, in their order: what an open picker shows while a search is typed.
class ShownRowsModel final : public QAbstractProxyModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShownRowsModel)

public:
    explicit ShownRowsModel(QObject *parent = nullptr);
    void setRows(QAbstractItemModel *source, std::vector<int> rows);

    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<int> m_rows; // source rows, ascending after the first
};

// The search of an open picker list: the rows whose first column (the id) or second (the
// description) contains what was typed, a row whose id is what was typed first. The list's texts are folded
// once, at the first typed character, so the following keystrokes only scan them.
class PickerFilter final
{
public:
    PickerFilter();
    ~PickerFilter();
    PickerFilter(const PickerFilter &) = delete;
    PickerFilter &operator=(const PickerFilter &) = delete;

    const QString &query() const { return m_query; }
    bool isActive() const { return !m_query.isEmpty(); }
    // The model to show for this query: the source itself for an empty query.
    QAbstractItemModel *apply(QAbstractItemModel *source, const QString &query);
    // The row of the source that a row shown stands for.
    int sourceRow(int shownRow) const;
    // Forgets the query (and, for a new list, the folded texts).
    void clearQuery() { m_query.clear(); }
    void forget();

private:
    void build(QAbstractItemModel *source);

    QString m_query;
    QPointer<QAbstractItemModel> m_source;
    SearchIndex m_index;
    std::unique_ptr<ShownRowsModel> m_shown;
};
