#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <span>

// What the fitting rules know about a part: the kind of component an offer row holds, and typed
// facts about an item (its socket, its length, ...), each checked and spelt one way when it is
// read, so that "lga 1700" and "LGA1700" are the same socket everywhere.

enum class PartKind { Processor, Board, Memory, Disk, Graphics, Case, Supply, Other };

// The kind of part each of the offer's rows holds. The extra rows may hold anything; an item
// there counts as a power supply when it has a supply wattage.
constexpr PartKind partKindOfRow(int row)
{
    switch (row) {
    case 0:
        return PartKind::Processor;
    case 1:
        return PartKind::Board;
    case 2:
        return PartKind::Memory;
    case 4:
    case 7:
        return PartKind::Disk;
    case 5:
        return PartKind::Graphics;
    case 12:
        return PartKind::Case;
    case 14:
    case 15:
    case 16:
        return PartKind::Supply;
    default:
        return PartKind::Other;
    }
}

enum class Attribute {
    Socket,
    MemoryTypes, // the memory generations a processor takes
    MemoryType, // a board's or a memory kit's generation
    Power, // what a processor or a graphics card draws, W
    MemorySlots,
    FormFactor, // a board's
    M2Slots,
    SataPorts,
    Modules, // modules in a memory kit
    Length, // a graphics card's, mm
    CaseForms, // the board form factors a case takes
    CardClearance, // the longest graphics card a case takes, mm
    CaseSupply, // the supply a case comes with, W, or none
    SupplyPower, // a power supply's wattage, W
    Interface, // a disk's
};

struct AttributeInfo {
    enum class Kind { Word, Words, Number, NumberOrNone };
    Attribute attribute;
    const char *key; // as stored
    const char *label; // as shown to the person
    Kind kind;
    const char *unit; // "W", "mm" or empty
    int minValue; // numbers: the smallest that makes sense
    int maxValue; // and the largest
};

const AttributeInfo &attributeInfo(Attribute attribute);
// Every attribute there is, in the order they are listed.
std::span<const AttributeInfo> allAttributes();
std::optional<Attribute> attributeFromKey(QStringView key);
// The attributes that describe a part of this kind, in the order they are listed.
QList<Attribute> attributesOf(PartKind kind);

// A typed or stored attribute value read for its kind: the value in its one spelling, or why it
// cannot be one. A word nobody has used yet (a socket this program does not know) is accepted and
// flagged, so the window can ask the person to confirm it.
struct AttributeReading {
    std::optional<QString> value;
    QString reason;
    bool newWord = false;
};
AttributeReading readAttribute(Attribute attribute, QStringView text);

// The text "none" a case without its own supply holds.
QString noSupply();

// What is known about one item. A guessed value (read from the description by the program) is
// kept apart until a person accepts it: the rules never use it.
class PartAttributes final
{
public:
    struct Value {
        QString text; // in its one spelling (readAttribute)
        bool guessed = false;
    };

    bool isEmpty() const { return m_values.isEmpty(); }
    void set(Attribute attribute, const QString &text, bool guessed = false);
    void remove(Attribute attribute) { m_values.remove(attribute); }
    std::optional<Value> value(Attribute attribute) const;
    const QMap<Attribute, Value> &values() const { return m_values; }
    void acceptAll();

    // The accepted value only; nullopt when it is unknown or merely guessed.
    std::optional<QString> known(Attribute attribute) const;
    std::optional<int> number(Attribute attribute) const;
    QStringList words(Attribute attribute) const;

    bool operator==(const PartAttributes &other) const;

private:
    QMap<Attribute, Value> m_values;
};

// A list item by its row's category and id, with the description its attributes may be guessed from.
struct DescribedItem {
    QString category; // the row it belongs to, "0" to "16"
    QString id;
    QString description;
};

// Attributes taken for a list item: proposed from its description, or accepted by the person.
struct ItemAttributes {
    QString category;
    QString id;
    PartAttributes attributes;
};

// Attributes proposed from an item's description ("AMD Ryzen 5 7600 AM5 65W", "B650M DDR5"), each
// marked as guessed.
PartAttributes guessAttributes(PartKind kind, QStringView description);
