#pragma once

// Where the offer shown stands, beside its valid-until day (lblstatus): Draft, Given, Ordered,
// Expired or Superseded for a saved revision, worked out from what is known about it when it is
// shown, opened, saved, given or made into an order; nothing for an offer never saved. A status
// that cannot be read says so in its tooltip rather than showing a guess.

#include "store/offerrepository.h"

#include <QObject>

#include <optional>

class QLabel;
class QWidget;
class Store;

class OfferStatusLabel final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OfferStatusLabel)

public:
    // Places the label in the frame at left and top (twips of window).
    OfferStatusLabel(Store *store, QWidget *frame, int left, int top);

    // Shows the status of this saved revision (nullopt: an offer never saved).
    void show(const std::optional<OfferKey> &key);
    QString text() const;

private:
    Store *m_store;
    QLabel *m_label; // lblstatus
};
