#pragma once

// Shared pieces of the fault tests: a database file made from named rows, raw checks that bypass
// the program's statements, a small full disk, a second user to make files read-only for, and the
// faults_store helper process.

#include "store/store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Faults
{

struct Row {
    QString category, id, description, price;
};

// Runs fn on a fresh raw connection to path that is closed again before returning, so no
// connection of the checks outlives them (a mounted disk can then be unmounted).
template <typename Fn> auto withRaw(const QString &path, Fn fn)
{
    const QString name = QStringLiteral("faults-raw-%1").arg(quintptr(&fn));
    struct Remove {
        QString name;
        ~Remove() { QSqlDatabase::removeDatabase(name); }
    } remove { name };
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    db.open();
    struct Close {
        QSqlDatabase &db;
        ~Close() { db.close(); }
    } close { db };
    return fn(db);
}

inline bool makeDatabase(const QString &path, const QList<Row> &rows)
{
    QString error;
    if (!createPriceListDatabase(path, &error)) {
        qWarning("%s", qPrintable(error));
        return false;
    }
    return withRaw(path, [&](QSqlDatabase &db) {
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("insert into adt (category,id,description,price) values (?,?,?,?)"));
        for (const Row &r : rows) {
            q.addBindValue(r.category);
            q.addBindValue(r.id);
            q.addBindValue(r.description);
            q.addBindValue(r.price);
            if (!q.exec())
                return false;
        }
        return db.commit();
    });
}

// Every row of adt as "category|id|description|price", in a fixed order.
inline QStringList allRows(const QString &path)
{
    return withRaw(path, [](QSqlDatabase &db) {
        QStringList out;
        QSqlQuery q(db);
        q.exec(QStringLiteral(
            "select category, id, description, price from adt order by category, id, description, price"));
        while (q.next())
            out << QStringList { q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                q.value(3).toString() }
                       .join(QLatin1Char('|'));
        return out;
    });
}

inline QStringList descriptions(const QString &path, const QString &category, const QString &id)
{
    return withRaw(path, [&](QSqlDatabase &db) {
        QStringList out;
        QSqlQuery q(db);
        q.prepare(QStringLiteral("select description from adt where category = ? and id = ?"));
        q.addBindValue(category);
        q.addBindValue(id);
        q.exec();
        while (q.next())
            out << q.value(0).toString();
        return out;
    });
}

inline QString integrity(const QString &path)
{
    return withRaw(path, [](QSqlDatabase &db) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("pragma integrity_check")) || !q.next())
            return QStringLiteral("cannot check: ") + q.lastError().text();
        return q.value(0).toString();
    });
}

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A tmpfs of the given size, mounted for the lifetime of the object (root only).
class SmallDisk
{
public:
    explicit SmallDisk(const QString &size)
    {
        if (geteuid() != 0) {
            m_why = QStringLiteral("mounting a small disk needs root");
            return;
        }
        QProcess mount;
        mount.start(QStringLiteral("mount"),
            { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                QStringLiteral("size=") + size, QStringLiteral("tmpfs"), m_dir.path() });
        if (!mount.waitForFinished(10000) || mount.exitStatus() != QProcess::NormalExit
            || mount.exitCode() != 0) {
            m_why = QStringLiteral("mount -t tmpfs failed here (%1)")
                        .arg(QString::fromLocal8Bit(mount.readAllStandardError()).trimmed());
            return;
        }
        m_mounted = true;
    }
    ~SmallDisk()
    {
        if (!m_mounted)
            return;
        // A lazy unmount as the last resort, so a failed test never leaves the mount behind.
        if (QProcess::execute(QStringLiteral("umount"), { m_dir.path() }) != 0)
            QProcess::execute(QStringLiteral("umount"), { QStringLiteral("-l"), m_dir.path() });
    }
    bool isMounted() const { return m_mounted; }
    QString whyNot() const { return m_why; }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // Fills what is left of the disk; returns the bytes written.
    qint64 fill(const QString &name = QStringLiteral("filler"))
    {
        QFile f(filePath(name));
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        const QByteArray block(4096, 'f');
        qint64 total = 0;
        for (;;) {
            const qint64 n = f.write(block);
            if (n <= 0 || !f.flush())
                break;
            total += n;
        }
        return total;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_why;
};

// While alive, the process acts as the unprivileged user "nobody" for file access, so permission
// bits hold even when the tests run as root. Without root nothing needs to change.
class ActAsNobody
{
public:
    ActAsNobody()
    {
        if (geteuid() == 0 && setegid(65534) == 0 && seteuid(65534) == 0)
            m_switched = true;
    }
    ~ActAsNobody()
    {
        if (m_switched) {
            if (seteuid(0) != 0 || setegid(0) != 0)
                qFatal("cannot return to root");
        }
    }
    ActAsNobody(const ActAsNobody &) = delete;
    ActAsNobody &operator=(const ActAsNobody &) = delete;

private:
    bool m_switched = false;
};

// While alive, undoes ActAsNobody for what only root may do (changing a root-owned file's mode,
// starting a helper program, which Qt refuses to run with a borrowed identity).
class BackToRoot
{
public:
    BackToRoot()
    {
        if (getuid() == 0 && geteuid() != 0 && seteuid(0) == 0 && setegid(0) == 0)
            m_switched = true;
    }
    ~BackToRoot()
    {
        if (m_switched && (setegid(65534) != 0 || seteuid(65534) != 0))
            qFatal("cannot act as nobody again");
    }
    BackToRoot(const BackToRoot &) = delete;
    BackToRoot &operator=(const BackToRoot &) = delete;

private:
    bool m_switched = false;
};

// Makes the folder (and with it the test's files) reachable for "nobody".
inline void openUpFolder(const QString &dir)
{
    ::chmod(QFile::encodeName(dir).constData(), 0777);
}

// Takes write permission from the file and/or its folder (where SQLite keeps its journal), with
// the folder still reachable for "nobody".
inline void makeReadOnly(const QString &dir, const QString &path, bool fileReadOnly, bool folderReadOnly)
{
    openUpFolder(dir);
    ::chmod(QFile::encodeName(path).constData(), fileReadOnly ? 0444 : 0666);
    if (folderReadOnly)
        ::chmod(QFile::encodeName(dir).constData(), 0555);
}

// Whether the present user may write the file whatever its permissions say (root without a
// switch to "nobody"): a read-only test is then meaningless.
inline bool writesIgnoringPermissions(const QString &path)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

inline QString helperPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("faults_store"));
}

// Starts faults_store with the given mode and waits for its first line ("ready" / "locked").
inline bool startHelper(QProcess &p, const QString &mode, const QString &db, const QByteArray &expected)
{
    p.setProgram(helperPath());
    p.setArguments({ mode, db });
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start();
    if (!p.waitForStarted(10000))
        return false;
    while (!p.canReadLine()) {
        if (!p.waitForReadyRead(10000)) {
            qWarning("helper said nothing: %s", p.readAllStandardError().constData());
            return false;
        }
    }
    return p.readLine().trimmed() == expected;
}

// Ends a helper started with startHelper: closing its input lets a lock go; kill is the fallback.
inline void stopHelper(QProcess &p)
{
    if (p.state() == QProcess::NotRunning)
        return;
    p.closeWriteChannel();
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(5000);
    }
}

} // namespace Faults
