#include "offeractions.h"

#include "core/version.h"
#include "offerprint.h"
#include "store/pricehistory.h"
#include "widgets/gridcombo.h"
#include "widgets/twips.h"
#include "windows/main/mainwindow.h"

#include <QDate>
#include <QDateTimeEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

namespace
{

QString title()
{
    return QString::fromUtf16(AppTitle);
}

// What an offer is made of for the question "has it changed?": the shop, seller and date are
// filled in by the window itself and do not make an offer worth keeping.
bool sameWork(const Offer &a, const Offer &b)
{
    if (a.client != b.client)
        return false;
    for (int i = 0; i < Offer::RowCount; ++i) {
        if (a.row(i) != b.row(i))
            return false;
    }
    return true;
}

} // namespace

void MainWindow::setOffer(const Offer &offer)
{
    m_text3->setText(offer.shop);
    m_text2->setText(offer.client);
    m_text5->setText(offer.seller);
    m_dtPicker1->setDateTime(offer.date.isValid() ? offer.date : QDateTime::currentDateTime());
    for (int i = 0; i < ConfigRow::Count; ++i) {
        const ConfigRow &r = row(i);
        const OfferRow &o = offer.row(i);
        r.GridCombo1->setText(o.itemId);
        r.GridCombo1->lineEdit()->setCursorPosition(0);
        r.Label1->setText(o.description);
        r.text1->setText(o.amountText());
    }
    // The widgets now show the offer; the model takes it whole, with the list prices the
    // widgets do not show.
    const QDateTime shown = m_dtPicker1->dateTime();
    m_offer = offer;
    m_offer.date = shown;
    computeTotal();
}

OfferActions::OfferActions(MainWindow *form)
    : QObject(form)
    , m_form(form)
    , m_offers(form->store())
    , m_priceList(form->store())
    , m_baseline(form->offer())
{
    setObjectName(QStringLiteral("OfferActions"));
    m_askUnsaved = [this](const QString &question) {
        const auto answer = QMessageBox::question(m_form, title(), question,
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        return answer == QMessageBox::Save   ? Unsaved::Save
            : answer == QMessageBox::Discard ? Unsaved::Discard
                                             : Unsaved::Cancel;
    };
    m_askRetype = [this](const QString &question) -> std::optional<bool> {
        const auto answer = QMessageBox::question(m_form, title(), question,
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No);
        if (answer == QMessageBox::Cancel)
            return std::nullopt;
        return answer == QMessageBox::Yes;
    };
    m_tell = [this](const QString &message) { QMessageBox::information(m_form, title(), message); };
    m_askSaveOverNewer = [this](const QString &question) {
        return QMessageBox::question(
                   m_form, title(), question, QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Cancel)
            == QMessageBox::Save;
    };
    m_askPdfPath = [this](const QString &suggested) {
        QFileDialog files(m_form, QStringLiteral("Export the offer as PDF"), QFileInfo(suggested).path(),
            QStringLiteral("PDF files (*.pdf)"));
        files.setAcceptMode(QFileDialog::AcceptSave);
        files.setDefaultSuffix(QStringLiteral("pdf"));
        files.selectFile(QFileInfo(suggested).fileName());
        return files.exec() == QDialog::Accepted ? files.selectedFiles().value(0) : QString();
    };
    m_printPage = [this] { return OfferPrint(m_form).run(); };
    m_askPdfInstead = [this](const QString &problem, const QString &suggested) {
        OfferPrint print(m_form);
        return print.askPdfPath(problem, suggested);
    };
    m_askIncludePlan = [this]() -> std::optional<bool> {
        const auto answer = QMessageBox::question(m_form, title(),
            QStringLiteral("Add an installment plan after the offer?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No);
        if (answer == QMessageBox::Cancel)
            return std::nullopt;
        return answer == QMessageBox::Yes;
    };
    buildMenu();
    auto *frame = m_form->findChild<QGroupBox *>(QStringLiteral("Frame1"));
    m_label = new QLabel(frame ? static_cast<QWidget *>(frame) : m_form);
    m_label->setObjectName(QStringLiteral("lblofferno"));
    // Between the salesperson's name and the total, on screen and on paper.
    m_label->setGeometry(Twips::rect(m_form, 2880, 5850, 2100, 195));
    showCurrent();
}

void OfferActions::buildMenu()
{
    QMenuBar *bar = m_form->menuBar();
    auto *menu = new QMenu(tr("&Offer"), bar);
    menu->setObjectName(QStringLiteral("mnuoffer"));
    const auto item = [&](const char *name, const QString &text, const QKeySequence &keys, auto slot) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
    };
    item("mnuoffernew", tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N), [this] { newOffer(); });
    item("mnuofferopen", tr("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O), [this] { open(); });
    item("mnuoffersave", tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), [this] { save(); });
    item("mnuofferreprice", tr("Re-&price"), QKeySequence(), [this] { reprice(); });
    item("mnuofferprintplan", tr("Print with &Plan..."), QKeySequence(), [this] { printOfferWithPlan(); });
    item("mnuofferexportpdf", tr("Export P&DF..."), QKeySequence(), [this] { exportPdf(); });
    // Between File and Help, which keep their items.
    const auto *help = bar->findChild<QMenu *>(QStringLiteral("menuhelp"));
    if (help)
        bar->insertMenu(help->menuAction(), menu);
    else
        bar->addMenu(menu);
}

QString OfferActions::labelText() const
{
    return m_current ? QStringLiteral("Offer %1, revision %2").arg(m_current->number).arg(m_current->revision)
                     : QStringLiteral("New offer");
}

void OfferActions::showCurrent()
{
    m_label->setText(labelText());
}

bool OfferActions::hasUnsavedChanges() const
{
    return !sameWork(m_form->offer(), m_baseline);
}

bool OfferActions::settleUnsaved()
{
    if (!hasUnsavedChanges())
        return true;
    const QString what
        = m_current ? labelText().replace(0, 1, QLatin1Char('o')) : QStringLiteral("this new offer");
    switch (m_askUnsaved(QStringLiteral("Save the changes to %1 first?").arg(what))) {
    case Unsaved::Save:
        return save();
    case Unsaved::Discard:
        return true;
    case Unsaved::Cancel:
        break;
    }
    return false;
}

bool OfferActions::totalIsFormed()
{
    const QString problem = m_form->totalProblem();
    if (problem.isEmpty())
        return true;
    m_tell(problem
        + QStringLiteral("\n\nThe offer has no total while this amount stands, so it is not saved, printed, "
                         "exported or split into installments. Correct the amount first."));
    return false;
}

void OfferActions::newOffer()
{
    if (!settleUnsaved())
        return;
    // From the settings, not from the offer shown: an opened one may carry an old shop name.
    Offer blank;
    blank.shop = m_form->counterSettings().company();
    blank.seller = m_form->counterSettings().salesExecutive();
    blank.date = QDateTime::currentDateTime();
    for (int i = 0; i < Offer::RowCount; ++i)
        blank.row(i).setAmountText(QStringLiteral("0.00"));
    m_form->setOffer(blank);
    m_current.reset();
    m_baseline = m_form->offer();
    showCurrent();
}

bool OfferActions::open()
{
    if (!m_chooseOffer || !settleUnsaved())
        return false;
    const auto chosen = m_chooseOffer(&m_offers);
    return chosen && load(*chosen);
}

bool OfferActions::load(const OfferKey &key)
{
    const auto stored = m_offers.load(key);
    if (!stored) {
        m_tell(m_offers.lastError());
        return false;
    }
    m_form->setOffer(stored->offer);
    m_current = key;
    m_baseline = m_form->offer();
    showCurrent();
    if (const auto changes = priceChanges(); !changes.isEmpty())
        m_tell(changesText(changes) + QStringLiteral("\n\nOffer > Re-price takes the current prices."));
    return true;
}

OfferActions::Kept OfferActions::saveQuietly()
{
    // Based on the revision shown: a newer one another counter saved meanwhile is never silently
    // passed over. The person is told which, and may save this work as the newest knowingly; asked
    // again should yet another arrive while they decide.
    std::optional<OfferKey> follows = m_current;
    for (;;) {
        if (const auto key = m_offers.saveFollowing(m_form->offer(), follows)) {
            m_current = key;
            m_baseline = m_form->offer();
            showCurrent();
            return Kept::Saved;
        }
        const auto newer = m_offers.newerRevision();
        if (!newer)
            return Kept::Failed;
        const QString question
            = QStringLiteral(
                "Offer %1 was changed at another counter after you opened revision %2: revision %3 "
                "was saved %4 on %5.\n\nSave your changes as revision %6, the newest? Revision "
                "%3 stays as it is. (Cancel keeps your changes unsaved.)")
                  .arg(newer->key.number)
                  .arg(follows->revision)
                  .arg(newer->key.revision)
                  .arg(QLocale().toString(newer->savedAt, QLocale::ShortFormat), newer->savedOn)
                  .arg(newer->key.revision + 1);
        if (!m_askSaveOverNewer(question))
            return Kept::Declined;
        follows = newer->key;
    }
}

bool OfferActions::save()
{
    if (!totalIsFormed())
        return false;
    switch (saveQuietly()) {
    case Kept::Saved:
        return true;
    case Kept::Failed:
        m_tell(m_offers.lastError());
        return false;
    case Kept::Declined:
        break;
    }
    return false;
}

QList<Reprice::Change> OfferActions::priceChanges()
{
    return Reprice::changes(m_form->offer(), [this](const OfferRow &row) {
        const auto item = m_priceList.item(row.category, row.itemId);
        if (!item) {
            // A list that cannot be read says nothing about the item: it is not reported.
            return m_priceList.lastError().isValid() ? Reprice::CurrentPrice { true, std::nullopt }
                                                     : Reprice::CurrentPrice {};
        }
        return Reprice::CurrentPrice { true, Price::fromColumn(item->price) };
    });
}

QString OfferActions::changesText(const QList<Reprice::Change> &changes) const
{
    QString text = changes.size() == 1
        ? QStringLiteral("The price list has changed for 1 row of this offer since it was saved:\n")
        : QStringLiteral("The price list has changed for %1 rows of this offer since it was saved:\n")
              .arg(changes.size());
    for (const Reprice::Change &change : changes) {
        const OfferRow &row = m_form->offer().row(change.row);
        text += QStringLiteral("\n%1 (%2): %3")
                    .arg(ConfigRow::caption(change.row).remove(QLatin1Char('&')),
                        row.description.isEmpty() ? row.itemId : row.description, Reprice::describe(change));
        // When and by whom, where the price history knows it.
        const auto recorded = PriceHistory(m_form->store()).changes(row.category, row.itemId);
        if (recorded && !recorded->isEmpty())
            text += QStringLiteral(", changed %1 by %2")
                        .arg(QLocale().toString(recorded->first().when, QLocale::ShortFormat),
                            recorded->first().source);
        if (change.typedOver)
            text += QStringLiteral(" (amount typed over: %1)").arg(row.amountText());
    }
    return text;
}

bool OfferActions::reprice()
{
    const QList<Reprice::Change> changes = priceChanges();
    if (changes.isEmpty()) {
        m_tell(QStringLiteral("Every row of this offer has its current list price."));
        return false;
    }
    bool retyped = false;
    if (std::any_of(
            changes.begin(), changes.end(), [](const auto &c) { return c.typedOver && c.currentPrice; })) {
        const auto answer = m_askRetype(changesText(changes)
            + QStringLiteral("\n\nSome amounts were typed over the list price. Replace them with the current "
                             "list price as well? (No keeps them as typed.)"));
        if (!answer)
            return false;
        retyped = *answer;
    }
    Offer repriced = m_form->offer();
    Reprice::apply(repriced, changes, retyped);
    m_form->setOffer(repriced);
    return true;
}

bool OfferActions::printKept()
{
    if (!totalIsFormed())
        return false;
    keepBeforePaper();
    const bool printed = m_printPage && m_printPage();
    sayIfNotKept(printed);
    return printed;
}

void OfferActions::warnIfNewerSchema()
{
    const auto version = m_offers.storedSchemaVersion();
    if (!version || *version <= OfferRepository::SchemaVersion)
        return;
    QTimer::singleShot(0, this, [this] { m_tell(m_offers.writeProblem()); });
}

QString OfferActions::suggestedPdfPath() const
{
    QString name = m_current ? QStringLiteral("Offer %1-%2").arg(m_current->number).arg(m_current->revision)
                             : QStringLiteral("Offer");
    if (const QString who = m_form->offer().client.simplified(); !who.isEmpty())
        name += QLatin1Char(' ') + who;
    for (QChar &c : name) {
        if (c.unicode() < 32 || QStringView(u"/\\:*?\"<>|").contains(c))
            c = u'_';
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(name.left(120) + QStringLiteral(".pdf"));
}
