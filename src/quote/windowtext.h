#pragma once

// What the windows show of texts a person typed: titles built from them, and the boxes they type
// into.

#include <QString>

class QLineEdit;
class QWidget;

namespace WindowText
{

// Sets a window title that shows exactly the given text. Qt reads "[*]" in a title as the place of
// its unsaved-changes mark and drops it, so a shop called "PCs [*] More" would lose it.
void setTitle(QWidget *window, const QString &title);
// The title as the title bar shows it (what setTitle was given).
QString title(const QWidget *window);

} // namespace WindowText
