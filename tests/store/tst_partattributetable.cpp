#include "store/partattributetable.h"
#include "store/store.h"
#include "support/testdb.h"

#include <QTest>

// Items' attributes kept beside the list, on db.mdb and on a server alike.
class TestPartAttributeTable : public QObject
{
    Q_OBJECT

public:
    explicit TestPartAttributeTable(Backend backend)
        : m_backend(backend)
    {
    }

private Q_SLOTS:
    void initTestCase() { BRASKO_START_BACKEND(m_backend); }
    void keepsWhatWasWritten();

private:
    Backend m_backend;
};

void TestPartAttributeTable::keepsWhatWasWritten()
{
    TestDb db(m_backend, { { "0", "R5-7600", "AMD Ryzen 5 7600", "9000" } });
    Store store(db.path, QStringLiteral("t-attributes"));
    QVERIFY(store.open());
    PartAttributeTable table(&store);
    // A list that never had attributes reads as one without any, and stays as it was.
    QCOMPARE(*table.read(QStringLiteral("0"), QStringLiteral("R5-7600")), PartAttributes());
    QVERIFY(table.readCategory(QStringLiteral("0"))->isEmpty());
    QVERIFY(!store.hasTable(QStringLiteral("part_attributes")).value_or(true));

    PartAttributes processor;
    processor.set(Attribute::Socket, QStringLiteral("AM5"));
    processor.set(Attribute::Power, QStringLiteral("65"), true);
    const StoreError failed = table.write(QStringLiteral("0"), QStringLiteral("R5-7600"), processor);
    QVERIFY2(!failed.isValid(), qPrintable(failed.text()));
    // What a newer program keeps under a name this one does not know survives a write, unread.
    db.exec(QStringLiteral("insert into part_attributes (category, item_id, attribute, value, guessed)"
                           " values ('0', 'R5-7600', 'cache_mb', '32', 0)"));
    processor.remove(Attribute::Power);
    processor.set(Attribute::MemoryTypes, QStringLiteral("DDR5"));
    QVERIFY(!table.write(QStringLiteral("0"), QStringLiteral("R5-7600"), processor).isValid());
    QCOMPARE(*table.read(QStringLiteral("0"), QStringLiteral("R5-7600")), processor);
    QSqlQuery unknown(db.raw());
    QVERIFY(
        unknown.exec(QStringLiteral("select count(*) from part_attributes where attribute = 'cache_mb'")));
    QVERIFY(unknown.next());
    QCOMPARE(unknown.value(0).toInt(), 1);
    unknown.finish(); // a file lets no one write while a read is open

    PartAttributes guessed;
    guessed.set(Attribute::Socket, QStringLiteral("AM4"), true);
    QVERIFY(!table.write(QStringLiteral("0"), QStringLiteral("R5-5600"), guessed).isValid());
    // A value written by hand that no longer reads as one is passed over.
    db.exec(QStringLiteral("insert into part_attributes (category, item_id, attribute, value, guessed)"
                           " values ('0', 'R5-5600', 'power', 'a lot', 0)"));
    const auto category = table.readCategory(QStringLiteral("0"));
    QVERIFY(category);
    QCOMPARE(category->size(), 2);
    QCOMPARE(category->value(QStringLiteral("R5-5600")), guessed);
    QCOMPARE(category->value(QStringLiteral("R5-7600")), processor);
    QCOMPARE(db.count(), 1); // the list itself is untouched
}

BRASKO_TEST_ON_BOTH_BACKENDS(TestPartAttributeTable)
#include "tst_partattributetable.moc"
