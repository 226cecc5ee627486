// Whatever a person types reaches the statements only as a value: a settings text, an id or a
// description of any content is stored and read back exactly (or refused as a whole when it holds a
// NUL), and no other row of the table changes.
#include "fuzzinput.h"
#include "store/adtstatements.h"
#include "store/store.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace
{

struct Fixture {
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Store> store;
    int rows = 0;

    Fixture()
    {
        // A memory-backed folder where there is one: every commit syncs the file.
        const QString base
            = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/fuzz-statements-XXXXXX"));
        const QString path = dir->filePath(QStringLiteral("db.mdb"));
        if (!createPriceListDatabase(path))
            std::abort();
        store = std::make_unique<Store>(path, QStringLiteral("fuzz"));
        if (!store->open())
            std::abort();
        for (const char *statement :
            { "insert into adt (category,id,description,price) values ('90','company','Shop','0.00')",
                "insert into adt (category,id,description,price) values ('7','A','First','1.00')",
                "insert into adt (category,id,description,price) values ('8','B','Second','2.00')" }) {
            if (!store->execute(QString::fromLatin1(statement)))
                std::abort();
        }
        rows = count();
    }
    int count() const
    {
        QSqlQuery q(QStringLiteral("select count(*) from adt"), store->database());
        return q.next() ? q.value(0).toInt() : -1;
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

// SQLite cuts a text at a NUL and hands U+FFFE and U+FFFF back as U+FFFD, so the store refuses
// texts holding them rather than keep something else.
bool storable(const QString &text)
{
    return !text.contains(QChar(0)) && !text.contains(QChar(0xFFFE)) && !text.contains(QChar(0xFFFF));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 8192)
        return 0;
    static int argc = 1;
    static char name[] = "fuzz_statements";
    static char *argv[] = { name, nullptr };
    static QCoreApplication app(argc, argv);
    Fixture &f = fixture();
    const Fuzz::Input in(data, size, 3);
    const QString &value = in.texts[0];
    const QString &id = in.texts[1];
    const QString &description = in.texts[2];

    const bool rewritten = f.store->rewriteSetting(QStringLiteral("company"), value);
    FUZZ_CHECK(rewritten == storable(value));
    if (rewritten)
        FUZZ_CHECK(f.store->readSetting(QStringLiteral("company")) == value);
    FUZZ_CHECK(f.count() == f.rows);

    const bool added = f.store->execute(
        AdtStatements::insert(QStringLiteral("9"), id, description, QStringLiteral("3.50")));
    FUZZ_CHECK(added == (storable(id) && storable(description)));
    if (added) {
        FUZZ_CHECK(f.count() == f.rows + 1);
        auto found = f.store->query(AdtStatements::lookup(QStringLiteral("9"), id));
        FUZZ_CHECK(found && found->moveFirst());
        FUZZ_CHECK(found->text(QStringLiteral("Description")) == description);
        FUZZ_CHECK(found->text(QStringLiteral("price")) == QStringLiteral("3.50"));
        found.reset();
        FUZZ_CHECK(f.store->execute(
            AdtStatements::update(QStringLiteral("9"), id, description + id, QStringLiteral("4"))));
        FUZZ_CHECK(f.store->execute(AdtStatements::remove(QStringLiteral("9"), id)));
    }
    FUZZ_CHECK(f.count() == f.rows);
    // The other categories' items are untouched.
    auto a = f.store->query(AdtStatements::lookup(QStringLiteral("7"), QStringLiteral("A")));
    FUZZ_CHECK(a && a->moveFirst() && a->text(QStringLiteral("Description")) == QStringLiteral("First"));
    return 0;
}
