#include "partattributes.h"

#include <QRegularExpression>

#include <array>

namespace
{

using Kind = AttributeInfo::Kind;

const AttributeInfo Infos[] = {
    { Attribute::Socket, "socket", "Socket", Kind::Word, "", 0, 0 },
    { Attribute::MemoryTypes, "memory_types", "Memory types", Kind::Words, "", 0, 0 },
    { Attribute::MemoryType, "memory_type", "Memory type", Kind::Word, "", 0, 0 },
    { Attribute::Power, "power", "Power", Kind::Number, "W", 1, 1500 },
    { Attribute::MemorySlots, "memory_slots", "Memory slots", Kind::Number, "", 1, 16 },
    { Attribute::FormFactor, "form_factor", "Form factor", Kind::Word, "", 0, 0 },
    { Attribute::M2Slots, "m2_slots", "M.2 slots", Kind::Number, "", 0, 16 },
    { Attribute::SataPorts, "sata_ports", "SATA ports", Kind::Number, "", 0, 32 },
    { Attribute::Modules, "modules", "Modules in the kit", Kind::Number, "", 1, 16 },
    { Attribute::Length, "length", "Length", Kind::Number, "mm", 1, 1000 },
    { Attribute::CaseForms, "case_forms", "Board form factors", Kind::Words, "", 0, 0 },
    { Attribute::CardClearance, "card_clearance", "Largest graphics card", Kind::Number, "mm", 1, 1000 },
    { Attribute::CaseSupply, "case_supply", "Power supply included", Kind::NumberOrNone, "W", 1, 5000 },
    { Attribute::SupplyPower, "supply_power", "Supply wattage", Kind::Number, "W", 1, 5000 },
    { Attribute::Interface, "interface", "Interface", Kind::Word, "", 0, 0 },
};

struct Spelling {
    const char *word; // the one spelling
    std::array<const char *, 5> others; // other spellings, compared as keys
};

// The words each attribute is known to take. A socket may be one not listed here (a new one the
// person confirms); the other words are closed lists.
const Spelling Sockets[] = { { "AM4", {} }, { "AM5", {} }, { "AM3+", {} }, { "FM2+", {} }, { "LGA1150", {} },
    { "LGA1151", {} }, { "LGA1200", {} }, { "LGA1700", {} }, { "LGA1851", {} }, { "LGA2066", {} },
    { "sTRX4", {} }, { "sTR5", {} } };
const Spelling Memories[] = { { "DDR3", {} }, { "DDR4", {} }, { "DDR5", {} } };
const Spelling Forms[]
    = { { "ATX", { "STANDARDATX" } }, { "Micro-ATX", { "MATX", "UATX", "\u039cATX", "MICROATX" } },
          { "Mini-ITX", { "ITX", "MINIITX" } }, { "E-ATX", { "EATX", "EXTENDEDATX" } } };
const Spelling Interfaces[]
    = { { "SATA", { "SATA3", "SATAIII" } }, { "M.2 NVMe", { "M2", "NVME", "M2NVME", "PCIENVME" } } };

// Case, blanks and the marks people put between letters and digits do not make another word.
QString wordKey(QStringView text)
{
    QString key;
    for (const QChar c : text) {
        if (!c.isSpace() && c != u'-' && c != u'_' && c != u'.')
            key += c.toUpper();
    }
    return key;
}

template <size_t N> const Spelling *findSpelling(const Spelling (&list)[N], const QString &key)
{
    for (const Spelling &spelling : list) {
        if (wordKey(QString::fromUtf8(spelling.word)) == key)
            return &spelling;
        for (const char *other : spelling.others) {
            if (other && wordKey(QString::fromUtf8(other)) == key)
                return &spelling;
        }
    }
    return nullptr;
}

AttributeReading readWord(Attribute attribute, QStringView text)
{
    const QString key = wordKey(text);
    if (key.isEmpty())
        return { std::nullopt,
            QStringLiteral("%1 is empty.").arg(QString::fromUtf8(attributeInfo(attribute).label)) };
    const Spelling *found = nullptr;
    switch (attribute) {
    case Attribute::Socket:
        found = findSpelling(Sockets, key);
        if (!found)
            return { key, {}, true };
        break;
    case Attribute::MemoryTypes:
    case Attribute::MemoryType:
        found = findSpelling(Memories, key);
        break;
    case Attribute::FormFactor:
    case Attribute::CaseForms:
        found = findSpelling(Forms, key);
        break;
    default:
        found = findSpelling(Interfaces, key);
        break;
    }
    if (!found)
        return { std::nullopt,
            QStringLiteral("\"%1\" is not a %2 this program knows.")
                .arg(
                    text.trimmed().toString(), QString::fromUtf8(attributeInfo(attribute).label).toLower()) };
    return { QString::fromUtf8(found->word), {}, false };
}

AttributeReading readNumber(const AttributeInfo &info, QStringView text)
{
    QString digits = text.trimmed().toString();
    const QString unit = QString::fromUtf8(info.unit);
    if (!unit.isEmpty() && digits.endsWith(unit, Qt::CaseInsensitive))
        digits = digits.chopped(unit.size()).trimmed();
    if (info.kind == Kind::NumberOrNone
        && (digits.isEmpty() || digits.compare(noSupply(), Qt::CaseInsensitive) == 0
            || digits == QLatin1String("0") || digits == QLatin1String("-")))
        return { noSupply(), {}, false };
    bool ok = false;
    const int value = digits.toInt(&ok);
    if (!ok || value < info.minValue || value > info.maxValue) {
        const QString range = QStringLiteral("a whole number from %1 to %2%3")
                                  .arg(info.minValue)
                                  .arg(info.maxValue)
                                  .arg(unit.isEmpty() ? QString() : QLatin1Char(' ') + unit);
        return { std::nullopt,
            QStringLiteral("%1 must be %2%3.")
                .arg(QString::fromUtf8(info.label), range,
                    info.kind == Kind::NumberOrNone ? QStringLiteral(", or none") : QString()) };
    }
    return { QString::number(value), {}, false };
}

} // namespace

const AttributeInfo &attributeInfo(Attribute attribute)
{
    for (const AttributeInfo &info : Infos) {
        if (info.attribute == attribute)
            return info;
    }
    return Infos[0];
}

std::span<const AttributeInfo> allAttributes()
{
    return Infos;
}

std::optional<Attribute> attributeFromKey(QStringView key)
{
    for (const AttributeInfo &info : Infos) {
        if (key == QLatin1String(info.key))
            return info.attribute;
    }
    return std::nullopt;
}

QList<Attribute> attributesOf(PartKind kind)
{
    switch (kind) {
    case PartKind::Processor:
        return { Attribute::Socket, Attribute::MemoryTypes, Attribute::Power };
    case PartKind::Board:
        return { Attribute::Socket, Attribute::MemoryType, Attribute::MemorySlots, Attribute::FormFactor,
            Attribute::M2Slots, Attribute::SataPorts };
    case PartKind::Memory:
        return { Attribute::MemoryType, Attribute::Modules };
    case PartKind::Disk:
        return { Attribute::Interface };
    case PartKind::Graphics:
        return { Attribute::Length, Attribute::Power };
    case PartKind::Case:
        return { Attribute::CaseForms, Attribute::CardClearance, Attribute::CaseSupply };
    case PartKind::Supply:
        return { Attribute::SupplyPower };
    case PartKind::Other:
        break;
    }
    return {};
}

QString noSupply()
{
    return QStringLiteral("none");
}

AttributeReading readAttribute(Attribute attribute, QStringView text)
{
    const AttributeInfo &info = attributeInfo(attribute);
    if (info.kind == Kind::Number || info.kind == Kind::NumberOrNone)
        return readNumber(info, text);
    if (info.kind == Kind::Word)
        return readWord(attribute, text);
    // A list: "DDR4/DDR5", "ATX, Micro-ATX"; each word once, in the order given.
    QStringList words;
    bool newWord = false;
    for (const QString &part : text.toString().split(QRegularExpression(QStringLiteral("[,;/|]")))) {
        if (part.trimmed().isEmpty())
            continue;
        const AttributeReading word = readWord(attribute, part);
        if (!word.value)
            return word;
        newWord = newWord || word.newWord;
        if (!words.contains(*word.value))
            words << *word.value;
    }
    if (words.isEmpty())
        return { std::nullopt, QStringLiteral("%1 is empty.").arg(QString::fromUtf8(info.label)) };
    return { words.join(QLatin1String(", ")), {}, newWord };
}

void PartAttributes::set(Attribute attribute, const QString &text, bool guessed)
{
    m_values.insert(attribute, { text, guessed });
}

std::optional<PartAttributes::Value> PartAttributes::value(Attribute attribute) const
{
    const auto it = m_values.constFind(attribute);
    return it == m_values.cend() ? std::nullopt : std::optional<Value>(*it);
}

void PartAttributes::acceptAll()
{
    for (Value &value : m_values)
        value.guessed = false;
}

std::optional<QString> PartAttributes::known(Attribute attribute) const
{
    const auto it = m_values.constFind(attribute);
    if (it == m_values.cend() || it->guessed || it->text.isEmpty())
        return std::nullopt;
    return it->text;
}

std::optional<int> PartAttributes::number(Attribute attribute) const
{
    const auto text = known(attribute);
    bool ok = false;
    const int value = text ? text->toInt(&ok) : 0;
    return ok ? std::optional<int>(value) : std::nullopt;
}

QStringList PartAttributes::words(Attribute attribute) const
{
    const auto text = known(attribute);
    return text ? text->split(QLatin1String(", "), Qt::SkipEmptyParts) : QStringList();
}

bool PartAttributes::operator==(const PartAttributes &other) const
{
    if (m_values.size() != other.m_values.size())
        return false;
    for (auto it = m_values.cbegin(); it != m_values.cend(); ++it) {
        const auto theirs = other.value(it.key());
        if (!theirs || theirs->text != it->text || theirs->guessed != it->guessed)
            return false;
    }
    return true;
}
