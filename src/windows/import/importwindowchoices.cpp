// What the import window asks rather than guesses: the decimal sign of prices that read two ways,
// and the row of each category value of the file.
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

// A reading of a price for the question, as the price field would show it.
QString reading(const QString &sample, SupplierImport::DecimalSign sign)
{
    const PriceReading read = Price::fromSupplier(sample, sign);
    return read.ok() ? read.price->text() : QString();
}

} // namespace

bool ImportWindow::decimalKnown() const
{
    return m_decimal->currentIndex() >= 0;
}

void ImportWindow::showDecimal(std::optional<SupplierImport::DecimalSign> sign)
{
    m_decimal->setCurrentIndex(!sign ? -1 : *sign == SupplierImport::DecimalSign::Comma ? 1 : 0);
    m_decimalReadings->setVisible(!sign);
    m_previewButton->setEnabled(sign.has_value());
}

void ImportWindow::askDecimal(const QString &sample)
{
    m_decimalChosen = false;
    const QString comma = reading(sample, SupplierImport::DecimalSign::Comma);
    const QString point = reading(sample, SupplierImport::DecimalSign::Point);
    const auto way = [](const QString &value, const char *sign) {
        return value.isEmpty() ? QStringLiteral("is no price with a decimal %1").arg(QLatin1String(sign))
                               : QStringLiteral("%1 with a decimal %2").arg(value, QLatin1String(sign));
    };
    m_decimalReadings->setText(QStringLiteral("\"%1\" reads %2, or %3: choose the decimal sign.")
                                   .arg(sample.left(40), way(comma, "comma"), way(point, "point"))
                                   .replace(QLatin1String("reads is no"), QLatin1String("is no")));
    showDecimal(std::nullopt);
}

void ImportWindow::decimalChosen()
{
    m_decimalChosen = true;
    showDecimal(m_decimal->currentIndex() == 1 ? SupplierImport::DecimalSign::Comma
                                               : SupplierImport::DecimalSign::Point);
    invalidate();
}

void ImportWindow::guessDecimal(const SupplierImport::Columns &remembered)
{
    const int column = m_columns[3]->currentData().isValid() ? m_columns[3]->currentData().toInt() : -1;
    QStringList prices;
    if (column >= 0) {
        for (const QStringList &r : m_first.mid(m_header->isChecked() ? 1 : 0))
            prices << r.value(column);
    }
    const SupplierImport::DecimalGuess guess = SupplierImport::guessDecimal(prices);
    if (guess.sign && !guess.wholeNumbers) {
        m_decimalChosen = false;
        showDecimal(guess.sign);
    } else if (guess.sign || remembered.decimalChosen) {
        // Nothing in these lines tells the sign, or the person chose it for this supplier before.
        m_decimalChosen = remembered.decimalChosen;
        showDecimal(remembered.decimal);
    } else {
        askDecimal(guess.sample);
    }
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

void ImportWindow::fillCategoryGridFromFirst()
{
    const int column = m_columns[0]->currentData().isValid() ? m_columns[0]->currentData().toInt() : -1;
    QList<std::pair<QString, qint64>> values;
    if (column >= 0) {
        for (const QStringList &r : m_first.mid(m_header->isChecked() ? 1 : 0)) {
            const QString value = r.value(column);
            const bool seen = std::any_of(
                values.cbegin(), values.cend(), [&](const auto &v) { return v.first == value; });
            if (!value.isEmpty() && !seen)
                values.push_back({ value, -1 }); // counted when the whole file is read
        }
    }
    fillCategoryGrid(values);
}

void ImportWindow::fillCategoryGrid(const QList<std::pair<QString, qint64>> &values)
{
    const bool byColumn = m_columns[0]->currentData().isValid() && m_columns[0]->currentData().toInt() >= 0;
    m_categoryGrid->setRowCount(0);
    m_categoryGrid->setEnabled(byColumn);
    m_categoryGrid->setVisible(byColumn);
    m_fixedCategory->setEnabled(!byColumn);
    if (!byColumn)
        return;
    SupplierImport::Columns columns;
    columns.categoryRows = m_categoryRows;
    for (const auto &[value, lines] : values) {
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
        for (int i = 0; i < m_rowNames.size(); ++i)
            row->addItem(m_rowNames.at(i), QString::number(i));
        const std::optional<QString> known = SupplierImport::rowFor(columns, value, m_rowNames);
        row->setCurrentIndex(known ? row->findData(*known) : -1);
        connect(row, &QComboBox::activated, this,
            [this, row, value = value] { categoryRowChosen(value, row->currentData().toString()); });
        m_categoryGrid->setCellWidget(r, 2, row);
    }
}

void ImportWindow::categoryRowChosen(const QString &value, const QString &row)
{
    m_categoryRows.insert(value, row);
    invalidate();
}
