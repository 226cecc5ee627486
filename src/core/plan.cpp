#include "plan.h"

#include "amount.h"

#include <algorithm>

namespace Installments
{

namespace
{

    bool isBlankText(QStringView text)
    {
        return text.trimmed().isEmpty();
    }

    PlanAmounts refusedAmounts(Reason reason, const Rules &rules)
    {
        PlanAmounts r;
        r.outcome = Outcome::Refused;
        r.reason = reason;
        r.field = refusalField(reason);
        r.message = refusalMessage(reason, rules);
        return r;
    }

    // An empty remainder box means nothing typed yet, i.e. 0; anything else must be an amount.
    Amounts::Reading readRemainder(QStringView text, const QLocale &locale)
    {
        if (isBlankText(text))
            return { Amounts::Status::Number, Decimal() };
        return Amounts::readAmount(text, locale);
    }

    bool fitsBits(const Decimal &whole, int bits)
    {
        const std::optional<long long> v = whole.toInt64();
        if (!v)
            return false;
        const long long limit = 1LL << (bits - 1);
        return *v >= -limit && *v < limit;
    }

    QString twoDigits(int n)
    {
        return QString::number(n).rightJustified(2, QLatin1Char('0'));
    }

} // namespace

QString refusalMessage(Reason reason, const Rules &rules)
{
    switch (reason) {
    case Reason::None:
        return {};
    case Reason::RemainderNotNumber:
        return QStringLiteral("The Remainder is not a number.");
    case Reason::AmountTooLarge:
        return QStringLiteral(
            "The Remainder is too large for this number of installments: one installment may "
            "not exceed %1.")
            .arg((1LL << (rules.amountBits - 1)) - 1);
    case Reason::CountEmpty:
        return QStringLiteral("Enter the number of installments.");
    case Reason::CountNotNumber:
        return QStringLiteral("The number of installments must be a whole number from 1 to %1.")
            .arg(maxCount);
    case Reason::CountNotWhole:
        return QStringLiteral("The number of installments must be a whole number, without a fraction.");
    case Reason::CountNotPositive:
        return QStringLiteral("The number of installments must be at least 1.");
    case Reason::CountTooLarge:
        return QStringLiteral("The number of installments may not exceed %1.").arg(maxCount);
    }
    return {};
}

Field refusalField(Reason reason)
{
    switch (reason) {
    case Reason::None:
        return Field::None;
    case Reason::RemainderNotNumber:
    case Reason::AmountTooLarge:
        return Field::Remainder;
    case Reason::CountEmpty:
    case Reason::CountNotNumber:
    case Reason::CountNotWhole:
    case Reason::CountNotPositive:
    case Reason::CountTooLarge:
        return Field::Count;
    }
    return Field::None;
}

CountReading readCount(QStringView text, const QLocale &locale)
{
    CountReading r;
    if (isBlankText(text)) {
        r.reason = Reason::CountEmpty;
        return r;
    }
    const std::optional<Decimal> value = Amounts::localeNumber(text, locale);
    if (!value)
        r.reason = Reason::CountNotNumber;
    else if (!value->isInteger())
        r.reason = Reason::CountNotWhole;
    else if (value->sign() <= 0)
        r.reason = Reason::CountNotPositive;
    else if (Decimal::fromInt(maxCount) < *value)
        r.reason = Reason::CountTooLarge;
    else
        r.count = static_cast<int>(*value->toInt64());
    return r;
}

std::optional<Decimal> textValue(QStringView text, const QLocale &locale)
{
    return Amounts::localeNumber(text, locale);
}

QString amountText(const Decimal &value, const QLocale &)
{
    // Every digit and '.', whatever the locale, so the text reads back as the same number.
    return Amounts::amountText(value);
}

QString amountTextOrEmpty(const Decimal &value, const QLocale &locale)
{
    // A plain text is always numeric, so both routines come down to the pad-or-cut step.
    return amountText(value, locale);
}

PlanAmounts calcInst(
    QStringView remainderText, QStringView countText, const Rules &rules, const QLocale &locale)
{
    // An empty count stops the computation before anything else is looked at.
    if (isBlankText(countText))
        return refusedAmounts(Reason::CountEmpty, rules);
    const Amounts::Reading reading = readRemainder(remainderText, locale);
    if (reading.status == Amounts::Status::NotNumber)
        return refusedAmounts(Reason::RemainderNotNumber, rules);
    // Beyond the amount range no count brings one installment within its bounds.
    if (reading.status == Amounts::Status::OutOfRange)
        return refusedAmounts(Reason::AmountTooLarge, rules);
    const std::optional<Decimal> remainder = reading.value;
    if (rules.stopWhenRemainderZero && remainder->isZero())
        return {};
    const CountReading n = readCount(countText, locale);
    if (!n.ok())
        return refusedAmounts(n.reason, rules);

    const Decimal count = Decimal::fromInt(n.count);
    const Decimal amount = *Decimal::divideRoundedHalfEven(*remainder, count);
    if (!fitsBits(amount, rules.amountBits))
        return refusedAmounts(Reason::AmountTooLarge, rules);

    PlanAmounts r;
    r.outcome = Outcome::Done;
    r.remainder = *remainder;
    r.count = n.count;
    r.amount = amount;
    r.amountText = amountText(amount, locale);
    // The first installment takes up what the whole-number amount leaves over, so the N amounts
    // always add up to R.
    r.first = *remainder - amount * (count - Decimal::fromInt(1));
    r.firstText = amountTextOrEmpty(r.first, locale);
    return r;
}

QDate dueDate(const QDate &first, int k)
{
    // Always from D: stepping from the previous row would lose the day after a short month
    // (31/01 -> 28/02 -> 28/03 instead of 31/03).
    int year = 0;
    int month = 0;
    int day = 0;
    first.getDate(&year, &month, &day);
    if (!first.isValid() || k < 1 || year < 1)
        return first.addMonths(k - 1);
    // Plain Gregorian month arithmetic; QDate::addMonths gives the same dates but goes through the
    // calendar system for every row.
    const int months = (month - 1) + (k - 1);
    year += months / 12;
    month = months % 12 + 1;
    static constexpr int lengths[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int length = month == 2 && leap ? 29 : lengths[month - 1];
    return QDate(year, month, std::min(day, length));
}

QString dateSeparator(const QLocale &locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString run;
    bool afterField = false;
    bool inQuote = false;
    for (const QChar c : format) {
        if (c == u'\'') {
            inQuote = !inQuote;
            continue;
        }
        if (inQuote)
            continue;
        if (c.isLetter()) {
            if (afterField && !run.isEmpty())
                break;
            afterField = true;
            continue;
        }
        if (afterField)
            run += c;
    }
    const QString trimmed = run.trimmed();
    // A locale whose short date is spelled with blanks ("8 Dec 2026") has no separator worth the
    // name: "08 12 2026" reads like three numbers, so the slash stands in.
    return trimmed.isEmpty() ? QStringLiteral("/") : trimmed;
}

namespace
{

    QString dayMonthYear(const QDate &date, const QString &sep)
    {
        return twoDigits(date.day()) + sep + twoDigits(date.month()) + sep
            + QString::number(date.year()).rightJustified(4, QLatin1Char('0'));
    }

} // namespace

QString dateText(const QDate &date, DateStyle style, const QLocale &locale)
{
    if (!date.isValid())
        return {};
    if (style == DateStyle::ShortLocale)
        return locale.toString(date, QLocale::ShortFormat);
    return dayMonthYear(date, dateSeparator(locale));
}

Schedule::Schedule(Inputs inputs, const QLocale &locale)
    : m_in(std::move(inputs))
    , m_locale(locale)
{
    if (m_in.count < 0)
        m_in.count = 0;
    if (m_in.dateStyle == DateStyle::DayMonthYear)
        m_dateSeparator = dateSeparator(m_locale);
    m_afterFirst = m_in.firstValue ? m_in.startBalance - *m_in.firstValue : m_in.startBalance;
}

Decimal Schedule::balanceAfter(int k) const
{
    if (k < 1)
        return m_in.startBalance;
    if (k == 1 || !m_in.amountValue)
        return m_afterFirst;
    return m_afterFirst - *m_in.amountValue * Decimal::fromInt(k - 1);
}

QString Schedule::rowDate(int k) const
{
    const QDate date = dueDate(k);
    if (!date.isValid())
        return {};
    if (m_in.dateStyle == DateStyle::DayMonthYear)
        return dayMonthYear(date, m_dateSeparator);
    return m_locale.toString(date, QLocale::ShortFormat);
}

QDate Schedule::dueDate(int k) const
{
    return Installments::dueDate(m_in.firstDate, k);
}

QString Schedule::cell(int k, int column) const
{
    switch (column) {
    case 0:
        return QString::number(k);
    case 1:
        return rowDate(k);
    case 2:
        return k == 1 ? m_in.firstText : m_in.amountText;
    case 3:
        return amountTextOrEmpty(balanceAfter(k), m_locale);
    default:
        return {};
    }
}

ScheduleRow Schedule::row(int k) const
{
    return { cell(k, 0), cell(k, 1), cell(k, 2), cell(k, 3) };
}

QList<Decimal> Schedule::balances() const
{
    QList<Decimal> out;
    out.reserve(count());
    // Row by row the balance is one subtraction from the previous one, as on paper (adding the
    // negated amount spares negating it again for every row).
    const Decimal step = m_in.amountValue ? -*m_in.amountValue : Decimal();
    Decimal balance = m_afterFirst;
    for (int k = 1; k <= count(); ++k) {
        if (k > 1)
            balance = balance + step;
        out.append(balance);
    }
    return out;
}

QList<ScheduleRow> Schedule::rows() const
{
    QList<ScheduleRow> out;
    out.reserve(count());
    const QList<Decimal> balance = balances();
    for (int k = 1; k <= count(); ++k) {
        out.append({ QString::number(k), rowDate(k), k == 1 ? m_in.firstText : m_in.amountText,
            amountTextOrEmpty(balance.at(k - 1), m_locale) });
    }
    return out;
}

SchedulePlan calcAllInst(QStringView remainderText, QStringView countText, const QDate &firstDate,
    const QString &amountFieldText, const QString &firstFieldText, const Rules &rules, const QLocale &locale)
{
    SchedulePlan plan;
    // The same checks as CalcInst: a plan whose amounts were refused must not be scheduled from
    // whatever stale texts the A and F fields still hold.
    const PlanAmounts amounts = calcInst(remainderText, countText, rules, locale);
    if (amounts.outcome != Outcome::Done) {
        plan.outcome = amounts.outcome;
        plan.reason = amounts.reason;
        plan.field = amounts.field;
        plan.message = amounts.message;
        return plan;
    }
    Schedule::Inputs in;
    in.startBalance = amounts.remainder;
    in.count = amounts.count;
    in.firstDate = firstDate;
    in.firstText = firstFieldText;
    in.amountText = amountFieldText;
    // The rows subtract what the fields show. Where a field's text cannot be read back as a number
    // in this locale (amount texts always carry a point, which a comma locale reads differently),
    // the computed value stands in, so the balance still runs down to zero.
    in.firstValue = textValue(firstFieldText, locale).value_or(amounts.first);
    in.amountValue = textValue(amountFieldText, locale).value_or(amounts.amount);
    in.dateStyle = rules.dateStyle;
    plan.outcome = Outcome::Done;
    plan.schedule = Schedule(std::move(in), locale);
    return plan;
}

QStringList ScheduleModel::calculatorHeaders()
{
    return { QStringLiteral("S"), QStringLiteral("Installment Date"), QStringLiteral("Amount"),
        QStringLiteral("Balance") };
}

ScheduleModel::ScheduleModel(QObject *parent)
    : ScheduleModel(calculatorHeaders(), parent)
{
}

ScheduleModel::ScheduleModel(const QStringList &headers, QObject *parent)
    : QAbstractTableModel(parent)
    , m_headers(headers)
{
}

void ScheduleModel::setSchedule(const Schedule &schedule)
{
    beginResetModel();
    m_schedule = schedule;
    endResetModel();
}

void ScheduleModel::clear()
{
    setSchedule(Schedule());
}

int ScheduleModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_schedule.count();
}

int ScheduleModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 4;
}

namespace
{

    QVariant columnAlignment(int column)
    {
        const Qt::Alignment horizontal = column >= 2 ? Qt::AlignRight : Qt::AlignLeft;
        return QVariant::fromValue(Qt::Alignment(horizontal | Qt::AlignVCenter));
    }

} // namespace

QVariant ScheduleModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_schedule.count() || index.column() >= 4)
        return {};
    if (role == Qt::DisplayRole)
        return m_schedule.cell(index.row() + 1, index.column());
    if (role == Qt::TextAlignmentRole)
        return columnAlignment(index.column());
    return {};
}

QVariant ScheduleModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= 4)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return section < m_headers.size() ? m_headers.at(section) : QString();
    if (role == Qt::TextAlignmentRole)
        return columnAlignment(section);
    return {};
}

} // namespace Installments
