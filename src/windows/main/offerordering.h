#pragma once

// Offer > "Make &Order...": the revision shown becomes one order in the order database, in two
// steps that can never leave half an order behind. First the whole order (customer, order, lines)
// is written to the order database in one transaction (orders/orderplacement.h); then the offer
// keeps the link (store/offerprogress.h). Should the second step fail, the order's reference
// ("Offer 12/2") lets the next attempt find the order and keep the link instead of making a second
// order; a revision with a link is refused with the order's number. Everything that could refuse
// the order (no chosen row, a value a column cannot hold, a missing data source) is said before
// anything is written. The order window then opens on the new order, through the application's
// wiring.

#include "core/offerorder.h"
#include "orders/orderplacement.h"
#include "store/offerrepository.h"

#include <QObject>

#include <functional>
#include <optional>

class OfferActions;
class OfferModel;
class QWidget;
class Store;

class OfferOrdering final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OfferOrdering)

public:
    OfferOrdering(OfferActions *actions, OfferModel *model, Store *store, QWidget *window);

    // Whether the order is paid in installments: true asks for the plan in the calculator, false
    // makes it without one, nullopt cancels.
    void setAskInstallments(std::function<std::optional<bool>()> f) { m_askInstallments = std::move(f); }
    // The customer the order is for, among those whose names come near the client text: one of
    // them (Existing, with its id), a new customer named after the client, or none (Cancel).
    struct CustomerChoice {
        enum Kind { Cancel, New, Existing } kind = Cancel;
        qint32 id = 0;
    };
    void setChooseCustomer(
        std::function<CustomerChoice(const QString &client, const QList<OrderPlacement::Customer> &near)> f)
    {
        m_chooseCustomer = std::move(f);
    }
    // Shows the order made (or found again); set by the application's wiring.
    void setShowOrder(std::function<void(qint32 customer, qint32 order)> f) { m_showOrder = std::move(f); }

    // The menu item. true when the offer is now linked to its order.
    bool run();

private:
    struct Made {
        qint32 customer = 0;
        qint32 order = 0;
        bool found = false; // made by an earlier attempt, found by its reference
    };
    // The order written to the order database, or found there; nullopt when not (said why).
    std::optional<Made> makeInOrderDatabase(const OfferKey &key, OrderPlacement &placement);
    std::optional<OfferOrder::Draft> draft(const OfferKey &key);
    std::optional<std::optional<OfferOrder::Plan>> askPlan();
    CustomerChoice chooseCustomer(OrderPlacement &placement, const QString &client);
    bool keepLink(const OfferKey &key, const Made &made);
    void tell(const QString &message);

    OfferActions *m_actions;
    OfferModel *m_model;
    Store *m_store;
    QWidget *m_window;
    std::function<std::optional<bool>()> m_askInstallments;
    std::function<CustomerChoice(const QString &, const QList<OrderPlacement::Customer> &)> m_chooseCustomer;
    std::function<void(qint32, qint32)> m_showOrder;
};
