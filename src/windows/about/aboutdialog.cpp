#include "aboutdialog.h"

#include "bitmapdisplayer.h"

#include "core/registry.h"
#include "core/version.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace
{

// Where the system information tool is registered: its full path, else the folder it lies in.
const QString SysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString SysInfoValue = QStringLiteral("PATH");
const QString SysInfoLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString SysInfoLocationValue = QStringLiteral("MSINFO");
const QString SysInfoFile = QStringLiteral("\\MSINFO32.EXE");
const QString SysInfoUnavailable = QStringLiteral("System Information Is Unavailable At This Time");

// The maker's contact details (fictional).
const QString MakerMail = QStringLiteral("brasko.maker@example.com");
const QString MakerTelephone = QStringLiteral("Tel. +1 555 0142");
const QString Disclaimer = QStringLiteral("This program is provided as is, without warranty of any kind.");

// One press of "Animate!": the effect it plays and the members set before it.
struct AnimateStep {
    quint32 effect;
    bool setsBlockSize;
    bool setsOverBlank;
};

constexpr AnimateStep AnimateCycle[] = {
    { BitmapDisplayer::EffectWipeRight, false, true },
    { BitmapDisplayer::EffectSlideFromLeft, false, true },
    { BitmapDisplayer::EffectSlideFromTop, false, true },
    { BitmapDisplayer::EffectWipeLeft, false, false },
    { BitmapDisplayer::EffectWipeDown, false, false },
    { BitmapDisplayer::EffectZoomIn, false, true },
    { BitmapDisplayer::EffectDiagonal, false, true },
    { BitmapDisplayer::EffectDissolve, true, true },
    { BitmapDisplayer::EffectIris, false, true },
    { BitmapDisplayer::EffectBlinds, false, true },
    { BitmapDisplayer::EffectFadeIn, false, true },
    { BitmapDisplayer::EffectBarnDoors, false, true },
    { BitmapDisplayer::EffectMosaic, true, true },
    { BitmapDisplayer::EffectMosaic, true, true },
    { BitmapDisplayer::EffectCheckerboard, true, true },
};
constexpr int AnimateCycleLength = int(std::size(AnimateCycle));

QString appTitle()
{
    return QStringView(AppTitle).toString();
}

// The maker's portrait: a head and shoulders on a round badge.
QPixmap drawPortrait()
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x2A, 0x4D, 0x7A), 1.5));
    p.setBrush(QColor(0xD6, 0xE4, 0xF5));
    p.drawEllipse(QRectF(1, 1, 46, 46));
    QPainterPath clip;
    clip.addEllipse(QRectF(1.75, 1.75, 44.5, 44.5));
    p.setClipPath(clip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2A, 0x4D, 0x7A));
    p.drawEllipse(QRectF(10, 30, 28, 26));
    p.setBrush(QColor(0xF0, 0xC8, 0xA0));
    p.drawEllipse(QRectF(16, 10, 16, 18));
    return pixmap;
}

// The small picture on "Ok": a green tick.
QIcon drawOkIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x1E, 0x8C, 0x3A), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({ QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4) }));
    return QIcon(pixmap);
}

} // namespace

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
    , m_registry(createSystemRegistrySource())
    , m_startProgram([this](const QString &path) { return startTool(path); })
    , m_showMessage([this](const QString &text, const QString &title) {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
        box.exec();
    })
{
    setObjectName(QStringLiteral("ABOUTT"));
    setModal(true);

    m_sstab1 = new QTabWidget(this);
    m_sstab1->setObjectName(QStringLiteral("SSTab1"));
    auto *author = new QWidget;
    auto *program = new QWidget;
    m_sstab1->addTab(author, tr("Author"));
    m_sstab1->addTab(program, tr("Program"));
    buildAuthorTab(author);
    buildProgramTab(program);

    auto *cmdSysInfo = new QPushButton(tr("System info"), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setAutoDefault(false);
    connect(cmdSysInfo, &QPushButton::clicked, this, &AboutDialog::showSystemInfo);

    auto *commandButton1 = new QPushButton(drawOkIcon(), tr("Ok"), this);
    commandButton1->setObjectName(QStringLiteral("CommandButton1"));
    commandButton1->setDefault(true);
    connect(commandButton1, &QPushButton::clicked, this, &AboutDialog::closeDialog);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    buttons->addWidget(commandButton1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_sstab1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    load();
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::buildAuthorTab(QWidget *page)
{
    auto *frame1 = new QGroupBox(tr("Contact"), page);
    frame1->setObjectName(QStringLiteral("Frame1"));

    auto *image1 = new QLabel(frame1);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(drawPortrait());

    auto *label4 = new QLabel(tr("Author"), frame1);
    label4->setObjectName(QStringLiteral("Label4"));
    QFont bold = label4->font();
    bold.setBold(true);
    label4->setFont(bold);

    auto *axsHLink1 = new QLabel(frame1);
    axsHLink1->setObjectName(QStringLiteral("axsHLink1"));
    axsHLink1->setTextFormat(Qt::RichText);
    axsHLink1->setText(u"<a href=\"mailto:" + MakerMail + u"\">" + MakerMail + u"</a>");
    axsHLink1->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    axsHLink1->setOpenExternalLinks(true);

    auto *label1 = new QLabel(MakerTelephone, frame1);
    label1->setObjectName(QStringLiteral("Label1"));

    auto *contact = new QGridLayout(frame1);
    contact->addWidget(image1, 0, 0, 3, 1, Qt::AlignTop);
    contact->addWidget(label4, 0, 1);
    contact->addWidget(axsHLink1, 1, 1);
    contact->addWidget(label1, 2, 1);
    contact->setColumnStretch(1, 1);

    m_displayer = new BitmapDisplayer(page);
    m_displayer->setObjectName(QStringLiteral("HSBitmapDisplayer1"));

    auto *command1 = new QPushButton(tr("Animate!"), page);
    command1->setObjectName(QStringLiteral("Command1"));
    command1->setAutoDefault(false);
    connect(command1, &QPushButton::clicked, this, &AboutDialog::animate);

    auto *picture = new QVBoxLayout;
    picture->addWidget(m_displayer, 0, Qt::AlignHCenter);
    picture->addWidget(command1, 0, Qt::AlignHCenter);
    picture->addStretch();

    auto *layout = new QHBoxLayout(page);
    layout->addWidget(frame1, 1, Qt::AlignTop);
    layout->addLayout(picture);
}

void AboutDialog::buildProgramTab(QWidget *page)
{
    auto *lbldesc = new QLabel(appTitle(), page);
    lbldesc->setObjectName(QStringLiteral("lbldesc"));
    QFont large = lbldesc->font();
    large.setPointSizeF(large.pointSizeF() * 1.6);
    large.setBold(true);
    lbldesc->setFont(large);

    auto *line1 = new QFrame(page);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);

    auto *lblDisclaimer = new QLabel(Disclaimer, page);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));

    m_lblver = new QLabel(page);
    m_lblver->setObjectName(QStringLiteral("lblver"));

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(lbldesc);
    layout->addWidget(line1);
    layout->addWidget(lblDisclaimer);
    layout->addWidget(m_lblver);
    layout->addStretch();
}

void AboutDialog::load()
{
    m_sstab1->setCurrentIndex(0);
    setWindowTitle(u"About " + appTitle());
    m_lblver->setText(u"Version : " + QString::number(Version::Major) + u'.' + QString::number(Version::Minor)
        + u'.' + QString::number(Version::Revision));
}

void AboutDialog::setRegistrySource(std::unique_ptr<RegistrySource> source)
{
    m_registry = source ? std::move(source) : std::make_unique<RegistryFileSource>(QStringList());
}

bool AboutDialog::GetKeyValue(
    quint32 KeyRoot, const QString &KeyName, const QString &SubKeyRef, QString &KeyVal)
{
    return ::GetKeyValue(*m_registry, KeyRoot, KeyName, SubKeyRef, KeyVal);
}

void AboutDialog::StartSysInfo()
{
    bool started = false;
    try {
        QString SysInfoPath;
        if (GetKeyValue(Registry::LocalMachine, SysInfoKey, SysInfoValue, SysInfoPath)) {
            // The registered path is taken as it is.
            started = m_startProgram(SysInfoPath);
        } else if (GetKeyValue(
                       Registry::LocalMachine, SysInfoLocationKey, SysInfoLocationValue, SysInfoPath)) {
            const QString tool = SysInfoPath + SysInfoFile;
            if (QFileInfo(m_registry->localPath(tool)).isFile())
                started = m_startProgram(tool);
        }
    } catch (...) {
        started = false;
    }
    if (!started)
        m_showMessage(SysInfoUnavailable, appTitle());
}

bool AboutDialog::startTool(const QString &path)
{
#ifdef Q_OS_WIN
    return QProcess::startDetached(path, {});
#else
    // A tool registered in a Wine registry is a Windows program: Wine runs it, in the prefix the
    // registry came from (WINEPREFIX is passed on).
    if (isWindowsDrivePath(path))
        return QProcess::startDetached(QStringLiteral("wine"), { path });
    return QProcess::startDetached(m_registry->localPath(path), {});
#endif
}

void AboutDialog::showSystemInfo()
{
    StartSysInfo();
}

void AboutDialog::closeDialog()
{
    accept();
}

void AboutDialog::animate()
{
    m_displayer->setMember(BitmapDisplayer::MemberSteps, 50);
    ++m_animatePresses;
    if (m_animatePresses < 1 || m_animatePresses > AnimateCycleLength) {
        m_animatePresses = 0; // this press only starts the cycle over
        return;
    }
    const AnimateStep &step = AnimateCycle[m_animatePresses - 1];
    if (step.setsBlockSize)
        m_displayer->setMember(BitmapDisplayer::MemberBlockSize, 10);
    if (step.setsOverBlank)
        m_displayer->setMember(BitmapDisplayer::MemberOverBlank, 1);
    m_displayer->invoke(step.effect);
}
