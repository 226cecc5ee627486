// Creates a demo price list where the program looks for its price list (db.mdb beside the
// executable when there is one, else the configured or the per-user place), or at the path given
// as the one argument; its folder is made when missing, an existing file is never touched.
#include "demodata.h"
#include "store/databaselocation.h"
#include "store/serveraddress.h"
#include "store/store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString path = args.size() > 1 ? args.at(1) : DatabaseLocation::find().path;
    QTextStream out(stdout);
    QTextStream err(stderr);
    // A shop that names its server (brasko.conf) keeps no price-list file to make; a path of that
    // name would only make odd folders here, and the address is never repeated with a password.
    if (isServerAddressText(path)) {
        err << "brasko-demo-db makes a price-list file, but " << withoutPassword(path.trimmed())
            << " names a database server. Make the demo price list in a file and copy it there with "
               "brasko-db-copy.\n";
        return 1;
    }
    if (QFileInfo::exists(path)) {
        out << path << " already exists; left as it is.\n";
        return 0;
    }
    QString error;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !createPriceListDatabase(path, &error)) {
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
