#include "windowtext.h"

#include <QWidget>

namespace
{

const QString Placeholder = QStringLiteral("[*]");
// Qt shows a doubled placeholder as one literal "[*]".
const QString Escaped = QStringLiteral("[*][*]");

} // namespace

void WindowText::setTitle(QWidget *window, const QString &title)
{
    window->setWindowTitle(QString(title).replace(Placeholder, Escaped));
}

QString WindowText::title(const QWidget *window)
{
    return window->windowTitle().replace(Escaped, Placeholder);
}
