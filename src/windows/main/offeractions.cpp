#include "offeractions.h"

#include "core/offermodel.h"
#include "core/version.h"
#include "offerdocument.h"
#include "offerordering.h"
#include "offerprint.h"
#include "rowtexts.h"
#include "store/countersettings.h"
#include "store/itemcosttable.h"
#include "store/offerrepository.h"
#include "store/offerwarningtable.h"
#include "store/pricehistory.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>

namespace
{

QString title()
{
    return QString::fromUtf16(AppTitle);
}

} // namespace

OfferActions::OfferActions(OfferModel *model, Store *store, const CounterSettings *settings, QMenu *menu,
    QLabel *label, QWidget *window)
    : QObject(window)
    , m_model(model)
    , m_store(store)
    , m_settings(settings)
    , m_window(window)
    , m_offers(store)
    , m_priceList(store)
    , m_baseline(model->offer())
    , m_label(label)
    , m_cautions([this](const QString &question) {
        return QMessageBox::question(
                   m_window, title(), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    })
{
    setObjectName(QStringLiteral("OfferActions"));
    m_offers.setAlongside(
        [this](const OfferKey &key) { return OfferWarningTable(m_store).write(key, keptWarnings()); });
    m_askUnsaved = [this](const QString &question) {
        const auto answer = QMessageBox::question(m_window, title(), question,
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        return answer == QMessageBox::Save   ? Unsaved::Save
            : answer == QMessageBox::Discard ? Unsaved::Discard
                                             : Unsaved::Cancel;
    };
    m_askRetype = [this](const QString &question) -> std::optional<bool> {
        const auto answer = QMessageBox::question(m_window, title(), question,
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No);
        if (answer == QMessageBox::Cancel)
            return std::nullopt;
        return answer == QMessageBox::Yes;
    };
    m_tell = [this](const QString &message) { QMessageBox::information(m_window, title(), message); };
    m_askSaveOverNewer = [this](const QString &question) {
        return QMessageBox::question(
                   m_window, title(), question, QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Cancel)
            == QMessageBox::Save;
    };
    m_askPdfPath = [this](const QString &suggested) {
        QFileDialog files(m_window, QStringLiteral("Export the offer as PDF"), QFileInfo(suggested).path(),
            QStringLiteral("PDF files (*.pdf)"));
        files.setAcceptMode(QFileDialog::AcceptSave);
        files.setDefaultSuffix(QStringLiteral("pdf"));
        files.selectFile(QFileInfo(suggested).fileName());
        return files.exec() == QDialog::Accepted ? files.selectedFiles().value(0) : QString();
    };
    m_printPage = [this] { return OfferPrint(m_window, m_model->offer().client).run(); };
    m_askPdfInstead = [this](const QString &problem, const QString &suggested) {
        OfferPrint print(m_window, m_model->offer().client);
        return print.askPdfPath(problem, suggested);
    };
    m_askIncludePlan = [this]() -> std::optional<bool> {
        const auto answer = QMessageBox::question(m_window, title(),
            QStringLiteral("Add an installment plan after the offer?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No);
        if (answer == QMessageBox::Cancel)
            return std::nullopt;
        return answer == QMessageBox::Yes;
    };
    m_ordering = new OfferOrdering(this, m_model, m_store, m_window);
    buildMenu(menu);
    showCurrent();
}

void OfferActions::buildMenu(QMenu *menu)
{
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
    item("mnuoffermakeorder", tr("Make &Order..."), QKeySequence(), [this] { m_ordering->run(); });
}

QString OfferActions::labelText() const
{
    return m_current ? QStringLiteral("Offer %1, revision %2").arg(m_current->number).arg(m_current->revision)
                     : QStringLiteral("New offer");
}

void OfferActions::showCurrent()
{
    m_label->setText(labelText());
    Q_EMIT statusMayHaveChanged();
}

bool OfferActions::hasUnsavedChanges() const
{
    return !m_model->offer().sameWork(m_baseline);
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
    const QString problem = RowTexts::totalProblem(*m_model);
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
    m_model->setOffer(Offer::blank(m_settings->company(), m_settings->salesExecutive(),
        QDateTime::currentDateTime(), m_settings->validDays()));
    m_current.reset();
    m_baseline = m_model->offer();
    m_cautions.setAccepted({});
    showCurrent();
}

void OfferActions::settingsRead()
{
    if (m_current || hasUnsavedChanges())
        return;
    m_model->setValidUntil(
        OfferStatus::validUntilFrom(m_model->offer().date.date(), m_settings->validDays()));
    m_baseline = m_model->offer();
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
        m_tell(stored.error().text());
        return false;
    }
    m_model->setOffer(stored->offer);
    m_current = key;
    m_baseline = m_model->offer();
    // What was accepted when it was kept is not asked again.
    QStringList accepted;
    if (const auto kept = OfferWarningTable(m_store).read(key)) {
        for (const OfferWarning &warning : *kept) {
            if (warning.accepted)
                accepted << warning.text;
        }
    }
    m_cautions.setAccepted(accepted);
    showCurrent();
    if (const auto changes = priceChanges(); !changes.isEmpty())
        m_tell(changesText(changes) + QStringLiteral("\n\nOffer > Re-price takes the current prices."));
    return true;
}

OfferActions::Kept OfferActions::saveQuietly(StoreError *failure)
{
    // Based on the revision shown: a newer one another counter saved meanwhile is never silently
    // passed over. The person is told which, and may save this work as the newest knowingly; asked
    // again should yet another arrive while they decide.
    std::optional<OfferKey> follows = m_current;
    // The warnings' table is made before the save's transaction, which writes them.
    if (!keptWarnings().isEmpty())
        OfferWarningTable(m_store).ensureSchema();
    for (;;) {
        const auto key = m_offers.saveFollowing(m_model->offer(), follows);
        if (key) {
            m_current = *key;
            m_baseline = m_model->offer();
            showCurrent();
            return Kept::Saved;
        }
        const auto newer = m_offers.newerRevision();
        if (!newer) {
            *failure = key.error();
            return Kept::Failed;
        }
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
    if (!totalIsFormed() || !cautionsCleared())
        return false;
    StoreError failure;
    switch (saveQuietly(&failure)) {
    case Kept::Saved:
        return true;
    case Kept::Failed:
        m_tell(failure.text());
        return false;
    case Kept::Declined:
        break;
    }
    return false;
}

QList<Reprice::Change> OfferActions::priceChanges()
{
    return Reprice::changes(m_model->offer(), [this](const OfferRow &row) {
        const auto found = m_priceList.item(row.category, row.itemId);
        // A list that cannot be read says nothing about the item: it is not reported.
        if (!found)
            return Reprice::CurrentPrice { true, std::nullopt };
        if (!*found)
            return Reprice::CurrentPrice {};
        const PriceListItem &item = **found;
        const auto cost = ItemCostTable(m_store).read(row.category, row.itemId);
        return Reprice::CurrentPrice { true, Price::fromColumn(item.price), cost ? *cost : std::nullopt,
            cost.ok() };
    });
}

QString OfferActions::changesText(const QList<Reprice::Change> &changes) const
{
    QString text = changes.size() == 1
        ? QStringLiteral("The price list has changed for 1 row of this offer since it was saved:\n")
        : QStringLiteral("The price list has changed for %1 rows of this offer since it was saved:\n")
              .arg(changes.size());
    for (const Reprice::Change &change : changes) {
        const OfferRow &row = m_model->offer().row(change.row);
        text += QStringLiteral("\n%1 (%2): %3")
                    .arg(RowTexts::plainCaption(change.row),
                        row.description.isEmpty() ? row.itemId : row.description, Reprice::describe(change));
        // When and by whom, where the price history knows it.
        const auto recorded = PriceHistory(m_store).changes(row.category, row.itemId);
        if (recorded && !recorded->isEmpty())
            text += QStringLiteral(", changed %1 by %2")
                        .arg(QLocale().toString(recorded->first().when, QLocale::ShortFormat),
                            recorded->first().source);
        if (change.typedOver && change.priceChanged)
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
    if (std::any_of(changes.begin(), changes.end(),
            [](const auto &c) { return c.typedOver && c.currentPrice && c.priceChanged; })) {
        const auto answer = m_askRetype(changesText(changes)
            + QStringLiteral("\n\nSome amounts were typed over the list price. Replace them with the current "
                             "list price as well? (No keeps them as typed.)"));
        if (!answer)
            return false;
        retyped = *answer;
    }
    Offer repriced = m_model->offer();
    Reprice::apply(repriced, changes, retyped);
    m_model->setOffer(repriced);
    return true;
}

bool OfferActions::printKept()
{
    if (!totalIsFormed() || !cautionsCleared())
        return false;
    keepBeforePaper();
    const bool printed = m_printPage && m_printPage();
    sayIfNotKept(printed);
    if (printed)
        markGiven();
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
    if (const QString who = m_model->offer().client.simplified(); !who.isEmpty())
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

QString OfferActions::heading() const
{
    const QString who = m_model->offer().client.simplified();
    return who.isEmpty() ? labelText() : labelText() + QStringLiteral(" - ") + who;
}

bool OfferActions::keepBeforePaper()
{
    // Kept before it goes to paper or into a file, so it carries its number and is on record.
    if (m_current && !hasUnsavedChanges())
        return true;
    StoreError failure;
    switch (saveQuietly(&failure)) {
    case Kept::Saved:
        return true;
    case Kept::Failed:
        m_notKept = failure.text();
        break;
    case Kept::Declined:
        m_notKept = QStringLiteral("You chose not to save it over the newer revision.");
        break;
    }
    return false;
}

void OfferActions::sayIfNotKept(bool done)
{
    if (m_notKept.isEmpty())
        return;
    m_tell((done ? QStringLiteral("The offer was printed, but it could not be kept:\n\n")
                 : QStringLiteral("The offer could not be kept:\n\n"))
        + m_notKept);
    m_notKept.clear();
}

std::optional<OfferKey> OfferActions::keptRevision()
{
    if (!totalIsFormed() || !cautionsCleared())
        return std::nullopt;
    if (keepBeforePaper())
        return m_current;
    m_tell(QStringLiteral("The offer could not be kept, so it cannot become an order:\n\n") + m_notKept);
    m_notKept.clear();
    return std::nullopt;
}

QList<OfferWarning> OfferActions::keptWarnings() const
{
    QList<OfferWarning> warnings;
    for (const QString &reason : m_cautions.reasons())
        warnings.append({ reason, m_cautions.isAccepted(reason) });
    return warnings;
}

void OfferActions::markGiven()
{
    if (!m_current || hasUnsavedChanges())
        return;
    // What was handed over stands; a status that could not be noted is said, not hidden.
    if (const StoreError failure = OfferRepository(m_store).markGiven(*m_current); failure.isValid())
        m_tell(failure.text());
    Q_EMIT statusMayHaveChanged();
}

bool OfferActions::printOfferWithPlan()
{
    if (!m_askPlan || !totalIsFormed() || !cautionsCleared())
        return false;
    const std::optional<PlanPrintout> plan = m_askPlan();
    if (!plan)
        return false;
    keepBeforePaper();
    const PrintResult printed = m_printJob(OfferPrint(m_window, m_model->offer().client).jobName(),
        offerDocument(m_window, m_model->offer().shop, plan, heading()));
    bool done = printed.ok;
    // The same way out as "Print": said why, and offered a PDF file instead.
    QString problem = QStringLiteral("The offer and its plan were not printed.\n\n") + printed.error;
    while (!done) {
        const QString path = m_askPdfInstead ? m_askPdfInstead(problem, suggestedPdfPath()) : QString();
        if (path.isEmpty())
            break;
        const PrintResult saved
            = m_writePdf(path, offerDocument(m_window, m_model->offer().shop, plan, heading()));
        done = saved.ok;
        problem = QStringLiteral("The offer was not saved.\n\n") + saved.error;
    }
    sayIfNotKept(done);
    if (done)
        markGiven();
    return done;
}

bool OfferActions::exportPdf()
{
    if (!totalIsFormed() || !cautionsCleared())
        return false;
    std::optional<bool> withPlan = m_askIncludePlan ? m_askIncludePlan() : std::optional<bool>(false);
    if (!withPlan)
        return false;
    std::optional<PlanPrintout> plan;
    if (*withPlan) {
        plan = m_askPlan ? m_askPlan() : std::nullopt;
        if (!plan)
            return false;
    }
    keepBeforePaper();
    for (;;) {
        const QString path = m_askPdfPath(suggestedPdfPath());
        if (path.isEmpty()) {
            sayIfNotKept(false);
            return false;
        }
        const PrintResult written
            = m_writePdf(path, offerDocument(m_window, m_model->offer().shop, plan, heading()));
        if (written.ok) {
            markGiven();
            if (!m_notKept.isEmpty()) {
                m_tell(QStringLiteral("The PDF file was written, but the offer could not be kept:\n\n")
                    + m_notKept);
                m_notKept.clear();
            }
            return true;
        }
        m_tell(QStringLiteral("The PDF file was not written.\n\n") + written.error);
    }
}
