#pragma once

// The order database: reached only through the ODBC data source "IMS", whatever engine stands
// behind it (a one-file SQLite database by default, a database server when the shop outgrows it).
// Everything here is free of widgets so it can be tested against a real data source headless.

#include "core/decimal.h"

#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace OrderDb
{

// The one name the program knows the order database by.
QString dataSourceName();

// Opens a Qt ODBC connection named connectionName on the data source and checks that it holds the
// tables CUSTOMER, ORDERS and ORDERDETAIL. On failure the connection is removed again and error
// gets a message for the person at the counter that names the data source.
//
// The data source name is handed to the driver as it stands: Qt's ODBC driver builds the
// connection text "DSN=<name>" itself, so giving it "DSN=IMS" would end up as "DSN=DSN=IMS".
std::optional<QSqlDatabase> open(const QString &connectionName, QString *error);

// The table's name as the engine keeps it (PostgreSQL folds unquoted names to lower case, SQLite
// keeps them as written); the wanted name when no table matches.
QString tableName(const QSqlDatabase &db, const QString &wanted);
// The same among table names already read from the database.
QString tableName(const QStringList &tables, const QString &wanted);

// What the order window says when the database refused to keep what it was given (why: the
// database's words).
QString refusedWriteMessage(const QString &why);

// The highest key the table holds (0 when it holds none): one above it is the next record's number,
// as the order window gives it. table: as tableName() gives it; keyColumn in any case. nullopt when
// it cannot be read.
std::optional<qint64> highestKey(const QSqlDatabase &db, const QString &table, const QString &keyColumn);
// The same, for a caller that has the table's columns already.
std::optional<qint64> highestKey(
    const QSqlDatabase &db, const QString &table, const QSqlRecord &columns, const QString &keyColumn);

// A record key typed as text: a whole number, blanks around it allowed, that fits 32 bits.
std::optional<qint32> keyValue(QStringView text);

// The total of an order line from its cells' texts, each read as the leading number it begins
// with ('.' as the point, no number counts 0): unit price x quantity brought to the nearest whole
// number (halves to even), then reduced by the discount percentage and brought to a whole number
// the same way. nullopt when a step leaves the signed 32-bit range.
std::optional<Decimal> lineTotal(
    QStringView unitPrice, QStringView quantity, QStringView discount, const QLocale &locale = QLocale());

// The installment price derived from the order total and the typed deposit: total - deposit.
// A blank deposit counts as no deposit; a deposit that is not a number gives nullopt.
std::optional<Decimal> installmentPrice(
    const Decimal &orderTotal, QStringView depositText, const QLocale &locale = QLocale());

// The money fields' display: the quoted currency sign "ج.م." with a right-to-left mark, a blank
// and the number with a group separator and two decimals ("ج.م.\u200F 1,250.00"). value is the
// database's text of the number; a text that is no number gives nullopt.
QString currencySign();
std::optional<QString> currencyText(const QString &value, const QLocale &locale = QLocale());
// Reads a money field back: the currency sign and blanks may stand around the number, which is
// read with the locale's separators. Returns the exact digits ('.' as the point) for storage, or
// nullopt when what remains is not a number or lies beyond what a Currency column holds.
std::optional<Decimal> currencyValue(QStringView text, const QLocale &locale = QLocale());

} // namespace OrderDb
