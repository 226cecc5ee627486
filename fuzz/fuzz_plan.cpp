// The installment plan over random texts: any remainder, count and field texts give Done,
// Unchanged or Refused, never a failure; a Done plan adds up (N - 1 installments of A and a first
// installment F make R) and, for a remainder with at most two decimals, ends on a zero balance.
#include "core/amount.h"
#include "core/plan.h"
#include "fuzzinput.h"

#include <cstdio>
#include <cstdlib>

using namespace Installments;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 1024)
        return 0;
    const Fuzz::Input in(data, size, 4);
    const Rules rules = (in.flags & 0x80) ? Rules::order() : Rules::calculator();
    const QString &remainder = in.texts[0];
    const QString &count = in.texts[1];
    const QDate first = QDate(2000, 1, 1).addDays((in.flags * 37) % 20000);

    const PlanAmounts amounts = calcInst(remainder, count, rules, in.locale);
    if (amounts.outcome == Outcome::Refused)
        FUZZ_CHECK(!amounts.message.isEmpty());
    if (amounts.outcome == Outcome::Done) {
        FUZZ_CHECK(amounts.count >= 1 && amounts.count <= maxCount);
        FUZZ_CHECK(amounts.amount.isInteger());
        FUZZ_CHECK(amounts.first + amounts.amount * Decimal::fromInt(amounts.count - 1) == amounts.remainder);
        const auto bits = amounts.amount.toInt64();
        FUZZ_CHECK(bits.has_value());
        const long long limit = rules.amountBits == 16 ? 32767LL : 2147483647LL;
        FUZZ_CHECK(*bits <= limit && *bits >= -limit - 1);
        FUZZ_CHECK(amounts.amountText == FormatAmount(amounts.amount.plainText(in.locale), in.locale));
    }

    // The schedule from the fields as calcInst left them, or from the random field texts.
    const bool fromFields = amounts.outcome == Outcome::Done && !(in.flags & 0x40);
    const QString amountText = fromFields ? amounts.amountText : in.texts[2];
    const QString firstText = fromFields ? amounts.firstText : in.texts[3];
    const SchedulePlan plan = calcAllInst(remainder, count, first, amountText, firstText, rules, in.locale);
    if (plan.outcome == Outcome::Refused)
        FUZZ_CHECK(!plan.message.isEmpty());
    if (plan.outcome != Outcome::Done)
        return 0;
    const Schedule &s = plan.schedule;
    FUZZ_CHECK(s.count() >= 1 && s.count() <= maxCount);
    // Any row a view may ask for, the first and the last among them.
    for (int k : { 1, s.count(), 1 + static_cast<int>(in.flags) % s.count() }) {
        const ScheduleRow row = s.row(k);
        FUZZ_CHECK(row.number == QString::number(k));
        FUZZ_CHECK(!row.date.isEmpty());
        FUZZ_CHECK(s.dueDate(k) >= first);
    }
    ScheduleModel model;
    model.setSchedule(s);
    FUZZ_CHECK(model.rowCount() == s.count());
    (void)model.data(model.index(s.count() - 1, 3));
    if (fromFields) {
        const auto cents = amounts.remainder * Decimal::fromInt(100);
        if (cents.isInteger())
            FUZZ_CHECK(s.balanceAfter(s.count()).isZero());
    }
    return 0;
}
