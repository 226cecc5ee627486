#include "offerordering.h"

#include "core/amount.h"
#include "core/offermodel.h"
#include "core/version.h"
#include "offeractions.h"
#include "orders/orderconnection.h"
#include "orders/orderdb.h"
#include "rowtexts.h"
#include "store/offerprogress.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QSysInfo>

namespace
{

const QString NotMade
    = QStringLiteral("The order was not made: nothing was written to the order database and "
                     "the offer is as it was.\n\n");

// A figure of the plan as the calculator put it on paper.
std::optional<Decimal> figure(const PlanPrintout &plan, const QString &caption)
{
    for (const auto &[name, text] : plan.figures) {
        if (name == caption)
            return Amounts::localeNumber(text.trimmed());
    }
    return std::nullopt;
}

} // namespace

OfferOrdering::OfferOrdering(OfferActions *actions, OfferModel *model, Store *store, QWidget *window)
    : QObject(actions)
    , m_actions(actions)
    , m_model(model)
    , m_store(store)
    , m_window(window)
{
    setObjectName(QStringLiteral("OfferOrdering"));
    m_askInstallments = [this]() -> std::optional<bool> {
        const auto answer = QMessageBox::question(m_window, QString::fromUtf16(AppTitle),
            QStringLiteral("Is the order paid in installments?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No);
        if (answer == QMessageBox::Cancel)
            return std::nullopt;
        return answer == QMessageBox::Yes;
    };
    m_chooseCustomer
        = [this](const QString &client, const QList<OrderPlacement::Customer> &near) -> CustomerChoice {
        QStringList items { QStringLiteral("A new customer: %1").arg(client) };
        for (const OrderPlacement::Customer &c : near)
            items << QStringLiteral("%1 (customer %2)").arg(c.name).arg(c.id);
        bool ok = false;
        const QString chosen = QInputDialog::getItem(m_window, QString::fromUtf16(AppTitle),
            QStringLiteral("No customer is named exactly \"%1\". Whom is the order for?").arg(client), items,
            0, false, &ok);
        if (!ok)
            return {};
        const qsizetype at = items.indexOf(chosen);
        if (at <= 0)
            return { CustomerChoice::New, 0 };
        return { CustomerChoice::Existing, near.at(at - 1).id };
    };
}

void OfferOrdering::tell(const QString &message)
{
    m_actions->tell(message);
}

bool OfferOrdering::run()
{
    const Offer &offer = m_model->offer();
    if (!OfferOrder::hasChosenRow(offer)) {
        tell(QStringLiteral("An offer with no chosen row cannot become an order: pick an item first."));
        return false;
    }
    if (offer.client.trimmed().isEmpty()) {
        tell(QStringLiteral("An order is made for a customer: type the client's name first."));
        return false;
    }
    // Like printing, the offer is kept first: an order is always made from a saved revision.
    const std::optional<OfferKey> key = m_actions->keptRevision();
    if (!key)
        return false;
    const auto linked = OfferProgress(m_store).orderOf(*key);
    if (!linked) {
        tell(linked.error().text());
        return false;
    }
    if (*linked) {
        tell(QStringLiteral("Offer %1/%2 is already order %3")
                 .arg(key->number)
                 .arg(key->revision)
                 .arg(**linked));
        return false;
    }
    // Declared before the placement, so it is gone before the connection closes.
    const OrderConnection connection(QStringLiteral("IMS-make-order"));
    if (!connection.isOpen()) {
        tell(NotMade
            + (connection.alreadyInUse() ? QStringLiteral("The order database is in use by another window.")
                                         : connection.error()));
        return false;
    }
    OrderPlacement placement(connection.database());
    const std::optional<Made> made = makeInOrderDatabase(*key, placement);
    if (!made || !keepLink(*key, *made))
        return false;
    m_actions->progressMade();
    if (made->found)
        tell(QStringLiteral(
            "Offer %1/%2 had been made into order %3 before, but the offer had not learnt of it; "
            "it knows now.")
                 .arg(key->number)
                 .arg(key->revision)
                 .arg(made->order));
    if (m_showOrder)
        m_showOrder(made->customer, made->order);
    return true;
}

std::optional<OfferOrdering::Made> OfferOrdering::makeInOrderDatabase(
    const OfferKey &key, OrderPlacement &placement)
{
    // An earlier attempt may have written the order and failed to keep the link.
    const OrderPlacement::Found earlier
        = placement.orderWithReference(OfferOrder::reference(key.number, key.revision));
    if (!earlier.read) {
        tell(NotMade + placement.lastError());
        return std::nullopt;
    }
    if (earlier.order)
        return Made { earlier.order->customer, earlier.order->order, true };
    std::optional<OfferOrder::Draft> order = draft(key);
    if (!order)
        return std::nullopt;
    const CustomerChoice customer = chooseCustomer(placement, order->client);
    if (customer.kind == CustomerChoice::Cancel)
        return std::nullopt;
    const bool newCustomer = customer.kind == CustomerChoice::New;
    if (const QString misfit = placement.misfit(*order, newCustomer); !misfit.isEmpty()) {
        tell(NotMade + misfit);
        return std::nullopt;
    }
    const auto placed
        = placement.place(*order, newCustomer ? std::nullopt : std::optional<qint32>(customer.id));
    if (!placed) {
        tell(NotMade + OrderDb::refusedWriteMessage(placement.lastError()));
        return std::nullopt;
    }
    return Made { placed->customer, placed->order, false };
}

std::optional<OfferOrder::Draft> OfferOrdering::draft(const OfferKey &key)
{
    const auto plan = askPlan();
    if (!plan)
        return std::nullopt;
    std::optional<OfferOrder::Draft> order = OfferOrder::draftOf(
        m_model->offer(), key.number, key.revision, QSysInfo::machineHostName(), QDate::currentDate(), *plan);
    if (!order)
        return std::nullopt;
    // A line without a description of its own says which row it is.
    for (OfferOrder::Line &line : order->lines) {
        if (line.description.trimmed().isEmpty())
            line.description = RowTexts::plainCaption(line.row);
    }
    return order;
}

std::optional<std::optional<OfferOrder::Plan>> OfferOrdering::askPlan()
{
    const std::optional<bool> installments
        = m_askInstallments ? m_askInstallments() : std::optional<bool>(false);
    if (!installments)
        return std::nullopt;
    if (!*installments)
        return std::optional<OfferOrder::Plan>();
    const std::optional<PlanPrintout> printout = m_actions->askPlan();
    if (!printout)
        return std::nullopt;
    const auto deposit = figure(*printout, QStringLiteral("Deposit"));
    const auto rest = figure(*printout, QStringLiteral("Remainder"));
    const auto count = figure(*printout, QStringLiteral("No of Installments"));
    const long long whole = count ? count->toInt64().value_or(0) : 0;
    if (!deposit || !rest || whole <= 0 || whole > 32767) {
        tell(NotMade
            + QStringLiteral("The plan's deposit, remainder or number of installments is no number."));
        return std::nullopt;
    }
    return std::optional<OfferOrder::Plan>(OfferOrder::Plan { *deposit, *rest, int(whole) });
}

OfferOrdering::CustomerChoice OfferOrdering::chooseCustomer(OrderPlacement &placement, const QString &client)
{
    const auto customers = placement.customersFor(client);
    if (!customers) {
        tell(NotMade + placement.lastError());
        return {};
    }
    if (customers->same.size() == 1)
        return { CustomerChoice::Existing, customers->same.first().id };
    // Several customers of that very name, or none but some near it: the person says whom.
    const QList<OrderPlacement::Customer> near = customers->same + customers->near;
    if (near.isEmpty())
        return { CustomerChoice::New, 0 };
    return m_chooseCustomer ? m_chooseCustomer(client, near) : CustomerChoice();
}

bool OfferOrdering::keepLink(const OfferKey &key, const Made &made)
{
    const StoreError failure = OfferProgress(m_store).linkOrder(key, made.order);
    if (!failure.isValid())
        return true;
    tell(QStringLiteral("Order %1 is in the order database, but offer %2/%3 could not be marked as made into "
                        "it:\n\n%4\n\nMake Order again marks it, without making a second order.")
             .arg(made.order)
             .arg(key.number)
             .arg(key.revision)
             .arg(failure.text()));
    return false;
}
