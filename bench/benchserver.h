#pragma once

// The benchmarks' PostgreSQL server on loopback, started the way the tests start theirs but writing
// to disk as a shop's server does, holding a copy of a price list made by Bench::makePriceList.

#include "store/databasecopy.h"
#include "support/postgresserver.h"

#include <QElapsedTimer>

#include <cstdio>

namespace Bench
{

// Starts the server and copies the file into its database `name`; the address to give a Store.
inline QString serverCopyOf(PostgresServer &server, const QString &file, const QString &name)
{
    if (!PostgresServer::available())
        qFatal("%s", qPrintable(PostgresServer::unavailableReason()));
    QString why;
    if (!server.start(&why, false) || !server.createDatabase(name, &why))
        qFatal("%s", qPrintable(why));
    QElapsedTimer copyTime;
    copyTime.start();
    const DatabaseCopy::Result copied = DatabaseCopy::copy(file, server.address(name));
    if (!copied.ok)
        qFatal("%s", qPrintable(copied.error));
    // The server's own autovacuum gathers the table's statistics within a minute of a bulk write;
    // the benchmark does not wait for it.
    if (!server.psql(
            { QStringLiteral("-d"), name, QStringLiteral("-c"), QStringLiteral("vacuum analyze") }, &why))
        qFatal("%s", qPrintable(why));
    std::fprintf(
        stderr, "copied the price list to the server in %.0f ms\n", static_cast<double>(copyTime.elapsed()));
    return server.address(name);
}

} // namespace Bench
