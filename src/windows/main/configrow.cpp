#include "configrow.h"

#include "categorypictures.h"
#include "core/offer.h"
#include "rowtexts.h"
#include "widgets/gridcombo.h"
#include "widgets/twips.h"
#include "widgets/windowtext.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace
{

// Hidden amounts show one '*' per character (the style's own mask is a bullet); an amount that
// cannot be added is red, one below what the shop paid stands out (never on paper). The sheet is
// the amount box's alone: one over the whole window would restyle every control in it.
const QString AmountStyle = QStringLiteral("QLineEdit { lineedit-password-character: 42; }"
                                           "QLineEdit[outOfRange=\"true\"] { color: red; }"
                                           "QLineEdit[belowCost=\"true\"] { background: #ffe0b2; }");

struct RowDesign {
    int top;
    int copyLeft; // 0: no print copy
    int copyTop;
};

const RowDesign Rows[ConfigRow::Count] = {
    { 240, 0, 0 },
    { 562, 3240, 540 },
    { 884, 3405, 900 },
    { 1206, 3285, 1200 },
    { 1528, 0, 0 },
    { 1850, 3435, 1860 },
    { 2172, 0, 0 },
    { 2494, 3420, 2505 },
    { 2816, 3420, 2835 },
    { 3138, 3420, 3105 },
    { 3460, 0, 0 },
    { 3782, 0, 0 },
    { 4104, 0, 0 },
    { 4426, 3450, 4365 },
    { 4748, 3375, 4770 },
    { 5070, 3330, 5130 },
    { 5400, 0, 0 },
};

QString indexed(const char *name, int index)
{
    return QString::fromLatin1(name) + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

} // namespace

ConfigRow::ConfigRow(int index, QWidget *frame)
    : m_index(index)
{
    const RowDesign &d = Rows[index];
    const auto at = [frame](QWidget *w, int left, int top, int width, int height) {
        w->setGeometry(Twips::rect(frame, left, top, width, height));
    };

    m_categoryButton = new QPushButton(RowTexts::caption(index), frame);
    m_categoryButton->setObjectName(indexed("Command1", index));
    m_categoryButton->setToolTip(QStringLiteral("Press to change configuration"));
    at(m_categoryButton, 120, d.top, 1335, 315);

    m_picker = new GridCombo(frame);
    m_picker->setObjectName(indexed("GridCombo1", index));
    m_picker->setToolTip(QStringLiteral("Use arrow keys to change item, HOME,END,PGUP or PGDN"));
    m_picker->setMaxLength(WindowText::IdLength);
    at(m_picker, 1545, d.top, 1215, 315);

    if (CategoryPictures::hasPicture(index)) {
        m_picture = new QLabel(frame);
        m_picture->setObjectName(indexed("Image1", index));
        m_picture->setScaledContents(true);
        m_picture->setPixmap(CategoryPictures::picture(index));
        at(m_picture, 2820, d.top, 450, 315);
    }
    if (d.copyLeft != 0) {
        m_printCopy = new QLabel(frame);
        m_printCopy->setObjectName(indexed("Image2", index));
        m_printCopy->setScaledContents(true);
        m_printCopy->setPixmap(CategoryPictures::picture(index, true));
        at(m_printCopy, d.copyLeft, d.copyTop, 450, 315);
        m_printCopy->hide();
    }

    m_description = new QLabel(QStringLiteral("Label1"), frame);
    m_description->setObjectName(indexed("Label1", index));
    at(m_description, 3360, d.top, 3015, 315);

    m_amount = new QLineEdit(QStringLiteral("0.00"), frame);
    m_amount->setObjectName(indexed("text1", index));
    m_amount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_amount->setStyleSheet(AmountStyle);
    WindowText::limitLength(m_amount, WindowText::AmountLength);
    at(m_amount, 7665, d.top, 975, 315);
}

void ConfigRow::show(const OfferRow &row)
{
    if (m_picker->Text() != row.itemId) {
        m_picker->setText(row.itemId);
        m_picker->lineEdit()->setCursorPosition(0); // the id from its start
    }
    if (m_description->text() != row.description)
        m_description->setText(row.description);
    if (m_amount->text() != row.amountText())
        m_amount->setText(row.amountText());
}

namespace
{

void setMark(QLineEdit *box, const char *property, bool marked)
{
    if (box->property(property).toBool() == marked)
        return;
    // The box's style sheet colours a marked box; it reads the mark when the box is polished.
    box->setProperty(property, marked);
    box->style()->unpolish(box);
    box->style()->polish(box);
}

} // namespace

void ConfigRow::markAmount(const QString &problem)
{
    m_amountProblem = problem;
    m_amount->setToolTip(problem.isEmpty() ? m_belowCost : problem);
    setMark(m_amount, OutOfRangeProperty, !problem.isEmpty());
}

void ConfigRow::markBelowCost(const QString &reason)
{
    if (reason == m_belowCost)
        return;
    m_belowCost = reason;
    m_amount->setToolTip(m_amountProblem.isEmpty() ? reason : m_amountProblem);
    m_amount->setAccessibleDescription(reason);
    setMark(m_amount, BelowCostProperty, !reason.isEmpty());
}

void ConfigRow::markFit(const QString &reasons)
{
    if (!m_fitMark) {
        if (reasons.isEmpty())
            return;
        QWidget *frame = m_amount->parentWidget();
        m_fitMark = new QLabel(frame);
        m_fitMark->setObjectName(indexed("imgcompat", m_index));
        const int side = m_amount->height() - 4;
        m_fitMark->setPixmap(frame->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(side, side));
        m_fitMark->setGeometry(m_amount->x() - side - 6, m_amount->y() + 2, side, side);
        m_fitMark->setAccessibleName(QStringLiteral("Does not fit"));
    }
    m_fitMark->setToolTip(reasons);
    m_fitMark->setAccessibleDescription(reasons);
    m_fitMark->setVisible(!reasons.isEmpty());
}
