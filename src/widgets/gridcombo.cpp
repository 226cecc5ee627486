#include "gridcombo.h"

#include "focusleave.h"
#include "pickerfilter.h"
#include "windowtext.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSqlQueryModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace
{

// What assistive technology sees of a picker: a combo box whose name and value are its text.
class GridComboAccessible final : public QAccessibleWidget
{
public:
    explicit GridComboAccessible(GridCombo *picker)
        : QAccessibleWidget(picker, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value || (t == QAccessible::Name && picker()->accessibleName().isEmpty()))
            return picker()->Text();
        return QAccessibleWidget::text(t);
    }

    void setText(QAccessible::Text t, const QString &text) override
    {
        if (t == QAccessible::Value)
            picker()->setText(text);
        else
            QAccessibleWidget::setText(t, text);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !picker()->lineEdit()->isReadOnly();
        s.expandable = true;
        s.expanded = picker()->isListShown();
        s.collapsed = !s.expanded;
        return s;
    }

    QStringList actionNames() const override { return { showMenuAction() }; }

    void doAction(const QString &actionName) override
    {
        if (actionName == showMenuAction())
            picker()->showList();
    }

    QStringList keyBindingsForAction(const QString &actionName) const override
    {
        return actionName == showMenuAction()
            ? QStringList { QStringLiteral("F4"), QStringLiteral("Alt+Down") }
            : QStringList();
    }

private:
    GridCombo *picker() const { return static_cast<GridCombo *>(widget()); }
};

QAccessibleInterface *gridComboAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("GridCombo") && object && object->isWidgetType())
        return new GridComboAccessible(static_cast<GridCombo *>(object));
    return nullptr;
}

} // namespace

GridCombo::GridCombo(QWidget *parent)
    : QWidget(parent)
    , m_filter(std::make_unique<PickerFilter>())
{
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(gridComboAccessible);
        return true;
    }();
    Q_UNUSED(accessibleInstalled);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("edit"));
    m_button = new QToolButton(this);
    m_button->setObjectName(QStringLiteral("dropdown"));
    m_button->setArrowType(Qt::DownArrow);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setAutoRaise(false);
    m_button->setAccessibleName(QStringLiteral("Open list"));
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    setFocusProxy(m_edit);
    setFocusPolicy(Qt::StrongFocus);
    m_edit->installEventFilter(this);
    connect(m_button, &QToolButton::clicked, this, [this] { isListShown() ? hideList() : showList(); });
    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (QAccessible::isActive()) {
            QAccessibleValueChangeEvent changed(this, text);
            QAccessible::updateAccessibility(&changed);
        }
        Q_EMIT textChanged(text);
    });
}

GridCombo::~GridCombo()
{
    // The view must let go of the model before the record set that owns it goes.
    if (m_view)
        m_view->setModel(nullptr);
}

QTableView *GridCombo::listView()
{
    if (m_view)
        return m_view;
    // Built on first use: a window with many pickers starts without paying for lists never opened.
    m_popup = new QFrame(this, Qt::Popup);
    m_popup->setObjectName(QStringLiteral("list"));
    m_popup->setFrameShape(QFrame::Box);
    auto *popupLayout = new QVBoxLayout(m_popup);
    popupLayout->setContentsMargins(1, 1, 1, 1);
    popupLayout->setSpacing(1);
    m_searchLabel = new QLabel(m_popup);
    m_searchLabel->setObjectName(QStringLiteral("search"));
    m_searchLabel->hide();
    popupLayout->addWidget(m_searchLabel);
    m_view = new QTableView(m_popup);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    // Fixed row heights keep a list of many thousand rows as quick as a short one.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 4);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setAlternatingRowColors(true);
    m_view->installEventFilter(this);
    popupLayout->addWidget(m_view);
    connect(m_view, &QTableView::clicked, this, [this](const QModelIndex &index) { chooseRow(index.row()); });
    m_view->setModel(m_rows ? m_rows->model() : nullptr);
    return m_view;
}

void GridCombo::setRowSource(std::unique_ptr<RecordSet> rows)
{
    // A new list: what was typed and the texts folded for it belong to the old one.
    m_filter->forget();
    if (m_searchLabel)
        m_searchLabel->hide();
    if (m_view)
        m_view->setModel(rows ? rows->model() : nullptr);
    m_rows = std::move(rows);
}

QString GridCombo::Text() const
{
    return m_edit->text();
}

void GridCombo::setText(const QString &text)
{
    m_edit->setText(text);
}

void GridCombo::setMaxLength(int maxLength)
{
    m_maxLength = maxLength;
    WindowText::limitLength(m_edit, maxLength);
    // The keys reach the owner first, as ever: the picker's filter goes before the limit's.
    m_edit->removeEventFilter(this);
    m_edit->installEventFilter(this);
}

void GridCombo::SetFocus()
{
    m_edit->setFocus(Qt::OtherFocusReason);
}

bool GridCombo::isListShown() const
{
    return m_popup && m_popup->isVisible();
}

void GridCombo::showList()
{
    Q_EMIT listRequested();
    listView();
    // Every opening starts with the whole list (a click elsewhere closes it without hideList()).
    m_filter->clearQuery();
    m_searchLabel->hide();
    if (!m_rows) {
        m_view->setModel(nullptr);
    } else if (m_view->model() != m_rows->model()) {
        m_view->setModel(m_rows->model());
    }
    if (QAbstractItemModel *model = m_view->model()) {
        fitColumns();
        int current = -1;
        if (m_rows && m_rows->hasCurrentRow()
            && m_rows->text(model->headerData(0, Qt::Horizontal).toString()) == Text())
            current = m_rows->currentRow();
        for (int r = 0; current < 0 && r < model->rowCount(); ++r) {
            if (model->index(r, 0).data().toString() == Text())
                current = r;
        }
        if (current < 0)
            current = 0;
        m_view->setCurrentIndex(model->index(current, 0));
        m_view->scrollTo(model->index(current, 0), QAbstractItemView::PositionAtCenter);
    }
    const int rowHeight = m_view->verticalHeader()->defaultSectionSize();
    const QSize size(std::max(this->width() * 3, 380),
        m_view->horizontalHeader()->sizeHint().height() + rowHeight * 12 + 6);
    QPoint pos = mapToGlobal(QPoint(0, height()));
    if (const QScreen *s = screen()) {
        const QRect avail = s->availableGeometry();
        if (pos.y() + size.height() > avail.bottom())
            pos.setY(mapToGlobal(QPoint(0, 0)).y() - size.height());
        pos.setX(std::clamp(pos.x(), avail.left(), std::max(avail.left(), avail.right() - size.width())));
    }
    m_popup->setGeometry(QRect(pos, size));
    m_popup->show();
    m_view->setFocus(Qt::PopupFocusReason);
}

void GridCombo::fitColumns()
{
    const QAbstractItemModel *model = m_view->model();
    const int columns = model ? model->columnCount() : 0;
    const int width = std::max(this->width() * 3, 360);
    for (int c = 0; c + 1 < columns; ++c)
        m_view->setColumnWidth(c, c == 0 ? width / 4 : width / 2);
}

QString GridCombo::searchText() const
{
    return m_filter->query();
}

void GridCombo::setSearch(const QString &search)
{
    QAbstractItemModel *source = m_rows ? m_rows->model() : nullptr;
    // The first key reads the rest of the list; a grid attached to it would follow every row.
    if (!m_filter->isActive() && !search.isEmpty())
        m_view->setModel(nullptr);
    QAbstractItemModel *shown = m_filter->apply(source, search);
    if (m_view->model() != shown) {
        m_view->setModel(shown);
        fitColumns();
    }
    m_searchLabel->setText(QStringLiteral("Search: %1").arg(search));
    m_searchLabel->setVisible(!search.isEmpty());
    if (shown && shown->rowCount() > 0) {
        m_view->setCurrentIndex(shown->index(0, 0));
        m_view->scrollToTop();
    }
}

bool GridCombo::handleListKey(const QKeyEvent *key)
{
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        chooseRow(m_view->currentIndex().row());
        return true;
    }
    if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_F4) {
        hideList();
        return true;
    }
    const QString search = m_filter->query();
    if (key->key() == Qt::Key_Backspace) {
        if (!search.isEmpty())
            setSearch(search.chopped(1));
        return true;
    }
    const QString typed = key->text();
    const bool shortcut = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!shortcut && !typed.isEmpty() && typed.at(0).isPrint()) {
        setSearch(search + typed);
        return true;
    }
    return false;
}

void GridCombo::hideList()
{
    if (m_popup)
        m_popup->hide();
    if (m_filter->isActive()) {
        m_filter->clearQuery();
        m_searchLabel->hide();
        m_view->setModel(m_rows ? m_rows->model() : nullptr);
    }
    m_edit->setFocus(Qt::PopupFocusReason);
}

void GridCombo::chooseRow(int row)
{
    QAbstractItemModel *model = m_view ? m_view->model() : nullptr;
    if (!model || row < 0 || row >= model->rowCount())
        return;
    if (m_rows)
        m_rows->moveTo(m_filter->sourceRow(row));
    m_edit->setText(model->index(row, 0).data().toString());
    hideList();
    Q_EMIT itemChosen();
}

bool GridCombo::opensList(int keyCode, int shift)
{
    return keyCode == KeyF4 || (keyCode == KeyDown && (shift & AltMask));
}

bool GridCombo::handleEditKey(QKeyEvent *event)
{
    const int code = KeyCodes::of(event->key(), event->modifiers(), event->text());
    int shift = 0;
    if (event->modifiers() & Qt::ShiftModifier)
        shift |= ShiftMask;
    if (event->modifiers() & Qt::ControlModifier)
        shift |= CtrlMask;
    if (event->modifiers() & Qt::AltModifier)
        shift |= AltMask;
    m_suppress = false;
    Q_EMIT keyDown(code, shift);
    const QString typed = event->text();
    if (!m_suppress && !typed.isEmpty() && typed.at(0).isPrint()) {
        // An owner that builds the text from the typed characters puts it in with setText, which
        // the limit does not cut; so the limit is kept here for typing.
        if (m_maxLength > 0 && Text().size() >= m_maxLength) {
            WindowText::tellCut(m_edit, m_maxLength);
            return true;
        }
        Q_EMIT keyPress(typed.at(0).unicode());
    }
    if (m_suppress)
        return true;
    if (opensList(code, shift)) {
        showList();
        return true;
    }
    return false;
}

bool GridCombo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit) {
        if (event->type() == QEvent::KeyPress)
            return handleEditKey(static_cast<QKeyEvent *>(event));
        if (event->type() == QEvent::FocusOut) {
            if (leavesForAnotherControl(*static_cast<QFocusEvent *>(event)) && !isListShown())
                Q_EMIT focusLost();
        }
    } else if (m_view && watched == m_view && event->type() == QEvent::KeyPress) {
        if (handleListKey(static_cast<QKeyEvent *>(event)))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}
