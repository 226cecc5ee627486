#include "numericedit.h"

#include "core/amount.h"
#include "core/decimal.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <QValidator>

#include <cmath>
#include <functional>
#include <optional>

namespace
{

// Plain text of a double: its 15 significant digits (what a double holds faithfully), in plain
// decimal form with '.', never in exponent form, so it reads back as the same number anywhere.
QString plainText(double value)
{
    if (!std::isfinite(value))
        return {};
    const std::optional<Decimal> d = Decimal::fromPlain(QString::number(value, 'g', 15));
    return d ? d->exactText() : QString();
}

// Lets through what is, or can still become, a number in the box's locale.
class NumberValidator final : public QValidator
{
public:
    explicit NumberValidator(QLineEdit *edit)
        : QValidator(edit)
        , m_edit(edit)
    {
    }

    State validate(QString &input, int &) const override
    {
        const QLocale locale = m_edit->locale();
        if (input.trimmed().isEmpty() || Amounts::isNumeric(input, locale))
            return Acceptable;
        // '.' is the point in every locale.
        const QString allowed = QStringLiteral("+-eE. ") + locale.decimalPoint() + locale.groupSeparator()
            + locale.negativeSign() + locale.positiveSign();
        for (const QChar c : input) {
            if (!c.isDigit() && !allowed.contains(c))
                return Invalid;
        }
        return Intermediate;
    }

private:
    QLineEdit *m_edit;
};

QIcon calculatorIcon(const QColor &ink)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(ink);
    p.drawRect(2, 0, 11, 15);
    p.fillRect(4, 2, 8, 3, ink);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col)
            p.fillRect(4 + col * 3, 7 + row * 3, 2, 2, ink);
    }
    return QIcon(pm);
}

// What a screen reader says for a calculator key: the operators by name, not by their signs.
QString spokenName(const char *objectName, const QString &caption)
{
    static const std::pair<const char *, const char *> names[] = {
        { "calcPoint", "Decimal point" },
        { "calcClear", "Clear" },
        { "calcAdd", "Add" },
        { "calcSubtract", "Subtract" },
        { "calcMultiply", "Multiply" },
        { "calcDivide", "Divide" },
        { "calcEquals", "Equals" },
    };
    for (const auto &[key, name] : names) {
        if (qstrcmp(key, objectName) == 0)
            return QString::fromLatin1(name);
    }
    return caption;
}

// The pocket calculator. Plain double arithmetic is what a desk calculator offers; the result is
// cut to 15 significant digits when it is written, like every number the program writes.
class Calculator final : public QFrame
{
public:
    Calculator(QWidget *owner, double start, std::function<void(double)> done)
        : QFrame(owner, Qt::Popup)
        , m_locale(owner->locale())
        , m_done(std::move(done))
    {
        setObjectName(QStringLiteral("calculator"));
        setAttribute(Qt::WA_DeleteOnClose);
        setFrameShape(QFrame::StyledPanel);
        setAccessibleName(QStringLiteral("Calculator"));
        auto *grid = new QGridLayout(this);
        grid->setSpacing(2);
        grid->setContentsMargins(4, 4, 4, 4);
        m_display = new QLineEdit(this);
        m_display->setObjectName(QStringLiteral("calcDisplay"));
        m_display->setAccessibleName(QStringLiteral("Calculator display"));
        m_display->setReadOnly(true);
        m_display->setFocusPolicy(Qt::NoFocus);
        m_display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(m_display, 0, 0, 1, 4);

        auto button = [&](const QString &caption, const char *name, int row, int col, int colSpan,
                          std::function<void()> action) {
            auto *b = new QToolButton(this);
            b->setText(caption);
            b->setAccessibleName(spokenName(name, caption));
            b->setObjectName(QString::fromLatin1(name));
            b->setFocusPolicy(Qt::NoFocus);
            b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            b->setMinimumWidth(28);
            connect(b, &QToolButton::clicked, this, std::move(action));
            grid->addWidget(b, row, col, 1, colSpan);
        };
        static const char *const digitNames[]
            = { "calc0", "calc1", "calc2", "calc3", "calc4", "calc5", "calc6", "calc7", "calc8", "calc9" };
        for (int d = 1; d <= 9; ++d)
            button(
                QString::number(d), digitNames[d], 3 - (d - 1) / 3, (d - 1) % 3, 1, [this, d] { digit(d); });
        button(QStringLiteral("0"), digitNames[0], 4, 0, 1, [this] { digit(0); });
        button(m_locale.decimalPoint(), "calcPoint", 4, 1, 1, [this] { point(); });
        button(QStringLiteral("C"), "calcClear", 4, 2, 1, [this] { clear(); });
        button(QString(QChar(0x00F7)), "calcDivide", 1, 3, 1, [this] { operation(u'/'); });
        button(QString(QChar(0x00D7)), "calcMultiply", 2, 3, 1, [this] { operation(u'*'); });
        button(QString(QChar(0x2212)), "calcSubtract", 3, 3, 1, [this] { operation(u'-'); });
        button(QStringLiteral("+"), "calcAdd", 4, 3, 1, [this] { operation(u'+'); });
        button(QStringLiteral("="), "calcEquals", 5, 0, 4, [this] { equals(); });

        m_current = std::isfinite(start) ? start : 0.0;
        showNumber(m_current);
    }

    void digit(int d)
    {
        if (m_error)
            clear();
        if (!m_typing) {
            m_entry.clear();
            m_typing = true;
        }
        const qsizetype digits
            = std::count_if(m_entry.cbegin(), m_entry.cend(), [](QChar c) { return c.isDigit(); });
        if (digits >= 15)
            return;
        if (m_entry == QLatin1String("0"))
            m_entry.clear();
        m_entry += QChar(u'0' + d);
        showEntry();
    }

    void point()
    {
        if (m_error)
            clear();
        if (!m_typing) {
            m_entry = QStringLiteral("0");
            m_typing = true;
        }
        if (!m_entry.contains(u'.'))
            m_entry += u'.';
        showEntry();
    }

    void backspace()
    {
        if (!m_typing || m_error)
            return;
        m_entry.chop(1);
        showEntry();
    }

    void operation(QChar op)
    {
        if (m_error)
            return;
        if (m_pending.isNull() || m_typing) {
            const std::optional<double> v = settle();
            if (!v)
                return;
            m_current = *v;
            showNumber(m_current);
        }
        // A second operator without a number in between only replaces the first.
        m_pending = op;
        m_typing = false;
    }

    void equals()
    {
        if (m_error)
            return;
        const std::optional<double> v = settle();
        if (!v)
            return;
        m_pending = QChar();
        m_typing = false;
        m_current = *v;
        showNumber(m_current);
        m_done(*v);
        close();
    }

    void clear()
    {
        m_entry.clear();
        m_typing = false;
        m_error = false;
        m_pending = QChar();
        m_current = 0.0;
        showNumber(0.0);
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const QString text = event->text();
        const QChar c = text.size() == 1 ? text.at(0) : QChar();
        if (c.isDigit() && c.unicode() < 128)
            digit(c.unicode() - u'0');
        else if (c == u'.' || (!c.isNull() && QString(c) == m_locale.decimalPoint()))
            point();
        else if (c == u'+' || c == u'-' || c == u'*' || c == u'/')
            operation(c);
        else if (c == u'x' || c == u'X')
            operation(u'*');
        else if (c == u'=' || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            equals();
        else if (event->key() == Qt::Key_Backspace)
            backspace();
        else if (event->key() == Qt::Key_Delete || c == u'c' || c == u'C')
            clear();
        else
            QFrame::keyPressEvent(event); // Escape closes the popup
    }

private:
    // Applies the pending operation to the number on display; nullopt after an error.
    std::optional<double> settle()
    {
        const double operand = m_typing ? m_entry.toDouble() : m_current;
        if (m_pending.isNull())
            return operand;
        double r = 0.0;
        if (m_pending == u'+')
            r = m_current + operand;
        else if (m_pending == u'-')
            r = m_current - operand;
        else if (m_pending == u'*')
            r = m_current * operand;
        else if (operand == 0.0)
            return fail(QStringLiteral("Cannot divide by zero"));
        else
            r = m_current / operand;
        if (!std::isfinite(r))
            return fail(QStringLiteral("Too large"));
        return r;
    }

    std::optional<double> fail(const QString &message)
    {
        m_error = true;
        m_display->setText(message);
        return std::nullopt;
    }

    void showEntry()
    {
        QString shown = m_entry.isEmpty() ? QStringLiteral("0") : m_entry;
        shown.replace(u'.', m_locale.decimalPoint());
        m_display->setText(shown);
    }

    void showNumber(double v)
    {
        // The display speaks the locale; the box it writes into gets '.'.
        m_display->setText(plainText(v).replace(u'.', m_locale.decimalPoint()));
    }

    QLocale m_locale;
    std::function<void(double)> m_done;
    QLineEdit *m_display = nullptr;
    QString m_entry; // the number being typed, '.' as its point
    bool m_typing = false;
    bool m_error = false;
    QChar m_pending;
    double m_current = 0.0;
};

} // namespace

NumericEdit::NumericEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setValidator(new NumberValidator(this));
    m_calcAction = addAction(calculatorIcon(palette().color(QPalette::Text)), QLineEdit::TrailingPosition);
    m_calcAction->setObjectName(QStringLiteral("calculatorAction"));
    // The text is what screen readers say for the button; the box shows only the icon.
    m_calcAction->setText(QStringLiteral("Calculator"));
    m_calcAction->setToolTip(QStringLiteral("Calculator (F4)"));
    connect(m_calcAction, &QAction::triggered, this, &NumericEdit::showCalculator);
}

NumericEdit::~NumericEdit()
{
    delete m_popup.data();
}

double NumericEdit::value() const
{
    const std::optional<Decimal> d = Amounts::localeNumber(text(), locale());
    return d ? d->toDouble() : 0.0;
}

bool NumericEdit::hasValue() const
{
    return Amounts::isNumeric(text(), locale());
}

void NumericEdit::setValue(double value)
{
    setText(plainText(value));
}

PriceReading NumericEdit::price(Price::Decimals keep) const
{
    return Price::fromTyped(text(), locale(), keep);
}

void NumericEdit::setPrice(const Price &price)
{
    setText(price.fieldText());
}

void NumericEdit::takeResult(double value)
{
    setValue(value);
    setFocus(Qt::PopupFocusReason);
    selectAll();
    Q_EMIT calculated(value);
}

void NumericEdit::showCalculator()
{
    if (m_popup)
        return;
    auto *popup = new Calculator(this, value(), [this](double v) { takeResult(v); });
    m_popup = popup;
    popup->adjustSize();
    // Under the box, right edges aligned, kept on the screen.
    QPoint at = mapToGlobal(QPoint(width() - popup->width(), height()));
    if (const QScreen *s = screen()) {
        const QRect avail = s->availableGeometry();
        if (at.y() + popup->height() > avail.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - popup->height());
        at.setX(std::clamp(at.x(), avail.left(), std::max(avail.left(), avail.right() - popup->width())));
    }
    popup->move(at);
    popup->show();
}

QFrame *NumericEdit::calculator() const
{
    return m_popup.data();
}

void NumericEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F4
        || (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier))) {
        showCalculator();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
