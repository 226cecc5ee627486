// Importing a supplier's file of `count` lines into a list of as many items (every price changed,
// one line in ten a new item): reading, preview and Apply, beside sqlite3's own .import of the same
// file into a bare table in the same run (the sqlite3 program must be installed). Also reports the
// process's peak memory.
//
//   bench_import [count=100000] [runs=3]
#include "benchdb.h"
#include "benchutil.h"

#include "core/supplierimport.h"
#include "store/priceimport.h"
#include "store/store.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace
{

bool writeSupplierFile(const QString &path, int count)
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
                       .arg(101 + i % 9000)
                       .arg(i % 100, 2, 10, QLatin1Char('0'))
                       .toUtf8());
    }
    return file.error() == QFile::NoError;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    QTemporaryDir dir;
    const QString master = dir.filePath(QStringLiteral("master.mdb"));
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    const QString csv = dir.filePath(QStringLiteral("supplier.csv"));
    if (!Bench::makePriceList(master, count, 2, count) || !writeSupplierFile(csv, count))
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
    qsizetype changed = 0;
    const double ms = Bench::medianMs(
        runs,
        [&] {
            QFile::remove(path);
            QFile::copy(master, path);
        },
        [&] {
            Store store(path, QStringLiteral("bench-import"));
            if (!store.open())
                qFatal("cannot open the list");
            QFile file(csv);
            file.open(QIODevice::ReadOnly);
            SupplierImport::Columns columns { 0, 1, 2, 3, QString(), true,
                SupplierImport::DecimalSign::Point };
            bool finished = false;
            const SupplierImport::Reading reading = SupplierImport::readItems(
                file, { SupplierFile::Encoding::Utf8, u',' }, columns, {}, &finished, nullptr);
            PriceImport import(&store);
            const auto preview = import.preview(reading.items);
            if (!finished || !preview || !reading.problems.isEmpty()
                || !import.apply(
                    *preview, false, QStringLiteral("supplier.csv"), QDateTime::currentDateTime()))
                qFatal("import failed");
            changed = static_cast<qsizetype>(preview->changed.size() + preview->added.size());
        });
    if (changed < count)
        qFatal("only %lld changes", static_cast<long long>(changed));
    const QString lines = QLocale(QLocale::English).toString(count);
    Bench::result(QStringLiteral("import and apply %1 lines").arg(lines), ms,
        QStringLiteral("sqlite3 .import of the same file"), reference, QStringLiteral("ms:3000"));
    Bench::result(QStringLiteral("peak memory, importing %1 lines").arg(lines),
        static_cast<double>(Bench::peakKb()) / 1024.0, QString(), 0, QStringLiteral("mb:300"),
        Bench::peakKb(), "MB");
    return 0;
}
