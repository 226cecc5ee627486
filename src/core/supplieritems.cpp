#include "supplieritems.h"

namespace SupplierImport
{

QByteArrayView ItemList::idBytes(const Stored &item) const
{
    return m_text.bytes(item.text).first(item.idSize);
}

Item ItemList::operator[](size_t i) const
{
    return { m_categories[m_items[i].category], id(i), description(i), price(i), m_items[i].line, cost(i) };
}

QString ItemList::id(size_t i) const
{
    return QString::fromUtf8(idBytes(m_items[i]));
}

std::optional<QString> ItemList::description(size_t i) const
{
    const Stored &item = m_items[i];
    if (item.descriptionSize == TextPool::NoText)
        return std::nullopt;
    return QString::fromUtf8(m_text.bytes(item.text).sliced(item.idSize, item.descriptionSize));
}

QString ItemList::price(size_t i) const
{
    const Stored &item = m_items[i];
    const quint32 before
        = item.idSize + (item.descriptionSize == TextPool::NoText ? 0 : item.descriptionSize);
    return QString::fromUtf8(m_text.bytes(item.text).sliced(before, item.priceSize));
}

std::optional<QString> ItemList::cost(size_t i) const
{
    const Stored &item = m_items[i];
    if (!item.hasCost)
        return std::nullopt;
    const quint32 before = item.idSize + (item.descriptionSize == TextPool::NoText ? 0 : item.descriptionSize)
        + item.priceSize;
    return QString::fromUtf8(m_text.bytes(item.text).sliced(before));
}

void ItemList::setPrice(size_t i, const QString &price)
{
    Item item = (*this)[i];
    item.price = price;
    // The index keeps viewing the earlier text, which the pool keeps and which holds the same id.
    m_items[i] = stored(item, m_items[i].category);
}

ItemList::Stored ItemList::stored(const Item &item, quint32 category)
{
    const QByteArray id = item.id.toUtf8();
    const QByteArray description = item.description ? item.description->toUtf8() : QByteArray();
    const QByteArray price = item.price.toUtf8();
    const QByteArray text = id + description + price + (item.cost ? item.cost->toUtf8() : QByteArray());
    return { item.line, m_text.add(QByteArrayView(text)), category, static_cast<quint32>(id.size()),
        item.description ? static_cast<quint32>(description.size()) : TextPool::NoText,
        static_cast<quint32>(price.size()), item.cost.has_value() };
}

quint32 ItemList::categoryIndex(const QString &name)
{
    const auto known = m_categoryIndex.constFind(name);
    if (known != m_categoryIndex.constEnd())
        return *known;
    const auto index = static_cast<quint32>(m_categories.size());
    m_categories << name;
    m_categoryIndex.insert(name, index);
    return index;
}

std::optional<qint64> ItemList::put(const Item &item)
{
    const Stored stored = this->stored(item, categoryIndex(item.category));
    const Key key { stored.category, idBytes(stored) };
    const auto seen = m_index.constFind(key);
    if (seen != m_index.constEnd()) {
        // The key keeps viewing the earlier text: the pool keeps it, and it holds the same id.
        Stored &earlier = m_items[*seen];
        const qint64 earlierLine = earlier.line;
        earlier = stored;
        return earlierLine;
    }
    m_index.insert(key, static_cast<quint32>(m_items.size()));
    m_items.push_back(stored);
    return std::nullopt;
}

std::optional<size_t> ItemList::find(quint32 category, QStringView id) const
{
    const QByteArray bytes = id.toUtf8();
    const auto found = m_index.constFind(Key { category, QByteArrayView(bytes) });
    if (found == m_index.constEnd())
        return std::nullopt;
    return *found;
}

} // namespace SupplierImport
