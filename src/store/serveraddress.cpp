#include "serveraddress.h"

#include <QUrl>

namespace
{

const QString Form = QStringLiteral("postgresql://user@host[:port]/database");

std::optional<ServerAddress> refuse(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return std::nullopt;
}

} // namespace

bool isServerAddressText(const QString &text)
{
    const QString t = text.trimmed();
    return t.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || t.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

namespace
{

// Where the user part of an address ends (its '@'), or -1 when it has none.
qsizetype userInfoEnd(const QString &text)
{
    const qsizetype schemeEnd = text.indexOf(QLatin1String("://")) + 3;
    const qsizetype at = text.lastIndexOf(QLatin1Char('@'));
    qsizetype slash = text.indexOf(QLatin1Char('/'), schemeEnd);
    if (slash < 0)
        slash = text.size();
    return at >= schemeEnd && at < slash ? at : -1;
}

} // namespace

QString withoutPassword(const QString &text)
{
    const qsizetype at = userInfoEnd(text);
    if (at < 0)
        return text;
    const qsizetype schemeEnd = text.indexOf(QLatin1String("://")) + 3;
    const qsizetype colon = text.indexOf(QLatin1Char(':'), schemeEnd);
    if (colon < 0 || colon > at)
        return text;
    return text.left(colon + 1) + QStringLiteral("***") + text.mid(at);
}

QString ServerAddress::text() const
{
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setUserName(user);
    url.setHost(host);
    if (port != 5432)
        url.setPort(port);
    url.setPath(QLatin1Char('/') + database);
    return url.toString();
}

QString ServerAddress::shortText() const
{
    return QStringLiteral("%1 on %2:%3").arg(database, host).arg(port);
}

std::optional<ServerAddress> parseServerAddress(const QString &text, QString *error)
{
    const QString trimmed = text.trimmed();
    if (!isServerAddressText(trimmed))
        return refuse(error,
            QStringLiteral("'%1' is not a database server address; write it as %2.")
                .arg(withoutPassword(trimmed), Form));
    // A password typed into the address would be visible to everyone who can list processes or
    // read the settings file; it is refused before anything is stored or shown.
    if (withoutPassword(trimmed) != trimmed)
        return refuse(error,
            QStringLiteral("The database address holds a password. Leave it out of the address and put it "
                           "in ~/.pgpass or the PGPASSWORD environment variable instead."));
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!url.isValid())
        return refuse(error,
            QStringLiteral("The database address '%1' is not valid (%2); write it as %3.")
                .arg(trimmed, url.errorString(), Form));
    ServerAddress address;
    address.user = url.userName();
    address.host = url.host();
    address.port = url.port(5432);
    address.database = url.path().mid(1);
    if (address.host.isEmpty())
        return refuse(error,
            QStringLiteral("The database address '%1' names no server; write it as %2.").arg(trimmed, Form));
    if (address.database.isEmpty() || address.database.contains(QLatin1Char('/')))
        return refuse(error,
            QStringLiteral("The database address '%1' names no database; write it as %2.")
                .arg(trimmed, Form));
    if (address.port <= 0 || address.port > 65535)
        return refuse(error, QStringLiteral("The port in '%1' is not a port number.").arg(trimmed));
    if (url.hasQuery() || url.hasFragment())
        return refuse(error,
            QStringLiteral("The database address '%1' has options after the database name; "
                           "write it as %2.")
                .arg(trimmed, Form));
    return address;
}
