#pragma once

#include "supplierfile.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>

// What a supplier's file means for the price list: which column holds what, how its prices are
// written, and the items it lists (the last line of an id wins).
namespace SupplierImport
{

enum class DecimalSign { Point, Comma };

struct Columns {
    int category = -1; // -1: every item goes to fixedCategory
    int id = -1;
    int description = -1; // -1: no description (a new item gets none, a listed one keeps its own)
    int price = -1;
    QString fixedCategory;
    bool header = true; // the first record names the columns
    DecimalSign decimal = DecimalSign::Point;

    // For remembering a file's mapping: "category,id,description,price,header,decimal,fixed".
    QString toText() const;
    static std::optional<Columns> fromText(const QString &text);
};

// Columns named like ours in a header row ("category", "id"/"code"/"item", "description"/"name",
// "price"), in any case; the rest stay unmapped.
Columns guessColumns(const QStringList &header);
// Comma when the prices of the sample end in a comma and one or two digits and never hold a point.
DecimalSign guessDecimal(const QStringList &prices);

// A supplier's price as the list stores it ('.' as the point, never negative); nullopt and why
// when it is none. Group separators must stand before groups of three digits.
std::optional<QString> price(QStringView text, DecimalSign sign, QString *why);

struct Item {
    QString category;
    QString id;
    std::optional<QString> description;
    QString price;
    qint64 line = 0;
};

struct Reading {
    // One per category and id, in the order first seen. A deque: a million items grow without ever
    // being copied to a buffer twice the size, and stay where they are.
    std::deque<Item> items;
    QList<SupplierFile::Problem> problems; // lines left out, and why
    QStringList notes; // what was read but should be known (ids listed twice)
    qint64 records = 0;
};

// Takes the file's records one by one.
class Collector
{
public:
    explicit Collector(const Columns &columns);
    void record(SupplierFile::Record &&record);
    void problem(SupplierFile::Problem &&problem);
    Reading take();

private:
    Columns m_columns;
    Reading m_reading;
    bool m_headerSeen = false;
    QHash<QString, qsizetype> m_index; // category + '\n' + id -> item
    QHash<QString, QString> m_categories; // one text per category, shared by its items
};

// The file's first records, for choosing its columns: at most `count`.
QList<QStringList> firstRecords(QIODevice &device, const SupplierFile::Format &format, int count);

// Reads the whole file through a Collector; *finished is false when keepGoing stopped it or the
// file could not be read to its end (why says so).
Reading readItems(QIODevice &device, const SupplierFile::Format &format, const Columns &columns,
    const std::function<bool(qint64)> &keepGoing, bool *finished, QString *why);

} // namespace SupplierImport
