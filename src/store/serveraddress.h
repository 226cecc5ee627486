#pragma once

#include <QString>

#include <optional>

// A PostgreSQL database named as postgresql://user@host[:port]/dbname. The password never travels
// in the address: the server's client library takes it from PGPASSWORD or ~/.pgpass, so it is
// neither on a command line others can read nor in a settings file.
struct ServerAddress {
    QString user; // empty: the client library's default (the login name)
    QString host;
    int port = 5432;
    QString database;

    // The address as it is written, without a password (there never is one).
    QString text() const;
    // Short words for the status bar: database and server.
    QString shortText() const;
};

// Whether the text names a server rather than a file.
bool isServerAddressText(const QString &text);

// The text with any password in it replaced by "***", for a message that shows a refused address.
QString withoutPassword(const QString &text);

// nullopt and *error (in words for a person) when the text is not a usable address.
std::optional<ServerAddress> parseServerAddress(const QString &text, QString *error = nullptr);
