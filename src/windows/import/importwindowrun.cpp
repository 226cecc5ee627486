// The import window's steps: opening a file, Preview and Apply, each done by the session and
// shown, or said, here.
#include "importtexts.h"
#include "importwindow.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>

namespace
{

// A preview of more rows than this shows the first ones; the summary counts them all.
constexpr int ShownRows = 5000;

void addRow(QTableWidget *grid, const QStringList &cells)
{
    const int r = grid->rowCount();
    grid->insertRow(r);
    for (int c = 0; c < grid->columnCount(); ++c)
        grid->setItem(r, c, new QTableWidgetItem(cells.value(c)));
}

void colourRow(QTableWidget *grid, int row, const QColor &colour, const QString &why)
{
    for (int col = 0; col < grid->columnCount(); ++col)
        grid->item(row, col)->setBackground(colour);
    grid->item(row, 6)->setToolTip(why);
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
    const ImportSession::Outcome opened = m_session.open(path);
    if (opened.failure == ImportSession::Failure::FileUnreadable) {
        m_tell(QStringLiteral("%1 cannot be opened: %2").arg(QDir::toNativeSeparators(path), opened.reason),
            true);
        return false;
    }
    if (!opened.ok()) {
        m_tell(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), opened.reason), true);
        return false;
    }
    showFile();
    return true;
}

void ImportWindow::invalidate()
{
    m_session.invalidate();
    m_grid->setRowCount(0);
    m_problems->clear();
    m_apply->setEnabled(false);
    m_guess->setEnabled(false);
    m_summary->setText(m_session.path().isEmpty() ? QStringLiteral("Choose a supplier's file.")
            : !m_session.decimal()
            ? QStringLiteral("Choose the decimal sign of the prices, then press Preview.")
            : QStringLiteral("Press Preview to see what the file changes."));
}

void ImportWindow::readPreview()
{
    invalidate();
    QProgressDialog progress(
        QStringLiteral("Reading %1...").arg(m_session.fileName()), QStringLiteral("Cancel"), 0, 1000, this);
    progress.setObjectName(QStringLiteral("frmimportprogress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const ImportSession::Outcome read = m_session.read([&](qint64 bytes, qint64 size) {
        progress.setValue(static_cast<int>(std::min<qint64>(999, bytes * 1000 / size)));
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.reset();
    using Failure = ImportSession::Failure;
    switch (read.failure) {
    case Failure::ColumnsMissing:
        m_tell(QStringLiteral("Choose the file and at least its ID and Price columns."), true);
        return;
    case Failure::DecimalUnknown:
        m_tell(QStringLiteral("Choose the decimal sign of the prices first."), true);
        return;
    case Failure::FileUnreadable:
        m_tell(QStringLiteral("%1 cannot be opened: %2")
                   .arg(QDir::toNativeSeparators(m_session.path()), read.reason),
            true);
        return;
    case Failure::ReadStopped:
        m_tell(progress.wasCanceled() ? QStringLiteral("Reading was cancelled; nothing was changed.")
                                      : read.reason,
            !progress.wasCanceled());
        return;
    default:
        break;
    }
    if (m_session.columns().category >= 0)
        fillCategoryGrid();
    showDecimal();
    if (read.failure == Failure::DecimalAsked) {
        invalidate();
        return;
    }
    compareWithList();
}

void ImportWindow::compareWithList()
{
    // Comparing a million lines with the list takes a few seconds.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const ImportSession::Outcome compared = m_session.compare();
    QGuiApplication::restoreOverrideCursor();
    if (compared.failure == ImportSession::Failure::RulesUnreadable) {
        m_tell(QStringLiteral("The markup rules cannot be read: %1").arg(compared.reason), true);
        return;
    }
    if (!compared.ok()) {
        m_tell(QStringLiteral("The price list cannot be read: %1").arg(compared.reason), true);
        return;
    }
    showPreview();
}

void ImportWindow::showPreview()
{
    m_grid->setUpdatesEnabled(false);
    // A list without costs previews as it always did.
    m_grid->setColumnHidden(7, !m_session.preview()->writesCosts());
    for (const ImportTexts::PreviewRow &row : ImportTexts::previewRows(m_session, ShownRows)) {
        addRow(m_grid, row.cells);
        if (row.mark == ImportTexts::PreviewRow::Mark::Tenfold)
            colourRow(m_grid, m_grid->rowCount() - 1, QColor(255, 214, 153),
                QStringLiteral("The price changes tenfold or more: check the decimal sign."));
        else if (row.mark == ImportTexts::PreviewRow::Mark::HandSet)
            colourRow(m_grid, m_grid->rowCount() - 1, QColor(214, 230, 255),
                QStringLiteral("This list price was set by hand: it is not the one the markup "
                               "gives for the item's cost."));
    }
    m_grid->setUpdatesEnabled(true);
    m_problems->addItems(ImportTexts::problems(m_session.reading()));
    showSummary();
}

void ImportWindow::showSummary()
{
    if (!m_session.preview())
        return;
    m_summary->setText(ImportTexts::summary(m_session));
    m_apply->setEnabled(m_session.canApply());
    m_guess->setEnabled(m_session.preview()->addedCount() > 0);
}

void ImportWindow::applyImport()
{
    QProgressDialog progress(
        QStringLiteral("Writing the price list..."), QStringLiteral("Cancel"), 0, 1000, this);
    progress.setObjectName(QStringLiteral("frmimportprogress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const ImportSession::Outcome applied
        = m_session.apply(QDateTime::currentDateTime(), [&](qint64 written, qint64 total) {
              progress.setValue(static_cast<int>(written * 999 / std::max<qint64>(1, total)));
              QCoreApplication::processEvents();
              return !progress.wasCanceled();
          });
    const bool cancelled = progress.wasCanceled();
    progress.reset();
    if (applied.failure == ImportSession::Failure::NothingToApply)
        return;
    if (!applied.ok() && !m_session.changedMeanwhile().isEmpty()) {
        // Nothing was written: the items another counter changed since are listed, to preview again.
        invalidate();
        m_problems->addItems(ImportTexts::changedMeanwhile(m_session));
        m_tell(applied.reason, true);
        return;
    }
    if (!applied.ok()) {
        m_tell(cancelled ? QStringLiteral("Apply was cancelled; the price list was not changed.")
                         : QStringLiteral("The price list was not changed: %1").arg(applied.reason),
            !cancelled);
        return;
    }
    const ImportPreview &done = *m_session.preview();
    m_tell(QStringLiteral("%1 read into the price list: %2 new, %3 changed%4.")
               .arg(m_session.fileName())
               .arg(done.addedCount())
               .arg(done.changedCount())
               .arg(m_session.removeMissing() ? QStringLiteral(", %1 removed").arg(done.missingCount())
                                              : QString()),
        false);
    accept();
}
