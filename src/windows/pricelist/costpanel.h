#pragma once

#include "core/price.h"

#include <QWidget>

#include <functional>
#include <optional>

class NumericEdit;
class QLabel;
class QPushButton;
class Store;

// The price-list editor's cost: what the shop pays for the item (txtcost, empty when it is not
// known), the margin the list price leaves over it (lblmargin, as the price is typed), and "Apply
// markup" (cmdmarkup), which sets the list price from the cost by the shop's markup rule for the
// category. The cost is written with the item, in the same transaction, so the two never part.
class CostPanel final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CostPanel)

public:
    // priceBox: the editor's price field, read for the margin and set by "Apply markup".
    CostPanel(Store *store, const QString &category, NumericEdit *priceBox, QWidget *parent = nullptr);

    NumericEdit *costBox() const { return m_costBox; }
    // Shows the item's cost as kept (unknown for an empty id, a new item). When it cannot be read
    // the panel is disabled and says why, and the item can still be edited.
    void load(const QString &id);
    // Checks the typed cost before the item is written: false after telling the person what is
    // wrong, with the focus in the field.
    bool check();
    // Writes the item by writeItem and, when the cost was changed, the cost with it, all or
    // nothing. false only when the cost was not kept (another counter changed it meanwhile, or it
    // was refused): then nothing was written and the person has been told. Otherwise whatever
    // writeItem found is the caller's to act on.
    // The description goes into the cost's record in the price history.
    bool saveWith(const QString &id, const QString &description, const std::function<bool()> &writeItem);

private:
    void showMargin();
    void applyMarkup();
    // The cost as typed: nullopt for an empty field (unknown); *refusal says why a text is none.
    std::optional<Price> typedCost(QString *refusal) const;
    void tell(const QString &message);

    Store *m_store;
    QString m_category;
    NumericEdit *m_priceBox;
    NumericEdit *m_costBox = nullptr;
    QLabel *m_margin = nullptr;
    QPushButton *m_markupButton = nullptr;
    std::optional<Price> m_seen; // as the last look-up read it
    QString m_shown; // the field's text for it
    std::optional<Price> m_checked; // what check() accepted
};
