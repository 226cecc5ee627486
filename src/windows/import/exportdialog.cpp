#include "exportdialog.h"

#include "core/version.h"
#include "store/pricelistexport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

PriceListExportDialog::PriceListExportDialog(
    Store *store, const QList<std::pair<QString, QString>> &categories, QWidget *parent)
    : QDialog(parent)
    , m_store(store)
{
    setObjectName(QStringLiteral("frmexport"));
    setWindowTitle(QStringLiteral("Export the Price List"));
    setModal(true);
    m_category = new QComboBox(this);
    m_category->setObjectName(QStringLiteral("cbocategory"));
    m_category->addItem(QStringLiteral("All categories"));
    for (const auto &[caption, category] : categories)
        m_category->addItem(QString(caption).remove(u'&'), category);
    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("txtfile"));
    m_file->setText(QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                        .filePath(QStringLiteral("pricelist.csv")));
    auto *browse = new QPushButton(QStringLiteral("&Browse..."), this);
    browse->setObjectName(QStringLiteral("cmdbrowse"));
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(browse);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Category"), m_category);
    auto *fileLabel = new QLabel(QStringLiteral("&File"), this);
    fileLabel->setBuddy(m_file);
    form->addRow(fileLabel, fileRow);
    // What the shop pays is no one else's business: a file for a customer or a supplier leaves it out.
    m_costs = new QCheckBox(QStringLiteral("Include the c&ost of each item"), this);
    m_costs->setObjectName(QStringLiteral("chkcost"));
    form->addRow(QString(), m_costs);
    auto *run = new QPushButton(QStringLiteral("&Export"), this);
    run->setObjectName(QStringLiteral("cmdexport"));
    run->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdcancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(run);
    buttons->addWidget(cancel);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addLayout(buttons);
    // Room for a whole path in the usual Documents folder.
    resize(std::max(width(), 520), sizeHint().height());

    m_askPath = [this](const QString &suggested) {
        return QFileDialog::getSaveFileName(
            this, QStringLiteral("Export the price list"), suggested, QStringLiteral("CSV files (*.csv)"));
    };
    m_tell = [this](const QString &message, bool failure) {
        QMessageBox box(failure ? QMessageBox::Warning : QMessageBox::Information,
            QString::fromUtf16(AppTitle), message, QMessageBox::Ok, this);
        box.exec();
    };
    connect(browse, &QPushButton::clicked, this, &PriceListExportDialog::chooseFile);
    connect(run, &QPushButton::clicked, this, &PriceListExportDialog::exportList);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void PriceListExportDialog::chooseFile()
{
    const QString chosen = m_askPath(m_file->text());
    if (!chosen.isEmpty())
        m_file->setText(chosen);
}

void PriceListExportDialog::exportList()
{
    const QString path = m_file->text().trimmed();
    if (path.isEmpty()) {
        m_tell(QStringLiteral("File: enter the file to write the price list to."), true);
        m_file->setFocus();
        return;
    }
    const QVariant category = m_category->currentData();
    const PriceListExport result = exportPriceList(*m_store,
        category.isValid() ? std::optional<QString>(category.toString()) : std::nullopt, path,
        m_costs->isChecked());
    if (!result.ok) {
        m_tell(result.error, true);
        return;
    }
    m_tell(
        QStringLiteral("%1 items were written to %2.").arg(result.items).arg(QDir::toNativeSeparators(path)),
        false);
    accept();
}
