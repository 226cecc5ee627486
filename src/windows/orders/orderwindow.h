#pragma once

// OrderWindow, the order entry window: a customer's orders, their lines and an installment plan,
// kept in the order database reached through the ODBC data source "IMS" (installments/orderdb.h).
//
// How the pieces meet: three data controls (OrderDataControl) hold the current customer
// (RSMain), that customer's orders (RSORDER) and the shown order's lines (RSOrderDetails). The
// header fields are bound to their current records through QDataWidgetMapper and one
// OrderFieldDelegate that turns texts into column values; the lines grid GRDORDERS edits the
// lines model directly. The two key fields (customer number, order number) are look-up fields:
// typing into them requeries the next control in the chain, showing a record fills them, and
// they never rewrite a stored key. Edits stay in the models until a move, a requery or the save
// writes them; closing with unsaved edits asks first. Before the customer or the order shown
// makes way for another, everything that would leave the screen with it is written; when the
// database refuses, nothing moves, so the customer, the order and the lines shown always belong
// together, and a line is only ever stamped with the order whose lines the grid holds. The
// installment tab runs the shared plan arithmetic (installments/plan.h) with the order window's
// rules.

#include <QDialog>
#include <QMessageBox>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class OrderDataControl;
class OrderFieldDelegate;
class QDataWidgetMapper;
class QDateEdit;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTableView;
class QTabWidget;
class QTreeView;

namespace Installments
{
class ScheduleModel;
}

class OrderWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OrderWindow)

public:
    // db: an open connection on the order database (OrderDb::open).
    explicit OrderWindow(const QSqlDatabase &db, QWidget *parent = nullptr);
    ~OrderWindow() override;

    // Opens the three data controls on their tables and shows the first customer, its first order
    // and that order's lines. false (and loadError()) when the database refuses.
    bool Form_Load();
    QString loadError() const { return m_loadError; }

    OrderDataControl *RSMain() const { return m_customers; }
    OrderDataControl *RSORDER() const { return m_orders; }
    OrderDataControl *RSOrderDetails() const { return m_lines; }

    // The installment amount and first installment (CalcInst) and the schedule (CalcAllInst).
    void CalcInst();
    void CalcAllInst();
    // "طلبية جديدة": a new order for the customer number shown, written at once, and a new line.
    bool newOrder();
    // cmdsave: writes the customer, the order and the lines, in this order; every write is tried.
    // false when anything could not be written (the person was told what).
    bool save();
    // Whether closing now would lose something the person typed.
    bool hasUnsavedEdits();

    // Where the window's messages go (a message box unless replaced, e.g. by tests).
    void setMessageSink(std::function<void(const QString &)> sink) { m_messageSink = std::move(sink); }
    // The question asked before unsaved edits would be lost: Save, Discard or Cancel.
    void setUnsavedQuestion(std::function<QMessageBox::StandardButton()> ask)
    {
        m_askUnsaved = std::move(ask);
    }
    // The note line under the tabs (refused plan inputs, refused cell texts).
    QString statusText() const;

public Q_SLOTS:
    // "موافق": save, and close only when everything was written.
    void accept() override;
    // "غير موافق", Escape and the close box: close, asking first when edits would be lost.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildUi();
    QWidget *buildHeaderTab();
    QWidget *buildInstallmentTab();
    void bindFields();

    void showMessage(const QString &text);
    void showNote(const QString &text);
    // Moves a data control (customer or order), writing the edits of the record it leaves.
    void move(OrderDataControl *control, bool (OrderDataControl::*step)());
    bool commitTypedEdits();
    // Writes the pending edits of `from` and of the controls that follow it in the chain
    // (customer, orders, lines), stopping at the first refusal, which failure then describes.
    bool writeBeforeLeaving(OrderDataControl *from, QString *failure);
    void refuseMove(const QString &failure);
    QString recordName(const OrderDataControl *control) const;
    // Puts a key field back to the number its records were read for, without requerying.
    static void restoreKeyText(QLineEdit *edit, const QString &text);

    // The chain: a shown customer fills the customer number, which requeries the orders; a shown
    // order fills the order number, which requeries the lines.
    void customerShown(int row);
    void orderShown(int row);
    void linesShown(int row);
    void txtCUSTOMERID1_Change();
    void txtORDERID_Change();

    void GRDORDERS_RowColChange(const QModelIndex &current, const QModelIndex &previous);
    void moveLine(int row);
    void addLine();
    void deleteLine();
    // Hides exactly the grid rows of lines marked for deletion (the grid keeps hidden rows by
    // position, so a reload would otherwise hide whichever line came to stand there).
    void hideDeletedLines(int first, int last);

    void deriveInstallmentPrice();
    void txtnoinst_LostFocus();
    void refreshSellPrice();
    void clearPlan();

    QSqlDatabase m_db;
    QString m_loadError;
    OrderDataControl *m_customers = nullptr;
    OrderDataControl *m_orders = nullptr;
    OrderDataControl *m_lines = nullptr;
    QDataWidgetMapper *m_customerMapper = nullptr;
    QDataWidgetMapper *m_orderMapper = nullptr;
    OrderFieldDelegate *m_customerDelegate = nullptr;
    OrderFieldDelegate *m_orderDelegate = nullptr;
    OrderFieldDelegate *m_lineDelegate = nullptr;
    Installments::ScheduleModel *m_schedule = nullptr;
    QStringList m_refused; // texts the delegates refused since the last commit

    QTabWidget *m_tabs = nullptr;
    QLineEdit *m_txtCUSTOMERID1 = nullptr;
    QLineEdit *m_txtNAME = nullptr;
    QLineEdit *m_txtORDERID = nullptr;
    QLineEdit *m_txtCUSTOMERID = nullptr;
    QLineEdit *m_txtORDERDATE = nullptr;
    QLineEdit *m_txtORDERREFERENCE = nullptr;
    QLineEdit *m_txtORDERSOURCE = nullptr;
    QLineEdit *m_txtSOLDBY = nullptr;
    QLineEdit *m_txtCOMMENT = nullptr;
    QLineEdit *m_txtORDERTOTAL = nullptr;
    QLineEdit *m_txtPAID = nullptr;
    QLineEdit *m_TextBox1 = nullptr;
    QTableView *m_GRDORDERS = nullptr;
    QLineEdit *m_txtsellprice = nullptr;
    QLineEdit *m_txtdeposit = nullptr;
    QLineEdit *m_txtcerditamount = nullptr;
    QLineEdit *m_txtnoinst = nullptr;
    QLineEdit *m_txtinst = nullptr;
    QLineEdit *m_txtfinst = nullptr;
    QDateEdit *m_txtfirstinst = nullptr;
    QTreeView *m_lv = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_customerPosition = nullptr;
    QLabel *m_orderPosition = nullptr;
    QLabel *m_linePosition = nullptr;

    bool m_syncingGrid = false;
    bool m_loading = false;
    bool m_ordersFollow = false; // the orders have been narrowed to a customer number
    bool m_linesFollow = false; // the lines have been narrowed to an order number
    QString m_ordersFor; // the customer number text the orders were read for
    QString m_linesFor; // the order number text the lines were read for
    std::optional<qint32> m_linesOrder; // the order whose lines the grid holds, when it is one
    std::function<void(const QString &)> m_messageSink;
    std::function<QMessageBox::StandardButton()> m_askUnsaved;
};

// Opens the order window from the main window: connects to the data source "IMS" and shows the
// window modally; when the data source is missing or unreachable it says so and opens nothing.
void openOrderWindow(QWidget *parent);
