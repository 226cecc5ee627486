#pragma once

// Reading many rows of an ODBC data source a block at a time: the driver writes a few hundred
// rows into bound arrays per call, where Qt's driver fetches every row and then asks for each of
// its values on its own. Reading every customer of a large order database this way takes a
// fraction of the time. Only for plain statements whose columns are a whole number and a text.

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <optional>

namespace BlockRead
{

struct Row {
    qint32 number = 0;
    QString text;
};

// The rows of the statement (two columns: a whole number, then a text), in the order the data
// source gives them. nullopt when they could not be read so: the connection is not ODBC, the
// driver refuses block reading, a text is longer than its column says it can be, or the statement
// failed. The caller then reads the rows its usual way, which says why when they cannot be read.
std::optional<QList<Row>> numbersAndTexts(const QSqlDatabase &db, const QString &statement);

} // namespace BlockRead
