#include "clientnames.h"

void ClientNames::clear()
{
    m_index.clear();
    m_names.clear();
    m_foldedNames.clear();
    m_folded.clear();
}

void ClientNames::add(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return;
    const QString folded = SearchText::fold(trimmed);
    if (m_folded.contains(folded))
        return;
    m_folded.insert(folded);
    m_names << trimmed;
    m_foldedNames << folded;
    m_index.add(trimmed, QStringView());
}

QStringList ClientNames::matching(const QString &typed, int limit)
{
    if (typed.trimmed().isEmpty() || limit <= 0)
        return {};
    const QString needle = SearchText::fold(typed.trimmed());
    QStringList starting;
    QStringList containing;
    for (const int row : m_index.find(typed.trimmed())) {
        if (m_foldedNames.at(row).startsWith(needle))
            starting << m_names.at(row);
        else if (containing.size() < limit)
            containing << m_names.at(row);
        if (starting.size() >= limit)
            break;
    }
    return (starting + containing).mid(0, limit);
}
