#include "pricelistexport.h"

#include "core/csvtext.h"
#include "core/supplierimport.h"
#include "itemcosttable.h"
#include "pricetable.h"
#include "store.h"

#include <QDir>
#include <QSaveFile>

namespace
{

constexpr qsizetype FlushAt = 1 << 20;

PriceListExport failed(const QString &why)
{
    return { false, 0, why };
}

} // namespace

PriceListExport exportPriceList(
    Store &store, const std::optional<QString> &category, const QString &path, bool withCosts)
{
    const QString shown = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(QStringLiteral("%1 cannot be written: %2").arg(shown, file.errorString()));
    QStringList header { QStringLiteral("category"), QStringLiteral("id"), QStringLiteral("description"),
        QStringLiteral("price") };
    if (withCosts)
        header << QStringLiteral("cost");
    QString chunk = QStringLiteral("\uFEFF") + CsvText::line(header);
    // Read before the items: a server answers one statement at a time. Only the rows' items have
    // costs (the editor and the import keep none for other categories).
    QHash<QString, QHash<QString, Price>> costs;
    if (withCosts) {
        QStringList categories;
        if (category)
            categories << *category;
        for (int row = 0; !category && row < SupplierImport::RowCount; ++row)
            categories << QString::number(row);
        for (const QString &name : std::as_const(categories)) {
            auto read = ItemCostTable(&store).readCategory(name);
            if (!read)
                return failed(QStringLiteral("The costs cannot be read: %1").arg(read.error().text()));
            costs.insert(name, *std::move(read));
        }
    }
    int items = 0;
    bool written = true;
    const auto flush = [&] {
        const QByteArray bytes = chunk.toUtf8();
        chunk.clear();
        return file.write(bytes) == bytes.size();
    };
    // Read row by row: the list may be long, and nothing of it is kept.
    const bool read = PriceTable(&store).readItems(category, [&](const PriceListItem &item) {
        QStringList fields { item.category, item.id, item.description.value_or(QString()),
            item.price.value_or(QString()) };
        if (withCosts) {
            const QHash<QString, Price> &known = costs[item.category];
            const auto cost = known.constFind(item.id);
            fields << (cost == known.cend() ? QString() : cost->text());
        }
        chunk += CsvText::line(fields);
        ++items;
        written = chunk.size() < FlushAt || flush();
        return written;
    });
    if (!read)
        return failed(QStringLiteral("The price list cannot be read: %1").arg(store.lastError().text()));
    if (!written)
        return failed(QStringLiteral("%1 could not be written: %2").arg(shown, file.errorString()));
    if (!flush() || !file.commit())
        return failed(QStringLiteral("%1 could not be written: %2").arg(shown, file.errorString()));
    return { true, items, QString() };
}
