#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// Typed searches at the counter: "contains", whatever the case, the accents, the Arabic vowel
// marks and the letter forms people type for one another (alef with or without hamza or madda,
// taa marbuta and haa, alef maqsura and yaa, Arabic-Indic and Latin digits).
namespace SearchText
{

// The text reduced to the form every search compares: case-folded, compatibility-decomposed,
// marks and tatweel dropped, control characters turned into blanks.
QString fold(QStringView text);

} // namespace SearchText

// The rows of a list (an id and a description each), folded once, so that every keystroke of a
// search only scans them. A query that extends the previous one scans only the previous matches.
// Rows can be added while a search is shown: the same query asked again scans only the rows added
// since, so a list folded a part at a time finds, once whole, what it would have found at once.
class SearchIndex final
{
public:
    void clear();
    void add(QStringView id, QStringView description);
    int size() const { return static_cast<int>(m_starts.size()); }

    // The rows, in ascending order, whose id or description contains the query (folded the same
    // way); every row for an empty query. The rows added since the last search only follow the
    // earlier ones.
    const std::vector<int> &find(const QString &query);
    // Whether the row's id, folded, is the folded text (not merely contains it).
    bool idIs(int row, QStringView folded) const;

private:
    bool rowContains(int row, QStringView needle) const;
    // Appends the rows from `from` on that contain the needle.
    void scan(QStringView needle, int from, std::vector<int> &found) const;

    // Every row's folded text, one after another, each ended by a line break, which no folded
    // text holds, so a match never runs from one row (or field) into the next.
    QString m_text;
    std::vector<qsizetype> m_starts;
    QString m_lastQuery;
    std::vector<int> m_last;
    int m_lastRows = 0; // the rows the last search covered
    bool m_hasLast = false;
};
