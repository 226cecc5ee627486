#include "core/version.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf16(AppTitle));
    QApplication::setApplicationVersion(QStringLiteral("6.0.0"));
    return Main(app);
}
