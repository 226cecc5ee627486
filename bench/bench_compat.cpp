// The fitting rules where people wait: every rule on a full offer after each change (beside the
// offer's total, which every change already works out), "Fits" over a long list (beside a search
// of the same list), and in an open picker: the toggle and a key typed with it on (beside the same
// key without it), and asking once how every item fits as the list is read (beside reading its
// texts for search); and guessing attributes from as many descriptions (beside folding them for
// search, which opening the list already does).
//
//   bench_compat [count=100000] [runs=9]
#include "benchutil.h"

#include "core/compatibility.h"
#include "core/offer.h"
#include "core/searchtext.h"

#include "widgets/pickerfilter.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QHash>

#include <limits>
#include <vector>

namespace
{

QString description(int i)
{
    static const char *const models[] = { "AMD Ryzen 5 7600 AM5 65W", "Intel Core i5-13400F 65W",
        "Ryzen 7 5700X AM4 65W", "Core Ultra 7 265K 125W" };
    return QStringLiteral("%1 boxed, item %2").arg(QLatin1String(models[i % 4])).arg(i);
}

Compatibility::Parts fullOffer()
{
    Compatibility::Parts parts;
    const auto set = [&](int row, std::initializer_list<std::pair<Attribute, const char *>> values) {
        PartAttributes attributes;
        for (const auto &[attribute, text] : values)
            attributes.set(attribute, *readAttribute(attribute, QString::fromLatin1(text)).value);
        parts[row] = attributes;
    };
    set(0, { { Attribute::Socket, "AM5" }, { Attribute::MemoryTypes, "DDR5" }, { Attribute::Power, "65" } });
    set(1,
        { { Attribute::Socket, "AM5" }, { Attribute::MemoryType, "DDR5" }, { Attribute::MemorySlots, "4" },
            { Attribute::FormFactor, "ATX" }, { Attribute::M2Slots, "2" }, { Attribute::SataPorts, "4" } });
    set(2, { { Attribute::MemoryType, "DDR5" }, { Attribute::Modules, "2" } });
    set(4, { { Attribute::Interface, "M.2 NVMe" } });
    set(5, { { Attribute::Length, "300" }, { Attribute::Power, "220" } });
    set(7, { { Attribute::Interface, "SATA" } });
    set(12,
        { { Attribute::CaseForms, "ATX, Micro-ATX" }, { Attribute::CardClearance, "330" },
            { Attribute::CaseSupply, "none" } });
    set(16, { { Attribute::SupplyPower, "650" } });
    return parts;
}

// A picker's list as it has been read: ids and descriptions.
class ListModel final : public QAbstractTableModel
{
public:
    ListModel(std::vector<QString> ids, const std::vector<QString> &descriptions)
        : m_ids(std::move(ids))
        , m_descriptions(descriptions)
    {
    }
    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_ids.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 2; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        const auto row = static_cast<size_t>(index.row());
        return index.column() == 0 ? m_ids[row] : m_descriptions[row];
    }

private:
    std::vector<QString> m_ids;
    const std::vector<QString> &m_descriptions;
};

// Reads the whole list into the filter, as an open picker does a part at a time.
void readWhole(PickerFilter &filter, QAbstractItemModel *list)
{
    filter.forget();
    filter.prepare(list);
    while (!filter.isPrepared())
        filter.prepareSome(std::numeric_limits<qint64>::max());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 9;
    const QString items = QLocale(QLocale::English).toString(count);

    Offer offer;
    for (int row = 0; row < Offer::RowCount; ++row)
        offer.row(row).setAmountText(QString::number(1000 + row * 37));
    const Compatibility::Parts parts = fullOffer();
    int problems = 0;
    const double rules
        = Bench::medianMs(runs, [&] { problems += Compatibility::check(parts).problems.size(); });
    const double total = Bench::medianMs(runs, [&] { problems += offer.totalText().isEmpty() ? 1 : 0; });
    Bench::result(QStringLiteral("every fitting rule on a full offer"), rules,
        QStringLiteral("the offer's total"), total, QStringLiteral("ms:1"));

    std::vector<QString> descriptions;
    descriptions.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        descriptions.push_back(description(i));
    std::vector<PartAttributes> guessed(descriptions.size());
    const double guessing = Bench::medianMs(1, [&] {
        for (size_t i = 0; i < descriptions.size(); ++i)
            guessed[i] = guessAttributes(PartKind::Processor, descriptions[i]);
    });
    // As if a person had accepted every guess: a rule never uses one that is not.
    for (PartAttributes &attributes : guessed)
        attributes.acceptAll();
    SearchIndex index;
    const double folding = Bench::medianMs(1, [&] {
        index.clear();
        for (size_t i = 0; i < descriptions.size(); ++i)
            index.add(QString::number(i), descriptions[i]);
    });
    Bench::result(QStringLiteral("guess attributes from %1 descriptions").arg(items), guessing,
        QStringLiteral("folding them for search"), folding, QStringLiteral("ms:2000"));

    // The list reads each item's facts once, as it folds each for search.
    std::vector<Compatibility::Facts> facts;
    facts.reserve(guessed.size());
    for (const PartAttributes &attributes : guessed)
        facts.emplace_back(attributes);
    int fitting = 0;
    const double fits = Bench::medianMs(runs, [&] {
        const Compatibility::Fitting fitting0(parts, 0);
        fitting = 0;
        for (const Compatibility::Facts &candidate : facts)
            fitting += fitting0.fits(candidate) ? 1 : 0;
    });
    // Two queries in turn, so that neither is answered from the one before.
    bool ryzen = false;
    const double find = Bench::medianMs(runs, [&] {
        ryzen = !ryzen;
        problems
            += static_cast<int>(index.find(ryzen ? QStringLiteral("ryzen") : QStringLiteral("core")).size());
    });
    if (fitting == 0 || fitting == count)
        qFatal("every item or none fits: %d", fitting);
    Bench::result(QStringLiteral("\"Fits\" over %1 processors").arg(items), fits,
        QStringLiteral("a search of the same list"), find, QStringLiteral("ms:16"));

    // The open picker: every item's facts come from one read of the category, and how each fits
    // is asked once, as the list is read; the toggle and every key then only look the answers up.
    std::vector<QString> ids;
    QHash<QString, Compatibility::Facts> byId;
    for (size_t i = 0; i < facts.size(); ++i) {
        ids.push_back(QStringLiteral("P%1").arg(i));
        // One in ten without attributes: shown in doubt.
        if (i % 10 != 0)
            byId.insert(ids.back(), facts[i]);
    }
    ListModel list(ids, descriptions);
    const Compatibility::Fitting fitting0(parts, 0);
    const FitCheck check = [&](const QString &id) {
        static const Compatibility::Facts none;
        const auto it = byId.constFind(id);
        switch (fitting0.verdict(it == byId.cend() ? none : *it)) {
        case Compatibility::Fitting::Verdict::Fits:
            return ItemFit::Fits;
        case Compatibility::Fitting::Verdict::Unsure:
            return ItemFit::Unsure;
        default:
            return ItemFit::DoesNotFit;
        }
    };
    PickerFilter filter;
    const double reading = Bench::medianMs(3, [&] { readWhole(filter, &list); });
    const double readingFits = Bench::medianMs(3, [&] {
        readWhole(filter, &list);
        filter.setFitCheck(check);
    });
    Bench::result(QStringLiteral("how %1 picker items fit, asked once as the list is read").arg(items),
        readingFits - reading, QStringLiteral("reading their texts for search"), reading, QString());
    // Turned on over the whole list, from off.
    const double toggle = Bench::medianMs(
        runs,
        [&] {
            filter.setFitsOnly(false);
            filter.apply(&list, QString());
        },
        [&] {
            filter.setFitsOnly(true);
            filter.apply(&list, QString());
        });
    problems += filter.model()->rowCount();
    filter.setFitsOnly(false);
    const double plainKey = Bench::medianMs(runs, [&] {
        ryzen = !ryzen;
        filter.apply(&list, ryzen ? QStringLiteral("ryzen") : QStringLiteral("core"));
    });
    Bench::result(QStringLiteral("\"Fits\" toggled in a %1-item picker").arg(items), toggle,
        QStringLiteral("a key typed there"), plainKey, QStringLiteral("ms:16"));
    filter.setFitsOnly(true);
    int shownFitting = 0;
    const double fitsKey = Bench::medianMs(runs, [&] {
        ryzen = !ryzen;
        filter.apply(&list, ryzen ? QStringLiteral("ryzen") : QStringLiteral("core"));
        shownFitting += filter.model()->rowCount();
    });
    if (shownFitting == 0)
        qFatal("nothing fits in the picker");
    Bench::result(QStringLiteral("a key typed in a %1-item picker with \"Fits\" on").arg(items), fitsKey,
        QStringLiteral("the same without"), plainKey, QStringLiteral("ms:16"));
    return problems < 0 ? 1 : 0;
}
