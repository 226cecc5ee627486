#pragma once

#include "amount.h"
#include "decimal.h"
#include "offerstatus.h"
#include "price.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

// One row of an offer: the component category it belongs to and what the salesperson put in it.
struct OfferRow {
    QString category; // "0" to "16", the row's index in decimal digits
    QString itemId; // the id as the picker shows it; empty when nothing was picked
    QString description; // as the row shows it
    // The price the item had in the price list when it was picked; nullopt when nothing was
    // picked. Lets a later reading tell a typed-over amount from a list price that has changed.
    std::optional<Price> listPrice;
    // What the shop paid for the item as the list held it when it was picked; nullopt when that
    // is not known. Kept with the offer, so its margin reads as it was.
    std::optional<Price> cost;

    // The amount box's text, exactly as typed or as it came from the list, and the number it holds
    // as the amount box reads it (the number it begins with, in the present locale), read once
    // when the text is set.
    const QString &amountText() const { return m_amountText; }
    const Amounts::Reading &amount() const { return m_amount; }
    void setAmountText(const QString &text);

    // What the row holds: the same texts (list prices as stored, not merely the same price).
    bool operator==(const OfferRow &other) const;

private:
    QString m_amountText;
    Amounts::Reading m_amount;
};

// An offer for one PC as the salesperson builds it: who it is for and from, and seventeen rows.
// The main window edits it through its model (OfferModel, offermodel.h); the total, printing and
// everything that keeps or re-prices an offer read it from there rather than from the widgets.
class Offer final
{
public:
    static constexpr int RowCount = 17;

    Offer();
    // A new offer from this shop and sales executive: no client, no items, every amount 0.00,
    // valid for the shop's number of days from its date.
    static Offer blank(const QString &shop, const QString &seller, const QDateTime &date,
        int validDays = OfferStatus::DefaultValidDays);

    // Whether the two hold the same work: client, rows and the day the offer holds until. The shop,
    // the seller and the date are filled in by the window itself and do not make an offer worth
    // keeping.
    bool sameWork(const Offer &other) const;

    QString shop; // shop name and telephone
    QString client; // client name and telephone
    QString seller; // sales executive
    QDateTime date;
    // The last day the offer holds; what the client is told on paper and what its status is worked
    // out from.
    QDate validUntil;

    const OfferRow &row(int index) const { return m_rows.at(static_cast<size_t>(index)); }
    OfferRow &row(int index) { return m_rows.at(static_cast<size_t>(index)); }

    // An item picked from the price list: id, description and its list price as the list stores
    // it, which also becomes the row's amount.
    void pickItem(int index, const QString &id, const QString &description, const QString &price,
        const std::optional<Price> &cost = std::nullopt);

    // The exact sum of the rows' amounts. An amount too large to be a price is left out; refused
    // (when given) names the first such row, else -1.
    Decimal total(int *refused = nullptr) const;
    // The total as the window shows it: every digit, two decimals.
    QString totalText(int *refused = nullptr) const;

    bool operator==(const Offer &) const = default;

private:
    std::array<OfferRow, RowCount> m_rows;
};
