#include "windowwiring.h"

#include "windows/about/aboutdialog.h"
#include "windows/errors/showerrorreport.h"
#include "windows/installments/installmentcalculator.h"
#include "windows/main/mainwindow.h"
#include "windows/orders/orderwindow.h"
#include "windows/pricelist/pricelisteditor.h"

#include <QLabel>
#include <QPushButton>

void connectWindows(MainWindow &form)
{
    MainWindow *owner = &form;
    form.openInstallments = [owner] {
        const Offer &offer = owner->offer();
        InstallmentCalculator calculator(offer.client, offer.totalText(), owner);
        calculator.exec();
    };
    form.openPriceList = [owner](int index) {
        const ConfigRow &r = owner->row(index);
        PriceListEditor editor(owner->store(), r.Command1->text() + QLatin1String(" Data"), r.category(),
            r.Image1 ? r.Image1->pixmap() : QPixmap(), owner);
        reportFailuresOf(editor);
        editor.exec();
    };
    form.openAbout = [owner] {
        AboutDialog about(owner);
        about.exec();
    };
    form.openOrders = [owner] { openOrderWindow(owner); };
}

void reportFailuresOf(PriceListEditor &editor)
{
    QObject::connect(&editor, &PriceListEditor::failureReported, &editor,
        [e = &editor](const QString &number, const QString &description, const QString &source) {
            ShowErrorReport(e, number, description, source);
        });
}
