#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// What to ask before an offer is kept or goes to paper: the reasons its sources give (parts that
// do not fit, ...), asked about once. A reason the person said Yes to is not asked again while the
// offer holds it, nor after the offer is opened again (the reasons kept with it are handed back);
// a reason that comes up new is. Nothing here ever stops the work on its own: Yes goes on.
class OfferCautions final
{
public:
    // The reasons one source gives about the offer as it is now, one line each.
    using Source = std::function<QStringList()>;
    // Asks the question; true goes on.
    using Ask = std::function<bool(const QString &question)>;

    explicit OfferCautions(Ask ask);

    void addSource(Source source);
    void setAsk(Ask ask) { m_ask = std::move(ask); }

    // Every reason the sources give now, each once, in the sources' order.
    QStringList reasons() const;
    // Whether the work may go on: no reason, or none new, or the person said Yes to the new ones.
    // No (false) means going back to the offer with nothing changed.
    bool confirm();
    bool isAccepted(const QString &reason) const { return m_accepted.contains(reason); }

    // Another offer in the window: a new one, with nothing accepted, or a saved one with what was
    // accepted when it was kept.
    void setAccepted(const QStringList &accepted) { m_accepted = accepted; }

private:
    Ask m_ask;
    QList<Source> m_sources;
    QStringList m_accepted;
};
