// The installment plan at its largest, 32767 installments: the exact arithmetic (A, F and every
// balance) beside the same sums in double; every row's texts; and the calculator's "Calculate"
// filling and painting its schedule list beside a QTreeWidget filled item by item in one go.
//
//   bench_plan [runs=7]
#include "benchutil.h"

#include "core/plan.h"
#include "windows/installments/installmentcalculator.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QTreeView>
#include <QTreeWidget>

namespace
{

const QString Remainder = QStringLiteral("1000000000.55");
const QDate First(2027, 1, 31);

// The whole list the naive way: one item per row, all added in one call with updates off.
void fillTreeWidget(QTreeWidget &tree, const QList<Installments::ScheduleRow> &rows)
{
    tree.setUpdatesEnabled(false);
    tree.clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const Installments::ScheduleRow &r : rows)
        items.append(new QTreeWidgetItem(QStringList { r.number, r.date, r.amount, r.balance }));
    tree.addTopLevelItems(items);
    tree.setUpdatesEnabled(true);
    tree.viewport()->repaint();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 7;
    const int n = Installments::maxCount;
    const QString count = QString::number(n);
    qsizetype sink = 0;

    // What "Calculate" computes: A, F and the schedule, whose rows are worked out when shown.
    const double planMs = Bench::medianMs(runs, [&] {
        const Installments::PlanAmounts a = Installments::calcInst(Remainder, count);
        const Installments::Schedule s
            = Installments::calcAllInst(Remainder, count, First, a.amountText, a.firstText).schedule;
        sink += s.balanceAfter(s.count()).sign();
    });
    const double doubleMs = Bench::medianMs(runs, [&] {
        const double r = Remainder.toDouble();
        const double a = std::nearbyint(r / n);
        double balance = r - (r - a * (n - 1));
        for (int k = 2; k <= n; ++k) {
            balance -= a;
            sink += balance > 0;
        }
    });
    Bench::result(QStringLiteral("plan arithmetic: A, F, schedule and its last balance"), planMs,
        QStringLiteral("every balance in double"), doubleMs, QStringLiteral("ms:10"));
    // Every balance worked out at once, exactly, for whoever needs them all (e.g. printing a list).
    const double exactMs = Bench::medianMs(runs, [&] {
        const Installments::PlanAmounts a = Installments::calcInst(Remainder, count);
        sink += Installments::calcAllInst(Remainder, count, First, a.amountText, a.firstText)
                    .schedule.balances()
                    .size();
    });
    Bench::result(QStringLiteral("all 32767 balances in exact decimal"), exactMs,
        QStringLiteral("every balance in double"), doubleMs);

    const Installments::PlanAmounts a = Installments::calcInst(Remainder, count);
    const Installments::Schedule schedule
        = Installments::calcAllInst(Remainder, count, First, a.amountText, a.firstText).schedule;
    const double textsMs = Bench::medianMs(runs, [&] { sink += schedule.rows().size(); });
    const double numbersMs = Bench::medianMs(runs, [&] {
        for (int k = 1; k <= n; ++k)
            sink += QString(QString::number(k) + QString::number(k * 2.5, 'f', 2)).size();
    });
    Bench::result(QStringLiteral("texts of all 32767 rows"), textsMs,
        QStringLiteral("QString::number of two numbers per row"), numbersMs);

    InstallmentCalculator window(QStringLiteral("Bench"), QStringLiteral("10000.00"));
    window.show();
    QCoreApplication::processEvents();
    auto *lv = window.findChild<QTreeView *>(QStringLiteral("lv"));
    window.findChild<QLineEdit *>(QStringLiteral("txtsellprice"))->setText(Remainder);
    window.findChild<QLineEdit *>(QStringLiteral("txtnoinst"))->setText(count);
    window.findChild<QDateEdit *>(QStringLiteral("txtfirstinst"))->setDate(First);
    const double calculateMs = Bench::medianMs(runs, [&] {
        window.calculate();
        lv->viewport()->repaint();
    });
    if (lv->model()->rowCount() != n)
        return 1;

    QTreeWidget tree;
    tree.setColumnCount(4);
    tree.setUniformRowHeights(true);
    tree.resize(lv->size());
    tree.show();
    const QList<Installments::ScheduleRow> rows = schedule.rows();
    const double treeMs = Bench::medianMs(runs, [&] { fillTreeWidget(tree, rows); });
    Bench::result(QStringLiteral("Calculate: 32767-row schedule list filled and painted"), calculateMs,
        QStringLiteral("QTreeWidget given the ready texts, addTopLevelItems"), treeMs,
        QStringLiteral("ms:100"));

    const double scrollMs = Bench::medianMs(runs, [&] {
        lv->scrollToTop();
        lv->scrollToBottom();
        lv->viewport()->repaint();
    });
    const double paintMs = Bench::medianMs(runs, [&] { lv->viewport()->repaint(); });
    Bench::result(QStringLiteral("schedule list: jump to the last row and paint"), scrollMs,
        QStringLiteral("painting the list where it stands"), paintMs);
    return sink == 42 ? 1 : 0; // keeps the work from being optimised away
}
