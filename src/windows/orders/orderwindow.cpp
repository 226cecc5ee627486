#include "orderwindow.h"

#include "core/amount.h"
#include "core/plan.h"
#include "orderfielddelegate.h"
#include "orders/orderdatacontrol.h"
#include "orders/orderdb.h"
#include "widgets/twips.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QDataWidgetMapper>
#include <QDate>
#include <QDateEdit>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <array>
#include <functional>

namespace
{

using Kind = OrderFieldDelegate::Kind;

const QString orderWindowTitle = QStringLiteral("بيانات الطلبيات");

// The order window computes the installment as wide as the calculator does: a 16-bit amount
// would overflow for any plan above 32767 a month.
Installments::Rules orderRules()
{
    Installments::Rules rules = Installments::Rules::order();
    rules.amountBits = 32;
    return rules;
}

QString refusalNote(Installments::Reason reason)
{
    using R = Installments::Reason;
    switch (reason) {
    case R::RemainderNotNumber:
        return QStringLiteral("سعر التقسيط ليس رقما؛ لم تحسب الاقساط.");
    case R::AmountTooLarge:
        return QStringLiteral("قيمة القسط تتجاوز %1؛ لم تحسب الاقساط.").arg(2147483647);
    case R::CountNotNumber:
    case R::CountNotWhole:
    case R::CountNotPositive:
    case R::CountTooLarge:
        return QStringLiteral("عدد الاقساط يجب ان يكون عددا صحيحا من 1 الى %1؛ لم تحسب الاقساط.")
            .arg(Installments::maxCount);
    case R::CountEmpty:
    case R::None:
        break;
    }
    return QString();
}

QLineEdit *lineEdit(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

// The navigation bar of a data control: first, previous, next, last, and where it stands.
QWidget *navigationBar(const QString &name, QLabel **position, QWidget *parent,
    const std::array<std::function<void()>, 4> &steps)
{
    auto *bar = new QWidget(parent);
    bar->setObjectName(name);
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    // Right to left: the first record is at the right end. The guillemets are mirrored in a
    // right-to-left line, so "«" shows pointing right, towards the first record.
    const char *names[4] = { "first", "previous", "next", "last" };
    const QString texts[4]
        = { QStringLiteral("«"), QStringLiteral("‹"), QStringLiteral("›"), QStringLiteral("»") };
    const QString tips[4] = { QStringLiteral("الاول"), QStringLiteral("السابق"), QStringLiteral("التالى"),
        QStringLiteral("الاخير") };
    *position = new QLabel(bar);
    (*position)->setObjectName(name + QStringLiteral("Position"));
    (*position)->setAlignment(Qt::AlignCenter);
    (*position)->setMinimumWidth(60);
    for (int i = 0; i < 4; ++i) {
        auto *button = new QToolButton(bar);
        button->setObjectName(QLatin1String(names[i]));
        button->setText(texts[i]);
        button->setToolTip(tips[i]);
        button->setAutoRaise(true);
        QObject::connect(button, &QToolButton::clicked, bar, steps[static_cast<size_t>(i)]);
        layout->addWidget(button);
        if (i == 1)
            layout->addWidget(*position);
    }
    return bar;
}

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

    auto *heading = new QLabel(orderWindowTitle, this);
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
    customerRow->addWidget(navigationBar(QStringLiteral("RSMain"), &m_customerPosition, this,
        { [this] { move(m_customers, &OrderDataControl::moveFirst); },
            [this] { move(m_customers, &OrderDataControl::movePrevious); },
            [this] { move(m_customers, &OrderDataControl::moveNext); },
            [this] { move(m_customers, &OrderDataControl::moveLast); } }));
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
    m_txtORDERTOTAL = lineEdit("txtORDERTOTAL", page);
    m_txtPAID = lineEdit("txtPAID", page);
    m_TextBox1 = lineEdit("TextBox1", page);
    const std::pair<const char *, QLineEdit *> fields[] = {
        { "رقم الطلبية", m_txtORDERID },
        { "رقم العميل", m_txtCUSTOMERID },
        { "تاريخ الطلبية", m_txtORDERDATE },
        { "المرجع", m_txtORDERREFERENCE },
        { "المصدر", m_txtORDERSOURCE },
        { "بيعت بواسطة", m_txtSOLDBY },
        { "ملحوظة", m_txtCOMMENT },
        { "الاجمالى", m_txtORDERTOTAL },
        { "المدفوع", m_txtPAID },
        { "الباقى", m_TextBox1 },
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
    layout->addWidget(navigationBar(QStringLiteral("RSORDER"), &m_orderPosition, page,
                          { [this] { move(m_orders, &OrderDataControl::moveFirst); },
                              [this] { move(m_orders, &OrderDataControl::movePrevious); },
                              [this] { move(m_orders, &OrderDataControl::moveNext); },
                              [this] { move(m_orders, &OrderDataControl::moveLast); } }),
        0, Qt::AlignRight);

    m_GRDORDERS = new QTableView(page);
    m_GRDORDERS->setObjectName(QStringLiteral("GRDORDERS"));
    layout->addWidget(m_GRDORDERS, 1);

    auto *lineBar = new QHBoxLayout;
    lineBar->addWidget(navigationBar(QStringLiteral("RSOrderDetails"), &m_linePosition, page,
        { [this] { moveLine(0); }, [this] { moveLine(m_lines->currentRow() - 1); },
            [this] { moveLine(m_lines->currentRow() + 1); },
            [this] { moveLine(m_lines->rowCount() - 1); } }));
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
    m_txtsellprice = lineEdit("txtsellprice", page);
    m_txtsellprice->setReadOnly(true);
    m_txtdeposit = lineEdit("txtdeposit", page);
    m_txtcerditamount = lineEdit("txtcerditamount", page);
    m_txtnoinst = lineEdit("txtnoinst", page);
    m_txtnoinst->setText(QStringLiteral("12"));
    m_txtinst = lineEdit("txtinst", page);
    m_txtinst->setReadOnly(true);
    m_txtfinst = lineEdit("txtfinst", page);
    m_txtfinst->setReadOnly(true);
    m_txtfirstinst = new QDateEdit(QDate::currentDate(), page);
    m_txtfirstinst->setObjectName(QStringLiteral("txtfirstinst"));
    m_txtfirstinst->setCalendarPopup(true);
    form->addRow(QStringLiteral("الاجمالى"), m_txtsellprice);
    form->addRow(QStringLiteral("المقدم"), m_txtdeposit);
    form->addRow(QStringLiteral("سعر التقسيط"), m_txtcerditamount);
    form->addRow(QStringLiteral("عدد الاقساط"), m_txtnoinst);
    form->addRow(QStringLiteral("قيمة القسط"), m_txtinst);
    form->addRow(QStringLiteral("القسط الاول"), m_txtfinst);
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

    for (QLineEdit *edit : { m_txtORDERTOTAL, m_txtdeposit, m_txtcerditamount, m_txtnoinst })
        edit->installEventFilter(this);
    return page;
}

void OrderWindow::bindFields()
{
    auto refused = [this](int, const QString &text) {
        m_refused << text;
        showNote(QStringLiteral("«%1» ليست قيمة صالحة لهذا الحقل؛ بقيت القيمة السابقة.").arg(text));
    };

    m_customerDelegate = new OrderFieldDelegate(this);
    connect(m_customerDelegate, &OrderFieldDelegate::invalidInput, this, refused);
    m_customerMapper = new QDataWidgetMapper(this);
    m_customerMapper->setModel(m_customers);
    m_customerMapper->setItemDelegate(m_customerDelegate);
    m_customerMapper->addMapping(m_txtNAME, m_customers->column(QStringLiteral("NAME")));

    m_orderDelegate = new OrderFieldDelegate(this);
    connect(m_orderDelegate, &OrderFieldDelegate::invalidInput, this, refused);
    m_orderMapper = new QDataWidgetMapper(this);
    m_orderMapper->setModel(m_orders);
    m_orderMapper->setItemDelegate(m_orderDelegate);
    const std::tuple<QLineEdit *, const char *, Kind> orderFields[] = {
        { m_txtCUSTOMERID, "CUSTOMERID", Kind::ReadOnly },
        { m_txtORDERDATE, "ORDERDATE", Kind::Date },
        { m_txtORDERREFERENCE, "ORDERREFERENCE", Kind::Text },
        { m_txtORDERSOURCE, "ORDERSOURCE", Kind::Text },
        { m_txtSOLDBY, "SOLDBY", Kind::Text },
        { m_txtCOMMENT, "COMMENT", Kind::Text },
        { m_txtORDERTOTAL, "ORDERAMT", Kind::Currency },
        { m_txtPAID, "PAIDAMT", Kind::Currency },
        { m_TextBox1, "TOTALREMAMT", Kind::Currency },
        { m_txtdeposit, "INSTDEPAMT", Kind::Number },
        { m_txtcerditamount, "INSTTOTALAMT", Kind::Number },
        { m_txtnoinst, "INSTNUMBER", Kind::Number },
    };
    for (const auto &[edit, column, kind] : orderFields) {
        const int index = m_orders->column(QLatin1String(column));
        if (index < 0)
            continue;
        m_orderDelegate->setKind(index, kind);
        m_orderMapper->addMapping(edit, index);
    }

    m_lineDelegate = new OrderFieldDelegate(this);
    connect(m_lineDelegate, &OrderFieldDelegate::invalidInput, this, refused);
    m_lineDelegate->setKind(0, Kind::ReadOnly);
    m_lineDelegate->setKind(1, Kind::Key);
    for (int c = 4; c <= 8; ++c)
        m_lineDelegate->setKind(c, Kind::Number);
    m_lineDelegate->setKind(9, Kind::Key);
    m_GRDORDERS->setModel(m_lines);
    m_GRDORDERS->setItemDelegate(m_lineDelegate);
    m_GRDORDERS->setSelectionMode(QAbstractItemView::SingleSelection);
    m_GRDORDERS->verticalHeader()->setVisible(false);
    connect(m_GRDORDERS->selectionModel(), &QItemSelectionModel::currentChanged, this,
        &OrderWindow::GRDORDERS_RowColChange);

    connect(m_customers, &OrderDataControl::currentRowChanged, this, &OrderWindow::customerShown);
    connect(m_orders, &OrderDataControl::currentRowChanged, this, &OrderWindow::orderShown);
    connect(m_lines, &OrderDataControl::currentRowChanged, this, &OrderWindow::linesShown);
    connect(m_orders, &QAbstractItemModel::dataChanged, this,
        [this](const QModelIndex &from, const QModelIndex &to) {
            const int total = m_orders->column(QStringLiteral("ORDERAMT"));
            if (m_orders->currentRow() >= from.row() && m_orders->currentRow() <= to.row()
                && total >= from.column() && total <= to.column())
                refreshSellPrice();
        });
    connect(m_txtCUSTOMERID1, &QLineEdit::textChanged, this, &OrderWindow::txtCUSTOMERID1_Change);
    connect(m_txtORDERID, &QLineEdit::textChanged, this, &OrderWindow::txtORDERID_Change);
}

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

void OrderWindow::move(OrderDataControl *control, bool (OrderDataControl::*step)())
{
    commitTypedEdits();
    // The record being left is written first; when that fails the window stays on it.
    if (!control->writePending()) {
        showMessage(
            QStringLiteral("تعذر حفظ التعديلات قبل الانتقال الى سجل اخر:\n%1").arg(control->lastErrorText()));
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
    m_ordersFollow = true;
    commitTypedEdits();
    if (!m_orders->requery(QStringLiteral("CUSTOMERID"), m_txtCUSTOMERID1->text()))
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
    m_linesFollow = true;
    if (!m_lines->requery(QStringLiteral("ORDERID"), m_txtORDERID->text()))
        showMessage(QStringLiteral("تعذر عرض سطور الطلبية رقم «%1» من قاعدة البيانات \"%2\":\n%3")
                        .arg(m_txtORDERID->text(), OrderDb::dataSourceName(), m_lines->lastErrorText()));
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
    // The line belongs to the order whose number is shown; a number that is no key is left out.
    if (const std::optional<qint32> order = OrderDb::keyValue(m_txtORDERID->text())) {
        const QModelIndex orderCell = m_lines->index(row, 1);
        if (orderCell.data(Qt::EditRole) != QVariant(*order))
            m_lines->setData(orderCell, *order);
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
    commitTypedEdits();
    if (!m_lines->addNew()) {
        showMessage(QStringLiteral("تعذر بدء سطر جديد:\n%1").arg(m_lines->lastErrorText()));
        return;
    }
    m_lines->setValue(QStringLiteral("ORDERID"), m_orders->currentKey());
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
    m_lines->removeRow(row);
    if (m_lines->rowCount() == before)
        m_GRDORDERS->setRowHidden(row, true); // a stored line stays in the model, marked for deletion
    else
        m_lines->track(qMin(row, m_lines->rowCount() - 1));
}

bool OrderWindow::newOrder()
{
    const std::optional<qint32> customer = OrderDb::keyValue(m_txtCUSTOMERID1->text());
    if (!customer) {
        showMessage(QStringLiteral("رقم العميل «%1» ليس رقما صالحا؛ لم تنشأ طلبية جديدة.")
                        .arg(m_txtCUSTOMERID1->text()));
        return false;
    }
    commitTypedEdits();
    if (!m_orders->writePending()) {
        showMessage(QStringLiteral("تعذر حفظ الطلبية الحالية؛ لم تنشأ طلبية جديدة:\n%1")
                        .arg(m_orders->lastErrorText()));
        return false;
    }
    if (!m_orders->addNew()) {
        showMessage(QStringLiteral("تعذر بدء طلبية جديدة:\n%1").arg(m_orders->lastErrorText()));
        return false;
    }
    m_orders->setValue(QStringLiteral("CUSTOMERID"), *customer);
    m_orders->setValue(QStringLiteral("ORDERDATE"), QDate::currentDate());
    m_orders->setValue(QStringLiteral("INSTNUMBER"), 12);
    if (!m_orders->writePending()) {
        const QString why = m_orders->lastErrorText();
        // Nothing half-made stays behind: the new order is dropped and the window shows a stored one.
        m_orders->discardPending();
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
    const std::pair<OrderDataControl *, QString> writes[] = { { m_customers, QStringLiteral("العميل") },
        { m_orders, QStringLiteral("الطلبية") }, { m_lines, QStringLiteral("سطور الطلبية") } };
    for (const auto &[control, what] : writes) {
        if (!control->writePending())
            failures << what % QStringLiteral(": ") % control->lastErrorText();
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

bool OrderWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_txtORDERTOTAL || watched == m_txtdeposit)
            deriveInstallmentPrice();
        else if (watched == m_txtcerditamount) {
            CalcInst();
            CalcAllInst();
        } else if (watched == m_txtnoinst)
            txtnoinst_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void OrderWindow::refreshSellPrice()
{
    const QVariant total = m_orders->value(QStringLiteral("ORDERAMT"));
    const std::optional<Decimal> value = Decimal::fromPlain(total.toString().trimmed());
    m_txtsellprice->setText(FormatAmount(value ? value->plainText() : QString()));
}

void OrderWindow::deriveInstallmentPrice()
{
    if (!m_txtcerditamount->text().trimmed().isEmpty())
        return;
    // The total as typed (the field may not have reached the record yet when it loses the focus).
    const std::optional<Decimal> total = m_txtORDERTOTAL->text().trimmed().isEmpty()
        ? std::optional<Decimal>(Decimal())
        : OrderDb::currencyValue(m_txtORDERTOTAL->text());
    if (!total)
        return;
    const std::optional<Decimal> price = OrderDb::installmentPrice(*total, m_txtdeposit->text());
    if (!price)
        return;
    m_txtcerditamount->setText(price->plainText());
    if (m_orders->hasCurrentRecord())
        m_orders->setValue(QStringLiteral("INSTTOTALAMT"), price->exactText());
}

void OrderWindow::CalcInst()
{
    const Installments::PlanAmounts plan
        = Installments::calcInst(m_txtcerditamount->text(), m_txtnoinst->text(), orderRules());
    switch (plan.outcome) {
    case Installments::Outcome::Done:
        m_txtinst->setText(plan.amountText);
        m_txtfinst->setText(plan.firstText);
        showNote(QString());
        break;
    case Installments::Outcome::Unchanged:
        break;
    case Installments::Outcome::Refused:
        // An empty count simply stops, as it always has; the other refusals say why.
        showNote(refusalNote(plan.reason));
        break;
    }
}

void OrderWindow::CalcAllInst()
{
    if (m_txtsellprice->text() == QLatin1String("0.00"))
        return;
    const Installments::SchedulePlan plan = Installments::calcAllInst(m_txtcerditamount->text(),
        m_txtnoinst->text(), m_txtfirstinst->date(), m_txtinst->text(), m_txtfinst->text(), orderRules());
    if (plan.outcome == Installments::Outcome::Done)
        m_schedule->setSchedule(plan.schedule);
    else if (plan.outcome == Installments::Outcome::Refused)
        showNote(refusalNote(plan.reason));
}

void OrderWindow::txtnoinst_LostFocus()
{
    // A changed count gets its amounts recomputed first, so the schedule always adds up to the
    // installment price instead of repeating an amount worked out for another count.
    CalcInst();
    m_txtinst->setText(FormatAmount(m_txtinst->text()));
    CalcAllInst();
}

void OrderWindow::clearPlan()
{
    m_txtinst->clear();
    m_txtfinst->clear();
    m_schedule->clear();
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
