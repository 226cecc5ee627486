#include "offerwarningtable.h"

#include "store.h"

namespace
{

const QString Table = QStringLiteral("offer_warnings");

const QList<Store::SchemaStep> &schemaSteps()
{
    static const QList<Store::SchemaStep> steps {
        { { QStringLiteral("create table if not exists offer_warnings (number integer not null,"
                           " revision integer not null, position integer not null, warning text not null,"
                           " accepted integer not null, primary key (number, revision, position))") },
            {} },
    };
    return steps;
}

} // namespace

OfferWarningTable::OfferWarningTable(Store *store)
    : m_store(store)
{
}

bool OfferWarningTable::ensureSchema()
{
    return m_store->ensureSchema(Table, schemaSteps());
}

bool OfferWarningTable::write(const OfferKey &key, const QList<OfferWarning> &warnings)
{
    if (warnings.isEmpty())
        return true;
    return m_store->inTransaction([&] {
        // A revision is written once; what a failed save left behind is not its.
        if (!m_store->execute(QStringLiteral("delete from offer_warnings where number = ? and revision = ?"),
                { key.number, key.revision }))
            return false;
        for (qsizetype i = 0; i < warnings.size(); ++i) {
            if (!m_store->execute(QStringLiteral("insert into offer_warnings (number, revision, position,"
                                                 " warning, accepted) values (?, ?, ?, ?, ?)"),
                    { key.number, key.revision, int(i), warnings[i].text, warnings[i].accepted ? 1 : 0 }))
                return false;
        }
        return true;
    });
}

StoreResult<QList<OfferWarning>> OfferWarningTable::read(const OfferKey &key)
{
    const auto present = m_store->hasTable(Table);
    if (!present)
        return m_store->lastError();
    QList<OfferWarning> warnings;
    if (!*present)
        return warnings;
    auto found = m_store->query(QStringLiteral("select warning, accepted from offer_warnings"
                                               " where number = ? and revision = ? order by position"),
        { key.number, key.revision });
    if (!found)
        return m_store->lastError();
    for (bool more = found->moveFirst(); more; more = found->moveNext())
        warnings.append({ found->text(QStringLiteral("warning")).value_or(QString()),
            found->field(QStringLiteral("accepted")).value_or(QVariant(0)).toInt() != 0 });
    return warnings;
}
