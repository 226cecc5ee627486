// The picker of a configuration row on a long category: opening its list, and End / PgDn / Home
// from the keyboard (MainWindow::pickerKeyDown), each beside the floor of the same work done by
// plain Qt on the same connection. The database holds `count` + 80,000 items (at least 100,000),
// `count` of them in the row's category; in db.mdb, or copied to a PostgreSQL server on loopback.
//
//   bench_picker [count=20000] [runs=9] [file|server]
#include "benchdb.h"
#include "benchpicker.h"
#include "benchserver.h"
#include "benchutil.h"

#include "store/benchconnection.h"
#include "store/store.h"
#include "widgets/gridcombo.h"
#include "windows/main/mainwindow.h"

#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QVBoxLayout>

namespace
{

const QString ListStatement = QStringLiteral("select id as \"ID\",description as \"Description\",price as "
                                             "\"Price\" from adt where category = '2' order by id desc");

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 20000;
    const int runs = argc > 2 ? std::max(3, atoi(argv[2])) : 9;
    const bool onServer = argc > 3 && qstrcmp(argv[3], "server") == 0;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    if (!Bench::makePriceList(path, std::max(100000, count + 80000), 2, count))
        return 1;
    PostgresServer server;
    Store store(onServer ? Bench::serverCopyOf(server, path, QStringLiteral("bench")) : path);
    MainWindow form(&store);
    if (!form.load())
        return 1;
    form.show();
    Bench::settle();
    const ConfigRow &row = form.row(2);
    GridCombo *picker = row.picker();
    const QString items = QLocale(QLocale::English).toString(count) + QStringLiteral(" items")
        + (onServer ? QStringLiteral(" on the server") : QString());

    // The floor: the same statement in a plain grid in a pop-up, shown.
    QFrame popup(nullptr, Qt::Popup);
    auto *layout = new QVBoxLayout(&popup);
    auto *view = new QTableView(&popup);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    layout->addWidget(view);
    popup.resize(380, 300);
    auto floorModel = std::make_unique<QSqlQueryModel>();
    const double openFloor = Bench::medianMs(
        runs,
        [&] {
            popup.hide();
            view->setModel(nullptr);
            floorModel = std::make_unique<QSqlQueryModel>();
            Bench::settle();
        },
        [&] {
            floorModel->setQuery(ListStatement, BenchConnection::of(store));
            view->setModel(floorModel.get());
            popup.show();
            QCoreApplication::sendPostedEvents();
            popup.repaint();
        });
    popup.hide();
    view->setModel(nullptr);

    const double open = Bench::pickerOpenMs(picker, runs);
    Bench::result(QStringLiteral("picker: open the list of %1").arg(items), open,
        QStringLiteral("plain grid of the same query"), openFloor, QStringLiteral("ms:50"));

    // End from an empty picker loads the list and takes its last item; the floor is the index seek
    // that finds that item.
    const double seek = Bench::medianMs(
        runs, [] {},
        [&] {
            QSqlQuery q(BenchConnection::of(store));
            q.setForwardOnly(true);
            q.exec(QStringLiteral(
                "select id,description,price from adt where category = '2' order by id limit 1"));
            if (!q.next())
                qFatal("the index seek found nothing");
        });
    const double end = Bench::medianMs(
        runs,
        [&] {
            picker->setText(QString());
            picker->setRowSource(nullptr);
        },
        [&] { form.pickerKeyDown(2, GridCombo::KeyEnd, 0); });
    if (picker->Text() != QStringLiteral("ID000000"))
        qFatal("End did not reach the last item: %s", qPrintable(picker->Text()));
    Bench::result(QStringLiteral("picker: End in an empty picker, %1").arg(items), end,
        QStringLiteral("an index seek to the last item"), seek, QStringLiteral("ms:16"));
    // PgDn from an empty picker loads the list and takes its second item.
    const double pageDown = Bench::medianMs(
        runs,
        [&] {
            picker->setText(QString());
            picker->setRowSource(nullptr);
        },
        [&] { form.pickerKeyDown(2, GridCombo::KeyPageDown, 0); });
    if (picker->Text() != QStringLiteral("ID%1").arg(count - 2, 6, 10, QLatin1Char('0')))
        qFatal("PgDn did not take the second item: %s", qPrintable(picker->Text()));
    Bench::result(QStringLiteral("picker: PgDn in an empty picker, %1").arg(items), pageDown,
        QStringLiteral("an index seek to the last item"), seek, QStringLiteral("ms:16"));
    // PgDn past the end and Up back onto the last item.
    const double pastEnd = Bench::medianMs(
        runs,
        [&] {
            picker->setText(QString());
            picker->setRowSource(nullptr);
            form.pickerKeyDown(2, GridCombo::KeyEnd, 0);
        },
        [&] {
            form.pickerKeyDown(2, GridCombo::KeyPageDown, 0);
            form.pickerKeyDown(2, GridCombo::KeyUp, 0);
            form.pickerKeyDown(2, GridCombo::KeyUp, 0);
        });
    if (picker->Text() != QStringLiteral("ID000001"))
        qFatal("Up after PgDn past the end did not take the item before the last: %s",
            qPrintable(picker->Text()));
    Bench::result(QStringLiteral("picker: End, PgDn, Up, Up, %1").arg(items), pastEnd,
        QStringLiteral("an index seek to the last item"), seek, QStringLiteral("ms:16"));

    const double lookupFloor = Bench::medianMs(
        runs, [] {},
        [&] {
            QSqlQuery q(BenchConnection::of(store));
            q.exec(
                QStringLiteral("select description,price from adt where category = '2' and id = 'ID000000'"));
            q.next();
        });
    const double home = Bench::medianMs(
        runs, [&] { form.pickerKeyDown(2, GridCombo::KeyEnd, 0); },
        [&] { form.pickerKeyDown(2, GridCombo::KeyHome, 0); });
    Bench::result(QStringLiteral("picker: Home after End, %1").arg(items), home,
        QStringLiteral("the item lookup statement alone"), lookupFloor, QStringLiteral("ms:50"));
    const double down = Bench::medianMs(
        runs, [&] { form.pickerKeyDown(2, GridCombo::KeyHome, 0); },
        [&] { form.pickerKeyDown(2, GridCombo::KeyDown, 0); });
    Bench::result(QStringLiteral("picker: Down, %1").arg(items), down,
        QStringLiteral("the item lookup statement alone"), lookupFloor, QStringLiteral("ms:50"));

    // Opening the list again when the chosen item is the last one: the grid scrolls to it.
    const double openAtEnd = Bench::medianMs(
        runs,
        [&] {
            picker->hideList();
            form.pickerKeyDown(2, GridCombo::KeyEnd, 0);
            Bench::settle();
        },
        [&] { Bench::showListPainted(picker); });
    picker->hideList();
    Bench::result(QStringLiteral("picker: open the list on its last item, %1").arg(items), openAtEnd,
        QStringLiteral("plain grid of the same query"), openFloor, QStringLiteral("ms:50"));
    Bench::result(QStringLiteral("peak memory, main window with a list of %1 open").arg(items),
        static_cast<double>(Bench::peakKb()) / 1024.0, QString(), 0, QStringLiteral("mb:150"),
        Bench::peakKb(), "MB");
    return 0;
}
