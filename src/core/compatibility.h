#pragma once

#include "partattributes.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

// Whether the parts chosen for one PC fit together. Each rule compares chosen rows; a rule that
// needs an attribute nobody has given (or only the program has guessed) says nothing, and is
// counted as a check that could not be made, never as a problem.
namespace Compatibility
{

constexpr int RowCount = 17;

// For each of the offer's rows, what is known about its item; nullopt when nothing is chosen.
using Parts = std::array<std::optional<PartAttributes>, RowCount>;

// What the rules read of an item: its accepted attributes, read once. A picker asking about every
// item of a long list reads each item's attributes when the list opens, not at every question.
class Facts final
{
public:
    Facts() = default;
    explicit Facts(const PartAttributes &attributes);
    const QString *word(Attribute attribute) const; // nullptr when not known
    const QStringList &words(Attribute attribute) const; // empty when not known
    std::optional<int> number(Attribute attribute) const;

private:
    QString m_socket, m_memoryType, m_formFactor, m_interface;
    QStringList m_memoryTypes, m_caseForms;
    std::array<int, 9> m_numbers { -1, -1, -1, -1, -1, -1, -1, -1, -1 }; // -1: not known
};

struct Problem {
    QList<int> rows; // the rows the rule involves
    QString reason; // "Processor AM5 does not fit the board's LGA1700 socket"
};

struct Unchecked {
    QList<int> rows;
    QString what; // which check, and what is not known
};

struct Report {
    QList<Problem> problems;
    QList<Unchecked> unchecked;

    bool involves(int row) const;
    // "3 checks could not be made: unknown attributes", or empty when all could be made.
    QString uncheckedSummary() const;
};

Report check(const Parts &parts);

// Whether items would fit in `row` beside the other rows' parts: no rule they would take part in
// is broken (what is not known counts as fitting).
class Fitting final
{
public:
    Fitting(const Parts &parts, int row);
    bool fits(const Facts &candidate) const;
    // Unsure: it fits as far as is known, but a rule it takes part in could not be made because
    // something about the candidate itself is not known.
    enum class Verdict : quint8 { Fits, Unsure, DoesNotFit };
    Verdict verdict(const Facts &candidate) const;

private:
    std::array<std::optional<Facts>, RowCount> m_others;
    int m_row;
};
bool fits(const Parts &parts, int row, const PartAttributes &candidate);

} // namespace Compatibility
