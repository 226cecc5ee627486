#include "offerrepository.h"

#include "core/offermargins.h"

#include "offerschema.h"
#include "store.h"

#include <QDir>
#include <QLocale>
#include <QSet>
#include <QSysInfo>
#include <QVariant>

namespace
{

const QString Component = QStringLiteral("offers");
const QString DateFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

// A text that is empty is stored as the empty text, never as no value.
QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

QVariant nullable(const std::optional<QString> &value)
{
    return value ? text(*value) : QVariant(QMetaType(QMetaType::QString));
}

QString dateText(const QDateTime &when)
{
    return when.toString(DateFormat);
}

QDateTime dateOf(const QString &text)
{
    return QDateTime::fromString(text, DateFormat);
}

QString readOnlyMessage(const Store &store)
{
    return QStringLiteral("%1 cannot be written (it or its folder is read-only), so offers cannot be kept "
                          "in it.")
        .arg(QDir::toNativeSeparators(store.path()));
}

QString newerMessage(const Store &store, int version)
{
    return QStringLiteral("The offers in %1 were written by a newer version of the program (offer schema "
                          "%2; this one knows up to %3). They can be opened here but not changed, so "
                          "nothing is saved.")
        .arg(QDir::toNativeSeparators(store.path()))
        .arg(version)
        .arg(OfferRepository::SchemaVersion);
}

} // namespace

QString offerSearchText(int number, const Offer &offer)
{
    QStringList parts { QString::number(number), offer.client };
    for (int i = 0; i < Offer::RowCount; ++i) {
        if (!offer.row(i).itemId.isEmpty())
            parts << offer.row(i).itemId;
        if (!offer.row(i).description.isEmpty())
            parts << offer.row(i).description;
    }
    // A line break between the parts keeps a search from matching across two of them.
    return parts.join(QLatin1Char('\n')).toCaseFolded();
}

namespace
{

QString statusFactColumns()
{
    // A later revision counts when it was given or became an order: then this one is passed over.
    return QStringLiteral(
        "valid_until as \"ValidUntil\", given_at as \"GivenAt\", (select order_id from offer_orders o"
        " where o.number = offers.number and o.revision = offers.revision) as \"OrderId\","
        " case when exists (select 1 from offers later where later.number = offers.number and"
        " later.revision > offers.revision and (later.given_at is not null or exists (select 1 from"
        " offer_orders lo where lo.number = later.number and lo.revision = later.revision)))"
        " then 1 else 0 end as \"LaterTaken\"");
}

} // namespace

QString containsPattern(const QString &search)
{
    QString escaped;
    escaped.reserve(search.size() + 2);
    for (const QChar c : search.toCaseFolded()) {
        if (c == u'\\' || c == u'%' || c == u'_')
            escaped += u'\\';
        escaped += c;
    }
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

OfferRepository::OfferRepository(Store *store)
    : m_store(store)
{
}

StoreResult<int> OfferRepository::storedSchemaVersion()
{
    const auto unreadable = [this] {
        return StoreError::failed(
            QStringLiteral("The offers in %1 cannot be read: %2")
                .arg(QDir::toNativeSeparators(m_store->path()), m_store->lastError().text()));
    };
    // Asked through the store, so a lost server connection is told as such, not taken for a
    // database without offers.
    const auto present = m_store->hasTable(QStringLiteral("brasko_schema"));
    if (!present)
        return unreadable();
    if (!*present)
        return 0;
    auto found = m_store->query(
        QStringLiteral("select version from brasko_schema where component = ?"), { Component });
    if (!found)
        return unreadable();
    if (!found->moveFirst())
        return 0;
    return found->field(QStringLiteral("version")).value_or(QVariant(0)).toInt();
}

StoreError OfferRepository::ensureSchema()
{
    const auto version = storedSchemaVersion();
    if (!version)
        return version.error();
    if (*version > SchemaVersion)
        return StoreError::failed(newerMessage(*m_store, *version));
    if (*version == SchemaVersion)
        return {};
    if (!m_store->isWritable())
        return StoreError::failed(readOnlyMessage(*m_store));
    // Counters starting together on a fresh server take the steps in turn; the second finds them
    // taken.
    if (!m_store->ensureSchema(Component, offerSchemaSteps()))
        return StoreError::failed(
            QStringLiteral("The offer tables could not be made in %1: %2")
                .arg(QDir::toNativeSeparators(m_store->path()), m_store->lastError().text()));
    return {};
}

bool OfferRepository::hasStatusFacts()
{
    const auto version = storedSchemaVersion();
    return version && *version >= 2;
}

QString OfferRepository::writeProblem()
{
    const auto version = storedSchemaVersion();
    if (!version)
        return version.error().text();
    if (*version > SchemaVersion)
        return newerMessage(*m_store, *version);
    return m_store->isWritable() ? QString() : readOnlyMessage(*m_store);
}

bool OfferRepository::canSave()
{
    const auto version = storedSchemaVersion();
    return version && *version <= SchemaVersion && m_store->isWritable();
}

bool OfferRepository::insertOffer(
    const OfferKey &key, const Offer &offer, const QDateTime &savedAt, const QString &savedOn)
{
    const QDate validUntil = OfferStatus::validUntilOr(offer.validUntil, offer.date.date());
    if (!m_store->execute(QStringLiteral("insert into offers (number, revision, shop, client, seller,"
                                         " offer_date, total, saved_at, saved_on, search_text, valid_until,"
                                         " margin) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            { key.number, key.revision, text(offer.shop), text(offer.client), text(offer.seller),
                text(dateText(offer.date)), offer.totalText(), dateText(savedAt), text(savedOn),
                offerSearchText(key.number, offer), text(validUntil.toString(Qt::ISODate)),
                text(OfferMargins::shortText(offer)) }))
        return false;
    for (int i = 0; i < Offer::RowCount; ++i) {
        const OfferRow &r = offer.row(i);
        if (!m_store->execute(
                QStringLiteral(
                    "insert into offer_rows (number, revision, row_index, category, item_id,"
                    " description, amount_text, list_price, cost) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                { key.number, key.revision, i, text(r.category), text(r.itemId), text(r.description),
                    text(r.amountText()), nullable(Price::toColumn(r.listPrice)),
                    nullable(Price::toColumn(r.cost)) }))
            return false;
    }
    return true;
}

StoreResult<OfferKey> OfferRepository::save(
    const Offer &offer, std::optional<int> number, const QDateTime &savedAt, const QString &savedOn)
{
    return saveAs(offer, number, std::nullopt, savedAt, savedOn);
}

StoreResult<OfferKey> OfferRepository::saveFollowing(const Offer &offer,
    const std::optional<OfferKey> &follows, const QDateTime &savedAt, const QString &savedOn)
{
    return follows ? saveAs(offer, follows->number, follows->revision, savedAt, savedOn)
                   : saveAs(offer, std::nullopt, std::nullopt, savedAt, savedOn);
}

StoreResult<OfferKey> OfferRepository::saveAs(const Offer &offer, std::optional<int> number,
    std::optional<int> followsRevision, const QDateTime &savedAt, const QString &savedOn)
{
    m_newer.reset();
    if (StoreError refused = ensureSchema(); refused.isValid())
        return refused;
    if (!m_store->isWritable())
        return StoreError::failed(readOnlyMessage(*m_store));
    const QString computer = savedOn.isEmpty() ? QSysInfo::machineHostName() : savedOn;
    OfferKey key;
    QString refusal;
    StoreError unread;
    m_store->clearError();
    const bool ok = m_store->inTransaction([&] {
        // The counter row is written first in every save, so saves of several programs take turns
        // and two of them can never take the same number or revision.
        if (!m_store->execute(
                QStringLiteral("update offer_counter set next_number = next_number + ? where id = ?"),
                { number ? 0 : 1, 1 }))
            return false;
        if (number) {
            const auto latest = latestRevision(*number);
            if (!latest) {
                unread = latest.error(); // a list that cannot be read says nothing of the offer
                return false;
            }
            if (!*latest) {
                refusal = QStringLiteral("Offer %1 is not in %2, so it cannot get a new revision.")
                              .arg(*number)
                              .arg(QDir::toNativeSeparators(m_store->path()));
                return false;
            }
            const int newest = **latest;
            if (followsRevision && newest > *followsRevision) {
                // Read while the saves still take turns, so the newest is the one named.
                m_newer = savedRevision({ *number, newest });
                if (!m_newer)
                    return false;
                refusal
                    = QStringLiteral("Offer %1 has a newer revision than %2: revision %3, saved %4 on %5.")
                          .arg(*number)
                          .arg(*followsRevision)
                          .arg(newest)
                          .arg(QLocale().toString(m_newer->savedAt, QLocale::ShortFormat), m_newer->savedOn);
                return false;
            }
            key = { *number, newest + 1 };
        } else {
            auto counter
                = m_store->query(QStringLiteral("select next_number from offer_counter where id = ?"), { 1 });
            if (!counter || !counter->moveFirst())
                return false;
            key = { counter->field(QStringLiteral("next_number"))->toInt() - 1, 1 };
        }
        return insertOffer(key, offer, savedAt, computer) && (!m_alongside || m_alongside(key));
    });
    if (!ok)
        return StoreError::failed(!refusal.isEmpty()
                ? refusal
                : QStringLiteral("The offer could not be saved in %1: %2")
                      .arg(QDir::toNativeSeparators(m_store->path()),
                          (unread.isValid() ? unread : m_store->lastError()).text()));
    return key;
}

std::optional<SavedRevision> OfferRepository::savedRevision(const OfferKey &key)
{
    auto found = m_store->query(
        QStringLiteral("select saved_at, saved_on from offers where number = ? and revision = ?"),
        { key.number, key.revision });
    if (!found || !found->moveFirst())
        return std::nullopt;
    return SavedRevision { key, dateOf(found->text(QStringLiteral("saved_at")).value_or(QString())),
        found->text(QStringLiteral("saved_on")).value_or(QString()) };
}

StoreResult<std::optional<int>> OfferRepository::latestRevision(int number)
{
    auto found = m_store->query(
        QStringLiteral("select max(revision) as latest from offers where number = ?"), { number });
    if (!found)
        return m_store->lastError();
    if (!found->moveFirst())
        return std::optional<int>();
    const auto latest = found->field(QStringLiteral("latest"));
    if (!latest || latest->isNull())
        return std::optional<int>();
    return std::optional<int>(latest->toInt());
}

StoreResult<StoredOffer> OfferRepository::load(const OfferKey &key)
{
    const QString validUntil
        = hasStatusFacts() ? QStringLiteral("valid_until") : QStringLiteral("null as valid_until");
    auto head = m_store->query(QStringLiteral("select shop, client, seller, offer_date, total, saved_at,"
                                              " saved_on, ")
            + validUntil + QStringLiteral(" from offers where number = ? and revision = ?"),
        { key.number, key.revision });
    if (!head || !head->moveFirst())
        return StoreError::failed(head
                ? QStringLiteral("Offer %1 revision %2 is not in the file.").arg(key.number).arg(key.revision)
                : QStringLiteral("The offer could not be read: ") + m_store->lastError().text());
    StoredOffer stored;
    stored.key = key;
    const auto column = [](const RecordSet &rs, const char *name) {
        return rs.text(QString::fromLatin1(name)).value_or(QString());
    };
    stored.offer.shop = column(*head, "shop");
    stored.offer.client = column(*head, "client");
    stored.offer.seller = column(*head, "seller");
    stored.offer.date = dateOf(column(*head, "offer_date"));
    stored.offer.validUntil = OfferStatus::validUntilOr(
        QDate::fromString(column(*head, "valid_until"), Qt::ISODate), stored.offer.date.date());
    stored.total = column(*head, "total");
    stored.savedAt = dateOf(column(*head, "saved_at"));
    stored.savedOn = column(*head, "saved_on");
    auto rows = m_store->query(
        // Every column, so offers kept before rows had a cost read as rows without one.
        QStringLiteral("select * from offer_rows where number = ? and revision = ? order by row_index"),
        { key.number, key.revision });
    if (!rows)
        return StoreError::failed(
            QStringLiteral("The offer could not be read: ") + m_store->lastError().text());
    for (bool on = rows->moveFirst(); on; on = rows->moveNext()) {
        const int i = rows->field(QStringLiteral("row_index"))->toInt();
        if (i < 0 || i >= Offer::RowCount)
            continue;
        OfferRow &r = stored.offer.row(i);
        r.category = column(*rows, "category");
        r.itemId = column(*rows, "item_id");
        r.description = column(*rows, "description");
        r.setAmountText(column(*rows, "amount_text"));
        r.listPrice = Price::fromColumn(rows->text(QStringLiteral("list_price")));
        r.cost = Price::fromColumn(rows->text(QStringLiteral("cost")));
    }
    return stored;
}

StoreResult<std::unique_ptr<RecordSet>> OfferRepository::list(const QString &search)
{
    return list(search, 0, -1);
}

StoreResult<std::unique_ptr<RecordSet>> OfferRepository::list(const QString &search, int low, int high)
{
    const auto version = storedSchemaVersion();
    if (!version)
        return version.error();
    const auto listed = [this](std::unique_ptr<RecordSet> rs) -> StoreResult<std::unique_ptr<RecordSet>> {
        if (!rs)
            return StoreError::failed(
                QStringLiteral("The saved offers could not be read: ") + m_store->lastError().text());
        return rs;
    };
    if (*version == 0)
        return listed(m_store->query(
            QStringLiteral("select 0 as \"Number\", 0 as \"Revision\", '' as \"Date\", '' as \"Client\","
                           " '' as \"Seller\", '' as \"Total\", '' as \"ValidUntil\", '' as \"GivenAt\","
                           " 0 as \"OrderId\", 0 as \"LaterTaken\", '' as \"Margin\" where 1 = 0"),
            {}));
    QString statement = QStringLiteral("select number as \"Number\", revision as \"Revision\","
                                       " substr(offer_date, 1, 10) as \"Date\", client as \"Client\","
                                       " seller as \"Seller\", total as \"Total\", ")
        + (*version >= 2 ? statusFactColumns()
                         : QStringLiteral("null as \"ValidUntil\", null as \"GivenAt\", null as \"OrderId\","
                                          " 0 as \"LaterTaken\""))
        // Offers kept before their margin was have none to show.
        + (*version >= 3 ? QStringLiteral(", margin as \"Margin\"") : QStringLiteral(", null as \"Margin\""))
        + QStringLiteral(" from offers where 1 = 1");
    QVariantList values;
    if (high >= low) {
        statement += QStringLiteral(" and number >= ? and number <= ?");
        values << low << high;
    }
    if (!search.isEmpty()) {
        statement += QStringLiteral(" and search_text like ? escape '\\'");
        values << containsPattern(search);
    }
    statement += QStringLiteral(" order by number desc, revision desc");
    return listed(m_store->query(statement, values));
}

StoreResult<int> OfferRepository::highestNumber()
{
    const auto version = storedSchemaVersion();
    if (!version)
        return version.error();
    if (*version == 0)
        return 0;
    auto found = m_store->query(QStringLiteral("select max(number) as highest from offers"), {});
    if (!found || !found->moveFirst())
        return StoreError::failed(
            QStringLiteral("The saved offers could not be read: ") + m_store->lastError().text());
    const auto highest = found->field(QStringLiteral("highest"));
    return highest && !highest->isNull() ? highest->toInt() : 0;
}

StoreError OfferRepository::markGiven(const OfferKey &key, const QDateTime &when)
{
    if (StoreError refused = ensureSchema(); refused.isValid())
        return refused;
    if (!m_store->execute(QStringLiteral("update offers set given_at = ? where number = ? and revision = ?"
                                         " and given_at is null"),
            { when.toString(DateFormat), key.number, key.revision }))
        return StoreError::failed(
            QStringLiteral("Offer %1/%2 could not be marked as given in %3: %4")
                .arg(key.number)
                .arg(key.revision)
                .arg(QDir::toNativeSeparators(m_store->path()), m_store->lastError().text()));
    return {};
}

StoreResult<QStringList> OfferRepository::clients()
{
    const auto version = storedSchemaVersion();
    if (!version)
        return version.error();
    if (*version == 0)
        return QStringList();
    QStringList names;
    QSet<QString> seen;
    const bool read = m_store->readRows(
        QStringLiteral("select distinct client from offers"), {}, [&](const StreamedRow &row) {
            const QString name = row.value(0).toString().trimmed();
            if (!name.isEmpty() && !seen.contains(name)) {
                seen.insert(name);
                names << name;
            }
            return true;
        });
    if (!read)
        return StoreError::failed(
            QStringLiteral("The clients of the saved offers cannot be read: ") + m_store->lastError().text());
    return names;
}
