#include "windowwiring.h"

#include "windows/about/aboutt.h"
#include "windows/errors/errorreport.h"
#include "windows/installments/frminst.h"
#include "windows/main/imrform.h"
#include "windows/main/offeractions.h"
#include "windows/offers/frmoffers.h"
#include "windows/orders/ordert.h"
#include "windows/pricelist/frmadt.h"

#include <QLabel>
#include <QPushButton>

void connectWindows(IMRForm &form)
{
    IMRForm *owner = &form;
    form.openInstallments = [owner] {
        const Offer &offer = owner->offer();
        frminst calculator(offer.client, offer.totalText(), owner);
        calculator.exec();
    };
    form.openPriceList = [owner](int index) {
        const ConfigRow &r = owner->row(index);
        frmadt editor(owner->store(), r.Command1->text() + QLatin1String(" Data"), r.category(),
            r.Image1 ? r.Image1->pixmap() : QPixmap(), owner);
        reportFailuresOf(editor);
        editor.exec();
    };
    form.openAbout = [owner] {
        ABOUTT about(owner);
        about.exec();
    };
    form.openOrders = [owner] { openOrderWindow(owner); };
    if (OfferActions *offers = form.offerActions()) {
        offers->chooseOffer = [owner](OfferRepository *repository) -> std::optional<OfferKey> {
            frmoffers list(repository, owner);
            if (list.exec() != QDialog::Accepted)
                return std::nullopt;
            return list.chosen();
        };
        offers->askPlan = [owner]() -> std::optional<PlanPrintout> {
            const Offer &offer = owner->offer();
            frminst calculator(offer.client, offer.totalText(), owner);
            calculator.offerPlanChoice();
            calculator.exec();
            return calculator.chosenPlan();
        };
    }
}

void reportFailuresOf(frmadt &editor)
{
    QObject::connect(&editor, &frmadt::failureReported, &editor,
        [e = &editor](const QString &number, const QString &description, const QString &source) {
            ShowErrorReport(e, number, description, source);
        });
}
