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

// Whether the text is meant for a database server rather than a file: a postgresql:// address,
// any other "scheme://" address, or a connection string that names a password. Such a text is
// never opened as a file, so a mistyped address is refused with its reason, not shown back.
bool isServerAddressText(const QString &text);

// Whether a password is written anywhere in the text: after the user name (user:secret@host, also
// with a "/" or "?" in the secret, or percent-encoded), or as a parameter (?password=,
// &sslpassword=, password= in a connection string, the key percent-encoded or not).
bool holdsPassword(const QString &text);

// The text with every part that is or may be a password replaced by "***", for any message, log
// line or window that shows an address. It masks rather more than less: everything from the user
// name's ':' to the last '@', and everything after a password parameter's '='.
QString withoutPassword(const QString &text);

// nullopt and *error (in words for a person) when the text is not a usable address.
std::optional<ServerAddress> parseServerAddress(const QString &text, QString *error = nullptr);
