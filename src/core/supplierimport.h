#pragma once

#include "supplierfile.h"
#include "supplieritems.h"

#include <QList>
#include <QString>
#include <QStringList>

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

struct Reading {
    ItemList items;
    // Lines left out, and why; only the first MaxListed are kept, problemCount counts them all.
    QList<SupplierFile::Problem> problems;
    qint64 problemCount = 0;
    // What was read but should be known (ids listed twice): the first MaxListed, and how many.
    QStringList notes;
    qint64 noteCount = 0;
    qint64 records = 0;
};

// No one reads a million refusals; keeping them would cost more than the items.
constexpr qsizetype MaxListed = 1000;
// Twice the longest file we measure. A file of more (a 2 GB one, say) is no supplier's price
// list, and keeping its items would take gigabytes; its reading stops there.
constexpr size_t MaxItems = 2'000'000;

// Takes the file's records one by one.
class Collector
{
public:
    explicit Collector(const Columns &columns, size_t maxItems = MaxItems);
    void record(SupplierFile::Record &&record);
    void problem(SupplierFile::Problem &&problem);
    // True once the file has listed more than maxItems items; the rest is not kept.
    bool full() const { return m_full; }
    Reading take();

private:
    void note(QString &&text);

    Columns m_columns;
    size_t m_maxItems;
    bool m_full = false;
    Reading m_reading;
    bool m_headerSeen = false;
};

// The file's first records, for choosing its columns: at most `count`.
QList<QStringList> firstRecords(QIODevice &device, const SupplierFile::Format &format, int count);

// Reads the whole file through a Collector; *finished is false when keepGoing stopped it, or the
// file could not be read to its end or lists more than maxItems items (why says so).
Reading readItems(QIODevice &device, const SupplierFile::Format &format, const Columns &columns,
    const std::function<bool(qint64)> &keepGoing, bool *finished, QString *why, size_t maxItems = MaxItems);

} // namespace SupplierImport
