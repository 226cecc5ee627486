#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Where the price list lives when no path is given. A folder that carries its own db.mdb beside
// the executable keeps it (a copied or portable installation); an installed program sits in a
// folder nobody may write to, so it uses the path a shop configured machine-wide or per user
// (brasko/brasko.conf, key database/path), or else the person's own data folder
// ($XDG_DATA_HOME/brasko/db.mdb). A shop whose counters share one database names it instead, as
// database/server = postgresql://user@host[:port]/dbname in a brasko.conf beside the executable or
// in the configuration folders; that server is then used and nothing else. Nothing here ever
// creates a file.
namespace DatabaseLocation
{

// The candidate places, in the order they are tried.
struct Places {
    QString besideExecutable;
    QString configured; // empty when no configuration names one
    QString userData;
    QString server; // a database server named by the configuration; empty when none
};

struct Found {
    QString path; // the database to open, or where one should be created
    bool exists = false;
    QStringList searched; // every place that was looked at, in order
};

// The places for this process: the executable's folder, the first configuration file found (brasko.conf
// beside the executable, then brasko/brasko.conf in the person's configuration folder, then the
// machine's /etc/xdg) and the data folder.
Places currentPlaces();

// The server named by a configuration file (database/server), as written; empty when none.
QString configuredServer(const QString &configFile);

// The path named by a configuration file, relative paths taken from the file's folder; empty
// when the file names none.
QString configuredPath(const QString &configFile);

Found resolve(const Places &places, const std::function<bool(const QString &)> &exists = {});

// resolve(currentPlaces()).
Found find();

} // namespace DatabaseLocation
