#pragma once

class IMRForm;
class frmadt;

// Answers the main window's requests with the windows that serve them. Each opening makes a fresh
// modal window, so nothing of an earlier one lingers.
void connectWindows(IMRForm &form);

// Shows the editor's failures in the error report over it.
void reportFailuresOf(frmadt &editor);
