#include "marginview.h"

#include "core/offermargins.h"
#include "core/offermodel.h"
#include "widgets/twips.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>

namespace
{

constexpr int GapTwips = 60;

QLabel *marginLabel(QWidget *frame, const QString &name)
{
    auto *label = new QLabel(frame);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->hide();
    return label;
}

} // namespace

MarginView::MarginView(OfferModel *model, QMenu *offerMenu, QWidget *frame, Hooks hooks, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_hooks(std::move(hooks))
{
    m_action = offerMenu->addAction(tr("Show &Margins"));
    m_action->setObjectName(QStringLiteral("mnuoffermargins"));
    m_action->setCheckable(true);
    m_action->setChecked(false);
    m_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    for (int i = 0; i < RowCount; ++i)
        m_rows[static_cast<size_t>(i)] = marginLabel(frame, QStringLiteral("lblmargin(%1)").arg(i));
    m_total = marginLabel(frame, QStringLiteral("lblmargintotal"));
    m_total->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_total->setWordWrap(true);
    place();

    connect(m_action, &QAction::toggled, this, &MarginView::setShown);
    connect(m_model, &OfferModel::rowChanged, this, [this](int index) {
        showRow(index);
        showTotal();
    });
    connect(m_model, &OfferModel::totalChanged, this, &MarginView::showTotal);
    for (int i = 0; i < RowCount; ++i)
        showRow(i);
    showTotal();
}

bool MarginView::isShown() const
{
    return m_action->isChecked();
}

void MarginView::place()
{
    QWidget *frame = m_total->parentWidget();
    const int gap = Twips::toX(frame, GapTwips);
    const int width = Twips::toX(frame, ColumnTwips) - 2 * gap;
    for (int i = 0; i < RowCount; ++i) {
        const QRect amount = m_hooks.amountBox(i)->geometry();
        m_rows[static_cast<size_t>(i)]->setGeometry(
            amount.right() + gap, amount.top(), width, amount.height());
    }
    // Beside the total in the amounts' column, two lines tall for what it leaves out.
    const QRect total = m_hooks.totalBox->geometry();
    const int left = m_hooks.amountBox(0)->geometry().right() + gap;
    m_total->setGeometry(left, total.top(), width, total.height() * 2);
}

void MarginView::setShown(bool shown)
{
    for (QLabel *label : m_rows)
        label->setVisible(shown);
    m_total->setVisible(shown);
    if (m_hooks.shown)
        m_hooks.shown(shown);
}

void MarginView::showRow(int index)
{
    QLabel *label = m_rows[static_cast<size_t>(index)];
    const QString text = m_model->marginText(index);
    label->setText(text);
    label->setToolTip(text);
    const bool below = m_model->belowCost(index);
    // Said in words as well as in colour, so a screen reader tells it too.
    if (below) {
        QPalette red = label->palette();
        red.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x20));
        label->setPalette(red);
    } else {
        label->setPalette(QPalette()); // the window's again
    }
    label->setAccessibleName(text.isEmpty() ? QString()
            : below                         ? QStringLiteral("Margin %1, below cost").arg(text)
                                            : QStringLiteral("Margin %1").arg(text));
    m_hooks.markBelowCost(index, OfferMargins::belowCostReason(m_model->row(index), m_hooks.caption(index)));
}

void MarginView::showTotal()
{
    const QString text = m_model->marginTotalText();
    m_total->setText(text);
    m_total->setToolTip(text);
    m_total->setAccessibleName(text);
}
