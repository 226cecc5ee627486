#include "pricelistexport.h"

#include "core/csvtext.h"
#include "store.h"

#include <QDir>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>

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
    // Read row by row: the list may be long, and nothing of it is kept.
    QSqlQuery q(store.database());
    q.setForwardOnly(true);
    const QString columns = QStringLiteral("select category, id, description, price from adt");
    q.prepare(category ? columns + QStringLiteral(" where category = ? order by id")
                       : columns + QStringLiteral(" where category <> ? order by category, id"));
    q.addBindValue(category ? *category : QStringLiteral("90"));
    if (!q.exec())
        return failed(QStringLiteral("The price list cannot be read: %1").arg(q.lastError().text()));
    QString chunk = QStringLiteral("\uFEFF")
        + CsvText::line({ QStringLiteral("category"), QStringLiteral("id"), QStringLiteral("description"),
            QStringLiteral("price") });
    int items = 0;
    const auto flush = [&] {
        const QByteArray bytes = chunk.toUtf8();
        chunk.clear();
        return file.write(bytes) == bytes.size();
    };
    while (q.next()) {
        chunk += CsvText::line(
            { q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString() });
        ++items;
        if (chunk.size() >= FlushAt && !flush())
            return failed(QStringLiteral("%1 could not be written: %2").arg(shown, file.errorString()));
    }
    if (q.lastError().isValid())
        return failed(QStringLiteral("The price list cannot be read: %1").arg(q.lastError().text()));
    if (!flush() || !file.commit())
        return failed(QStringLiteral("%1 could not be written: %2").arg(shown, file.errorString()));
    return { true, items, QString() };
}
