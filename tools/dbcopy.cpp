// brasko-db-copy: moves a shop's db.mdb onto a PostgreSQL database for several counters to share.
//   brasko-db-copy /path/to/db.mdb postgresql://user@host[:port]/dbname
// The database must be empty; the password comes from PGPASSWORD or ~/.pgpass.
#include "store/databasecopy.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() != 3 || args.at(1).startsWith(QLatin1Char('-'))) {
        err << "Usage: brasko-db-copy DB.MDB postgresql://user@host[:port]/dbname\n"
               "Copies every table of DB.MDB into the empty PostgreSQL database and checks the copy.\n"
               "The password is taken from PGPASSWORD or ~/.pgpass, never from the address.\n";
        return 2;
    }
    const DatabaseCopy::Result result = DatabaseCopy::copy(args.at(1), args.at(2));
    if (!result.ok) {
        err << "brasko-db-copy: nothing was copied: " << result.error << "\n";
        return 1;
    }
    for (const QString &line : result.checked)
        out << line << "\n";
    out << "Copied " << args.at(1) << " and checked every table.\n";
    return 0;
}
