#include "windowwiring.h"

#include "windows/about/aboutdialog.h"
#include "windows/errors/showerrorreport.h"
#include "windows/import/exportdialog.h"
#include "windows/import/importwindow.h"
#include "windows/installments/installmentcalculator.h"
#include "windows/main/fitwarnings.h"
#include "windows/main/mainwindow.h"
#include "windows/main/marginview.h"
#include "windows/main/offeractions.h"
#include "windows/main/offerordering.h"
#include "windows/offers/savedoffersdialog.h"
#include "windows/orders/orderwindow.h"
#include "windows/pricelist/markupwindow.h"
#include "windows/pricelist/pricelisteditor.h"

#include <QPixmap>

QList<std::pair<QString, QString>> rowCategories(const MainWindow &form)
{
    QList<std::pair<QString, QString>> out;
    for (int i = 0; i < ConfigRow::Count; ++i)
        out.push_back({ form.rowCaption(i), form.rowCategory(i) });
    return out;
}

void connectWindows(MainWindow &form)
{
    MainWindow *owner = &form;
    QObject::connect(owner, &MainWindow::installmentsRequested, owner, [owner] {
        const Offer &offer = owner->offer();
        InstallmentCalculator calculator(offer.client, offer.totalText(), owner);
        calculator.exec();
    });
    QObject::connect(owner, &MainWindow::priceListRequested, owner, [owner](int index) {
        PriceListEditor editor(owner->store(), owner->rowCaption(index) + QLatin1String(" Data"),
            owner->rowCategory(index), owner->rowPicture(index), owner);
        reportFailuresOf(editor);
        editor.exec();
        // The item's attributes may have changed with it.
        owner->fitWarnings()->refresh();
    });
    QObject::connect(owner, &MainWindow::aboutRequested, owner, [owner] {
        AboutDialog about(owner);
        about.exec();
    });
    QObject::connect(owner, &MainWindow::ordersRequested, owner, [owner] { openOrderWindow(owner); });
    QObject::connect(owner, &MainWindow::priceListImportRequested, owner, [owner] {
        ImportWindow window(owner->store(), rowCategories(*owner), owner);
        window.exec();
    });
    QObject::connect(owner, &MainWindow::priceListExportRequested, owner, [owner] {
        PriceListExportDialog dialog(owner->store(), rowCategories(*owner), owner);
        dialog.exec();
    });
    QObject::connect(owner, &MainWindow::priceListMarkupRequested, owner, [owner] {
        MarkupWindow window(owner->store(), rowCategories(*owner), owner);
        window.exec();
    });
    if (OfferActions *offers = form.offerActions()) {
        offers->setChooseOffer([owner](OfferRepository *repository) -> std::optional<OfferKey> {
            SavedOffersDialog list(repository, owner);
            list.setMarginsShown(owner->marginView() && owner->marginView()->isShown());
            if (list.exec() != QDialog::Accepted)
                return std::nullopt;
            return list.chosen();
        });
        offers->setAskPlan([owner]() -> std::optional<PlanPrintout> {
            const Offer &offer = owner->offer();
            InstallmentCalculator calculator(offer.client, offer.totalText(), owner);
            calculator.offerPlanChoice();
            calculator.exec();
            return calculator.chosenPlan();
        });
        offers->ordering()->setShowOrder([owner](qint32 customer, qint32 order) {
            openOrderWindow(owner, ShownOrder { customer, order });
        });
    }
}

void reportFailuresOf(PriceListEditor &editor)
{
    QObject::connect(&editor, &PriceListEditor::failureReported, &editor,
        [e = &editor](const QString &number, const QString &description, const QString &source) {
            ShowErrorReport(e, number, description, source);
        });
}
