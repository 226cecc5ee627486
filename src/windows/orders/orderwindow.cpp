#include "orderwindow.h"

#include "core/plan.h"
#include "orderfielddelegate.h"
#include "orders/orderconnection.h"
#include "orders/orderdatacontrol.h"
#include "orders/orderdb.h"
#include "orders/ordersession.h"
#include "widgets/recordnavigator.h"

#include <QApplication>
#include <QDataWidgetMapper>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableView>

namespace
{

const QString orderWindowTitle = QStringLiteral("بيانات الطلبيات");

void showPosition(RecordNavigator *navigator, const OrderDataControl *control)
{
    navigator->setPosition(control->currentRow(), control->rowCount());
}

} // namespace

OrderWindow::OrderWindow(OrderSession *session, QWidget *parent)
    : QDialog(parent)
    , m_session(session)
{
    Q_ASSERT(session);
    setObjectName(QStringLiteral("ORDERT"));
    setWindowTitle(orderWindowTitle);
    setLayoutDirection(Qt::RightToLeft);
    m_session->setParent(this);
    m_session->setObjectName(QStringLiteral("orderSession"));
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
    connectNavigators();
    connectSession();
}

OrderWindow::~OrderWindow() = default;

OrderDataControl *OrderWindow::RSMain() const
{
    return m_session->customers();
}

OrderDataControl *OrderWindow::RSORDER() const
{
    return m_session->orders();
}

OrderDataControl *OrderWindow::RSOrderDetails() const
{
    return m_session->lines();
}

bool OrderWindow::load()
{
    if (m_session->open())
        return true;
    m_loadError = m_session->lastError();
    return false;
}

void OrderWindow::connectSession()
{
    connect(m_session, &OrderSession::editsWanted, this, &OrderWindow::commitTypedEdits);
    connect(m_session, &OrderSession::customerShown, this, &OrderWindow::customerShown);
    connect(m_session, &OrderSession::orderShown, this, &OrderWindow::orderShown);
    connect(m_session, &OrderSession::writeRefused, this, [this](const QString &failure) {
        // Whatever a refused requery was typed or filled in for goes back to what is shown.
        restoreKeyText(m_txtCUSTOMERID1, m_session->ordersFor());
        restoreKeyText(m_txtORDERID, m_session->linesFor());
        refuseMove(failure);
    });
    connect(
        m_session, &OrderSession::ordersUnreadable, this, [this](const QString &key, const QString &error) {
            showMessage(QStringLiteral("تعذر عرض طلبيات العميل رقم «%1» من قاعدة البيانات \"%2\":\n%3")
                            .arg(key, OrderDb::dataSourceName(), error));
        });
    connect(
        m_session, &OrderSession::linesUnreadable, this, [this](const QString &key, const QString &error) {
            showMessage(QStringLiteral("تعذر عرض سطور الطلبية رقم «%1» من قاعدة البيانات \"%2\":\n%3")
                            .arg(key, OrderDb::dataSourceName(), error));
        });
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
    if (RSMain()->hasCurrentRecord())
        m_customerMapper->submit();
    if (RSORDER()->hasCurrentRecord())
        m_orderMapper->submit();
    return m_refused.isEmpty();
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

void OrderWindow::customerShown(int row, const QString &key)
{
    m_customerMapper->setCurrentIndex(row);
    if (row < 0)
        m_txtNAME->clear();
    showPosition(m_customerNavigator, RSMain());
    if (m_txtCUSTOMERID1->text() != key)
        restoreKeyText(m_txtCUSTOMERID1, key); // the session requeries the orders next
}

void OrderWindow::typedCustomerNumberChanged()
{
    m_session->showOrdersOf(m_txtCUSTOMERID1->text());
}

void OrderWindow::orderShown(int row, const QString &key)
{
    m_orderMapper->setCurrentIndex(row);
    if (row < 0) {
        for (QLineEdit *edit :
            { m_txtCUSTOMERID, m_txtORDERDATE, m_txtORDERREFERENCE, m_txtORDERSOURCE, m_txtSOLDBY,
                m_txtCOMMENT, m_orderTotal, m_paid, m_remaining, m_deposit, m_installmentPrice })
            edit->clear();
        m_txtnoinst->setText(QStringLiteral("12"));
    }
    showPosition(m_orderNavigator, RSORDER());
    refreshSellPrice();
    if (m_txtORDERID->text() != key) {
        clearPlan(); // another order: the old plan's figures no longer belong to what is shown
        restoreKeyText(m_txtORDERID, key); // the session requeries the lines next
    }
}

void OrderWindow::typedOrderNumberChanged()
{
    m_session->showLinesOf(m_txtORDERID->text());
}

void OrderWindow::linesShown(int row)
{
    showPosition(m_lineNavigator, RSOrderDetails());
    if (row < 0 || m_GRDORDERS->currentIndex().row() == row)
        return;
    // Placing the grid's cursor is not a move made by the person: no line total runs for it.
    m_syncingGrid = true;
    const int column = qMax(0, m_GRDORDERS->currentIndex().column());
    m_GRDORDERS->setCurrentIndex(RSOrderDetails()->index(row, column));
    m_syncingGrid = false;
}

void OrderWindow::moveLine(int row)
{
    if (row < 0 || row >= RSOrderDetails()->rowCount())
        return;
    const int column = qMax(0, m_GRDORDERS->currentIndex().column());
    m_GRDORDERS->setCurrentIndex(RSOrderDetails()->index(row, column));
}

void OrderWindow::gridCellChanged(const QModelIndex &current, const QModelIndex &previous)
{
    if (!current.isValid())
        return;
    RSOrderDetails()->track(current.row());
    if (m_syncingGrid || !previous.isValid() || previous.column() == OrderSession::LineKey)
        return;
    if (m_session->settleLine(current.row(), current.column(), m_txtORDERID->text())
        == OrderSession::LineOutcome::TotalOutOfRange)
        showNote(QStringLiteral("اجمالى السطر يتجاوز حدود الرقم؛ بقى الاجمالى السابق."));
}

void OrderWindow::addLine()
{
    if (m_session->addLine())
        return;
    switch (m_session->lastFailure()) {
    case OrderSession::Failure::NoOrderShown:
        showNote(QStringLiteral("لا توجد طلبية معروضة لاضافة سطر اليها."));
        break;
    case OrderSession::Failure::LinesOfAnotherOrder:
        showNote(QStringLiteral("الجدول لا يعرض سطور الطلبية المعروضة؛ اعرض الطلبية اولا ثم اضف السطر."));
        break;
    default:
        showMessage(QStringLiteral("تعذر بدء سطر جديد:\n%1").arg(m_session->lastError()));
        break;
    }
}

void OrderWindow::deleteLine()
{
    m_session->deleteLine();
}

void OrderWindow::hideDeletedLines(int first, int last)
{
    OrderDataControl *lines = RSOrderDetails();
    for (int row = qMax(0, first); row <= last && row < lines->rowCount(); ++row)
        m_GRDORDERS->setRowHidden(row, lines->isMarkedForDeletion(row));
}

bool OrderWindow::newOrder()
{
    const QString customerText = m_txtCUSTOMERID1->text();
    if (m_session->newOrder(customerText)) {
        addLine();
        return true;
    }
    const QString why = m_session->lastError();
    switch (m_session->lastFailure()) {
    case OrderSession::Failure::NotAKey:
        showMessage(QStringLiteral("رقم العميل «%1» ليس رقما صالحا؛ لم تنشأ طلبية جديدة.").arg(customerText));
        break;
    case OrderSession::Failure::WriteRefused:
        showMessage(
            QStringLiteral("تعذر حفظ التعديلات المعلقة؛ لم تنشأ طلبية جديدة وبقيت التعديلات دون حفظ:\n%1")
                .arg(why));
        break;
    case OrderSession::Failure::NewOrderRefused:
        showMessage(QStringLiteral("رفضت قاعدة البيانات الطلبية الجديدة للعميل رقم %1:\n%2")
                        .arg(OrderDb::keyValue(customerText).value_or(0))
                        .arg(why));
        break;
    default:
        showMessage(QStringLiteral("تعذر بدء طلبية جديدة:\n%1").arg(why));
        break;
    }
    return false;
}

bool OrderWindow::save()
{
    if (!commitTypedEdits()) {
        showMessage(
            QStringLiteral("لم يتم الحفظ: القيم التالية ليست صالحة لحقولها:\n%1\nصححها ثم احفظ مرة اخرى.")
                .arg(m_refused.join(QLatin1Char('\n'))));
        return false;
    }
    if (m_session->save())
        return true;
    showMessage(OrderDb::refusedWriteMessage(m_session->lastError()));
    return false;
}

bool OrderWindow::hasUnsavedEdits()
{
    const bool allValid = commitTypedEdits();
    return !allValid || m_session->isDirty();
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
        m_session->revertAll();
    }
    QDialog::reject();
}

void openOrderWindow(QWidget *parent, const std::optional<ShownOrder> &shown)
{
    // Declared before the window, so the window and its models are gone before it closes.
    const OrderConnection connection(QStringLiteral("IMS-orders"));
    if (connection.alreadyInUse())
        return; // already open (the window is modal, so this is a second request from elsewhere)
    if (!connection.isOpen()) {
        QMessageBox::warning(parent, orderWindowTitle, connection.error());
        return;
    }
    OrderWindow window(new OrderSession(connection.database()), parent);
    if (!window.load()) {
        QMessageBox::warning(parent, orderWindowTitle, window.loadError());
        return;
    }
    // An order that cannot be shown (gone meanwhile) leaves the window on its first one.
    if (shown)
        window.session()->showOrder(shown->customer, shown->order);
    window.exec();
}
