// Times the installment plan at its largest (32767 installments): the arithmetic alone, every row's
// texts, and the calculator window filling and painting its schedule list.

#include "installments/frminst.h"
#include "installments/plan.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

struct Times {
    double wallMs;
    double cpuMs;
};

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Median of several runs, wall clock and this thread's processor time (the latter stays honest on
// a machine busy with other work).
Times medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        const double c0 = threadCpuMs();
        t.start();
        work();
        wall.push_back(t.nsecsElapsed() / 1e6);
        cpu.push_back(threadCpuMs() - c0);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

void report(const char *what, Times t)
{
    std::printf("%-58s %9.3f ms wall %9.3f ms cpu\n", what, t.wallMs, t.cpuMs);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    const QString remainder = QStringLiteral("1000000000.55");
    const QString count = QString::number(Installments::maxCount);
    const QDate first(2027, 1, 31);

    volatile int sink = 0;
    report("CalcInst (A and F)", medianMs(51, [&] {
               sink = sink + Installments::calcInst(remainder, count).amountText.size();
           }));

    Installments::PlanAmounts amounts = Installments::calcInst(remainder, count);
    report("CalcAllInst, 32767 installments (plan, rows on demand)", medianMs(51, [&] {
               sink = sink + Installments::calcAllInst(remainder, count, first, amounts.amountText, amounts.firstText)
                                 .schedule.count();
           }));

    const Installments::Schedule schedule =
        Installments::calcAllInst(remainder, count, first, amounts.amountText, amounts.firstText).schedule;
    report("balances of all 32767 rows (exact decimal)", medianMs(11, [&] {
               for (int k = 1; k <= schedule.count(); ++k)
                   sink = sink + schedule.balanceAfter(k).sign();
           }));
    report("texts of all 32767 rows (number, date, amount, balance)", medianMs(11, [&] {
               sink = sink + schedule.rows().size();
           }));
    std::printf("last row: %s\n", qPrintable(schedule.row(schedule.count()).date + u' ' + schedule.row(schedule.count()).balance));

    frminst window(QStringLiteral("Bench"), QStringLiteral("10000.00"));
    window.show();
    QCoreApplication::processEvents();
    auto *lv = window.findChild<QTreeView *>(QStringLiteral("lv"));
    window.findChild<QLineEdit *>(QStringLiteral("txtsellprice"))->setText(remainder);
    window.findChild<QLineEdit *>(QStringLiteral("txtnoinst"))->setText(count);
    window.findChild<QDateEdit *>(QStringLiteral("txtfirstinst"))->setDate(first);
    report("Calculate: fill the list with 32767 rows and paint it", medianMs(21, [&] {
               window.CalcAllInst();
               lv->viewport()->repaint();
               QCoreApplication::processEvents();
           }));
    report("scroll to the last row and paint", medianMs(21, [&] {
               lv->scrollToTop();
               lv->scrollToBottom();
               lv->viewport()->repaint();
           }));
    std::printf("rows in the list: %d\n", lv->model()->rowCount());
    return sink == -1;
}
