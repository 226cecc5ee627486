#include "orderedlist.h"

#include "store.h"

#include <QElapsedTimer>
#include <QSqlQuery>

#include <algorithm>

namespace
{

// What the grid opens on; Home and Down read nothing more for a long while.
constexpr int FirstRows = 256;
// A screen and a few more: what End reads from the bottom, and each step of Up after it.
constexpr int ScreenRows = 64;
// The most a page holds.
constexpr int MostRows = 4096;
// A page read in less time makes the next one of a view's fetchMore larger; one that took longer,
// smaller. Whoever reads the whole list in steps between other events (a search getting ready)
// keeps each step short that way, on a quick file as on a busy server.
constexpr qint64 QuickPageNs = 1'000'000;
constexpr qint64 SlowPageNs = 3'000'000;

} // namespace

std::unique_ptr<OrderedList> OrderedList::open(Store *store, OrderedQuery query)
{
    std::unique_ptr<OrderedList> list(new OrderedList(store, std::move(query)));
    if (!list->readOn(Direction::Down, list->pageSize(FirstRows)))
        return nullptr;
    return list;
}

OrderedList::OrderedList(Store *store, OrderedQuery query)
    : m_store(store)
    , m_query(std::move(query))
{
    m_fetchRows = pageSize(FirstRows);
}

OrderedList::~OrderedList() = default;

int OrderedList::pageSize(int wanted) const
{
    return m_query.pageRows > 0 ? m_query.pageRows : std::min(wanted, MostRows);
}

int OrderedList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_top.rows;
}

int OrderedList::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant OrderedList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_top.rows || index.column() >= m_columns
        || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return value(index.row(), index.column());
}

QVariant OrderedList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns)
        return m_fields.fieldName(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool OrderedList::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_whole && !m_failed;
}

void OrderedList::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    QElapsedTimer took;
    took.start();
    readOn(Direction::Down, m_fetchRows);
    if (m_query.pageRows > 0)
        return;
    const qint64 ns = took.nsecsElapsed();
    if (ns < QuickPageNs)
        m_fetchRows = std::min(MostRows, m_fetchRows * 2);
    else if (ns > SlowPageNs)
        m_fetchRows = std::max(ScreenRows, m_fetchRows / 2);
}

bool OrderedList::hasRow(int row)
{
    while (row >= m_top.rows && !m_whole) {
        const int before = m_top.rows;
        if (!readOn(Direction::Down, pageSize(std::max(m_fetchRows, row - m_top.rows + 1)))
            || (m_top.rows == before && !m_whole))
            return false;
    }
    return row >= 0 && row < m_top.rows;
}

bool OrderedList::hasRowFromEnd(int back)
{
    while (back >= m_bottom.rows && !m_whole) {
        const int before = m_bottom.rows;
        // Each step up reads twice as far as the last: Up held down costs a few pages, not one each.
        if (!readOn(
                Direction::Up, pageSize(std::max({ ScreenRows, m_bottom.rows, back - m_bottom.rows + 1 })))
            || (m_bottom.rows == before && !m_whole))
            return false;
    }
    if (back < 0)
        return false;
    return m_whole ? back < m_top.rows : back < m_bottom.rows;
}

QVariant OrderedList::value(int row, int column) const
{
    return m_top
        .values[static_cast<size_t>(row) * static_cast<size_t>(m_columns) + static_cast<size_t>(column)];
}

QVariant OrderedList::valueFromEnd(int back, int column) const
{
    if (m_whole)
        return value(m_top.rows - 1 - back, column);
    return m_bottom
        .values[static_cast<size_t>(back) * static_cast<size_t>(m_columns) + static_cast<size_t>(column)];
}

int OrderedList::readAll()
{
    while (!m_whole && readOn(Direction::Down, pageSize(MostRows))) { }
    return m_top.rows;
}

bool OrderedList::readOn(Direction direction, int rows)
{
    if (m_whole)
        return true;
    if (m_failed)
        return false;
    const bool down = direction == Direction::Down;
    End &end = down ? m_top : m_bottom;
    const End &other = down ? m_bottom : m_top;
    // Reading down, the rows with a value come first and those without after them; reading up, the
    // other way round. Reading goes on in the part of the row read last, and stops in the part of
    // the other end's last row.
    const bool parts[2] = { down, !down };
    const int first = end.last && end.last->valued != parts[0] ? 1 : 0;
    const int lastPart = other.last && other.last->valued == parts[0] ? 0 : 1;
    End page;
    page.last = end.last;
    bool full = false;
    for (int p = first; p <= lastPart && !full; ++p) {
        const std::optional<Place> from
            = page.last && page.last->valued == parts[p] ? page.last : std::optional<Place>();
        const std::optional<Place> to
            = other.last && other.last->valued == parts[p] ? other.last : std::optional<Place>();
        if (!readSegment(direction, parts[p], from, to, rows - page.rows, page)) {
            m_failed = true;
            return false;
        }
        full = page.rows >= rows;
    }
    if (page.rows > 0) {
        if (down)
            beginInsertRows(QModelIndex(), m_top.rows, m_top.rows + page.rows - 1);
        end.values.insert(end.values.end(), std::make_move_iterator(page.values.begin()),
            std::make_move_iterator(page.values.end()));
        end.rows += page.rows;
        end.last = page.last;
        if (down)
            endInsertRows();
    }
    // A short page: no row is left between the two ends.
    if (!full)
        join();
    return true;
}

bool OrderedList::readSegment(Direction direction, bool valued, const std::optional<Place> &from,
    const std::optional<Place> &to, int limit, End &into)
{
    const bool down = direction == Direction::Down;
    const QString &order = m_query.orderColumn;
    const QString &key = m_query.keyColumn;
    QStringList conditions { QLatin1Char('(') + m_query.condition + QLatin1Char(')') };
    QVariantList values = m_query.values;
    // The rows past a place, going down the list or up it.
    const auto past = [&](const Place &place, bool downwards) {
        if (valued) {
            conditions << (downwards ? QStringLiteral("%1 <= ? and (%1 < ? or %2 < ?)")
                                     : QStringLiteral("%1 >= ? and (%1 > ? or %2 > ?)"))
                              .arg(order, key);
            values << place.order << place.order << place.key;
        } else {
            conditions << (downwards ? QStringLiteral("%1 < ?") : QStringLiteral("%1 > ?")).arg(key);
            values << place.key;
        }
    };
    if (from)
        past(*from, down);
    if (to)
        past(*to, !down);
    if (!valued)
        conditions << order + QLatin1String(" is null");
    else if (!from && !to)
        conditions << order + QLatin1String(" is not null");
    const QLatin1String sense(down ? " desc" : "");
    const QString sorted
        = valued ? QString(order + sense + QLatin1Char(',') + key + sense) : QString(key + sense);
    values << limit;
    auto q = m_store->select(QLatin1String("select ") + m_query.columns + QLatin1Char(',') + order
            + QLatin1Char(',') + key + QLatin1String(" from ") + m_query.table + QLatin1String(" where ")
            + conditions.join(QLatin1String(" and ")) + QLatin1String(" order by ") + sorted
            + QLatin1String(" limit ?"),
        values);
    if (!q)
        return false;
    if (m_columns == 0) {
        m_fields = q->record();
        m_fields.remove(m_fields.count() - 1);
        m_fields.remove(m_fields.count() - 1);
        m_columns = m_fields.count();
    }
    for (int read = 0; q->next();) {
        for (int c = 0; c < m_columns; ++c)
            into.values.push_back(q->value(c));
        ++into.rows;
        // Reading goes on after the row that fills the page; a page that comes back short has
        // read its part of the list to the end, and its last row is never read on from.
        if (++read == limit)
            into.last = Place { valued, q->value(m_columns), q->value(m_columns + 1).toLongLong() };
    }
    return !q->lastError().isValid();
}

void OrderedList::join()
{
    if (m_bottom.rows > 0) {
        beginInsertRows(QModelIndex(), m_top.rows, m_top.rows + m_bottom.rows - 1);
        for (int r = m_bottom.rows - 1; r >= 0; --r) {
            const auto at = m_bottom.values.begin() + static_cast<qsizetype>(r) * m_columns;
            m_top.values.insert(
                m_top.values.end(), std::make_move_iterator(at), std::make_move_iterator(at + m_columns));
        }
        m_top.rows += m_bottom.rows;
        endInsertRows();
    }
    m_bottom = End();
    m_whole = true;
}
