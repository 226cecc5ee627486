#pragma once

// A person typing over the whole text of a box, as a paste over a selection does: the box reports
// it as an edit (textEdited), which the program's own setText never is.
#include <QLineEdit>
#include <QString>

inline void typeOver(QLineEdit *box, const QString &text)
{
    box->selectAll();
    box->insert(text);
}
