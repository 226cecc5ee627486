#pragma once

// InstallmentCalculator, the installment calculator: turns an amount into monthly installments with their due
// dates and running balance, for the client of the quotation. It is handed the main window's
// client name and total text when it opens and gives nothing back. The arithmetic lives in
// plan.h; this window reads its fields' texts, hands them over and writes the results back.

#include "widgets/planpages.h"
#include "widgets/windowprinter.h"

#include <QDialog>

#include <functional>
#include <optional>

class NumericEdit;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace Installments
{
class ScheduleModel;
struct PlanAmounts;
} // namespace Installments

class InstallmentCalculator final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InstallmentCalculator)

public:
    InstallmentCalculator(const QString &clientName, const QString &totalText, QWidget *parent = nullptr);
    ~InstallmentCalculator() override;

    using Printer = std::function<PrintResult(QWidget *window, const QString &jobName)>;
    // What "Print" runs; tests replace it. Defaults to the shared print-the-window operation.
    void setPrinter(Printer print) { m_printer = std::move(print); }

    // Lets the person choose the plan to print with the offer: shows the button "Print with
    // &Offer" (cmdprintoffer), which computes the plan and closes the window with it.
    void offerPlanChoice();
    // The plan chosen with that button; nullopt when the window was closed otherwise.
    std::optional<PlanPrintout> chosenPlan() const { return m_chosenPlan; }

public Q_SLOTS:
    void validatescreen();
    void CalcInst();
    void CalcAllInst();
    void calculate();
    void printPlan();
    void chooseOfferPlan();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Printer m_printer = &printWindow;
    void load(const QString &clientName, const QString &totalText);
    void buildWindow();
    QGroupBox *buildInputGroup();
    void buildScheduleList();
    // Shows (or, with an empty text, clears) the message under the fields.
    void showError(const QString &message);
    // The outcome of CalcInst / validatescreen, so CalcAllInst can stop where they refused.
    Installments::PlanAmounts runCalcInst();
    Installments::PlanAmounts runValidatescreen();

    QLineEdit *m_price = nullptr; // txtcerditamount
    QLineEdit *m_deposit = nullptr; // txtdeposit
    NumericEdit *m_remainder = nullptr; // txtsellprice
    QLineEdit *m_count = nullptr; // txtnoinst
    QLineEdit *m_first = nullptr; // txtfinst
    QLineEdit *m_amount = nullptr; // txtinst
    QDateEdit *m_firstDate = nullptr; // txtfirstinst
    QLabel *m_name = nullptr; // lblname
    QLabel *m_error = nullptr; // lblerror
    QPushButton *m_calc = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_close = nullptr;
    QPushButton *m_printOffer = nullptr; // cmdprintoffer
    std::optional<PlanPrintout> m_chosenPlan;
    QTreeView *m_list = nullptr; // lv
    Installments::ScheduleModel *m_schedule = nullptr;
};
