#include "registryfile.h"

#include <QHash>
#include <QStringDecoder>
#include <QtEndian>

namespace Registry
{

bool isTextType(quint32 type)
{
    return type == TypeSz || type == TypeExpandSz || type == TypeMultiSz;
}

std::optional<quint32> rootFromName(QStringView name)
{
    struct Root {
        QStringView longName;
        QStringView shortName;
        quint32 root;
    };
    static const Root roots[] = {
        { u"HKEY_CLASSES_ROOT", u"HKCR", ClassesRoot },
        { u"HKEY_CURRENT_USER", u"HKCU", CurrentUser },
        { u"HKEY_LOCAL_MACHINE", u"HKLM", LocalMachine },
        { u"HKEY_USERS", u"HKU", Users },
        { u"HKEY_CURRENT_CONFIG", u"HKCC", CurrentConfig },
    };
    for (const Root &r : roots) {
        if (name.compare(r.longName, Qt::CaseInsensitive) == 0
            || name.compare(r.shortName, Qt::CaseInsensitive) == 0)
            return r.root;
    }
    return std::nullopt;
}

} // namespace Registry

namespace
{

using Format = RegistryFileModel::Format;

QString normalisedPath(QStringView path)
{
    QString out;
    out.reserve(path.size());
    for (QStringView part : path.split(u'\\', Qt::SkipEmptyParts)) {
        if (!out.isEmpty())
            out += u'\\';
        out += part;
    }
    return out;
}

// The whole file as text. Exports of version 5 are UTF-16; the others are 8-bit, taken as UTF-8
// when they are valid UTF-8 and as Latin-1 otherwise (every byte then stands for itself).
struct DecodedText {
    QString text;
    QStringConverter::Encoding narrow = QStringConverter::Utf8; // for 8-bit string data in hex
};

DecodedText decode(const QByteArray &content)
{
    DecodedText out;
    const auto bytes = [&](qsizetype i) { return static_cast<uchar>(content.at(i)); };
    if (content.size() >= 2 && bytes(0) == 0xFF && bytes(1) == 0xFE) {
        out.text = QStringDecoder(QStringConverter::Utf16LE)(QByteArrayView(content).sliced(2));
        return out;
    }
    if (content.size() >= 2 && bytes(0) == 0xFE && bytes(1) == 0xFF) {
        out.text = QStringDecoder(QStringConverter::Utf16BE)(QByteArrayView(content).sliced(2));
        return out;
    }
    // UTF-16LE saved without its mark still begins with an ASCII letter and a zero byte.
    if (content.size() >= 2 && bytes(0) != 0 && bytes(0) < 0x80 && bytes(1) == 0) {
        out.text = QStringDecoder(QStringConverter::Utf16LE)(content);
        return out;
    }
    QByteArrayView body(content);
    if (content.size() >= 3 && bytes(0) == 0xEF && bytes(1) == 0xBB && bytes(2) == 0xBF)
        body = body.sliced(3);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    out.text = utf8(body);
    if (utf8.hasError()) {
        out.text = QString::fromLatin1(body);
        out.narrow = QStringConverter::Latin1;
    }
    return out;
}

QByteArray utf16le(QStringView text, bool terminate)
{
    const qsizetype units = text.size() + (terminate ? 1 : 0);
    QByteArray out(units * 2, '\0');
    char *p = out.data();
    for (QChar c : text) {
        qToLittleEndian<quint16>(c.unicode(), p);
        p += 2;
    }
    return out; // the terminating unit is already zero
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

int hexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return c.unicode() - u'A' + 10;
}

bool onlyTrailingBlanksOrComment(QStringView rest)
{
    const QStringView t = rest.trimmed();
    return t.isEmpty() || t.startsWith(u';') || t.startsWith(u'#');
}

// Reads an escaped text from line[pos] up to the unescaped terminator; pos ends just after the
// terminator. nullopt when the text does not end on this line.
//
// Regedit escapes only the backslash and the quote (Wine's regedit also writes \n, \r and \0);
// any other backslash is kept as it stands. Wine's hive files use C escapes: \a \b \e \f \n \r
// \t \v, octal \ooo, and \x with up to four hex digits for one UTF-16 unit.
// One regedit escape: the backslash and the quote (Wine's regedit also writes \n, \r and \0);
// any other backslash is kept as it stands.
void appendRegeditEscape(QString &out, QChar e)
{
    switch (e.unicode()) {
    case u'\\':
    case u'"':
        out += e;
        break;
    case u'n':
        out += u'\n';
        break;
    case u'r':
        out += u'\r';
        break;
    case u'0':
        out += QChar(0);
        break;
    default:
        out += u'\\';
        out += e;
    }
}

// One C escape of Wine's hive files, e being the character after the backslash; reads the digits
// of \x and octal escapes from line at pos.
void appendWineEscape(QString &out, QChar e, QStringView line, qsizetype &pos)
{
    static const QHash<char16_t, char16_t> simple = { { u'a', 0x07 }, { u'b', 0x08 }, { u'e', 0x1B },
        { u'f', 0x0C }, { u'n', 0x0A }, { u'r', 0x0D }, { u't', 0x09 }, { u'v', 0x0B } };
    if (const auto it = simple.constFind(e.unicode()); it != simple.constEnd()) {
        out += QChar(*it);
    } else if (e == u'x') {
        int value = 0;
        int digits = 0;
        while (digits < 4 && pos < line.size() && isHexDigit(line.at(pos))) {
            value = value * 16 + hexValue(line.at(pos++));
            ++digits;
        }
        out += digits ? QChar(char16_t(value)) : QChar(u'x');
    } else if (e >= u'0' && e <= u'7') {
        int value = e.unicode() - u'0';
        for (int digits = 1; digits < 3 && pos < line.size() && line.at(pos) >= u'0' && line.at(pos) <= u'7';
             ++digits)
            value = value * 8 + (line.at(pos++).unicode() - u'0');
        out += QChar(char16_t(value));
    } else {
        out += e;
    }
}

std::optional<QString> readEscaped(QStringView line, qsizetype &pos, QChar terminator, bool wine)
{
    QString out;
    while (pos < line.size()) {
        const QChar c = line.at(pos++);
        if (c == terminator)
            return out;
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (pos >= line.size())
            return std::nullopt;
        const QChar e = line.at(pos++);
        if (wine)
            appendWineEscape(out, e, line, pos);
        else
            appendRegeditEscape(out, e);
    }
    return std::nullopt;
}

// Comma-separated bytes of one or two hex digits; blanks around them and one trailing comma
// (left by a continuation at the end of the file) are allowed.
std::optional<QByteArray> readHexBytes(QStringView text)
{
    QByteArray out;
    const QStringView t = text.trimmed();
    if (t.isEmpty() || t.startsWith(u';'))
        return out;
    out.reserve(t.size() / 3 + 1);
    const auto parts = t.split(u',');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QStringView part = parts.at(i).trimmed();
        if (part.isEmpty() && i == parts.size() - 1 && i > 0)
            break;
        if (part.isEmpty() || part.size() > 2 || !isHexDigit(part.at(0))
            || (part.size() == 2 && !isHexDigit(part.at(1))))
            return std::nullopt;
        int value = hexValue(part.at(0));
        if (part.size() == 2)
            value = value * 16 + hexValue(part.at(1));
        out += char(value);
    }
    return out;
}

// A type number in hex up to the closing parenthesis: "2)", "7)", "b)", "80000001)".
std::optional<quint32> readTypeNumber(QStringView line, qsizetype &pos)
{
    quint64 value = 0;
    int digits = 0;
    while (pos < line.size() && isHexDigit(line.at(pos))) {
        value = value * 16 + quint64(hexValue(line.at(pos++)));
        if (++digits > 8)
            return std::nullopt;
    }
    if (digits == 0 || pos >= line.size() || line.at(pos) != u')')
        return std::nullopt;
    ++pos;
    return quint32(value);
}

class Parser
{
public:
    Parser(RegistryFileModel &model, QStringConverter::Encoding narrow)
        : m_model(model)
        , m_narrow(narrow)
    {
    }

    void setWineRoot(quint32 root) { m_wineRoot = root; }
    bool isWine() const { return m_model.format == Format::Wine; }

    void sectionLine(QStringView line)
    {
        m_current = -1;
        if (isWine()) {
            qsizetype pos = 1;
            const auto name = readEscaped(line, pos, u']', true);
            if (!name) {
                ++m_model.skippedLines;
                return;
            }
            m_current = keyFor(m_wineRoot, *name);
            return;
        }
        const qsizetype close = line.lastIndexOf(u']');
        if (close < 1 || line.startsWith(u"[-")) {
            ++m_model.skippedLines;
            return;
        }
        const QStringView full = line.sliced(1, close - 1);
        const qsizetype slash = full.indexOf(u'\\');
        const QStringView rootName = slash < 0 ? full : full.first(slash);
        const auto root = Registry::rootFromName(rootName.trimmed());
        if (!root) {
            ++m_model.skippedLines;
            return;
        }
        m_current = keyFor(*root, slash < 0 ? QStringView() : full.sliced(slash + 1));
    }

    void valueLine(QStringView line)
    {
        if (m_current < 0) {
            ++m_model.skippedLines; // a value outside any usable key
            return;
        }
        if (!readValue(line))
            ++m_model.skippedLines;
    }

private:
    qsizetype keyFor(quint32 root, QStringView path)
    {
        const QString normal = normalisedPath(path);
        const QString id = registryKeyId(root, normal);
        const auto it = m_model.keyIndex.constFind(id);
        if (it != m_model.keyIndex.constEnd())
            return it.value();
        RegistryKey key;
        key.root = root;
        key.path = normal;
        m_model.keys.append(std::move(key));
        const qsizetype index = m_model.keys.size() - 1;
        m_model.keyIndex.insert(id, index);
        return index;
    }

    bool readValue(QStringView line)
    {
        qsizetype pos = 0;
        QString name;
        if (line.startsWith(u'@')) {
            pos = 1;
        } else {
            pos = 1;
            const auto quoted = readEscaped(line, pos, u'"', isWine());
            if (!quoted)
                return false;
            name = *quoted;
        }
        while (pos < line.size() && line.at(pos).isSpace())
            ++pos;
        if (pos >= line.size() || line.at(pos) != u'=')
            return false;
        ++pos;
        while (pos < line.size() && line.at(pos).isSpace())
            ++pos;
        const QStringView data = line.sliced(pos);

        if (data.startsWith(u'-')) {
            if (!onlyTrailingBlanksOrComment(data.sliced(1)))
                return false;
            removeValue(name);
            return true;
        }
        if (data.startsWith(u'"'))
            return storeText(name, Registry::TypeSz, data, 0);
        if (data.startsWith(u"str:", Qt::CaseInsensitive))
            return storeText(name, Registry::TypeSz, data, 4);
        if (data.startsWith(u"str(", Qt::CaseInsensitive)) {
            qsizetype p = 4;
            const auto type = readTypeNumber(data, p);
            if (!type || p >= data.size() || data.at(p) != u':')
                return false;
            return storeText(name, *type, data, p + 1);
        }
        if (data.startsWith(u"dword:", Qt::CaseInsensitive)) {
            qsizetype p = 6;
            quint32 value = 0;
            int digits = 0;
            while (p < data.size() && isHexDigit(data.at(p)) && digits < 8) {
                value = value * 16 + quint32(hexValue(data.at(p++)));
                ++digits;
            }
            if (digits == 0 || !onlyTrailingBlanksOrComment(data.sliced(p)))
                return false;
            QByteArray bytes(4, '\0');
            qToLittleEndian<quint32>(value, bytes.data());
            setValue(name, Registry::TypeDword, std::move(bytes));
            return true;
        }
        quint32 type = Registry::TypeBinary;
        qsizetype p = 0;
        if (data.startsWith(u"hex:", Qt::CaseInsensitive)) {
            p = 4;
        } else if (data.startsWith(u"hex(", Qt::CaseInsensitive)) {
            p = 4;
            const auto t = readTypeNumber(data, p);
            if (!t || p >= data.size() || data.at(p) != u':')
                return false;
            type = *t;
            ++p;
        } else {
            return false;
        }
        auto bytes = readHexBytes(data.sliced(p));
        if (!bytes)
            return false;
        if (m_model.format == Format::Regedit4 && Registry::isTextType(type)) {
            // An 8-bit export gives string data in its own 8-bit form; the registry keeps UTF-16.
            const QString text = QStringDecoder(m_narrow, QStringConverter::Flag::Stateless)(*bytes);
            *bytes = utf16le(text, false);
        }
        setValue(name, type, std::move(*bytes));
        return true;
    }

    bool storeText(const QString &name, quint32 type, QStringView data, qsizetype quote)
    {
        if (quote >= data.size() || data.at(quote) != u'"')
            return false;
        qsizetype pos = quote + 1;
        const auto text = readEscaped(data, pos, u'"', isWine());
        if (!text)
            return false;
        setValue(name, type, utf16le(*text, true));
        return true;
    }

    void setValue(const QString &name, quint32 type, QByteArray data)
    {
        RegistryKey &key = m_model.keys[m_current];
        const QString id = name.toCaseFolded();
        const auto it = key.valueIndex.constFind(id);
        if (it != key.valueIndex.constEnd()) {
            RegistryValue &v = key.values[it.value()];
            v.name = name;
            v.type = type;
            v.data = std::move(data);
            return;
        }
        key.values.append(RegistryValue { name, type, std::move(data) });
        key.valueIndex.insert(id, key.values.size() - 1);
    }

    void removeValue(const QString &name)
    {
        RegistryKey &key = m_model.keys[m_current];
        const QString id = name.toCaseFolded();
        const auto it = key.valueIndex.constFind(id);
        if (it == key.valueIndex.constEnd())
            return;
        // Swap with the last value so that a file of many deletions stays linear.
        const qsizetype gone = it.value();
        key.valueIndex.erase(it);
        const qsizetype last = key.values.size() - 1;
        if (gone != last) {
            key.values[gone] = std::move(key.values[last]);
            key.valueIndex[key.values[gone].name.toCaseFolded()] = gone;
        }
        key.values.removeLast();
    }

    RegistryFileModel &m_model;
    QStringConverter::Encoding m_narrow;
    quint32 m_wineRoot = Registry::LocalMachine;
    qsizetype m_current = -1;
};

// ";; All keys relative to \\Machine" or "\\User\\S-1-5-21-...".
std::optional<quint32> wineRelativeRoot(QStringView comment)
{
    const qsizetype at = comment.indexOf(u"relative to", 0, Qt::CaseInsensitive);
    if (at < 0)
        return std::nullopt;
    const auto parts = comment.sliced(at + 11).trimmed().split(u'\\', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return std::nullopt;
    if (parts.first().compare(u"Machine", Qt::CaseInsensitive) == 0)
        return Registry::LocalMachine;
    if (parts.first().compare(u"User", Qt::CaseInsensitive) == 0)
        return parts.size() > 1 ? Registry::CurrentUser : Registry::Users;
    return std::nullopt;
}

} // namespace

QString registryKeyId(quint32 root, QStringView path)
{
    return QString::number(root, 16) + u':' + normalisedPath(path).toCaseFolded();
}

RegistryFileModel parseRegistryFile(const QByteArray &content)
{
    RegistryFileModel model;
    const DecodedText decoded = decode(content);
    const QStringView text(decoded.text);

    Parser parser(model, decoded.narrow);
    bool headerSeen = false;
    QString pending; // a value line continued with a trailing backslash

    qsizetype start = 0;
    const qsizetype end = text.size();
    while (start <= end) {
        qsizetype stop = start;
        while (stop < end && text.at(stop) != u'\n' && text.at(stop) != u'\r')
            ++stop;
        QStringView line = text.sliced(start, stop - start).trimmed();
        // "\r\n" is one break.
        start
            = (stop + 1 < end && text.at(stop) == u'\r' && text.at(stop + 1) == u'\n') ? stop + 2 : stop + 1;
        const bool lastLine = start > end;

        if (!headerSeen) {
            if (line.isEmpty())
                continue;
            if (line == u"REGEDIT4")
                model.format = Format::Regedit4;
            else if (line.startsWith(u"Windows Registry Editor Version 5"))
                model.format = Format::Regedit5;
            else if (line.startsWith(u"WINE REGISTRY Version"))
                model.format = Format::Wine;
            else
                return model; // not a registry file at all
            headerSeen = true;
            continue;
        }

        // A value line ending in a backslash goes on in the next line (hex data of regedit).
        const bool continued = line.endsWith(u'\\');
        if (!pending.isEmpty() || ((line.startsWith(u'"') || line.startsWith(u'@')) && continued)) {
            pending += continued ? line.chopped(1) : line;
            if (continued && !lastLine)
                continue;
            line = QStringView(pending);
        }

        if (line.isEmpty()) {
            // nothing
        } else if (line.startsWith(u';')) {
            if (model.format == Format::Wine) {
                if (const auto root = wineRelativeRoot(line))
                    parser.setWineRoot(*root);
            }
        } else if (line.startsWith(u'#')) {
            // Wine's metadata: #time, #class, #arch, #link
        } else if (line.startsWith(u'[')) {
            parser.sectionLine(line);
        } else if (line.startsWith(u'"') || line.startsWith(u'@')) {
            parser.valueLine(line);
        } else {
            ++model.skippedLines;
        }
        pending.clear();
    }
    return model;
}

const RegistryKey *findRegistryKey(const RegistryFileModel &model, quint32 root, QStringView path)
{
    const auto it = model.keyIndex.constFind(registryKeyId(root, path));
    return it == model.keyIndex.constEnd() ? nullptr : &model.keys.at(it.value());
}

const RegistryValue *findRegistryValue(const RegistryKey &key, QStringView name)
{
    const auto it = key.valueIndex.constFind(name.toString().toCaseFolded());
    return it == key.valueIndex.constEnd() ? nullptr : &key.values.at(it.value());
}
