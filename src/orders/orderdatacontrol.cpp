#include "orderdatacontrol.h"

#include "orderdb.h"

#include <QSqlDriver>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

OrderDataControl::OrderDataControl(const QString &table, const QSqlDatabase &db, QObject *parent)
    : QSqlTableModel(parent, db)
{
    setEditStrategy(QSqlTableModel::OnManualSubmit);
    setTable(OrderDb::tableName(db, table));
    setSort(0, Qt::AscendingOrder);
}

bool OrderDataControl::open()
{
    setFilter(QString());
    if (!select())
        return false;
    setCurrent(rowCount() > 0 ? 0 : -1);
    return true;
}

int OrderDataControl::textLength(int column) const
{
    const QSqlField field = record().field(column);
    if (field.metaType().id() != QMetaType::QString || field.length() <= 0)
        return 0;
    return field.length();
}

QVariant OrderDataControl::nullValue(int column) const
{
    return QVariant(record().field(column).metaType());
}

bool OrderDataControl::requery(const QString &columnName, const QString &keyText)
{
    const int col = column(columnName);
    if (col < 0)
        return false;
    if (isDirty() && !writePending())
        return false;
    QSqlField field = record().field(col);
    QString condition;
    if (field.metaType().id() == QMetaType::QString) {
        field.setValue(keyText);
        condition = database().driver()->formatValue(field);
    } else if (const std::optional<qint32> key = OrderDb::keyValue(keyText)) {
        condition = QString::number(*key);
    }
    const QString name = database().driver()->escapeIdentifier(field.name(), QSqlDriver::FieldName);
    // A text that cannot be a key of this column matches no row, as comparing it would.
    setFilter(condition.isEmpty() ? QStringLiteral("1 = 0") : name % QStringLiteral(" = ") % condition);
    if (!select()) {
        setCurrent(-1);
        return false;
    }
    setCurrent(rowCount() > 0 ? 0 : -1);
    return true;
}

bool OrderDataControl::moveTo(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    if (row != m_row && isDirty()) {
        const QVariant target = data(index(row, 0));
        // Writing reloads the rows, so the target is found again by its key.
        if (!writePending())
            return false;
        const int again = rowOfKey(target);
        row = again >= 0 ? again : qMin(row, rowCount() - 1);
    }
    setCurrent(row);
    return true;
}

bool OrderDataControl::moveToKey(const QVariant &key)
{
    const int row = rowOfKey(key);
    return row >= 0 && moveTo(row);
}

bool OrderDataControl::moveFirst()
{
    return moveTo(0);
}

bool OrderDataControl::movePrevious()
{
    return moveTo(m_row - 1);
}

bool OrderDataControl::moveNext()
{
    if (m_row + 1 >= rowCount() && canFetchMore())
        fetchMore();
    return moveTo(m_row + 1);
}

bool OrderDataControl::moveLast()
{
    while (canFetchMore())
        fetchMore();
    return moveTo(rowCount() - 1);
}

int OrderDataControl::column(const QString &name) const
{
    return record().indexOf(name);
}

QVariant OrderDataControl::value(const QString &columnName) const
{
    const int col = column(columnName);
    if (!hasCurrentRecord() || col < 0)
        return {};
    return data(index(m_row, col), Qt::EditRole);
}

bool OrderDataControl::setValue(const QString &columnName, const QVariant &v)
{
    const int col = column(columnName);
    if (!hasCurrentRecord() || col < 0)
        return false;
    return setData(index(m_row, col), v, Qt::EditRole);
}

QVariant OrderDataControl::currentKey() const
{
    if (!hasCurrentRecord())
        return {};
    return data(index(m_row, 0), Qt::EditRole);
}

std::optional<qint64> OrderDataControl::nextKey()
{
    std::optional<qint64> highest = OrderDb::highestKey(database(), tableName(), record().fieldName(0));
    if (!highest)
        return std::nullopt;
    for (int r = 0; r < rowCount(); ++r)
        highest = qMax(*highest, data(index(r, 0), Qt::EditRole).toLongLong());
    return *highest + 1;
}

bool OrderDataControl::addNew()
{
    const std::optional<qint64> key = nextKey();
    if (!key)
        return false;
    const int row = rowCount();
    if (!insertRow(row))
        return false;
    setData(index(row, 0), *key);
    setCurrent(row);
    return true;
}

bool OrderDataControl::writePending()
{
    if (!isDirty())
        return true;
    const QVariant key = currentKey();
    if (!submitAll())
        return false;
    return reselectKeeping(key);
}

bool OrderDataControl::isMarkedForDeletion(int row) const
{
    // The table model marks a row to be deleted with "!" in its vertical header.
    return headerData(row, Qt::Vertical).toString() == QLatin1String("!");
}

void OrderDataControl::discardPending(const QVariant &show)
{
    const QVariant current = currentKey();
    revertAll();
    if (rowOfKey(show) >= 0)
        reselectKeeping(show);
    else
        reselectKeeping(current);
}

void OrderDataControl::track(int row)
{
    if (row >= -1 && row < rowCount() && row != m_row)
        setCurrent(row);
}

bool OrderDataControl::reselectKeeping(const QVariant &key)
{
    const int row = rowOfKey(key);
    setCurrent(row >= 0 ? row : (rowCount() > 0 ? qBound(0, m_row, rowCount() - 1) : -1));
    return true;
}

int OrderDataControl::rowOfKey(const QVariant &key)
{
    if (!key.isValid() || key.isNull())
        return -1;
    for (int r = 0;; ++r) {
        if (r >= rowCount()) {
            if (!canFetchMore())
                return -1;
            fetchMore();
            if (r >= rowCount())
                return -1;
        }
        if (data(index(r, 0), Qt::EditRole).toString() == key.toString())
            return r;
    }
}

void OrderDataControl::setCurrent(int row)
{
    m_row = row;
    Q_EMIT currentRowChanged(row);
}
