#include "offerdocument.h"

#include "offerprint.h"

#include <QPointer>
#include <QWidget>

PageDrawer offerDocument(
    QWidget *imrForm, const QString &shop, const std::optional<PlanPrintout> &plan, const QString &heading)
{
    return [form = QPointer<QWidget>(imrForm), shop, plan, heading](
               QPainter &painter, QPagedPaintDevice &device) {
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
            pages.shop = shop;
            done = drawPlanPages(painter, device, pages, heading, 1);
        }
        return done;
    };
}
