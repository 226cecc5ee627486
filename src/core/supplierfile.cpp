#include "supplierfile.h"

#include <QStringDecoder>

namespace SupplierFile
{

namespace
{

    bool hasPrefix(const QByteArray &bytes, const char *prefix, qsizetype n)
    {
        return bytes.size() >= n && bytes.first(n) == QByteArray::fromRawData(prefix, n);
    }

    // UTF-16 without a mark: one of each pair of bytes is nearly always zero in Latin text.
    std::optional<Encoding> utf16ByZeros(const QByteArray &start)
    {
        const qsizetype n = std::min<qsizetype>(start.size(), 4096) & ~qsizetype(1);
        if (n < 4)
            return std::nullopt;
        qsizetype even = 0;
        qsizetype odd = 0;
        for (qsizetype i = 0; i < n; i += 2) {
            even += start[i] == 0;
            odd += start[i + 1] == 0;
        }
        const qsizetype pairs = n / 2;
        if (odd * 3 > pairs && even * 20 < pairs)
            return Encoding::Utf16LE;
        if (even * 3 > pairs && odd * 20 < pairs)
            return Encoding::Utf16BE;
        return std::nullopt;
    }

    bool validUtf8(const QByteArray &start)
    {
        // Stateful, unflushed: a character cut at the end of the sample is no error.
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString ignored = decoder.decode(start);
        return !decoder.hasError();
    }

    bool high(char c)
    {
        return static_cast<unsigned char>(c) >= 0x80;
    }

    bool asciiLetter(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    }

    // Arabic words are runs of high bytes; accented Latin letters stand one at a time among ASCII ones.
    Encoding eightBit(const QByteArray &start)
    {
        qsizetype together = 0;
        qsizetype mixed = 0;
        for (qsizetype i = 0; i + 1 < start.size(); ++i) {
            const char a = start[i];
            const char b = start[i + 1];
            if (high(a) && high(b))
                ++together;
            else if ((high(a) && asciiLetter(b)) || (asciiLetter(a) && high(b)))
                ++mixed;
        }
        return together > mixed ? Encoding::Windows1256 : Encoding::Windows1252;
    }

} // namespace

QStringDecoder decoderFor(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8:
        return QStringDecoder(QStringDecoder::Utf8);
    case Encoding::Utf16LE:
        return QStringDecoder(QStringDecoder::Utf16LE);
    case Encoding::Utf16BE:
        return QStringDecoder(QStringDecoder::Utf16BE);
    case Encoding::Windows1252:
        return QStringDecoder("windows-1252");
    case Encoding::Windows1256:
        return QStringDecoder("windows-1256");
    }
    return QStringDecoder(QStringDecoder::Utf8);
}

namespace
{

    // How often c stands outside quotes in a line.
    int countOutsideQuotes(QStringView line, QChar c)
    {
        int count = 0;
        bool quoted = false;
        for (const QChar ch : line) {
            if (ch == u'"')
                quoted = !quoted;
            else if (ch == c && !quoted)
                ++count;
        }
        return count;
    }

} // namespace

QString encodingName(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8:
        return QStringLiteral("UTF-8");
    case Encoding::Utf16LE:
        return QStringLiteral("UTF-16 LE");
    case Encoding::Utf16BE:
        return QStringLiteral("UTF-16 BE");
    case Encoding::Windows1252:
        return QStringLiteral("Windows-1252 (Western)");
    case Encoding::Windows1256:
        return QStringLiteral("Windows-1256 (Arabic)");
    }
    return QString();
}

Encoding detectEncoding(const QByteArray &start)
{
    if (hasPrefix(start, "\xEF\xBB\xBF", 3))
        return Encoding::Utf8;
    if (hasPrefix(start, "\xFF\xFE", 2))
        return Encoding::Utf16LE;
    if (hasPrefix(start, "\xFE\xFF", 2))
        return Encoding::Utf16BE;
    if (const auto utf16 = utf16ByZeros(start))
        return *utf16;
    if (validUtf8(start))
        return Encoding::Utf8;
    return eightBit(start);
}

QChar detectDelimiter(const QString &startText)
{
    QList<QStringView> lines;
    for (const QStringView line : QStringView(startText).split(u'\n')) {
        if (!line.trimmed().isEmpty())
            lines << line;
        if (lines.size() == 20)
            break;
    }
    // The last line of a sample may be cut short.
    if (lines.size() > 2)
        lines.removeLast();
    QChar best = u',';
    std::pair<int, int> bestScore { 0, 0 };
    for (const QChar candidate : { QChar(u'\t'), QChar(u';'), QChar(u','), QChar(u'|') }) {
        if (lines.isEmpty())
            break;
        const int first = countOutsideQuotes(lines.first(), candidate);
        if (first == 0)
            continue;
        int same = 0;
        for (const QStringView line : lines)
            same += countOutsideQuotes(line, candidate) == first;
        const std::pair<int, int> score { same, first };
        if (score > bestScore) {
            bestScore = score;
            best = candidate;
        }
    }
    return best;
}

std::optional<Format> detect(const QByteArray &start, QString *why)
{
    Format format;
    format.encoding = detectEncoding(start);
    const bool wide = format.encoding == Encoding::Utf16LE || format.encoding == Encoding::Utf16BE;
    if (!wide && start.contains('\0')) {
        if (why)
            *why = QStringLiteral("The file holds binary data (NUL bytes); it is not a text file of prices.");
        return std::nullopt;
    }
    QStringDecoder decoder = decoderFor(format.encoding);
    format.delimiter = detectDelimiter(decoder.decode(start));
    return format;
}

} // namespace SupplierFile
