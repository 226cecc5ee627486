#pragma once

#include "store.h"

// The numbered schema steps of the offers part of the database (component "offers" in
// brasko_schema), oldest first; Store::ensureSchema takes the ones a database still lacks.
//  1. the offers, their rows and the counter that numbers them;
//  2. what a revision's status is worked out from: the day it holds until, when it was first
//     given to the client, and the order it became.
const QList<Store::SchemaStep> &offerSchemaSteps();
