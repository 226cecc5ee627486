#pragma once

#include <QAbstractTableModel>
#include <QSqlRecord>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

class Store;

// Which rows a long list holds and their order: the statement's parts, never a whole statement, so
// the list can ask for a page at either end. Every text comes from the program, never from a person;
// the values are bound.
struct OrderedQuery {
    QString columns; // the columns each row shows, as a select list ("id as \"ID\",...")
    QString table;
    QString condition; // which rows, with '?' for the values
    QVariantList values;
    // The rows go from the highest value of orderColumn to the lowest, rows without one last (as
    // SQLite sorts them; a server's table has none); rows of one value by keyColumn, a unique whole
    // number per row, also highest first.
    QString orderColumn;
    QString keyColumn;
    // Every page this many rows (to see pages meet in tests); 0: sized to what is shown and to how
    // long a page takes to read.
    int pageRows = 0;
};

// A list of many thousand rows in a fixed order, read a page at a time from its top or from its
// bottom, whichever a move needs: the last row costs what the first does. Each end reads on from
// its last row (the rows after it in the order, not an offset), bounded by the other end's, so the
// two meet exactly, however far apart they started and whatever another counter wrote meanwhile.
//
// As a table model it holds the rows read from the top and grows as a view scrolls (canFetchMore,
// fetchMore), like QSqlQueryModel; the rows read from the bottom join it when the ends meet.
class OrderedList final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OrderedList)

public:
    // Reads the first page; nullptr (and the store's lastError()) when the list cannot be read.
    static std::unique_ptr<OrderedList> open(Store *store, OrderedQuery query);
    ~OrderedList() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent = QModelIndex()) const override;
    void fetchMore(const QModelIndex &parent = QModelIndex()) override;

    // The names of the columns shown.
    const QSqlRecord &fields() const { return m_fields; }

    // Whether the list has the row `row` counted from the top, or `back` rows before its last row
    // (0: the last), reading what is missing from that end.
    bool hasRow(int row);
    bool hasRowFromEnd(int back);
    // A row's field, of a row hasRow / hasRowFromEnd found.
    QVariant value(int row, int column) const;
    QVariant valueFromEnd(int back, int column) const;
    // Reads every row not read yet; how many rows the list has.
    int readAll();
    // Whether both ends have met: every row is read and counted from the top.
    bool isWhole() const { return m_whole; }

private:
    enum class Direction { Down, Up };
    // A row of the list, as far as its place in the order goes.
    struct Place {
        bool valued = true; // has a value in the order column
        QVariant order;
        qint64 key = 0;
    };
    // Rows read from one end, in the order they were read.
    struct End {
        std::vector<QVariant> values; // the shown columns, row after row
        int rows = 0;
        std::optional<Place> last; // the row read last, where reading goes on
    };

    OrderedList(Store *store, OrderedQuery query);
    // Reads up to `rows` more rows at one end; when no row is left between the ends, they are joined.
    // false when the reading failed.
    bool readOn(Direction direction, int rows);
    bool readSegment(Direction direction, bool valued, const std::optional<Place> &from,
        const std::optional<Place> &to, int limit, End &into);
    void join();
    int pageSize(int wanted) const;

    Store *m_store;
    OrderedQuery m_query;
    QSqlRecord m_fields;
    int m_columns = 0;
    End m_top;
    End m_bottom; // read upwards: its first row is the list's last
    bool m_whole = false;
    bool m_failed = false;
    int m_fetchRows = 0; // the rows a view's next fetchMore reads
};
