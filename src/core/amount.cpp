#include "amount.h"

namespace
{

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Reads the whole-number part at i: digits, optionally split by the locale's group separator into
// a first group of one to three digits and further groups of exactly three. Appends the digits to
// out and returns the position after them. A wrongly grouped separator sets badGrouping and the
// part then ends before the first separator.
qsizetype readInteger(
    QStringView t, qsizetype i, const QString &group, bool skipBlanks, QString &out, bool &badGrouping)
{
    auto digitsFrom = [&](qsizetype pos, QString &run) {
        while (pos < t.size() && (isDigit(t[pos]) || (skipBlanks && isBlank(t[pos])))) {
            if (isDigit(t[pos]))
                run += t[pos];
            ++pos;
        }
        return pos;
    };
    QString first;
    qsizetype pos = digitsFrom(i, first);
    badGrouping = false;
    if (group.isEmpty() || first.isEmpty() || !t.sliced(pos).startsWith(group)) {
        out += first;
        return pos;
    }
    const qsizetype firstEnd = pos;
    QString all = first;
    badGrouping = first.size() > 3;
    while (!badGrouping && t.sliced(pos).startsWith(group)) {
        QString run;
        const qsizetype next = digitsFrom(pos + group.size(), run);
        if (run.size() != 3)
            badGrouping = true;
        else {
            all += run;
            pos = next;
        }
    }
    if (badGrouping) {
        out += first;
        return firstEnd;
    }
    out += all;
    return pos;
}

} // namespace

namespace Amounts
{

std::optional<Decimal> localeNumber(QStringView text, const QLocale &locale)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    qsizetype end = n;
    while (end > i && isBlank(text[end - 1]))
        --end;
    const QStringView t = text.sliced(i, end - i);
    if (t.isEmpty())
        return std::nullopt;

    QString plain;
    qsizetype p = 0;
    const QString minus = locale.negativeSign();
    const QString plus = locale.positiveSign();
    if (t.startsWith(minus) || t.startsWith(u'-')) {
        plain += QLatin1Char('-');
        p += t.startsWith(minus) ? minus.size() : 1;
    } else if (t.startsWith(plus) || t.startsWith(u'+')) {
        p += t.startsWith(plus) ? plus.size() : 1;
    }
    const QString decimalPoint = locale.decimalPoint();
    QString group = locale.groupSeparator();
    if (group == decimalPoint)
        group.clear();
    const qsizetype intStart = plain.size();
    bool badGrouping = false;
    p = readInteger(t, p, group, false, plain, badGrouping);
    if (badGrouping)
        return std::nullopt;
    bool digits = plain.size() > intStart;
    if (t.sliced(p).startsWith(decimalPoint)) {
        p += decimalPoint.size();
        plain += QLatin1Char('.');
        while (p < t.size() && isDigit(t[p])) {
            plain += t[p++];
            digits = true;
        }
    }
    if (!digits)
        return std::nullopt;
    const QString exp = locale.exponential();
    if (p < t.size() && (t[p] == u'e' || t[p] == u'E' || t.sliced(p).startsWith(exp, Qt::CaseInsensitive))) {
        p += (t[p] == u'e' || t[p] == u'E') ? 1 : exp.size();
        plain += QLatin1Char('e');
        if (p < t.size() && (t[p] == u'+' || t[p] == u'-'))
            plain += t[p++];
        else if (t.sliced(p).startsWith(minus)) {
            plain += QLatin1Char('-');
            p += minus.size();
        }
        if (p >= t.size() || !isDigit(t[p]))
            return std::nullopt;
        while (p < t.size() && isDigit(t[p]))
            plain += t[p++];
    }
    if (p != t.size())
        return std::nullopt;
    return Decimal::fromPlain(plain);
}

bool isNumeric(QStringView text, const QLocale &locale)
{
    return localeNumber(text, locale).has_value();
}

Decimal leadingNumber(QStringView text, const QLocale &locale)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };
    skipBlanks();
    QString plain;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        if (text[i] == u'-')
            plain += QLatin1Char('-');
        ++i;
    }
    QString group = locale.groupSeparator();
    if (group == QLatin1String("."))
        group.clear();
    const qsizetype intStart = plain.size();
    // A badly grouped separator simply ends the number, as any other character would.
    bool badGrouping = false;
    i = readInteger(text, i, group, true, plain, badGrouping);
    bool digits = plain.size() > intStart;
    skipBlanks();
    if (i < n && text[i] == u'.') {
        ++i;
        plain += QLatin1Char('.');
        for (skipBlanks(); i < n && isDigit(text[i]); skipBlanks()) {
            plain += text[i++];
            digits = true;
        }
    }
    if (!digits)
        return Decimal();
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        QString exp = QStringLiteral("e");
        while (j < n && isBlank(text[j]))
            ++j;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            exp += text[j++];
        bool expDigits = false;
        while (j < n && (isDigit(text[j]) || isBlank(text[j]))) {
            if (isDigit(text[j])) {
                exp += text[j];
                expDigits = true;
            }
            ++j;
        }
        if (expDigits)
            plain += exp;
    }
    return Decimal::fromPlain(plain).value_or(Decimal());
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

} // namespace Amounts

namespace
{

QString formatWith(
    const QString &in, const QString &whenEmpty, bool emptyWhenNotNumeric, const QLocale &locale)
{
    const QString s = in.isEmpty() ? whenEmpty : in;
    if (!Amounts::isNumeric(s, locale))
        return emptyWhenNotNumeric ? QString() : QStringLiteral("0.00");
    return Amounts::padOrCut(s);
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
