#pragma once

#include "core/price.h"

#include <QLineEdit>
#include <QPointer>

class QAction;
class QFrame;

// NumericEdit: a line edit that holds one number, with a small calculator button inside its right
// edge (also F4 or Alt+Down) that opens a pocket calculator under the box. The calculator starts
// from the box's number; its digits, + - * /, "=" and "C" work as on a desk calculator, and "="
// writes the result into the box and closes it (Escape or a click elsewhere closes it unchanged).
//
// Being a QLineEdit, the box keeps the whole line-edit interface (text(), setText(), alignment,
// selection, focus). The text is read with the locale-aware number reading of the amount texts
// (the widget's locale: group separators, its decimal separator); typing is limited to what can
// become such a number. A text that is not (yet) wholly a number is allowed to stand, e.g. "-";
// hasValue() tells it apart.
//
// Usage:
//     auto *price = new NumericEdit(this);
//     price->setObjectName(QStringLiteral("txtprice"));
//     price->setValue(1250.5);          // text "1250.5"
//     double v = price->value();        // 1250.5; 0 when the text holds no number
class NumericEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit NumericEdit(QWidget *parent = nullptr);
    ~NumericEdit() override;

    // The number the text holds; 0 when it holds none (empty, "-", ...).
    double value() const;
    // True when the text is wholly a number.
    bool hasValue() const;
    // Writes the plain text of the number: at most 15 significant digits, in plain decimal form
    // with '.' (never an exponent), no group separators.
    void setValue(double value);
    // The text as a typed price (in the box's locale), or why it is none.
    PriceReading price(Price::Decimals keep) const;
    // Shows a price as a price field shows it.
    void setPrice(const Price &price);

    // Opens the calculator under the box (what the button does). The popup's buttons carry the
    // objectNames calc0..calc9, calcPoint, calcAdd, calcSubtract, calcMultiply, calcDivide,
    // calcEquals, calcClear; its display is calcDisplay.
    void showCalculator();
    // The calculator popup while it is open, else nullptr.
    QFrame *calculator() const;
    QAction *calculatorAction() const { return m_calcAction; }

Q_SIGNALS:
    // The calculator's "=" put a result into the box.
    void calculated(double value);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void takeResult(double value);

    QAction *m_calcAction = nullptr;
    QPointer<QFrame> m_popup;
};
