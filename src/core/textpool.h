#pragma once

#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

// Many short texts kept as UTF-8 in large shared blocks: a million of them cost their bytes and
// twelve more each, where a QString apiece would cost a heap block and a header each. Texts never
// move once added, so views of them stay valid as long as the pool.
class TextPool
{
public:
    struct Ref {
        quint32 block = 0;
        quint32 offset = 0;
        quint32 size = NoText;
    };
    static constexpr quint32 NoText = 0xffffffffu; // the size of a Ref that stands for nullopt

    Ref add(QByteArrayView utf8);
    Ref add(QStringView text) { return add(QByteArrayView(text.toUtf8())); }
    Ref addOptional(const std::optional<QString> &text) { return text ? add(QStringView(*text)) : Ref(); }

    QByteArrayView bytes(Ref ref) const
    {
        return ref.size == NoText ? QByteArrayView()
                                  : QByteArrayView(m_blocks[ref.block].get() + ref.offset, ref.size);
    }
    QString text(Ref ref) const { return QString::fromUtf8(bytes(ref)); }
    std::optional<QString> optionalText(Ref ref) const
    {
        return ref.size == NoText ? std::nullopt : std::optional<QString>(text(ref));
    }

private:
    static constexpr qsizetype BlockBytes = 1 << 20;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    qsizetype m_used = 0; // of the last block
    qsizetype m_capacity = 0; // of the last block
};
