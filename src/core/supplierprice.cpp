// How suppliers write their prices: currency signs and codes around the number, '.' or ',' as the
// decimal sign, groups of thousands.
#include "supplierimport.h"

#include "price.h"

#include <QLocale>
#include <QSet>

#include <algorithm>

namespace SupplierImport
{

namespace
{

    // Signs and codes of every currency the locale data knows. Codes are three letters ("EGP");
    // a symbol made of letters only ("K", "kr") is left out: in "12K" a letter is more likely a
    // thousand than a currency, and a price must never be misread.
    // Codes and symbols are matched in any case of their Latin letters.
    QString asciiUpper(QStringView text)
    {
        QString upper = text.toString();
        for (QChar &c : upper) {
            if (c >= u'a' && c <= u'z')
                c = QChar(c.unicode() - (u'a' - u'A'));
        }
        return upper;
    }

    QSet<QString> currencyNames()
    {
        QSet<QString> names { QStringLiteral("LE"),
            QStringLiteral("L.E.") }; // Egyptian pounds, as written there
        for (const QLocale &locale :
            QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            const QString code = locale.currencySymbol(QLocale::CurrencyIsoCode);
            if (code.size() == 3)
                names.insert(asciiUpper(code));
            QString symbol = locale.currencySymbol(QLocale::CurrencySymbol);
            symbol.remove(QChar(0x200E)).remove(QChar(0x200F)).remove(QChar(0x061C));
            bool lettersOnly = !symbol.isEmpty();
            for (const QChar c : std::as_const(symbol))
                lettersOnly = lettersOnly && c.isLetter() && c.unicode() < 0x80;
            if (!symbol.isEmpty() && !lettersOnly)
                names.insert(asciiUpper(symbol));
        }
        return names;
    }

    bool isCurrency(QStringView token)
    {
        static const QSet<QString> names = currencyNames();
        if (token.isEmpty() || token.size() > 12)
            return false;
        bool signs = true;
        for (const QChar c : token)
            signs = signs && c.category() == QChar::Symbol_Currency;
        return signs || names.contains(asciiUpper(token));
    }

    bool startsNumber(QChar c)
    {
        return c.isDigit() || c == u'-' || c == u'+';
    }

    // The currency before or after the number, when there is one; the separators that may end a
    // currency ("L.E.") or begin a number (".50") are tried both ways.
    qsizetype currencyBefore(QStringView t)
    {
        qsizetype end = 0;
        while (end < t.size() && !startsNumber(t.at(end)))
            ++end;
        for (qsizetype n = end; n > 0; --n) {
            if (isCurrency(t.first(n).trimmed()))
                return n;
            if (t.at(n - 1) != u'.' && t.at(n - 1) != u',' && !t.at(n - 1).isSpace())
                break;
        }
        return 0;
    }

    qsizetype currencyAfter(QStringView t)
    {
        qsizetype start = t.size();
        while (start > 0 && !t.at(start - 1).isDigit())
            --start;
        return start < t.size() && isCurrency(t.sliced(start).trimmed()) ? t.size() - start : 0;
    }

    bool groupedWell(QStringView digits, QChar group)
    {
        const QList<QStringView> parts = digits.split(group);
        for (qsizetype i = 1; i < parts.size(); ++i) {
            if (parts[i].size() != 3)
                return false;
        }
        return !parts.first().isEmpty();
    }

    // What one price tells of the decimal sign: nullopt when nothing (a whole number), and
    // `twoWays` when it reads both ways (three digits after a single separator).
    std::optional<DecimalSign> told(const QString &number, bool *twoWays)
    {
        *twoWays = false;
        const qsizetype point = number.lastIndexOf(u'.');
        const qsizetype comma = number.lastIndexOf(u',');
        if (point >= 0 && comma >= 0)
            return point > comma ? DecimalSign::Point : DecimalSign::Comma;
        const qsizetype at = std::max(point, comma);
        if (at < 0)
            return std::nullopt;
        const QChar separator = number.at(at);
        const DecimalSign asDecimal = separator == u'.' ? DecimalSign::Point : DecimalSign::Comma;
        const DecimalSign asGroup = separator == u'.' ? DecimalSign::Comma : DecimalSign::Point;
        if (number.count(separator) > 1)
            return asGroup;
        qsizetype digits = 0;
        while (at + 1 + digits < number.size() && number.at(at + 1 + digits).isDigit())
            ++digits;
        if (digits == 3 && at + 4 == number.size() && at > 0) {
            *twoWays = true;
            return std::nullopt;
        }
        return asDecimal;
    }

} // namespace

QString numberOf(QStringView text)
{
    // Most prices are plain numbers, and a text without a digit is none: nothing to take away.
    QStringView t = text.trimmed();
    bool ascii
        = !t.isEmpty() && t.back().isDigit() && (t.front().isDigit() || (t.size() > 1 && t.at(1).isDigit()));
    for (qsizetype i = 0; ascii && i < t.size(); ++i)
        ascii = t.at(i).unicode() < 0x80;
    if (ascii || std::none_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); }))
        return t.toString();
    // No-break and thin blanks stand for blanks; direction marks around Arabic signs are dropped.
    QString normalized;
    const auto special = [](QChar c) {
        return c == QChar(0x00A0) || c == QChar(0x202F) || c == QChar(0x2009) || c == QChar(0x200E)
            || c == QChar(0x200F) || c == QChar(0x061C);
    };
    if (std::any_of(t.begin(), t.end(), special)) {
        for (const QChar c : t) {
            if (c == QChar(0x00A0) || c == QChar(0x202F) || c == QChar(0x2009))
                normalized += u' ';
            else if (!special(c))
                normalized += c;
        }
        t = QStringView(normalized).trimmed();
    }
    // A sign before the currency belongs to the number: "-$5" is -5.
    QStringView sign;
    if (t.size() > 1 && (t.front() == u'-' || t.front() == u'+') && !t.at(1).isDigit()) {
        if (const qsizetype before = currencyBefore(t.sliced(1)); before > 0) {
            sign = t.first(1);
            t = t.sliced(1 + before);
        }
    } else {
        t = t.sliced(currencyBefore(t));
    }
    t.chop(currencyAfter(t));
    t = t.trimmed();
    return sign.isEmpty() ? t.toString() : sign.toString() + t;
}

void DecimalEvidence::add(QStringView price)
{
    const QString number = numberOf(price);
    const QStringView written = price;
    bool twoWays = false;
    const std::optional<DecimalSign> sign = told(number, &twoWays);
    if (twoWays && m_twoWays.isEmpty())
        m_twoWays = written.trimmed().toString();
    if (sign) {
        if (m_firstTold.isEmpty())
            m_firstTold = written.trimmed().toString();
        (*sign == DecimalSign::Point ? m_point : m_comma) = true;
    }
}

DecimalGuess DecimalEvidence::guess() const
{
    DecimalGuess guess;
    if (m_point != m_comma)
        guess.sign = m_point ? DecimalSign::Point : DecimalSign::Comma;
    else if (m_point && m_comma)
        guess.sample = m_twoWays.isEmpty() ? m_firstTold : m_twoWays;
    else if (!m_twoWays.isEmpty())
        guess.sample = m_twoWays;
    else
        guess.sign = DecimalSign::Point; // whole numbers: either sign reads them alike
    guess.wholeNumbers = !m_point && !m_comma && m_twoWays.isEmpty();
    return guess;
}

DecimalGuess guessDecimal(const QStringList &prices)
{
    DecimalEvidence evidence;
    for (const QString &p : prices)
        evidence.add(p);
    return evidence.guess();
}

} // namespace SupplierImport

PriceReading Price::fromSupplier(QStringView text, DecimalSign sign)
{
    if (text.trimmed().isEmpty())
        return refused(Problem::Empty, text);
    QString t = SupplierImport::numberOf(text);
    t.remove(u' ');
    const QChar point = sign == DecimalSign::Comma ? u',' : u'.';
    const QChar group = sign == DecimalSign::Comma ? u'.' : u',';
    const qsizetype decimalAt = t.indexOf(point);
    QStringView digits = QStringView(t).left(decimalAt < 0 ? t.size() : decimalAt);
    if (digits.startsWith(u'-') || digits.startsWith(u'+'))
        digits = digits.sliced(1);
    if (digits.contains(group) && !SupplierImport::groupedWell(digits, group))
        return refused(Problem::GroupSign, text);
    if (decimalAt >= 0 && QStringView(t).sliced(decimalAt + 1).contains(group))
        return refused(Problem::NotNumber, text);
    t.remove(group);
    if (sign == DecimalSign::Comma)
        t.replace(u',', u'.');
    return checked(Amounts::readAmount(t, QLocale::c()), text, Decimals::AsEntered);
}
