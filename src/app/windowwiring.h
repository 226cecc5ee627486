#pragma once

#include <QList>
#include <QString>

#include <utility>

class MainWindow;
class PriceListEditor;

// The configuration rows' captions and categories, for windows that offer a choice of category.
QList<std::pair<QString, QString>> rowCategories(const MainWindow &form);

// Answers the main window's requests with the windows that serve them. Each opening makes a fresh
// modal window, so nothing of an earlier one lingers.
void connectWindows(MainWindow &form);

// Shows the editor's failures in the error report over it.
void reportFailuresOf(PriceListEditor &editor);
