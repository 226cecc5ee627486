#include "importtexts.h"

#include "core/price.h"

namespace
{

// "1000 → 1100 (+10.0%)": a cost as the preview shows its change; a new one alone.
QString costChange(const ImportChange &c)
{
    if (!c.costChanges)
        return QString();
    const Price after = Price::fromStored(*c.item.cost);
    if (!c.oldCost)
        return after.text();
    const Price before = Price::fromStored(*c.oldCost);
    const QString percent = Price::percentChange(before, after);
    return Price::changeText(before, after)
        + (percent.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(percent));
}

// The price's change as the Change column tells it, with what became of a price set by hand.
QString priceChange(const ImportChange &c, const QString &change)
{
    switch (c.handSet) {
    case HandSetPrice::Kept:
        return QStringLiteral("hand-set, kept");
    case HandSetPrice::Repriced:
        return QStringLiteral("%1 (hand-set)").arg(change);
    case HandSetPrice::No:
        break;
    }
    return change;
}

ImportTexts::PreviewRow changedRow(const ImportSession &session, const ImportChange &c)
{
    const QString oldPrice = c.oldPrice.value_or(QString());
    const Price before = Price::fromStored(oldPrice);
    const Price after = Price::fromStored(c.item.price);
    // A price ten times what it was is more often a misread sign than a new price: marked.
    const QString factor = Price::tenfold(before, after);
    const QString percent = Price::percentChange(before, after);
    ImportTexts::PreviewRow row {
        { QStringLiteral("Changed"), session.categoryShown(c.item.category), c.item.id,
            c.item.description ? *c.item.description : QStringLiteral("(unchanged)"), oldPrice, c.item.price,
            priceChange(c, factor.isEmpty() ? percent : QString(factor + u' ' + percent).trimmed()),
            costChange(c) },
        ImportTexts::PreviewRow::Mark::None
    };
    if (!factor.isEmpty())
        row.mark = ImportTexts::PreviewRow::Mark::Tenfold;
    else if (c.handSet != HandSetPrice::No)
        row.mark = ImportTexts::PreviewRow::Mark::HandSet;
    return row;
}

QString shownItem(const std::optional<PriceListItem> &item, const QString &none)
{
    return item ? QStringLiteral("\"%1\" at %2")
                      .arg(item->description.value_or(QString()), item->price.value_or(QString()))
                : none;
}

} // namespace

namespace ImportTexts
{

QList<PreviewRow> previewRows(const ImportSession &session, int limit)
{
    QList<PreviewRow> rows;
    if (!session.preview())
        return rows;
    const ImportPreview &p = *session.preview();
    for (size_t i = 0; i < p.changedCount() && rows.size() < limit; ++i)
        rows.append(changedRow(session, p.changed(i)));
    for (size_t i = 0; i < p.addedCount() && rows.size() < limit; ++i) {
        const SupplierImport::Item item = p.added(i);
        rows.append({ { QStringLiteral("New"), session.categoryShown(item.category), item.id,
            item.description.value_or(QString()), QString(), item.price, QString(),
            item.cost.value_or(QString()) } });
    }
    for (size_t i = 0; i < p.missingCount() && rows.size() < limit; ++i) {
        const PriceListItem item = p.missing(i);
        rows.append({ { QStringLiteral("No longer listed"), session.categoryShown(item.category), item.id,
            item.description.value_or(QString()), item.price.value_or(QString()), QString(), QString(),
            QString() } });
    }
    return rows;
}

QString summary(const ImportSession &session)
{
    if (!session.preview())
        return QString();
    const ImportPreview &p = *session.preview();
    const SupplierImport::Reading &reading = session.reading();
    const qint64 bad = reading.problemCount;
    const qsizetype marked = session.tenfoldCount();
    QString text;
    if (session.changesNothing() && bad == 0) {
        text = QStringLiteral("No changes.");
    } else {
        text = QStringLiteral("%1 new, %2 changed, %3 unchanged, %4 no longer listed (%5).")
                   .arg(p.addedCount())
                   .arg(p.changedCount())
                   .arg(p.unchanged())
                   .arg(p.missingCount())
                   .arg(session.removeMissing() ? QStringLiteral("removed") : QStringLiteral("kept"));
        if (bad > 0)
            text += (bad == 1 ? QStringLiteral(" 1 line cannot be read")
                              : QStringLiteral(" %1 lines cannot be read").arg(bad))
                + QStringLiteral(" (listed below); correct the file to import it.");
        if (marked > 0)
            text += marked == 1
                ? QStringLiteral(" Check the marked price: it changes tenfold or more.")
                : QStringLiteral(" Check the %1 marked prices: they change tenfold or more.").arg(marked);
    }
    if (p.handSetCount() == 1)
        text += session.repriceHandSet()
            ? QStringLiteral(" 1 list price set by hand is re-priced by the markup.")
            : QStringLiteral(" 1 list price set by hand is kept (marked).");
    else if (p.handSetCount() > 1)
        text += (session.repriceHandSet()
                ? QStringLiteral(" %1 list prices set by hand are re-priced by the markup.")
                : QStringLiteral(" %1 list prices set by hand are kept (marked)."))
                    .arg(p.handSetCount());
    if (!reading.attributes.isEmpty())
        text += reading.attributes.size() == 1
            ? QStringLiteral(" Attributes are kept for 1 item.")
            : QStringLiteral(" Attributes are kept for %1 items.").arg(reading.attributes.size());
    if (reading.leftOut > 0)
        text += reading.leftOut == 1
            ? QStringLiteral(" 1 line passed over: its category is left out.")
            : QStringLiteral(" %1 lines passed over: their categories are left out.").arg(reading.leftOut);
    return text;
}

QStringList problems(const SupplierImport::Reading &reading)
{
    QStringList lines;
    for (const SupplierFile::Problem &p : reading.problems)
        lines << QStringLiteral("Line %1: %2").arg(p.line).arg(p.reason);
    if (reading.problemCount > reading.problems.size())
        lines << QStringLiteral("... and %1 more lines that cannot be read.")
                     .arg(reading.problemCount - reading.problems.size());
    lines << reading.notes;
    if (reading.noteCount > reading.notes.size())
        lines << QStringLiteral("... and %1 more ids listed twice.")
                     .arg(reading.noteCount - reading.notes.size());
    return lines;
}

QStringList changedMeanwhile(const ImportSession &session)
{
    QStringList lines;
    for (const ImportConflict &c : session.changedMeanwhile())
        lines << QStringLiteral("%1 %2: the preview saw %3, the list now holds %4.")
                     .arg(session.categoryShown(c.category), c.id,
                         shownItem(c.seen, QStringLiteral("no such item")),
                         shownItem(c.now, QStringLiteral("none (deleted)")));
    return lines;
}

QString decimalQuestion(const QString &sample)
{
    // A reading of the price as the price field would show it.
    const auto reading = [&sample](SupplierImport::DecimalSign sign) {
        const PriceReading read = Price::fromSupplier(sample, sign);
        return read.ok() ? read.price->text() : QString();
    };
    const auto way = [](const QString &value, const char *sign) {
        return value.isEmpty() ? QStringLiteral("is no price with a decimal %1").arg(QLatin1String(sign))
                               : QStringLiteral("%1 with a decimal %2").arg(value, QLatin1String(sign));
    };
    return QStringLiteral("\"%1\" reads %2, or %3: choose the decimal sign.")
        .arg(sample.left(40), way(reading(SupplierImport::DecimalSign::Comma), "comma"),
            way(reading(SupplierImport::DecimalSign::Point), "point"))
        .replace(QLatin1String("reads is no"), QLatin1String("is no"));
}

} // namespace ImportTexts
