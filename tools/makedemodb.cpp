// Creates a demo price list in db.mdb beside the executable, or at the path given as the one
// argument; an existing file is never touched.
#include "demodata.h"
#include "store/store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString path = args.size() > 1 ? args.at(1) : Store::defaultDatabasePath();
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (QFileInfo::exists(path)) {
        out << path << " already exists; left as it is.\n";
        return 0;
    }
    QString error;
    if (!createPriceListDatabase(path, &error)) {
        err << "Could not create " << path << ": " << error << "\n";
        return 1;
    }
    Store store(path, QStringLiteral("demo"));
    if (!store.open() || !fillDemoPriceList(store, &error)) {
        err << "Could not fill " << path << ": " << (error.isEmpty() ? store.lastError().text() : error)
            << "\n";
        return 1;
    }
    out << "Created the demo price list in " << path << "\n";
    return 0;
}
