#pragma once

// A throw-away PostgreSQL server on 127.0.0.1 for the tests: made in a temporary folder, started
// on a free port and stopped (with its folder removed) at the end. It can be stopped and started
// again on the same port and data, as a real server that goes away in the middle of work.
// PostgreSQL refuses to run as root, so as root it runs as the user postgres.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <unistd.h>

class PostgresServer
{
public:
    static QString binDir() { return QStringLiteral("/usr/lib/postgresql/15/bin"); }
    static bool available() { return QFile::exists(binDir() + QStringLiteral("/initdb")); }
    static QString unavailableReason()
    {
        return QStringLiteral(
            "PostgreSQL 15 server binaries are not installed (Debian package postgresql-15).");
    }

    PostgresServer() = default;
    PostgresServer(const PostgresServer &) = delete;
    PostgresServer &operator=(const PostgresServer &) = delete;
    ~PostgresServer() { stop(); }

    // Tests throw the data away, so nothing is flushed to disk (start-up and every commit are far
    // quicker); a benchmark passes false to measure a server as a shop runs it.
    bool start(QString *why, bool throwAway = true)
    {
        m_throwAway = throwAway;
        QDir(dir.path()).mkpath(QStringLiteral("data"));
        QDir(dir.path()).mkpath(QStringLiteral("sock"));
        if (geteuid() == 0) {
            // The folder must belong to the user the server runs as.
            if (!run(QStringLiteral("chown"),
                    { QStringLiteral("-R"), QStringLiteral("postgres"), dir.path() }, why))
                return false;
            QFile::setPermissions(
                dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther | QFile::ReadOther);
        }
        if (!runPg(QStringLiteral("initdb"),
                { QStringLiteral("-D"), dataDir(), QStringLiteral("-A"), QStringLiteral("trust"),
                    QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-E"),
                    QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--no-sync") },
                why))
            return false;
        // A port nobody is likely to hold; a taken one makes the start fail and the next is tried.
        for (int attempt = 0; attempt < 5 && !started; ++attempt) {
            port = 20000 + (getpid() * 7 + attempt * 101) % 30000;
            started = launch(why);
        }
        return started;
    }

    // Starts the stopped server again, on the same port and data.
    bool restart(QString *why)
    {
        if (!started)
            started = launch(why);
        return started;
    }

    void stop()
    {
        if (!started)
            return;
        QString ignored;
        runPg(QStringLiteral("pg_ctl"),
            { QStringLiteral("-D"), dataDir(), QStringLiteral("-w"), QStringLiteral("-t"),
                QStringLiteral("60"), QStringLiteral("-m"), QStringLiteral("fast"), QStringLiteral("stop") },
            &ignored);
        started = false;
    }

    bool createDatabase(const QString &name, QString *why)
    {
        return psql({ QStringLiteral("-d"), QStringLiteral("postgres"), QStringLiteral("-c"),
                        QStringLiteral("CREATE DATABASE \"%1\"").arg(name) },
            why);
    }

    // The address the program is given for a database on this server.
    QString address(const QString &database) const
    {
        return QStringLiteral("postgresql://postgres@127.0.0.1:%1/%2").arg(port).arg(database);
    }

    // Runs psql as the server's superuser with the given arguments (on error *why says why).
    bool psql(const QStringList &args, QString *why, QString *output = nullptr)
    {
        QStringList all = { QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-q"),
            QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(port),
            QStringLiteral("-U"), QStringLiteral("postgres") };
        // The client may run as anyone (only the server refuses root), so it reads files wherever
        // the checkout is, readable by the user postgres or not.
        return run(QStringLiteral("/usr/bin/psql"), all + args, why, output);
    }

    int port = 0;
    bool started = false;

private:
    QString dataDir() const { return dir.filePath(QStringLiteral("data")); }

    bool launch(QString *why)
    {
        QString options = QStringLiteral("-k %1 -c listen_addresses=127.0.0.1 -p %2")
                              .arg(dir.filePath(QStringLiteral("sock")))
                              .arg(port);
        if (m_throwAway)
            options += QStringLiteral(" -c fsync=off -c synchronous_commit=off -c full_page_writes=off");
        return runPg(QStringLiteral("pg_ctl"),
            { QStringLiteral("-D"), dataDir(), QStringLiteral("-w"), QStringLiteral("-t"),
                QStringLiteral("60"), QStringLiteral("-l"), dir.filePath(QStringLiteral("server.log")),
                QStringLiteral("-o"), options, QStringLiteral("start") },
            why);
    }

    bool runPg(const QString &tool, const QStringList &args, QString *why)
    {
        const QString program = binDir() + QLatin1Char('/') + tool;
        if (geteuid() == 0)
            return run(QStringLiteral("runuser"),
                QStringList {
                    QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program }
                    + args,
                why);
        return run(program, args, why);
    }

    static bool run(const QString &program, const QStringList &args, QString *why, QString *output = nullptr)
    {
        QProcess p;
        p.setProcessChannelMode(output ? QProcess::SeparateChannels : QProcess::MergedChannels);
        p.setWorkingDirectory(QDir::tempPath());
        p.start(program, args);
        if (!p.waitForFinished(90000)) {
            p.kill();
            p.waitForFinished(5000);
            *why = program + QStringLiteral(" did not finish in time");
            return false;
        }
        if (output)
            *output = QString::fromUtf8(p.readAllStandardOutput());
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            *why = program + QLatin1Char(' ') + args.join(QLatin1Char(' ')) + QStringLiteral(": ")
                + QString::fromLocal8Bit(p.readAll() + p.readAllStandardError());
            return false;
        }
        return true;
    }

    QTemporaryDir dir;
    bool m_throwAway = true;
};
