#include "offerdocument.h"

#include "offeractions.h"
#include "offerprint.h"
#include "windows/main/mainwindow.h"

#include <QMessageBox>
#include <QPointer>

PageDrawer offerDocument(QWidget *imrForm, const std::optional<PlanPrintout> &plan, const QString &heading)
{
    return [form = QPointer<QWidget>(imrForm), plan, heading](QPainter &painter, QPagedPaintDevice &device) {
        if (!form)
            return PrintResult { false, QStringLiteral("There is no offer window to print.") };
        PrintResult done;
        {
            OfferPaperDress dress(form);
            done = drawWindowPage(form, painter);
        }
        if (done.ok && plan) {
            // The plan's pages carry the shop the offer's page shows, and count on from it.
            PlanPrintout pages = *plan;
            if (const auto *window = qobject_cast<const MainWindow *>(form.data()))
                pages.shop = window->offer().shop;
            done = drawPlanPages(painter, device, pages, heading, 1);
        }
        return done;
    };
}

QString OfferActions::heading() const
{
    const QString who = m_form->offer().client.simplified();
    return who.isEmpty() ? labelText() : labelText() + QStringLiteral(" - ") + who;
}

bool OfferActions::keepBeforePaper()
{
    // Kept before it goes to paper or into a file, so it carries its number and is on record.
    if (m_current && !hasUnsavedChanges())
        return true;
    switch (saveQuietly()) {
    case Kept::Saved:
        return true;
    case Kept::Failed:
        m_notKept = m_offers.lastError();
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

bool OfferActions::printOfferWithPlan()
{
    if (!m_askPlan || !totalIsFormed())
        return false;
    const std::optional<PlanPrintout> plan = m_askPlan();
    if (!plan)
        return false;
    keepBeforePaper();
    const PrintResult printed
        = m_printJob(OfferPrint(m_form).jobName(), offerDocument(m_form, plan, heading()));
    bool done = printed.ok;
    // The same way out as "Print": said why, and offered a PDF file instead.
    QString problem = QStringLiteral("The offer and its plan were not printed.\n\n") + printed.error;
    while (!done) {
        const QString path = m_askPdfInstead ? m_askPdfInstead(problem, suggestedPdfPath()) : QString();
        if (path.isEmpty())
            break;
        const PrintResult saved = m_writePdf(path, offerDocument(m_form, plan, heading()));
        done = saved.ok;
        problem = QStringLiteral("The offer was not saved.\n\n") + saved.error;
    }
    sayIfNotKept(done);
    return done;
}

bool OfferActions::exportPdf()
{
    if (!totalIsFormed())
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
        const PrintResult written = m_writePdf(path, offerDocument(m_form, plan, heading()));
        if (written.ok) {
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
