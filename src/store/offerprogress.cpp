#include "offerprogress.h"

#include "store.h"

#include <QDir>

namespace
{
const QString DateFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");
} // namespace

OfferProgress::OfferProgress(Store *store)
    : m_store(store)
    , m_offers(store)
{
}

StoreResult<std::optional<int>> OfferProgress::orderOf(const OfferKey &key)
{
    const auto version = m_offers.storedSchemaVersion();
    if (!version)
        return version.error();
    if (*version < 2)
        return std::optional<int>(); // no revision of such a file became an order
    auto found = m_store->query(
        QStringLiteral("select order_id from offer_orders where number = ? and revision = ?"),
        { key.number, key.revision });
    if (!found)
        return StoreError::failed(
            QStringLiteral("The offers in %1 cannot be read: %2")
                .arg(QDir::toNativeSeparators(m_store->path()), m_store->lastError().text()));
    if (!found->moveFirst())
        return std::optional<int>();
    return std::optional<int>(found->field(QStringLiteral("order_id")).value_or(QVariant()).toInt());
}

StoreError OfferProgress::linkOrder(const OfferKey &key, int order, const QDateTime &when)
{
    if (StoreError refused = m_offers.ensureSchema(); refused.isValid())
        return refused;
    int linked = 0;
    const bool ok = m_store->inTransaction([&] {
        auto found = m_store->query(
            QStringLiteral("select order_id from offer_orders where number = ? and revision = ?"),
            { key.number, key.revision });
        if (!found)
            return false;
        if (found->moveFirst()) {
            linked = found->field(QStringLiteral("order_id")).value_or(QVariant()).toInt();
            return linked == order;
        }
        return m_store->execute(
            QStringLiteral("insert into offer_orders (number, revision, order_id, ordered_at)"
                           " values (?, ?, ?, ?)"),
            { key.number, key.revision, order, when.toString(DateFormat) });
    });
    if (ok)
        return {};
    if (linked != 0 && linked != order)
        return StoreError::failed(
            QStringLiteral("Offer %1/%2 is already order %3").arg(key.number).arg(key.revision).arg(linked));
    return StoreError::failed(
        QStringLiteral("Offer %1/%2 could not be marked as order %3 in %4: %5")
            .arg(key.number)
            .arg(key.revision)
            .arg(order)
            .arg(QDir::toNativeSeparators(m_store->path()), m_store->lastError().text()));
}

StoreResult<OfferStatus::Facts> OfferProgress::facts(const OfferKey &key)
{
    auto lines = m_offers.list(QString(), key.number, key.number);
    if (!lines)
        return lines.error();
    RecordSet &line = **lines;
    for (bool more = line.moveFirst(); more; more = line.moveNext()) {
        if (line.text(QStringLiteral("Revision")).value_or(QString()).toInt() == key.revision)
            return listedFacts(line);
    }
    return StoreError::failed(
        QStringLiteral("Offer %1/%2 is not among the saved offers.").arg(key.number).arg(key.revision));
}

OfferStatus::Facts listedFacts(const RecordSet &line)
{
    const auto text
        = [&](const char *column) { return line.text(QString::fromLatin1(column)).value_or(QString()); };
    OfferStatus::Facts facts;
    facts.validUntil = OfferStatus::validUntilOr(
        QDate::fromString(text("ValidUntil"), Qt::ISODate), QDate::fromString(text("Date"), Qt::ISODate));
    facts.given = !text("GivenAt").isEmpty();
    bool isNumber = false;
    const int order = text("OrderId").toInt(&isNumber);
    if (isNumber)
        facts.order = order;
    facts.laterTaken = text("LaterTaken").toInt() != 0;
    return facts;
}
