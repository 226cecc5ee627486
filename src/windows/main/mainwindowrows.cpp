// The main window's configuration rows: each row's picker, lookup and keys, its amount box, and
// the total they add up to. The frame around them is mainwindow.cpp.
#include "mainwindow.h"

#include "core/amount.h"
#include "core/version.h"
#include "store/store.h"
#include "widgets/focusleave.h"
#include "widgets/gridcombo.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>

namespace
{

const QString NoTotal = QStringLiteral("No total");
const QString NoTotalYet = QStringLiteral(" The offer has no total until it is corrected.");

} // namespace

void MainWindow::buildRows()
{
    for (int i = 0; i < ConfigRow::Count; ++i) {
        auto row = std::make_unique<ConfigRow>(i, m_frame1);
        GridCombo *picker = row->GridCombo1;
        connect(row->Command1, &QPushButton::clicked, this, [this, i] { Q_EMIT priceListRequested(i); });
        connect(picker, &GridCombo::listRequested, this, [this, i] { fillPicker(i); });
        connect(picker, &GridCombo::itemChosen, this, [this, i] { itemPicked(i); });
        connect(picker, &GridCombo::keyDown, this,
            [this, i](int key, int shift) { pickerKeyDown(i, key, shift); });
        connect(row->text1, &QLineEdit::textChanged, this, [this, i](const QString &text) {
            m_offer.row(i).setAmountText(text);
            amountChanged(i);
        });
        // A typed or stepped-to id is the row's id; its list price is known again only when it is
        // looked up.
        connect(picker->lineEdit(), &QLineEdit::textChanged, this, [this, i](const QString &text) {
            m_offer.row(i).itemId = text;
            m_offer.row(i).listPrice.reset();
        });
        row->text1->installEventFilter(this);
        m_offer.row(i).setAmountText(row->text1->text());
        m_rows[static_cast<size_t>(i)] = std::move(row);
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A menu, another window or another program taking the focus is not leaving the amount.
    if (event->type() == QEvent::FocusOut && leavesForAnotherControl(*static_cast<QFocusEvent *>(event))) {
        for (const auto &row : m_rows) {
            if (watched == row->text1) {
                amountLeft(row->index());
                break;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::fillList(int index)
{
    const ConfigRow &r = row(index);
    auto rows = m_priceList.items(r.category(), PriceListRepository::Order::IdDescending);
    if (!rows) {
        r.GridCombo1->setRowSource(nullptr);
        QMessageBox::warning(this, QString::fromUtf16(AppTitle),
            QStringLiteral("The price list of \"%1\" could not be read.\n\n%2")
                .arg(QString(r.Command1->text()).remove(QLatin1Char('&')), m_store->lastError().text()));
        return false;
    }
    r.GridCombo1->setRowSource(std::move(rows));
    return true;
}

void MainWindow::fillPicker(int index)
{
    fillList(index);
}

void MainWindow::lookupItem(int index)
{
    const ConfigRow &r = row(index);
    const auto item = m_priceList.item(r.category(), r.GridCombo1->Text());
    if (!item)
        return; // no such item: the row keeps what it shows
    // A field that holds no value fails its step alone: the row keeps what it showed there.
    if (item->description)
        r.Label1->setText(*item->description);
    if (item->price)
        r.text1->setText(*item->price);
    OfferRow &picked = m_offer.row(index);
    picked.description = r.Label1->text();
    picked.listPrice = Price::fromColumn(item->price);
}

void MainWindow::itemPicked(int index)
{
    lookupItem(index);
}

void MainWindow::pickerKeyDown(int index, int keyCode, int shift)
{
    const ConfigRow &r = row(index);
    if (keyCode == GridCombo::KeyTab && index < ConfigRow::Count - 1) {
        r.GridCombo1->suppressKey();
        row(index + 1).GridCombo1->SetFocus();
        return;
    }
    // F4 and Alt+Down open the list; the picker does that itself.
    if (GridCombo::opensList(keyCode, shift))
        return;
    if (keyCode != GridCombo::KeyTab)
        r.GridCombo1->suppressKey();
    if (r.GridCombo1->Text().isEmpty())
        fillList(index);
    if (RecordSet *rows = r.GridCombo1->RowSource()) {
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
            r.GridCombo1->setText(*id);
            r.GridCombo1->lineEdit()->setCursorPosition(0); // show the id from its start
        }
    }
    lookupItem(index);
}

void MainWindow::computeTotal()
{
    // Exact, every digit shown. An amount out of range cannot be added, and a total that left it
    // out would stand beside it on paper: then the offer has no total at all, the row and the
    // total box say so, and nothing is saved, printed or exported until it is corrected.
    for (const auto &r : m_rows) {
        const OfferRow &amount = m_offer.row(r->index());
        const QString text = amount.amountText();
        const bool out = amount.amount().status == Amounts::Status::OutOfRange;
        markAmount(r->text1, out ? Amounts::outOfRangeMessage(rowName(r->index()), text) : QString());
    }
    const QString problem = totalProblem();
    if (problem.isEmpty()) {
        m_txttotal->setText(m_offer.totalText());
        m_txttotal->setToolTip(QString());
        return statusBar()->clearMessage();
    }
    m_txttotal->setText(NoTotal);
    m_txttotal->setToolTip(problem + NoTotalYet);
    statusBar()->showMessage(problem + NoTotalYet);
}

QString MainWindow::totalProblem() const
{
    int refused = -1;
    m_offer.total(&refused);
    if (refused < 0)
        return {};
    return Amounts::outOfRangeMessage(rowName(refused), m_offer.row(refused).amountText());
}

QString MainWindow::rowName(int index) const
{
    return QLatin1String("Row ") + QString(row(index).Command1->text()).remove(u'&');
}

void MainWindow::markAmount(QLineEdit *box, const QString &problem)
{
    const bool marked = !problem.isEmpty();
    box->setToolTip(problem);
    if (box->property(OutOfRangeProperty).toBool() == marked)
        return;
    // The client's style sheet colours a marked box; it reads the mark when the box is polished.
    box->setProperty(OutOfRangeProperty, marked);
    box->style()->unpolish(box);
    box->style()->polish(box);
}

void MainWindow::amountChanged(int)
{
    computeTotal();
}

void MainWindow::amountLeft(int index)
{
    QLineEdit *box = row(index).text1;
    box->setText(FormatAmount(box->text()));
}
