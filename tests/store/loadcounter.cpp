// One counter of the load test, as a process of its own: saves offers and changes prices on the
// shared server as fast as it can, interleaved, through what the windows use: the price is changed
// as the editor changes it (looked up, then PriceHistory::updateIfUnchanged with what was seen,
// then the price-list date stamped), and told changes are tried again with what the list holds
// now, as the person does after the editor's message.
//   loadcounter ADDRESS COUNTER COUNT ITEMS
// Output: one line "offer N" per saved offer, "price ID NEW" per price change that was written,
// "told ID" per change refused because another counter changed the item first (then tried
// again), "error TEXT" per failure (the date stamp included); exit code 0 when every action was
// done.
//   loadcounter ADDRESS change ID PRICE
// Changes the price of item ID of category 0 once, as the editor does, and prints "done", or
// "busy TEXT" when it was refused because another counter holds the list or the item, or
// "error TEXT".
#include "store/offerrepository.h"
#include "store/pricehistory.h"
#include "store/pricelistrepository.h"
#include "store/store.h"

#include <QCoreApplication>
#include <QTextStream>

namespace
{

int changeOnce(Store &store, const QString &id, const QString &price)
{
    QTextStream out(stdout);
    PriceListRepository prices(&store);
    const auto read = prices.item(QStringLiteral("0"), id);
    if (!read || !*read) {
        out << "error " << read.error().text() << "\n";
        return 1;
    }
    const PriceListItem &seen = **read;
    const CheckedChange change = PriceHistory(&store).updateIfUnchanged(
        seen, { QStringLiteral("0"), id, seen.description, price }, QDateTime::currentDateTime());
    if (change.outcome == CheckedChange::Outcome::Done) {
        prices.stampDate(QDateTime::currentDateTime());
        out << "done\n";
        return 0;
    }
    out << (change.error.isBusy() ? "busy " : "error ") << change.error.text() << "\n";
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    if (args.at(2) == QLatin1String("change")) {
        Store store(args.at(1), QStringLiteral("load"));
        if (!store.open()) {
            QTextStream(stdout) << "error " << store.lastError().text() << "\n";
            return 1;
        }
        return changeOnce(store, args.at(3), args.at(4));
    }
    const QString counter = args.at(2);
    const int count = args.at(3).toInt();
    const int items = args.at(4).toInt();
    QTextStream out(stdout);
    Store store(args.at(1), QStringLiteral("load"));
    if (!store.open()) {
        out << "error " << store.lastError().text() << "\n";
        return 1;
    }
    OfferRepository offers(&store);
    PriceListRepository prices(&store);
    PriceHistory history(&store);
    int failures = 0;
    const auto failed = [&](const QString &what) {
        out << "error " << what << "\n";
        ++failures;
    };
    for (int i = 0; i < count; ++i) {
        Offer offer;
        offer.client = QStringLiteral("counter %1 offer %2").arg(counter).arg(i);
        offer.pickItem(0, QStringLiteral("I%1").arg(i % items), QStringLiteral("Item"), QStringLiteral("1"));
        if (const auto key = offers.save(offer, std::nullopt, QDateTime::currentDateTime(), counter))
            out << "offer " << key->number << "\n";
        else
            failed(key.error().text());
        const QString id = QStringLiteral("I%1").arg((i * 7 + counter.toInt()) % items);
        // Every price written anywhere is a number of its own, so the history's chain of each item
        // can be followed from price to price.
        const QString price = QStringLiteral("%1%2.00").arg(counter).arg(i, 5, 10, QLatin1Char('0'));
        const auto read = prices.item(QStringLiteral("0"), id);
        if (!read || !*read) {
            failed(read.error().text());
            continue;
        }
        std::optional<PriceListItem> seen = *read;
        for (int attempt = 0; attempt < 50; ++attempt) {
            const CheckedChange change = history.updateIfUnchanged(
                *seen, { QStringLiteral("0"), id, seen->description, price }, QDateTime::currentDateTime());
            if (change.outcome == CheckedChange::Outcome::Done) {
                out << "price " << id << " " << price << "\n";
                if (const StoreError stamp = prices.stampDate(QDateTime::currentDateTime()); stamp.isValid())
                    failed(QStringLiteral("stamp: ") + stamp.text());
                break;
            }
            if (change.outcome != CheckedChange::Outcome::ChangedMeanwhile) {
                failed(change.error.text());
                break;
            }
            out << "told " << id << "\n";
            seen = change.current;
        }
    }
    return failures == 0 ? 0 : 1;
}
