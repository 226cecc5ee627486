#pragma once

#include "textpool.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <deque>
#include <iterator>
#include <optional>

namespace SupplierImport
{

// One item of a supplier's file, as the list will store it.
struct Item {
    QString category;
    QString id;
    std::optional<QString> description; // nullopt: the file has no descriptions
    QString price; // empty when the file gives costs, until the markup gives the list price
    qint64 line = 0;
    std::optional<QString> cost = std::nullopt; // what the shop pays, when the file tells it
};

// The items of a supplier's file, one per category and id, in the order first seen. A file may
// list a million, so they are kept compactly (their texts in a TextPool, about 40 bytes more
// each) and handed out as Items only when asked for.
class ItemList
{
public:
    size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    Item operator[](size_t i) const;

    QString id(size_t i) const;
    QString price(size_t i) const;
    std::optional<QString> cost(size_t i) const;
    // Gives the item its list price: one worked out from its cost when the file gives costs.
    void setPrice(size_t i, const QString &price);
    std::optional<QString> description(size_t i) const;
    qint64 line(size_t i) const { return m_items[i].line; }
    quint32 categoryOf(size_t i) const { return m_items[i].category; }

    quint32 categoryCount() const { return static_cast<quint32>(m_categories.size()); }
    const QString &category(quint32 index) const { return m_categories[index]; }

    // Adds the item, or puts it in the place of the one with its category and id, whose line it
    // returns then.
    std::optional<qint64> put(const Item &item);
    // The item of that category and id, if listed.
    std::optional<size_t> find(quint32 category, QStringView id) const;

    class const_iterator
    {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = Item;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = Item;
        const_iterator(const ItemList *list, size_t at)
            : m_list(list)
            , m_at(at)
        {
        }
        Item operator*() const { return (*m_list)[m_at]; }
        const_iterator &operator++()
        {
            ++m_at;
            return *this;
        }
        bool operator==(const const_iterator &other) const { return m_at == other.m_at; }

    private:
        const ItemList *m_list;
        size_t m_at;
    };
    const_iterator begin() const { return { this, 0 }; }
    const_iterator end() const { return { this, size() }; }

private:
    // The id, description, price and cost of an item stand one after the other in one text.
    struct Stored {
        qint64 line;
        TextPool::Ref text;
        quint32 category;
        quint32 idSize;
        quint32 descriptionSize; // TextPool::NoText when the file has none
        quint32 priceSize;
        bool hasCost;
    };
    Stored stored(const Item &item, quint32 category);
    struct Key {
        quint32 category;
        QByteArrayView id; // into the pool
        bool operator==(const Key &other) const { return category == other.category && id == other.id; }
    };
    friend size_t qHash(const Key &key, size_t seed) { return qHashMulti(seed, key.category, key.id); }

    QByteArrayView idBytes(const Stored &item) const;
    quint32 categoryIndex(const QString &name);

    TextPool m_text;
    // A deque: a million items grow without ever being copied to a buffer twice the size.
    std::deque<Stored> m_items;
    QHash<Key, quint32> m_index;
    QStringList m_categories;
    QHash<QString, quint32> m_categoryIndex;
};

} // namespace SupplierImport
