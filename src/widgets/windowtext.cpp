#include "windowtext.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <limits>

namespace
{

const QString Placeholder = QStringLiteral("[*]");
// Qt shows a doubled placeholder as one literal "[*]".
const QString Escaped = QStringLiteral("[*][*]");
constexpr int NoticeMs = 4000;
const char *const NoticeName = "textLimitNotice";
const QString GuardName = QStringLiteral("lengthGuard");

// Keeps a person's input into one box within its limit. Qt's own maxLength would also cut what the
// program puts into the box (a description read from the database, a computed amount) without a
// word, so the limit is kept here, on the ways a person puts text in: typing, pasting (keys, the
// context menu, the middle button), dropping and input methods.
class LengthGuard final : public QObject
{
public:
    LengthGuard(QLineEdit *box, int limit)
        : QObject(box)
        , m_box(box)
        , m_limit(limit)
    {
        setObjectName(GuardName);
        box->installEventFilter(this);
    }

    int limit() const { return m_limit; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Only the ways a person puts text in are looked at; the box is asked nothing else, since
        // other events (hiding, among them) also come while it is being destroyed.
        if (watched != m_box || !isInput(event->type()) || m_box->isReadOnly())
            return false;
        switch (event->type()) {
        case QEvent::KeyPress:
            return keyPress(static_cast<QKeyEvent *>(event));
        case QEvent::ContextMenu:
            return contextMenu(static_cast<QContextMenuEvent *>(event));
        case QEvent::MouseButtonRelease:
            return middleButtonPaste(static_cast<QMouseEvent *>(event));
        case QEvent::Drop:
            return drop(static_cast<QDropEvent *>(event));
        case QEvent::InputMethod:
            return inputMethod(static_cast<QInputMethodEvent *>(event));
        default:
            return false;
        }
    }

private:
    static bool isInput(QEvent::Type type)
    {
        return type == QEvent::KeyPress || type == QEvent::ContextMenu || type == QEvent::MouseButtonRelease
            || type == QEvent::Drop || type == QEvent::InputMethod;
    }

    // Room for new text in place of the selection. A text the program put in that is longer than
    // the limit may be edited, but does not grow.
    qsizetype room(bool replacingSelection = true) const
    {
        const qsizetype size = m_box->text().size();
        const qsizetype kept = replacingSelection ? size - m_box->selectedText().size() : size;
        return std::max<qsizetype>(m_limit, size) - kept;
    }

    // Inserts as much of the text as there is room for and says so when some was left out.
    void insertWhatFits(const QString &text, bool replacingSelection = true)
    {
        const qsizetype fits = std::max<qsizetype>(0, room(replacingSelection));
        if (fits > 0)
            m_box->insert(text.left(fits));
        if (fits < text.size())
            WindowText::tellCut(m_box, m_limit);
    }

    bool keyPress(QKeyEvent *key)
    {
        if (key->matches(QKeySequence::Paste)) {
            const bool selection = key->key() == Qt::Key_Insert
                && key->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier)
                && QGuiApplication::clipboard()->supportsSelection();
            paste(selection ? QClipboard::Selection : QClipboard::Clipboard);
            return true;
        }
        const QString typed = key->text();
        if (typed.isEmpty() || !typed.at(0).isPrint() || typed.size() <= room())
            return false;
        insertWhatFits(typed);
        return true;
    }

    void paste(QClipboard::Mode mode)
    {
        const QString clip = QGuiApplication::clipboard()->text(mode);
        if (!clip.isEmpty() || m_box->hasSelectedText())
            insertWhatFits(clip);
    }

    bool contextMenu(QContextMenuEvent *event)
    {
        QMenu *menu = m_box->createStandardContextMenu();
        if (!menu)
            return false;
        // The menu's Paste is the line edit's own; it is given the limited paste instead.
        const QString pasteText = QLineEdit::tr("&Paste");
        for (QAction *action : menu->actions()) {
            if (action->text().section(QLatin1Char('\t'), 0, 0) == pasteText) {
                disconnect(action, &QAction::triggered, m_box, nullptr);
                connect(action, &QAction::triggered, this, [this] { paste(QClipboard::Clipboard); });
            }
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPos());
        return true;
    }

    bool middleButtonPaste(QMouseEvent *mouse)
    {
        if (mouse->button() != Qt::MiddleButton || !QGuiApplication::clipboard()->supportsSelection()
            || !m_box->rect().contains(mouse->position().toPoint()))
            return false;
        paste(QClipboard::Selection);
        return true;
    }

    bool drop(QDropEvent *event)
    {
        const QString text = event->mimeData()->text();
        // Moving text within the box does not make it longer.
        if (text.isEmpty() || (event->source() == m_box && event->dropAction() == Qt::MoveAction)
            || text.size() <= room(false))
            return false;
        event->acceptProposedAction();
        m_box->setCursorPosition(m_box->cursorPositionAt(event->position().toPoint()));
        insertWhatFits(text, false);
        return true;
    }

    bool inputMethod(QInputMethodEvent *event)
    {
        const QString commit = event->commitString();
        if (commit.size() <= room())
            return false;
        QInputMethodEvent cut(event->preeditString(), event->attributes());
        cut.setCommitString(commit.left(std::max<qsizetype>(0, room())), event->replacementStart(),
            event->replacementLength());
        QCoreApplication::sendEvent(m_box, &cut);
        WindowText::tellCut(m_box, m_limit);
        return true;
    }

    QLineEdit *m_box;
    int m_limit;
};

LengthGuard *guardOf(const QLineEdit *box)
{
    // Found by name: without a meta-object of its own, a typed search would take any child.
    return dynamic_cast<LengthGuard *>(box->findChild<QObject *>(GuardName, Qt::FindDirectChildrenOnly));
}

} // namespace

void WindowText::setTitle(QWidget *window, const QString &title)
{
    window->setWindowTitle(QString(title).replace(Placeholder, Escaped));
}

QString WindowText::title(const QWidget *window)
{
    return window->windowTitle().replace(Escaped, Placeholder);
}

void WindowText::limitLength(QLineEdit *box, int maxLength)
{
    // The limit is the guard's; Qt's own would cut the program's texts too.
    box->setMaxLength(std::numeric_limits<int>::max());
    delete guardOf(box);
    new LengthGuard(box, maxLength);
}

int WindowText::lengthLimit(const QLineEdit *box)
{
    const LengthGuard *guard = guardOf(box);
    return guard ? guard->limit() : 0;
}

void WindowText::tellCut(QLineEdit *box, int maxLength)
{
    // A tooltip of its own: Qt's tooltip would vanish with the release of the key that pasted.
    auto *notice = box->findChild<QLabel *>(QLatin1String(NoticeName), Qt::FindDirectChildrenOnly);
    if (!notice) {
        notice = new QLabel(box, Qt::ToolTip);
        notice->setObjectName(QLatin1String(NoticeName));
        notice->setForegroundRole(QPalette::ToolTipText);
        notice->setBackgroundRole(QPalette::ToolTipBase);
        notice->setAutoFillBackground(true);
        notice->setFrameShape(QFrame::Box);
        notice->setMargin(2);
        auto *timer = new QTimer(notice);
        timer->setSingleShot(true);
        timer->setInterval(NoticeMs);
        QObject::connect(timer, &QTimer::timeout, notice, &QWidget::hide);
    }
    notice->setText(
        QStringLiteral("This box takes at most %1 characters; the rest was left out.").arg(maxLength));
    notice->adjustSize();
    notice->move(box->mapToGlobal(QPoint(0, box->height())));
    notice->show();
    notice->findChild<QTimer *>()->start();
    if (QAccessible::isActive()) {
        QAccessibleEvent alert(notice, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}
