#pragma once

#include <QString>
#include <QStringList>

// Moving a shop from db.mdb onto a database server: every table of the file (the price list, its
// settings rows, the offers and whatever later versions keep beside them) is copied into an empty
// PostgreSQL database in one transaction, then counted and summed on both sides before it is
// committed. A database that already holds a table is refused, so nothing is ever mixed or
// overwritten; a copy that fails or does not check out leaves the server as empty as it was.
namespace DatabaseCopy
{

struct Result {
    bool ok = false;
    QString error; // in words, naming the table where it failed
    QStringList checked; // one line per table: name, rows and what was compared
};

Result copy(const QString &sourceFile, const QString &serverAddress);

} // namespace DatabaseCopy
