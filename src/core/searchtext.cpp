#include "searchtext.h"

#include <algorithm>

namespace
{

constexpr QChar Separator = u'\n';

bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// The letters an Arabic keyboard user types for one another, made one.
char16_t arabicBase(char16_t c)
{
    switch (c) {
    case 0x0629: // taa marbuta
        return 0x0647; // haa
    case 0x0649: // alef maqsura
        return 0x064A; // yaa
    case 0x0671: // alef wasla
        return 0x0627; // alef
    default:
        break;
    }
    if (c >= 0x0660 && c <= 0x0669) // Arabic-Indic digits
        return static_cast<char16_t>(u'0' + (c - 0x0660));
    if (c >= 0x06F0 && c <= 0x06F9) // Eastern Arabic-Indic digits
        return static_cast<char16_t>(u'0' + (c - 0x06F0));
    return c;
}

} // namespace

QString SearchText::fold(QStringView text)
{
    QString out;
    out.reserve(text.size());
    if (isAscii(text)) {
        // Most ids and many descriptions: no decomposition needed, and this runs per row.
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            out += (u >= u'A' && u <= u'Z') ? QChar(u + 32) : (u < 0x20 || u == 0x7F) ? QChar(u' ') : c;
        }
        return out;
    }
    // Decomposing splits hamza and madda from alef and accents from Latin letters, and turns the
    // Arabic presentation forms into the plain letters.
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
    for (const QChar c : decomposed) {
        if (c.isMark() || c.unicode() == 0x0640) // marks, tatweel
            continue;
        if (c.category() == QChar::Other_Control) {
            out += u' ';
            continue;
        }
        out += QChar(arabicBase(c.unicode()));
    }
    return out.toCaseFolded();
}

void SearchIndex::clear()
{
    m_text.clear();
    m_starts.clear();
    m_last.clear();
    m_lastQuery.clear();
    m_hasLast = false;
}

void SearchIndex::reserve(qsizetype rows, qsizetype charsPerRow)
{
    m_starts.reserve(static_cast<size_t>(rows));
    m_text.reserve(rows * charsPerRow);
}

void SearchIndex::add(QStringView id, QStringView description)
{
    m_starts.push_back(m_text.size());
    m_text += SearchText::fold(id);
    m_text += Separator;
    m_text += SearchText::fold(description);
    m_text += Separator;
    m_hasLast = false;
}

bool SearchIndex::rowContains(int row, QStringView needle) const
{
    const auto index = static_cast<size_t>(row);
    const qsizetype start = m_starts[index];
    const qsizetype end = index + 1 < m_starts.size() ? m_starts[index + 1] : m_text.size();
    return QStringView(m_text).sliced(start, end - start).contains(needle);
}

bool SearchIndex::idIs(int row, QStringView folded) const
{
    const qsizetype start = m_starts[static_cast<size_t>(row)];
    return QStringView(m_text).sliced(start).startsWith(folded) && start + folded.size() < m_text.size()
        && m_text.at(start + folded.size()) == Separator;
}

const std::vector<int> &SearchIndex::find(const QString &query)
{
    const QString needle = SearchText::fold(query);
    if (m_hasLast && needle == m_lastQuery)
        return m_last;
    std::vector<int> found;
    if (needle.isEmpty()) {
        found.resize(m_starts.size());
        for (size_t i = 0; i < found.size(); ++i)
            found[i] = static_cast<int>(i);
    } else if (m_hasLast && !m_lastQuery.isEmpty() && needle.contains(m_lastQuery)) {
        // Typing on: only what matched before can match now.
        for (const int row : m_last) {
            if (rowContains(row, needle))
                found.push_back(row);
        }
    } else {
        // One pass over all the text: jump from match to match, then on to the next row.
        const QStringView all(m_text);
        qsizetype from = 0;
        while (true) {
            const qsizetype at = all.indexOf(needle, from);
            if (at < 0)
                break;
            const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), at);
            found.push_back(static_cast<int>(next - m_starts.begin()) - 1);
            if (next == m_starts.end())
                break;
            from = *next;
        }
    }
    m_last = std::move(found);
    m_lastQuery = needle;
    m_hasLast = true;
    return m_last;
}
