#include "orderwindow.h"

#include "core/plan.h"
#include "orderfielddelegate.h"
#include "orders/orderdatacontrol.h"
#include "orders/orderdb.h"

#include <QApplication>
#include <QDataWidgetMapper>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSqlError>
#include <QTableView>

namespace
{

const QString orderWindowTitle = QStringLiteral("بيانات الطلبيات");

void showPosition(QLabel *label, const OrderDataControl *control)
{
    label->setText(control->hasCurrentRecord()
            ? QStringLiteral("%1 / %2").arg(control->currentRow() + 1).arg(control->rowCount())
            : QStringLiteral("0 / %1").arg(control->rowCount()));
}

} // namespace

OrderWindow::OrderWindow(const QSqlDatabase &db, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
{
    setObjectName(QStringLiteral("ORDERT"));
    setWindowTitle(orderWindowTitle);
    setLayoutDirection(Qt::RightToLeft);
    m_customers = new OrderDataControl(QStringLiteral("CUSTOMER"), db, this);
    m_customers->setObjectName(QStringLiteral("RSMain"));
    m_orders = new OrderDataControl(QStringLiteral("ORDERS"), db, this);
    m_orders->setObjectName(QStringLiteral("RSORDER"));
    m_lines = new OrderDataControl(QStringLiteral("ORDERDETAIL"), db, this);
    m_lines->setObjectName(QStringLiteral("RSOrderDetails"));
    m_schedule = new Installments::ScheduleModel(
        { QStringLiteral("Sم"), QStringLiteral("Inst.Dtتاريخ القسط"), QStringLiteral("Amountالمبلغ"),
            QStringLiteral("Balanceالرصيد") },
        this);
    m_messageSink = [this](const QString &text) { QMessageBox::warning(this, orderWindowTitle, text); };
    m_askUnsaved = [this] {
        return QMessageBox::question(this, orderWindowTitle,
            QStringLiteral("فى الطلبية تعديلات لم تحفظ. هل تريد حفظها قبل الاغلاق؟"),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    };
    buildUi();
    bindFields();
}

OrderWindow::~OrderWindow() = default;

bool OrderWindow::Form_Load()
{
    // The controls open on their whole tables first; the chain then narrows orders and lines.
    m_loading = true;
    for (OrderDataControl *control : { m_customers, m_orders, m_lines }) {
        if (!control->open()) {
            m_loading = false;
            m_loadError = QStringLiteral("The table %1 of the order database \"%2\" could not be read.\n\n%3")
                              .arg(control->tableName(), OrderDb::dataSourceName(), control->lastErrorText());
            return false;
        }
    }
    m_loading = false;
    // The chain starts again from the first customer: its orders, then the first order's lines.
    customerShown(m_customers->currentRow());
    return true;
}

QString OrderWindow::statusText() const
{
    return m_status->text();
}

void OrderWindow::showMessage(const QString &text)
{
    if (m_messageSink)
        m_messageSink(text);
}

void OrderWindow::showNote(const QString &text)
{
    m_status->setText(text);
}

bool OrderWindow::commitTypedEdits()
{
    m_refused.clear();
    // A grid cell still being edited goes into the model first.
    QWidget *focus = QApplication::focusWidget();
    if (focus && m_GRDORDERS->isAncestorOf(focus) && focus != m_GRDORDERS->viewport())
        QMetaObject::invokeMethod(m_GRDORDERS, "commitData", Q_ARG(QWidget *, focus));
    if (m_customers->hasCurrentRecord())
        m_customerMapper->submit();
    if (m_orders->hasCurrentRecord())
        m_orderMapper->submit();
    return m_refused.isEmpty();
}

QString OrderWindow::recordName(const OrderDataControl *control) const
{
    if (control == m_customers)
        return QStringLiteral("العميل");
    if (control == m_orders)
        return QStringLiteral("الطلبية");
    return QStringLiteral("سطور الطلبية");
}

bool OrderWindow::writeBeforeLeaving(OrderDataControl *from, QString *failure)
{
    commitTypedEdits();
    // A customer takes its orders with it and an order its lines: whatever is pending below the
    // record being left goes to the database too, before anything is requeried over it. Writing
    // in this order lets a new order reach the database before its lines.
    bool leaving = false;
    for (OrderDataControl *control : { m_customers, m_orders, m_lines }) {
        leaving = leaving || control == from;
        if (leaving && !control->writePending()) {
            *failure = recordName(control) % QStringLiteral(": ") % control->lastErrorText();
            return false;
        }
    }
    return true;
}

void OrderWindow::refuseMove(const QString &failure)
{
    showMessage(QStringLiteral("تعذر حفظ التعديلات قبل الانتقال الى سجل اخر، فبقيت النافذة على ما هى عليه "
                               "وبقيت التعديلات دون حفظ. صححها ثم انتقل، او اغلق النافذة دون حفظ:\n%1")
                    .arg(failure));
}

void OrderWindow::restoreKeyText(QLineEdit *edit, const QString &text)
{
    const QSignalBlocker quiet(edit);
    edit->setText(text);
}

void OrderWindow::move(OrderDataControl *control, bool (OrderDataControl::*step)())
{
    // The record being left, and what it would take off the screen, is written first; when that
    // fails the window stays where it is.
    QString failure;
    if (!writeBeforeLeaving(control, &failure)) {
        refuseMove(failure);
        return;
    }
    (control->*step)();
}

void OrderWindow::customerShown(int row)
{
    if (m_loading)
        return;
    m_customerMapper->setCurrentIndex(row);
    if (row < 0)
        m_txtNAME->clear();
    showPosition(m_customerPosition, m_customers);
    const QString key = row < 0 ? QString() : m_customers->currentKey().toString();
    if (m_txtCUSTOMERID1->text() != key)
        m_txtCUSTOMERID1->setText(key); // requeries the orders
    else if (!m_ordersFollow)
        txtCUSTOMERID1_Change(); // first showing: the orders still hold the whole table
}

void OrderWindow::txtCUSTOMERID1_Change()
{
    if (m_loading)
        return;
    // Requerying would drop the orders shown, and with them the lines of the one shown: what they
    // hold is written first, and when it cannot be, they stay, under the number they belong to.
    QString failure;
    if (!writeBeforeLeaving(m_orders, &failure)) {
        restoreKeyText(m_txtCUSTOMERID1, m_ordersFor);
        refuseMove(failure);
        return;
    }
    m_ordersFollow = true;
    m_ordersFor = m_txtCUSTOMERID1->text();
    if (!m_orders->requery(QStringLiteral("CUSTOMERID"), m_ordersFor))
        showMessage(QStringLiteral("تعذر عرض طلبيات العميل رقم «%1» من قاعدة البيانات \"%2\":\n%3")
                        .arg(m_txtCUSTOMERID1->text(), OrderDb::dataSourceName(), m_orders->lastErrorText()));
}

void OrderWindow::orderShown(int row)
{
    if (m_loading)
        return;
    m_orderMapper->setCurrentIndex(row);
    if (row < 0) {
        for (QLineEdit *edit :
            { m_txtCUSTOMERID, m_txtORDERDATE, m_txtORDERREFERENCE, m_txtORDERSOURCE, m_txtSOLDBY,
                m_txtCOMMENT, m_txtORDERTOTAL, m_txtPAID, m_TextBox1, m_txtdeposit, m_txtcerditamount })
            edit->clear();
        m_txtnoinst->setText(QStringLiteral("12"));
    }
    showPosition(m_orderPosition, m_orders);
    refreshSellPrice();
    const QString key = row < 0 ? QString() : m_orders->currentKey().toString();
    if (m_txtORDERID->text() != key) {
        clearPlan(); // another order: the old plan's figures no longer belong to what is shown
        m_txtORDERID->setText(key); // requeries the lines
    } else if (!m_linesFollow) {
        txtORDERID_Change();
    }
}

void OrderWindow::txtORDERID_Change()
{
    if (m_loading)
        return;
    QString failure;
    if (!writeBeforeLeaving(m_lines, &failure)) {
        restoreKeyText(m_txtORDERID, m_linesFor);
        refuseMove(failure);
        return;
    }
    m_linesFollow = true;
    m_linesFor = m_txtORDERID->text();
    const bool read = m_lines->requery(QStringLiteral("ORDERID"), m_linesFor);
    // Lines that could not be read again are no order's lines as far as the grid is concerned.
    m_linesOrder = read ? OrderDb::keyValue(m_linesFor) : std::nullopt;
    if (!read)
        showMessage(QStringLiteral("تعذر عرض سطور الطلبية رقم «%1» من قاعدة البيانات \"%2\":\n%3")
                        .arg(m_linesFor, OrderDb::dataSourceName(), m_lines->lastErrorText()));
    const QStringList headers = { QStringLiteral("مسلسل"), QStringLiteral("رقم الطلبية"),
        QStringLiteral("رقم الصنف"), QStringLiteral("الصنف"), QStringLiteral("سعر الوحدة"),
        QStringLiteral("الكمية"), QStringLiteral("الخصم"), QStringLiteral("الاجمالى"),
        QStringLiteral("الوزن"), QStringLiteral("مرتجع؟") };
    for (int c = 0; c < headers.size() && c < m_lines->columnCount(); ++c)
        m_lines->setHeaderData(c, Qt::Horizontal, headers.at(c));
}

void OrderWindow::linesShown(int row)
{
    showPosition(m_linePosition, m_lines);
    if (row < 0 || m_GRDORDERS->currentIndex().row() == row)
        return;
    // Placing the grid's cursor is not a move made by the person: no line total runs for it.
    m_syncingGrid = true;
    const int column = qMax(0, m_GRDORDERS->currentIndex().column());
    m_GRDORDERS->setCurrentIndex(m_lines->index(row, column));
    m_syncingGrid = false;
}

void OrderWindow::moveLine(int row)
{
    if (row < 0 || row >= m_lines->rowCount())
        return;
    const int column = qMax(0, m_GRDORDERS->currentIndex().column());
    m_GRDORDERS->setCurrentIndex(m_lines->index(row, column));
}

void OrderWindow::GRDORDERS_RowColChange(const QModelIndex &current, const QModelIndex &previous)
{
    if (!current.isValid())
        return;
    m_lines->track(current.row());
    if (m_syncingGrid || !previous.isValid() || previous.column() == 0)
        return;
    const int row = current.row();
    // The line belongs to the order whose number is shown, which is the order the grid's lines
    // were read for; should the two ever differ, the line is left alone rather than handed to
    // another order. A number that is no key is left out.
    if (m_linesOrder && OrderDb::keyValue(m_txtORDERID->text()) == m_linesOrder) {
        const QModelIndex orderCell = m_lines->index(row, 1);
        if (orderCell.data(Qt::EditRole) != QVariant(*m_linesOrder))
            m_lines->setData(orderCell, *m_linesOrder);
    }
    if (current.column() < 4 || current.column() > 7)
        return;
    auto cell = [&](int column) { return m_lines->index(row, column).data(Qt::DisplayRole).toString(); };
    const std::optional<Decimal> total = OrderDb::lineTotal(cell(4), cell(5), cell(6), QLocale::c());
    if (!total) {
        showNote(QStringLiteral("اجمالى السطر يتجاوز حدود الرقم؛ بقى الاجمالى السابق."));
        return;
    }
    const std::optional<Decimal> shown = Decimal::fromPlain(cell(7).trimmed());
    if (!shown || !(*shown == *total))
        m_lines->setData(m_lines->index(row, 7), total->exactText());
}

void OrderWindow::addLine()
{
    if (!m_orders->hasCurrentRecord()) {
        showNote(QStringLiteral("لا توجد طلبية معروضة لاضافة سطر اليها."));
        return;
    }
    // A typed order number can show another order's lines under this order's header; a new line
    // there would belong to one order and stand among the lines of another.
    if (!m_linesOrder || m_orders->currentKey().toLongLong() != *m_linesOrder) {
        showNote(QStringLiteral("الجدول لا يعرض سطور الطلبية المعروضة؛ اعرض الطلبية اولا ثم اضف السطر."));
        return;
    }
    commitTypedEdits();
    if (!m_lines->addNew()) {
        showMessage(QStringLiteral("تعذر بدء سطر جديد:\n%1").arg(m_lines->lastErrorText()));
        return;
    }
    m_lines->setValue(QStringLiteral("ORDERID"), *m_linesOrder);
    m_lines->setValue(QStringLiteral("QUANTITY"), QStringLiteral("1"));
    m_lines->setValue(QStringLiteral("DISCOUNT"), QStringLiteral("0"));
    m_lines->setValue(QStringLiteral("RETURNED"), 0);
}

void OrderWindow::deleteLine()
{
    if (!m_lines->hasCurrentRecord())
        return;
    // Removed from the database with the next save, like every other change to the lines.
    const int row = m_lines->currentRow();
    const int before = m_lines->rowCount();
    m_lines->removeRow(row); // a stored line stays in the model, marked and hidden, until written
    if (m_lines->rowCount() != before)
        m_lines->track(qMin(row, m_lines->rowCount() - 1));
}

void OrderWindow::hideDeletedLines(int first, int last)
{
    for (int row = qMax(0, first); row <= last && row < m_lines->rowCount(); ++row)
        m_GRDORDERS->setRowHidden(row, m_lines->isMarkedForDeletion(row));
}

bool OrderWindow::newOrder()
{
    const std::optional<qint32> customer = OrderDb::keyValue(m_txtCUSTOMERID1->text());
    if (!customer) {
        showMessage(QStringLiteral("رقم العميل «%1» ليس رقما صالحا؛ لم تنشأ طلبية جديدة.")
                        .arg(m_txtCUSTOMERID1->text()));
        return false;
    }
    // The new order takes the place of the one shown and of its lines: both are written first.
    QString failure;
    if (!writeBeforeLeaving(m_orders, &failure)) {
        showMessage(
            QStringLiteral("تعذر حفظ التعديلات المعلقة؛ لم تنشأ طلبية جديدة وبقيت التعديلات دون حفظ:\n%1")
                .arg(failure));
        return false;
    }
    const QVariant shownBefore = m_orders->currentKey();
    if (!m_orders->addNew()) {
        showMessage(QStringLiteral("تعذر بدء طلبية جديدة:\n%1").arg(m_orders->lastErrorText()));
        return false;
    }
    m_orders->setValue(QStringLiteral("CUSTOMERID"), *customer);
    m_orders->setValue(QStringLiteral("ORDERDATE"), QDate::currentDate());
    m_orders->setValue(QStringLiteral("INSTNUMBER"), 12);
    if (!m_orders->writePending()) {
        const QString why = m_orders->lastErrorText();
        // Nothing half-made stays behind: the new order is dropped and the order shown before it
        // comes back, with its lines.
        m_orders->discardPending(shownBefore);
        showMessage(
            QStringLiteral("رفضت قاعدة البيانات الطلبية الجديدة للعميل رقم %1:\n%2").arg(*customer).arg(why));
        return false;
    }
    addLine();
    return true;
}

bool OrderWindow::save()
{
    if (!commitTypedEdits()) {
        showMessage(
            QStringLiteral("لم يتم الحفظ: القيم التالية ليست صالحة لحقولها:\n%1\nصححها ثم احفظ مرة اخرى.")
                .arg(m_refused.join(QLatin1Char('\n'))));
        return false;
    }
    QStringList failures;
    for (OrderDataControl *control : { m_customers, m_orders, m_lines }) {
        if (!control->writePending())
            failures << recordName(control) % QStringLiteral(": ") % control->lastErrorText();
    }
    if (!failures.isEmpty()) {
        showMessage(QStringLiteral("تعذر حفظ ما يلى فى قاعدة البيانات \"%1\":\n%2")
                        .arg(OrderDb::dataSourceName(), failures.join(QLatin1Char('\n'))));
        return false;
    }
    return true;
}

bool OrderWindow::hasUnsavedEdits()
{
    const bool allValid = commitTypedEdits();
    return !allValid || m_customers->isDirty() || m_orders->isDirty() || m_lines->isDirty();
}

void OrderWindow::accept()
{
    if (save())
        QDialog::accept();
}

void OrderWindow::reject()
{
    if (hasUnsavedEdits()) {
        const QMessageBox::StandardButton answer = m_askUnsaved ? m_askUnsaved() : QMessageBox::Cancel;
        if (answer == QMessageBox::Cancel)
            return;
        if (answer == QMessageBox::Save) {
            if (save())
                QDialog::accept();
            return;
        }
        for (OrderDataControl *control : { m_lines, m_orders, m_customers })
            control->revertAll();
    }
    QDialog::reject();
}

void openOrderWindow(QWidget *parent)
{
    const QString connectionName = QStringLiteral("IMS-orders");
    if (QSqlDatabase::contains(connectionName))
        return; // already open (the window is modal, so this is a second request from elsewhere)
    QString error;
    std::optional<QSqlDatabase> db = OrderDb::open(connectionName, &error);
    if (!db) {
        QMessageBox::warning(parent, orderWindowTitle, error);
        return;
    }
    {
        OrderWindow window(*db, parent);
        if (window.Form_Load())
            window.exec();
        else
            QMessageBox::warning(parent, orderWindowTitle, window.loadError());
    }
    db->close();
    db.reset();
    QSqlDatabase::removeDatabase(connectionName);
}
