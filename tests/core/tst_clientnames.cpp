// The client names offered while typing: any part, any case, accents and Arabic letter forms
// alike, each name once, those the text begins first.
#include "core/clientnames.h"

#include <QTest>

class TestClientNames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matching_data();
    void matching();
};

void TestClientNames::matching_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("part of a name, beginning first")
        << "nab" << QStringList { "Nabila Ezz", "Karim Nabil 0100" };
    QTest::newRow("other case") << "KARIM" << QStringList { "Karim Nabil 0100" };
    QTest::newRow("accent typed plain") << "jose" << QStringList { "José Haddad" };
    QTest::newRow("alef forms") << "احمد" << QStringList { "أحمد محمود" };
    QTest::newRow("taa marbuta typed as haa") << "مكتبه" << QStringList { "مكتبة الأمل" };
    QTest::newRow("telephone digits") << "0100" << QStringList { "Karim Nabil 0100" };
    QTest::newRow("blanks only") << "   " << QStringList {};
    QTest::newRow("nobody") << "zzz" << QStringList {};
}

void TestClientNames::matching()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, offered);
    ClientNames names;
    for (const char *name : { "Karim Nabil 0100", "  karim nabil 0100 ", "Nabila Ezz", "José Haddad",
             "أحمد محمود", "مكتبة الأمل", "", "KARIM NABIL 0100" })
        names.add(QString::fromUtf8(name));
    QCOMPARE(names.size(), 5); // each name once, whatever its case or blanks
    // Those the text begins come first.
    QCOMPARE(names.matching(typed, 10), offered);
    QCOMPARE(names.matching(typed, 1), offered.mid(0, 1));
}

QTEST_GUILESS_MAIN(TestClientNames)
#include "tst_clientnames.moc"
