#include "errorreport.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <cstdlib>

namespace
{

// The button captions are Arabic; DejaVu Sans carries the Arabic glyphs on every machine the
// program is installed on, so the captions never fall back to empty boxes.
QFont arabicFont(const QFont &base)
{
    QFont font = base;
    font.setFamilies({ QStringLiteral("DejaVu Sans") });
    return font;
}

QLineEdit *lineField(QWidget *parent, const QString &name)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    return field;
}

QPushButton *arabicButton(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFont(arabicFont(button->font()));
    button->setLayoutDirection(Qt::RightToLeft);
    return button;
}

} // namespace

ErrorReport::ErrorReport(QWidget *parent)
    : QDialog(parent)
    , m_endProgram([] { std::_Exit(EXIT_SUCCESS); })
    , m_print(&printWindow)
{
    setObjectName(QStringLiteral("ERRORT"));
    setWindowTitle(QStringLiteral("Error"));
    setModal(true);

    m_txterr0 = lineField(this, QStringLiteral("txterr0"));
    m_txterr1 = new QPlainTextEdit(this);
    m_txterr1->setObjectName(QStringLiteral("txterr1"));
    m_txterr1->setReadOnly(true);
    m_txterr1->setMinimumHeight(fontMetrics().lineSpacing() * 5);
    m_dtDateTime = lineField(this, QStringLiteral("dtDateTime"));
    m_dfOperatorName = lineField(this, QStringLiteral("dfOperatorName"));
    m_dfScreenName = lineField(this, QStringLiteral("dfScreenName"));
    m_dfActiveControl = lineField(this, QStringLiteral("dfActiveControl"));
    m_pbPrintMsgAndHalt
        = arabicButton(this, QStringLiteral("pbPrintMsgAndHalt"), QStringLiteral("طباعة الرسالة - توقف"));
    m_pbPrintScreenAndHalt = arabicButton(
        this, QStringLiteral("pbPrintScreenAndHalt"), QStringLiteral("طباعة الشاشة ومحاولة الاستمرار"));
    m_pbHalt = arabicButton(this, QStringLiteral("pbHalt"), QStringLiteral("محاولة الاستمرار"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_txterr0, 0, 0, 1, 2);
    grid->addWidget(m_txterr1, 1, 0, 1, 2);
    grid->addWidget(m_dtDateTime, 2, 0);
    grid->addWidget(m_dfOperatorName, 3, 0);
    grid->addWidget(m_dfScreenName, 4, 0);
    grid->addWidget(m_dfActiveControl, 5, 0);
    grid->addWidget(m_pbPrintMsgAndHalt, 2, 1);
    grid->addWidget(m_pbPrintScreenAndHalt, 3, 1);
    grid->addWidget(m_pbHalt, 4, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(1, 1);

    QWidget *order[] = { m_dtDateTime, m_dfOperatorName, m_dfScreenName, m_dfActiveControl,
        m_pbPrintMsgAndHalt, m_pbPrintScreenAndHalt, m_pbHalt, m_txterr0, m_txterr1 };
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    m_dtDateTime->setFocus(Qt::OtherFocusReason);
    // Enter must never stop the program by accident: it goes on, like Esc and closing the window.
    m_pbHalt->setDefault(true);

    connect(m_pbHalt, &QPushButton::clicked, this, &ErrorReport::halt);
    connect(m_pbPrintScreenAndHalt, &QPushButton::clicked, this, &ErrorReport::printScreenAndHalt);
    connect(m_pbPrintMsgAndHalt, &QPushButton::clicked, this, &ErrorReport::printMessageAndHalt);

    resize(std::max(sizeHint().width(), fontMetrics().averageCharWidth() * 80), sizeHint().height());
}

ErrorReport::~ErrorReport() = default;

void ErrorReport::setDescription(const QString &text)
{
    m_txterr0->setText(text);
    m_txterr0->setCursorPosition(0);
}

void ErrorReport::setSource(const QString &text)
{
    m_txterr1->setPlainText(text);
}

void ErrorReport::setDateTimeLine(const QString &text)
{
    m_dtDateTime->setText(text);
}

void ErrorReport::setOperatorLine(const QString &text)
{
    m_dfOperatorName->setText(text);
}

void ErrorReport::setScreenLine(const QString &text)
{
    m_dfScreenName->setText(text);
}

void ErrorReport::setActiveControlLine(const QString &text)
{
    m_dfActiveControl->setText(text);
}

void ErrorReport::printSelf() noexcept
{
    // A failed print is not reported: the operator's choice (go on, or stop) still holds.
    try {
        if (m_print)
            m_print(this, windowTitle());
    } catch (...) {
    }
}

void ErrorReport::halt()
{
    reject();
}

void ErrorReport::printScreenAndHalt()
{
    printSelf();
    reject();
}

void ErrorReport::printMessageAndHalt()
{
    printSelf();
    try {
        if (m_endProgram) {
            m_endProgram();
        } else {
            std::_Exit(EXIT_SUCCESS);
        }
    } catch (...) {
        std::_Exit(EXIT_SUCCESS);
    }
    // Only a replaced ender (tests) comes back here.
    reject();
}
