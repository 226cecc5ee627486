#include "adtstatements.h"

#include "core/amount.h"
#include "store.h"

#include <QLocale>

#include <cmath>

namespace AdtStatements
{

QString list(const QString &cat)
{
    return QLatin1String("select id as [ID],description as [Description],price as [Price] from adt ")
        + QLatin1String(" where Category  = '") + Store::text(cat) + QLatin1String("'");
}

QString lookup(const QString &cat, const QString &id)
{
    return QLatin1String("select description,price,rowid from adt ") + QLatin1String(" where category = '")
        + Store::text(cat) + QLatin1String("' and id ='") + Store::text(id) + QLatin1String("'");
}

QString insert(const QString &cat, const QString &id, const QString &description, const QString &price)
{
    return QLatin1String("insert into adt (category,id,description,price) values ('") + Store::text(cat)
        + QLatin1String("','") + Store::text(id) + QLatin1String("','") + Store::text(description)
        + QLatin1String("','") + Store::text(price) + QLatin1String("')");
}

QString update(const QString &cat, const QString &id, const QString &description, const QString &price)
{
    return QLatin1String("update adt set id = '") + Store::text(id) + QLatin1String("',description")
        + QLatin1String("='") + Store::text(description) + QLatin1String("',price") + QLatin1String("='")
        + Store::text(price) + QLatin1String("' ") + QLatin1String(" where id = '") + Store::text(id)
        + QLatin1String("' and category = '") + Store::text(cat) + QLatin1String("'");
}

QString remove(const QString &cat, const QString &id, std::optional<qint64> rowid)
{
    const QString row
        = rowid ? QLatin1String("rowid = ") + QString::number(*rowid) + QLatin1String(" and ") : QString();
    return QLatin1String("delete * from adt where ") + row + QLatin1String("id = '") + Store::text(id)
        + QLatin1String("' and category = '") + Store::text(cat) + QLatin1String("'");
}

} // namespace AdtStatements

namespace PriceText
{

std::optional<QString> general(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    // 15 significant digits is what a double holds faithfully: 12.345 stays 12.345, not
    // 12.3449999999999997.
    const auto exact = Decimal::fromPlain(QString::number(value, 'g', 15));
    if (!exact)
        return std::nullopt;
    return exact->plainText(QLocale::c());
}

std::optional<double> cutToCents(double value)
{
    const auto text = general(value);
    if (!text)
        return std::nullopt;
    const auto cut = Amounts::localeNumber(FormatAmount(*text, QLocale::c()), QLocale::c());
    if (!cut)
        return std::nullopt;
    return cut->toDouble();
}

double read(const QString &stored)
{
    return Amounts::leadingNumber(stored, QLocale::c()).toDouble();
}

QString shown(const QString &stored)
{
    if (const auto exact = Decimal::fromPlain(stored.trimmed()))
        return exact->exactText();
    const Amounts::Reading r = Amounts::readLeadingAmount(stored, QLocale::c());
    return r.ok() ? r.value.exactText() : stored;
}

namespace
{

    Entry check(const QString &typed, const QLocale &locale, bool cut)
    {
        Entry e;
        const Amounts::Reading r = Amounts::readAmount(typed, locale);
        if (r.status == Amounts::Status::OutOfRange) {
            e.message = Amounts::outOfRangeMessage(QStringLiteral("Price"), typed);
        } else if (!r.ok()) {
            e.message = typed.trimmed().isEmpty()
                ? QStringLiteral("Price: enter a price (0 for none).")
                : QStringLiteral("Price: \"%1\" is not a number. Type a price such as 1250 or 12.50.")
                      .arg(typed.trimmed().left(40));
        } else {
            e.ok = true;
            // Cut, not rounded: 12.345 becomes 12.34; read back so trailing zeros go (12.5, 12).
            const Decimal value = cut ? *Decimal::fromPlain(Amounts::amountText(r.value)) : r.value;
            e.stored = value.exactText();
        }
        return e;
    }

} // namespace

Entry forAdd(const QString &typed, const QLocale &locale)
{
    return check(typed, locale, false);
}

Entry forUpdate(const QString &typed, const QLocale &locale)
{
    return check(typed, locale, true);
}

} // namespace PriceText
