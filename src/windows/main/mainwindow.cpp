#include "mainwindow.h"

#include "clientcompletion.h"
#include "core/version.h"
#include "fitwarnings.h"
#include "marginview.h"
#include "offeractions.h"
#include "offerstatuslabel.h"
#include "offervalidity.h"
#include "rowtexts.h"
#include "store/store.h"
#include "widgets/captionframe.h"
#include "widgets/gridcombo.h"
#include "widgets/twips.h"
#include "widgets/windowtext.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QChildEvent>
#include <QCloseEvent>
#include <QDateTimeEdit>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QTimer>

namespace
{

constexpr int CollapsedWidthTwips = 7785;
constexpr int ExpandedWidthTwips = 9240;
constexpr int CollapsedFrameTwips = 7425;
constexpr int ExpandedFrameTwips = 8880;
constexpr int CollapsedLineX2 = 7290;
constexpr int ExpandedLineX2 = 8730;
constexpr int LineX1 = 105;
constexpr int LineY = 5745;
constexpr int CollapsedTotalLeft = 6330;
constexpr int Frame1Left = 165;
constexpr int Frame1Top = 1035;
constexpr int Frame1Height = 6555;
constexpr int ContentHeightTwips = 8175;
// The panel of parts that do not fit, under the configuration frame while it has something to say.
constexpr int FitPanelTwips = 1020;
// The design border: outer width 9240 against a content width of 9135.
constexpr int BorderTwips = 105;

const QString Expand = QStringLiteral("&>>");
const QString Collapse = QStringLiteral("&<<");
const QString HidePrice = QStringLiteral("H&ide Price");
const QString ShowPrice = QStringLiteral("Sho&w Price");

const QString CompanyInitial = QStringLiteral("Company Name and Tel");
const QString SalesExecutiveInitial = QStringLiteral("Sales Executive");
const QString MakersNotice = QStringLiteral("Velmont Brasko by Velmont Software");

// Under a style sheet a control may take the desktop's font instead of its parent's (those inside
// a group box always do, others when a sheet is put on or taken off), a larger face than the one
// the layout is measured for: names ran into their boxes and descriptions were cut short. So every
// control is handed the form's font, now and as it is added.
void keepFormFont(QWidget *control)
{
    if (!control->testAttribute(Qt::WA_SetFont))
        control->setFont(control->window()->font());
}

class FormFontKeeper final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ChildPolished) {
            if (auto *control = qobject_cast<QWidget *>(static_cast<QChildEvent *>(event)->child()))
                keepFormFont(control);
        }
        return QObject::eventFilter(watched, event);
    }
};

void keepFormFontIn(QWidget *client)
{
    for (QWidget *control : client->findChildren<QWidget *>())
        keepFormFont(control);
    for (QWidget *container : client->findChildren<QGroupBox *>())
        container->installEventFilter(new FormFontKeeper(container));
    client->installEventFilter(new FormFontKeeper(client));
}

} // namespace

MainWindow::MainWindow(Store *store, QWidget *parent)
    : QMainWindow(parent)
    , m_store(store)
    , m_priceList(store)
    , m_counterSettings(store, CompanyInitial, SalesExecutiveInitial)
    , m_model(new OfferModel(this))
    , m_endProgram([] { QCoreApplication::exit(0); })
    , m_closeAfterFailure([this](const QString &message) {
        return QMessageBox::warning(this, QString::fromUtf16(AppTitle), message,
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    })
{
    setObjectName(QStringLiteral("IMRForm"));
    m_model->setOffer(Offer::blank(CompanyInitial, SalesExecutiveInitial, QDateTime::currentDateTime()));
    // The layout is measured for a small sans-serif face; Arial (or its metric twin) keeps the
    // captions inside their boxes.
    QFont formFont(QStringLiteral("Arial"));
    formFont.setPointSizeF(8.25);
    setFont(formFont);
    buildMenus();
    buildClientArea();
    buildStatusBar();
    setFixedHeight(menuBar()->sizeHint().height() + Twips::toY(this, ContentHeightTwips));
    setWindowWidthTwips(CollapsedWidthTwips);
    buildOfferActions();
    buildPriceListMenu();
    connect(m_model, &OfferModel::headerChanged, this, &MainWindow::showHeader);
    connect(m_model, &OfferModel::rowChanged, this, &MainWindow::showRow);
    connect(m_model, &OfferModel::totalChanged, this, &MainWindow::showTotal);
    showHeader();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("mnufile"));
    QAction *installments = file->addAction(tr("&Installments"));
    installments->setObjectName(QStringLiteral("mnufileinstallments"));
    connect(installments, &QAction::triggered, this, &MainWindow::requestInstallments);
    // The order window has no place of its own on the window; it sits beside the calculator.
    QAction *orders = file->addAction(tr("&Orders..."));
    orders->setObjectName(QStringLiteral("mnufileorders"));
    connect(orders, &QAction::triggered, this, [this] { Q_EMIT ordersRequested(); });
    QAction *separator = file->addSeparator();
    separator->setObjectName(QStringLiteral("mnufileseparator1"));
    QAction *exit = file->addAction(tr("&Exit"));
    exit->setObjectName(QStringLiteral("mnufileexit"));
    connect(exit, &QAction::triggered, this, &MainWindow::exitProgram);

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("menuhelp"));
    QAction *about = help->addAction(tr("&About"));
    about->setObjectName(QStringLiteral("menuhelpabout"));
    connect(about, &QAction::triggered, this, &MainWindow::aboutRequested);
}

void MainWindow::buildOfferActions()
{
    auto *menu = new QMenu(tr("&Offer"), menuBar());
    menu->setObjectName(QStringLiteral("mnuoffer"));
    addMenuBeforeHelp(menu);
    // Between the salesperson's name and the total, on screen and on paper.
    auto *label = new QLabel(m_configurationFrame);
    label->setObjectName(QStringLiteral("lblofferno"));
    label->setGeometry(Twips::rect(this, 2880, 5850, 2100, 195));
    // Under the number, in a line of its own below the total: what the client is told the offer
    // holds until.
    new OfferValidity(m_model, m_configurationFrame, 2880, 6165);
    auto *status = new OfferStatusLabel(m_store, m_configurationFrame, 5160, 6210);
    new ClientCompletion(m_clientBox, m_model, m_store, this);
    m_offerActions = new OfferActions(m_model, m_store, &m_counterSettings, menu, label, this);
    connect(m_offerActions, &OfferActions::statusMayHaveChanged, status,
        [this, status] { status->show(m_offerActions->current()); });
    m_offerActions->cautions().addSource([this] { return m_fitWarnings->problems(); });
    m_offerActions->cautions().addSource([this] { return belowCostReasons(); });
    m_margins = new MarginView(m_model, menu, m_configurationFrame,
        { [this](int index) { return row(index).amountBox(); }, m_totalBox,
            [this](int index, const QString &reason) {
                m_rows[static_cast<size_t>(index)]->markBelowCost(reason);
            },
            &RowTexts::plainCaption,
            // Margins stand beside the amounts: showing them shows the detail.
            [this](bool shown) {
                shown && m_detailToggle->text() == Expand ? toggleDetail() : layOutDetail();
            } },
        this);
}

QStringList MainWindow::belowCostReasons() const
{
    return m_model->belowCostReasons(&RowTexts::plainCaption);
}

void MainWindow::buildClientArea()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("IMRFormClient"));
    setCentralWidget(client);
    const auto at = [this](QWidget *w, int left, int top, int width, int height) {
        w->setGeometry(Twips::rect(this, left, top, width, height));
    };

    m_shopBox = new QLineEdit(CompanyInitial, client);
    m_shopBox->setObjectName(QStringLiteral("Text3"));
    WindowText::limitLength(m_shopBox, WindowText::ShopLength);
    m_shopBox->setToolTip(QStringLiteral("Enter your company name and telephone here"));
    m_shopBox->setAlignment(Qt::AlignCenter);
    QFont shopFont(QStringLiteral("Arial"), 12, QFont::Bold);
    m_shopBox->setFont(shopFont);
    at(m_shopBox, 225, 60, 6210, 375);
    connect(m_shopBox, &QLineEdit::textChanged, this, &MainWindow::shopNameChanged);
    // Only a person's edit changes the setting; the program's own texts (an opened offer's shop)
    // never do.
    connect(m_shopBox, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_counterSettings.changeCompany(text);
        m_model->setShop(text);
    });

    buildClientData(client);

    m_printImagesBox = new QCheckBox(QStringLiteral("Print Ima&ges"), client);
    m_printImagesBox->setObjectName(QStringLiteral("Check1"));
    at(m_printImagesBox, 7800, 90, 1335, 330);
    m_printButton = new QPushButton(QStringLiteral("Pri&nt"), client);
    m_printButton->setObjectName(QStringLiteral("cmdprint"));
    m_printButton->setToolTip(QStringLiteral("Send this offer to printer"));
    at(m_printButton, 6630, 135, 765, 315);
    connect(m_printButton, &QPushButton::clicked, this, &MainWindow::printOffer);
    m_priceToggle = new QPushButton(HidePrice, client);
    m_priceToggle->setObjectName(QStringLiteral("Command3"));
    at(m_priceToggle, 7800, 795, 975, 270);
    connect(m_priceToggle, &QPushButton::clicked, this, &MainWindow::togglePrices);

    m_configurationFrame = new CaptionFrame(QStringLiteral("PC Configuration"), client);
    m_configurationFrame->setObjectName(QStringLiteral("Frame1"));
    at(m_configurationFrame, Frame1Left, Frame1Top, 8790, Frame1Height);
    buildRows();
    buildTotalRow();
    m_fitWarnings = new FitWarnings(
        m_model, m_store, client,
        [this](int row, const QString &reasons) { m_rows[static_cast<size_t>(row)]->markFit(reasons); },
        [this](bool shown) {
            setFixedHeight(menuBar()->sizeHint().height()
                + Twips::toY(this, ContentHeightTwips + (shown ? FitPanelTwips : 0)));
        });
    at(m_fitWarnings->panel(), Frame1Left, Frame1Top + Frame1Height + 60, 8790, FitPanelTwips - 90);
    buildTabOrder();
    keepFormFontIn(client);
    // The price toggle reaches two pixels into the frame below it; on paper the frame is filled
    // white and would cover its lower edge.
    m_priceToggle->raise();
}

void MainWindow::buildClientData(QWidget *client)
{
    const auto at = [this](QWidget *w, int left, int top, int width, int height) {
        w->setGeometry(Twips::rect(this, left, top, width, height));
    };
    m_clientFrame = new CaptionFrame(QStringLiteral("Client Data"), client);
    m_clientFrame->setObjectName(QStringLiteral("Frame2"));
    at(m_clientFrame, 195, 450, 7410, 585);
    auto *clientCaption = new QLabel(QStringLiteral("Name/Tel"), m_clientFrame);
    clientCaption->setObjectName(QStringLiteral("Label2"));
    at(clientCaption, 360, 240, 1095, 195);
    m_clientBox = new QLineEdit(m_clientFrame);
    m_clientBox->setObjectName(QStringLiteral("Text2"));
    WindowText::limitLength(m_clientBox, WindowText::ClientLength);
    m_clientBox->setToolTip(QStringLiteral("Enter customer name"));
    at(m_clientBox, 1545, 195, 2880, 285);
    connect(m_clientBox, &QLineEdit::textEdited, m_model, &OfferModel::setClient);
    auto *dateCaption = new QLabel(QStringLiteral("Date"), m_clientFrame);
    dateCaption->setObjectName(QStringLiteral("Label4"));
    at(dateCaption, 4590, 240, 405, 195);
    m_dateBox = new QDateTimeEdit(m_clientFrame);
    m_dateBox->setObjectName(QStringLiteral("DTPicker1"));
    m_dateBox->setCalendarPopup(true);
    m_dateBox->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    at(m_dateBox, 5040, 195, 1350, 285);
    // The box has no signal of its own for a person's edit; the program sets it only from the
    // model, which takes back nothing but a date that differs from its own (the box's range).
    connect(m_dateBox, &QDateTimeEdit::dateTimeChanged, m_model, &OfferModel::setDate);

    m_detailToggle = new QPushButton(Expand, m_clientFrame);
    m_detailToggle->setObjectName(QStringLiteral("Command2"));
    m_detailToggle->setToolTip(QStringLiteral("Show details"));
    at(m_detailToggle, 6465, 202, 735, 270);
    connect(m_detailToggle, &QPushButton::clicked, this, &MainWindow::toggleDetail);
}

void MainWindow::buildTotalRow()
{
    const auto at = [this](QWidget *w, int left, int top, int width, int height) {
        w->setGeometry(Twips::rect(this, left, top, width, height));
    };
    m_totalLine = new QFrame(m_configurationFrame);
    m_totalLine->setObjectName(QStringLiteral("Line1"));
    m_totalLine->setFrameShape(QFrame::HLine);
    m_totalLine->setFrameShadow(QFrame::Plain);
    m_totalLine->setGeometry(
        Twips::toX(this, LineX1), Twips::toY(this, LineY), Twips::toX(this, 8670 - LineX1) + 1, 1);

    auto *sellerCaption = new QLabel(QStringLiteral("Sales Executive"), m_configurationFrame);
    sellerCaption->setObjectName(QStringLiteral("Label5"));
    // Starts a little left of its drawn place so the whole caption fits before the name box.
    at(sellerCaption, 150, 5850, 1380, 195);
    m_sellerBox = new QLineEdit(SalesExecutiveInitial, m_configurationFrame);
    m_sellerBox->setObjectName(QStringLiteral("Text5"));
    WindowText::limitLength(m_sellerBox, WindowText::PersonLength);
    m_sellerBox->setToolTip(QStringLiteral("Enter your name here"));
    at(m_sellerBox, 1545, 5790, 1215, 315);
    connect(m_sellerBox, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_counterSettings.changeSalesExecutive(text);
        m_model->setSeller(text);
    });
    m_installmentsButton = new QPushButton(QStringLiteral("Total Price"), m_configurationFrame);
    m_installmentsButton->setObjectName(QStringLiteral("cmdinst(0)"));
    m_installmentsButton->setToolTip(QStringLiteral("Press to change configuration"));
    at(m_installmentsButton, 5085, 5790, 1140, 315);
    connect(m_installmentsButton, &QPushButton::clicked, this, &MainWindow::requestInstallments);
    m_totalBox = new QLineEdit(QStringLiteral("0.00"), m_configurationFrame);
    m_totalBox->setObjectName(QStringLiteral("txttotal"));
    m_totalBox->setReadOnly(true);
    m_totalBox->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont totalFont(QStringLiteral("Arial"));
    totalFont.setPointSizeF(8.25);
    totalFont.setBold(true);
    m_totalBox->setFont(totalFont);
    QPalette totalPalette = m_totalBox->palette();
    totalPalette.setColor(QPalette::Text, Qt::blue);
    m_totalBox->setPalette(totalPalette);
    at(m_totalBox, CollapsedTotalLeft, 5790, 975, 315);
}

void MainWindow::buildTabOrder()
{
    // The pickers come first, so a whole offer can be picked with Tab and the arrow keys alone.
    QList<QWidget *> order;
    for (const auto &row : m_rows)
        order << row->picker();
    for (const auto &row : m_rows)
        order << row->amountBox();
    order << m_sellerBox << m_installmentsButton;
    for (const auto &row : m_rows)
        order << row->categoryButton();
    order << m_shopBox << m_clientBox << m_dateBox << m_detailToggle << m_printButton << m_printImagesBox
          << m_priceToggle;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void MainWindow::showEvent(QShowEvent *event)
{
    // The window system's frame is known only now; keep the outer width the toggle asked for.
    setWindowWidthTwips(m_outerWidthTwips);
    QMainWindow::showEvent(event);
}

void MainWindow::setWindowWidthTwips(int twips)
{
    m_outerWidthTwips = twips;
    const int border = frameGeometry().width() - geometry().width();
    const int outer = Twips::toX(this, twips);
    setFixedWidth(outer - (border > 0 ? border : Twips::toX(this, BorderTwips)));
}

int MainWindow::windowWidthTwips() const
{
    const int border = frameGeometry().width() - geometry().width();
    return Twips::fromX(this, width() + (border > 0 ? border : Twips::toX(this, BorderTwips)));
}

bool MainWindow::load()
{
    // Steps 1 to 5 must all succeed; from step 6 on a failing step is skipped.
    m_model->setDate(QDateTime::currentDateTime());
    WindowText::setTitle(this, QLatin1String("Velmont Brasko - ") + m_shopBox->text());
    m_detailToggle->setText(Collapse);
    toggleDetail();
    if (!m_store->open())
        return false;
    showDatabase();
    // The rows show the offer, which has no descriptions yet: the design captions go.
    for (int i = 0; i < ConfigRow::Count; ++i)
        showRow(i);
    m_fitWarnings->refresh();

    const StoreError unread = m_counterSettings.load();
    m_model->setShop(m_counterSettings.company());
    m_model->setSeller(m_counterSettings.salesExecutive());
    m_offerActions->settingsRead();
    m_panels[1]->setText(QStringLiteral("Version %1.%2").arg(Version::Major).arg(Version::Minor));
    m_panels[0]->setText(MakersNotice);
    m_panels[0]->setToolTip(m_panels[0]->text());
    // A dt row without a value still sets the panel, to the bare "DB Date:".
    if (const auto dt = m_priceList.settingValue(QStringLiteral("dt")); dt && *dt)
        m_panels[2]->setText(QLatin1String("DB Date:") + (*dt)->toString());
    m_loaded = true;
    // Both said at once, not first when closing.
    if (unread.isValid())
        warnSoon(QStringLiteral("SettingsUnreadWarning"),
            QStringLiteral("Could not read the shop name and the sales executive:\n%1\n\n"
                           "They will not be saved unless you type them.")
                .arg(unread.text()));
    if (const StoreError days = m_counterSettings.validDaysError(); days.isValid())
        warnSoon(QStringLiteral("ValidDaysUnreadWarning"),
            QStringLiteral("Could not read how long offers hold:\n%1\n\n"
                           "New offers hold %2 days until it can be read.")
                .arg(days.text())
                .arg(m_counterSettings.validDays()));
    if (!m_store->isWritable())
        warnSoon(QStringLiteral("ReadOnlyWarning"),
            QStringLiteral("%1 cannot be written (it or its folder is read-only).\n"
                           "Price-list changes, the shop name and the sales executive "
                           "will not be saved.")
                .arg(QDir::toNativeSeparators(m_store->path())));
    return true;
}

void MainWindow::warnSoon(const QString &name, const QString &text)
{
    QTimer::singleShot(0, this, [this, name, text] {
        auto *box = new QMessageBox(
            QMessageBox::Warning, QString::fromUtf16(AppTitle), text, QMessageBox::Ok, this);
        box->setObjectName(name);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
}

QString MainWindow::connectionFailureMessage() const
{
    const QString message
        = QLatin1String("Error connecting to DataBase!\rPlease make sure that office 2000 is installed!\r"
                        "Connection String: ")
        + m_store->connectionString();
    // A server can be away for many reasons; the one the server gave is what the shop needs.
    return m_store->namesServer() ? message + QLatin1Char('\r') + m_store->lastError().text() : message;
}

void MainWindow::shopNameChanged()
{
    WindowText::setTitle(this, QLatin1String("Velmont Brasko - ") + m_shopBox->text());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // An unsaved offer is asked about first, as New and Open do; Cancel keeps the window open.
    if (!settleUnsavedOffer()) {
        event->ignore();
        return;
    }
    const QString failure = saveOnClosing();
    if (!failure.isEmpty() && !m_closeAfterFailure(failure)) {
        event->ignore(); // kept open, so the texts are not lost
        return;
    }
    m_loaded = false;
    event->accept();
}

QString MainWindow::saveOnClosing()
{
    if (!m_loaded)
        return {};
    // The rows are rewritten in one transaction, so a failure keeps the old ones. A failure is not
    // kept quiet: the person would otherwise lose what they typed without knowing.
    const StoreError failure = m_counterSettings.save();
    if (!failure.isValid())
        return {};
    return QStringLiteral("Could not save the shop name and the sales executive:\n%1\n\n"
                          "Close anyway? What you typed will be lost.")
        .arg(failure.text());
}

bool MainWindow::settleUnsavedOffer()
{
    return !m_loaded || m_offerActions->settleUnsaved();
}

void MainWindow::exitProgram()
{
    // Ends the run without the close sequence: the boxes are not written back. An unsaved offer
    // would be lost without a word, so it is asked about first.
    if (!settleUnsavedOffer())
        return;
    m_loaded = false;
    m_endProgram();
}

void MainWindow::toggleDetail()
{
    const QString caption = m_detailToggle->text();
    if (caption != Expand && caption != Collapse)
        return;
    m_detailToggle->setText(caption == Expand ? Collapse : Expand);
    layOutDetail();
}

void MainWindow::layOutDetail()
{
    const bool expand = m_detailToggle->text() == Collapse;
    // Margins stand in a column of their own beside the amounts, which only the detail shows.
    const int margins = expand && m_margins && m_margins->isShown() ? MarginView::ColumnTwips : 0;
    setWindowWidthTwips((expand ? ExpandedWidthTwips : CollapsedWidthTwips) + margins);
    m_configurationFrame->resize(
        Twips::toX(this, (expand ? ExpandedFrameTwips : CollapsedFrameTwips) + margins),
        m_configurationFrame->height());
    const int x2 = expand ? ExpandedLineX2 : CollapsedLineX2;
    m_totalLine->resize(Twips::toX(this, x2 - LineX1) + 1, m_totalLine->height());
    m_totalBox->move(
        expand ? row(0).amountBox()->x() : Twips::toX(this, CollapsedTotalLeft), m_totalBox->y());
}

void MainWindow::togglePrices()
{
    const QString caption = m_priceToggle->text();
    if (caption == HidePrice) {
        m_priceToggle->setText(ShowPrice);
        for (const auto &row : m_rows)
            row->amountBox()->setEchoMode(QLineEdit::Password);
    } else if (caption == ShowPrice) {
        m_priceToggle->setText(HidePrice);
        for (const auto &row : m_rows)
            row->amountBox()->setEchoMode(QLineEdit::Normal);
    }
    row(0).amountBox()->setFocus(Qt::OtherFocusReason);
}

void MainWindow::requestInstallments()
{
    // The calculator takes the total as its amount: it is not opened while the offer has none.
    if (!m_offerActions->totalIsFormed())
        return;
    Q_EMIT installmentsRequested();
}

void MainWindow::printOffer()
{
    // A printed offer is always on record: it is kept first, where the file allows.
    m_offerActions->printKept();
}
