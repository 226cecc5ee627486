// Importing a supplier's file of `count` lines into a list of as many items (every price changed,
// one line in ten a new item): reading, preview and Apply, beside sqlite3's own .import of the same
// file into a bare table in the same run (the sqlite3 program must be installed). Also reports the
// process's peak memory. With "refused", every line of the file has a price that cannot be read, and
// only the reading is measured: a file of bad lines must cost no more than a good one. The same file
// is also imported as costs priced by a markup rule (every cost new, so the costs and their history
// are all written), beside the import as list prices.
//
// Each import's steps are printed for its run of median total. With "explain", as with "server",
// the server also sends the plan of every statement of the Apply that took over 50 ms, with what it
// cost (auto_explain), to the standard error.
//
//   bench_import [count=100000] [runs=3] [refused|server|explain]
#include "bench_importsteps.h"
#include "benchdb.h"
#include "benchserver.h"
#include "benchutil.h"

#include "core/supplierimport.h"
#include "store/priceimport.h"
#include "store/store.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <functional>

namespace
{

bool writeSupplierFile(const QString &path, int count, bool refused)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("category,id,description,price\r\n");
    for (int i = 0; i < count; ++i) {
        const int id = i % 10 == 9 ? count + i : i; // one in ten is new
        file.write(QStringLiteral("2,ID%1,\"Component model %2, 2026 edition, boxed\",%3.%4\r\n")
                       .arg(id, 6, 10, QLatin1Char('0'))
                       .arg(id)
                       .arg(refused ? QStringLiteral("abc") : QString::number(101 + i % 9000))
                       .arg(i % 100, 2, 10, QLatin1Char('0'))
                       .toUtf8());
    }
    return file.error() == QFile::NoError;
}

SupplierImport::Reading readFile(const QString &path, bool *finished, bool costs = false)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const SupplierImport::Columns columns = *SupplierImport::Columns::fromText(
        costs ? QStringLiteral("0,1,2,3,1,point,,prices:cost") : QStringLiteral("0,1,2,3,1,point,"));
    return SupplierImport::readItems(
        file, { SupplierFile::Encoding::Utf8, u',' }, columns, {}, {}, finished, nullptr);
}

int refusedFile(const QString &csv, int count, int runs)
{
    qint64 refused = 0;
    const double ms = Bench::medianMs(
        runs, [] {},
        [&] {
            bool finished = false;
            const SupplierImport::Reading reading = readFile(csv, &finished);
            if (!finished)
                qFatal("reading failed");
            refused = reading.problemCount;
        });
    if (refused != count)
        qFatal("%lld refused of %d", static_cast<long long>(refused), count);
    const QString lines = QLocale(QLocale::English).toString(count);
    Bench::result(QStringLiteral("read %1 refused lines").arg(lines), ms, QString(), 0, QString());
    Bench::result(QStringLiteral("peak memory, reading %1 refused lines").arg(lines),
        static_cast<double>(Bench::peakKb()) / 1024.0, QString(), 0, QStringLiteral("mb:300"),
        Bench::peakKb(), "MB");
    return 0;
}

// The same Apply into a copy of the list on a PostgreSQL server on loopback, beside the Apply on
// SQLite and beside psql's \copy of the file into a bare table. Each run's list is a copy of one
// made and analysed once, as a shop's server holds a list that autovacuum has long analysed; the
// copy takes its statistics with it.
template <typename ImportAt>
void serverImport(const ImportAt &importAt, const QString &master, const QString &csv, const QString &lines,
    double onFile, int runs, bool explain)
{
    PostgresServer server;
    Bench::serverCopyOf(server, master, QStringLiteral("import_0"));
    QString why;
    const auto psql = [&](const QString &database, const QString &statement) {
        if (!server.psql({ QStringLiteral("-d"), database, QStringLiteral("-c"), statement }, &why))
            qFatal("%s", qPrintable(why));
    };
    // A template nobody connects to (not even autovacuum), so a copy of it can always be made.
    psql(QStringLiteral("postgres"), QStringLiteral("create database import_list template import_0"));
    psql(QStringLiteral("postgres"), QStringLiteral("alter database import_list allow_connections false"));
    int copies = 0;
    QString address;
    const auto freshCopy = [&] {
        // The run before left its copy to autovacuum, whose work would compete with this run's.
        if (copies > 0)
            psql(QStringLiteral("postgres"), QStringLiteral("drop database import_%1").arg(copies));
        const QString name = QStringLiteral("import_%1").arg(++copies);
        psql(QStringLiteral("postgres"), QStringLiteral("create database %1 template import_list").arg(name));
        if (explain) {
            for (const char *setting : { "session_preload_libraries = 'auto_explain'",
                     "auto_explain.log_min_duration = 50", "auto_explain.log_analyze = on",
                     "auto_explain.log_buffers = on", "auto_explain.log_level = notice" })
                psql(QStringLiteral("postgres"),
                    QStringLiteral("alter database %1 set %2").arg(name, QLatin1String(setting)));
        }
        address = server.address(name);
    };
    Bench::StepBreakdown listSteps;
    Bench::StepBreakdown costSteps;
    const double onServer = importAt(
        freshCopy, [&] { return address; }, false, &listSteps);
    const double costsOnServer = importAt(
        freshCopy, [&] { return address; }, true, &costSteps);
    listSteps.print(QStringLiteral("the Apply on a server"));
    costSteps.print(QStringLiteral("the Apply as costs on a server"));
    const double copy = Bench::medianMs(
        runs,
        [&] {
            if (!server.psql({ QStringLiteral("-d"), QStringLiteral("import_0"), QStringLiteral("-c"),
                                 QStringLiteral("drop table if exists bare; create table bare (category text,"
                                                " id text, description text, price text)") },
                    &why))
                qFatal("%s", qPrintable(why));
        },
        [&] {
            if (!server.psql({ QStringLiteral("-d"), QStringLiteral("import_0"), QStringLiteral("-c"),
                                 QStringLiteral("\\copy bare from '%1' csv header").arg(csv) },
                    &why))
                qFatal("%s", qPrintable(why));
        });
    Bench::result(QStringLiteral("import and apply %1 lines on a server").arg(lines), onServer,
        QStringLiteral("the same Apply on SQLite"), onFile, QStringLiteral("ratio:2"));
    Bench::result(QStringLiteral("import and apply %1 lines on a server (psql)").arg(lines), onServer,
        QStringLiteral("psql \\copy of the same file"), copy, QStringLiteral("ms:3000"));
    Bench::result(QStringLiteral("import and apply %1 lines as costs on a server").arg(lines), costsOnServer,
        QStringLiteral("the same as list prices"), onServer, QStringLiteral("ratio:2"));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    const bool refused = argc > 3 && QByteArray(argv[3]) == "refused";
    const bool explain = argc > 3 && QByteArray(argv[3]) == "explain";
    const bool onServer = explain || (argc > 3 && QByteArray(argv[3]) == "server");
    QTemporaryDir dir;
    const QString master = dir.filePath(QStringLiteral("master.mdb"));
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    const QString csv = dir.filePath(QStringLiteral("supplier.csv"));
    if (refused)
        return writeSupplierFile(csv, count, true) ? refusedFile(csv, count, runs) : 1;
    if (!Bench::makePriceList(master, count, 2, count) || !writeSupplierFile(csv, count, false))
        return 1;
    const QString bare = dir.filePath(QStringLiteral("bare.db"));
    const double reference = Bench::medianMs(
        runs, [&] { QFile::remove(bare); },
        [&] {
            QProcess sqlite;
            sqlite.start(
                QStringLiteral("sqlite3"), { bare, QStringLiteral(".import --csv %1 bare").arg(csv) });
            sqlite.waitForFinished(-1);
        });
    // A list another program made may lack the index on (category, id); the store gives it one
    // when it opens the file, and the whole import must then cost about what it costs on ours.
    const QString foreign = dir.filePath(QStringLiteral("foreign.mdb"));
    QFile::copy(master, foreign);
    {
        QSqlDatabase db
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-foreign"));
        db.setDatabaseName(foreign);
        if (!db.open() || !QSqlQuery(db).exec(QStringLiteral("drop index adt_category_id")))
            qFatal("cannot drop the index");
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-foreign"));
    qsizetype changed = 0;
    CostPricing pricing;
    pricing.rules.defaultRule = { Decimal::fromInt(20), Markup::Step::Ten };
    // One import into the list at `address`, made afresh by `setup` before each run; its steps
    // into `steps`.
    const auto importAt = [&](const std::function<void()> &setup, const std::function<QString()> &address,
                              bool costs, Bench::StepBreakdown *steps) {
        return Bench::medianMs(runs, setup, [&] {
            steps->beginRun();
            Store store(address(), QStringLiteral("bench-import"));
            if (!store.open())
                qFatal("cannot open the list");
            steps->lap("open");
            bool finished = false;
            SupplierImport::Reading reading = readFile(csv, &finished, costs);
            steps->lap("read the file");
            PriceImport import(&store);
            const auto preview = costs ? import.preview(std::move(reading.items), pricing)
                                       : import.preview(std::move(reading.items));
            steps->lap("preview");
            import.setStepSink(steps->sink());
            if (!finished || !preview || !reading.problems.isEmpty()
                || import.apply(*preview, false, QStringLiteral("supplier.csv"), QDateTime::currentDateTime())
                       .isValid())
                qFatal("import failed");
            changed = static_cast<qsizetype>(preview->changedCount() + preview->addedCount());
        });
    };
    const auto importInto = [&](const QString &from, bool costs, Bench::StepBreakdown *steps) {
        return importAt(
            [&] {
                QFile::remove(path);
                QFile::copy(from, path);
            },
            [&] { return path; }, costs, steps);
    };
    Bench::StepBreakdown costSteps;
    Bench::StepBreakdown listSteps;
    Bench::StepBreakdown unindexedSteps;
    const double asCosts = importInto(master, true, &costSteps);
    const double ms = importInto(master, false, &listSteps);
    const double unindexed = importInto(foreign, false, &unindexedSteps);
    listSteps.print(QStringLiteral("the Apply on SQLite"));
    if (changed < count)
        qFatal("only %lld changes", static_cast<long long>(changed));
    const QString lines = QLocale(QLocale::English).toString(count);
    Bench::result(QStringLiteral("import and apply %1 lines").arg(lines), ms,
        QStringLiteral("sqlite3 .import of the same file"), reference, QStringLiteral("ms:3000"));
    Bench::result(QStringLiteral("import and apply %1 lines as costs, by a markup").arg(lines), asCosts,
        QStringLiteral("the same as list prices"), ms, QStringLiteral("ms:3000"));
    Bench::result(QStringLiteral("import and apply %1 lines into a list without the index").arg(lines),
        unindexed, QStringLiteral("the same into a list Brasko made"), ms, QStringLiteral("ratio:2"));
    if (onServer)
        serverImport(importAt, master, csv, lines, ms, runs, explain);
    Bench::result(QStringLiteral("peak memory, importing %1 lines").arg(lines),
        static_cast<double>(Bench::peakKb()) / 1024.0, QString(), 0, QStringLiteral("mb:300"),
        Bench::peakKb(), "MB");
    return 0;
}
