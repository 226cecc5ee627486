// The order window's installment tab: the installment price derived from the total and the
// deposit, and the shared plan arithmetic run with the order window's rules.
#include "orderwindow.h"

#include "core/amount.h"
#include "core/plan.h"
#include "orders/orderdatacontrol.h"
#include "orders/orderdb.h"

#include <QDateEdit>
#include <QEvent>
#include <QLineEdit>

namespace
{

// The order window computes the installment as wide as the calculator does: a 16-bit amount
// would overflow for any plan above 32767 a month.
Installments::Rules orderRules()
{
    Installments::Rules rules = Installments::Rules::order();
    rules.amountBits = 32;
    return rules;
}

QString refusalNote(Installments::Reason reason)
{
    using R = Installments::Reason;
    switch (reason) {
    case R::RemainderNotNumber:
        return QStringLiteral("سعر التقسيط ليس رقما؛ لم تحسب الاقساط.");
    case R::AmountTooLarge:
        return QStringLiteral("قيمة القسط تتجاوز %1؛ لم تحسب الاقساط.").arg(2147483647);
    case R::CountNotNumber:
    case R::CountNotWhole:
    case R::CountNotPositive:
    case R::CountTooLarge:
        return QStringLiteral("عدد الاقساط يجب ان يكون عددا صحيحا من 1 الى %1؛ لم تحسب الاقساط.")
            .arg(Installments::maxCount);
    case R::CountEmpty:
    case R::None:
        break;
    }
    return QString();
}

// The installment price is read as a number, and a blank one is none: the steps that need it
// fail and are skipped, so the plan already shown stays. Read as 0 it would be replaced by a
// schedule of zeros.
bool isBlank(const QLineEdit *edit)
{
    return edit->text().trimmed().isEmpty();
}

} // namespace

bool OrderWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_orderTotal || watched == m_deposit)
            deriveInstallmentPrice();
        else if (watched == m_installmentPrice) {
            CalcInst();
            CalcAllInst();
        } else if (watched == m_txtnoinst)
            installmentCountLeft();
    }
    return QDialog::eventFilter(watched, event);
}

void OrderWindow::refreshSellPrice()
{
    const QVariant total = RSORDER()->value(QStringLiteral("ORDERAMT"));
    // Every digit of the stored total, cut to cents as every amount is shown.
    const std::optional<Decimal> value = Decimal::fromPlain(total.toString().trimmed());
    m_sellPrice->setText(Amounts::amountText(value.value_or(Decimal())));
}

void OrderWindow::deriveInstallmentPrice()
{
    if (!isBlank(m_installmentPrice))
        return;
    // The total as typed (the field may not have reached the record yet when it loses the focus).
    const std::optional<Decimal> total = m_orderTotal->text().trimmed().isEmpty()
        ? std::optional<Decimal>(Decimal())
        : OrderDb::currencyValue(m_orderTotal->text());
    if (!total)
        return;
    const std::optional<Decimal> price = OrderDb::installmentPrice(*total, m_deposit->text());
    if (!price)
        return;
    m_installmentPrice->setText(price->plainText());
    if (RSORDER()->hasCurrentRecord())
        RSORDER()->setValue(QStringLiteral("INSTTOTALAMT"), price->exactText());
}

void OrderWindow::CalcInst()
{
    if (isBlank(m_installmentPrice))
        return;
    const Installments::PlanAmounts plan
        = Installments::calcInst(m_installmentPrice->text(), m_txtnoinst->text(), orderRules());
    switch (plan.outcome) {
    case Installments::Outcome::Done:
        m_installment->setText(plan.amountText);
        m_firstInstallment->setText(plan.firstText);
        showNote(QString());
        break;
    case Installments::Outcome::Unchanged:
        break;
    case Installments::Outcome::Refused:
        // An empty count simply stops, as it always has; the other refusals say why.
        showNote(refusalNote(plan.reason));
        break;
    }
}

void OrderWindow::CalcAllInst()
{
    if (m_sellPrice->text() == QLatin1String("0.00") || isBlank(m_installmentPrice))
        return;
    const Installments::SchedulePlan plan
        = Installments::calcAllInst(m_installmentPrice->text(), m_txtnoinst->text(), m_txtfirstinst->date(),
            m_installment->text(), m_firstInstallment->text(), orderRules());
    if (plan.outcome == Installments::Outcome::Done)
        m_schedule->setSchedule(plan.schedule);
    else if (plan.outcome == Installments::Outcome::Refused)
        showNote(refusalNote(plan.reason));
}

void OrderWindow::installmentCountLeft()
{
    // A changed count gets its amounts recomputed first, so the schedule always adds up to the
    // installment price instead of repeating an amount worked out for another count.
    CalcInst();
    m_installment->setText(FormatAmount(m_installment->text()));
    CalcAllInst();
}

void OrderWindow::clearPlan()
{
    m_installment->clear();
    m_firstInstallment->clear();
    m_schedule->clear();
}
