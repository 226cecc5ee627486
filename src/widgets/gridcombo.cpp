#include "gridcombo.h"

#include "focusleave.h"
#include "pickerfilter.h"
#include "windowtext.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace
{

// Getting a list's search ready goes this long at a time between other events: a key typed
// meanwhile waits no longer than that for its turn.
constexpr qint64 PrepareStepNs = 4'000'000;

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
    auto *topLine = new QHBoxLayout;
    topLine->setContentsMargins(2, 0, 2, 0);
    m_searchLabel = new QLabel(m_popup);
    m_searchLabel->setObjectName(QStringLiteral("search"));
    m_searchLabel->hide();
    topLine->addWidget(m_searchLabel, 1);
    m_fitsBox = new QCheckBox(QStringLiteral("Fits"), m_popup);
    m_fitsBox->setObjectName(QStringLiteral("chkfits"));
    m_fitsBox->setToolTip(QStringLiteral("Only the items that fit the parts already chosen (Ctrl+F)"));
    // The list keeps the keys: typing searches on while the toggle is on.
    m_fitsBox->setFocusPolicy(Qt::NoFocus);
    m_fitsBox->setChecked(m_fitsOn);
    m_fitsBox->setVisible(m_fitsOffered);
    topLine->addWidget(m_fitsBox, 0, Qt::AlignRight);
    popupLayout->addLayout(topLine);
    connect(m_fitsBox, &QCheckBox::toggled, this, &GridCombo::showFitting);
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
    m_filter->apply(m_rows ? m_rows->model() : nullptr, QString());
    m_view->setModel(m_filter->model());
    m_preparing = new QTimer(this);
    m_preparing->setInterval(0);
    connect(m_preparing, &QTimer::timeout, this, [this] { prepareSearch(PrepareStepNs, m_stepRows); });
    return m_view;
}

void GridCombo::setRowSource(std::unique_ptr<RecordSet> rows)
{
    // A new list: what was typed and the texts folded for it belong to the old one.
    if (m_preparing)
        m_preparing->stop();
    m_seek.clear();
    m_filter->forget();
    if (m_searchLabel)
        m_searchLabel->hide();
    m_rows = std::move(rows);
    if (m_view)
        m_filter->apply(m_rows ? m_rows->model() : nullptr, QString());
}

void GridCombo::setFitCheck(FitCheck check)
{
    m_fitsOffered = true;
    m_filter->setFitCheck(std::move(check));
    m_filter->setFitsOnly(m_fitsOn);
    if (m_fitsBox)
        m_fitsBox->setVisible(true);
}

bool GridCombo::fitsOnly() const
{
    return m_fitsOn;
}

void GridCombo::setFitsOnly(bool on)
{
    if (m_fitsBox)
        m_fitsBox->setChecked(on); // shows it
    else
        m_fitsOn = on;
}

void GridCombo::showFitting(bool on)
{
    m_fitsOn = on;
    m_filter->setFitsOnly(on);
    if (!isListShown())
        return;
    // The row the person is on stays current where it is still shown.
    const QModelIndex current = m_view->currentIndex();
    const int currentSource = current.isValid() ? m_filter->sourceRow(current.row()) : -1;
    setSearch(m_filter->query());
    const int row = currentSource < 0 ? -1 : m_filter->shownRow(currentSource);
    if (row > 0) {
        const QModelIndex shown = m_filter->model()->index(row, 0);
        m_view->setCurrentIndex(shown);
        m_view->scrollTo(shown, QAbstractItemView::PositionAtCenter);
    }
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
    // Every opening starts with the whole list (a click elsewhere closes it without hideList()),
    // or all of it that fits.
    m_filter->clearQuery();
    m_filter->setFitsOnly(m_fitsOn);
    m_searchLabel->hide();
    QAbstractItemModel *source = m_rows ? m_rows->model() : nullptr;
    m_filter->apply(source, QString());
    fitColumns();
    if (source) {
        // The item the picker holds is current, where the rows read so far have it.
        int current = -1;
        if (m_rows->hasCurrentRow()
            && m_rows->text(source->headerData(0, Qt::Horizontal).toString()) == Text())
            current = m_rows->currentRow();
        for (int r = 0; current < 0 && r < source->rowCount(); ++r) {
            if (source->index(r, 0).data().toString() == Text())
                current = r;
        }
        m_seek = current < 0 ? Text() : QString();
        m_seekFrom = source->rowCount();
        const QModelIndex shown
            = m_filter->model()->index(std::max(0, m_filter->shownRow(std::max(0, current))), 0);
        m_view->setCurrentIndex(shown);
        m_view->scrollTo(shown, QAbstractItemView::PositionAtCenter);
    }
    const int rowHeight = m_view->verticalHeader()->defaultSectionSize();
    // The line with the toggle takes no row away from the list.
    const int toggleLine = m_fitsOffered ? m_fitsBox->sizeHint().height() + 1 : 0;
    const QSize size(std::max(this->width() * 3, 380),
        m_view->horizontalHeader()->sizeHint().height() + rowHeight * 12 + 6 + toggleLine);
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
    startPreparing();
}

void GridCombo::startPreparing()
{
    QAbstractItemModel *source = m_rows ? m_rows->model() : nullptr;
    if (!source)
        return;
    m_filter->prepare(source);
    if (!m_filter->isPrepared())
        m_preparing->start();
}

void GridCombo::prepareSearch(qint64 budgetNs, int maxRows)
{
    const QModelIndex current = m_view->currentIndex();
    const bool atTop = !current.isValid() || current.row() == 0;
    const int currentSource = current.isValid() ? m_filter->sourceRow(current.row()) : -1;
    const PickerFilter::Change change = m_filter->prepareSome(budgetNs, maxRows);
    if (m_filter->isPrepared())
        m_preparing->stop();
    seekCurrentItem();
    QAbstractItemModel *shown = m_filter->model();
    if (change == PickerFilter::Change::None || shown->rowCount() == 0)
        return;
    if (change == PickerFilter::Change::Grown && current.isValid()) {
        // The new rows went in below the current one; a view scrolled to its end is told of them.
        const QModelIndex last = shown->index(shown->rowCount() - 1, 0);
        if (shown->canFetchMore(QModelIndex())
            && m_view->viewport()->rect().intersects(m_view->visualRect(last)))
            shown->fetchMore(QModelIndex());
        return;
    }
    // A whole id came in and went to the top: the first row stays current, as it is after a key;
    // a row the person moved to stays theirs.
    const int row = atTop ? 0 : std::max(0, m_filter->shownRow(currentSource));
    m_view->setCurrentIndex(shown->index(row, 0));
    if (atTop)
        m_view->scrollToTop();
}

void GridCombo::seekCurrentItem()
{
    const QModelIndex current = m_view->currentIndex();
    if (m_seek.isEmpty() || m_filter->isActive() || (current.isValid() && current.row() != 0)) {
        m_seek.clear();
        return;
    }
    const QAbstractItemModel *source = m_rows ? m_rows->model() : nullptr;
    for (; source && m_seekFrom < source->rowCount(); ++m_seekFrom) {
        if (source->index(m_seekFrom, 0).data().toString() == m_seek) {
            // Not shown when "Fits" leaves it out.
            const int row = m_filter->shownRow(m_seekFrom);
            if (row >= 0) {
                const QModelIndex shown = m_filter->model()->index(row, 0);
                m_view->setCurrentIndex(shown);
                m_view->scrollTo(shown, QAbstractItemView::PositionAtCenter);
            }
            m_seek.clear();
            return;
        }
    }
}

bool GridCombo::isSearchReady() const
{
    return m_filter->isPrepared();
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
    // Searches what is ready after one more step (a short list is then ready whole); the rest of a
    // long one joins the search as it gets ready.
    if (source && !m_filter->isPrepared()) {
        m_filter->prepare(source);
        m_filter->prepareSome(PrepareStepNs, m_stepRows);
        startPreparing();
    }
    m_filter->apply(source, search);
    fitColumns();
    QAbstractItemModel *shown = m_filter->model();
    m_searchLabel->setText(QStringLiteral("Search: %1").arg(search));
    m_searchLabel->setVisible(!search.isEmpty());
    if (shown->rowCount() > 0) {
        m_view->setCurrentIndex(shown->index(0, 0));
        m_view->scrollToTop();
    }
}

bool GridCombo::handleListKey(const QKeyEvent *key)
{
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        chooseCurrentRow();
        return true;
    }
    if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_F4) {
        hideList();
        return true;
    }
    if (key->key() == Qt::Key_F && key->modifiers() == Qt::ControlModifier) {
        if (m_fitsOffered)
            m_fitsBox->toggle();
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
    if (m_preparing)
        m_preparing->stop();
    m_seek.clear();
    if (m_filter->isFiltering()) {
        m_filter->clearQuery();
        m_filter->setFitsOnly(false);
        m_searchLabel->hide();
        m_filter->apply(m_rows ? m_rows->model() : nullptr, QString());
    }
    m_edit->setFocus(Qt::PopupFocusReason);
}

void GridCombo::chooseCurrentRow()
{
    // Enter on the first row found takes the first of the whole list: while the list is not ready,
    // an item whose id is what was typed may still be on its way to the top. So the list is read
    // on until it is ready or that id is on top (nothing read later goes before it); only when
    // Enter follows the keys that closely, and never when the person chose a row below the first.
    // With "Fits" alone, only when none that fits was read yet.
    const QModelIndex current = m_view->currentIndex();
    if (m_filter->isActive() && (!current.isValid() || current.row() == 0)) {
        while (!m_filter->isPrepared() && !m_filter->firstIsTypedId())
            prepareSearch(PrepareStepNs, std::numeric_limits<int>::max());
    } else if (m_filter->isFiltering()) {
        while (!m_filter->isPrepared() && m_filter->model()->rowCount() == 0)
            prepareSearch(PrepareStepNs, std::numeric_limits<int>::max());
    }
    chooseRow(m_view->currentIndex().row());
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
