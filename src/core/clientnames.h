#pragma once

// The client names the client box offers while the salesperson types: each name once (names that
// a search cannot tell apart count as one), found by any part of it whatever the case, the accents
// or the Arabic letter forms, as the picker's search finds items (searchtext.h). Every keystroke
// scans only folded text kept once, and a typed text that extends the last one scans only what
// matched it.

#include "searchtext.h"

#include <QSet>
#include <QString>
#include <QStringList>

class ClientNames final
{
public:
    void clear();
    // Adds a name (blanks around it dropped); a name already held, as a search sees it, is not
    // added again, nor an empty one.
    void add(const QString &name);
    int size() const { return int(m_names.size()); }

    // At most limit names holding the typed text, those it begins first, then in the order added.
    // None for a text of blanks.
    QStringList matching(const QString &typed, int limit);

private:
    SearchIndex m_index;
    QStringList m_names;
    QStringList m_foldedNames; // as the search sees them, row by row
    QSet<QString> m_folded;
};
