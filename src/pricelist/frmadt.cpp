#include "frmadt.h"

#include "adtstatements.h"
#include "errors/errorreport.h"
#include "errors/generaldate.h"
#include "installments/numericedit.h"
#include "quote/gridcombo.h"
#include "quote/windowtext.h"
#include "store/store.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSqlError>
#include <QVBoxLayout>

namespace
{

constexpr int PictureSide = 64;

// Sets a flag for the length of a scope and restores what it was.
class FlagGuard
{
public:
    explicit FlagGuard(bool &flag)
        : m_flag(flag)
        , m_previous(flag)
    {
        m_flag = true;
    }
    ~FlagGuard() { m_flag = m_previous; }
    FlagGuard(const FlagGuard &) = delete;
    FlagGuard &operator=(const FlagGuard &) = delete;

private:
    bool &m_flag;
    bool m_previous;
};

// The last category has no picture of its own: an empty, neutral frame keeps the window's shape.
QPixmap placeholderPicture(const QPalette &palette)
{
    QPixmap pixmap(PictureSide, PictureSide);
    pixmap.fill(palette.color(QPalette::Window));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(palette.color(QPalette::Mid), 2, Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(palette.color(QPalette::Button));
    painter.drawRoundedRect(QRectF(4, 4, PictureSide - 8, PictureSide - 8), 6, 6);
    return pixmap;
}

QPushButton *commandButton(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

// A database error as the report shows it: the engine's own number where it gives one.
QString errorNumber(const QSqlError &error)
{
    bool ok = false;
    const int native = error.nativeErrorCode().toInt(&ok);
    return QString::number(ok ? native : static_cast<int>(error.type()));
}

QString errorDescription(const QSqlError &error)
{
    if (!error.databaseText().isEmpty())
        return error.databaseText();
    if (!error.driverText().isEmpty())
        return error.driverText();
    return QStringLiteral("The database reported an error without a description.");
}

const QString ProgramSource = QStringLiteral("Brasko");

} // namespace

frmadt::frmadt(
    Store *store, const QString &caption, const QString &cat, const QPixmap &picture, QWidget *parent)
    : QDialog(parent)
    , m_store(store)
    , m_cat(cat)
{
    setObjectName(QStringLiteral("frmadt"));
    setWindowTitle(caption);
    setModal(true);

    auto *frame1 = new QGroupBox(this);
    frame1->setObjectName(QStringLiteral("Frame1"));

    m_image1 = new QLabel(frame1);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setFixedSize(PictureSide, PictureSide);
    m_image1->setScaledContents(true);
    m_image1->setPixmap(picture.isNull() ? placeholderPicture(palette()) : picture);

    auto *label2 = new QLabel(QStringLiteral("ID"), frame1);
    label2->setObjectName(QStringLiteral("Label2"));
    m_txtrid = new GridCombo(frame1);
    m_txtrid->setObjectName(QStringLiteral("txtrid"));
    m_txtrid->setMaxLength(WindowText::IdLength);
    auto *label3 = new QLabel(QStringLiteral("Description"), frame1);
    label3->setObjectName(QStringLiteral("Label3"));
    m_txtdesc = new QLineEdit(frame1);
    m_txtdesc->setObjectName(QStringLiteral("txtdesc"));
    WindowText::limitLength(m_txtdesc, WindowText::DescriptionLength);
    auto *label1 = new QLabel(QStringLiteral("Price"), frame1);
    label1->setObjectName(QStringLiteral("Label1"));
    m_txtprice = new NumericEdit(frame1);
    m_txtprice->setObjectName(QStringLiteral("txtprice"));
    WindowText::limitLength(m_txtprice, WindowText::AmountLength);
    m_txtprice->setText(QStringLiteral("0.00"));

    auto *fields = new QGridLayout(frame1);
    fields->addWidget(m_image1, 0, 0, 3, 1, Qt::AlignTop);
    fields->addWidget(label2, 0, 1);
    fields->addWidget(m_txtrid, 0, 2);
    fields->addWidget(label3, 1, 1);
    fields->addWidget(m_txtdesc, 1, 2);
    fields->addWidget(label1, 2, 1);
    fields->addWidget(m_txtprice, 2, 2);
    fields->setColumnStretch(2, 1);
    fields->setColumnMinimumWidth(2, fontMetrics().averageCharWidth() * 40);

    m_command1 = commandButton(this, QStringLiteral("Command1"), QStringLiteral("&Add"));
    m_command2 = commandButton(this, QStringLiteral("Command2"), QStringLiteral("&Update"));
    m_command3 = commandButton(this, QStringLiteral("Command3"), QStringLiteral("&Delete"));
    m_command0 = commandButton(this, QStringLiteral("command0"), QStringLiteral("&Cancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *b : { m_command1, m_command2, m_command3, m_command0 })
        buttons->addWidget(b);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(frame1);
    outer->addLayout(buttons);

    QWidget *order[] = { m_txtrid, m_txtdesc, m_command2, m_command0, m_command1, m_command3, m_txtprice };
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    m_txtrid->SetFocus();

    connect(m_txtrid, &GridCombo::listRequested, this, &frmadt::txtrid_DropDown);
    connect(m_txtrid, &GridCombo::keyDown, this, &frmadt::txtrid_KeyDown);
    connect(m_txtrid, &GridCombo::keyPress, this, &frmadt::txtrid_KeyPress);
    connect(m_txtrid, &GridCombo::focusLost, this, &frmadt::txtrid_LostFocus);
    connect(m_txtrid, &GridCombo::itemChosen, this, &frmadt::txtrid_ItemChosen);
    connect(m_command1, &QPushButton::clicked, this, &frmadt::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &frmadt::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &frmadt::Command3_Click);
    connect(m_command0, &QPushButton::clicked, this, &frmadt::command0_Click);
}

frmadt::~frmadt()
{
    // The picker is destroyed after this part of the window and may still report losing the focus.
    disconnect(m_txtrid, nullptr, this, nullptr);
}

void frmadt::setVisible(bool visible)
{
    const bool first = visible && !m_shown;
    QDialog::setVisible(visible);
    if (first) {
        // A dialog makes its first button the default when it is shown; the editor has none until
        // a lookup has decided between adding and updating.
        m_shown = true;
        for (QPushButton *b : { m_command1, m_command2, m_command3, m_command0 })
            b->setDefault(false);
    }
}

void frmadt::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmadt::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_command0->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmadt::Form_Activate()
{
    setButtons(false, false, false);
}

void frmadt::setButtons(bool add, bool update, bool remove)
{
    m_command1->setEnabled(add);
    m_command2->setEnabled(update);
    m_command3->setEnabled(remove);
}

void frmadt::makeDefault(QPushButton *button)
{
    for (QPushButton *b : { m_command1, m_command2, m_command3, m_command0 })
        b->setDefault(b == button);
}

void frmadt::txtrid_DropDown()
{
    try {
        auto rows = m_store->query(AdtStatements::list(m_cat));
        if (!rows) {
            m_txtrid->setRowSource({});
            reportFailure(m_store->lastError());
            return;
        }
        m_txtrid->setRowSource(std::move(rows));
    } catch (const std::exception &e) {
        reportException(e.what());
    } catch (...) {
        reportException(nullptr);
    }
}

void frmadt::txtrid_KeyDown(int keyCode, int)
{
    try {
        // Backspace clears the whole id, not one character.
        if (keyCode == GridCombo::KeyBack) {
            m_txtrid->setText(QString());
            m_txtrid->suppressKey();
        }
    } catch (const std::exception &e) {
        reportException(e.what());
    } catch (...) {
        reportException(nullptr);
    }
}

void frmadt::txtrid_KeyPress(int charCode)
{
    if (charCode == GridCombo::KeyBack)
        return;
    try {
        // The id is the upper-cased accumulation of what is typed; the picker must not add the
        // character a second time.
        m_txtrid->suppressKey();
        if (charCode <= 0 || charCode > 0xFFFF)
            return;
        const QChar typed(static_cast<char16_t>(charCode));
        if (typed.isSurrogate() || !typed.isPrint())
            return;
        m_txtrid->setText((m_txtrid->Text() + typed).toUpper());
    } catch (const std::exception &e) {
        reportException(e.what());
    } catch (...) {
        reportException(nullptr);
    }
}

void frmadt::txtrid_LostFocus()
{
    // Focus also leaves the picker while this window closes or shows a report of its own; neither
    // is the operator leaving the id.
    if (m_busy || !isVisible())
        return;
    lookup();
}

void frmadt::txtrid_ItemChosen()
{
    if (m_busy)
        return;
    if (lookup())
        m_txtdesc->setFocus(Qt::OtherFocusReason);
}

bool frmadt::lookup()
{
    FlagGuard busy(m_busy);
    try {
        auto found = m_store->query(AdtStatements::lookup(m_cat, m_txtrid->Text()));
        if (!found) {
            reportFailure(m_store->lastError());
            return false;
        }
        if (found->moveFirst()) {
            m_command1->setEnabled(false);
            m_command2->setEnabled(true);
            makeDefault(m_command2);
            m_command3->setEnabled(true);
            m_txtdesc->setText(found->text(QStringLiteral("Description")).value_or(QString()));
            m_txtprice->setValue(PriceText::read(found->text(QStringLiteral("price")).value_or(QString())));
        } else {
            m_command1->setEnabled(true);
            makeDefault(m_command1);
            m_command2->setEnabled(false);
            m_command3->setEnabled(false);
            m_txtdesc->setText(QString());
            m_txtprice->setValue(0);
        }
        return true;
    } catch (const std::exception &e) {
        reportException(e.what());
    } catch (...) {
        reportException(nullptr);
    }
    return false;
}

void frmadt::Command1_Click()
{
    FlagGuard busy(m_busy);
    try {
        const auto price = PriceText::general(m_txtprice->value());
        if (!price) {
            reportFailure(QStringLiteral("13"), QStringLiteral("Type mismatch"), ProgramSource);
            return;
        }
        change(AdtStatements::insert(m_cat, m_txtrid->Text(), m_txtdesc->text(), *price));
    } catch (const std::exception &e) {
        reportException(e.what());
    } catch (...) {
        reportException(nullptr);
    }
}

void frmadt::Command2_Click()
{
    FlagGuard busy(m_busy);
    try {
        // The stored price keeps at most two decimals, cut, not rounded (12.345 becomes 12.34).
        const auto cut = PriceText::cutToCents(m_txtprice->value());
        const auto price = cut ? PriceText::general(*cut) : std::nullopt;
        if (!price) {
            reportFailure(QStringLiteral("13"), QStringLiteral("Type mismatch"), ProgramSource);
            return;
        }
        m_txtprice->setValue(*cut);
        change(AdtStatements::update(m_cat, m_txtrid->Text(), m_txtdesc->text(), *price));
    } catch (const std::exception &e) {
        reportException(e.what());
    } catch (...) {
        reportException(nullptr);
    }
}

void frmadt::Command3_Click()
{
    FlagGuard busy(m_busy);
    try {
        change(AdtStatements::remove(m_cat, m_txtrid->Text()));
    } catch (const std::exception &e) {
        reportException(e.what());
    } catch (...) {
        reportException(nullptr);
    }
}

void frmadt::command0_Click()
{
    reject();
}

void frmadt::change(const QString &statement)
{
    if (!m_store->execute(statement)) {
        reportFailure(m_store->lastError());
        return;
    }
    UpdateDBDate();
    accept();
}

void frmadt::UpdateDBDate()
{
    // The stamp reports nothing: a failure keeps the previous dt row and the change stands.
    try {
        m_store->rewriteSetting(QStringLiteral("dt"), GeneralDateText(QDateTime::currentDateTime()));
    } catch (...) {
    }
}

void frmadt::reportFailure(const QSqlError &error)
{
    QString source = m_store->database().driverName();
    if (source == QLatin1String("QSQLITE"))
        source = QLatin1String("SQLite database ") + m_store->path();
    else if (source.isEmpty())
        source = ProgramSource;
    reportFailure(errorNumber(error), errorDescription(error), source);
}

void frmadt::reportFailure(const QString &number, const QString &description, const QString &source)
{
    {
        FlagGuard busy(m_busy);
        ShowErrorReport(this, number, description, source);
    }
    // Coming back from the report activates the editor again: nothing is usable until the next
    // lookup.
    Form_Activate();
}

void frmadt::reportException(const char *what)
{
    try {
        reportFailure(QStringLiteral("51"),
            what ? QString::fromLocal8Bit(what) : QStringLiteral("Internal error"), ProgramSource);
    } catch (...) {
    }
}
