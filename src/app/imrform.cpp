#include "imrform.h"

#include "amount.h"
#include "store/store.h"
#include "twips.h"
#include "version.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

namespace {

constexpr int CollapsedWidthTwips = 7785;
constexpr int ContentHeightTwips = 7845;
// The design border: outer width 9240 against a content width of 9135.
constexpr int BorderTwips = 105;

const QString CompanyInitial = QStringLiteral("Company Name and Tel");
const QString MakersNotice = QStringLiteral("Velmont Brasko - price offers and installment plans for the sales counter");

} // namespace

IMRForm::IMRForm(Store *store, QWidget *parent)
    : QMainWindow(parent)
    , m_store(store)
    , m_endProgram([] { QCoreApplication::exit(0); })
{
    setObjectName(QStringLiteral("IMRForm"));
    buildMenus();
    buildClientArea();
    buildStatusBar();
    setFixedHeight(menuBar()->sizeHint().height() + Twips::toY(this, ContentHeightTwips));
    setWindowWidthTwips(CollapsedWidthTwips);
}

IMRForm::~IMRForm() = default;

void IMRForm::buildMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("mnufile"));
    QAction *installments = file->addAction(tr("&Installments"));
    installments->setObjectName(QStringLiteral("mnufileinstallments"));
    connect(installments, &QAction::triggered, this, &IMRForm::mnufileinstallments_Click);
    QAction *separator = file->addSeparator();
    separator->setObjectName(QStringLiteral("mnufileseparator1"));
    QAction *exit = file->addAction(tr("&Exit"));
    exit->setObjectName(QStringLiteral("mnufileexit"));
    connect(exit, &QAction::triggered, this, &IMRForm::mnufileexit_Click);

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("menuhelp"));
    QAction *about = help->addAction(tr("&About"));
    about->setObjectName(QStringLiteral("menuhelpabout"));
    connect(about, &QAction::triggered, this, &IMRForm::menuhelpabout_Click);
}

void IMRForm::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i + 1));
        m_panels[i]->setFrameShape(QFrame::StyledPanel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
        if (i == 0)
            bar->addWidget(m_panels[i], 1);
        else
            bar->addPermanentWidget(m_panels[i]);
    }
    m_panels[2]->setText(QStringLiteral("DB Date"));
    m_panels[2]->setToolTip(QStringLiteral("Data Base Last modification date"));
    // Panel 4 keeps today's date by itself, also across midnight.
    m_todayTimer = new QTimer(this);
    m_todayTimer->setSingleShot(true);
    connect(m_todayTimer, &QTimer::timeout, this, &IMRForm::refreshTodayPanel);
    refreshTodayPanel();
}

void IMRForm::refreshTodayPanel()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_panels[3]->setText(QLocale().toString(now.date(), QLocale::ShortFormat));
    const QDateTime nextMidnight(now.date().addDays(1), QTime(0, 0, 1));
    m_todayTimer->start(static_cast<int>(std::clamp<qint64>(now.msecsTo(nextMidnight), 1000, 24 * 3600 * 1000)));
}

void IMRForm::buildClientArea()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("IMRFormClient"));
    setCentralWidget(client);
    const auto at = [this](QWidget *w, int left, int top, int width, int height) {
        w->setGeometry(Twips::rect(this, left, top, width, height));
    };

    m_text3 = new QLineEdit(CompanyInitial, client);
    m_text3->setObjectName(QStringLiteral("Text3"));
    m_text3->setToolTip(QStringLiteral("Enter your company name and telephone here"));
    m_text3->setAlignment(Qt::AlignCenter);
    QFont shopFont(QStringLiteral("Arial"), 12, QFont::Bold);
    m_text3->setFont(shopFont);
    at(m_text3, 225, 60, 6210, 375);
    connect(m_text3, &QLineEdit::textChanged, this, &IMRForm::Text3_Change);

    m_frame2 = new QGroupBox(QStringLiteral("Client Data"), client);
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    at(m_frame2, 195, 450, 7410, 585);
    auto *label2 = new QLabel(QStringLiteral("Name/Tel"), m_frame2);
    label2->setObjectName(QStringLiteral("Label2"));
    at(label2, 360, 240, 1095, 195);
    m_text2 = new QLineEdit(m_frame2);
    m_text2->setObjectName(QStringLiteral("Text2"));
    m_text2->setToolTip(QStringLiteral("Enter customer name"));
    at(m_text2, 1545, 195, 2880, 285);
    auto *label4 = new QLabel(QStringLiteral("Date"), m_frame2);
    label4->setObjectName(QStringLiteral("Label4"));
    at(label4, 4590, 240, 405, 195);
    m_dtPicker1 = new QDateTimeEdit(m_frame2);
    m_dtPicker1->setObjectName(QStringLiteral("DTPicker1"));
    m_dtPicker1->setCalendarPopup(true);
    m_dtPicker1->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    at(m_dtPicker1, 5040, 195, 1350, 285);

    m_frame1 = new QGroupBox(QStringLiteral("PC Configuration"), client);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    at(m_frame1, 165, 1035, 8790, 6225);

    m_text5 = new QLineEdit(QStringLiteral("Sales Executive"), m_frame1);
    m_text5->setObjectName(QStringLiteral("Text5"));
    m_text5->setToolTip(QStringLiteral("Enter your name here"));
    at(m_text5, 1545, 5790, 1215, 315);
}

void IMRForm::setWindowWidthTwips(int twips)
{
    const int border = frameGeometry().width() - geometry().width();
    const int outer = Twips::toX(this, twips);
    setFixedWidth(outer - (border > 0 ? border : Twips::toX(this, BorderTwips)));
}

int IMRForm::windowWidthTwips() const
{
    const int border = frameGeometry().width() - geometry().width();
    return Twips::fromX(this, width() + (border > 0 ? border : Twips::toX(this, BorderTwips)));
}

bool IMRForm::Form_Load()
{
    // Steps 1 to 5 must all succeed; from step 6 on a failing step is skipped.
    m_dtPicker1->setDateTime(QDateTime::currentDateTime());
    setWindowTitle(QLatin1String("Velmont Brasko - ") + m_text3->text());
    setWindowWidthTwips(CollapsedWidthTwips);
    if (!m_store->open())
        return false;

    if (const auto company = m_store->readSetting(QStringLiteral("company")))
        m_text3->setText(*company);
    if (const auto sp = m_store->readSetting(QStringLiteral("sp")))
        m_text5->setText(*sp);
    m_panels[1]->setText(QStringLiteral("Version %1.%2").arg(Version::Major).arg(Version::Minor));
    m_panels[0]->setText(MakersNotice);
    m_panels[0]->setToolTip(m_panels[0]->text());
    if (const auto dt = m_store->readSetting(QStringLiteral("dt")))
        m_panels[2]->setText(QLatin1String("DB Date:") + *dt);
    m_loaded = true;
    return true;
}

QString IMRForm::connectionFailureMessage() const
{
    return QLatin1String("Error connecting to DataBase!\rPlease make sure that office 2000 is installed!\r"
                         "Connection String: ")
        + m_store->connectionString();
}

QString IMRForm::panelText(int panel) const
{
    return (panel >= 1 && panel <= 4) ? m_panels[panel - 1]->text() : QString();
}

QString IMRForm::panelToolTip(int panel) const
{
    return (panel >= 1 && panel <= 4) ? m_panels[panel - 1]->toolTip() : QString();
}

void IMRForm::Text3_Change()
{
    setWindowTitle(QLatin1String("Velmont Brasko - ") + m_text3->text());
}

void IMRForm::closeEvent(QCloseEvent *event)
{
    Form_QueryUnload();
    event->accept();
}

void IMRForm::Form_QueryUnload()
{
    if (!m_loaded)
        return;
    // Each setting is rewritten on its own, all or nothing, so a failure keeps the old row.
    m_store->rewriteSetting(QStringLiteral("company"), m_text3->text());
    m_store->rewriteSetting(QStringLiteral("sp"), m_text5->text());
}

void IMRForm::cmdinst_Click(int)
{
    if (openInstallments)
        openInstallments();
}

void IMRForm::mnufileinstallments_Click()
{
    if (openInstallments)
        openInstallments();
}

void IMRForm::menuhelpabout_Click()
{
    if (openAbout)
        openAbout();
}

void IMRForm::mnufileexit_Click()
{
    // Ends the run without the close sequence: the boxes are not written back.
    m_loaded = false;
    m_endProgram();
}
