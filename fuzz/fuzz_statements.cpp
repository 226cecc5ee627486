// Whatever a person types reaches the program's statements only as a value: a settings text, an
// id or a description of any content is stored and read back exactly through the price list's own
// statements (or refused as a whole, with the reason, when it holds a NUL or a non-character), and
// no other row of the table changes.
#include "fuzzinput.h"
#include "store/pricelistrepository.h"
#include "store/store.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace
{

struct Fixture {
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Store> store;
    std::unique_ptr<PriceListRepository> repo;
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
        repo = std::make_unique<PriceListRepository>(store.get());
        const PriceListItem items[] = {
            { QStringLiteral("90"), QStringLiteral("company"), QStringLiteral("Shop"),
                QStringLiteral("0.00") },
            { QStringLiteral("7"), QStringLiteral("A"), QStringLiteral("First"), QStringLiteral("1.00") },
            { QStringLiteral("8"), QStringLiteral("B"), QStringLiteral("Second"), QStringLiteral("2.00") },
        };
        for (const PriceListItem &item : items) {
            if (repo->add(item).isValid())
                std::abort();
        }
        rows = count();
    }
    int count() const
    {
        auto counted = store->query(QStringLiteral("select count(*) as n from adt"), {});
        return counted && counted->moveFirst()
            ? counted->field(QStringLiteral("n")).value_or(QVariant(-1)).toInt()
            : -1;
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

// What the list holds, or nothing when it holds none or cannot be read.
std::optional<PriceListItem> itemOf(PriceListRepository &repo, const QString &category, const QString &id)
{
    const auto read = repo.item(category, id);
    return read ? *read : std::nullopt;
}

// A refusal names its reason.
bool refusedWithReason(const StoreError &error)
{
    const QString why = error.text();
    return why.contains(QLatin1String("NUL")) || why.contains(QLatin1String("not a character"));
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

    PriceListRepository &repo = *f.repo;
    const QString category = QStringLiteral("9");

    const StoreError notRewritten = repo.rewriteSettings({ { QStringLiteral("company"), value } });
    const bool rewritten = !notRewritten.isValid();
    FUZZ_CHECK(rewritten == storable(value));
    const auto company = repo.setting(QStringLiteral("company"));
    FUZZ_CHECK(rewritten ? company && *company == value : refusedWithReason(notRewritten));
    FUZZ_CHECK(f.count() == f.rows);

    const StoreError notAdded = repo.add({ category, id, description, QStringLiteral("3.50") });
    const bool added = !notAdded.isValid();
    FUZZ_CHECK(added == (storable(id) && storable(description)));
    if (added) {
        FUZZ_CHECK(f.count() == f.rows + 1);
        const auto found = itemOf(repo, category, id);
        FUZZ_CHECK(found && found->description == description && found->price == QStringLiteral("3.50"));
        FUZZ_CHECK(!repo.update({ category, id, description + id, value }).isValid() == storable(value));
        const auto changed = itemOf(repo, category, id);
        FUZZ_CHECK(changed && changed->description == (storable(value) ? description + id : description));
        FUZZ_CHECK(!repo.removeRow(*found).isValid());
    } else {
        FUZZ_CHECK(refusedWithReason(notAdded));
    }
    FUZZ_CHECK(f.count() == f.rows);
    // The other categories' items are untouched.
    const auto a = itemOf(repo, QStringLiteral("7"), QStringLiteral("A"));
    FUZZ_CHECK(a && a->description == QStringLiteral("First") && a->price == QStringLiteral("1.00"));
    return 0;
}
