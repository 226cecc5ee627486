#include "attributeguessdialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

enum Column { CategoryColumn, IdColumn, DescriptionColumn, ProposalColumn, ColumnCount };

} // namespace

AttributeGuessDialog::AttributeGuessDialog(const QList<Item> &items, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmguess"));
    setWindowTitle(QStringLiteral("Guess attributes"));
    // A file may bring thousands of new items: each description is kept with its proposal, not
    // looked for again.
    QStringList descriptions;
    for (const Item &item : items) {
        bool isRow = false;
        const int row = item.category.toInt(&isRow);
        if (!isRow || row < 0 || row > 16)
            continue;
        const PartAttributes guessed = guessAttributes(partKindOfRow(row), item.description);
        if (!guessed.isEmpty()) {
            m_proposed.append({ item.category, item.id, guessed });
            descriptions << item.description;
        }
    }
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(
        QStringLiteral("Read from the descriptions. Tick the proposals to keep; the others are not kept."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    m_table = new QTableWidget(int(m_proposed.size()), ColumnCount, this);
    m_table->setObjectName(QStringLiteral("grdguesses"));
    m_table->setHorizontalHeaderLabels({ QStringLiteral("Category"), QStringLiteral("ID"),
        QStringLiteral("Description"), QStringLiteral("Proposed attributes") });
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < m_proposed.size(); ++row) {
        const Accepted &proposal = m_proposed[row];
        const QString &description = descriptions.at(row);
        auto *category = new QTableWidgetItem(proposal.category);
        // The tick says it is kept; it starts unticked, as a guess is never kept unasked.
        category->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        category->setCheckState(Qt::Unchecked);
        m_table->setItem(row, CategoryColumn, category);
        m_table->setItem(row, IdColumn, new QTableWidgetItem(proposal.id));
        m_table->setItem(row, DescriptionColumn, new QTableWidgetItem(description));
        m_table->setItem(row, ProposalColumn, new QTableWidgetItem(describe(proposal.attributes)));
    }
    m_table->resizeColumnsToContents();
    layout->addWidget(m_table, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *all = buttons->addButton(QStringLiteral("Accept &all"), QDialogButtonBox::ActionRole);
    all->setObjectName(QStringLiteral("cmdacceptall"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdok"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdcancel"));
    connect(all, &QPushButton::clicked, this, &AttributeGuessDialog::acceptAll);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Space on a row ticks it, as in a list of check boxes.
    connect(m_table, &QTableWidget::itemActivated, this, [this](QTableWidgetItem *item) {
        QTableWidgetItem *tick = m_table->item(item->row(), CategoryColumn);
        setRowAccepted(item->row(), tick->checkState() != Qt::Checked);
    });
    layout->addWidget(buttons);
    resize(760, 420);
}

void AttributeGuessDialog::acceptAll()
{
    for (int row = 0; row < m_table->rowCount(); ++row)
        setRowAccepted(row, true);
}

void AttributeGuessDialog::setRowAccepted(int row, bool accepted)
{
    if (QTableWidgetItem *tick = m_table->item(row, CategoryColumn))
        tick->setCheckState(accepted ? Qt::Checked : Qt::Unchecked);
}

QList<AttributeGuessDialog::Accepted> AttributeGuessDialog::accepted() const
{
    QList<Accepted> out;
    if (result() != QDialog::Accepted)
        return out;
    for (int row = 0; row < m_proposed.size(); ++row) {
        if (m_table->item(row, CategoryColumn)->checkState() != Qt::Checked)
            continue;
        Accepted taken = m_proposed[row];
        taken.attributes.acceptAll();
        out.append(taken);
    }
    return out;
}

QString AttributeGuessDialog::describe(const PartAttributes &attributes)
{
    QStringList parts;
    for (auto it = attributes.values().cbegin(); it != attributes.values().cend(); ++it) {
        const AttributeInfo &info = attributeInfo(it.key());
        const QString unit = QString::fromUtf8(info.unit);
        parts << QStringLiteral("%1 %2%3").arg(QString::fromUtf8(info.label), it->text,
            unit.isEmpty() || it->text == noSupply() ? QString() : QLatin1Char(' ') + unit);
    }
    return parts.join(QLatin1String(", "));
}
