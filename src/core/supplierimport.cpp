#include "supplierimport.h"

#include "searchtext.h"

#include <QLocale>
#include <QRegularExpression>

#include <span>
#include <utility>

namespace SupplierImport
{

namespace
{

    // As the file holds it: the reader has taken off the blanks around an unquoted field, and a
    // quoted one keeps its own, so an exported id " R5" reads back as itself.
    QString field(const QStringList &fields, int column)
    {
        return column >= 0 && column < fields.size() ? fields.at(column) : QString();
    }

    // Why a line's price is refused, as the list of lines that cannot be read says it: the line
    // number goes before it, so it names the price rather than a field.
    QString priceProblem(const Price::Refusal &refusal, DecimalSign sign)
    {
        const QString written = refusal.written.left(40);
        switch (refusal.problem) {
        case Price::Problem::Empty:
            return QStringLiteral("no price");
        case Price::Problem::GroupSign:
            return QStringLiteral("the price \"%1\" has a '%2' where the decimal sign is '%3'")
                .arg(written, sign == DecimalSign::Comma ? QStringLiteral(".") : QStringLiteral(","),
                    sign == DecimalSign::Comma ? QStringLiteral(",") : QStringLiteral("."));
        case Price::Problem::OutOfRange:
            return Amounts::outOfRangeText(written);
        case Price::Problem::NotNumber:
            break;
        }
        return QStringLiteral("\"%1\" is not a number. Type a price such as 1250 or 12.50.").arg(written);
    }

} // namespace

QString Columns::toText() const
{
    QString text
        = QStringLiteral("%1,%2,%3,%4,%5,%6,%7")
              .arg(category)
              .arg(id)
              .arg(description)
              .arg(price)
              .arg(header ? 1 : 0)
              .arg((decimal == DecimalSign::Comma ? QStringLiteral("comma") : QStringLiteral("point"))
                      + (decimalChosen ? QStringLiteral("*") : QString()),
                  fixedCategory);
    for (auto i = categoryRows.cbegin(); i != categoryRows.cend(); ++i)
        text += u',' + QString::fromLatin1(i.key().toUtf8().toPercentEncoding()) + u'=' + i.value();
    // A ':' never stands in a percent-encoded value, so these never read as a category's row.
    if (pricesAreCosts)
        text += QStringLiteral(",prices:cost");
    if (cost >= 0)
        text += QStringLiteral(",cost:%1").arg(cost);
    for (auto i = attributeColumns.cbegin(); i != attributeColumns.cend(); ++i)
        text += QStringLiteral(",attribute:%1:%2").arg(i.key()).arg(i.value());
    return text;
}

std::optional<Columns> Columns::fromText(const QString &text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() < 7)
        return std::nullopt;
    Columns c;
    bool ok[5] = {};
    c.category = parts[0].toInt(&ok[0]);
    c.id = parts[1].toInt(&ok[1]);
    c.description = parts[2].toInt(&ok[2]);
    c.price = parts[3].toInt(&ok[3]);
    c.header = parts[4].toInt(&ok[4]) != 0;
    c.decimal = parts[5].startsWith(QLatin1String("comma")) ? DecimalSign::Comma : DecimalSign::Point;
    c.decimalChosen = parts[5].endsWith(u'*');
    c.fixedCategory = parts[6];
    for (const bool b : ok) {
        if (!b)
            return std::nullopt;
    }
    if (!c.fixedCategory.isEmpty() && !isRowCategory(c.fixedCategory))
        return std::nullopt;
    for (qsizetype i = 7; i < parts.size(); ++i) {
        if (parts[i] == QLatin1String("prices:cost")) {
            c.pricesAreCosts = true;
            continue;
        }
        if (parts[i].startsWith(QLatin1String("attribute:"))) {
            const QStringList a = parts[i].split(u':');
            bool read = false;
            const int column = a.value(1).toInt(&read);
            if (a.size() != 3 || !read || column < 0 || !attributeFromKey(a[2]))
                return std::nullopt;
            c.attributeColumns.insert(column, a[2]);
            continue;
        }
        if (parts[i].startsWith(QLatin1String("cost:"))) {
            bool read = false;
            c.cost = parts[i].sliced(5).toInt(&read);
            if (!read || c.cost < 0)
                return std::nullopt;
            continue;
        }
        const qsizetype at = parts[i].indexOf(u'=');
        const QString row = parts[i].mid(at + 1);
        if (at <= 0 || (!row.isEmpty() && !isRowCategory(row)))
            return std::nullopt;
        c.categoryRows.insert(
            QString::fromUtf8(QByteArray::fromPercentEncoding(parts[i].left(at).toLatin1())), row);
    }
    return c;
}

bool isRowCategory(QStringView category)
{
    // Written as the list writes them: "0" to "16", no sign, no leading zero.
    if (category.isEmpty() || category.size() > 2 || (category.size() == 2 && category.front() == u'0'))
        return false;
    int row = 0;
    for (const QChar c : category) {
        if (c < u'0' || c > u'9')
            return false;
        row = row * 10 + (c.unicode() - u'0');
    }
    return row < RowCount;
}

std::optional<QString> rowFor(const Columns &columns, const QString &value, const QStringList &rowNames)
{
    const auto chosen = columns.categoryRows.constFind(value);
    if (chosen != columns.categoryRows.cend())
        return *chosen;
    if (isRowCategory(value))
        return value;
    const QString name = value.trimmed();
    for (qsizetype row = 0; row < rowNames.size() && row < RowCount; ++row) {
        if (QString(rowNames.at(row)).remove(u'&').compare(name, Qt::CaseInsensitive) == 0)
            return QString::number(row);
    }
    return std::nullopt;
}

namespace
{

    // A header as people write it, reduced for comparing: folded as searches fold (case, accents,
    // Arabic letter forms), what is in brackets dropped ("Price (EGP)"), and every mark between
    // words made one blank ("Part_No.", "P/N").
    QString headerWord(const QString &header)
    {
        QString text = SearchText::fold(header);
        text.remove(QRegularExpression(QStringLiteral("[(\\[{].*?[)\\]}]")));
        QString out;
        for (const QChar c : std::as_const(text))
            out += c.isLetterOrNumber() ? c : QChar(u' ');
        return out.simplified();
    }

    // The words distributors use for each column, in English and Arabic, the likeliest first: a file
    // with both "Code" and "Model" keys its items by the code.
    const char16_t *const CategoryWords[] = { u"category", u"cat", u"group", u"type", u"الفئة", u"فئة",
        u"القسم", u"قسم", u"المجموعة", u"النوع" };
    const char16_t *const IdWords[]
        = { u"id", u"code", u"item code", u"product code", u"sku", u"part number", u"part no", u"p n", u"pn",
              u"item", u"الكود", u"كود", u"رقم الصنف", u"كود الصنف", u"model", u"الموديل" };
    const char16_t *const DescriptionWords[] = { u"description", u"desc", u"name", u"item name",
        u"product name", u"product", u"الوصف", u"وصف", u"البيان", u"اسم الصنف", u"الاسم", u"الصنف" };
    const char16_t *const PriceWords[]
        = { u"price", u"list price", u"unit price", u"retail price", u"السعر", u"سعر", u"سعر البيع" };
    const char16_t *const CostWords[] = { u"cost", u"net price", u"dealer price", u"cost price",
        u"purchase price", u"سعر التاجر", u"التكلفة", u"سعر الشراء" };

    // The column whose header is the likeliest of the words, not yet taken by another field.
    int bestColumn(
        const QStringList &words, std::span<const char16_t *const> candidates, const QList<int> &taken)
    {
        int best = -1;
        int bestRank = static_cast<int>(candidates.size());
        for (int column = 0; column < words.size(); ++column) {
            if (taken.contains(column))
                continue;
            for (int rank = 0; rank < bestRank; ++rank) {
                if (words.at(column)
                    == SearchText::fold(QStringView(candidates[static_cast<size_t>(rank)]))) {
                    best = column;
                    bestRank = rank;
                    break;
                }
            }
        }
        return best;
    }

} // namespace

Columns guessColumns(const QStringList &header)
{
    QStringList words;
    for (const QString &name : header)
        words << headerWord(name);
    Columns c;
    QList<int> taken;
    const auto pick = [&](int &field, std::span<const char16_t *const> candidates) {
        field = bestColumn(words, candidates, taken);
        if (field >= 0)
            taken << field;
    };
    pick(c.id, IdWords);
    pick(c.description, DescriptionWords);
    pick(c.price, PriceWords);
    // "Price EGP", "Price incl. VAT": a price column named with more after it.
    for (int column = 0; c.price < 0 && column < words.size(); ++column) {
        if (!taken.contains(column) && words.at(column).startsWith(QLatin1String("price ")))
            c.price = column;
    }
    if (c.price >= 0)
        taken << c.price;
    pick(c.cost, CostWords);
    if (c.price < 0 && c.cost >= 0) {
        c.price = std::exchange(c.cost, -1);
        c.pricesAreCosts = true;
    }
    pick(c.category, CategoryWords);
    return c;
}

QMap<int, QString> guessAttributeColumns(const QStringList &header, const Columns &taken)
{
    QMap<int, QString> found;
    for (int column = 0; column < header.size(); ++column) {
        if (column == taken.category || column == taken.id || column == taken.description
            || column == taken.price || column == taken.cost)
            continue;
        const QString word = headerWord(header.at(column));
        for (const AttributeInfo &info : allAttributes()) {
            if (word == headerWord(QString::fromUtf8(info.label))
                || word == headerWord(QString::fromUtf8(info.key))) {
                found.insert(column, QString::fromUtf8(info.key));
                break;
            }
        }
    }
    return found;
}

QString supplierKey(const QString &fileName)
{
    static const QRegularExpression digits(QStringLiteral("[0-9]+"));
    return QString(fileName).replace(digits, QStringLiteral("#"));
}

Collector::Collector(const Columns &columns, const QStringList &rowNames, size_t maxItems)
    : m_columns(columns)
    , m_rowNames(rowNames)
    , m_maxItems(maxItems)
{
}

QString Collector::rowName(const QString &category) const
{
    const QString name = QString(m_rowNames.value(category.toInt())).remove(u'&');
    return name.isEmpty() ? QStringLiteral("category %1").arg(category) : name;
}

void Collector::countValue(const QString &value)
{
    const auto seen = m_valueIndex.constFind(value);
    if (seen != m_valueIndex.cend()) {
        ++m_reading.categoryValues[*seen].second;
    } else if (m_reading.categoryValues.size() < MaxListed) {
        m_valueIndex.insert(value, m_reading.categoryValues.size());
        m_reading.categoryValues.push_back({ value, 1 });
    }
}

void Collector::problem(SupplierFile::Problem &&problem)
{
    if (++m_reading.problemCount <= MaxListed)
        m_reading.problems.push_back(std::move(problem));
}

void Collector::note(QString &&text)
{
    if (++m_reading.noteCount <= MaxListed)
        m_reading.notes.push_back(std::move(text));
}

void Collector::record(SupplierFile::Record &&record)
{
    if (m_columns.header && !m_headerSeen) {
        m_headerSeen = true;
        return;
    }
    ++m_reading.records;
    const QStringList &f = record.fields;
    Item item;
    const QString value = m_columns.category >= 0 ? field(f, m_columns.category) : m_columns.fixedCategory;
    if (m_columns.category >= 0 && !value.isEmpty())
        countValue(value);
    item.id = field(f, m_columns.id);
    if (value.isEmpty() || item.id.isEmpty()) {
        problem({ record.line, value.isEmpty() ? QStringLiteral("no category") : QStringLiteral("no id") });
        return;
    }
    // A category no row shows would be out of reach of every picker and editor (and "90" holds
    // the settings): only the rows are imported into.
    const std::optional<QString> row = rowFor(m_columns, value, m_rowNames);
    if (!row) {
        problem({ record.line,
            QStringLiteral("the category \"%1\" is none of the rows; choose its row in the category list, or "
                           "leave it out")
                .arg(value.left(40)) });
        return;
    }
    if (row->isEmpty()) {
        ++m_reading.leftOut;
        return;
    }
    item.category = *row;
    const QString cell = field(f, m_columns.price);
    m_decimal.add(cell);
    const PriceReading price = Price::fromSupplier(cell, m_columns.decimal);
    if (!price.ok()) {
        problem({ record.line, priceProblem(price.refusal, m_columns.decimal) });
        return;
    }
    std::optional<QString> cost;
    if (!readCost(f, *price.price, record.line, &cost))
        return;
    if (m_full || m_reading.items.size() >= m_maxItems) {
        m_full = true;
        return;
    }
    // An empty cell tells nothing: the list keeps the description it has.
    if (m_columns.description >= 0) {
        QString description = field(f, m_columns.description);
        if (!description.isEmpty())
            item.description = std::move(description);
    }
    if (!m_columns.pricesAreCosts)
        item.price = price.price->text();
    item.cost = std::move(cost);
    item.line = record.line;
    if (!m_columns.attributeColumns.isEmpty())
        readAttributes(f, item, record.line);
    if (const auto earlier = m_reading.items.put(item))
        note(QStringLiteral("Line %1: %2 (%3) was already listed on line %4; this line is used.")
                 .arg(record.line)
                 .arg(item.id, rowName(item.category))
                 .arg(*earlier));
}

bool Collector::readCost(
    const QStringList &fields, const Price &price, qint64 line, std::optional<QString> *cost)
{
    if (m_columns.pricesAreCosts) {
        *cost = price.text();
    } else if (m_columns.cost >= 0) {
        // An empty cost is an unknown one; the list price stands on its own.
        const QString costCell = field(fields, m_columns.cost);
        if (!costCell.trimmed().isEmpty()) {
            const PriceReading read = Price::fromSupplier(costCell, m_columns.decimal);
            if (!read.ok()) {
                problem({ line, QStringLiteral("cost: ") + priceProblem(read.refusal, m_columns.decimal) });
                return false;
            }
            *cost = read.price->text();
        }
    }
    if (*cost && !Price::fromStored(**cost).mayBeCost()) {
        problem({ line, QStringLiteral("the cost %1 is below zero").arg(**cost) });
        return false;
    }
    return true;
}

void Collector::readAttributes(const QStringList &fields, const Item &item, qint64 line)
{
    const QList<Attribute> ofKind = attributesOf(partKindOfRow(item.category.toInt()));
    PartAttributes attributes;
    for (auto i = m_columns.attributeColumns.cbegin(); i != m_columns.attributeColumns.cend(); ++i) {
        const std::optional<Attribute> attribute = attributeFromKey(i.value());
        const QString cell = field(fields, i.key()).trimmed();
        // A column for processors says nothing of a case; an empty cell tells nothing.
        if (!attribute || !ofKind.contains(*attribute) || cell.isEmpty())
            continue;
        const AttributeReading read = readAttribute(*attribute, cell);
        if (!read.value) {
            // The price is good: a value that is not an attribute is left out, not the line.
            note(QStringLiteral("Line %1: %2 (%3): %4 The line is read without it.")
                     .arg(line)
                     .arg(item.id, rowName(item.category), read.reason));
            continue;
        }
        attributes.set(*attribute, *read.value);
    }
    const ItemKey key { item.category, item.id };
    if (attributes.isEmpty())
        m_reading.attributes.remove(key);
    else
        m_reading.attributes.insert(key, attributes);
}

QList<QStringList> firstRecords(QIODevice &device, const SupplierFile::Format &format, int count)
{
    QList<QStringList> records;
    SupplierFile::Handlers handlers;
    handlers.record = [&](SupplierFile::Record &&r) { records << std::move(r.fields); };
    handlers.problem = [](SupplierFile::Problem &&) {};
    handlers.keepGoing = [&](qint64) { return records.size() < count; };
    SupplierFile::read(device, format, handlers, nullptr);
    if (records.size() > count)
        records.resize(count);
    return records;
}

Reading readItems(QIODevice &device, const SupplierFile::Format &format, const Columns &columns,
    const QStringList &rowNames, const std::function<bool(qint64)> &keepGoing, bool *finished, QString *why,
    size_t maxItems)
{
    Collector collector(columns, rowNames, maxItems);
    SupplierFile::Handlers handlers;
    handlers.record = [&](SupplierFile::Record &&r) { collector.record(std::move(r)); };
    handlers.problem = [&](SupplierFile::Problem &&p) { collector.problem(std::move(p)); };
    handlers.keepGoing = [&](qint64 bytes) { return !collector.full() && (!keepGoing || keepGoing(bytes)); };
    bool done = SupplierFile::read(device, format, handlers, why);
    if (collector.full()) {
        done = false;
        if (why)
            *why = QStringLiteral("The file lists more than %1 items, more than a price list can hold; "
                                  "nothing was changed.")
                       .arg(QLocale().toString(qulonglong(maxItems)));
    }
    if (finished)
        *finished = done;
    return collector.take();
}

Reading Collector::take()
{
    m_reading.decimal = m_decimal.guess();
    return std::move(m_reading);
}

} // namespace SupplierImport
