#pragma once

// An offer made into an order: what the order database is to hold for a saved revision. Every
// chosen row becomes one order line of quantity 1 at the row's amount, so the lines add up to the
// offer's total; the order's reference names the revision ("Offer 12/2"), which is how the order
// is found again should the offer fail to learn its number.

#include "decimal.h"
#include "offer.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace OfferOrder
{

// "Offer N/R".
QString reference(int number, int revision);

// A row the salesperson filled: an item picked, or an amount that enters the total.
bool isChosen(const OfferRow &row);
bool hasChosenRow(const Offer &offer);

struct Line {
    int row = 0; // the offer's row it comes from
    QString productId;
    QString description;
    Decimal amount;
};

// The installment plan chosen for the order, as the calculator gave it.
struct Plan {
    Decimal deposit;
    Decimal installmentTotal; // what is paid in installments
    int count = 0;
};

struct Draft {
    QString reference;
    QString client; // trimmed
    QString soldBy;
    QString source; // the counter's name
    QDate date;
    Decimal total;
    Decimal paid; // the deposit when there is a plan, else 0
    Decimal remaining; // total - paid
    std::optional<Plan> plan;
    QList<Line> lines;
};

// The order for the revision; nullopt when no row is chosen (an empty order is no order).
std::optional<Draft> draftOf(const Offer &offer, int number, int revision, const QString &source,
    const QDate &date, const std::optional<Plan> &plan);

} // namespace OfferOrder
