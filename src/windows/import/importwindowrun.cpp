#include "importwindow.h"

#include "core/price.h"
#include "store/importcolumns.h"
#include "store/markupruletable.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>

namespace
{

// A preview of more rows than this shows the first ones; the summary counts them all.
constexpr int ShownRows = 5000;
constexpr qint64 SampleBytes = 64 * 1024;

void addRow(QTableWidget *grid, const QStringList &cells)
{
    const int r = grid->rowCount();
    grid->insertRow(r);
    for (int c = 0; c < grid->columnCount(); ++c)
        grid->setItem(r, c, new QTableWidgetItem(cells.value(c)));
}

} // namespace

void ImportWindow::chooseFile()
{
    const QString path = m_askPath();
    if (!path.isEmpty())
        setFile(path);
}

bool ImportWindow::setFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_tell(
            QStringLiteral("%1 cannot be opened: %2").arg(QDir::toNativeSeparators(path), file.errorString()),
            true);
        return false;
    }
    QString why;
    const auto format = SupplierFile::detect(file.read(SampleBytes), &why);
    if (!format) {
        m_tell(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), why), true);
        return false;
    }
    m_path = path;
    m_file->setText(QDir::toNativeSeparators(path));
    m_encoding->setCurrentIndex(std::max(0, m_encoding->findData(static_cast<int>(format->encoding))));
    m_delimiter->setCurrentIndex(std::max(0, m_delimiter->findData(QString(format->delimiter))));
    file.seek(0);
    m_first = SupplierImport::firstRecords(file, *format, 20);
    SupplierImport::Columns columns = SupplierImport::guessColumns(m_first.value(0));
    columns.header = columns.id >= 0 || columns.price >= 0;
    if (!columns.pricesAreCosts && columns.cost < 0)
        columns.pricesAreCosts = pricesByMarkup();
    if (columns.header)
        columns.attributeColumns = SupplierImport::guessAttributeColumns(m_first.value(0), columns);
    // The same supplier's file of last time: the columns chosen then (when they cannot be read,
    // the guess stands).
    const auto kept = ImportColumns(m_store).remembered(QFileInfo(path).fileName());
    if (kept && *kept) {
        if (const auto recalled = SupplierImport::Columns::fromText(**kept))
            columns = *recalled;
    }
    m_categoryRows = columns.categoryRows;
    m_header->setChecked(columns.header);
    fillColumnChoices();
    showColumns(columns);
    fillAttributeGrid(columns.attributeColumns);
    fillCategoryGridFromFirst();
    // From this file's own prices, whatever was remembered, unless they read two ways.
    guessDecimal(columns);
    invalidate();
    return true;
}

void ImportWindow::invalidate()
{
    m_preview.reset();
    m_grid->setRowCount(0);
    m_problems->clear();
    m_apply->setEnabled(false);
    m_guess->setEnabled(false);
    m_marked = 0;
    m_summary->setText(m_path.isEmpty() ? QStringLiteral("Choose a supplier's file.")
            : !decimalKnown() ? QStringLiteral("Choose the decimal sign of the prices, then press Preview.")
                              : QStringLiteral("Press Preview to see what the file changes."));
}

void ImportWindow::readPreview()
{
    invalidate();
    m_reading = {};
    const SupplierImport::Columns columns = chosenColumns();
    if (m_path.isEmpty() || columns.id < 0 || columns.price < 0) {
        m_tell(QStringLiteral("Choose the file and at least its ID and Price columns."), true);
        return;
    }
    if (!decimalKnown()) {
        m_tell(QStringLiteral("Choose the decimal sign of the prices first."), true);
        return;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_tell(QStringLiteral("%1 cannot be opened: %2")
                   .arg(QDir::toNativeSeparators(m_path), file.errorString()),
            true);
        return;
    }
    QProgressDialog progress(QStringLiteral("Reading %1...").arg(QFileInfo(m_path).fileName()),
        QStringLiteral("Cancel"), 0, 1000, this);
    progress.setObjectName(QStringLiteral("frmimportprogress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const qint64 size = std::max<qint64>(1, file.size());
    bool finished = false;
    QString why;
    m_reading = SupplierImport::readItems(
        file, chosenFormat(), columns, m_rowNames,
        [&](qint64 bytes) {
            progress.setValue(static_cast<int>(std::min<qint64>(999, bytes * 1000 / size)));
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        },
        &finished, &why);
    progress.reset();
    if (!finished) {
        m_reading = {};
        m_tell(progress.wasCanceled() ? QStringLiteral("Reading was cancelled; nothing was changed.") : why,
            !progress.wasCanceled());
        return;
    }
    if (columns.category >= 0)
        fillCategoryGrid(m_reading.categoryValues);
    // The sign was guessed from the first lines; the rest of the file must not tell otherwise.
    if (!m_decimalChosen) {
        const SupplierImport::DecimalGuess whole = m_reading.decimal;
        if (!whole.sign) {
            m_reading = {};
            askDecimal(whole.sample);
            invalidate();
            return;
        }
        if (!whole.wholeNumbers && *whole.sign != columns.decimal) {
            showDecimal(whole.sign);
            readPreview();
            return;
        }
    }
    compareWithList(columns);
}

void ImportWindow::compareWithList(const SupplierImport::Columns &columns)
{
    PriceImport import(m_store);
    CostPricing pricing;
    if (columns.pricesAreCosts) {
        auto rules = MarkupRuleTable(m_store).read();
        if (!rules) {
            m_tell(QStringLiteral("The markup rules cannot be read: %1").arg(rules.error().text()), true);
            return;
        }
        pricing = { *std::move(rules), m_repriceManual->isChecked() };
    }
    // Comparing a million lines with the list takes a few seconds.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    auto previewed = columns.pricesAreCosts ? import.preview(std::move(m_reading.items), pricing)
                                            : import.preview(std::move(m_reading.items));
    QGuiApplication::restoreOverrideCursor();
    if (!previewed) {
        m_tell(QStringLiteral("The price list cannot be read: %1").arg(previewed.error().text()), true);
        return;
    }
    m_preview = *std::move(previewed);
    showPreview();
}

QString ImportWindow::categoryShown(const QString &category) const
{
    // By the name of its row, as the main window shows it; a category no row shows, by its code.
    const int row = m_fixedCategory->findData(category);
    return row >= 0 ? m_fixedCategory->itemText(row) : category;
}

bool ImportWindow::pricesByMarkup()
{
    const auto rules = MarkupRuleTable(m_store).read();
    return rules && (!rules->owned().isEmpty() || rules->defaultRule != Markup::Rule());
}

namespace
{

// "1000 → 1100 (+10.0%)": a cost as the preview shows its change; a new one alone.
QString costChange(const ImportChange &c)
{
    if (!c.costChanges)
        return QString();
    const Price after = Price::fromStored(*c.item.cost);
    if (!c.oldCost)
        return after.text();
    const Price before = Price::fromStored(*c.oldCost);
    const QString percent = Price::percentChange(before, after);
    return Price::changeText(before, after)
        + (percent.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(percent));
}

// The price's change as the Change column tells it, with what became of a price set by hand.
QString priceChange(const ImportChange &c, const QString &change)
{
    switch (c.handSet) {
    case HandSetPrice::Kept:
        return QStringLiteral("hand-set, kept");
    case HandSetPrice::Repriced:
        return QStringLiteral("%1 (hand-set)").arg(change);
    case HandSetPrice::No:
        break;
    }
    return change;
}

} // namespace

void ImportWindow::showPreview()
{
    m_grid->setUpdatesEnabled(false);
    const ImportPreview &p = *m_preview;
    // A list without costs previews as it always did.
    m_grid->setColumnHidden(7, !p.writesCosts());
    m_marked = 0;
    for (size_t i = 0; i < p.changedCount(); ++i) {
        const ImportChange c = p.changed(i);
        const QString oldPrice = c.oldPrice.value_or(QString());
        const Price before = Price::fromStored(oldPrice);
        const Price after = Price::fromStored(c.item.price);
        // A price ten times what it was is more often a misread sign than a new price: marked.
        const QString factor = Price::tenfold(before, after);
        m_marked += !factor.isEmpty();
        if (m_grid->rowCount() >= ShownRows)
            continue;
        const QString percent = Price::percentChange(before, after);
        addRow(m_grid,
            { QStringLiteral("Changed"), categoryShown(c.item.category), c.item.id,
                c.item.description ? *c.item.description : QStringLiteral("(unchanged)"), oldPrice,
                c.item.price,
                priceChange(c, factor.isEmpty() ? percent : QString(factor + u' ' + percent).trimmed()),
                costChange(c) });
        if (!factor.isEmpty()) {
            for (int col = 0; col < m_grid->columnCount(); ++col)
                m_grid->item(m_grid->rowCount() - 1, col)->setBackground(QColor(255, 214, 153));
            m_grid->item(m_grid->rowCount() - 1, 6)
                ->setToolTip(QStringLiteral("The price changes tenfold or more: check the decimal sign."));
        } else if (c.handSet != HandSetPrice::No) {
            for (int col = 0; col < m_grid->columnCount(); ++col)
                m_grid->item(m_grid->rowCount() - 1, col)->setBackground(QColor(214, 230, 255));
            m_grid->item(m_grid->rowCount() - 1, 6)
                ->setToolTip(QStringLiteral("This list price was set by hand: it is not the one the markup "
                                            "gives for the item's cost."));
        }
    }
    for (size_t i = 0; i < p.addedCount() && m_grid->rowCount() < ShownRows; ++i) {
        const SupplierImport::Item item = p.added(i);
        addRow(m_grid,
            { QStringLiteral("New"), categoryShown(item.category), item.id,
                item.description.value_or(QString()), QString(), item.price, QString(),
                item.cost.value_or(QString()) });
    }
    for (size_t i = 0; i < p.missingCount() && m_grid->rowCount() < ShownRows; ++i) {
        const PriceListItem item = p.missing(i);
        addRow(m_grid,
            { QStringLiteral("No longer listed"), categoryShown(item.category), item.id,
                item.description.value_or(QString()), item.price.value_or(QString()), QString(), QString() });
    }
    // "Changed; hand-set price kept" is longer than the column's usual words.
    m_grid->setUpdatesEnabled(true);
    for (const SupplierFile::Problem &p : m_reading.problems)
        m_problems->addItem(QStringLiteral("Line %1: %2").arg(p.line).arg(p.reason));
    if (m_reading.problemCount > m_reading.problems.size())
        m_problems->addItem(QStringLiteral("... and %1 more lines that cannot be read.")
                                .arg(m_reading.problemCount - m_reading.problems.size()));
    for (const QString &note : m_reading.notes)
        m_problems->addItem(note);
    if (m_reading.noteCount > m_reading.notes.size())
        m_problems->addItem(QStringLiteral("... and %1 more ids listed twice.")
                                .arg(m_reading.noteCount - m_reading.notes.size()));
    showSummary();
}

void ImportWindow::showSummary()
{
    if (!m_preview)
        return;
    const ImportPreview &p = *m_preview;
    const bool remove = m_remove->isChecked();
    const qint64 bad = m_reading.problemCount;
    QString text;
    // Attributes the file gives are kept even when no price changes.
    const bool nothing = p.changesNothing(remove) && m_reading.attributes.isEmpty();
    if (nothing && bad == 0) {
        text = QStringLiteral("No changes.");
    } else {
        text = QStringLiteral("%1 new, %2 changed, %3 unchanged, %4 no longer listed (%5).")
                   .arg(p.addedCount())
                   .arg(p.changedCount())
                   .arg(p.unchanged())
                   .arg(p.missingCount())
                   .arg(remove ? QStringLiteral("removed") : QStringLiteral("kept"));
        if (bad > 0)
            text += (bad == 1 ? QStringLiteral(" 1 line cannot be read")
                              : QStringLiteral(" %1 lines cannot be read").arg(bad))
                + QStringLiteral(" (listed below); correct the file to import it.");
        if (m_marked > 0)
            text += m_marked == 1
                ? QStringLiteral(" Check the marked price: it changes tenfold or more.")
                : QStringLiteral(" Check the %1 marked prices: they change tenfold or more.").arg(m_marked);
    }
    if (p.handSetCount() == 1)
        text += m_repriceManual->isChecked()
            ? QStringLiteral(" 1 list price set by hand is re-priced by the markup.")
            : QStringLiteral(" 1 list price set by hand is kept (marked).");
    else if (p.handSetCount() > 1)
        text += (m_repriceManual->isChecked()
                ? QStringLiteral(" %1 list prices set by hand are re-priced by the markup.")
                : QStringLiteral(" %1 list prices set by hand are kept (marked)."))
                    .arg(p.handSetCount());
    if (!m_reading.attributes.isEmpty())
        text += m_reading.attributes.size() == 1
            ? QStringLiteral(" Attributes are kept for 1 item.")
            : QStringLiteral(" Attributes are kept for %1 items.").arg(m_reading.attributes.size());
    if (m_reading.leftOut > 0)
        text += m_reading.leftOut == 1
            ? QStringLiteral(" 1 line passed over: its category is left out.")
            : QStringLiteral(" %1 lines passed over: their categories are left out.").arg(m_reading.leftOut);
    m_summary->setText(text);
    m_apply->setEnabled(bad == 0 && !nothing && decimalKnown());
    m_guess->setEnabled(p.addedCount() > 0);
}

void ImportWindow::applyImport()
{
    if (!m_preview || m_reading.problemCount > 0 || !decimalKnown())
        return;
    const QString name = QFileInfo(m_path).fileName();
    PriceImport import(m_store);
    if (!m_reading.attributes.isEmpty())
        import.setAttributes(&m_reading.attributes);
    QProgressDialog progress(
        QStringLiteral("Writing the price list..."), QStringLiteral("Cancel"), 0, 1000, this);
    progress.setObjectName(QStringLiteral("frmimportprogress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const StoreError failed = import.apply(*m_preview, m_remove->isChecked(), name,
        QDateTime::currentDateTime(), [&](qint64 written, qint64 total) {
            progress.setValue(static_cast<int>(written * 999 / std::max<qint64>(1, total)));
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    const bool cancelled = progress.wasCanceled();
    progress.reset();
    if (failed.isValid() && !import.changedMeanwhile().isEmpty()) {
        // Nothing was written: the items another counter changed since are listed, to preview again.
        const auto shown = [](const std::optional<PriceListItem> &item, const QString &none) {
            return item ? QStringLiteral("\"%1\" at %2")
                              .arg(item->description.value_or(QString()), item->price.value_or(QString()))
                        : none;
        };
        invalidate();
        for (const ImportConflict &c : import.changedMeanwhile())
            m_problems->addItem(
                QStringLiteral("%1 %2: the preview saw %3, the list now holds %4.")
                    .arg(categoryShown(c.category), c.id, shown(c.seen, QStringLiteral("no such item")),
                        shown(c.now, QStringLiteral("none (deleted)"))));
        m_tell(failed.text(), true);
        return;
    }
    if (failed.isValid()) {
        m_tell(cancelled ? QStringLiteral("Apply was cancelled; the price list was not changed.")
                         : QStringLiteral("The price list was not changed: %1").arg(failed.text()),
            !cancelled);
        return;
    }
    // The list holds the file now; columns that could not be kept are guessed again next time.
    ImportColumns(m_store).remember(name, chosenColumns().toText());
    m_tell(QStringLiteral("%1 read into the price list: %2 new, %3 changed%4.")
               .arg(name)
               .arg(m_preview->addedCount())
               .arg(m_preview->changedCount())
               .arg(m_remove->isChecked() ? QStringLiteral(", %1 removed").arg(m_preview->missingCount())
                                          : QString()),
        false);
    accept();
}
