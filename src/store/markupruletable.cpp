#include "markupruletable.h"

#include "store.h"

namespace
{

const QString Table = QStringLiteral("markup_rules");
const QString DefaultCategory = QStringLiteral("*");

const QList<Store::SchemaStep> &schemaSteps()
{
    static const QList<Store::SchemaStep> steps {
        { { QStringLiteral("create table if not exists markup_rules (category text primary key,"
                           " markup text not null, step text not null)") },
            {} },
    };
    return steps;
}

bool sameRules(const Markup::Rules &a, const Markup::Rules &b)
{
    return a.defaultRule == b.defaultRule && a.owned() == b.owned();
}

} // namespace

MarkupRuleTable::MarkupRuleTable(Store *store)
    : m_store(store)
{
}

StoreResult<Markup::Rules> MarkupRuleTable::read()
{
    const auto present = m_store->hasTable(Table);
    if (!present)
        return m_store->lastError();
    Markup::Rules rules;
    if (!*present)
        return rules;
    auto found = m_store->query(QStringLiteral("select category, markup, step from markup_rules"), {});
    if (!found)
        return m_store->lastError();
    for (bool more = found->moveFirst(); more; more = found->moveNext()) {
        const auto percent = Decimal::fromPlain(found->text(QStringLiteral("markup")).value_or(QString()));
        const auto step = Markup::stepFromText(found->text(QStringLiteral("step")).value_or(QString()));
        // A rule that does not read as one is refused as a whole rather than half applied.
        if (!percent || !step) {
            return StoreError::failed(
                QStringLiteral("The markup rules kept in %1 cannot be read (category %2).")
                    .arg(m_store->path(), found->text(QStringLiteral("category")).value_or(QString())));
        }
        const QString category = found->text(QStringLiteral("category")).value_or(QString());
        if (category == DefaultCategory)
            rules.defaultRule = { *percent, *step };
        else
            rules.setOwn(category, Markup::Rule { *percent, *step });
    }
    return rules;
}

StoreError MarkupRuleTable::save(const Markup::Rules &rules, const Markup::Rules &seen)
{
    StoreError conflict;
    const bool saved = m_store->ensureSchema(Table, schemaSteps()) && m_store->inTransaction([&] {
        if (!m_store->lock(QStringLiteral("markup rules"), Store::LockMode::Exclusive))
            return false;
        const auto now = read();
        if (!now) {
            conflict = now.error();
            return false;
        }
        if (!sameRules(*now, seen)) {
            conflict
                = StoreError::failed(QStringLiteral("The markup rules were changed at another counter after "
                                                    "this window opened, so nothing was saved. Open the "
                                                    "window again to see them."),
                    StoreError::Kind::Conflict);
            return false;
        }
        if (!m_store->execute(QStringLiteral("delete from markup_rules"), {}))
            return false;
        const QString insert
            = QStringLiteral("insert into markup_rules (category, markup, step) values (?, ?, ?)");
        if (!m_store->execute(insert,
                { DefaultCategory, rules.defaultRule.percent.exactText(),
                    Markup::stepText(rules.defaultRule.step) }))
            return false;
        for (auto it = rules.owned().cbegin(); it != rules.owned().cend(); ++it) {
            if (!m_store->execute(insert, { it.key(), it->percent.exactText(), Markup::stepText(it->step) }))
                return false;
        }
        return true;
    });
    if (saved)
        return StoreError();
    return conflict.isValid() ? conflict : m_store->lastError();
}
