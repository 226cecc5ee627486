// The two readings of a number from a text, the exact decimal and prices: no text makes them fail, a
// number's texts read back as the same number (its plain form in every locale), Add and Update take
// the same price texts, prices compare and show consistently, and the arithmetic is exact.
#include "core/amount.h"
#include "core/decimal.h"
#include "core/price.h"
#include "fuzzinput.h"

#include <cstdio>
#include <cstdlib>

namespace
{

// The readings bound the exponent as written ("100e4000" is taken) while plain texts write the
// number's own exponent ("1E+4002", refused); values that near the bound are left out of the
// read-back checks.
bool nearExponentBound(const QString &plain)
{
    const qsizetype e = plain.indexOf(QLatin1Char('E'));
    if (e < 0)
        return false;
    bool ok = false;
    const int exponent = plain.mid(e + 1).toInt(&ok);
    return !ok || std::abs(exponent) > Decimal::maxExponent - 40;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 2048)
        return 0;
    const Fuzz::Input in(data, size, 2);
    const QString &a = in.texts[0];
    const QString &b = in.texts[1];

    const auto local = Amounts::localeNumber(a, in.locale);
    FUZZ_CHECK(local.has_value() == Amounts::isNumeric(a, in.locale));
    if (local) {
        // What the locale reads, its plain text in the same locale reads back (15 digits kept).
        const QString plain = local->plainText(in.locale);
        if (nearExponentBound(local->plainText(QLocale::c())))
            return 0;
        const auto again = Amounts::localeNumber(plain, in.locale);
        FUZZ_CHECK(again.has_value());
        FUZZ_CHECK(again->plainText(in.locale) == plain);
    }
    const Decimal leading = Amounts::leadingNumber(a, in.locale);
    (void)leading.plainText(in.locale);

    // The whole-text and leading readings agree; an amount's plain form reads back everywhere.
    const Amounts::Reading whole = Amounts::readAmount(a, in.locale);
    if (whole.ok()) {
        FUZZ_CHECK(Amounts::isNumeric(a, in.locale) && *local == whole.value);
        const Amounts::Reading lead = Amounts::readLeadingAmount(a, in.locale);
        FUZZ_CHECK(lead.ok() && lead.value == whole.value);
        const QString exact = whole.value.exactText();
        for (const QLocale &l : Fuzz::locales()) {
            FUZZ_CHECK(Amounts::readAmount(exact, l).value == whole.value);
            FUZZ_CHECK(Amounts::readLeadingAmount(exact, l).value == whole.value);
        }
    }
    // Add and Update accept the same price texts; what they store is shown as itself and so
    // survives an Update that only changes the description.
    const PriceReading added = Price::fromTyped(a, in.locale, Price::Decimals::AsEntered);
    const PriceReading updated = Price::fromTyped(a, in.locale, Price::Decimals::Cents);
    FUZZ_CHECK(added.ok() == updated.ok() && added.ok() == whole.ok());
    if (added.ok()) {
        const QString &stored = added.price->text();
        FUZZ_CHECK(*Decimal::fromPlain(stored) == whole.value);
        FUZZ_CHECK(Price::fromStored(stored).fieldText() == stored);
        FUZZ_CHECK(Price::fromStored(updated.price->text()).fieldText() == updated.price->text());
        const PriceReading again = Price::fromTyped(stored, in.locale, Price::Decimals::AsEntered);
        FUZZ_CHECK(again.ok() && again.price->text() == stored);
        FUZZ_CHECK(Price::same(stored, added.price->text()) && added.price->isSameAs(*again.price));
    }
    // Any stored text is shown either as its plain number or as itself; sameness is symmetric and
    // a text is the same price as itself.
    const Price stored = Price::fromStored(a);
    const QString shown = stored.fieldText();
    FUZZ_CHECK(shown == a || Decimal::fromPlain(shown).has_value());
    FUZZ_CHECK(Price::same(a, a) && Price::same(a, b) == Price::same(b, a));
    FUZZ_CHECK(Price::same(a, b) == stored.isSameAs(Price::fromStored(b)));
    Price::percentChange(stored, Price::fromStored(b));
    Price::tenfold(stored, Price::fromStored(b));

    const auto x = Decimal::fromPlain(a);
    const auto y = Decimal::fromPlain(b);
    if (x) {
        const auto exact = Decimal::fromPlain(x->exactText());
        FUZZ_CHECK(exact && *exact == *x);
        const QString plain = x->plainText(QLocale::c());
        if (nearExponentBound(plain))
            return 0;
        const auto fromPlain = Decimal::fromPlain(plain);
        FUZZ_CHECK(fromPlain.has_value());
        FUZZ_CHECK(fromPlain->plainText(QLocale::c()) == plain);
        // A plain C text is its own leading number.
        FUZZ_CHECK(Amounts::leadingNumber(a, QLocale::c()) == *x);
        const Decimal rounded = x->roundedHalfEven();
        FUZZ_CHECK(rounded.isInteger());
        FUZZ_CHECK((*x - rounded).compare(Decimal::fromPlain(u"0.5").value()) <= 0);
        FUZZ_CHECK((rounded - *x).compare(Decimal::fromPlain(u"0.5").value()) <= 0);
    }
    if (x && y) {
        FUZZ_CHECK((*x + *y) - *y == *x);
        FUZZ_CHECK(*x + *y == *y + *x);
        FUZZ_CHECK(*x * *y == *y * *x);
        const auto q = Decimal::divideRoundedHalfEven(*x, *y);
        FUZZ_CHECK(q.has_value() == !y->isZero());
        if (q) {
            FUZZ_CHECK(q->isInteger());
            // |x - q*y| <= |y| / 2
            Decimal rest = *x - *q * *y;
            if (rest.sign() < 0)
                rest = -rest;
            Decimal half = *y;
            if (half.sign() < 0)
                half = -half;
            FUZZ_CHECK((rest + rest).compare(half) <= 0);
        }
    }
    return 0;
}
