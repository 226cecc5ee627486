// Amount texts: the total after a keystroke in a row's amount box (the window sums all seventeen
// rows exactly and formats the total), beside the same keystroke in a plain text box; the same with
// every row's cost known and the margins shown, beside the total alone; and FormatAmount over a million
// texts, beside the naive way (the locale's number conversion and a padded text).
//
//   bench_amount [runs=3]
#include "benchdb.h"
#include "benchutil.h"

#include "core/amount.h"
#include "store/store.h"
#include "windows/main/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QTemporaryDir>

namespace
{

constexpr int Keystrokes = 2000;

// Types a digit and takes it back again, Keystrokes times in all.
void type(QLineEdit *box)
{
    for (int i = 0; i < Keystrokes / 2; ++i) {
        QKeyEvent digit(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
        QApplication::sendEvent(box, &digit);
        QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(box, &back);
    }
}

QStringList amountTexts()
{
    const QStringList shapes = { QStringLiteral("12.345"), QStringLiteral("7"), QStringLiteral("1,250"),
        QStringLiteral("abc"), QStringLiteral(" 12"), QStringLiteral("-3.5"), QStringLiteral("1e5"),
        QStringLiteral("1.2.3"), QStringLiteral("125.50"), QStringLiteral(""), QStringLiteral("99999.9"),
        QStringLiteral("0.001") };
    QStringList texts;
    texts.reserve(1000000);
    for (int i = 0; i < 1000000; ++i) {
        const QString &s = shapes[i % shapes.size()];
        texts << (i % 3 == 0 ? QString::number(i % 100000) + s : s);
    }
    return texts;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    if (!Bench::makePriceList(path, 1000, 2, 100))
        return 1;
    Store store(path);
    MainWindow form(&store);
    if (!form.load())
        return 1;
    form.show();
    for (int i = 0; i < ConfigRow::Count; ++i)
        form.offerModel()->setAmountText(i, QStringLiteral("%1.25").arg(1000 + i * 37));
    QLineEdit *amount = form.row(5).amountBox();
    amount->setFocus();
    amount->end(false);

    QMainWindow plainWindow;
    auto *plain = new QLineEdit(QStringLiteral("1037.25"), &plainWindow);
    plainWindow.setCentralWidget(plain);
    plainWindow.show();
    plain->end(false);

    const double plainMs = Bench::medianMs(runs, [&] { type(plain); });
    const double totalMs = Bench::medianMs(runs, [&] { type(amount); });
    Bench::result(QStringLiteral("total after a keystroke (17 rows)"), totalMs * 1000.0 / Keystrokes,
        QStringLiteral("keystroke in a plain text box"), plainMs * 1000.0 / Keystrokes, QString(),
        Bench::peakKb(), "us");

    // The same keystrokes with every row's cost known and the margins shown: each row's margin and
    // the offer's are worked out and shown again as the total is.
    Offer costed = form.offer();
    for (int i = 0; i < ConfigRow::Count; ++i)
        costed.row(i).cost = Price::fromStored(QStringLiteral("%1.75").arg(800 + i * 29));
    form.offerModel()->setOffer(costed);
    form.findChild<QAction *>(QStringLiteral("mnuoffermargins"))->setChecked(true);
    amount->setFocus();
    amount->end(false);
    const double marginsMs = Bench::medianMs(runs, [&] { type(amount); });
    Bench::result(QStringLiteral("total and margins after a keystroke (17 rows, margins shown)"),
        marginsMs / Keystrokes, QStringLiteral("the total alone"), totalMs / Keystrokes,
        QStringLiteral("ms:1"));

    const QStringList texts = amountTexts();
    const QLocale locale;
    qsizetype sink = 0;
    const double naive = Bench::medianMs(runs, [&] {
        for (const QString &s : texts) {
            bool ok = false;
            locale.toDouble(s, &ok);
            sink += ok ? (s + QStringLiteral(".00")).size() : 4;
        }
    });
    const double format = Bench::medianMs(runs, [&] {
        for (const QString &s : texts)
            sink += FormatAmount(s).size();
    });
    const double formatOrEmpty = Bench::medianMs(runs, [&] {
        for (const QString &s : texts)
            sink += FormatAmountOrEmpty(s).size();
    });
    Bench::result(QStringLiteral("FormatAmount, 1,000,000 texts"), format,
        QStringLiteral("QLocale::toDouble + padding"), naive);
    Bench::result(QStringLiteral("FormatAmountOrEmpty, 1,000,000 texts"), formatOrEmpty,
        QStringLiteral("QLocale::toDouble + padding"), naive);
    const double leading = Bench::medianMs(runs, [&] {
        for (const QString &s : texts)
            sink += Amounts::leadingNumber(s).sign();
    });
    const double strtodMs = Bench::medianMs(runs, [&] {
        for (const QString &s : texts)
            sink += static_cast<qsizetype>(std::strtod(s.toLatin1().constData(), nullptr) > 0);
    });
    Bench::result(QStringLiteral("Amounts::leadingNumber, 1,000,000 texts"), leading,
        QStringLiteral("strtod"), strtodMs);
    return sink == 42 ? 1 : 0; // keeps the work from being optimised away
}
