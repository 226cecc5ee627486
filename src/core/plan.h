#pragma once

// The arithmetic of an installment plan, shared by the installment calculator (InstallmentCalculator) and the
// order window (OrderWindow). Nothing here touches a widget: the windows hand in the texts of their
// fields, get texts back and write them into their fields and lists.
//
// The two windows differ in a few rules (where R comes from, when the computation stops, how wide
// the whole-number installment may be, how a date is written); those live in Rules, with one
// preset per window. A computation that cannot give a sound result is refused: the caller gets a
// Refused outcome naming the field at fault and leaves every output as it was, so a window never
// shows a half-built plan.
//
// The schedule is not materialised: a Schedule holds the handful of values a plan is made of and
// computes any row on demand (the balance after row k is R - F - (k - 1) * A, exactly in decimal,
// which is what subtracting row by row gives). A list of 32767 installments is therefore ready at
// once, and ScheduleModel lets a view ask only for the rows it shows.

#include "decimal.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace Installments
{

// The installment counter is a 16-bit signed whole number.
inline constexpr int maxCount = 32767;

enum class DateStyle {
    DayMonthYear, // "dd/mm/yyyy" with the locale's own date separator in place of the slash
    ShortLocale, // the locale's short date text
};

struct Rules {
    // CalcInst stops (nothing changes) when R is 0.
    bool stopWhenRemainderZero = true;
    // The whole-number installment A must fit a signed integer of this many bits.
    int amountBits = 32;
    // Column 2 of the schedule.
    DateStyle dateStyle = DateStyle::DayMonthYear;

    static Rules calculator() { return { true, 32, DateStyle::DayMonthYear }; }
    // The order window holds A as wide as the calculator: 16 bits would refuse (or overflow on)
    // any plan above 32767 a month, an everyday amount for a computer on installments.
    static Rules order() { return { false, 32, DateStyle::ShortLocale }; }
};

enum class Outcome {
    Done, // outputs computed: write them
    Unchanged, // a stop rule held: leave every output as it is, no message
    Refused, // the input cannot give a sound result: leave every output as it is, show message
};

enum class Field { None, Remainder, Count };

enum class Reason {
    None,
    RemainderNotNumber,
    AmountTooLarge, // R / N brought to a whole number does not fit Rules::amountBits
    CountEmpty,
    CountNotNumber,
    CountNotWhole,
    CountNotPositive, // zero or negative
    CountTooLarge, // above maxCount
};

// The message the calculator shows for a refusal (English; the order window may word its own).
QString refusalMessage(Reason reason, const Rules &rules = Rules::calculator());
Field refusalField(Reason reason);

// The count N read from its text: a whole number from 1 to maxCount, or the reason it is not.
struct CountReading {
    int count = 0;
    Reason reason = Reason::None;
    bool ok() const { return reason == Reason::None; }
};
CountReading readCount(QStringView text, const QLocale &locale = QLocale());

// The value of a field's text (the locale-aware reading); nullopt when it is not wholly a number.
std::optional<Decimal> textValue(QStringView text, const QLocale &locale = QLocale());

// A number written as an amount: its plain decimal form with every digit and '.' as the point,
// padded or cut to two decimals ("833.00"); it reads back as the same number in every locale.
QString amountText(const Decimal &value, const QLocale &locale = QLocale());
QString amountTextOrEmpty(const Decimal &value, const QLocale &locale = QLocale());

// CalcInst: A and F from R and N.
struct PlanAmounts {
    Outcome outcome = Outcome::Unchanged;
    Reason reason = Reason::None; // set when Refused
    Field field = Field::None; // set when Refused
    QString message; // set when Refused

    Decimal remainder; // R
    int count = 0; // N
    Decimal amount; // A, a whole number
    Decimal first; // F = R - A * (N - 1)
    QString amountText; // for the A field: FormatAmount of the plain text of A ("833.00")
    QString firstText; // for the F field: FormatAmountOrEmpty of the plain text of F ("837.00")
};

// remainderText is read with the locale-aware reading; an empty (or blank) remainder counts as 0.
// Stop rules, in order: an empty count text gives Refused(CountEmpty) (outputs unchanged); with
// rules.stopWhenRemainderZero, R = 0 gives Unchanged; then R and N are checked and A computed.
PlanAmounts calcInst(QStringView remainderText, QStringView countText,
    const Rules &rules = Rules::calculator(), const QLocale &locale = QLocale());

// The due date of installment k (1-based): D advanced by k - 1 calendar months, counted from D,
// the day clamped to the end of a shorter month.
QDate dueDate(const QDate &first, int k);
// The date text of a schedule row.
QString dateText(const QDate &date, DateStyle style, const QLocale &locale = QLocale());
// The locale's date separator (taken from its short date format), "/" when it has none.
QString dateSeparator(const QLocale &locale = QLocale());

struct ScheduleRow {
    QString number; // "1" .. N
    QString date; // due date
    QString amount; // the text of F (row 1) or A (later rows), as the fields show it
    QString balance; // FormatAmountOrEmpty of the plain text of the balance after this row
};

// The schedule of a plan, every row computed on demand.
class Schedule
{
public:
    struct Inputs {
        Decimal startBalance; // the balance before row 1 (R)
        int count = 0; // N
        QDate firstDate; // D
        QString firstText; // the F field's text, shown in row 1
        QString amountText; // the A field's text, shown in rows 2..N
        std::optional<Decimal> firstValue; // subtracted in row 1; nullopt: nothing subtracted
        std::optional<Decimal> amountValue; // subtracted in rows 2..N; nullopt: nothing subtracted
        DateStyle dateStyle = DateStyle::DayMonthYear;
    };

    Schedule() = default;
    Schedule(Inputs inputs, const QLocale &locale = QLocale());

    int count() const { return m_in.count; }
    bool isEmpty() const { return m_in.count <= 0; }
    const Inputs &inputs() const { return m_in; }

    // Row k, 1-based (1 .. count()).
    ScheduleRow row(int k) const;
    // Column c (0 .. 3) of row k, 1-based: what a view asks for.
    QString cell(int k, int column) const;
    Decimal balanceAfter(int k) const;
    // The balance after every row, in order: element k - 1 is balanceAfter(k).
    QList<Decimal> balances() const;
    QDate dueDate(int k) const;
    // Every row, in order (for printing or tests; a view should use ScheduleModel).
    QList<ScheduleRow> rows() const;

private:
    QString rowDate(int k) const;

    Inputs m_in;
    QLocale m_locale;
    QString m_dateSeparator; // looked up once, not per row
    Decimal m_afterFirst; // the balance after row 1
};

// CalcAllInst: the schedule from R, N, D and the texts of the A and F fields.
struct SchedulePlan {
    Outcome outcome = Outcome::Unchanged;
    Reason reason = Reason::None;
    Field field = Field::None;
    QString message;
    Schedule schedule; // set when Done
};

// The calculator's CalcAllInst after its validatescreen: balance starts at R (the remainder text),
// stops (Unchanged) when R is 0, refuses a count that is not a whole number from 1 to maxCount or
// a remainder that is not a number; rows use the A and F field texts and their values (when a
// text cannot be read back, e.g. an empty F, nothing is subtracted for it).
SchedulePlan calcAllInst(QStringView remainderText, QStringView countText, const QDate &firstDate,
    const QString &amountFieldText, const QString &firstFieldText, const Rules &rules = Rules::calculator(),
    const QLocale &locale = QLocale());

// The schedule list's model: four columns, texts from a Schedule, columns 3 and 4 right-aligned.
// Only the rows a view shows are ever computed.
class ScheduleModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Headers of the calculator's list; the order window passes its own.
    static QStringList calculatorHeaders();

    explicit ScheduleModel(QObject *parent = nullptr);
    ScheduleModel(const QStringList &headers, QObject *parent = nullptr);

    // Replaces every row (a model reset).
    void setSchedule(const Schedule &schedule);
    void clear();
    const Schedule &schedule() const { return m_schedule; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList m_headers;
    Schedule m_schedule;
};

} // namespace Installments
