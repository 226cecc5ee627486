// FormatAmount / FormatAmountOrEmpty on any text in several locales: never fail, and the result is
// always the text itself padded or cut after its first point, "0.00" or (OrEmpty) the empty text.
#include "core/amount.h"
#include "fuzzinput.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;
    const Fuzz::Input in(data, size, 1);
    const QString &s = in.texts[0];
    const QString amount = FormatAmount(s, in.locale);
    const QString orEmpty = FormatAmountOrEmpty(s, in.locale);
    const bool numeric = Amounts::isNumeric(s, in.locale);
    if (s.isEmpty()) {
        FUZZ_CHECK(amount == QLatin1String("0.00"));
        FUZZ_CHECK(orEmpty == QLatin1String("0.00"));
        return 0;
    }
    if (!numeric) {
        FUZZ_CHECK(amount == QLatin1String("0.00"));
        FUZZ_CHECK(orEmpty.isEmpty());
        return 0;
    }
    FUZZ_CHECK(orEmpty == amount);
    const qsizetype point = s.indexOf(QLatin1Char('.'));
    if (point < 0) {
        FUZZ_CHECK(amount == s + QLatin1String(".00"));
    } else {
        // Exactly two characters after the first point, taken from the text or zeros.
        FUZZ_CHECK(amount.size() == point + 3);
        FUZZ_CHECK(amount.startsWith(s.left(point + 3)));
        FUZZ_CHECK(
            amount.mid(s.size()).count(QLatin1Char('0')) == std::max<qsizetype>(0, point + 3 - s.size()));
    }
    // The amount of an amount is itself.
    FUZZ_CHECK(!Amounts::isNumeric(amount, in.locale) || FormatAmount(amount, in.locale) == amount);
    return 0;
}
