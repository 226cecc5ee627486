#pragma once

// The offer's valid-until day on the main window: the caption "Valid until" and the date box
// dtpvalid under the offer's number (lblofferno), a view of the offer model like the client data.
// On paper it tells the client until when the offer holds.

#include <QObject>

class OfferModel;
class QDateEdit;
class QLabel;
class QWidget;

class OfferValidity final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OfferValidity)

public:
    // Places the caption and the box in the frame, at left and top (twips of window), and keeps
    // them and the model together.
    OfferValidity(OfferModel *model, QWidget *frame, int left, int top);

    QDateEdit *box() const { return m_box; }

private:
    void show();

    OfferModel *m_model;
    QLabel *m_caption = nullptr; // lblvalid
    QDateEdit *m_box = nullptr; // dtpvalid
};
