// Kept offers: saving one, opening the list of saved offers and every keystroke of a search in it,
// each beside the same statements run bare through Qt SQL on the same file. The file holds
// `count` saved offers with seventeen rows each.
//
//   bench_offers [count=100000] [runs=9]
#include "benchdb.h"
#include "benchutil.h"

#include "store/benchconnection.h"
#include "store/offerrepository.h"
#include "store/store.h"
#include "windows/offers/savedoffersdialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTemporaryDir>
#include <QTreeView>

namespace
{

const char *const Parts[] = { "Core Duo 2.4 GHz", "DDR 512 MB", "Seagate 80 GB", "GeForce 256",
    "Samsung 17\"", "Creative Live", "Logitech mouse", "ATX case 400 W", "US Robotics 56k", "LG DVD writer" };

Offer sample(int n)
{
    Offer offer;
    offer.shop = QStringLiteral("Velmont Shop 555-1234");
    offer.client = QStringLiteral("Client %1 Tel %2").arg(n).arg(1000000 + n * 7);
    offer.seller = QStringLiteral("Seller %1").arg(n % 5);
    offer.date = QDateTime(QDate(2020, 1, 1).addDays(n % 2000), QTime(10, 0));
    for (int i = 0; i < 10; ++i)
        offer.pickItem(i, QStringLiteral("ID%1").arg((n + i) % 997), QString::fromLatin1(Parts[(n + i) % 10]),
            QStringLiteral("%1.50").arg(100 + (n + i) % 900));
    return offer;
}

// count offers in one transaction, through the repository's own insert statements' shape.
bool fill(Store &store, int count)
{
    OfferRepository offers(&store);
    if (offers.ensureSchema().isValid())
        return false;
    QSqlDatabase db = BenchConnection::of(store);
    db.transaction();
    QSqlQuery head(db);
    head.prepare(
        QStringLiteral("insert into offers (number, revision, shop, client, seller, offer_date, total,"
                       " saved_at, saved_on, search_text) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    QSqlQuery row(db);
    row.prepare(QStringLiteral("insert into offer_rows (number, revision, row_index, category, item_id,"
                               " description, amount_text, list_price) values (?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int n = 1; n <= count; ++n) {
        const Offer o = sample(n);
        for (const QVariant &v : QVariantList { n, 1, o.shop, o.client, o.seller,
                 o.date.toString(Qt::ISODateWithMs), o.totalText(), o.date.toString(Qt::ISODateWithMs),
                 QStringLiteral("bench"), offerSearchText(n, o) })
            head.addBindValue(v);
        if (!head.exec())
            return false;
        for (int i = 0; i < Offer::RowCount; ++i) {
            const OfferRow &r = o.row(i);
            for (const QVariant &v :
                QVariantList { n, 1, i, r.category, r.itemId + QString(""), r.description + QString(""),
                    r.amountText() + QString(""), Price::toColumn(r.listPrice).value_or(QString("")) })
                row.addBindValue(v);
            if (!row.exec())
                return false;
        }
    }
    QSqlQuery counter(db);
    counter.prepare(QStringLiteral("update offer_counter set next_number = ?"));
    counter.addBindValue(count + 1);
    return counter.exec() && db.commit();
}

const QString ListStatement = QStringLiteral(
    "select number as \"Number\", revision as \"Revision\", substr(offer_date, 1, 10) as \"Date\","
    " client as \"Client\", seller as \"Seller\", total as \"Total\" from offers");

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
    const int runs = argc > 2 ? std::max(3, atoi(argv[2])) : 9;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    if (!Bench::makePriceList(path, 1000, 2, 100))
        return 1;
    Store store(path);
    if (!store.open() || !fill(store, count)) {
        std::fprintf(stderr, "cannot fill: %s\n", qPrintable(store.lastError().text()));
        return 1;
    }
    OfferRepository offers(&store);
    const QString saved = QLocale(QLocale::English).toString(count);

    // Saving: the repository against the same nineteen statements bare in one transaction.
    int bareNumber = count + 1000000;
    const Offer offer = sample(7);
    const double bareSave = Bench::medianMs(runs * 3, [&] {
        QSqlDatabase db = BenchConnection::of(store);
        db.transaction();
        QSqlQuery q(db);
        q.exec(QStringLiteral("update offer_counter set next_number = next_number + 0"));
        q.exec(QStringLiteral("select next_number from offer_counter"));
        q.prepare(
            QStringLiteral("insert into offers (number, revision, shop, client, seller, offer_date, total,"
                           " saved_at, saved_on, search_text) values (?, 1, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (const QVariant &v :
            QVariantList { ++bareNumber, offer.shop, offer.client, offer.seller, QString("d"),
                offer.totalText(), QString("d"), QString("bench"), offerSearchText(bareNumber, offer) })
            q.addBindValue(v);
        q.exec();
        for (int i = 0; i < Offer::RowCount; ++i) {
            QSqlQuery r(db);
            r.prepare(
                QStringLiteral("insert into offer_rows (number, revision, row_index, category, item_id,"
                               " description, amount_text, list_price) values (?, 1, ?, ?, ?, ?, ?, ?)"));
            for (const QVariant &v : QVariantList {
                     bareNumber, i, QString("0"), QString("x"), QString("x"), QString("x"), QString("x") })
                r.addBindValue(v);
            r.exec();
        }
        db.commit();
    });
    const double save = Bench::medianMs(runs * 3, [&] {
        if (const auto key = offers.save(offer, std::nullopt); !key)
            qFatal("save failed: %s", qPrintable(key.error().text()));
    });
    {
        // The bare saves' numbers stand far above the others; they go, so a search's slices stay
        // within the numbers the program gave.
        QSqlQuery q(BenchConnection::of(store));
        q.exec(QStringLiteral("delete from offer_rows where number > %1").arg(count + 999999));
        q.exec(QStringLiteral("delete from offers where number > %1").arg(count + 999999));
    }
    Bench::result(QStringLiteral("offers: save one offer (%1 saved)").arg(saved), save,
        QStringLiteral("the same statements bare"), bareSave, QStringLiteral("ms:20"));

    // Opening the list: the window with its first screen, against a bare model in a plain view.
    QTreeView plain;
    plain.resize(640, 420);
    std::unique_ptr<QSqlQueryModel> bareModel;
    const double bareOpen = Bench::medianMs(
        runs, [&] { plain.hide(); },
        [&] {
            bareModel = std::make_unique<QSqlQueryModel>();
            bareModel->setQuery(ListStatement + QStringLiteral(" order by number desc, revision desc"),
                BenchConnection::of(store));
            plain.setModel(bareModel.get());
            plain.show();
            Bench::settle();
        });
    plain.setModel(nullptr);
    std::unique_ptr<SavedOffersDialog> window;
    const double open = Bench::medianMs(
        runs, [&] { window.reset(); },
        [&] {
            window = std::make_unique<SavedOffersDialog>(&offers);
            window->show();
            Bench::settle();
        });
    Bench::result(QStringLiteral("offers: open the list, first screen (%1 saved)").arg(saved), open,
        QStringLiteral("bare model of the same query in a plain view"), bareOpen, QStringLiteral("ms:100"));

    // Each keystroke of a search: the longest the window keeps the person waiting at one go (the
    // keystroke itself, or any later step of the same search), and the time until the search has
    // gone through every offer, against the same query run bare over all offers at once.
    auto *search = window->findChild<QLineEdit *>(QStringLiteral("txtsearch"));
    const QString typed = QStringLiteral("client 4711");
    double worstStep = 0;
    double worstWhole = 0;
    double worstBare = 0;
    for (int k = 1; k <= typed.size(); ++k) {
        const QString prefix = typed.left(k);
        const double bare = Bench::medianMs(runs, [&] {
            QSqlQuery q(BenchConnection::of(store));
            q.prepare(ListStatement
                + QStringLiteral(
                    " where search_text like ? escape '\\' order by number desc, revision desc"));
            q.addBindValue(containsPattern(prefix));
            q.exec();
            for (int i = 0; i < 256 && q.next(); ++i)
                q.value(0);
        });
        double step = 0;
        const double whole = Bench::medianMs(
            runs, [&] { search->setText(typed.left(k - 1)); },
            [&] {
                QElapsedTimer t;
                t.start();
                search->setText(prefix);
                step = std::max(step, double(t.nsecsElapsed()) / 1e6);
                while (!window->searchFinished() && window->shownCount() < 200) {
                    t.restart();
                    QCoreApplication::processEvents();
                    step = std::max(step, double(t.nsecsElapsed()) / 1e6);
                }
            });
        worstStep = std::max(worstStep, step);
        worstWhole = std::max(worstWhole, whole);
        worstBare = std::max(worstBare, bare);
    }
    Bench::result(
        QStringLiteral("offers: longest wait of a search keystroke, \"%1\" (%2 saved)").arg(typed, saved),
        worstStep, QStringLiteral("slowest same query bare"), worstBare, QStringLiteral("ms:30"));
    Bench::result(
        QStringLiteral("offers: slowest keystroke's whole search, \"%1\" (%2 saved)").arg(typed, saved),
        worstWhole, QStringLiteral("slowest same query bare"), worstBare, QString());
    return 0;
}
