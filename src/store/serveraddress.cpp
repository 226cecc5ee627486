#include "serveraddress.h"

#include <QList>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

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

namespace
{

// A stretch of a text that is or may be a password: [from, to).
struct Secret {
    qsizetype from = 0;
    qsizetype to = 0;
};

// The first or last '@' of the text from start on, written plainly or percent-encoded; -1: none.
qsizetype atSign(const QString &text, qsizetype start, bool last)
{
    const qsizetype plain = last ? text.lastIndexOf(QLatin1Char('@')) : text.indexOf(QLatin1Char('@'), start);
    const qsizetype encoded = last ? text.lastIndexOf(QLatin1String("%40"), -1, Qt::CaseInsensitive)
                                   : text.indexOf(QLatin1String("%40"), start, Qt::CaseInsensitive);
    qsizetype found = last ? std::max(plain, encoded)
                           : (plain < 0          ? encoded
                                   : encoded < 0 ? plain
                                                 : std::min(plain, encoded));
    return found >= start ? found : -1;
}

// The password after the user name: from the ':' before the first '@' (either written plainly or
// percent-encoded) up to the last '@' of the whole text. Taking the last '@' covers a secret that
// holds "/", "?" or "@" itself; an address with an '@' further on is masked more than needed,
// never less.
std::optional<Secret> userPassword(const QString &text)
{
    const qsizetype scheme = text.indexOf(QLatin1String("://"));
    if (scheme < 0)
        return std::nullopt;
    const qsizetype start = scheme + 3;
    const qsizetype first = atSign(text, start, false);
    if (first < 0)
        return std::nullopt;
    const qsizetype last = atSign(text, start, true);
    const qsizetype colon = text.indexOf(QLatin1Char(':'), start);
    const qsizetype encoded = text.indexOf(QLatin1String("%3a"), start, Qt::CaseInsensitive);
    if (colon >= 0 && colon < first && (encoded < 0 || colon < encoded))
        return Secret { colon + 1, last };
    if (encoded >= 0 && encoded < first)
        return Secret { encoded + 3, last };
    return std::nullopt;
}

bool isPasswordKey(const QString &key)
{
    for (const char *name : { "password", "sslpassword", "passwd", "pass", "pwd" }) {
        if (key == QLatin1String(name))
            return true;
    }
    return false;
}

bool isParameterEnd(QChar c)
{
    return c == u'=' || c == u'&' || c == u'?' || c == u';' || c == u'#' || c.isSpace();
}

// A password given as a parameter: "?password=", "&sslpassword=", "password = ..." in a key=value
// connection string. A key is compared percent-decoded and in any case. All that follows its '='
// counts as the secret, since a value may hold '&' or blanks; a key whose '=' was percent-encoded
// is masked whole.
std::optional<Secret> passwordParameter(const QString &text)
{
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (i > 0 && !isParameterEnd(text.at(i - 1)))
            continue;
        qsizetype end = i;
        while (end < size && !isParameterEnd(text.at(end)))
            ++end;
        if (end == i)
            continue;
        const QString key = QUrl::fromPercentEncoding(text.mid(i, end - i).toUtf8()).toLower();
        if (key.contains(QLatin1Char('='))) {
            if (isPasswordKey(key.section(QLatin1Char('='), 0, 0).trimmed()))
                return Secret { i, size };
            continue;
        }
        if (!isPasswordKey(key.trimmed()))
            continue;
        qsizetype sign = end;
        while (sign < size && text.at(sign).isSpace())
            ++sign;
        if (sign < size && text.at(sign) == u'=')
            return Secret { sign + 1, size };
    }
    return std::nullopt;
}

QList<Secret> secretsOf(const QString &text)
{
    QList<Secret> secrets;
    if (const auto user = userPassword(text))
        secrets << *user;
    if (const auto parameter = passwordParameter(text))
        secrets << *parameter;
    std::sort(
        secrets.begin(), secrets.end(), [](const Secret &a, const Secret &b) { return a.from < b.from; });
    return secrets;
}

} // namespace

bool isServerAddressText(const QString &text)
{
    const QString t = text.trimmed();
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(t).hasMatch() || holdsPassword(t);
}

namespace
{

bool isPostgresAddress(const QString &text)
{
    return text.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

} // namespace

bool holdsPassword(const QString &text)
{
    return !secretsOf(text).isEmpty();
}

QString withoutPassword(const QString &text)
{
    QList<Secret> merged;
    for (const Secret &secret : secretsOf(text)) {
        if (!merged.isEmpty() && secret.from <= merged.last().to)
            merged.last().to = std::max(merged.last().to, secret.to);
        else
            merged << secret;
    }
    QString shown;
    qsizetype next = 0;
    for (const Secret &secret : merged) {
        shown += QStringView(text).sliced(next, secret.from - next);
        shown += QStringLiteral("***");
        next = secret.to;
    }
    shown += QStringView(text).sliced(next);
    return shown;
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
    // A password typed into the address would be visible to everyone who can list processes or
    // read the settings file; it is refused before anything is stored, and never repeated.
    if (holdsPassword(trimmed))
        return refuse(error,
            QStringLiteral("The database address holds a password. Leave it out of the address and put it "
                           "in ~/.pgpass or the PGPASSWORD environment variable instead."));
    if (!isPostgresAddress(trimmed))
        return refuse(error,
            QStringLiteral("'%1' is not a database server address; write it as %2.").arg(trimmed, Form));
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!url.isValid()) {
        // Only the reason: the rest of QUrl's text repeats the address in pieces.
        const QString why = url.errorString().section(QLatin1Char(';'), 0, 0).trimmed();
        return refuse(error,
            QStringLiteral("The database address '%1' is not valid (%2); write it as %3.")
                .arg(trimmed, why, Form));
    }
    if (!url.password().isEmpty())
        return refuse(error, QStringLiteral("The database address holds a password."));
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
