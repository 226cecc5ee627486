#pragma once

#include "decimal.h"
#include "price.h"

#include <QMap>
#include <QString>

#include <optional>

// How the shop prices what it sells from what it pays: for each row's category a markup in
// percent and a step the price is rounded up to, and a default for the categories without their
// own. Exact decimal arithmetic throughout: a price from a rule is the same on every counter.
namespace Markup
{

enum class Step { Cent, One, Five, Ten, Fifty, Hundred };

struct Rule {
    Decimal percent;
    Step step = Step::Cent;
    bool operator==(const Rule &other) const { return percent == other.percent && step == other.step; }
};

class Rules final
{
public:
    Rule defaultRule;
    // The category's own rule, or the default.
    Rule forCategory(const QString &category) const;
    // nullopt: the category follows the default.
    std::optional<Rule> own(const QString &category) const;
    void setOwn(const QString &category, const std::optional<Rule> &rule);
    const QMap<QString, Rule> &owned() const { return m_own; }

private:
    QMap<QString, Rule> m_own;
};

// The steps as the markup window lists them ("none" rounds up to the cent), and back.
QString stepText(Step step);
std::optional<Step> stepFromText(QStringView text);

// A typed markup: a number of percent, "%" after it allowed, from -100 (exclusive: a price of
// nothing) to 10000; nullopt when it is none of that.
std::optional<Decimal> readPercent(QStringView typed, const QLocale &locale);

// cost × (1 + percent / 100), rounded up to the step.
Decimal listPrice(const Decimal &cost, const Rule &rule);
// The same, as a price the list keeps ("1190", "1185.5").
Price listPriceText(const Decimal &cost, const Rule &rule);
// Whether the list price is the one the rule gives for the cost; a price set by hand is not.
bool isRulePrice(const Price &price, const Decimal &cost, const Rule &rule);

} // namespace Markup
