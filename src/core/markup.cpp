#include "markup.h"

#include "amount.h"

#include <QLocale>

namespace Markup
{

namespace
{

    // The step in cents.
    long long cents(Step step)
    {
        switch (step) {
        case Step::Cent:
            return 1;
        case Step::One:
            return 100;
        case Step::Five:
            return 500;
        case Step::Ten:
            return 1000;
        case Step::Fifty:
            return 5000;
        case Step::Hundred:
            return 10000;
        }
        return 1;
    }

    const char *const StepTexts[] = { "none", "1", "5", "10", "50", "100" };

} // namespace

Rule Rules::forCategory(const QString &category) const
{
    return m_own.value(category, defaultRule);
}

std::optional<Rule> Rules::own(const QString &category) const
{
    const auto it = m_own.constFind(category);
    return it == m_own.cend() ? std::nullopt : std::optional<Rule>(*it);
}

void Rules::setOwn(const QString &category, const std::optional<Rule> &rule)
{
    if (rule)
        m_own.insert(category, *rule);
    else
        m_own.remove(category);
}

QString stepText(Step step)
{
    return QString::fromLatin1(StepTexts[static_cast<int>(step)]);
}

std::optional<Step> stepFromText(QStringView text)
{
    for (int i = 0; i < static_cast<int>(std::size(StepTexts)); ++i) {
        if (text.trimmed() == QLatin1String(StepTexts[i]))
            return static_cast<Step>(i);
    }
    return std::nullopt;
}

std::optional<Decimal> readPercent(QStringView typed, const QLocale &locale)
{
    QStringView text = typed.trimmed();
    if (text.endsWith(u'%'))
        text = text.chopped(1).trimmed();
    // A markup is a number, not a price: below zero it is a discount.
    const std::optional<Decimal> value = Amounts::localeNumber(text, locale);
    if (!value || !(Decimal::fromInt(-100) < *value) || Decimal::fromInt(10000) < *value)
        return std::nullopt;
    return value;
}

Decimal listPrice(const Decimal &cost, const Rule &rule)
{
    // In cents: cost × (100 + percent), then up to a whole number of steps.
    const Decimal value = cost * (Decimal::fromInt(100) + rule.percent);
    const Decimal step = Decimal::fromInt(cents(rule.step));
    Decimal steps = *Decimal::divideRoundedHalfEven(value, step);
    if (steps * step < value)
        steps = steps + Decimal::fromInt(1);
    static const Decimal cent = *Decimal::fromPlain(u"0.01");
    return steps * step * cent;
}

Price listPriceText(const Decimal &cost, const Rule &rule)
{
    return Price::fromStored(listPrice(cost, rule).exactText());
}

bool isRulePrice(const Price &price, const Decimal &cost, const Rule &rule)
{
    return price.isNumber() && price.number() && *price.number() == listPrice(cost, rule);
}

} // namespace Markup
