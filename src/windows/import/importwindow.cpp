#include "importwindow.h"

#include "core/version.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

const char *const ColumnNames[] = { "cbocategory", "cboid", "cbodescription", "cboprice", "cbocost" };
const char *const ColumnLabels[] = { "Ca&tegory", "&ID", "&Description", "&Price", "Co&st" };

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

} // namespace

ImportWindow::ImportWindow(
    Store *store, const QList<std::pair<QString, QString>> &categories, QWidget *parent)
    : QDialog(parent)
    , m_session(store, categories)
{
    setObjectName(QStringLiteral("frmimport"));
    setWindowTitle(QStringLiteral("Import a Price List"));
    setModal(true);
    auto *form = new QFormLayout;
    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("txtfile"));
    m_file->setReadOnly(true);
    auto *browse = button(this, "cmdbrowse", QStringLiteral("&Browse..."));
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(browse);
    auto *fileLabel = new QLabel(QStringLiteral("&File"), this);
    fileLabel->setBuddy(m_file);
    form->addRow(fileLabel, fileRow);
    buildFormatRow(form);
    buildColumnRow(form, categories);
    buildCategoryGrid();
    buildAttributeGrid();

    m_summary = new QLabel(QStringLiteral("Choose a supplier's file."), this);
    m_summary->setObjectName(QStringLiteral("lblsummary"));
    m_summary->setWordWrap(true);
    buildPreviewGrid();
    m_problems = new QListWidget(this);
    m_problems->setObjectName(QStringLiteral("lstproblems"));
    m_problems->setWordWrap(true);
    auto *lower = new QHBoxLayout;
    lower->addWidget(m_categoryGrid, 2);
    lower->addWidget(m_attributeGrid, 2);
    lower->addWidget(m_problems, 3);
    m_categoryGrid->setMaximumHeight(120);
    m_attributeGrid->setMaximumHeight(120);
    m_problems->setMaximumHeight(120);

    auto *outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addWidget(m_summary);
    outer->addWidget(m_grid, 1);
    outer->addLayout(lower);
    outer->addLayout(buildButtonRow());
    resize(900, 600);

    m_askPath = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Import a supplier's price list"), QString(),
            QStringLiteral("Price lists (*.csv *.tsv *.txt);;All files (*)"));
    };
    m_tell = [this](const QString &message, bool failure) {
        QMessageBox box(failure ? QMessageBox::Warning : QMessageBox::Information,
            QString::fromUtf16(AppTitle), message, QMessageBox::Ok, this);
        box.exec();
    };
    connect(browse, &QPushButton::clicked, this, &ImportWindow::chooseFile);
}

ImportWindow::~ImportWindow() = default;

QHBoxLayout *ImportWindow::buildButtonRow()
{
    m_remove = new QCheckBox(QStringLiteral("&Remove the items the file no longer lists"), this);
    m_remove->setObjectName(QStringLiteral("chkremove"));
    auto *preview = button(this, "cmdpreview", QStringLiteral("Pre&view"));
    m_previewButton = preview;
    m_apply = button(this, "cmdapply", QStringLiteral("&Apply"));
    m_apply->setEnabled(false);
    m_guess = button(this, "cmdguessattributes", QStringLiteral("&Guess attributes..."));
    m_guess->setToolTip(QStringLiteral("Propose the new items' attributes from their descriptions"));
    m_guess->setEnabled(false);
    auto *cancel = button(this, "cmdcancel", QStringLiteral("&Cancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_remove);
    buttons->addStretch(1);
    for (QPushButton *b : { m_guess, preview, m_apply, cancel })
        buttons->addWidget(b);
    connect(preview, &QPushButton::clicked, this, &ImportWindow::readPreview);
    connect(m_apply, &QPushButton::clicked, this, &ImportWindow::applyImport);
    connect(m_guess, &QPushButton::clicked, this, &ImportWindow::guessAttributes);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_remove, &QCheckBox::toggled, this, [this](bool remove) {
        m_session.setRemoveMissing(remove);
        showSummary();
    });
    return buttons;
}

void ImportWindow::buildPreviewGrid()
{
    m_grid = new QTableWidget(0, 8, this);
    m_grid->setObjectName(QStringLiteral("grdpreview"));
    m_grid->setHorizontalHeaderLabels({ QStringLiteral("What"), QStringLiteral("Category"),
        QStringLiteral("ID"), QStringLiteral("Description"), QStringLiteral("Old price"),
        QStringLiteral("New price"), QStringLiteral("Change"), QStringLiteral("Cost") });
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    // One line a row, the description taking what the others leave.
    m_grid->setWordWrap(false);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    const int widths[] = { 115, 80, 100, 0, 75, 75, 110, 140 };
    for (int c = 0; c < 8; ++c) {
        if (widths[c] > 0)
            m_grid->setColumnWidth(c, widths[c]);
    }
    m_grid->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
}

void ImportWindow::buildFormatRow(QFormLayout *form)
{
    m_encoding = new QComboBox(this);
    m_encoding->setObjectName(QStringLiteral("cboencoding"));
    for (const auto e :
        { SupplierFile::Encoding::Utf8, SupplierFile::Encoding::Utf16LE, SupplierFile::Encoding::Utf16BE,
            SupplierFile::Encoding::Windows1252, SupplierFile::Encoding::Windows1256 })
        m_encoding->addItem(SupplierFile::encodingName(e), static_cast<int>(e));
    m_delimiter = new QComboBox(this);
    m_delimiter->setObjectName(QStringLiteral("cbodelimiter"));
    m_delimiter->addItem(QStringLiteral("Comma"), QStringLiteral(","));
    m_delimiter->addItem(QStringLiteral("Semicolon"), QStringLiteral(";"));
    m_delimiter->addItem(QStringLiteral("Tab"), QStringLiteral("\t"));
    m_delimiter->addItem(QStringLiteral("Bar |"), QStringLiteral("|"));
    m_decimal = new QComboBox(this);
    m_decimal->setObjectName(QStringLiteral("cbodecimal"));
    m_decimal->addItem(QStringLiteral("Point (1,234.56)"));
    m_decimal->addItem(QStringLiteral("Comma (1.234,56)"));
    m_decimal->setPlaceholderText(QStringLiteral("Decimal sign?"));
    m_header = new QCheckBox(QStringLiteral("First line &names the columns"), this);
    m_header->setObjectName(QStringLiteral("chkheader"));
    m_header->setChecked(true);
    auto *row = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *> { m_encoding, m_delimiter, m_decimal, m_header })
        row->addWidget(w);
    form->addRow(QStringLiteral("Format"), row);
    m_decimalReadings = new QLabel(this);
    m_decimalReadings->setObjectName(QStringLiteral("lbldecimal"));
    m_decimalReadings->setStyleSheet(QStringLiteral("color: #a00000; font-weight: bold"));
    m_decimalReadings->setWordWrap(true);
    m_decimalReadings->hide();
    form->addRow(QString(), m_decimalReadings);
    connect(m_encoding, &QComboBox::currentIndexChanged, this, &ImportWindow::formatChosen);
    connect(m_delimiter, &QComboBox::currentIndexChanged, this, &ImportWindow::formatChosen);
    connect(m_header, &QCheckBox::toggled, this, &ImportWindow::formatChosen);
    connect(m_decimal, &QComboBox::activated, this, &ImportWindow::decimalChosen);
}

void ImportWindow::buildColumnRow(QFormLayout *form, const QList<std::pair<QString, QString>> &categories)
{
    auto *row = new QHBoxLayout;
    for (int i = 0; i < ColumnCount; ++i) {
        m_columns[i] = new QComboBox(this);
        m_columns[i]->setObjectName(QString::fromLatin1(ColumnNames[i]));
        auto *label = new QLabel(QString::fromLatin1(ColumnLabels[i]), this);
        label->setBuddy(m_columns[i]);
        row->addWidget(label);
        row->addWidget(m_columns[i], 1);
        connect(m_columns[i], &QComboBox::currentIndexChanged, this, [this, i] {
            m_session.setColumn(static_cast<ImportSession::Role>(i), m_columns[i]->currentData().toInt());
            fillAttributeGrid();
            if (i == 0)
                fillCategoryGrid();
            if (i == 3) // another column of prices may be written otherwise
                showDecimal();
            invalidate();
        });
    }
    m_fixedCategory = new QComboBox(this);
    m_fixedCategory->setObjectName(QStringLiteral("cbofixedcategory"));
    for (const auto &[caption, category] : categories)
        m_fixedCategory->addItem(QString(caption).remove(u'&'), category);
    m_fixedCategory->setToolTip(
        QStringLiteral("The category of every item, when the file has no category column"));
    connect(m_fixedCategory, &QComboBox::currentIndexChanged, this, [this] {
        m_session.setFixedCategory(m_fixedCategory->currentData().toString());
        invalidate();
    });
    row->addWidget(m_fixedCategory);
    form->addRow(QStringLiteral("Columns"), row);
    buildPriceKindRow(form);
}

void ImportWindow::buildPriceKindRow(QFormLayout *form)
{
    m_priceKind = new QComboBox(this);
    m_priceKind->setObjectName(QStringLiteral("cbopricekind"));
    m_priceKind->addItem(QStringLiteral("Cost (the shop pays)"));
    m_priceKind->addItem(QStringLiteral("List price"));
    m_priceKind->setToolTip(QStringLiteral("What the price column holds. Costs give each item its list "
                                           "price by the markup rules (Price List > Markup)."));
    m_repriceManual = new QCheckBox(QStringLiteral("Re-price &hand-set items"), this);
    m_repriceManual->setObjectName(QStringLiteral("chkrepricemanual"));
    m_repriceManual->setToolTip(QStringLiteral(
        "A list price typed by hand (not the one the markup gives) is kept unless this is ticked."));
    auto *row = new QHBoxLayout;
    row->addWidget(m_priceKind);
    row->addWidget(m_repriceManual);
    row->addStretch(1);
    auto *label = new QLabel(QStringLiteral("Pric&es are"), this);
    label->setBuddy(m_priceKind);
    form->addRow(label, row);
    connect(m_priceKind, &QComboBox::currentIndexChanged, this, [this] {
        m_session.setPricesAreCosts(m_priceKind->currentIndex() == 0);
        showPriceKind();
        fillAttributeGrid();
        invalidate();
    });
    connect(m_repriceManual, &QCheckBox::toggled, this, [this](bool reprice) {
        m_session.setRepriceHandSet(reprice);
        invalidate();
    });
}

void ImportWindow::showPriceKind()
{
    // With costs in the price column the list prices come from the markup, so no column gives them.
    const bool costs = m_priceKind->currentIndex() == 0;
    m_repriceManual->setEnabled(costs);
    m_columns[4]->setEnabled(!costs);
}

QString ImportWindow::columnName(int column) const
{
    const QString first = m_session.firstRecords().value(0).value(column);
    return m_session.columns().header && !first.trimmed().isEmpty()
        ? first.trimmed().left(30)
        : QStringLiteral("Column %1 (%2)").arg(column + 1).arg(first.left(20));
}

void ImportWindow::fillColumnChoices()
{
    const qsizetype count = m_session.firstRecords().value(0).size();
    for (QComboBox *combo : m_columns) {
        combo->clear();
        combo->addItem(QStringLiteral("(none)"), -1);
        for (int c = 0; c < count; ++c)
            combo->addItem(columnName(c), c);
    }
}

void ImportWindow::showColumns()
{
    const SupplierImport::Columns columns = m_session.columns();
    const int chosen[]
        = { columns.category, columns.id, columns.description, columns.price, m_session.costColumn() };
    for (int i = 0; i < ColumnCount; ++i)
        m_columns[i]->setCurrentIndex(std::max(0, m_columns[i]->findData(chosen[i])));
    m_priceKind->setCurrentIndex(columns.pricesAreCosts ? 0 : 1);
    showPriceKind();
    m_header->setChecked(columns.header);
    const int fixed = m_fixedCategory->findData(columns.fixedCategory);
    if (fixed >= 0)
        m_fixedCategory->setCurrentIndex(fixed);
}

void ImportWindow::showFile()
{
    // Filled from the session: nothing here is a choice to hand back to it.
    QList<QWidget *> choices { m_encoding, m_delimiter, m_header, m_priceKind, m_fixedCategory };
    for (QComboBox *column : m_columns)
        choices << column;
    for (QWidget *choice : choices)
        choice->blockSignals(true);
    m_file->setText(QDir::toNativeSeparators(m_session.path()));
    const SupplierFile::Format format = m_session.format();
    m_encoding->setCurrentIndex(std::max(0, m_encoding->findData(static_cast<int>(format.encoding))));
    m_delimiter->setCurrentIndex(std::max(0, m_delimiter->findData(QString(format.delimiter))));
    fillColumnChoices();
    showColumns();
    fillAttributeGrid();
    for (QWidget *choice : choices)
        choice->blockSignals(false);
    fillCategoryGrid();
    showDecimal();
    invalidate();
}

void ImportWindow::formatChosen()
{
    if (m_session.path().isEmpty())
        return;
    m_session.setFormat(chosenFormat(), m_header->isChecked());
    showFile();
}

SupplierFile::Format ImportWindow::chosenFormat() const
{
    return { static_cast<SupplierFile::Encoding>(m_encoding->currentData().toInt()),
        m_delimiter->currentData().toString().at(0) };
}
