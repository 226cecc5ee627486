// Takes the README's pictures from the real program on the demo price list: the main window with
// an offer, the picker open (and with "Fits" on), the calculator with a plan, the price-list editor,
// a supplier's file previewed for import and the printed offer. Run under a virtual X server
// (scripts/screenshots.sh) so the pictures are what the screen shows, pop-up lists included:
// brasko-screenshots OUTDIR
#include "app/windowwiring.h"
#include "demodata.h"
#include "store/itemcosttable.h"
#include "store/markupruletable.h"
#include "store/pricelistrepository.h"
#include "store/store.h"
#include "widgets/gridcombo.h"
#include "windows/import/importwindow.h"
#include "windows/installments/installmentcalculator.h"
#include "windows/main/mainwindow.h"
#include "windows/main/offeractions.h"
#include "windows/main/offerprint.h"
#include "windows/pricelist/markupwindow.h"
#include "windows/pricelist/pricelisteditor.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace
{

QTextStream err(stderr);

void settle(int ms = 400)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// What the screen shows over the widget's area (pop-ups included) on X; the widget alone elsewhere.
bool shoot(QWidget *widget, const QString &file, const QRect &extra = QRect())
{
    settle();
    QPixmap picture;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        const QRect area = widget->frameGeometry().united(extra.isNull() ? widget->frameGeometry() : extra);
        picture = QGuiApplication::primaryScreen()->grabWindow(
            0, area.x(), area.y(), area.width(), area.height());
    } else {
        picture = widget->grab();
    }
    if (picture.isNull() || !picture.save(file)) {
        err << "brasko-screenshots: cannot write " << file << '\n';
        return false;
    }
    QTextStream(stdout) << file << '\n';
    return true;
}

template <typename T> T *child(QWidget *w, const char *name)
{
    return w->findChild<T *>(QString::fromLatin1(name));
}

bool makeDemo(const QString &path)
{
    QString error;
    if (!createPriceListDatabase(path, &error))
        return false;
    Store store(path, QStringLiteral("demo"));
    return store.open() && fillDemoPriceList(store, &error);
}

void buildOffer(MainWindow &form)
{
    form.offerModel()->setClient(QStringLiteral("Karim Nabil - 0100 222 3344"));
    const std::pair<int, const char *> items[] = { { 0, "I5-12400" }, { 1, "B660M-DS3H" },
        { 2, "D4-16G3200" }, { 4, "SSD-1T" }, { 5, "RTX-3050" }, { 6, "MON-24" }, { 10, "KB-ARM" },
        { 11, "MS-OPTW" }, { 12, "CASE-ATX" }, { 14, "PSU-650B" }, { 15, "WIN11-H" }, { 16, "ASSEMBLY" } };
    for (const auto &[row, id] : items) {
        form.row(row).picker()->setText(QString::fromLatin1(id));
        form.itemPicked(row);
        form.amountLeft(row);
    }
}

// What the shop paid for most of the offer's items (about four fifths of the price); the monitor's
// and the software's costs are not known.
void keepDemoCosts(Store &store)
{
    const std::pair<const char *, const char *> items[] = { { "0", "I5-12400" }, { "1", "B660M-DS3H" },
        { "2", "D4-16G3200" }, { "4", "SSD-1T" }, { "5", "RTX-3050" }, { "10", "KB-ARM" },
        { "11", "MS-OPTW" }, { "12", "CASE-ATX" }, { "14", "PSU-650B" }, { "16", "ASSEMBLY" } };
    PriceListRepository list(&store);
    ItemCostTable costs(&store);
    for (const auto &[category, id] : items) {
        const auto item = list.item(QString::fromLatin1(category), QString::fromLatin1(id));
        const auto price = item && *item ? Price::fromColumn((*item)->price) : std::nullopt;
        if (!price || !price->isNumber())
            continue;
        const Decimal cost
            = *Decimal::divideRoundedHalfEven(*price->number() * Decimal::fromInt(4), Decimal::fromInt(5));
        costs.set({ QString::fromLatin1(category), QString::fromLatin1(id), std::nullopt,
                      Price::fromStored(cost.exactText()) },
            QDateTime::currentDateTime());
    }
}

// The margins beside the amounts, one row sold below its cost.
bool shootMargins(MainWindow &form, const QString &out)
{
    QAction *margins = form.findChild<QAction *>(QStringLiteral("mnuoffermargins"));
    const QString ram = form.offer().row(2).amountText();
    form.offerModel()->setAmountText(
        2, QString::number(Amounts::leadingNumber(ram).toDouble() * 0.7, 'f', 2));
    margins->setChecked(true);
    settle();
    const bool ok = shoot(&form, out + QStringLiteral("/margins.png"));
    margins->setChecked(false);
    form.offerModel()->setAmountText(2, ram);
    settle();
    return ok;
}

bool shootCalculator(MainWindow &form, const QString &out)
{
    InstallmentCalculator calculator(form.offer().client, form.offer().totalText(), &form);
    calculator.move(form.geometry().topLeft() + QPoint(40, 40));
    calculator.show();
    settle();
    child<QLineEdit>(&calculator, "txtsellprice")->setText(QStringLiteral("24000"));
    child<QLineEdit>(&calculator, "txtnoinst")->setText(QStringLiteral("12"));
    child<QAbstractButton>(&calculator, "cmdcalc")->click();
    return shoot(&calculator, out + QStringLiteral("/calculator.png"));
}

bool shootEditor(MainWindow &form, const QString &out)
{
    PriceListEditor editor(form.store(), form.rowCaption(2) + QLatin1String(" Data"), form.rowCategory(2),
        form.rowPicture(2), &form);
    editor.move(form.geometry().topLeft() + QPoint(40, 40));
    editor.show();
    settle();
    // An item chosen, as after picking it from the list: its description and price filled in.
    if (auto *id = editor.findChild<GridCombo *>(QStringLiteral("txtrid"))) {
        id->setText(QStringLiteral("D4-16G3200"));
        Q_EMIT id->itemChosen();
    }
    // Its attributes as guessed from the description, waiting to be ticked.
    if (auto *guess = editor.findChild<QPushButton *>(QStringLiteral("cmdguessattributes")))
        guess->click();
    return shoot(&editor, out + QStringLiteral("/editor.png"));
}

bool shootImport(MainWindow &form, const QString &out, const QString &scratch)
{
    // A distributor's monthly list of what the shop pays, with the sockets in a column of their
    // own, written the way many suppliers do: the markup gives the list prices.
    const QString path = scratch + QStringLiteral("/nile_2026-12.csv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write("Code;Name;Dealer price;Socket\r\n"
                      "I3-12100;Intel Core i3-12100 3.3GHz 4C/8T;3.650,00;LGA1700\r\n"
                      "I5-12400;Intel Core i5-12400 2.5GHz 6C/12T;5.900,00;LGA1700\r\n"
                      "I7-12700;Intel Core i7-12700 2.1GHz 12C/20T;10.350,00;LGA1700\r\n"
                      "R5-5600;AMD Ryzen 5 5600 3.5GHz 6C/12T;4.640,50;AM4\r\n"
                      "R7-5700X;AMD Ryzen 7 5700X 3.4GHz 8C/16T;7.420,00;AM4\r\n"
                      "I5-13400;Intel Core i5-13400 2.5GHz 10C/16T;6.890,00;LGA1700\r\n")
            < 0) {
        err << "brasko-screenshots: cannot write " << path << '\n';
        return false;
    }
    file.close();
    ImportWindow window(form.store(), rowCategories(form), &form);
    window.setTell([](const QString &message, bool) { err << message << '\n'; });
    window.move(form.geometry().topLeft() + QPoint(40, 40));
    window.show();
    if (!window.setFile(path))
        return false;
    child<QAbstractButton>(&window, "cmdpreview")->click();
    return shoot(&window, out + QStringLiteral("/import.png"));
}

bool shootMarkup(MainWindow &form, const QString &out)
{
    // A shop's rules: a default, and processors dearer with prices in tens.
    Markup::Rules rules;
    rules.defaultRule = { Decimal::fromInt(15), Markup::Step::Five };
    rules.setOwn(form.rowCategory(0), Markup::Rule { *Decimal::fromPlain(u"12.5"), Markup::Step::Ten });
    if (MarkupRuleTable(form.store()).save(rules, Markup::Rules()).isValid())
        return false;
    MarkupWindow window(form.store(), rowCategories(form), &form);
    window.move(form.geometry().topLeft() + QPoint(40, 40));
    window.show();
    return shoot(&window, out + QStringLiteral("/markup.png"));
}

bool shootPrintedPage(MainWindow &form, const QString &out, const QString &scratch)
{
    const QString pdf = scratch + QStringLiteral("/offer.pdf");
    const PrintResult result
        = OfferPrint(&form, form.offer().client).printDressed([&](QWidget *window, const QString &) {
              return printWindowToPdf(window, pdf);
          });
    if (!result.ok) {
        err << "brasko-screenshots: the offer did not print: " << result.error << '\n';
        return false;
    }
    // The page as paper shows it, at a size the README can carry.
    const int code = QProcess::execute(QStringLiteral("pdftoppm"),
        { QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-singlefile"),
            pdf, out + QStringLiteral("/printed-offer") });
    if (code != 0)
        err << "brasko-screenshots: pdftoppm (poppler-utils) could not turn the page into a picture\n";
    return code == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    if (app.arguments().size() != 2) {
        err << "usage: brasko-screenshots OUTDIR\n";
        return 2;
    }
    const QString out = QDir(app.arguments().at(1)).absolutePath();
    QDir().mkpath(out);
    QTemporaryDir scratch;
    const QString path = scratch.filePath(QStringLiteral("db.mdb"));
    if (!makeDemo(path)) {
        err << "brasko-screenshots: cannot make the demo price list in " << path << '\n';
        return 1;
    }
    Store store(path);
    MainWindow form(&store);
    connectWindows(form);
    if (!form.load()) {
        err << form.connectionFailureMessage() << '\n';
        return 1;
    }
    keepDemoCosts(store);
    form.move(0, 0);
    form.show();
    buildOffer(form);
    form.offerActions()->save(); // a kept revision shows its number and status
    form.toggleDetail(); // the wide layout, prices shown
    bool ok = shoot(&form, out + QStringLiteral("/main-window.png"));

    GridCombo *picker = form.row(5).picker();
    picker->showList();
    settle();
    QWidget *list = picker->listView() ? picker->listView()->window() : nullptr;
    ok = shoot(&form, out + QStringLiteral("/picker.png"), list ? list->frameGeometry() : QRect()) && ok;
    picker->hideList();

    // The processors that fit the chosen board ("Fits", Ctrl+F in the open list).
    GridCombo *processors = form.row(0).picker();
    processors->showList();
    processors->setFitsOnly(true);
    settle();
    list = processors->listView()->window();
    ok = shoot(&form, out + QStringLiteral("/picker-fits.png"), list->frameGeometry()) && ok;
    processors->setFitsOnly(false);
    processors->hideList();

    // A processor for another socket than the board's: marked, and listed under the rows.
    form.row(0).picker()->setText(QStringLiteral("R5-5600"));
    form.itemPicked(0);
    form.amountLeft(0);
    ok = shoot(&form, out + QStringLiteral("/fit-warnings.png")) && ok;
    form.row(0).picker()->setText(QStringLiteral("I5-12400"));
    form.itemPicked(0);
    form.amountLeft(0);

    ok = shootMargins(form, out) && ok;
    ok = shootCalculator(form, out) && ok;
    ok = shootEditor(form, out) && ok;
    ok = shootMarkup(form, out) && ok; // the rules the import then prices by
    ok = shootImport(form, out, scratch.path()) && ok;
    ok = shootPrintedPage(form, out, scratch.path()) && ok;
    form.setCloseAfterFailure([](const QString &) { return true; });
    // The demo offer is not kept: closing would otherwise wait for an answer nobody gives.
    form.offerActions()->setAskUnsaved([](const QString &) { return OfferActions::Unsaved::Discard; });
    form.close();
    return ok ? 0 : 1;
}
