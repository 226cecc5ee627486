#include "ordersession.h"

#include "orderdatacontrol.h"
#include "orderdb.h"

#include <QDate>
#include <QLocale>
#include <QStringBuilder>

OrderSession::OrderSession(const QSqlDatabase &db, QObject *parent)
    : QObject(parent)
{
    m_customers = new OrderDataControl(QStringLiteral("CUSTOMER"), db, this);
    m_customers->setObjectName(QStringLiteral("RSMain"));
    m_orders = new OrderDataControl(QStringLiteral("ORDERS"), db, this);
    m_orders->setObjectName(QStringLiteral("RSORDER"));
    m_lines = new OrderDataControl(QStringLiteral("ORDERDETAIL"), db, this);
    m_lines->setObjectName(QStringLiteral("RSOrderDetails"));
    connect(m_customers, &OrderDataControl::currentRowChanged, this, &OrderSession::onCustomerRow);
    connect(m_orders, &OrderDataControl::currentRowChanged, this, &OrderSession::onOrderRow);
}

bool OrderSession::fail(Failure failure, const QString &error)
{
    m_failure = failure;
    m_error = error;
    return false;
}

bool OrderSession::open()
{
    // The controls open on their whole tables first; the chain then narrows orders and lines.
    m_loading = true;
    for (OrderDataControl *control : { m_customers, m_orders, m_lines }) {
        if (!control->open()) {
            m_loading = false;
            return fail(Failure::ReadFailed,
                QStringLiteral("The table %1 of the order database \"%2\" could not be read.\n\n%3")
                    .arg(control->tableName(), OrderDb::dataSourceName(), control->lastErrorText()));
        }
    }
    m_loading = false;
    // The chain starts again from the first customer: its orders, then the first order's lines.
    onCustomerRow(m_customers->currentRow());
    return true;
}

QString OrderSession::recordName(const OrderDataControl *control) const
{
    if (control == m_customers)
        return QStringLiteral("العميل");
    if (control == m_orders)
        return QStringLiteral("الطلبية");
    return QStringLiteral("سطور الطلبية");
}

bool OrderSession::writeBeforeLeaving(OrderDataControl *from)
{
    Q_EMIT editsWanted();
    // A customer takes its orders with it and an order its lines: whatever is pending below the
    // record being left goes to the database too, before anything is requeried over it. Writing
    // in this order lets a new order reach the database before its lines.
    bool leaving = false;
    for (OrderDataControl *control : { m_customers, m_orders, m_lines }) {
        leaving = leaving || control == from;
        if (leaving && !control->writePending())
            return fail(
                Failure::WriteRefused, recordName(control) % QStringLiteral(": ") % control->lastErrorText());
    }
    return true;
}

bool OrderSession::move(OrderDataControl *control, bool (OrderDataControl::*step)())
{
    // The record being left, and what it would take off the screen, is written first; when that
    // fails everything stays where it is.
    if (!writeBeforeLeaving(control)) {
        Q_EMIT writeRefused(m_error);
        return false;
    }
    (control->*step)();
    return true;
}

bool OrderSession::showOrder(qint32 customer, qint32 order)
{
    // The chain follows: the customer shown brings its orders, the order shown its lines.
    if (!writeBeforeLeaving(m_customers))
        return false;
    if (!m_customers->moveToKey(customer))
        return fail(Failure::ReadFailed, QStringLiteral("customer %1").arg(customer));
    if (!m_orders->moveToKey(order))
        return fail(Failure::ReadFailed, QStringLiteral("order %1").arg(order));
    return true;
}

void OrderSession::onCustomerRow(int row)
{
    if (m_loading)
        return;
    const QString key = row < 0 ? QString() : m_customers->currentKey().toString();
    Q_EMIT customerShown(row, key);
    // The first showing finds the orders still holding the whole table.
    if (key != m_ordersFor || !m_ordersFollow)
        showOrdersOf(key);
}

bool OrderSession::showOrdersOf(const QString &customerText)
{
    if (m_loading)
        return true;
    // Requerying would drop the orders held, and with them the lines of the one shown: what they
    // hold is written first, and when it cannot be, they stay, under the number they belong to.
    if (!writeBeforeLeaving(m_orders)) {
        Q_EMIT writeRefused(m_error);
        return false;
    }
    m_ordersFollow = true;
    m_ordersFor = customerText;
    if (!m_orders->requery(QStringLiteral("CUSTOMERID"), m_ordersFor)) {
        fail(Failure::ReadFailed, m_orders->lastErrorText());
        Q_EMIT ordersUnreadable(m_ordersFor, m_error);
        return false;
    }
    return true;
}

void OrderSession::onOrderRow(int row)
{
    if (m_loading)
        return;
    const QString key = row < 0 ? QString() : m_orders->currentKey().toString();
    Q_EMIT orderShown(row, key);
    if (key != m_linesFor || !m_linesFollow)
        showLinesOf(key);
}

bool OrderSession::showLinesOf(const QString &orderText)
{
    if (m_loading)
        return true;
    if (!writeBeforeLeaving(m_lines)) {
        Q_EMIT writeRefused(m_error);
        return false;
    }
    m_linesFollow = true;
    m_linesFor = orderText;
    const bool read = m_lines->requery(QStringLiteral("ORDERID"), m_linesFor);
    // Lines that could not be read again are no order's lines.
    m_linesOrder = read ? OrderDb::keyValue(m_linesFor) : std::nullopt;
    if (!read) {
        fail(Failure::ReadFailed, m_lines->lastErrorText());
        Q_EMIT linesUnreadable(m_linesFor, m_error);
    }
    for (int c = 0; c < m_lineHeaders.size() && c < m_lines->columnCount(); ++c)
        m_lines->setHeaderData(c, Qt::Horizontal, m_lineHeaders.at(c));
    return read;
}

void OrderSession::setLineHeaders(const QStringList &headers)
{
    m_lineHeaders = headers;
    for (int c = 0; c < m_lineHeaders.size() && c < m_lines->columnCount(); ++c)
        m_lines->setHeaderData(c, Qt::Horizontal, m_lineHeaders.at(c));
}

OrderSession::LineOutcome OrderSession::settleLine(int row, int column, QStringView orderText)
{
    // The line belongs to the order whose number is shown, which is the order the lines were
    // read for; should the two ever differ, the line is left alone rather than handed to another
    // order. A number that is no key is left out.
    if (m_linesOrder && OrderDb::keyValue(orderText) == m_linesOrder) {
        const QModelIndex orderCell = m_lines->index(row, LineOrder);
        if (orderCell.data(Qt::EditRole) != QVariant(*m_linesOrder))
            m_lines->setData(orderCell, *m_linesOrder);
    }
    if (column < LineUnitPrice || column > LineTotal)
        return LineOutcome::Unchanged;
    auto cell = [&](int c) { return m_lines->index(row, c).data(Qt::DisplayRole).toString(); };
    const std::optional<Decimal> total
        = OrderDb::lineTotal(cell(LineUnitPrice), cell(LineQuantity), cell(LineDiscount), QLocale::c());
    if (!total)
        return LineOutcome::TotalOutOfRange;
    const std::optional<Decimal> shown = Decimal::fromPlain(cell(LineTotal).trimmed());
    if (!shown || !(*shown == *total))
        m_lines->setData(m_lines->index(row, LineTotal), total->exactText());
    return LineOutcome::Settled;
}

bool OrderSession::addLine()
{
    if (!m_orders->hasCurrentRecord())
        return fail(Failure::NoOrderShown, QString());
    // A typed order number can hold another order's lines under this order's header; a new line
    // there would belong to one order and stand among the lines of another.
    if (!m_linesOrder || m_orders->currentKey().toLongLong() != *m_linesOrder)
        return fail(Failure::LinesOfAnotherOrder, QString());
    Q_EMIT editsWanted();
    if (!m_lines->addNew())
        return fail(Failure::StartFailed, m_lines->lastErrorText());
    m_lines->setValue(QStringLiteral("ORDERID"), *m_linesOrder);
    m_lines->setValue(QStringLiteral("QUANTITY"), QStringLiteral("1"));
    m_lines->setValue(QStringLiteral("DISCOUNT"), QStringLiteral("0"));
    m_lines->setValue(QStringLiteral("RETURNED"), 0);
    return true;
}

void OrderSession::deleteLine()
{
    if (!m_lines->hasCurrentRecord())
        return;
    // Removed from the database with the next save, like every other change to the lines.
    const int row = m_lines->currentRow();
    const int before = m_lines->rowCount();
    m_lines->removeRow(row); // a stored line stays in the model, marked, until written
    if (m_lines->rowCount() != before)
        m_lines->track(qMin(row, m_lines->rowCount() - 1));
}

bool OrderSession::newOrder(const QString &customerText)
{
    const std::optional<qint32> customer = OrderDb::keyValue(customerText);
    if (!customer)
        return fail(Failure::NotAKey, customerText);
    // The new order takes the place of the one shown and of its lines: both are written first.
    if (!writeBeforeLeaving(m_orders))
        return false;
    const QVariant shownBefore = m_orders->currentKey();
    if (!m_orders->addNew())
        return fail(Failure::StartFailed, m_orders->lastErrorText());
    m_orders->setValue(QStringLiteral("CUSTOMERID"), *customer);
    m_orders->setValue(QStringLiteral("ORDERDATE"), QDate::currentDate());
    m_orders->setValue(QStringLiteral("INSTNUMBER"), 12);
    if (!m_orders->writePending()) {
        const QString why = m_orders->lastErrorText();
        // Nothing half-made stays behind: the new order is dropped and the order shown before it
        // comes back, with its lines.
        m_orders->discardPending(shownBefore);
        return fail(Failure::NewOrderRefused, why);
    }
    return true;
}

bool OrderSession::save()
{
    QStringList failures;
    for (OrderDataControl *control : { m_customers, m_orders, m_lines }) {
        if (!control->writePending())
            failures << recordName(control) % QStringLiteral(": ") % control->lastErrorText();
    }
    if (!failures.isEmpty())
        return fail(Failure::SaveRefused, failures.join(QLatin1Char('\n')));
    return true;
}

bool OrderSession::isDirty() const
{
    return m_customers->isDirty() || m_orders->isDirty() || m_lines->isDirty();
}

void OrderSession::revertAll()
{
    for (OrderDataControl *control : { m_lines, m_orders, m_customers })
        control->revertAll();
}
