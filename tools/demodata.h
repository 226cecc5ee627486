#pragma once

#include <QString>

class Store;

// Fills an empty price-list database with a shop's demo price list and the three settings rows.
bool fillDemoPriceList(Store &store, QString *error);
