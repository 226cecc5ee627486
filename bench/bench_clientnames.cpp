// Known customers at the counter: every keystroke of a client typed into the client box, over the
// clients of `offers` saved offers and `customers` customers of the order database, beside a
// plain case-insensitive "contains" over the same names (no accents or Arabic letter forms
// folded). Also the time to take in all the names, once per window.
//
//   bench_clientnames [customers=50000] [offers=100000] [runs=15]
#include "benchutil.h"

#include "core/clientnames.h"

#include <QLocale>
#include <QStringList>
#include <QStringListModel>

namespace
{

const char *const First[] = { "Karim", "Mona", "Ahmed", "Sara", "Omar", "Laila", "Youssef", "Nour", "Hany",
    "Dina", "أحمد", "محمود", "فاطمة", "مصطفى", "إيمان", "عمرو" };
const char *const Last[] = { "Nabil", "Haddad", "Mahmoud", "Fathy", "Ezz", "Salem", "Gaber", "Hassan",
    "السيد", "عبد الله", "الشريف", "منصور" };

QString name(int n)
{
    return QStringLiteral("%1 %2 %3")
        .arg(QString::fromUtf8(First[n % 16]), QString::fromUtf8(Last[(n / 16) % 12]))
        .arg(1000000 + n * 7);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int customers = argc > 1 ? std::max(1, atoi(argv[1])) : 50000;
    const int offers = argc > 2 ? std::max(1, atoi(argv[2])) : 100000;
    const int runs = argc > 3 ? std::max(3, atoi(argv[3])) : 15;
    // Offers are made for customers and for walk-in clients alike: half the offers' clients are
    // customers' names again.
    QStringList all;
    for (int i = 0; i < offers; ++i)
        all << name(i % 2 ? i % customers : customers + i);
    for (int i = 0; i < customers; ++i)
        all << name(i);

    ClientNames names;
    const double load = Bench::medianMs(3, [&] {
        names.clear();
        for (const QString &n : all)
            names.add(n);
    });
    QStringList plain = all;
    plain.removeDuplicates();

    QStringListModel shown; // what the list under the box is handed
    const QString typed = QStringLiteral("karim nabil 100");
    double worst = 0;
    double worstPlain = 0;
    for (int k = 1; k <= typed.size(); ++k) {
        const QString prefix = typed.left(k);
        const double key = Bench::medianMs(
            runs, [&] { names.matching(prefix.left(k - 1), 12); },
            [&] { shown.setStringList(names.matching(prefix, 12)); });
        const double bare = Bench::medianMs(runs, [&] {
            QStringList found;
            for (const QString &n : plain) {
                if (n.contains(prefix, Qt::CaseInsensitive) && found.size() < 12)
                    found << n;
            }
            shown.setStringList(found);
        });
        worst = std::max(worst, key);
        worstPlain = std::max(worstPlain, bare);
    }
    const QString many
        = QStringLiteral("%1 customers, %2 offers")
              .arg(QLocale(QLocale::English).toString(customers), QLocale(QLocale::English).toString(offers));
    Bench::result(QStringLiteral("client completion: slowest keystroke (%1)").arg(many), worst,
        QStringLiteral("plain case-insensitive contains, unfolded"), worstPlain, QStringLiteral("ms:16"));
    Bench::result(QStringLiteral("client completion: take in %1 names once (%2)").arg(names.size()).arg(many),
        load, QStringLiteral("plain contains, one keystroke"), worstPlain);
    return 0;
}
