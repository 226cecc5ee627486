#include "costpanel.h"

#include "core/margin.h"
#include "core/markup.h"
#include "store/itemcosttable.h"
#include "store/markupruletable.h"
#include "store/store.h"
#include "widgets/numericedit.h"
#include "widgets/windowtext.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace
{

bool sameCost(const std::optional<Price> &a, const std::optional<Price> &b)
{
    return a.has_value() == b.has_value() && (!a || a->isSameAs(*b));
}

} // namespace

CostPanel::CostPanel(Store *store, const QString &category, NumericEdit *priceBox, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
    , m_category(category)
    , m_priceBox(priceBox)
{
    auto *label = new QLabel(QStringLiteral("C&ost"), this);
    label->setObjectName(QStringLiteral("lblcost"));
    m_costBox = new NumericEdit(this);
    m_costBox->setObjectName(QStringLiteral("txtcost"));
    WindowText::limitLength(m_costBox, WindowText::AmountLength);
    m_costBox->setPlaceholderText(QStringLiteral("not known"));
    m_costBox->setAccessibleName(QStringLiteral("Cost"));
    label->setBuddy(m_costBox);
    m_margin = new QLabel(Margin::unknownText(), this);
    m_margin->setObjectName(QStringLiteral("lblmargin"));
    m_margin->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_markupButton = new QPushButton(QStringLiteral("Apply &markup"), this);
    m_markupButton->setObjectName(QStringLiteral("cmdmarkup"));
    m_markupButton->setAutoDefault(false);
    m_markupButton->setToolTip(QStringLiteral("Set the price from the cost by the markup rule"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(m_costBox, 1);
    layout->addWidget(m_margin, 1);
    layout->addWidget(m_markupButton);

    connect(m_costBox, &QLineEdit::textChanged, this, &CostPanel::showMargin);
    connect(m_priceBox, &QLineEdit::textChanged, this, &CostPanel::showMargin);
    connect(m_markupButton, &QPushButton::clicked, this, &CostPanel::applyMarkup);
}

void CostPanel::load(const QString &id)
{
    const StoreResult<std::optional<Price>> kept = id.isEmpty()
        ? StoreResult<std::optional<Price>>(std::optional<Price>())
        : ItemCostTable(m_store).read(m_category, id);
    setEnabled(kept.ok());
    setToolTip(kept ? QString() : QStringLiteral("The cost cannot be read: %1").arg(kept.error().text()));
    m_seen = kept ? *kept : std::nullopt;
    if (m_seen)
        m_costBox->setPrice(*m_seen);
    else
        m_costBox->clear();
    m_shown = m_costBox->text();
    m_checked = m_seen;
    showMargin();
}

std::optional<Price> CostPanel::typedCost(QString *refusal) const
{
    if (m_costBox->text() == m_shown)
        return m_seen;
    if (m_costBox->text().trimmed().isEmpty())
        return std::nullopt;
    const PriceReading typed = m_costBox->price(Price::Decimals::AsEntered);
    if (!typed.ok()) {
        *refusal = typed.refusal.problem == Price::Problem::OutOfRange
            ? Amounts::outOfRangeMessage(QStringLiteral("Cost"), typed.refusal.written)
            : QStringLiteral("Cost: \"%1\" is not a number. Type a cost such as 1250 or 12.50, or leave "
                             "it empty when it is not known.")
                  .arg(typed.refusal.written.left(40));
        return std::nullopt;
    }
    if (!typed.price->mayBeCost()) {
        *refusal = QStringLiteral("Cost: a cost cannot be below zero (%1).").arg(m_costBox->text().trimmed());
        return std::nullopt;
    }
    return typed.price;
}

void CostPanel::showMargin()
{
    QString refusal;
    const std::optional<Price> cost = typedCost(&refusal);
    const PriceReading price = m_priceBox->price(Price::Decimals::AsEntered);
    const QString figures
        = refusal.isEmpty() && price.ok() ? Margin::figures(cost, *price.price) : Margin::unknownText();
    m_margin->setText(figures == Margin::unknownText() ? figures : QStringLiteral("Margin %1").arg(figures));
    m_margin->setAccessibleName(
        m_margin->text() == Margin::unknownText() ? QStringLiteral("Margin not known") : m_margin->text());
}

void CostPanel::applyMarkup()
{
    QString refusal;
    const std::optional<Price> cost = typedCost(&refusal);
    if (!refusal.isEmpty())
        return tell(refusal);
    if (!cost)
        return tell(QStringLiteral("Cost: enter what the shop pays for the item first; the price is "
                                   "worked out from it."));
    const auto rules = MarkupRuleTable(m_store).read();
    if (!rules)
        return tell(QStringLiteral("The markup rules cannot be read: %1").arg(rules.error().text()));
    m_priceBox->setPrice(Markup::listPriceText(*cost->number(), rules->forCategory(m_category)));
    m_priceBox->setFocus(Qt::OtherFocusReason);
}

bool CostPanel::check()
{
    if (!isEnabled())
        return true;
    QString refusal;
    const std::optional<Price> cost = typedCost(&refusal);
    if (!refusal.isEmpty()) {
        tell(refusal);
        return false;
    }
    m_checked = cost;
    return true;
}

bool CostPanel::saveWith(
    const QString &id, const QString &description, const std::function<bool()> &writeItem)
{
    // A cost left as it was read is not written, and costs the list nothing.
    if (!isEnabled() || sameCost(m_checked, m_seen)) {
        writeItem();
        return true;
    }
    ItemCostTable costs(m_store);
    StoreError costFailure;
    if (!costs.ensureSchema()) {
        costFailure = m_store->lastError();
    } else {
        bool itemFailed = false;
        const bool done = m_store->inTransaction([&] {
            if (!writeItem()) {
                itemFailed = true;
                return false;
            }
            costFailure
                = costs.set({ m_category, id, m_seen, m_checked, description }, QDateTime::currentDateTime());
            return !costFailure.isValid();
        });
        // A transaction that could not begin or commit wrote nothing, though the item and its cost
        // were both accepted: that is no success to report.
        if (!done && !itemFailed && !costFailure.isValid())
            costFailure = m_store->lastError();
    }
    if (!costFailure.isValid())
        return true;
    if (costFailure.kind() == StoreError::Kind::Conflict) {
        const auto now = costs.read(m_category, id);
        if (now) {
            m_seen = *now;
            m_shown = m_seen ? m_seen->fieldText() : QString();
        }
        tell(QStringLiteral("Another counter changed the cost of this item after you looked it up, so "
                            "your change was not saved. It now reads:\n\nCost: %1\n\nPress Update again "
                            "to save yours over it, or Cancel.")
                 .arg(m_seen ? m_seen->text() : QStringLiteral("not known")));
    } else {
        tell(QStringLiteral("The item was not saved, because its cost could not be: %1")
                 .arg(costFailure.text()));
    }
    return false;
}

void CostPanel::tell(const QString &message)
{
    QMessageBox box(QMessageBox::Warning, window()->windowTitle(), message, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("frmadtRefusal"));
    box.exec();
    m_costBox->setFocus(Qt::OtherFocusReason);
}
