#include "pricelisteditor.h"
#include "attributegrid.h"
#include "costpanel.h"

#include "core/amount.h"
#include "core/price.h"
#include "core/version.h"
#include "pricehistorywindow.h"
#include "store/store.h"
#include "widgets/gridcombo.h"
#include "widgets/numericedit.h"
#include "widgets/windowtext.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
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

const QString ProgramSource = QStringLiteral("Brasko");

// Why a typed price is refused, naming the field; the text is quoted for the person to correct.
QString priceRefusal(const Price::Refusal &refusal)
{
    switch (refusal.problem) {
    case Price::Problem::Empty:
        return QStringLiteral("Price: enter a price (0 for none).");
    case Price::Problem::OutOfRange:
        return Amounts::outOfRangeMessage(QStringLiteral("Price"), refusal.written);
    case Price::Problem::NotNumber:
    case Price::Problem::GroupSign:
        break;
    }
    return QStringLiteral("Price: \"%1\" is not a number. Type a price such as 1250 or 12.50.")
        .arg(refusal.written.left(40));
}

// An id as it may stand in the id box: upper case, without the codes no id can hold (controls
// such as NUL, noncharacters, halves of surrogate pairs), which the store would refuse.
QString idText(QStringView text)
{
    QString clean;
    clean.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            if (!QChar::isNonCharacter(QChar::surrogateToUcs4(c, text[i + 1])))
                clean.append(text.sliced(i, 2));
            ++i;
        } else if (!c.isSurrogate() && !c.isNonCharacter() && c.category() != QChar::Other_Control) {
            clean += c;
        }
    }
    return clean.toUpper();
}

} // namespace

PriceListEditor::PriceListEditor(
    Store *store, const QString &caption, const QString &cat, const QPixmap &picture, QWidget *parent)
    : QDialog(parent)
    , m_store(store)
    , m_priceList(store)
    , m_priceHistory(store)
    , m_cat(cat)
{
    setObjectName(QStringLiteral("frmadt"));
    setWindowTitle(caption);
    setModal(true);

    QGroupBox *frame1 = buildFields(picture);

    m_addButton = commandButton(this, QStringLiteral("Command1"), QStringLiteral("&Add"));
    m_updateButton = commandButton(this, QStringLiteral("Command2"), QStringLiteral("&Update"));
    m_deleteButton = commandButton(this, QStringLiteral("Command3"), QStringLiteral("&Delete"));
    m_cancelButton = commandButton(this, QStringLiteral("command0"), QStringLiteral("&Cancel"));
    m_historyButton = commandButton(this, QStringLiteral("cmdhistory"), QStringLiteral("&History"));
    m_historyButton->setAutoDefault(false);
    m_historyButton->setEnabled(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_historyButton);
    buttons->addStretch(1);
    for (QPushButton *b : { m_addButton, m_updateButton, m_deleteButton, m_cancelButton })
        buttons->addWidget(b);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(frame1);
    outer->addWidget(m_costs = new CostPanel(m_store, m_cat, m_priceBox, this));
    m_attributes = new AttributeGrid(
        m_store, m_cat, [this] { return m_descriptionBox->text(); }, this);
    outer->addWidget(m_attributes);
    outer->addLayout(buttons);

    QWidget *order[] = { m_idPicker, m_descriptionBox, m_updateButton, m_cancelButton, m_addButton,
        m_deleteButton, m_priceBox, m_costs->costBox(), m_historyButton };
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    m_idPicker->SetFocus();

    connectControls();
}

QGroupBox *PriceListEditor::buildFields(const QPixmap &picture)
{
    auto *frame1 = new QGroupBox(this);
    frame1->setObjectName(QStringLiteral("Frame1"));

    m_picture = new QLabel(frame1);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setFixedSize(PictureSide, PictureSide);
    m_picture->setScaledContents(true);
    m_picture->setPixmap(picture.isNull() ? placeholderPicture(palette()) : picture);

    auto *label2 = new QLabel(QStringLiteral("ID"), frame1);
    label2->setObjectName(QStringLiteral("Label2"));
    m_idPicker = new GridCombo(frame1);
    m_idPicker->setObjectName(QStringLiteral("txtrid"));
    m_idPicker->setMaxLength(WindowText::IdLength);
    auto *label3 = new QLabel(QStringLiteral("Description"), frame1);
    label3->setObjectName(QStringLiteral("Label3"));
    m_descriptionBox = new QLineEdit(frame1);
    m_descriptionBox->setObjectName(QStringLiteral("txtdesc"));
    WindowText::limitLength(m_descriptionBox, WindowText::DescriptionLength);
    auto *label1 = new QLabel(QStringLiteral("Price"), frame1);
    label1->setObjectName(QStringLiteral("Label1"));
    m_priceBox = new NumericEdit(frame1);
    m_priceBox->setObjectName(QStringLiteral("txtprice"));
    WindowText::limitLength(m_priceBox, WindowText::AmountLength);
    m_priceBox->setText(QStringLiteral("0.00"));

    auto *fields = new QGridLayout(frame1);
    fields->addWidget(m_picture, 0, 0, 3, 1, Qt::AlignTop);
    fields->addWidget(label2, 0, 1);
    fields->addWidget(m_idPicker, 0, 2);
    fields->addWidget(label3, 1, 1);
    fields->addWidget(m_descriptionBox, 1, 2);
    fields->addWidget(label1, 2, 1);
    fields->addWidget(m_priceBox, 2, 2);
    fields->setColumnStretch(2, 1);
    fields->setColumnMinimumWidth(2, fontMetrics().averageCharWidth() * 40);
    return frame1;
}

void PriceListEditor::connectControls()
{
    connect(m_idPicker, &GridCombo::listRequested, this, &PriceListEditor::fillIdList);
    connect(m_idPicker, &GridCombo::keyDown, this, &PriceListEditor::idKeyDown);
    connect(m_idPicker, &GridCombo::keyPress, this, &PriceListEditor::idKeyPress);
    connect(m_idPicker, &GridCombo::focusLost, this, &PriceListEditor::idLeft);
    connect(m_idPicker, &GridCombo::itemChosen, this, &PriceListEditor::idChosen);
    // Typing goes through idKeyPress; pasting and dropping do not, and are cleaned here.
    connect(m_idPicker->lineEdit(), &QLineEdit::textEdited, this, &PriceListEditor::cleanId);
    connect(m_addButton, &QPushButton::clicked, this, &PriceListEditor::addItem);
    connect(m_updateButton, &QPushButton::clicked, this, &PriceListEditor::updateItem);
    connect(m_deleteButton, &QPushButton::clicked, this, &PriceListEditor::deleteItem);
    connect(m_cancelButton, &QPushButton::clicked, this, &PriceListEditor::closeEditor);
    connect(m_historyButton, &QPushButton::clicked, this, &PriceListEditor::showHistory);
    connect(m_idPicker, &GridCombo::textChanged, m_historyButton,
        [this](const QString &id) { m_historyButton->setEnabled(!id.isEmpty()); });
}

PriceListEditor::~PriceListEditor()
{
    // The picker is destroyed after this part of the window and may still report losing the focus.
    disconnect(m_idPicker, nullptr, this, nullptr);
}

void PriceListEditor::setVisible(bool visible)
{
    const bool first = visible && !m_shown;
    QDialog::setVisible(visible);
    if (first) {
        // A dialog makes its first button the default when it is shown; the editor has none until
        // a lookup has decided between adding and updating.
        m_shown = true;
        for (QPushButton *b : { m_addButton, m_updateButton, m_deleteButton, m_cancelButton })
            b->setDefault(false);
    }
}

void PriceListEditor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    activated();
}

void PriceListEditor::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_cancelButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PriceListEditor::activated()
{
    setButtons(false, false, false);
}

void PriceListEditor::setButtons(bool add, bool update, bool remove)
{
    m_addButton->setEnabled(add);
    m_updateButton->setEnabled(update);
    m_deleteButton->setEnabled(remove);
}

void PriceListEditor::makeDefault(QPushButton *button)
{
    for (QPushButton *b : { m_addButton, m_updateButton, m_deleteButton, m_cancelButton })
        b->setDefault(b == button);
}

void PriceListEditor::fillIdList()
{
    try {
        auto rows = m_priceList.items(m_cat);
        if (!rows) {
            m_idPicker->setRowSource({});
            reportFailure(rows.error());
            return;
        }
        m_idPicker->setRowSource(*std::move(rows));
    } catch (const std::exception &e) {
        reportException(e.what());
    } catch (...) {
        reportException(nullptr);
    }
}

void PriceListEditor::idKeyDown(int keyCode, int shift)
{
    m_keyShift = shift;
    try {
        // Backspace clears the whole id, not one character.
        if (keyCode == GridCombo::KeyBack) {
            m_idPicker->setText(QString());
            m_idPicker->suppressKey();
        }
    } catch (const std::exception &e) {
        reportException(e.what());
    } catch (...) {
        reportException(nullptr);
    }
}

void PriceListEditor::idKeyPress(int charCode)
{
    // A shortcut (Ctrl+V and the like) is the box's own business; Ctrl with Alt is AltGr typing.
    const int shortcut = GridCombo::CtrlMask | GridCombo::AltMask;
    if (charCode == GridCombo::KeyBack || (m_keyShift & shortcut) == GridCombo::CtrlMask)
        return;
    try {
        // The id is the upper-cased accumulation of what is typed; the picker must not add the
        // character a second time.
        m_idPicker->suppressKey();
        if (charCode <= 0 || charCode > 0xFFFF)
            return;
        const QChar typed(static_cast<char16_t>(charCode));
        if (typed.isSurrogate() || !typed.isPrint())
            return;
        m_idPicker->setText((m_idPicker->Text() + typed).toUpper());
    } catch (const std::exception &e) {
        reportException(e.what());
    } catch (...) {
        reportException(nullptr);
    }
}

void PriceListEditor::cleanId()
{
    QLineEdit *edit = m_idPicker->lineEdit();
    const QString text = edit->text();
    const QString clean = idText(text);
    if (clean == text)
        return;
    const qsizetype cursor = idText(QStringView(text).left(edit->cursorPosition())).size();
    edit->setText(clean);
    edit->setCursorPosition(static_cast<int>(std::min(cursor, clean.size())));
}

void PriceListEditor::idLeft()
{
    // Focus also leaves the picker while this window closes or shows a report of its own; neither
    // is the operator leaving the id.
    if (m_busy || !isVisible())
        return;
    lookup();
}

void PriceListEditor::idChosen()
{
    if (m_busy)
        return;
    if (lookup())
        m_descriptionBox->setFocus(Qt::OtherFocusReason);
}

bool PriceListEditor::lookup()
{
    FlagGuard busy(m_busy);
    try {
        const auto read = m_priceList.item(m_cat, m_idPicker->Text());
        if (!read) {
            reportFailure(read.error());
            return false;
        }
        if (const auto &found = *read) {
            m_addButton->setEnabled(false);
            m_updateButton->setEnabled(true);
            makeDefault(m_updateButton);
            m_deleteButton->setEnabled(true);
            m_descriptionBox->setText(found->description.value_or(QString()));
            m_storedPrice = Price::fromStored(found->price.value_or(QString()));
            m_priceBox->setPrice(m_storedPrice);
            m_shownPrice = m_priceBox->text();
            m_rowKey = found->rowKey;
            m_seen = found;
            m_attributes->load(found->id);
            m_costs->load(found->id);
        } else {
            m_addButton->setEnabled(true);
            makeDefault(m_addButton);
            m_updateButton->setEnabled(false);
            m_deleteButton->setEnabled(false);
            m_descriptionBox->setText(QString());
            m_priceBox->setValue(0);
            m_storedPrice = Price();
            m_shownPrice.clear();
            m_rowKey.reset();
            m_seen.reset();
            m_attributes->load(QString());
            m_costs->load(m_idPicker->Text()); // a deleted item's cost comes back with its id
        }
        return true;
    } catch (const std::exception &e) {
        reportException(e.what());
    } catch (...) {
        reportException(nullptr);
    }
    return false;
}

void PriceListEditor::addItem()
{
    FlagGuard busy(m_busy);
    try {
        // An item without an id could never be picked again.
        if (m_idPicker->Text().trimmed().isEmpty()) {
            refuse(m_idPicker,
                QStringLiteral("ID: enter an id for the new item; an item without one cannot be picked."));
            return;
        }
        const PriceReading price = m_priceBox->price(Price::Decimals::AsEntered);
        if (!price.ok()) {
            refuse(m_priceBox, priceRefusal(price.refusal));
            return;
        }
        if (!m_attributes->check() || !m_costs->check())
            return;
        StoreError failure;
        if (m_costs->saveWith(m_idPicker->Text(), m_descriptionBox->text(), [&] {
                failure = m_priceHistory.add(
                    { m_cat, m_idPicker->Text(), m_descriptionBox->text(), price.price->text() },
                    QDateTime::currentDateTime());
                return !failure.isValid();
            }))
            change(failure);
    } catch (const std::exception &e) {
        reportException(e.what());
    } catch (...) {
        reportException(nullptr);
    }
}

void PriceListEditor::updateItem()
{
    FlagGuard busy(m_busy);
    try {
        // A price only shown is written back exactly as it was stored; one the person typed keeps
        // at most two decimals, cut, not rounded (12.345 becomes 12.34).
        QString price = m_storedPrice.text();
        if (m_priceBox->text() != m_shownPrice) {
            const PriceReading typed = m_priceBox->price(Price::Decimals::Cents);
            if (!typed.ok()) {
                refuse(m_priceBox, priceRefusal(typed.refusal));
                return;
            }
            price = typed.price->text();
            m_priceBox->setPrice(*typed.price);
        }
        if (!m_attributes->check() || !m_costs->check())
            return;
        const PriceListItem changed { m_cat, m_idPicker->Text(), m_descriptionBox->text(), price };
        const QDateTime now = QDateTime::currentDateTime();
        CheckedChange result; // an unchecked update is Done or Failed, as a checked one may be
        if (m_costs->saveWith(changed.id, m_descriptionBox->text(), [&] {
                if (m_seen && m_seen->id == changed.id) {
                    result = m_priceHistory.updateIfUnchanged(*m_seen, changed, now);
                } else {
                    result.error = m_priceHistory.update(changed, now);
                    if (!result.error.isValid())
                        result.outcome = CheckedChange::Outcome::Done;
                }
                return result.outcome == CheckedChange::Outcome::Done;
            }))
            changeChecked(result, false);
    } catch (const std::exception &e) {
        reportException(e.what());
    } catch (...) {
        reportException(nullptr);
    }
}

void PriceListEditor::deleteItem()
{
    FlagGuard busy(m_busy);
    try {
        // Only the row that was looked up goes: ids may repeat within a category. Its attributes
        // stay, unused, until the id is added again.
        m_attributes->showAttributes(PartAttributes());
        const QDateTime now = QDateTime::currentDateTime();
        if (m_seen && m_seen->id == m_idPicker->Text())
            changeChecked(m_priceHistory.removeIfUnchanged(*m_seen, now), true);
        else
            change(m_priceHistory.removeRow(
                { m_cat, m_idPicker->Text(), std::nullopt, std::nullopt, m_rowKey }, now));
    } catch (const std::exception &e) {
        reportException(e.what());
    } catch (...) {
        reportException(nullptr);
    }
}

void PriceListEditor::closeEditor()
{
    reject();
}

void PriceListEditor::showHistory()
{
    try {
        const QString id = m_idPicker->Text();
        const auto changes = m_priceHistory.changes(m_cat, id);
        PriceHistoryWindow window(id, changes ? std::optional<QList<PriceChange>>(*changes) : std::nullopt,
            changes.error().text(), this);
        window.exec();
    } catch (const std::exception &e) {
        reportException(e.what());
    } catch (...) {
        reportException(nullptr);
    }
}

void PriceListEditor::change(const StoreError &failure)
{
    if (failure.isValid()) {
        reportFailure(failure);
        return;
    }
    UpdateDBDate();
    if (!m_attributes->save(m_idPicker->Text()))
        return;
    accept();
}

void PriceListEditor::changeChecked(const CheckedChange &result, bool removing)
{
    using Outcome = CheckedChange::Outcome;
    if (result.outcome == Outcome::Done || result.outcome == Outcome::Failed
        || (removing && result.outcome == Outcome::GoneMeanwhile))
        return change(result.outcome == Outcome::Failed ? result.error : StoreError());
    if (result.outcome == Outcome::GoneMeanwhile) {
        m_seen.reset();
        m_rowKey.reset();
        setButtons(true, false, false);
        makeDefault(m_addButton);
        return refuse(m_descriptionBox,
            QStringLiteral("Another counter deleted this item after you looked it up, so your change was not "
                           "saved.\n\nPress Add to put it back with what you typed, or Cancel."));
    }
    // What the person left as it was follows the item as it is now; what they typed stays.
    const PriceListItem &now = *result.current;
    if (m_descriptionBox->text() == m_seen->description.value_or(QString()))
        m_descriptionBox->setText(now.description.value_or(QString()));
    if (m_priceBox->text() == m_shownPrice) {
        m_storedPrice = Price::fromStored(now.price.value_or(QString()));
        m_priceBox->setPrice(m_storedPrice);
        m_shownPrice = m_priceBox->text();
    }
    m_seen = now;
    m_rowKey = now.rowKey;
    refuse(m_descriptionBox,
        QStringLiteral(
            "Another counter changed this item after you looked it up, so your change was not "
            "saved. It now reads:\n\nDescription: %1\nPrice: %2\n\nPress %3 again to %4, or Cancel.")
            .arg(now.description.value_or(QString()), now.price.value_or(QString()),
                removing ? QStringLiteral("Delete") : QStringLiteral("Update"),
                removing ? QStringLiteral("delete it all the same") : QStringLiteral("save yours over it")));
}

void PriceListEditor::UpdateDBDate()
{
    // The stamp reports nothing: a failure keeps the previous dt row and the change stands.
    try {
        m_priceList.stampDate(QDateTime::currentDateTime());
    } catch (...) {
    }
}

void PriceListEditor::reportFailure(const StoreError &failure)
{
    reportFailure(failure.number(), failure.description(), failure.source());
}

void PriceListEditor::reportFailure(const QString &number, const QString &description, const QString &source)
{
    {
        FlagGuard busy(m_busy);
        Q_EMIT failureReported(number, description, source);
    }
    // Coming back from the report activates the editor again: nothing is usable until the next
    // lookup.
    activated();
}

void PriceListEditor::refuse(QWidget *field, const QString &message)
{
    {
        FlagGuard busy(m_busy);
        QMessageBox box(QMessageBox::Warning, QString::fromUtf16(AppTitle), message, QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("frmadtRefusal"));
        box.exec();
    }
    // What was typed stays, for the person to correct.
    field->setFocus(Qt::OtherFocusReason);
}

void PriceListEditor::reportException(const char *what)
{
    try {
        reportFailure(QStringLiteral("51"),
            what ? QString::fromLocal8Bit(what) : QStringLiteral("Internal error"), ProgramSource);
    } catch (...) {
    }
}
