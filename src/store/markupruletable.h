#pragma once

#include "core/markup.h"

#include <QSqlError>

#include <optional>

class Store;

// The shop's markup rules (table markup_rules, made by a schema step when first written): one row
// per category with its own rule, and the default under the category "*". On a server every
// counter prices by the same rules.
class MarkupRuleTable final
{
public:
    explicit MarkupRuleTable(Store *store);

    // The rules as kept; no markup and no rounding when none were ever kept. nullopt (and
    // lastError()) when they cannot be read.
    std::optional<Markup::Rules> read();
    // Keeps these rules, unless another counter changed them since `seen` was read: then nothing
    // is written, changedMeanwhile() is true and lastError() says so.
    bool save(const Markup::Rules &rules, const Markup::Rules &seen);
    bool changedMeanwhile() const { return m_changedMeanwhile; }
    QSqlError lastError() const;

private:
    Store *m_store;
    bool m_changedMeanwhile = false;
};
