#include "installmentcalculator.h"

#include "core/amount.h"
#include "core/plan.h"
#include "widgets/focusleave.h"
#include "widgets/numericedit.h"
#include "widgets/twips.h"
#include "widgets/windowtext.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

using Installments::Outcome;
using Installments::PlanAmounts;

namespace
{

const auto appTitle = QStringLiteral("Velmont Brasko");

QLineEdit *textBox(QWidget *parent, const char *name, const QString &text)
{
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return box;
}

QLabel *caption(const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

QPushButton *pushButton(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    // Enter in a field should not fire a button behind the user's back.
    b->setAutoDefault(false);
    return b;
}

} // namespace

InstallmentCalculator::InstallmentCalculator(
    const QString &clientName, const QString &totalText, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frminst"));
    setModal(true);
    buildWindow();
    load(clientName, totalText);
}

InstallmentCalculator::~InstallmentCalculator() = default;

void InstallmentCalculator::buildWindow()
{
    setWindowTitle(QStringLiteral("Installment Calculator"));
    resize(Twips::toX(this, 7995), Twips::toY(this, 7245));
    QGroupBox *group = buildInputGroup();

    auto *dateCaption = new QLabel(QStringLiteral("Date"), this);
    m_firstDate = new QDateEdit(this);
    m_firstDate->setObjectName(QStringLiteral("txtfirstinst"));
    m_firstDate->setCalendarPopup(true);
    const QString sep = Installments::dateSeparator();
    m_firstDate->setDisplayFormat(u"dd'" + sep + u"'MM'" + sep + u"'yyyy");
    dateCaption->setBuddy(m_firstDate);
    m_name = new QLabel(QStringLiteral("Label1"), this);
    m_name->setObjectName(QStringLiteral("lblname"));
    m_calc = pushButton(this, "cmdcalc", QStringLiteral("Calculate"));
    m_print = pushButton(this, "cmdprint", QStringLiteral("Print"));
    m_close = pushButton(this, "cmdclose", QStringLiteral("Close"));
    m_printOffer = pushButton(this, "cmdprintoffer", QStringLiteral("Print with &Offer"));
    m_printOffer->hide();

    auto *line = new QHBoxLayout;
    line->addWidget(dateCaption);
    line->addWidget(m_firstDate);
    line->addSpacing(Twips::toX(this, 200));
    line->addWidget(m_name, 1);
    line->addWidget(m_calc);
    line->addWidget(m_print);
    line->addWidget(m_printOffer);
    line->addWidget(m_close);

    buildScheduleList();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(line);
    layout->addWidget(m_list, 1);

    setTabOrder(m_price, m_deposit);
    setTabOrder(m_deposit, m_remainder);
    setTabOrder(m_remainder, m_count);
    setTabOrder(m_count, m_firstDate);
    setTabOrder(m_firstDate, m_calc);
    setTabOrder(m_calc, m_print);
    setTabOrder(m_print, m_close);
    setTabOrder(m_close, m_list);

    for (QLineEdit *box : { m_price, m_deposit, m_count })
        box->installEventFilter(this);
    connect(m_calc, &QPushButton::clicked, this, &InstallmentCalculator::calculate);
    connect(m_print, &QPushButton::clicked, this, &InstallmentCalculator::printPlan);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_printOffer, &QPushButton::clicked, this, &InstallmentCalculator::chooseOfferPlan);
}

void InstallmentCalculator::offerPlanChoice()
{
    m_printOffer->show();
    setTabOrder(m_print, m_printOffer);
    setTabOrder(m_printOffer, m_close);
}

void InstallmentCalculator::chooseOfferPlan()
{
    CalcAllInst();
    const Installments::Schedule &schedule = m_schedule->schedule();
    if (schedule.isEmpty()) {
        showError(QStringLiteral("Type the remainder to be paid in installments first; there is no plan to "
                                 "print yet."));
        m_remainder->setFocus(Qt::OtherFocusReason);
        return;
    }
    // On paper every amount is written as amounts are, with two decimals: the suggested deposit
    // holds every digit of a quarter of the total (387.625), and a remainder is as it was typed.
    const auto onPaper
        = [](const QString &text) { return Amounts::isNumeric(text) ? FormatAmount(text) : text.trimmed(); };
    PlanPrintout plan;
    plan.client = m_name->text();
    plan.figures = { { QStringLiteral("Price"), onPaper(m_price->text()) },
        { QStringLiteral("Deposit"), onPaper(m_deposit->text()) },
        { QStringLiteral("Remainder"), onPaper(m_remainder->text()) },
        { QStringLiteral("No of Installments"), m_count->text() },
        { QStringLiteral("First Installment"), m_first->text() },
        { QStringLiteral("Installment Amount"), m_amount->text() } };
    plan.headers = Installments::ScheduleModel::calculatorHeaders();
    plan.schedule = schedule;
    m_chosenPlan = plan;
    accept();
}

QGroupBox *InstallmentCalculator::buildInputGroup()
{
    auto *group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("Frame1"));
    auto *grid = new QGridLayout(group);

    m_price = textBox(group, "txtcerditamount", QStringLiteral("0.00"));
    m_deposit = textBox(group, "txtdeposit", QStringLiteral("0.00"));
    m_remainder = new NumericEdit(group);
    m_remainder->setObjectName(QStringLiteral("txtsellprice"));
    m_remainder->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_remainder->setText(QStringLiteral("0.00"));
    m_count = textBox(group, "txtnoinst", QStringLiteral("12"));
    for (QLineEdit *amount : { m_price, m_deposit, static_cast<QLineEdit *>(m_remainder) })
        WindowText::limitLength(amount, WindowText::AmountLength);
    WindowText::limitLength(m_count, WindowText::CountLength);
    m_first = textBox(group, "txtfinst", QString());
    m_amount = textBox(group, "txtinst", QString());
    const QColor menuBackground = QApplication::palette("QMenu").color(QPalette::Window);
    for (QLineEdit *out : { m_first, m_amount }) {
        out->setReadOnly(true);
        QPalette pal = out->palette();
        pal.setColor(QPalette::Base, menuBackground);
        out->setPalette(pal);
    }

    // The left column reads as a written subtraction: Price - Deposit, a rule, = Remainder.
    auto sign = [group](const QString &text) {
        auto *l = new QLabel(text, group);
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    auto *rule = new QFrame(group);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    grid->addWidget(caption(QStringLiteral("Price"), m_price), 0, 0);
    grid->addWidget(m_price, 0, 1);
    grid->addWidget(sign(QStringLiteral("-")), 0, 2);
    grid->addWidget(caption(QStringLiteral("Deposit"), m_deposit), 1, 0);
    grid->addWidget(m_deposit, 1, 1);
    grid->addWidget(sign(QStringLiteral("-")), 1, 2);
    grid->addWidget(rule, 2, 1, 1, 2);
    grid->addWidget(caption(QStringLiteral("Remainder"), m_remainder), 3, 0);
    grid->addWidget(m_remainder, 3, 1);
    grid->addWidget(sign(QStringLiteral("=")), 3, 2);
    grid->setColumnMinimumWidth(3, Twips::toX(this, 300));
    grid->addWidget(caption(QStringLiteral("No of Installments"), m_count), 0, 4);
    grid->addWidget(m_count, 0, 5);
    grid->addWidget(caption(QStringLiteral("First Installment"), m_first), 1, 4);
    grid->addWidget(m_first, 1, 5);
    grid->addWidget(caption(QStringLiteral("Installment Amount"), m_amount), 3, 4);
    grid->addWidget(m_amount, 3, 5);

    m_error = new QLabel(group);
    m_error->setObjectName(QStringLiteral("lblerror"));
    m_error->setWordWrap(true);
    QPalette errorPalette = m_error->palette();
    errorPalette.setColor(QPalette::WindowText, Qt::red);
    m_error->setPalette(errorPalette);
    grid->addWidget(m_error, 4, 0, 1, 6);
    return group;
}

void InstallmentCalculator::buildScheduleList()
{
    m_schedule = new Installments::ScheduleModel(this);
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("lv"));
    m_list->setModel(m_schedule);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true); // lets the view lay out thousands of rows without measuring them
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->header()->setSectionsMovable(false);
    m_list->header()->resizeSection(0, Twips::toX(this, 882));
    for (int c = 1; c < 4; ++c)
        m_list->header()->resizeSection(c, Twips::toX(this, 2540));
    // The four columns together are wider than the window; the Balance column takes the width that
    // is left, so the balances stay in sight and on the printed page instead of behind a scroll bar.
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(3, QHeaderView::Stretch);
}

void InstallmentCalculator::load(const QString &clientName, const QString &totalText)
{
    WindowText::setTitle(this, u"Installment Calculator - " + clientName);
    m_price->setText(totalText);
    // The suggested deposit is a quarter of the total, written as a plain number with every digit
    // (2500, 308.64), read by the same rules as the total itself.
    const Amounts::Reading total = Amounts::readAmount(totalText);
    if (total.ok())
        m_deposit->setText((total.value * *Decimal::fromPlain(u"0.25")).exactText());
    // The leave handling of Price, then of Deposit.
    validatescreen();
    validatescreen();
    // A total that cannot be read suggests no deposit; say so rather than show a made-up one.
    if (total.status == Amounts::Status::NotNumber)
        showError(QStringLiteral("The quotation total is not a number, so no deposit is suggested."));
    else if (!total.ok())
        showError(Amounts::outOfRangeMessage(QStringLiteral("The quotation total"), totalText)
            + QStringLiteral(" No deposit is suggested."));
    m_firstDate->setDate(QDate::currentDate());
    m_name->setText(clientName);
}

void InstallmentCalculator::showError(const QString &message)
{
    m_error->setText(message);
}

PlanAmounts InstallmentCalculator::runCalcInst()
{
    const PlanAmounts p = Installments::calcInst(m_remainder->text(), m_count->text());
    if (p.outcome == Outcome::Done) {
        m_amount->setText(p.amountText);
        m_first->setText(p.firstText);
    }
    // A refusal leaves both outputs as they were, matching the schedule still shown.
    showError(p.outcome == Outcome::Refused ? p.message : QString());
    return p;
}

PlanAmounts InstallmentCalculator::runValidatescreen()
{
    const PlanAmounts p = runCalcInst();
    m_amount->setText(FormatAmount(m_amount->text()));
    return p;
}

void InstallmentCalculator::CalcInst()
{
    runCalcInst();
}

void InstallmentCalculator::validatescreen()
{
    runValidatescreen();
}

void InstallmentCalculator::CalcAllInst()
{
    // A plan that was refused (or has no remainder) keeps the schedule it shows.
    if (runValidatescreen().outcome != Outcome::Done)
        return;
    const Installments::SchedulePlan plan = Installments::calcAllInst(
        m_remainder->text(), m_count->text(), m_firstDate->date(), m_amount->text(), m_first->text());
    if (plan.outcome != Outcome::Done) {
        showError(plan.message);
        return;
    }
    m_schedule->setSchedule(plan.schedule);
    m_list->scrollToTop();
}

void InstallmentCalculator::calculate()
{
    CalcAllInst();
    m_price->setFocus(Qt::OtherFocusReason);
}

void InstallmentCalculator::printPlan()
{
    const PrintResult printed = m_printer(this, WindowText::title(this));
    if (printed.ok)
        return;
    const auto answer = QMessageBox::warning(this, appTitle,
        u"The installment plan could not be printed.\n\n" + printed.error
            + u"\n\nSave it as a PDF file instead?",
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes)
        return;
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save as PDF"),
        QDir::home().filePath(QStringLiteral("Installments.pdf")), QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QLatin1String(".pdf");
    const PrintResult saved = printWindowToPdf(this, path);
    if (!saved.ok)
        QMessageBox::warning(this, appTitle, u"The PDF file could not be written.\n\n" + saved.error);
}

bool InstallmentCalculator::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        // Typing replaces the whole text. Selecting again once the event queue has run keeps the
        // selection when the focus came with a mouse click, which would otherwise place the cursor.
        box->selectAll();
        QMetaObject::invokeMethod(box, &QLineEdit::selectAll, Qt::QueuedConnection);
    } else if (event->type() == QEvent::FocusOut) {
        // Only the user moving on counts as leaving a field, not another window or popup taking over.
        if (!leavesForAnotherControl(*static_cast<QFocusEvent *>(event)))
            return false;
        validatescreen();
        if (box == m_count) {
            // Moving the focus while it is being moved would be overridden; do it right after.
            QMetaObject::invokeMethod(
                this, [this] { m_price->setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
        }
    }
    return QDialog::eventFilter(watched, event);
}
