#pragma once

// The main window's kept offers: the "Offer" menu (new, open, save, re-price, print with plan,
// export PDF), the label with the offer's number and revision, and saving before printing. They
// work on the window's offer model and are handed their menu, their label and the window they
// print and ask over; which saved offer the model holds, and whether it has changed since, is kept
// here.

#include "core/reprice.h"
#include "offercautions.h"
#include "store/offerrepository.h"
#include "store/pricelistrepository.h"
#include "widgets/planpages.h"

#include <QObject>

#include <functional>
#include <optional>

class CounterSettings;
struct OfferWarning;
class OfferOrdering;
class OfferModel;
class QLabel;
class QMenu;
class QWidget;
class Store;

class OfferActions final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OfferActions)

public:
    // settings: the shop name and sales executive a new offer starts from. window: what "Print"
    // prints, and the parent of questions and messages; it owns the actions.
    OfferActions(OfferModel *model, Store *store, const CounterSettings *settings, QMenu *menu, QLabel *label,
        QWidget *window);

    enum class Unsaved { Save, Discard, Cancel };

    // The other windows this needs, set by the application's wiring; unset ones do nothing.
    // Shows the saved offers; the chosen revision, or nullopt when the person cancelled.
    void setChooseOffer(std::function<std::optional<OfferKey>(OfferRepository *offers)> f)
    {
        m_chooseOffer = std::move(f);
    }
    // The plan to go with the offer, set up by the person in the installment calculator; nullopt
    // when they closed it without choosing one.
    void setAskPlan(std::function<std::optional<PlanPrintout>()> f) { m_askPlan = std::move(f); }

    // Replaceable questions and messages; by default message boxes over the window.
    void setAskUnsaved(std::function<Unsaved(const QString &question)> f) { m_askUnsaved = std::move(f); }
    // Asked when re-pricing finds typed-over amounts: Yes takes the list price for them as well,
    // No keeps them, nullopt cancels.
    void setAskRetype(std::function<std::optional<bool>(const QString &question)> f)
    {
        m_askRetype = std::move(f);
    }
    void setTell(std::function<void(const QString &message)> f) { m_tell = std::move(f); }
    // Asked when another counter saved a newer revision of the offer after this one was opened:
    // true saves this work as the newest revision all the same, false leaves it unsaved.
    void setAskSaveOverNewer(std::function<bool(const QString &question)> f)
    {
        m_askSaveOverNewer = std::move(f);
    }
    // The file an export goes to; the empty text cancels.
    void setAskPdfPath(std::function<QString(const QString &suggestedPath)> f)
    {
        m_askPdfPath = std::move(f);
    }
    // Prints the offer page as "Print" does; tests replace it.
    void setPrintPage(std::function<bool()> f) { m_printPage = std::move(f); }
    // Whether an export takes a plan along: nullopt cancels.
    void setAskIncludePlan(std::function<std::optional<bool>()> f) { m_askIncludePlan = std::move(f); }
    // The print system and the PDF writer for offer and plan; tests replace them.
    void setPrintJob(std::function<PrintResult(const QString &jobName, const PageDrawer &draw)> f)
    {
        m_printJob = std::move(f);
    }
    void setWritePdf(std::function<PrintResult(const QString &path, const PageDrawer &draw)> f)
    {
        m_writePdf = std::move(f);
    }
    // Told why printing failed, asks for a PDF file to write instead; the empty text means no.
    void setAskPdfInstead(std::function<QString(const QString &problem, const QString &suggestedPath)> f)
    {
        m_askPdfInstead = std::move(f);
    }

    // What is asked before the offer is kept or goes to paper; the window adds its sources.
    OfferCautions &cautions() { return m_cautions; }

    // Offer > Make Order: its questions and where the order is shown are set on it.
    OfferOrdering *ordering() const { return m_ordering; }
    // Says something to the person (a message box unless replaced).
    void tell(const QString &message) { m_tell(message); }
    // The plan, asked in the calculator as "Print with Plan" does; nullopt when none was chosen.
    std::optional<PlanPrintout> askPlan() { return m_askPlan ? m_askPlan() : std::nullopt; }
    // The revision the window shows, kept first as printing keeps it; nullopt (the person was told
    // why) when it has no total or could not be kept.
    std::optional<OfferKey> keptRevision();

    // The saved revision the window shows; nullopt for an offer never saved.
    std::optional<OfferKey> current() const { return m_current; }
    bool hasUnsavedChanges() const;
    // Asks whether unsaved changes are saved first (Save / Discard / Cancel); false when the
    // person cancelled or the save failed, and the work must stay.
    bool settleUnsaved();
    // Whether the offer has a total; when it has not, the person is told which row stops it.
    bool totalIsFormed();
    QString labelText() const;
    OfferRepository *offers() { return &m_offers; }

    // The settings are read: the window's first offer, untouched yet, holds for the shop's days.
    void settingsRead();

    // The menu items.
    void newOffer();
    bool open();
    bool save();
    bool reprice();
    bool printOfferWithPlan();
    bool exportPdf();

    // Loads a saved revision into the window and reports rows the price list has moved away from.
    bool load(const OfferKey &key);
    // The rows whose list price has changed since the offer was saved, or whose item is gone.
    QList<Reprice::Change> priceChanges();
    // "Print": saves an unsaved offer first, so a printed offer is always on record.
    bool printKept();
    // Says, once the window is up, that the file's offers come from a newer program: they open
    // but are never written. (A read-only file the window itself warns about.)
    void warnIfNewerSchema();
    // A file name for the offer: its number and client.
    QString suggestedPdfPath() const;
    // The revision shown was given or made into an order: its status changed.
    void progressMade() { Q_EMIT statusMayHaveChanged(); }

Q_SIGNALS:
    // Another revision is shown, or the one shown was saved, given or ordered.
    void statusMayHaveChanged();

private:
    std::function<std::optional<OfferKey>(OfferRepository *offers)> m_chooseOffer;
    std::function<std::optional<PlanPrintout>()> m_askPlan;
    std::function<Unsaved(const QString &question)> m_askUnsaved;
    std::function<std::optional<bool>(const QString &question)> m_askRetype;
    std::function<void(const QString &message)> m_tell;
    std::function<bool(const QString &question)> m_askSaveOverNewer;
    std::function<QString(const QString &suggestedPath)> m_askPdfPath;
    std::function<bool()> m_printPage;
    std::function<std::optional<bool>()> m_askIncludePlan;
    std::function<PrintResult(const QString &jobName, const PageDrawer &draw)> m_printJob = printDocument;
    std::function<PrintResult(const QString &path, const PageDrawer &draw)> m_writePdf = writeDocumentPdf;
    std::function<QString(const QString &problem, const QString &suggestedPath)> m_askPdfInstead;
    void buildMenu(QMenu *menu);
    enum class Kept { Saved, Failed, Declined };
    // Saves the offer as the revision after the one shown; asks first when another counter saved
    // a newer one meanwhile (Declined: the person chose not to save over it). *failure says why
    // when it Failed.
    Kept saveQuietly(StoreError *failure);
    void showCurrent();
    QString changesText(const QList<Reprice::Change> &changes) const;
    QString heading() const;
    bool keepBeforePaper();
    void sayIfNotKept(bool done);
    // The revision shown went to the client on paper or in a file: it is given from now on. Only a
    // revision that is what was handed over (kept, unchanged since) counts.
    void markGiven();
    // The warnings to keep with the offer as it is now, each with whether the person accepted it.
    QList<OfferWarning> keptWarnings() const;
    // Whether the reasons to pause (cautions) let the work go on, asked where needed.
    bool cautionsCleared() { return m_cautions.confirm(); }

    OfferModel *m_model;
    Store *m_store;
    const CounterSettings *m_settings;
    QWidget *m_window;
    OfferRepository m_offers;
    PriceListRepository m_priceList;
    std::optional<OfferKey> m_current;
    Offer m_baseline; // the offer as last saved, opened or started
    QLabel *m_label; // lblofferno
    OfferOrdering *m_ordering = nullptr;
    QString m_notKept; // why the offer could not be kept before it was printed or exported
    OfferCautions m_cautions;
};
