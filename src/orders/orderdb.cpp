#include "orderdb.h"

#include "core/amount.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include <limits>

namespace OrderDb
{

namespace
{

    bool fits32(const Decimal &whole)
    {
        const std::optional<long long> v = whole.toInt64();
        return v && *v >= std::numeric_limits<qint32>::min() && *v <= std::numeric_limits<qint32>::max();
    }

} // namespace

QString dataSourceName()
{
    return QStringLiteral("IMS");
}

std::optional<QSqlDatabase> open(const QString &connectionName, QString *error)
{
    auto fail = [&](const QString &why) -> std::optional<QSqlDatabase> {
        if (error)
            *error = why;
        QSqlDatabase::removeDatabase(connectionName);
        return std::nullopt;
    };
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
        return fail(QStringLiteral("The ODBC database driver of Qt (QODBC) is not installed, so the order "
                                   "database \"%1\" cannot be reached.")
                        .arg(dataSourceName()));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName);
        db.setDatabaseName(dataSourceName());
        if (!db.open()) {
            const QString why = db.lastError().text();
            db = QSqlDatabase();
            return fail(QStringLiteral("The order database could not be opened through the ODBC data source "
                                       "\"%1\".\n\n%2")
                            .arg(dataSourceName(), why));
        }
        // Money columns arrive as their exact digits rather than as binary doubles.
        db.setNumericalPrecisionPolicy(QSql::HighPrecision);
        QStringList missing;
        for (const QString &table :
            { QStringLiteral("CUSTOMER"), QStringLiteral("ORDERS"), QStringLiteral("ORDERDETAIL") }) {
            if (!db.tables().contains(table, Qt::CaseInsensitive))
                missing << table;
        }
        if (!missing.isEmpty()) {
            db.close();
            db = QSqlDatabase();
            return fail(QStringLiteral("The ODBC data source \"%1\" was reached, but its database lacks the "
                                       "table(s) %2.")
                            .arg(dataSourceName(), missing.join(QStringLiteral(", "))));
        }
    }
    return QSqlDatabase::database(connectionName, false);
}

QString tableName(const QSqlDatabase &db, const QString &wanted)
{
    return tableName(db.tables(), wanted);
}

QString tableName(const QStringList &tables, const QString &wanted)
{
    for (const QString &t : tables) {
        if (t.compare(wanted, Qt::CaseInsensitive) == 0)
            return t;
    }
    return wanted;
}

QString refusedWriteMessage(const QString &why)
{
    return QStringLiteral("تعذر حفظ ما يلى فى قاعدة البيانات \"%1\":\n%2").arg(dataSourceName(), why);
}

std::optional<qint64> highestKey(const QSqlDatabase &db, const QString &table, const QString &keyColumn)
{
    return highestKey(db, table, db.record(table), keyColumn);
}

std::optional<qint64> highestKey(
    const QSqlDatabase &db, const QString &table, const QSqlRecord &columns, const QString &keyColumn)
{
    const QSqlDriver *driver = db.driver();
    const int at = columns.indexOf(keyColumn);
    const QString key
        = driver->escapeIdentifier(at >= 0 ? columns.fieldName(at) : keyColumn, QSqlDriver::FieldName);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT MAX(") + key + QStringLiteral(") FROM ")
            + driver->escapeIdentifier(table, QSqlDriver::TableName))
        || !q.next())
        return std::nullopt;
    if (q.value(0).isNull())
        return 0;
    bool ok = false;
    const qint64 highest = q.value(0).toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return highest;
}

std::optional<qint32> keyValue(QStringView text)
{
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const bool sign = i == 0 && (t[i] == u'-' || t[i] == u'+') && t.size() > 1;
        if (!sign && !(t[i] >= u'0' && t[i] <= u'9'))
            return std::nullopt;
    }
    bool ok = false;
    const qint32 v = t.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

std::optional<Decimal> lineTotal(
    QStringView unitPrice, QStringView quantity, QStringView discount, const QLocale &locale)
{
    const Decimal price = Amounts::leadingNumber(unitPrice, locale);
    const Decimal qty = Amounts::leadingNumber(quantity, locale);
    const Decimal disc = Amounts::leadingNumber(discount, locale);
    const Decimal line = (price * qty).roundedHalfEven();
    if (!fits32(line))
        return std::nullopt;
    // (1 - d/100) x line computed as (100 - d) x line / 100, so nothing is lost before the rounding.
    const Decimal hundred = Decimal::fromInt(100);
    const std::optional<Decimal> discounted
        = Decimal::divideRoundedHalfEven((hundred - disc) * line, hundred);
    if (!discounted || !fits32(*discounted))
        return std::nullopt;
    return discounted;
}

std::optional<Decimal> installmentPrice(
    const Decimal &orderTotal, QStringView depositText, const QLocale &locale)
{
    if (depositText.trimmed().isEmpty())
        return orderTotal;
    const std::optional<Decimal> deposit = Amounts::localeNumber(depositText, locale);
    if (!deposit)
        return std::nullopt;
    return orderTotal - *deposit;
}

QString currencySign()
{
    return QStringLiteral("ج.م.\u200F");
}

std::optional<QString> currencyText(const QString &value, const QLocale &locale)
{
    const std::optional<Decimal> d = Decimal::fromPlain(value.trimmed());
    if (!d)
        return std::nullopt;
    const std::optional<long long> cents = (*d * Decimal::fromInt(100)).roundedHalfEven().toInt64();
    if (!cents)
        return std::nullopt;
    const bool negative = *cents < 0;
    const unsigned long long magnitude
        = negative ? 0ULL - static_cast<unsigned long long>(*cents) : static_cast<unsigned long long>(*cents);
    const QString whole = QString::number(magnitude / 100);
    QString grouped;
    const QString group = locale.groupSeparator();
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            grouped += group;
        grouped += whole[i];
    }
    const QString fraction = QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
    return currencySign() % QLatin1Char(' ') % (negative ? locale.negativeSign() : QString()) % grouped
        % locale.decimalPoint() % fraction;
}

std::optional<Decimal> currencyValue(QStringView text, const QLocale &locale)
{
    QString rest = text.toString();
    rest.remove(currencySign());
    rest.remove(QStringLiteral("ج.م."));
    rest.remove(QChar(0x200F));
    const std::optional<Decimal> value = Amounts::localeNumber(rest.trimmed(), locale);
    // The order database keeps money as Access's Currency: a whole number of ten-thousandths in
    // 64 bits. A larger amount would be cut or refused by the driver, or break the programs that
    // read the file.
    static const Decimal largest = *Decimal::fromPlain(u"922337203685477.5807");
    if (!value || largest < *value || *value < -largest)
        return std::nullopt;
    return value;
}

} // namespace OrderDb
