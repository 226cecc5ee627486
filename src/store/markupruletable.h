#pragma once

#include "core/markup.h"
#include "storeerror.h"

#include <optional>

class Store;

// The shop's markup rules (table markup_rules, made by a schema step when first written): one row
// per category with its own rule, and the default under the category "*". On a server every
// counter prices by the same rules.
class MarkupRuleTable final
{
public:
    explicit MarkupRuleTable(Store *store);

    // The rules as kept (no markup and no rounding when none were ever kept), or why they cannot
    // be read.
    StoreResult<Markup::Rules> read();
    // Keeps these rules, unless another counter changed them since `seen` was read: then nothing
    // is written and the error is a Conflict. Invalid when done.
    StoreError save(const Markup::Rules &rules, const Markup::Rules &seen);

private:
    Store *m_store;
};
