#include "amount.h"

#include <QStringList>

namespace
{

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// 0..9 for an ASCII or Arabic-Indic (U+0660.., U+06F0..) digit, -1 for anything else.
int digitOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= 0x0660 && u <= 0x0669)
        return u - 0x0660;
    if (u >= 0x06F0 && u <= 0x06F9)
        return u - 0x06F0;
    return -1;
}

// How a text was read: the number in C form for Decimal, and what it took to read it.
struct Scan {
    QString plain;
    qsizetype end = 0; // position after the number
    bool digits = false; // a number was found
    bool rewritten = false; // its point was the locale's own, or it had an exponent or foreign digits
};

// The group separators the rules let count in this locale: none where the separator is '.' or the
// locale's decimal sign, all blanks where it is a blank.
QStringList groupSeparators(const QLocale &locale)
{
    const QString group = locale.groupSeparator();
    if (group.isEmpty() || group == QLatin1String(".") || group == locale.decimalPoint())
        return {};
    if (group == u"\u00A0" || group == u"\u202F" || group == u" ")
        return { QStringLiteral("\u202F"), QStringLiteral("\u00A0"), QStringLiteral(" ") };
    return { group };
}

// The locale's decimal sign when it may stand for the point in this text: only where the text
// holds no '.'.
QString localePoint(QStringView text, const QLocale &locale)
{
    const QString point = locale.decimalPoint();
    if (point == QLatin1String(".") || text.contains(u'.'))
        return {};
    return point;
}

qsizetype groupAt(QStringView t, qsizetype pos, const QStringList &groups)
{
    for (const QString &g : groups) {
        if (t.sliced(pos).startsWith(g))
            return g.size();
    }
    return 0;
}

class Scanner
{
public:
    Scanner(QStringView text, const QLocale &locale, bool leading)
        : t(text)
        , m_locale(locale)
        , m_leading(leading)
        , m_groups(groupSeparators(locale))
        , m_point(localePoint(text, locale))
    {
    }

    Scan run()
    {
        skipBlanks();
        readSign();
        readInteger();
        readFraction();
        if (s.digits)
            readExponent();
        s.end = p;
        return s;
    }

private:
    void skipBlanks()
    {
        while (p < t.size() && isBlank(t[p]))
            ++p;
    }
    // Inside a leading number blanks are ignored; the whole-text reading allows them only around.
    void skipInner()
    {
        if (m_leading)
            skipBlanks();
    }
    bool startsWith(const QString &what) const { return !what.isEmpty() && t.sliced(p).startsWith(what); }

    void readSign()
    {
        const QString minus = m_locale.negativeSign();
        const QString plus = m_locale.positiveSign();
        if (startsWith(minus) || (p < t.size() && t[p] == u'-')) {
            s.plain += QLatin1Char('-');
            p += startsWith(minus) ? minus.size() : 1;
        } else if (startsWith(plus) || (p < t.size() && t[p] == u'+')) {
            p += startsWith(plus) ? plus.size() : 1;
        }
        skipInner();
    }

    QString digitsRun()
    {
        QString run;
        for (; p < t.size(); ++p) {
            const int d = digitOf(t[p]);
            if (d >= 0) {
                run += QChar(u'0' + d);
                s.rewritten = s.rewritten || t[p] > u'9';
            } else if (!(m_leading && isBlank(t[p]))) {
                break;
            }
        }
        return run;
    }

    // A first group of one to three digits and further groups of exactly three; a separator that
    // does not fit ends the number before it (the whole-text reading then fails on it).
    void readInteger()
    {
        QString all = digitsRun();
        if (all.isEmpty() || all.size() > 3 || !groupAt(t, p, m_groups)) {
            take(all);
            return;
        }
        qsizetype good = p;
        while (const qsizetype g = groupAt(t, good, m_groups)) {
            p = good + g;
            const QString run = digitsRun();
            if (run.size() != 3)
                break;
            all += run;
            good = p;
        }
        p = good;
        take(all);
    }

    void take(const QString &digits)
    {
        s.plain += digits;
        s.digits = s.digits || !digits.isEmpty();
    }

    void readFraction()
    {
        skipInner();
        if (p < t.size() && t[p] == u'.') {
            ++p;
        } else if (startsWith(m_point)) {
            p += m_point.size();
            s.rewritten = true;
        } else {
            return;
        }
        s.plain += QLatin1Char('.');
        skipInner();
        take(digitsRun());
    }

    void readExponent()
    {
        const qsizetype start = p;
        const QString exp = m_locale.exponential();
        if (p < t.size() && (t[p] == u'e' || t[p] == u'E'))
            ++p;
        else if (!exp.isEmpty() && t.sliced(p).startsWith(exp, Qt::CaseInsensitive))
            p += exp.size();
        else
            return;
        QString e = QStringLiteral("e");
        skipInner();
        if (p < t.size() && (t[p] == u'+' || t[p] == u'-'))
            e += t[p++];
        else if (startsWith(m_locale.negativeSign())) {
            e += QLatin1Char('-');
            p += m_locale.negativeSign().size();
        }
        const QString run = digitsRun();
        if (run.isEmpty()) {
            p = start; // no exponent after all: the number ends before the letter
            return;
        }
        s.plain += e + run;
        s.rewritten = true;
    }

    QStringView t;
    const QLocale &m_locale;
    bool m_leading;
    QStringList m_groups;
    QString m_point;
    qsizetype p = 0;
    Scan s;
};

// The whole-text reading's scan: the number must fill the text but for surrounding blanks.
std::optional<Scan> scanWhole(QStringView text, const QLocale &locale)
{
    Scan s = Scanner(text, locale, false).run();
    qsizetype end = s.end;
    while (end < text.size() && isBlank(text[end]))
        ++end;
    if (!s.digits || end != text.size())
        return std::nullopt;
    return s;
}

Amounts::Reading judge(const std::optional<Scan> &scan)
{
    Amounts::Reading r;
    if (!scan || !scan->digits)
        return r;
    const std::optional<Decimal> value = Decimal::fromPlain(scan->plain);
    if (!value || !Amounts::inRange(*value)) {
        r.status = Amounts::Status::OutOfRange;
        return r;
    }
    r.status = Amounts::Status::Number;
    r.value = *value;
    return r;
}

} // namespace

namespace Amounts
{

bool inRange(const Decimal &value)
{
    static const Decimal limit = *Decimal::fromPlain(QStringLiteral("1e%1").arg(maxIntegerDigits));
    return (value.sign() < 0 ? -value : value) < limit;
}

Reading readAmount(QStringView text, const QLocale &locale)
{
    return judge(scanWhole(text, locale));
}

Reading readLeadingAmount(QStringView text, const QLocale &locale)
{
    return judge(Scanner(text, locale, true).run());
}

std::optional<Decimal> localeNumber(QStringView text, const QLocale &locale)
{
    const std::optional<Scan> s = scanWhole(text, locale);
    return s ? Decimal::fromPlain(s->plain) : std::nullopt;
}

bool isNumeric(QStringView text, const QLocale &locale)
{
    return localeNumber(text, locale).has_value();
}

Decimal leadingNumber(QStringView text, const QLocale &locale)
{
    const Scan s = Scanner(text, locale, true).run();
    return s.digits ? Decimal::fromPlain(s.plain).value_or(Decimal()) : Decimal();
}

QString padOrCut(const QString &s)
{
    const qsizetype p = s.indexOf(QLatin1Char('.'));
    if (p < 0)
        return s + QLatin1String(".00");
    const qsizetype d = s.size() - p - 1;
    if (d < 2)
        return s + QString(2 - d, QLatin1Char('0'));
    if (d > 2)
        return s.left(p + 3);
    return s;
}

QString amountText(const Decimal &value)
{
    return padOrCut(value.exactText());
}

QString outOfRangeText(const QString &text)
{
    QString shown = text.trimmed();
    if (shown.size() > 40)
        shown = shown.left(37) + QLatin1String("...");
    return QStringLiteral("\"%1\" is out of range for an amount. An amount must be below 10^%2 "
                          "(at most %2 digits before the point).")
        .arg(shown)
        .arg(maxIntegerDigits);
}

QString outOfRangeMessage(const QString &field, const QString &text)
{
    return field + QStringLiteral(": ") + outOfRangeText(text);
}

} // namespace Amounts

namespace
{

QString formatWith(
    const QString &in, const QString &whenEmpty, bool emptyWhenNotNumeric, const QLocale &locale)
{
    const QString s = in.isEmpty() ? whenEmpty : in;
    const std::optional<Scan> scan = scanWhole(s, locale);
    if (!scan)
        return emptyWhenNotNumeric ? QString() : QStringLiteral("0.00");
    const Amounts::Reading r = judge(scan);
    if (!r.ok())
        return s; // out of range: left for the caller to refuse, never cut into another number
    if (scan->rewritten)
        return Amounts::amountText(r.value);
    // Trailing blanks stay behind the digits, so the padded text still reads as one number.
    qsizetype core = s.size();
    while (core > 0 && isBlank(s[core - 1]))
        --core;
    return Amounts::padOrCut(s.left(core)) + s.mid(core);
}

} // namespace

QString FormatAmount(const QString &s, const QLocale &locale)
{
    return formatWith(s, QStringLiteral("0.00"), false, locale);
}

QString FormatAmountOrEmpty(const QString &s, const QLocale &locale)
{
    return formatWith(s, QStringLiteral("0"), true, locale);
}
