#include "searchtext.h"

#include <algorithm>

namespace
{

constexpr QChar Separator = u'\n';

bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// Folds an ASCII text onto the end of `out`: most ids and many descriptions, which need no
// decomposing; this runs for every row of a list.
void appendFoldedAscii(QString &out, QStringView text)
{
    const qsizetype at = out.size();
    out.resize(at + text.size());
    QChar *to = out.data() + at;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        *to++ = (u >= u'A' && u <= u'Z') ? QChar(u + 32) : (u < 0x20 || u == 0x7F) ? QChar(u' ') : c;
    }
}

// Folds any text onto the end of `out`.
void appendFolded(QString &out, QStringView text)
{
    if (isAscii(text))
        appendFoldedAscii(out, text);
    else
        out += SearchText::fold(text);
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
    if (isAscii(text)) {
        appendFoldedAscii(out, text);
        return out;
    }
    out.reserve(text.size());
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
    m_lastRows = 0;
    m_hasLast = false;
}

void SearchIndex::add(QStringView id, QStringView description)
{
    m_starts.push_back(m_text.size());
    appendFolded(m_text, id);
    m_text += Separator;
    appendFolded(m_text, description);
    m_text += Separator;
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

void SearchIndex::scan(QStringView needle, int from, std::vector<int> &found) const
{
    const int rows = size();
    if (needle.isEmpty()) {
        for (int row = from; row < rows; ++row)
            found.push_back(row);
        return;
    }
    if (from >= rows)
        return;
    // One pass over the text: jump from match to match, then on to the next row. The rows are
    // walked along with the matches, never searched for: a search that finds most rows costs no
    // more than one that finds few.
    const QStringView all(m_text);
    size_t row = static_cast<size_t>(from);
    qsizetype at = m_starts[row];
    while ((at = all.indexOf(needle, at)) >= 0) {
        while (row + 1 < m_starts.size() && m_starts[row + 1] <= at)
            ++row;
        found.push_back(static_cast<int>(row));
        if (++row == m_starts.size())
            break;
        at = m_starts[row];
    }
}

const std::vector<int> &SearchIndex::find(const QString &query)
{
    const QString needle = SearchText::fold(query);
    if (m_hasLast && needle == m_lastQuery) {
        // The same search: only rows added since can add to it.
        scan(needle, m_lastRows, m_last);
        m_lastRows = size();
        return m_last;
    }
    std::vector<int> found;
    // Typing on: of the rows searched before, only what matched can match now. When most did, one
    // pass over all the text is quicker than a look at each of them.
    if (m_hasLast && !m_lastQuery.isEmpty() && needle.contains(m_lastQuery)
        && m_last.size() * 4 < size_t(size())) {
        for (const int row : m_last) {
            if (rowContains(row, needle))
                found.push_back(row);
        }
        scan(needle, m_lastRows, found);
    } else {
        scan(needle, 0, found);
    }
    m_last = std::move(found);
    m_lastQuery = needle;
    m_lastRows = size();
    m_hasLast = true;
    return m_last;
}
