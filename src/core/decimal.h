#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// An exact decimal number: an arbitrary-size integer coefficient scaled by a power of ten.
// Money is added, subtracted and multiplied without the residue binary floating point leaves,
// so a plan whose amounts have two decimals always ends on a balance of exactly zero.
class Decimal final
{
public:
    Decimal(); // zero
    ~Decimal();
    Decimal(const Decimal &other);
    Decimal(Decimal &&other) noexcept;
    Decimal &operator=(const Decimal &other);
    Decimal &operator=(Decimal &&other) noexcept;
    static Decimal fromInt(long long value);

    // C form only: optional sign, digits with at most one '.', optional exponent; no blanks.
    // Values beyond 10^+-maxExponent are refused so a typed "1e999999999" cannot eat the memory;
    // an exponent is refused as soon as its digits pass that bound, however many more follow.
    static std::optional<Decimal> fromPlain(QStringView text);
    static constexpr int maxExponent = 4000;

    Decimal operator+(const Decimal &other) const;
    Decimal operator-(const Decimal &other) const;
    Decimal operator*(const Decimal &other) const;
    Decimal operator-() const;
    bool operator==(const Decimal &other) const { return compare(other) == 0; }
    bool operator<(const Decimal &other) const { return compare(other) < 0; }
    int compare(const Decimal &other) const;

    bool isZero() const { return sign() == 0; }
    int sign() const;
    bool isInteger() const;

    // Nearest whole number, an exact half to the even one (6.5 -> 6, 7.5 -> 8, -2.5 -> -2).
    Decimal roundedHalfEven() const;
    // a / b brought to the nearest whole number, halves to even; nullopt when b is zero.
    static std::optional<Decimal> divideRoundedHalfEven(const Decimal &a, const Decimal &b);

    // The whole number, when the value is one and fits.
    std::optional<long long> toInt64() const;
    double toDouble() const;

    // Shortest text of at most 15 significant digits, no group separators, the locale's decimal
    // separator only where there is a fraction; exponent form from 1E+15 on and below 1E-5.
    QString plainText(const QLocale &locale = QLocale()) const;
    // Every digit, '.' as the point, no exponent (for storage and tests).
    QString exactText() const;

private:
    static Decimal scaledTo(const Decimal &d, std::int64_t scale);
    void normalize();

    friend struct DecimalAccess;
    // value = coefficient * 10^-m_scale. The coefficient is an arbitrary-size integer kept in place
    // here (no allocation of its own, nothing of its library in this header); decimal.cpp checks
    // that it fits.
    alignas(void *) unsigned char m_coeff[2 * sizeof(int) + sizeof(void *)];
    std::int64_t m_scale = 0; // fixed width: a long is 32 bits on Windows
};
