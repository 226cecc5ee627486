// The order window's layout: the customer row, the two tabs and their fields, the navigation bars
// of the data controls, and the binding of the fields and the lines grid to their models.
#include "orderwindow.h"

#include "core/plan.h"
#include "orderfielddelegate.h"
#include "orders/orderdatacontrol.h"
#include "orders/ordersession.h"
#include "widgets/recordnavigator.h"
#include "widgets/twips.h"
#include "widgets/windowtext.h"

#include <QDataWidgetMapper>
#include <QDate>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace
{

using Kind = OrderFieldDelegate::Kind;

QLineEdit *lineEdit(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

// How many characters a box or cell of a column takes: what the database declares for text, so a
// paste that would not fit is cut with a word instead of refused at the save; room enough for any
// number, date or key otherwise.
int columnLength(const OrderDataControl *control, int column, Kind kind)
{
    switch (kind) {
    case Kind::Text:
        if (const int declared = control->textLength(column); declared > 0)
            return declared;
        return WindowText::DescriptionLength;
    case Kind::Key:
        return WindowText::KeyLength;
    case Kind::ReadOnly:
        return 0;
    case Kind::Number:
    case Kind::Currency:
    case Kind::Date:
        break;
    }
    return WindowText::AmountLength;
}

void limitToColumn(QLineEdit *edit, const OrderDataControl *control, int column, Kind kind)
{
    if (const int length = columnLength(control, column, kind); length > 0)
        WindowText::limitLength(edit, length);
}

} // namespace

void OrderWindow::buildUi()
{
    auto *root = new QVBoxLayout(this);

    // The small buttons at the top; the rightmost one saves.
    auto *tools = new QHBoxLayout;
    auto *cmdsave = new QToolButton(this);
    cmdsave->setObjectName(QStringLiteral("cmdsave"));
    cmdsave->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    cmdsave->setToolTip(QStringLiteral("حفظ"));
    connect(cmdsave, &QToolButton::clicked, this, [this] { save(); });
    tools->addWidget(cmdsave);
    tools->addStretch();
    root->addLayout(tools);

    auto *heading = new QLabel(windowTitle(), this);
    heading->setObjectName(QStringLiteral("lblheading"));
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
    heading->setFont(headingFont);
    root->addWidget(heading);

    auto *customerRow = new QHBoxLayout;
    m_txtCUSTOMERID1 = lineEdit("txtCUSTOMERID1", this);
    m_txtNAME = lineEdit("txtNAME", this);
    customerRow->addWidget(new QLabel(QStringLiteral("الرقم"), this));
    customerRow->addWidget(m_txtCUSTOMERID1, 1);
    customerRow->addWidget(new QLabel(QStringLiteral("الاسم"), this));
    customerRow->addWidget(m_txtNAME, 3);
    m_customerNavigator = new RecordNavigator(QStringLiteral("RSMain"), this);
    customerRow->addWidget(m_customerNavigator);
    root->addLayout(customerRow);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->addTab(buildHeaderTab(), QStringLiteral("معلومات اساسية"));
    m_tabs->addTab(buildInstallmentTab(), QStringLiteral("التقسيط"));
    root->addWidget(m_tabs, 1);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblstatus"));
    m_status->setWordWrap(true);
    m_status->setStyleSheet(QStringLiteral("color: #a00000"));
    root->addWidget(m_status);

    auto *buttons = new QHBoxLayout;
    auto *cmdok = new QPushButton(QStringLiteral("موافق"), this);
    cmdok->setObjectName(QStringLiteral("cmdok"));
    cmdok->setAutoDefault(false);
    auto *cmdcancel = new QPushButton(QStringLiteral("غير موافق"), this);
    cmdcancel->setObjectName(QStringLiteral("cmdcancel"));
    cmdcancel->setAutoDefault(false);
    connect(cmdok, &QPushButton::clicked, this, &OrderWindow::accept);
    connect(cmdcancel, &QPushButton::clicked, this, &OrderWindow::reject);
    buttons->addStretch();
    buttons->addWidget(cmdok);
    buttons->addWidget(cmdcancel);
    root->addLayout(buttons);

    resize(Twips::toX(this, 13500), Twips::toY(this, 8400));
}

QWidget *OrderWindow::buildHeaderTab()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *grid = new QGridLayout;
    m_txtORDERID = lineEdit("txtORDERID(0)", page);
    m_txtCUSTOMERID = lineEdit("txtCUSTOMERID", page);
    m_txtCUSTOMERID->setReadOnly(true);
    m_txtORDERDATE = lineEdit("txtORDERDATE", page);
    m_txtORDERREFERENCE = lineEdit("txtORDERREFERENCE", page);
    m_txtORDERSOURCE = lineEdit("txtORDERSOURCE", page);
    m_txtSOLDBY = lineEdit("txtSOLDBY", page);
    m_txtCOMMENT = lineEdit("txtCOMMENT", page);
    m_orderTotal = lineEdit("txtORDERTOTAL", page);
    m_paid = lineEdit("txtPAID", page);
    m_remaining = lineEdit("TextBox1", page);
    const std::pair<const char *, QLineEdit *> fields[] = {
        { "رقم الطلبية", m_txtORDERID },
        { "رقم العميل", m_txtCUSTOMERID },
        { "تاريخ الطلبية", m_txtORDERDATE },
        { "المرجع", m_txtORDERREFERENCE },
        { "المصدر", m_txtORDERSOURCE },
        { "بيعت بواسطة", m_txtSOLDBY },
        { "ملحوظة", m_txtCOMMENT },
        { "الاجمالى", m_orderTotal },
        { "المدفوع", m_paid },
        { "الباقى", m_remaining },
    };
    int i = 0;
    for (const auto &[caption, edit] : fields) {
        const int row = i % 5;
        const int column = (i / 5) * 2;
        grid->addWidget(new QLabel(QString::fromUtf8(caption), page), row, column);
        grid->addWidget(edit, row, column + 1);
        ++i;
    }
    layout->addLayout(grid);
    m_orderNavigator = new RecordNavigator(QStringLiteral("RSORDER"), page);
    layout->addWidget(m_orderNavigator, 0, Qt::AlignRight);

    m_GRDORDERS = new QTableView(page);
    m_GRDORDERS->setObjectName(QStringLiteral("GRDORDERS"));
    layout->addWidget(m_GRDORDERS, 1);

    auto *lineBar = new QHBoxLayout;
    m_lineNavigator = new RecordNavigator(QStringLiteral("RSOrderDetails"), page);
    lineBar->addWidget(m_lineNavigator);
    auto *cmdnewline = new QPushButton(QStringLiteral("سطر جديد"), page);
    cmdnewline->setObjectName(QStringLiteral("cmdnewline"));
    cmdnewline->setAutoDefault(false);
    connect(cmdnewline, &QPushButton::clicked, this, &OrderWindow::addLine);
    auto *cmddeleteline = new QPushButton(QStringLiteral("حذف السطر"), page);
    cmddeleteline->setObjectName(QStringLiteral("cmddeleteline"));
    cmddeleteline->setAutoDefault(false);
    connect(cmddeleteline, &QPushButton::clicked, this, &OrderWindow::deleteLine);
    lineBar->addWidget(cmdnewline);
    lineBar->addWidget(cmddeleteline);
    lineBar->addStretch();
    auto *cmdneworder = new QPushButton(QStringLiteral("طلبية جديدة"), page);
    cmdneworder->setObjectName(QStringLiteral("cmdneworder"));
    cmdneworder->setAutoDefault(false);
    connect(cmdneworder, &QPushButton::clicked, this, [this] { newOrder(); });
    lineBar->addWidget(cmdneworder);
    layout->addLayout(lineBar);
    return page;
}

QWidget *OrderWindow::buildInstallmentTab()
{
    auto *page = new QWidget(this);
    auto *layout = new QHBoxLayout(page);
    auto *form = new QFormLayout;
    m_sellPrice = lineEdit("txtsellprice", page);
    m_sellPrice->setReadOnly(true);
    m_deposit = lineEdit("txtdeposit", page);
    m_installmentPrice = lineEdit("txtcerditamount", page);
    m_txtnoinst = lineEdit("txtnoinst", page);
    m_txtnoinst->setText(QStringLiteral("12"));
    m_installment = lineEdit("txtinst", page);
    m_installment->setReadOnly(true);
    m_firstInstallment = lineEdit("txtfinst", page);
    m_firstInstallment->setReadOnly(true);
    m_txtfirstinst = new QDateEdit(QDate::currentDate(), page);
    m_txtfirstinst->setObjectName(QStringLiteral("txtfirstinst"));
    m_txtfirstinst->setCalendarPopup(true);
    form->addRow(QStringLiteral("الاجمالى"), m_sellPrice);
    form->addRow(QStringLiteral("المقدم"), m_deposit);
    form->addRow(QStringLiteral("سعر التقسيط"), m_installmentPrice);
    form->addRow(QStringLiteral("عدد الاقساط"), m_txtnoinst);
    form->addRow(QStringLiteral("قيمة القسط"), m_installment);
    form->addRow(QStringLiteral("القسط الاول"), m_firstInstallment);
    form->addRow(QStringLiteral("اول قسط"), m_txtfirstinst);
    layout->addLayout(form);

    m_lv = new QTreeView(page);
    m_lv->setObjectName(QStringLiteral("lv"));
    m_lv->setRootIsDecorated(false);
    m_lv->setUniformRowHeights(true);
    m_lv->setModel(m_schedule);
    m_lv->setColumnWidth(0, Twips::toX(this, 882));
    for (int c = 1; c < 4; ++c)
        m_lv->setColumnWidth(c, Twips::toX(this, 2540));
    layout->addWidget(m_lv, 1);

    for (QLineEdit *edit : { m_orderTotal, m_deposit, m_installmentPrice, m_txtnoinst })
        edit->installEventFilter(this);
    return page;
}

namespace
{

// The navigator of a customer or order control moves it through the session, which writes
// first what the record left would take along.
void driveThroughSession(RecordNavigator *navigator, OrderSession *session, OrderDataControl *control)
{
    QObject::connect(navigator, &RecordNavigator::firstRequested, session,
        [=] { session->move(control, &OrderDataControl::moveFirst); });
    QObject::connect(navigator, &RecordNavigator::previousRequested, session,
        [=] { session->move(control, &OrderDataControl::movePrevious); });
    QObject::connect(navigator, &RecordNavigator::nextRequested, session,
        [=] { session->move(control, &OrderDataControl::moveNext); });
    QObject::connect(navigator, &RecordNavigator::lastRequested, session,
        [=] { session->move(control, &OrderDataControl::moveLast); });
}

} // namespace

void OrderWindow::connectNavigators()
{
    OrderDataControl *lines = m_session->lines();
    driveThroughSession(m_customerNavigator, m_session, m_session->customers());
    driveThroughSession(m_orderNavigator, m_session, m_session->orders());
    // The lines are moved in the grid, which keeps its edits in the model until the save.
    connect(m_lineNavigator, &RecordNavigator::firstRequested, this, [this] { moveLine(0); });
    connect(m_lineNavigator, &RecordNavigator::previousRequested, this,
        [this, lines] { moveLine(lines->currentRow() - 1); });
    connect(m_lineNavigator, &RecordNavigator::nextRequested, this,
        [this, lines] { moveLine(lines->currentRow() + 1); });
    connect(m_lineNavigator, &RecordNavigator::lastRequested, this,
        [this, lines] { moveLine(lines->rowCount() - 1); });
}

void OrderWindow::bindFields()
{
    OrderDataControl *customers = m_session->customers();
    OrderDataControl *orders = m_session->orders();

    auto refused = [this](int, const QString &text) {
        m_refused << text;
        showNote(QStringLiteral("«%1» ليست قيمة صالحة لهذا الحقل؛ بقيت القيمة السابقة.").arg(text));
    };

    m_customerDelegate = new OrderFieldDelegate(this);
    connect(m_customerDelegate, &OrderFieldDelegate::invalidInput, this, refused);
    m_customerMapper = new QDataWidgetMapper(this);
    m_customerMapper->setModel(customers);
    m_customerMapper->setItemDelegate(m_customerDelegate);
    m_customerMapper->addMapping(m_txtNAME, customers->column(QStringLiteral("NAME")));
    limitToColumn(m_txtNAME, customers, customers->column(QStringLiteral("NAME")), Kind::Text);
    WindowText::limitLength(m_txtCUSTOMERID1, WindowText::KeyLength);
    WindowText::limitLength(m_txtORDERID, WindowText::KeyLength);

    m_orderDelegate = new OrderFieldDelegate(this);
    connect(m_orderDelegate, &OrderFieldDelegate::invalidInput, this, refused);
    m_orderMapper = new QDataWidgetMapper(this);
    m_orderMapper->setModel(orders);
    m_orderMapper->setItemDelegate(m_orderDelegate);
    const std::tuple<QLineEdit *, const char *, Kind> orderFields[] = {
        { m_txtCUSTOMERID, "CUSTOMERID", Kind::ReadOnly },
        { m_txtORDERDATE, "ORDERDATE", Kind::Date },
        { m_txtORDERREFERENCE, "ORDERREFERENCE", Kind::Text },
        { m_txtORDERSOURCE, "ORDERSOURCE", Kind::Text },
        { m_txtSOLDBY, "SOLDBY", Kind::Text },
        { m_txtCOMMENT, "COMMENT", Kind::Text },
        { m_orderTotal, "ORDERAMT", Kind::Currency },
        { m_paid, "PAIDAMT", Kind::Currency },
        { m_remaining, "TOTALREMAMT", Kind::Currency },
        { m_deposit, "INSTDEPAMT", Kind::Number },
        { m_installmentPrice, "INSTTOTALAMT", Kind::Number },
        { m_txtnoinst, "INSTNUMBER", Kind::Number },
    };
    for (const auto &[edit, column, kind] : orderFields) {
        const int index = orders->column(QLatin1String(column));
        if (index < 0)
            continue;
        m_orderDelegate->setKind(index, kind);
        m_orderMapper->addMapping(edit, index);
        limitToColumn(edit, orders, index, kind);
    }

    bindLines(refused);
    connect(orders, &QAbstractItemModel::dataChanged, this,
        [this, orders](const QModelIndex &from, const QModelIndex &to) {
            const int total = orders->column(QStringLiteral("ORDERAMT"));
            if (orders->currentRow() >= from.row() && orders->currentRow() <= to.row()
                && total >= from.column() && total <= to.column())
                refreshSellPrice();
        });
    connect(m_txtCUSTOMERID1, &QLineEdit::textChanged, this, &OrderWindow::typedCustomerNumberChanged);
    connect(m_txtORDERID, &QLineEdit::textChanged, this, &OrderWindow::typedOrderNumberChanged);
}

void OrderWindow::bindLines(const std::function<void(int, const QString &)> &refused)
{
    OrderDataControl *lines = m_session->lines();
    m_lineDelegate = new OrderFieldDelegate(this);
    connect(m_lineDelegate, &OrderFieldDelegate::invalidInput, this, refused);
    m_lineDelegate->setKind(OrderSession::LineKey, Kind::ReadOnly);
    m_lineDelegate->setKind(OrderSession::LineOrder, Kind::Key);
    for (int c : { OrderSession::LineUnitPrice, OrderSession::LineQuantity, OrderSession::LineDiscount,
             OrderSession::LineTotal, OrderSession::LineWeight })
        m_lineDelegate->setKind(c, Kind::Number);
    m_lineDelegate->setKind(OrderSession::LineReturned, Kind::Key);
    for (int c = 0; c < lines->columnCount(); ++c)
        m_lineDelegate->setLengthLimit(c, columnLength(lines, c, m_lineDelegate->kind(c)));
    m_session->setLineHeaders({ QStringLiteral("مسلسل"), QStringLiteral("رقم الطلبية"),
        QStringLiteral("رقم الصنف"), QStringLiteral("الصنف"), QStringLiteral("سعر الوحدة"),
        QStringLiteral("الكمية"), QStringLiteral("الخصم"), QStringLiteral("الاجمالى"),
        QStringLiteral("الوزن"), QStringLiteral("مرتجع؟") });
    m_GRDORDERS->setModel(lines);
    m_GRDORDERS->setItemDelegate(m_lineDelegate);
    m_GRDORDERS->setSelectionMode(QAbstractItemView::SingleSelection);
    m_GRDORDERS->verticalHeader()->setVisible(false);
    connect(m_GRDORDERS->selectionModel(), &QItemSelectionModel::currentChanged, this,
        &OrderWindow::gridCellChanged);

    connect(lines, &OrderDataControl::currentRowChanged, this, &OrderWindow::linesShown);
    connect(lines, &QAbstractItemModel::headerDataChanged, this,
        [this](Qt::Orientation side, int first, int last) {
            if (side == Qt::Vertical)
                hideDeletedLines(first, last);
        });
    connect(lines, &QAbstractItemModel::modelReset, this,
        [this, lines] { hideDeletedLines(0, lines->rowCount() - 1); });
}
