#pragma once

#include "partattributes.h"
#include "price.h"
#include "supplierfile.h"
#include "supplieritems.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// What a supplier's file means for the price list: which column holds what, how its prices are
// written, and the items it lists (the last line of an id wins).
namespace SupplierImport
{

using DecimalSign = Price::DecimalSign;

struct Columns {
    int category = -1; // -1: every item goes to fixedCategory
    int id = -1;
    int description = -1; // -1: no description (a new item gets none, a listed one keeps its own)
    int price = -1;
    // What the price column holds: the list price, or what the shop pays for the item (its list
    // price then follows from the shop's markup rules).
    bool pricesAreCosts = false;
    // A second column of costs beside the list prices (a list Brasko exported with its costs).
    int cost = -1;
    // Columns that tell what a part is (a socket, a length), by column: the attribute's key.
    QMap<int, QString> attributeColumns;
    QString fixedCategory;
    bool header = true; // the first record names the columns
    DecimalSign decimal = DecimalSign::Point;
    // The person chose the sign for prices that read two ways; kept, so this supplier's next file
    // of such prices is read the same way without asking again.
    bool decimalChosen = false;
    // The row the person chose for a category value of the file ("Processors" -> "0"); an empty
    // row leaves the value's lines out. A value not in here goes to the row it names (rowFor).
    QMap<QString, QString> categoryRows;

    // For remembering a file's mapping: "category,id,description,price,header,decimal,fixed" (the
    // decimal "point" or "comma", a '*' after it when the person chose it), then a ",value=row" for
    // each category value chosen (the value percent-encoded). A text kept before categories were
    // mapped reads as it did. Costs add "prices:cost" and "cost:N" after those, attributes
    // "attribute:N:key".
    QString toText() const;
    static std::optional<Columns> fromText(const QString &text);
};

// The seventeen rows keep their items in the categories "0" to "16"; no other category is
// reachable from a row (and "90" holds the settings).
constexpr int RowCount = 17;
bool isRowCategory(QStringView category);

// The row a category value of the file goes to: the person's choice, else the row whose number
// ("10") or name ("KeyBoard", any case; rowNames by row) it is. An empty text: its lines are left
// out; nullopt: no row is known for it, and its lines are refused.
std::optional<QString> rowFor(const Columns &columns, const QString &value, const QStringList &rowNames);

// Columns named as distributors name them in a header row, in English or Arabic, in any case
// ("category", "code"/"SKU"/"part number", "description"/"name", "price", "cost"/"dealer price");
// the rest stay unmapped. A file whose only price column names what the shop pays gives costs;
// one with both gives list prices with their costs.
Columns guessColumns(const QStringList &header);

// The name a supplier's files share, whatever their date or number ("nile_#-#.csv" for
// "nile_2026-12.csv" and "nile_2027-01.csv"), so next month's file opens mapped as this one was.
QString supplierKey(const QString &fileName);

// The attributes the header's other columns name ("Socket", "Form factor", "Length (mm)"): the
// attribute's key by column; the columns already taken are passed over.
QMap<int, QString> guessAttributeColumns(const QStringList &header, const Columns &taken);

// An item of the file, by its category and id.
using ItemKey = std::pair<QString, QString>;

// The decimal sign of a column of prices, when the prices tell it: the last of two different
// separators, a separator repeated in groups, or one followed by other than three digits. Prices
// that all have exactly three digits after one separator ("1.299", "12,500") read two ways a
// thousand times apart, and so do prices that disagree: then there is no guess, and sample holds
// one of them as the file writes it, for the person to choose. Whole numbers read alike either way.
struct DecimalGuess {
    std::optional<DecimalSign> sign;
    QString sample;
    bool wholeNumbers = false; // no price told a sign: any reads them alike
};
DecimalGuess guessDecimal(const QStringList &prices);

// The same guess over a column a price at a time, for a whole file.
class DecimalEvidence
{
public:
    void add(QStringView price);
    DecimalGuess guess() const;

private:
    bool m_point = false;
    bool m_comma = false;
    QString m_twoWays; // the first price that reads both ways
    QString m_firstTold; // the first price that tells a sign
};

// A price cell without what is not its number: the blanks around it and a currency sign or code
// before or after it ("EGP 1.234,50", "145,00 \u00a3", "-$5"); the digits and separators as written.
QString numberOf(QStringView text);

struct Reading {
    ItemList items;
    // Lines left out, and why; only the first MaxListed are kept, problemCount counts them all.
    QList<SupplierFile::Problem> problems;
    qint64 problemCount = 0;
    // What was read but should be known (ids listed twice): the first MaxListed, and how many.
    QStringList notes;
    qint64 noteCount = 0;
    qint64 records = 0;
    // The values of the category column in the order first met, with how many lines hold each
    // (the first MaxListed values), for choosing their rows.
    QList<std::pair<QString, qint64>> categoryValues;
    qint64 leftOut = 0; // lines passed over: their category is left out
    // The decimal sign all the file's prices tell, beyond the first lines it was chosen from.
    DecimalGuess decimal;
    // What the attribute columns tell of each item (accepted: the person chose the columns), the
    // last line of an id winning as for its price; only the attributes its row's parts have.
    QHash<ItemKey, PartAttributes> attributes;
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
    // rowNames: the rows' names by row, for category values and messages.
    explicit Collector(const Columns &columns, const QStringList &rowNames = {}, size_t maxItems = MaxItems);
    void record(SupplierFile::Record &&record);
    void problem(SupplierFile::Problem &&problem);
    // True once the file has listed more than maxItems items; the rest is not kept.
    bool full() const { return m_full; }
    Reading take();

private:
    void note(QString &&text);
    void countValue(const QString &value);
    void readAttributes(const QStringList &fields, const Item &item, qint64 line);
    // The line's cost, from the price column or a column of its own; false when it is refused.
    bool readCost(const QStringList &fields, const Price &price, qint64 line, std::optional<QString> *cost);
    QString rowName(const QString &category) const;

    Columns m_columns;
    QStringList m_rowNames;
    size_t m_maxItems;
    bool m_full = false;
    Reading m_reading;
    bool m_headerSeen = false;
    QHash<QString, qsizetype> m_valueIndex;
    DecimalEvidence m_decimal;
};

// The file's first records, for choosing its columns: at most `count`.
QList<QStringList> firstRecords(QIODevice &device, const SupplierFile::Format &format, int count);

// Reads the whole file through a Collector; *finished is false when keepGoing stopped it, or the
// file could not be read to its end or lists more than maxItems items (why says so).
Reading readItems(QIODevice &device, const SupplierFile::Format &format, const Columns &columns,
    const QStringList &rowNames, const std::function<bool(qint64)> &keepGoing, bool *finished, QString *why,
    size_t maxItems = MaxItems);

} // namespace SupplierImport
