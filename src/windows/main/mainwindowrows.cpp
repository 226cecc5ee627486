// The main window as the view of its offer: the configuration rows (each row's picker, lookup and
// keys, its amount box), the client data and the total. What a person does is written into the
// offer's model; what the model holds is shown. The frame around them is mainwindow.cpp.
#include "mainwindow.h"

#include "core/amount.h"
#include "core/price.h"
#include "core/version.h"
#include "fitwarnings.h"
#include "rowtexts.h"
#include "store/itemcosttable.h"
#include "store/store.h"
#include "widgets/focusleave.h"
#include "widgets/gridcombo.h"

#include <QDateTimeEdit>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QStatusBar>

namespace
{

const QString NoTotal = QStringLiteral("No total");
const QString NoTotalYet = QStringLiteral(" The offer has no total until it is corrected.");

// Leaves a box that already shows the text alone: a person typing there keeps cursor and undo.
void showText(QLineEdit *box, const QString &text)
{
    if (box->text() != text)
        box->setText(text);
}

} // namespace

void MainWindow::buildRows()
{
    for (int i = 0; i < ConfigRow::Count; ++i) {
        auto row = std::make_unique<ConfigRow>(i, m_configurationFrame);
        GridCombo *picker = row->picker();
        connect(
            row->categoryButton(), &QPushButton::clicked, this, [this, i] { Q_EMIT priceListRequested(i); });
        connect(picker, &GridCombo::listRequested, this, [this, i] { fillPicker(i); });
        connect(picker, &GridCombo::itemChosen, this, [this, i] { itemPicked(i); });
        connect(picker, &GridCombo::keyDown, this,
            [this, i](int key, int shift) { pickerKeyDown(i, key, shift); });
        // What a person types goes into the offer; the program's own texts come from it.
        connect(row->amountBox(), &QLineEdit::textEdited, this,
            [this, i](const QString &text) { m_model->setAmountText(i, text); });
        connect(picker->lineEdit(), &QLineEdit::textEdited, this,
            [this, i](const QString &id) { m_model->setItemId(i, id); });
        row->amountBox()->installEventFilter(this);
        m_rows[static_cast<size_t>(i)] = std::move(row);
    }
}

QString MainWindow::rowCaption(int index) const
{
    return RowTexts::caption(index);
}

QString MainWindow::rowCategory(int index) const
{
    return row(index).category();
}

QPixmap MainWindow::rowPicture(int index) const
{
    const QLabel *picture = row(index).picture();
    return picture ? picture->pixmap() : QPixmap();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A menu, another window or another program taking the focus is not leaving the amount.
    if (event->type() == QEvent::FocusOut && leavesForAnotherControl(*static_cast<QFocusEvent *>(event))) {
        for (const auto &row : m_rows) {
            if (watched == row->amountBox()) {
                amountLeft(row->index());
                break;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::fillList(int index)
{
    GridCombo *picker = row(index).picker();
    auto rows = m_priceList.items(row(index).category(), PriceListRepository::Order::IdDescending);
    if (!rows) {
        picker->setRowSource(nullptr);
        sayListUnread(index, rows.error());
        return false;
    }
    picker->setRowSource(*std::move(rows));
    picker->setFitCheck(m_fitWarnings->fitCheck(index));
    return true;
}

void MainWindow::fillPicker(int index)
{
    fillList(index);
}

void MainWindow::takePickerText(int index)
{
    // Normally the offer holds it already; a text put in by other means (an assistive tool) is
    // taken the moment the person picks or moves.
    m_model->setItemId(index, row(index).picker()->Text());
}

void MainWindow::sayListUnread(int index, const StoreError &failure)
{
    QMessageBox::warning(this, QString::fromUtf16(AppTitle),
        QStringLiteral("The price list of \"%1\" could not be read.\n\n%2")
            .arg(RowTexts::plainCaption(index), failure.text()));
}

void MainWindow::lookupItem(int index)
{
    const auto found = m_priceList.item(row(index).category(), m_model->row(index).itemId);
    if (!found) {
        // The row has taken the id already: what it showed belongs to the item before, and must
        // not pass for this one's description and price.
        m_model->takeListItem(index, QString(), std::nullopt);
        m_model->setAmountText(index, QString());
        sayListUnread(index, found.error());
        return;
    }
    if (!*found)
        return; // no such item: the row keeps what it shows
    const PriceListItem &item = **found;
    // A field that holds no value fails its step alone: the row keeps what it showed there. A cost
    // that cannot be read is one not known: the counter goes on without its margin.
    const auto cost = ItemCostTable(m_store).read(row(index).category(), item.id);
    m_model->takeListItem(
        index, item.description, Price::fromColumn(item.price), cost ? *cost : std::nullopt);
}

void MainWindow::itemPicked(int index)
{
    takePickerText(index);
    lookupItem(index);
}

void MainWindow::pickerKeyDown(int index, int keyCode, int shift)
{
    GridCombo *picker = row(index).picker();
    if (keyCode == GridCombo::KeyTab && index < ConfigRow::Count - 1) {
        picker->suppressKey();
        row(index + 1).picker()->SetFocus();
        return;
    }
    // F4 and Alt+Down open the list; the picker does that itself.
    if (GridCombo::opensList(keyCode, shift))
        return;
    if (keyCode != GridCombo::KeyTab)
        picker->suppressKey();
    takePickerText(index);
    if (m_model->row(index).itemId.isEmpty())
        fillList(index);
    if (RecordSet *rows = picker->RowSource()) {
        switch (keyCode) {
        case GridCombo::KeyPageUp:
        case GridCombo::KeyLeft:
        case GridCombo::KeyUp:
            rows->movePrevious();
            break;
        case GridCombo::KeyPageDown:
        case GridCombo::KeyRight:
        case GridCombo::KeyDown:
            rows->moveNext();
            break;
        case GridCombo::KeyEnd:
            rows->moveLast();
            break;
        case GridCombo::KeyHome:
            rows->moveFirst();
            break;
        default:
            break;
        }
        if (const auto id = rows->text(QStringLiteral("id"))) {
            m_model->setItemId(index, *id);
            picker->lineEdit()->setCursorPosition(0); // show the id from its start
        }
    }
    lookupItem(index);
}

void MainWindow::amountLeft(int index)
{
    m_model->setAmountText(index, FormatAmount(m_model->row(index).amountText()));
}

void MainWindow::showHeader()
{
    const Offer &offer = m_model->offer();
    showText(m_shopBox, offer.shop); // the title follows the box
    showText(m_clientBox, offer.client);
    showText(m_sellerBox, offer.seller);
    if (offer.date.isValid() && m_dateBox->dateTime() != offer.date)
        m_dateBox->setDateTime(offer.date);
}

void MainWindow::showRow(int index)
{
    ConfigRow &shown = *m_rows.at(static_cast<size_t>(index));
    shown.show(m_model->row(index));
    shown.markAmount(RowTexts::amountProblem(*m_model, index));
}

void MainWindow::showTotal()
{
    // Exact, every digit shown. An amount out of range cannot be added, and a total that left it
    // out would stand beside it on paper: then the offer has no total at all, the row and the
    // total box say so, and nothing is saved, printed or exported until it is corrected.
    const QString problem = totalProblem();
    if (problem.isEmpty()) {
        m_totalBox->setText(m_model->totalText());
        m_totalBox->setToolTip(QString());
        return statusBar()->clearMessage();
    }
    m_totalBox->setText(NoTotal);
    m_totalBox->setToolTip(problem + NoTotalYet);
    statusBar()->showMessage(problem + NoTotalYet);
}

QString MainWindow::totalProblem() const
{
    return RowTexts::totalProblem(*m_model);
}
