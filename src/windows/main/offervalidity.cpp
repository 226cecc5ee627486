#include "offervalidity.h"

#include "core/offermodel.h"
#include "widgets/twips.h"

#include <QDateEdit>
#include <QLabel>
#include <QLocale>
#include <QWidget>

OfferValidity::OfferValidity(OfferModel *model, QWidget *frame, int left, int top)
    : QObject(frame)
    , m_model(model)
{
    setObjectName(QStringLiteral("OfferValidity"));
    m_caption = new QLabel(QStringLiteral("Valid until"), frame);
    m_caption->setObjectName(QStringLiteral("lblvalid"));
    m_caption->setGeometry(Twips::rect(frame, left, top + 45, 810, 195));
    m_box = new QDateEdit(frame);
    m_box->setObjectName(QStringLiteral("dtpvalid"));
    m_box->setCalendarPopup(true);
    m_box->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    m_box->setToolTip(QStringLiteral("The last day this offer holds"));
    m_box->setGeometry(Twips::rect(frame, left + 840, top, 1260, 285));
    m_caption->setBuddy(m_box);
    // The form's small face, as the offer's date box has it (a style sheet would hand it the
    // desktop's larger one).
    for (QWidget *control : { static_cast<QWidget *>(m_caption), static_cast<QWidget *>(m_box) })
        control->setFont(frame->window()->font());
    show();
    connect(m_model, &OfferModel::headerChanged, this, &OfferValidity::show);
    // Like the offer's date: the program sets the box only from the model, which takes back no
    // more than a day that differs from its own.
    connect(m_box, &QDateEdit::dateChanged, m_model, &OfferModel::setValidUntil);
}

void OfferValidity::show()
{
    const QDate day = m_model->offer().validUntil;
    if (day.isValid() && m_box->date() != day)
        m_box->setDate(day);
}
