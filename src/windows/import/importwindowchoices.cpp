// What the import window asks rather than guesses: the decimal sign of prices that read two ways,
// and the row of each category value of the file.
#include "importtexts.h"
#include "importwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace
{

const QString LeaveOut = QStringLiteral("(leave out)");

} // namespace

void ImportWindow::showDecimal()
{
    const std::optional<SupplierImport::DecimalSign> sign = m_session.decimal();
    if (!sign)
        m_decimalReadings->setText(ImportTexts::decimalQuestion(m_session.decimalSample()));
    m_decimal->setCurrentIndex(!sign ? -1 : *sign == SupplierImport::DecimalSign::Comma ? 1 : 0);
    m_decimalReadings->setVisible(!sign);
    m_previewButton->setEnabled(sign.has_value());
}

void ImportWindow::decimalChosen()
{
    m_session.chooseDecimal(m_decimal->currentIndex() == 1 ? SupplierImport::DecimalSign::Comma
                                                           : SupplierImport::DecimalSign::Point);
    showDecimal();
    invalidate();
}

void ImportWindow::buildCategoryGrid()
{
    m_categoryGrid = new QTableWidget(0, 3, this);
    m_categoryGrid->setObjectName(QStringLiteral("grdcategories"));
    m_categoryGrid->setHorizontalHeaderLabels(
        { QStringLiteral("Category in the file"), QStringLiteral("Lines"), QStringLiteral("Row") });
    m_categoryGrid->setToolTip(QStringLiteral("The row each category of the file goes to"));
    m_categoryGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_categoryGrid->setSelectionMode(QAbstractItemView::NoSelection);
    m_categoryGrid->verticalHeader()->hide();
    m_categoryGrid->verticalHeader()->setDefaultSectionSize(m_categoryGrid->fontMetrics().height() + 10);
    m_categoryGrid->setColumnWidth(1, 50);
    m_categoryGrid->setColumnWidth(2, 130);
    m_categoryGrid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_categoryGrid->setEnabled(false);
    m_categoryGrid->hide();
}

void ImportWindow::fillCategoryGrid()
{
    const bool byColumn = m_session.columns().category >= 0;
    m_categoryGrid->setRowCount(0);
    m_categoryGrid->setEnabled(byColumn);
    m_categoryGrid->setVisible(byColumn);
    m_fixedCategory->setEnabled(!byColumn);
    if (!byColumn)
        return;
    for (const auto &[value, lines] : m_session.categoryValues()) {
        const int r = m_categoryGrid->rowCount();
        m_categoryGrid->insertRow(r);
        m_categoryGrid->setItem(r, 0, new QTableWidgetItem(value));
        auto *count = new QTableWidgetItem(lines < 0 ? QString() : QString::number(lines));
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_categoryGrid->setItem(r, 1, count);
        auto *row = new QComboBox(m_categoryGrid);
        row->setObjectName(QStringLiteral("cborow(%1)").arg(r));
        row->setPlaceholderText(QStringLiteral("(choose)"));
        row->addItem(LeaveOut, QString());
        for (int i = 0; i < m_session.rowNames().size(); ++i)
            row->addItem(m_session.rowNames().at(i), QString::number(i));
        const std::optional<QString> known = m_session.rowOf(value);
        row->setCurrentIndex(known ? row->findData(*known) : -1);
        connect(row, &QComboBox::activated, this, [this, row, value = value] {
            m_session.chooseRow(value, row->currentData().toString());
            invalidate();
        });
        m_categoryGrid->setCellWidget(r, 2, row);
    }
}
