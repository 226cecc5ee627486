#include "offerstatuslabel.h"

#include "store/offerprogress.h"
#include "widgets/twips.h"

#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QWidget>

OfferStatusLabel::OfferStatusLabel(Store *store, QWidget *frame, int left, int top)
    : QObject(frame)
    , m_store(store)
    , m_label(new QLabel(frame))
{
    setObjectName(QStringLiteral("OfferStatusLabel"));
    m_label->setObjectName(QStringLiteral("lblstatus"));
    m_label->setGeometry(Twips::rect(frame, left, top, 2400, 195));
    m_label->setFont(frame->window()->font());
}

void OfferStatusLabel::show(const std::optional<OfferKey> &key)
{
    if (!key) {
        m_label->clear();
        m_label->setToolTip(QString());
        return;
    }
    const auto facts = OfferProgress(m_store).facts(*key);
    if (!facts) {
        m_label->setText(QStringLiteral("Status unknown"));
        m_label->setToolTip(facts.error().text());
        return;
    }
    const OfferStatus::Status status = OfferStatus::of(*facts, QDate::currentDate());
    QString text = OfferStatus::text(status);
    if (status == OfferStatus::Status::Ordered && facts->order)
        text += QStringLiteral(", order %1").arg(*facts->order);
    m_label->setText(text);
    m_label->setToolTip(QStringLiteral("Revision %1, valid until %2")
                            .arg(key->revision)
                            .arg(QLocale().toString(facts->validUntil, QLocale::ShortFormat)));
}

QString OfferStatusLabel::text() const
{
    return m_label->text();
}
