#pragma once

#include "store.h"

#include <QSqlDatabase>

// The store's connection itself, for the benchmarks' reference figures only: the same statement
// run bare beside the program's own shows what the program adds. Nothing of the program includes
// this header (the layering test refuses it in src/): the program's statements all go through the
// store, which reconnects, retries and reports alike.
class BenchConnection final
{
public:
    static QSqlDatabase of(const Store &store) { return store.database(); }
};
