// Reading what an item is from its description, as suppliers write them: "AMD Ryzen 5 7600 AM5
// 65W", "MSI B650M GAMING WIFI DDR5 mATX", "RTX 4070 SUPER 2X 267mm", "Corsair 2x16GB DDR5".
// Everything found here is a guess for a person to accept, so a pattern may be bold: a wrong guess
// costs one glance, never a wrong warning.
#include "partattributes.h"

#include <QRegularExpression>

#include <span>

namespace
{

QRegularExpression pattern(const char *text)
{
    return QRegularExpression(QString::fromLatin1(text), QRegularExpression::CaseInsensitiveOption);
}

// A socket named outright, or one a board's chipset or a processor's model implies.
std::optional<QString> guessSocket(QStringView text, PartKind kind)
{
    static const QRegularExpression named
        = pattern(R"((?<![A-Z0-9])(LGA\s*-?\s*\d{4}|AM[345]\+?|FM2\+|sTRX4|sTR5)(?![A-Z0-9]))");
    if (const auto m = named.match(text); m.hasMatch()) {
        if (const auto read = readAttribute(Attribute::Socket, m.captured(1)); read.value)
            return read.value;
    }
    struct Implied {
        QRegularExpression pattern;
        const char *socket;
    };
    static const Implied chipsets[] = {
        { pattern(R"((?<![A-Z0-9])(A620|B650E?|X670E?|B850|X870E?)[A-Z]?(?![0-9]))"), "AM5" },
        { pattern(R"((?<![A-Z0-9])(A520|B450|B550|X470|X570)[A-Z]?(?![0-9]))"), "AM4" },
        { pattern(R"((?<![A-Z0-9])(H610|B660|H670|Z690|B760|H770|Z790)[A-Z]?(?![0-9]))"), "LGA1700" },
        { pattern(R"((?<![A-Z0-9])(H810|B860|Z890)[A-Z]?(?![0-9]))"), "LGA1851" },
    };
    static const Implied processors[] = {
        { pattern(R"(Ryzen\s*[3579]\s*[789]\d{3})"), "AM5" },
        { pattern(R"(Ryzen\s*[3579]\s*[1-5]\d{3})"), "AM4" },
        { pattern(R"(Core\s*Ultra\s*[3579]\s*2\d{2})"), "LGA1851" },
        { pattern(R"(i[3579]\s*-?\s*1[234]\d{3})"), "LGA1700" },
    };
    for (const Implied &implied :
        kind == PartKind::Board ? std::span<const Implied>(chipsets) : std::span<const Implied>(processors)) {
        if (implied.pattern.match(text).hasMatch())
            return QString::fromLatin1(implied.socket);
    }
    return std::nullopt;
}

std::optional<int> firstNumber(const QRegularExpression &expression, QStringView text)
{
    const auto m = expression.match(text);
    return m.hasMatch() ? std::optional<int>(m.captured(1).toInt()) : std::nullopt;
}

void guessForm(PartAttributes &out, Attribute attribute, QStringView text)
{
    static const QRegularExpression named
        = pattern(R"((?<![A-Z0-9-])(E-?ATX|Micro[\s-]?ATX|m-?ATX|uATX|Mini[\s-]?ITX|ITX|ATX)(?![A-Z0-9]))");
    QStringList forms;
    for (auto it = named.globalMatch(text); it.hasNext();) {
        if (const auto read = readAttribute(Attribute::FormFactor, it.next().captured(1)); read.value) {
            if (!forms.contains(*read.value))
                forms << *read.value;
        }
    }
    // A board named after its chipset tells its size by the letter after it: B650M, B760I.
    if (forms.isEmpty() && attribute == Attribute::FormFactor) {
        static const QRegularExpression chipset = pattern(R"((?<![A-Z0-9])[ABHXZ]\d{3}E?([MI])(?![A-Z0-9]))");
        if (const auto m = chipset.match(text); m.hasMatch())
            forms << (m.captured(1).toUpper() == QLatin1String("M") ? QStringLiteral("Micro-ATX")
                                                                    : QStringLiteral("Mini-ITX"));
    }
    if (!forms.isEmpty())
        out.set(attribute,
            attribute == Attribute::FormFactor ? forms.first() : forms.join(QLatin1String(", ")), true);
}

} // namespace

PartAttributes guessAttributes(PartKind kind, QStringView description)
{
    PartAttributes out;
    const auto setNumber = [&](Attribute attribute, std::optional<int> value) {
        if (value && readAttribute(attribute, QString::number(*value)).value)
            out.set(attribute, QString::number(*value), true);
    };
    static const QRegularExpression watts = pattern(R"((?<![0-9.])(\d{2,4})\s*W(?:att)?s?(?![A-Z0-9]))");
    static const QRegularExpression millimetres = pattern(R"((?<![0-9.])(\d{3})\s*mm(?![A-Z0-9]))");
    static const QRegularExpression memory = pattern(R"((?<![A-Z0-9])(L?P?DDR[345])(?![0-9]))");
    QStringList memories;
    for (auto it = memory.globalMatch(description); it.hasNext();) {
        const QString word = it.next().captured(1).toUpper().right(4);
        if (!memories.contains(word))
            memories << word;
    }
    switch (kind) {
    case PartKind::Processor:
        if (const auto socket = guessSocket(description, kind))
            out.set(Attribute::Socket, *socket, true);
        if (!memories.isEmpty())
            out.set(Attribute::MemoryTypes, memories.join(QLatin1String(", ")), true);
        setNumber(Attribute::Power, firstNumber(watts, description));
        break;
    case PartKind::Board:
        if (const auto socket = guessSocket(description, kind))
            out.set(Attribute::Socket, *socket, true);
        if (memories.size() == 1)
            out.set(Attribute::MemoryType, memories.first(), true);
        guessForm(out, Attribute::FormFactor, description);
        break;
    case PartKind::Memory: {
        if (memories.size() == 1)
            out.set(Attribute::MemoryType, memories.first(), true);
        static const QRegularExpression kit = pattern(R"((?<![0-9])([1-8])\s*[xX×]\s*\d{1,3}\s*GB)");
        setNumber(Attribute::Modules, firstNumber(kit, description));
        break;
    }
    case PartKind::Disk: {
        static const QRegularExpression m2 = pattern(R"(NVMe|M\.2|PCIe)");
        static const QRegularExpression sata = pattern(R"(SATA|2\.5"|3\.5"|HDD)");
        if (m2.match(description).hasMatch())
            out.set(Attribute::Interface, QStringLiteral("M.2 NVMe"), true);
        else if (sata.match(description).hasMatch())
            out.set(Attribute::Interface, QStringLiteral("SATA"), true);
        break;
    }
    case PartKind::Graphics:
        setNumber(Attribute::Length, firstNumber(millimetres, description));
        setNumber(Attribute::Power, firstNumber(watts, description));
        break;
    case PartKind::Case:
        guessForm(out, Attribute::CaseForms, description);
        setNumber(Attribute::CardClearance, firstNumber(millimetres, description));
        setNumber(Attribute::CaseSupply, firstNumber(watts, description));
        break;
    case PartKind::Supply: {
        // The extra rows hold anything; only what calls itself a supply has a supply's wattage.
        static const QRegularExpression supply
            = pattern(R"(PSU|Power\s*Supply|80\s*\+|80\s*Plus|\x{0645}\x{0632}\x{0648}\x{062F})");
        if (supply.match(description).hasMatch())
            setNumber(Attribute::SupplyPower, firstNumber(watts, description));
        break;
    }
    case PartKind::Other:
        break;
    }
    return out;
}
