#include "decimal.h"

#include <QChar>

#include <gmpxx.h>

#include <new>
#include <string>
#include <utility>

// The coefficient lives in place inside the Decimal; only this file knows it is a GMP integer.
struct DecimalAccess {
    static_assert(sizeof(mpz_class) <= sizeof(Decimal::m_coeff), "the coefficient's storage is too small");
    static_assert(alignof(mpz_class) <= alignof(void *), "the coefficient's storage is misaligned");

    static mpz_class &coeff(Decimal &d) { return *std::launder(reinterpret_cast<mpz_class *>(d.m_coeff)); }
    static const mpz_class &coeff(const Decimal &d)
    {
        return *std::launder(reinterpret_cast<const mpz_class *>(d.m_coeff));
    }
};

namespace
{

mpz_class &coeff(Decimal &d)
{
    return DecimalAccess::coeff(d);
}

const mpz_class &coeff(const Decimal &d)
{
    return DecimalAccess::coeff(d);
}

mpz_class pow10(unsigned long n)
{
    mpz_class r;
    mpz_ui_pow_ui(r.get_mpz_t(), 10, n);
    return r;
}

} // namespace

Decimal::Decimal()
{
    new (m_coeff) mpz_class();
}

Decimal::~Decimal()
{
    coeff(*this).~mpz_class();
}

Decimal::Decimal(const Decimal &other)
    : m_scale(other.m_scale)
{
    new (m_coeff) mpz_class(coeff(other));
}

Decimal::Decimal(Decimal &&other) noexcept
    : m_scale(other.m_scale)
{
    new (m_coeff) mpz_class(std::move(coeff(other)));
}

Decimal &Decimal::operator=(const Decimal &other)
{
    coeff(*this) = coeff(other);
    m_scale = other.m_scale;
    return *this;
}

Decimal &Decimal::operator=(Decimal &&other) noexcept
{
    coeff(*this) = std::move(coeff(other));
    m_scale = other.m_scale;
    return *this;
}

int Decimal::sign() const
{
    return sgn(coeff(*this));
}

Decimal Decimal::fromInt(long long value)
{
    Decimal d;
    coeff(d) = mpz_class(std::to_string(value));
    return d;
}

std::optional<Decimal> Decimal::fromPlain(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    std::string digits;
    std::int64_t fraction = 0;
    bool point = false;
    bool any = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            digits.push_back(char(c.unicode()));
            any = true;
            if (point)
                ++fraction;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!any)
        return std::nullopt;
    std::int64_t exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            expNegative = text[i] == u'-';
            ++i;
        }
        bool expAny = false;
        // A cheap first bound, checked digit by digit so the sum stays small; the exact one, on the
        // value's own magnitude, follows below.
        const std::int64_t bound = maxExponent + static_cast<std::int64_t>(digits.size());
        for (; i < n; ++i) {
            const QChar c = text[i];
            if (c < u'0' || c > u'9')
                break;
            expAny = true;
            exponent = exponent * 10 + (c.unicode() - u'0');
            if (exponent > bound)
                return std::nullopt;
        }
        if (!expAny)
            return std::nullopt;
        if (expNegative)
            exponent = -exponent;
    }
    if (i != n)
        return std::nullopt;

    Decimal d;
    coeff(d).set_str(digits, 10);
    if (negative)
        coeff(d) = -coeff(d);
    d.m_scale = fraction - exponent;
    if (d.m_scale < 0) {
        coeff(d) *= pow10(static_cast<unsigned long>(-d.m_scale));
        d.m_scale = 0;
    }
    d.normalize();
    // Bound the magnitude, not the written exponent, so every accepted value's own plain text
    // ("1E+4002" for "100e4000") reads back.
    if (!d.isZero()) {
        const std::int64_t adjusted
            = static_cast<std::int64_t>(mpz_class(abs(coeff(d))).get_str().size()) - 1 - d.m_scale;
        if (adjusted > maxExponent || adjusted < -maxExponent)
            return std::nullopt;
    }
    return d;
}

void Decimal::normalize()
{
    if (sgn(coeff(*this)) == 0) {
        m_scale = 0;
        return;
    }
    // Strip trailing zeros of the fraction so that equal values compare and print alike.
    while (m_scale > 0 && mpz_divisible_ui_p(coeff(*this).get_mpz_t(), 10)) {
        coeff(*this) /= 10;
        --m_scale;
    }
}

Decimal Decimal::scaledTo(const Decimal &d, std::int64_t scale)
{
    Decimal r = d;
    if (scale > d.m_scale) {
        coeff(r) *= pow10(static_cast<unsigned long>(scale - d.m_scale));
        r.m_scale = scale;
    }
    return r;
}

Decimal Decimal::operator+(const Decimal &other) const
{
    const std::int64_t scale = std::max(m_scale, other.m_scale);
    Decimal r;
    coeff(r) = coeff(scaledTo(*this, scale)) + coeff(scaledTo(other, scale));
    r.m_scale = scale;
    r.normalize();
    return r;
}

Decimal Decimal::operator-(const Decimal &other) const
{
    return *this + (-other);
}

Decimal Decimal::operator-() const
{
    Decimal r = *this;
    coeff(r) = -coeff(r);
    return r;
}

Decimal Decimal::operator*(const Decimal &other) const
{
    Decimal r;
    coeff(r) = coeff(*this) * coeff(other);
    r.m_scale = m_scale + other.m_scale;
    r.normalize();
    return r;
}

int Decimal::compare(const Decimal &other) const
{
    const std::int64_t scale = std::max(m_scale, other.m_scale);
    return cmp(coeff(scaledTo(*this, scale)), coeff(scaledTo(other, scale)));
}

bool Decimal::isInteger() const
{
    return m_scale == 0;
}

std::optional<Decimal> Decimal::divideRoundedHalfEven(const Decimal &a, const Decimal &b)
{
    if (b.isZero())
        return std::nullopt;
    // a/b = (ca * 10^sb) / (cb * 10^sa)
    mpz_class num = coeff(a);
    mpz_class den = coeff(b);
    if (b.m_scale > a.m_scale)
        num *= pow10(static_cast<unsigned long>(b.m_scale - a.m_scale));
    else if (a.m_scale > b.m_scale)
        den *= pow10(static_cast<unsigned long>(a.m_scale - b.m_scale));
    if (sgn(den) < 0) {
        num = -num;
        den = -den;
    }
    mpz_class q, r;
    mpz_fdiv_qr(q.get_mpz_t(), r.get_mpz_t(), num.get_mpz_t(), den.get_mpz_t()); // 0 <= r < den
    const int half = cmp(mpz_class(r * 2), den);
    if (half > 0 || (half == 0 && mpz_odd_p(q.get_mpz_t())))
        q += 1;
    Decimal d;
    coeff(d) = q;
    return d;
}

Decimal Decimal::roundedHalfEven() const
{
    return *divideRoundedHalfEven(*this, fromInt(1));
}

std::optional<long long> Decimal::toInt64() const
{
    if (m_scale != 0 || !mpz_fits_slong_p(coeff(*this).get_mpz_t()))
        return std::nullopt;
    return coeff(*this).get_si();
}

double Decimal::toDouble() const
{
    return exactText().toDouble();
}

QString Decimal::exactText() const
{
    std::string digits = mpz_class(abs(coeff(*this))).get_str();
    if (m_scale > 0) {
        if (digits.size() <= static_cast<size_t>(m_scale))
            digits.insert(0, static_cast<size_t>(m_scale) - digits.size() + 1, '0');
        digits.insert(digits.size() - static_cast<size_t>(m_scale), 1, '.');
    }
    if (sgn(coeff(*this)) < 0)
        digits.insert(0, 1, '-');
    return QString::fromLatin1(digits);
}

QString Decimal::plainText(const QLocale &locale) const
{
    if (isZero())
        return QStringLiteral("0");
    constexpr long significant = 15;
    mpz_class magnitude = abs(coeff(*this));
    std::int64_t scale = m_scale;
    long digitCount = static_cast<long>(mpz_sizeinbase(magnitude.get_mpz_t(), 10));
    if (mpz_cmp(magnitude.get_mpz_t(), pow10(static_cast<unsigned long>(digitCount - 1)).get_mpz_t()) < 0)
        --digitCount; // mpz_sizeinbase may overshoot by one
    if (digitCount > significant) {
        // Round to 15 significant digits, halves to even, like the rest of the plan arithmetic.
        const std::int64_t drop = digitCount - significant;
        Decimal tmp;
        coeff(tmp) = magnitude;
        tmp.m_scale = drop;
        tmp = tmp.roundedHalfEven();
        magnitude = coeff(tmp);
        scale -= drop;
        if (magnitude == pow10(significant)) { // 999..9 rounded up to a new digit
            magnitude /= 10;
            --scale;
        }
        while (mpz_divisible_ui_p(magnitude.get_mpz_t(), 10) && sgn(magnitude) != 0 && scale > 0) {
            magnitude /= 10;
            --scale;
        }
    }
    std::string digits = magnitude.get_str();
    const long n = static_cast<long>(digits.size());
    // Decimal exponent of the leading digit.
    const std::int64_t leading = n - 1 - scale;
    const QString point = locale.decimalPoint();
    QString out;
    if (sign() < 0)
        out += QLatin1Char('-');
    if (leading >= significant || leading < -5) {
        // Exponent form: d.ddddE+xx, trailing zeros of the mantissa dropped.
        std::string mant = digits;
        while (mant.size() > 1 && mant.back() == '0')
            mant.pop_back();
        out += QLatin1Char(mant[0]);
        if (mant.size() > 1)
            out += point + QString::fromLatin1(mant.substr(1));
        out += QLatin1String(leading < 0 ? "E-" : "E+");
        const std::int64_t e = leading < 0 ? -leading : leading;
        out += (e < 10 ? QStringLiteral("0") : QString()) + QString::number(e);
        return out;
    }
    if (scale <= 0) {
        out += QString::fromLatin1(digits) + QString(static_cast<qsizetype>(-scale), QLatin1Char('0'));
        return out;
    }
    if (n <= scale) {
        out += QLatin1Char('0') + point + QString(static_cast<qsizetype>(scale - n), QLatin1Char('0'))
            + QString::fromLatin1(digits);
        return out;
    }
    out += QString::fromLatin1(digits.substr(0, static_cast<size_t>(n - scale))) + point
        + QString::fromLatin1(digits.substr(static_cast<size_t>(n - scale)));
    return out;
}
