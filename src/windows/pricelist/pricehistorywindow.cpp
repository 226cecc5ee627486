#include "pricehistorywindow.h"

#include "core/price.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

PriceHistoryWindow::PriceHistoryWindow(const QString &id, const std::optional<QList<PriceChange>> &read,
    const QString &unreadable, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmhistory"));
    setWindowTitle(QStringLiteral("Price history of %1").arg(id));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    const QList<PriceChange> changes = read.value_or(QList<PriceChange>());
    auto *heading = new QLabel(!read
            ? QStringLiteral("The price history of %1 could not be read: %2").arg(id, unreadable)
            : changes.isEmpty() ? QStringLiteral("No price changes of %1 were recorded.").arg(id)
                                : QStringLiteral("Price changes of %1, newest first:").arg(id),
        this);
    heading->setObjectName(QStringLiteral("lblhistory"));
    heading->setWordWrap(true);
    layout->addWidget(heading);
    m_grid = new QTableWidget(static_cast<int>(changes.size()), 6, this);
    m_grid->setObjectName(QStringLiteral("grdhistory"));
    m_grid->setHorizontalHeaderLabels(
        { QStringLiteral("When"), QStringLiteral("Old price"), QStringLiteral("New price"),
            QStringLiteral("Change"), QStringLiteral("Description"), QStringLiteral("By") });
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->verticalHeader()->hide();
    m_grid->setWordWrap(false);
    const QLocale locale;
    for (int r = 0; r < changes.size(); ++r) {
        const PriceChange &c = changes.at(r);
        const bool cost = c.what == PriceChange::What::Cost;
        QString change = !c.oldPrice ? QStringLiteral("added")
            : !c.newPrice
            ? (cost ? QStringLiteral("unknown") : QStringLiteral("deleted"))
            : Price::percentChange(Price::fromStored(*c.oldPrice), Price::fromStored(*c.newPrice));
        // A cost's change is told apart from the price's it may stand beside.
        if (cost)
            change = QStringLiteral("Cost %1").arg(change).trimmed();
        const QString cells[] = { locale.toString(c.when, QLocale::ShortFormat),
            c.oldPrice.value_or(QString()), c.newPrice.value_or(QString()), change, c.description, c.source };
        for (int col = 0; col < 6; ++col)
            m_grid->setItem(r, col, new QTableWidgetItem(cells[col]));
    }
    m_grid->resizeColumnsToContents();
    // The description gives way, so the source's file name is read whole.
    m_grid->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
    layout->addWidget(m_grid);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdclose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(720, 320);
}
