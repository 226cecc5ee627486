#include "offercautions.h"

OfferCautions::OfferCautions(Ask ask)
    : m_ask(std::move(ask))
{
}

void OfferCautions::addSource(Source source)
{
    m_sources.append(std::move(source));
}

QStringList OfferCautions::reasons() const
{
    QStringList all;
    for (const Source &source : m_sources) {
        for (const QString &reason : source()) {
            if (!reason.isEmpty() && !all.contains(reason))
                all << reason;
        }
    }
    return all;
}

bool OfferCautions::confirm()
{
    QStringList fresh;
    for (const QString &reason : reasons()) {
        if (!m_accepted.contains(reason))
            fresh << reason;
    }
    if (fresh.isEmpty())
        return true;
    if (!m_ask(fresh.join(QLatin1Char('\n')) + QStringLiteral("\n\nKeep it?")))
        return false;
    m_accepted += fresh;
    return true;
}
