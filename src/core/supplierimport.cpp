#include "supplierimport.h"

#include "pricetext.h"

#include <QLocale>

namespace SupplierImport
{

namespace
{

    bool groupedWell(QStringView digits, QChar group)
    {
        const QList<QStringView> parts = digits.split(group);
        for (qsizetype i = 1; i < parts.size(); ++i) {
            if (parts[i].size() != 3)
                return false;
        }
        return !parts.first().isEmpty();
    }

    QString field(const QStringList &fields, int column)
    {
        return column >= 0 && column < fields.size() ? fields.at(column).trimmed() : QString();
    }

} // namespace

QString Columns::toText() const
{
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7")
        .arg(category)
        .arg(id)
        .arg(description)
        .arg(price)
        .arg(header ? 1 : 0)
        .arg(
            decimal == DecimalSign::Comma ? QStringLiteral("comma") : QStringLiteral("point"), fixedCategory);
}

std::optional<Columns> Columns::fromText(const QString &text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 7)
        return std::nullopt;
    Columns c;
    bool ok[5] = {};
    c.category = parts[0].toInt(&ok[0]);
    c.id = parts[1].toInt(&ok[1]);
    c.description = parts[2].toInt(&ok[2]);
    c.price = parts[3].toInt(&ok[3]);
    c.header = parts[4].toInt(&ok[4]) != 0;
    c.decimal = parts[5] == QLatin1String("comma") ? DecimalSign::Comma : DecimalSign::Point;
    c.fixedCategory = parts[6];
    for (const bool b : ok) {
        if (!b)
            return std::nullopt;
    }
    return c;
}

Columns guessColumns(const QStringList &header)
{
    Columns c;
    for (int i = 0; i < header.size(); ++i) {
        const QString name = header.at(i).trimmed().toLower();
        if (c.category < 0 && (name == QLatin1String("category") || name == QLatin1String("cat")))
            c.category = i;
        else if (c.id < 0
            && (name == QLatin1String("id") || name == QLatin1String("code") || name == QLatin1String("item")
                || name == QLatin1String("sku")))
            c.id = i;
        else if (c.description < 0 && (name == QLatin1String("description") || name == QLatin1String("name")))
            c.description = i;
        else if (c.price < 0 && name.startsWith(QLatin1String("price")))
            c.price = i;
    }
    return c;
}

DecimalSign guessDecimal(const QStringList &prices)
{
    bool comma = false;
    for (const QString &p : prices) {
        const QString t = p.trimmed();
        const qsizetype at = t.lastIndexOf(u',');
        const qsizetype point = t.lastIndexOf(u'.');
        if (at >= 0 && (point < 0 || point < at) && t.size() - at - 1 <= 2 && t.size() - at - 1 >= 1)
            comma = true;
        if (point >= 0 && at < point && t.size() - point - 1 != 3)
            return DecimalSign::Point;
    }
    return comma ? DecimalSign::Comma : DecimalSign::Point;
}

std::optional<QString> price(QStringView text, DecimalSign sign, QString *why)
{
    QString t = text.trimmed().toString();
    t.remove(u' ');
    t.remove(QChar(0x00A0));
    t.remove(QChar(0x202F));
    const auto refuse = [&](const QString &reason) -> std::optional<QString> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    if (t.isEmpty())
        return refuse(QStringLiteral("no price"));
    const QChar point = sign == DecimalSign::Comma ? u',' : u'.';
    const QChar group = sign == DecimalSign::Comma ? u'.' : u',';
    const qsizetype decimalAt = t.indexOf(point);
    const QStringView whole = QStringView(t).left(decimalAt < 0 ? t.size() : decimalAt);
    QStringView digits = whole;
    if (digits.startsWith(u'-') || digits.startsWith(u'+'))
        digits = digits.sliced(1);
    if (digits.contains(group) && !groupedWell(digits, group))
        return refuse(QStringLiteral("the price \"%1\" has a '%2' where the decimal sign is '%3'")
                          .arg(text.trimmed().left(40).toString(), group, point));
    if (decimalAt >= 0 && QStringView(t).sliced(decimalAt + 1).contains(group))
        return refuse(
            QStringLiteral("the price \"%1\" is not a number").arg(text.trimmed().left(40).toString()));
    t.remove(group);
    if (sign == DecimalSign::Comma)
        t.replace(u',', u'.');
    const PriceText::Entry entry = PriceText::forAdd(t, QLocale::c());
    if (!entry.ok)
        return refuse(
            entry.message.startsWith(QLatin1String("Price: ")) ? entry.message.mid(7) : entry.message);
    if (entry.stored.startsWith(u'-'))
        return refuse(
            QStringLiteral("a price cannot be negative (%1)").arg(text.trimmed().left(40).toString()));
    return entry.stored;
}

Collector::Collector(const Columns &columns, size_t maxItems)
    : m_columns(columns)
    , m_maxItems(maxItems)
{
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
    item.category = m_columns.category >= 0 ? field(f, m_columns.category) : m_columns.fixedCategory;
    item.id = field(f, m_columns.id);
    if (item.category.isEmpty() || item.id.isEmpty()) {
        problem({ record.line,
            item.category.isEmpty() ? QStringLiteral("no category") : QStringLiteral("no id") });
        return;
    }
    QString why;
    const auto stored = price(field(f, m_columns.price), m_columns.decimal, &why);
    if (!stored) {
        problem({ record.line, why });
        return;
    }
    if (m_full || m_reading.items.size() >= m_maxItems) {
        m_full = true;
        return;
    }
    if (m_columns.description >= 0)
        item.description = field(f, m_columns.description);
    item.price = *stored;
    item.line = record.line;
    if (const auto earlier = m_reading.items.put(item))
        note(QStringLiteral("Line %1: %2 in category %3 was already on line %4; this line is used.")
                 .arg(record.line)
                 .arg(item.id, item.category)
                 .arg(*earlier));
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
    const std::function<bool(qint64)> &keepGoing, bool *finished, QString *why, size_t maxItems)
{
    Collector collector(columns, maxItems);
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
    return std::move(m_reading);
}

} // namespace SupplierImport
