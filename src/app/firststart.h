#pragma once

#include "store/databaselocation.h"

#include <QString>

#include <functional>

// The first start of an installed program: no price list exists in any of the usual places. The
// person is asked; the program never creates the file unasked.
enum class FirstStart { CreateDemo, CreateEmpty, Quit };
using AskFirstStart = std::function<FirstStart(const DatabaseLocation::Found &)>;

// The question as the person sees it: the places looked at and where a new price list would go.
QString firstStartQuestion(const DatabaseLocation::Found &found);

// Asks with a message box named "FirstStart".
FirstStart askFirstStart(const DatabaseLocation::Found &found);

// Creates the chosen price list at path, its folder too; false and *error when it cannot.
bool createFirstPriceList(FirstStart choice, const QString &path, QString *error);
