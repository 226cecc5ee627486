#include "supplieritems.h"

namespace SupplierImport
{

QByteArrayView ItemList::idBytes(const Stored &item) const
{
    return m_text.bytes(item.text).first(item.idSize);
}

Item ItemList::operator[](size_t i) const
{
    return { m_categories[m_items[i].category], id(i), description(i), price(i), m_items[i].line };
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
    return QString::fromUtf8(m_text.bytes(item.text).sliced(before));
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
    const QByteArray id = item.id.toUtf8();
    const QByteArray description = item.description ? item.description->toUtf8() : QByteArray();
    const QByteArray text = id + description + item.price.toUtf8();
    const Stored stored { item.line, m_text.add(QByteArrayView(text)), categoryIndex(item.category),
        static_cast<quint32>(id.size()),
        item.description ? static_cast<quint32>(description.size()) : TextPool::NoText };
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
