// The file's other columns that tell what a part is (a socket, a length): which attribute each
// holds, guessed from its header and remembered with the columns.
#include "importwindow.h"

#include "attributeguessdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QTableWidget>

void ImportWindow::buildAttributeGrid()
{
    m_attributeGrid = new QTableWidget(0, 2, this);
    m_attributeGrid->setObjectName(QStringLiteral("grdattributecolumns"));
    m_attributeGrid->setHorizontalHeaderLabels(
        { QStringLiteral("Other column"), QStringLiteral("Attribute") });
    m_attributeGrid->setToolTip(QStringLiteral("What the file's other columns tell of each part"));
    m_attributeGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_attributeGrid->setSelectionMode(QAbstractItemView::NoSelection);
    m_attributeGrid->verticalHeader()->hide();
    m_attributeGrid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_attributeGrid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
}

void ImportWindow::fillAttributeGrid(const QMap<int, QString> &chosen)
{
    const QStringList first = m_first.value(0);
    const SupplierImport::Columns main = chosenColumns();
    m_attributeGrid->setRowCount(0);
    for (int column = 0; column < first.size(); ++column) {
        if (column == main.category || column == main.id || column == main.description || column == main.price
            || column == main.cost)
            continue;
        const int row = m_attributeGrid->rowCount();
        m_attributeGrid->insertRow(row);
        const QString name = m_header->isChecked() && !first.at(column).trimmed().isEmpty()
            ? first.at(column).trimmed().left(30)
            : QStringLiteral("Column %1 (%2)").arg(column + 1).arg(first.at(column).left(20));
        m_attributeGrid->setItem(row, 0, new QTableWidgetItem(name));
        auto *choice = new QComboBox(m_attributeGrid);
        choice->setObjectName(QStringLiteral("cboattribute(%1)").arg(column));
        choice->addItem(QStringLiteral("(none)"));
        for (const AttributeInfo &info : allAttributes()) {
            const QString unit = QString::fromUtf8(info.unit);
            choice->addItem(QString::fromUtf8(info.label)
                    + (unit.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(unit)),
                QString::fromUtf8(info.key));
        }
        choice->setCurrentIndex(std::max(0, choice->findData(chosen.value(column))));
        choice->setProperty("column", column);
        connect(choice, &QComboBox::activated, this, [this] { invalidate(); });
        m_attributeGrid->setCellWidget(row, 1, choice);
    }
}

QMap<int, QString> ImportWindow::chosenAttributeColumns() const
{
    QMap<int, QString> chosen;
    for (int row = 0; row < m_attributeGrid->rowCount(); ++row) {
        const auto *choice = qobject_cast<QComboBox *>(m_attributeGrid->cellWidget(row, 1));
        if (choice && choice->currentData().isValid())
            chosen.insert(choice->property("column").toInt(), choice->currentData().toString());
    }
    return chosen;
}

void ImportWindow::guessAttributes()
{
    if (!m_preview)
        return;
    // The new items: what the list holds already has the attributes it was given.
    QList<AttributeGuessDialog::Item> items;
    for (size_t i = 0; i < m_preview->addedCount(); ++i) {
        const SupplierImport::Item item = m_preview->added(i);
        if (item.description && !item.description->isEmpty())
            items.append({ item.category, item.id, *item.description });
    }
    AttributeGuessDialog dialog(items, this);
    if (dialog.proposals() == 0) {
        m_tell(QStringLiteral("The new items' descriptions give no attributes away."), false);
        return;
    }
    if (m_askGuesses)
        m_askGuesses(dialog);
    else
        dialog.exec();
    for (const AttributeGuessDialog::Accepted &taken : dialog.accepted()) {
        // What the file's own columns say stands over what a description suggests.
        PartAttributes &kept = m_reading.attributes[{ taken.category, taken.id }];
        for (auto v = taken.attributes.values().cbegin(); v != taken.attributes.values().cend(); ++v) {
            if (!kept.value(v.key()))
                kept.set(v.key(), v->text);
        }
    }
    showSummary();
}
