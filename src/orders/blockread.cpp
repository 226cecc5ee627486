#include "blockread.h"

#include <QSqlDriver>
#include <QVariant>

#include <sql.h>
#include <sqlext.h>

#include <vector>

namespace BlockRead
{

namespace
{

    constexpr SQLULEN RowsPerBlock = 512;
    // A text column declared wider than this is left to the usual way.
    constexpr SQLULEN WidestText = 4000;

    class Statement final
    {
    public:
        explicit Statement(SQLHANDLE connection)
        {
            if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &m_handle)))
                m_handle = SQL_NULL_HSTMT;
        }
        ~Statement()
        {
            if (m_handle != SQL_NULL_HSTMT)
                SQLFreeHandle(SQL_HANDLE_STMT, m_handle);
        }
        Statement(const Statement &) = delete;
        Statement &operator=(const Statement &) = delete;
        SQLHSTMT handle() const { return m_handle; }

    private:
        SQLHSTMT m_handle = SQL_NULL_HSTMT;
    };

    std::optional<SQLHANDLE> odbcConnection(const QSqlDatabase &db)
    {
        if (!db.isOpen() || !db.driver() || db.driverName() != QLatin1String("QODBC"))
            return std::nullopt;
        // Qt's ODBC driver hands its connection handle over as a bare pointer.
        const QVariant handle = db.driver()->handle();
        if (handle.metaType() != QMetaType::fromType<SQLHANDLE>()
            && qstrcmp(handle.typeName(), "SQLHANDLE") != 0)
            return std::nullopt;
        SQLHANDLE connection = *static_cast<const SQLHANDLE *>(handle.constData());
        if (!connection)
            return std::nullopt;
        return connection;
    }

} // namespace

std::optional<QList<Row>> numbersAndTexts(const QSqlDatabase &db, const QString &statement)
{
    static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC's wide characters are UTF-16 here");
    const std::optional<SQLHANDLE> connection = odbcConnection(db);
    if (!connection)
        return std::nullopt;
    Statement s(*connection);
    if (s.handle() == SQL_NULL_HSTMT)
        return std::nullopt;
    if (!SQL_SUCCEEDED(SQLSetStmtAttr(
            s.handle(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(RowsPerBlock), 0)))
        return std::nullopt;
    SQLULEN fetched = 0;
    std::vector<SQLUSMALLINT> statuses(RowsPerBlock);
    if (!SQL_SUCCEEDED(SQLSetStmtAttr(s.handle(), SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0))
        || !SQL_SUCCEEDED(SQLSetStmtAttr(s.handle(), SQL_ATTR_ROW_STATUS_PTR, statuses.data(), 0)))
        return std::nullopt;
    std::u16string text = statement.toStdU16String();
    const SQLRETURN run
        = SQLExecDirectW(s.handle(), reinterpret_cast<SQLWCHAR *>(text.data()), SQLINTEGER(text.size()));
    if (!SQL_SUCCEEDED(run) && run != SQL_NO_DATA)
        return std::nullopt;
    // The text column's declared width, for the buffer that holds it whole.
    SQLULEN width = 0;
    SQLSMALLINT type = 0, decimals = 0, nullable = 0;
    if (!SQL_SUCCEEDED(
            SQLDescribeColW(s.handle(), 2, nullptr, 0, nullptr, &type, &width, &decimals, &nullable))
        || width == 0 || width > WidestText)
        return std::nullopt;
    const SQLLEN slot = SQLLEN(width + 1); // characters, with the terminating zero
    std::vector<SQLINTEGER> numbers(RowsPerBlock);
    std::vector<SQLLEN> numberLengths(RowsPerBlock);
    std::vector<SQLWCHAR> texts(RowsPerBlock * size_t(slot));
    std::vector<SQLLEN> textLengths(RowsPerBlock);
    if (!SQL_SUCCEEDED(SQLBindCol(s.handle(), 1, SQL_C_SLONG, numbers.data(), 0, numberLengths.data()))
        || !SQL_SUCCEEDED(SQLBindCol(
            s.handle(), 2, SQL_C_WCHAR, texts.data(), slot * SQLLEN(sizeof(SQLWCHAR)), textLengths.data())))
        return std::nullopt;
    QList<Row> rows;
    for (;;) {
        const SQLRETURN r = SQLFetch(s.handle());
        if (r == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(r))
            return std::nullopt;
        for (SQLULEN i = 0; i < fetched && i < RowsPerBlock; ++i) {
            if (statuses[i] == SQL_ROW_ERROR)
                return std::nullopt;
            const SQLLEN bytes = textLengths[i];
            // A text cut to the buffer (a data source that keeps more than it declares) or of
            // unknown length: the usual way reads it whole.
            if (bytes == SQL_NO_TOTAL || bytes >= slot * SQLLEN(sizeof(SQLWCHAR)))
                return std::nullopt;
            Row row;
            row.number = numberLengths[i] == SQL_NULL_DATA ? 0 : qint32(numbers[i]);
            if (bytes != SQL_NULL_DATA)
                row.text = QString::fromUtf16(
                    reinterpret_cast<const char16_t *>(texts.data() + i * size_t(slot)), bytes / 2);
            rows.append(std::move(row));
        }
    }
    return rows;
}

} // namespace BlockRead
