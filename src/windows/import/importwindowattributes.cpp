// The file's other columns that tell what a part is (a socket, a length): which attribute each
// holds, guessed from its header and remembered with the columns.
#include "importwindow.h"

#include "attributeguessdialog.h"

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

void ImportWindow::fillAttributeGrid()
{
    const SupplierImport::Columns main = m_session.columns();
    const qsizetype count = m_session.firstRecords().value(0).size();
    m_attributeGrid->setRowCount(0);
    for (int column = 0; column < count; ++column) {
        if (column == main.category || column == main.id || column == main.description || column == main.price
            || column == main.cost)
            continue;
        const int row = m_attributeGrid->rowCount();
        m_attributeGrid->insertRow(row);
        m_attributeGrid->setItem(row, 0, new QTableWidgetItem(columnName(column)));
        auto *choice = new QComboBox(m_attributeGrid);
        choice->setObjectName(QStringLiteral("cboattribute(%1)").arg(column));
        choice->addItem(QStringLiteral("(none)"));
        for (const AttributeInfo &info : allAttributes()) {
            const QString unit = QString::fromUtf8(info.unit);
            choice->addItem(QString::fromUtf8(info.label)
                    + (unit.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(unit)),
                QString::fromUtf8(info.key));
        }
        choice->setCurrentIndex(std::max(0, choice->findData(main.attributeColumns.value(column))));
        connect(choice, &QComboBox::currentIndexChanged, this, [this, choice, column] {
            m_session.setAttributeColumn(column, choice->currentData().toString());
            invalidate();
        });
        m_attributeGrid->setCellWidget(row, 1, choice);
    }
}

void ImportWindow::guessAttributes()
{
    if (!m_session.preview())
        return;
    AttributeGuessDialog dialog(m_session.describedNewItems(), this);
    if (dialog.proposals() == 0) {
        m_tell(QStringLiteral("The new items' descriptions give no attributes away."), false);
        return;
    }
    if (m_askGuesses)
        m_askGuesses(dialog);
    else
        dialog.exec();
    m_session.acceptGuesses(dialog.accepted());
    showSummary();
}
