#include "textpool.h"

#include <cstring>

TextPool::Ref TextPool::add(QByteArrayView utf8)
{
    const qsizetype size = utf8.size();
    if (size >= qsizetype(NoText))
        qFatal("TextPool: a text of %lld bytes", static_cast<long long>(size));
    if (m_blocks.empty() || m_capacity - m_used < size) {
        // A text longer than a block gets one of its own; the next text starts a fresh block.
        m_capacity = std::max(BlockBytes, size);
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(static_cast<size_t>(m_capacity)));
        m_used = 0;
    }
    const Ref ref { static_cast<quint32>(m_blocks.size() - 1), static_cast<quint32>(m_used),
        static_cast<quint32>(size) };
    if (size > 0)
        std::memcpy(m_blocks.back().get() + m_used, utf8.data(), static_cast<size_t>(size));
    m_used += size;
    return ref;
}
