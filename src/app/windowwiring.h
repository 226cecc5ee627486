#pragma once

class MainWindow;
class PriceListEditor;

// Answers the main window's requests with the windows that serve them. Each opening makes a fresh
// modal window, so nothing of an earlier one lingers.
void connectWindows(MainWindow &form);

// Shows the editor's failures in the error report over it.
void reportFailuresOf(PriceListEditor &editor);
