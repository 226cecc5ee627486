#pragma once

// OrderWindow, the order entry window: a customer's orders, their lines and an installment plan,
// kept in the order database reached through the ODBC data source "IMS" (orders/orderdb.h).
//
// The records, the customer -> orders -> lines chain, the line arithmetic, the save and the
// rules for refused writes live in OrderSession (orders/ordersession.h); this window shows them.
// The header fields are bound to the current records through QDataWidgetMapper and one
// OrderFieldDelegate that turns texts into column values; the lines grid GRDORDERS edits the
// lines model directly. The two key fields (customer number, order number) are look-up fields:
// typing into them requeries the next control in the chain, showing a record fills them, and
// they never rewrite a stored key. Edits stay in the models until a move, a requery or the save
// writes them; closing with unsaved edits asks first. The installment tab runs the shared plan
// arithmetic (core/plan.h) with the order window's rules.

#include <QDialog>
#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class OrderDataControl;
class OrderFieldDelegate;
class OrderSession;
class RecordNavigator;
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
    // The window shows and edits what the session holds, and takes it over (as a child).
    explicit OrderWindow(OrderSession *session, QWidget *parent = nullptr);
    ~OrderWindow() override;

    // Opens the three data controls on their tables and shows the first customer, its first order
    // and that order's lines. false (and loadError()) when the database refuses.
    bool load();
    QString loadError() const { return m_loadError; }

    OrderSession *session() const { return m_session; }
    OrderDataControl *RSMain() const;
    OrderDataControl *RSORDER() const;
    OrderDataControl *RSOrderDetails() const;

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
    void bindLines(const std::function<void(int, const QString &)> &refused);
    void connectNavigators();

    void connectSession();

    void showMessage(const QString &text);
    void showNote(const QString &text);
    // Hands what was typed into the bound fields and the grid over to the models; false when a
    // text was refused by its field.
    bool commitTypedEdits();
    void refuseMove(const QString &failure);
    // Puts a key field back to a number without requerying.
    static void restoreKeyText(QLineEdit *edit, const QString &text);

    // A shown customer fills the customer number and a shown order the order number; typing
    // into either requeries what follows it.
    void customerShown(int row, const QString &key);
    void orderShown(int row, const QString &key);
    void linesShown(int row);
    void typedCustomerNumberChanged();
    void typedOrderNumberChanged();

    void gridCellChanged(const QModelIndex &current, const QModelIndex &previous);
    void moveLine(int row);
    void addLine();
    void deleteLine();
    // Hides exactly the grid rows of lines marked for deletion (the grid keeps hidden rows by
    // position, so a reload would otherwise hide whichever line came to stand there).
    void hideDeletedLines(int first, int last);

    void deriveInstallmentPrice();
    void installmentCountLeft();
    void refreshSellPrice();
    void clearPlan();

    QString m_loadError;
    OrderSession *m_session = nullptr;
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
    QTableView *m_GRDORDERS = nullptr;
    // The money fields, by what they hold (their object names after them).
    QLineEdit *m_orderTotal = nullptr; // txtORDERTOTAL
    QLineEdit *m_paid = nullptr; // txtPAID
    QLineEdit *m_remaining = nullptr; // TextBox1: what is left to pay
    QLineEdit *m_sellPrice = nullptr; // txtsellprice: the order total shown on the plan tab
    QLineEdit *m_deposit = nullptr; // txtdeposit
    QLineEdit *m_installmentPrice = nullptr; // txtcerditamount: total less deposit
    QLineEdit *m_txtnoinst = nullptr;
    QLineEdit *m_installment = nullptr; // txtinst: each installment
    QLineEdit *m_firstInstallment = nullptr; // txtfinst
    QDateEdit *m_txtfirstinst = nullptr;
    QTreeView *m_lv = nullptr;
    QLabel *m_status = nullptr;
    RecordNavigator *m_customerNavigator = nullptr;
    RecordNavigator *m_orderNavigator = nullptr;
    RecordNavigator *m_lineNavigator = nullptr;

    bool m_syncingGrid = false;
    std::function<void(const QString &)> m_messageSink;
    std::function<QMessageBox::StandardButton()> m_askUnsaved;
};

// Opens the order window from the main window: connects to the data source "IMS" and shows the
// window modally, on the given customer's order when one is given (an order just made from an
// offer); when the data source is missing or unreachable it says so and opens nothing.
struct ShownOrder {
    qint32 customer = 0;
    qint32 order = 0;
};
void openOrderWindow(QWidget *parent, const std::optional<ShownOrder> &shown = std::nullopt);
