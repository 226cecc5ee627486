#include "pricelistexport.h"

#include "core/csvtext.h"
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

PriceListExport exportPriceList(Store &store, const std::optional<QString> &category, const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(QStringLiteral("%1 cannot be written: %2").arg(shown, file.errorString()));
    QString chunk = QStringLiteral("\uFEFF")
        + CsvText::line({ QStringLiteral("category"), QStringLiteral("id"), QStringLiteral("description"),
            QStringLiteral("price") });
    int items = 0;
    bool written = true;
    const auto flush = [&] {
        const QByteArray bytes = chunk.toUtf8();
        chunk.clear();
        return file.write(bytes) == bytes.size();
    };
    // Read row by row: the list may be long, and nothing of it is kept.
    const bool read = PriceTable(&store).readItems(category, [&](const PriceListItem &item) {
        chunk += CsvText::line(
            { item.category, item.id, item.description.value_or(QString()), item.price.value_or(QString()) });
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
