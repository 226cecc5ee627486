// Searching an open picker list: the time from a key typed into the list of a configuration row
// until the list is painted again, beside Qt's own filter proxy doing the same search on the same
// rows. The row's category holds `count` items, in db.mdb or on a PostgreSQL server on loopback.
//
//   bench_pickersearch [count=100000] [runs=9] [file|server]
#include "benchdb.h"
#include "benchserver.h"
#include "benchutil.h"

#include "store/benchconnection.h"
#include "store/store.h"
#include "widgets/gridcombo.h"
#include "windows/main/mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QSortFilterProxyModel>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTemporaryDir>

namespace
{

void key(QWidget *to, int code, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
    QApplication::sendEvent(to, &release);
}

void type(QWidget *to, const QString &text)
{
    for (const QChar c : text)
        key(to, c.isDigit() ? Qt::Key_0 + c.digitValue() : Qt::Key_A, QString(c));
}

// A key as the person sees it handled: the key itself, what it posted (layouts, updates) and the
// list painted. Nothing else the event loop has waiting runs inside.
void keyShown(QTableView *view, int code, const QString &text)
{
    key(view, code, text);
    QCoreApplication::sendPostedEvents();
    view->viewport()->repaint();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
    const int runs = argc > 2 ? std::max(3, atoi(argv[2])) : 9;
    const bool onServer = argc > 3 && qstrcmp(argv[3], "server") == 0;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    if (!Bench::makePriceList(path, count, 2, count))
        return 1;
    PostgresServer server;
    Store store(onServer ? Bench::serverCopyOf(server, path, QStringLiteral("bench")) : path);
    MainWindow form(&store);
    if (!form.load())
        return 1;
    form.show();
    Bench::settle();
    GridCombo *picker = form.row(2).picker();
    QTableView *view = picker->listView();
    const QString items = QLocale(QLocale::English).toString(count) + QStringLiteral(" items")
        + (onServer ? QStringLiteral(" on the server") : QString());
    // The list gets ready to be searched between other events once it shows.
    const auto untilReady = [&] {
        while (!picker->isSearchReady())
            QCoreApplication::processEvents();
    };
    const auto reopen = [&](const QString &typed) {
        picker->hideList();
        picker->showList();
        untilReady();
        type(view, typed);
        Bench::settle();
    };

    // The reference: Qt's filter proxy over the same rows, every row fetched, one search per run.
    QSqlQueryModel source;
    source.setQuery(
        QStringLiteral("select id as \"ID\",description as \"Description\",price as \"Price\" from adt"
                       " where category = '2' order by id desc"),
        BenchConnection::of(store));
    while (source.canFetchMore())
        source.fetchMore();
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(&source);
    proxy.setFilterKeyColumn(-1);
    proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
    bool flip = false;
    const double reference = Bench::medianMs(runs, [&] {
        flip = !flip;
        proxy.setFilterFixedString(flip ? QStringLiteral("model 1234") : QStringLiteral("model 1235"));
    });

    // The first key typed the moment the list shows, and once it has been open a while.
    const double firstAtOnce = Bench::medianMs(
        runs,
        [&] {
            picker->hideList();
            Bench::settle();
            picker->showList();
        },
        [&] { keyShown(view, Qt::Key_M, QStringLiteral("m")); });
    if (picker->searchText() != QStringLiteral("m"))
        qFatal("the key did not search");
    Bench::result(QStringLiteral("picker search, %1: first key, the moment the list shows").arg(items),
        firstAtOnce, QStringLiteral("QSortFilterProxyModel, one search"), reference, QStringLiteral("ms:16"));

    // While the list gets ready, the longest turn of the event loop is the longest a key typed
    // meanwhile waits before it is handled. The first turn paints the list that just opened (the
    // opening is timed by bench_picker); the turns after it are the list getting ready.
    std::vector<double> longest;
    std::vector<double> ready;
    for (int i = 0; i < runs; ++i) {
        picker->hideList();
        Bench::settle();
        QElapsedTimer whole;
        whole.start();
        picker->showList();
        QCoreApplication::processEvents();
        double most = 0;
        while (!picker->isSearchReady()) {
            QElapsedTimer turn;
            turn.start();
            QCoreApplication::processEvents();
            most = std::max(most, static_cast<double>(turn.nsecsElapsed()) / 1e6);
        }
        ready.push_back(static_cast<double>(whole.nsecsElapsed()) / 1e6);
        longest.push_back(most);
    }
    std::sort(longest.begin(), longest.end());
    std::sort(ready.begin(), ready.end());
    Bench::result(QStringLiteral("picker search, %1: longest turn while the list gets ready").arg(items),
        longest[longest.size() / 2], QStringLiteral("QSortFilterProxyModel, one search"), reference,
        QStringLiteral("ms:16"));
    Bench::result(QStringLiteral("picker search, %1: the list ready, from its showing").arg(items),
        ready[ready.size() / 2], QStringLiteral("QSortFilterProxyModel, one search"), reference);

    // A whole id typed and Enter at once, before the list is ready: Enter reads on until that id
    // is sure to be first.
    for (const QString &id :
        { QStringLiteral("ID%1").arg(count / 2, 6, 10, QLatin1Char('0')), QStringLiteral("ID000000") }) {
        const double enter = Bench::medianMs(
            runs,
            [&] {
                picker->hideList();
                Bench::settle();
                picker->showList();
                type(view, id);
            },
            [&] { key(view, Qt::Key_Return, QStringLiteral("\r")); });
        if (picker->Text() != id)
            qFatal("Enter took %s, not %s", qPrintable(picker->Text()), qPrintable(id));
        Bench::result(QStringLiteral("picker search, %1: %2 typed, Enter at once").arg(items, id), enter,
            QStringLiteral("QSortFilterProxyModel, one search"), reference, QStringLiteral("ms:16"));
    }

    struct Case {
        QString what, before;
        int code;
        QString text;
    };
    const Case cases[] = {
        { QStringLiteral("first key, the list open a while"), QString(), Qt::Key_M, QStringLiteral("m") },
        { QStringLiteral("a key leaving every row"), QStringLiteral("m"), Qt::Key_O, QStringLiteral("o") },
        { QStringLiteral("a key narrowing to one row"), QStringLiteral("model 1234"), Qt::Key_5,
            QStringLiteral("5") },
        { QStringLiteral("Backspace (a fresh search)"), QStringLiteral("model 12345"), Qt::Key_Backspace,
            QString() },
    };
    for (const Case &c : cases) {
        const double ms = Bench::medianMs(
            runs, [&] { reopen(c.before); }, [&] { keyShown(view, c.code, c.text); });
        Bench::result(QStringLiteral("picker search, %1: %2").arg(items, c.what), ms,
            QStringLiteral("QSortFilterProxyModel, one search"), reference, QStringLiteral("ms:16"));
    }
    picker->hideList();
    return 0;
}
