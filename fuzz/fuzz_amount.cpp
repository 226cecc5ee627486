// FormatAmount / FormatAmountOrEmpty on any text in several locales: never fail; a number comes
// out with exactly two digits after a point and reads back, in the same locale, as the number it
// was, cut to cents; the program's own plain form reads back the same in every locale; a number
// out of the amount range comes back unchanged; anything else gives "0.00" or (OrEmpty) "".
#include "core/amount.h"
#include "fuzzinput.h"

#include <cstdio>
#include <cstdlib>

namespace
{

bool plainForm(const QString &s)
{
    for (const QChar c : s) {
        if (!(c.isDigit() && c.unicode() < 128) && c != u'.' && c != u'-')
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;
    const Fuzz::Input in(data, size, 1);
    const QString &s = in.texts[0];
    const QString amount = FormatAmount(s, in.locale);
    const QString orEmpty = FormatAmountOrEmpty(s, in.locale);
    const Amounts::Reading r = Amounts::readAmount(s, in.locale);
    if (s.isEmpty()) {
        FUZZ_CHECK(amount == QLatin1String("0.00"));
        FUZZ_CHECK(orEmpty == QLatin1String("0.00"));
        return 0;
    }
    if (r.status == Amounts::Status::NotNumber) {
        FUZZ_CHECK(amount == QLatin1String("0.00"));
        FUZZ_CHECK(orEmpty.isEmpty());
        return 0;
    }
    if (r.status == Amounts::Status::OutOfRange) {
        FUZZ_CHECK(amount == s);
        FUZZ_CHECK(orEmpty == s);
        return 0;
    }
    FUZZ_CHECK(orEmpty == amount);
    // Exactly two characters after the first point (blanks may follow the digits).
    const QString core = amount.trimmed();
    const qsizetype point = core.indexOf(QLatin1Char('.'));
    FUZZ_CHECK(point >= 0 && core.size() == point + 3);
    // It reads back, in both readings, as the number cut (not rounded) to cents.
    const Decimal cut = *Decimal::fromPlain(Amounts::padOrCut(r.value.exactText()));
    const Amounts::Reading again = Amounts::readAmount(amount, in.locale);
    FUZZ_CHECK(again.ok() && again.value == cut);
    FUZZ_CHECK(Amounts::leadingNumber(amount, in.locale) == cut);
    // The amount of an amount is itself.
    FUZZ_CHECK(FormatAmount(amount, in.locale) == amount);
    if (plainForm(amount)) {
        for (const QLocale &l : Fuzz::locales()) {
            const Amounts::Reading there = Amounts::readAmount(amount, l);
            FUZZ_CHECK(there.ok() && there.value == cut);
            FUZZ_CHECK(FormatAmount(amount, l) == amount);
        }
    }
    return 0;
}
