#pragma once

// OfferModel: the main window's offer and the one way to change it.
//
// The window's rows, client data and total are views of this model: what a person types is written
// into it, and the widgets show what it holds, told by rowChanged, headerChanged and totalChanged.
// Saving, printing, re-pricing and the installment calculator read the offer from here, never from
// the widgets. A change that leaves a value as it was changes nothing and tells nothing, so a view
// that writes back what it was just told ends there.

#include "offer.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

class OfferModel final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OfferModel)

public:
    explicit OfferModel(QObject *parent = nullptr);

    const Offer &offer() const { return m_offer; }
    const OfferRow &row(int index) const { return m_offer.row(index); }

    // The whole offer at once: one opened, started anew or re-priced. One without a date is dated
    // now; one without a valid-until day holds for the default number of days from its date.
    void setOffer(const Offer &offer);

    void setShop(const QString &shop);
    void setClient(const QString &client);
    void setSeller(const QString &seller);
    void setDate(const QDateTime &date);
    // The last day the offer holds; a day that is no date changes nothing.
    void setValidUntil(const QDate &day);

    // An id typed or stepped to. Which item it names, and so its list price, is known again only
    // when it is looked up.
    void setItemId(int index, const QString &id);
    // The row's item as the price list holds it: its description, and its price, which becomes the
    // amount as well (as the list stores it), and what the shop pays for it (nullopt: not known). A
    // field the list holds no value for leaves what the row has there.
    void takeListItem(int index, const std::optional<QString> &description, const std::optional<Price> &price,
        const std::optional<Price> &cost = std::nullopt);
    void setAmountText(int index, const QString &text);

    // Whether the row's amount is a number too large to be an amount, which no total can hold; as
    // the row read it (OfferRow::amount).
    bool amountRefused(int index) const;
    // The total as the window shows it: every digit, two decimals, as the offer adds it. It is only
    // a total while refused (when given) is -1; else it names the first row that cannot be added.
    QString totalText(int *refused = nullptr) const { return m_offer.totalText(refused); }

    // What the offer earns over what the shop pays (offermargins.h), as the counter shows it: a
    // row's margin ("18.5% (1,080.00)", "—" without a cost, empty for an empty row), the offer's,
    // and whether a row's amount is below its cost. They change with rowChanged and totalChanged.
    QString marginText(int index) const;
    QString marginTotalText() const;
    bool belowCost(int index) const;
    // "Row RAM is 150.00 below cost." for each such row, named by caption(index); none when no row
    // sells below its cost.
    QStringList belowCostReasons(const std::function<QString(int)> &caption) const;

Q_SIGNALS:
    void rowChanged(int index);
    // The shop, the client, the seller, the date or the valid-until day.
    void headerChanged();
    // An amount changed: the total, or why there is none, may read differently.
    void totalChanged();
    // Another offer took this one's place (a new one, one opened, one re-priced): after the
    // signals of what it changed.
    void offerReplaced();

private:
    void changeRow(int index, const OfferRow &row);
    void changeHeader(QString Offer::*field, const QString &text);

    Offer m_offer;
};
