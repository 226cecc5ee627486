#include "core/searchtext.h"

#include <QTest>

// Searching a list as typed: which rows a query finds, in Latin and Arabic.
class TestSearchText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void find_data();
    void find();
    void typingOnNarrowsLikeAFreshSearch_data();
    void typingOnNarrowsLikeAFreshSearch();
    void rowsAddedWhileSearchedAreFound_data();
    void rowsAddedWhileSearchedAreFound();
};

namespace
{

struct Row {
    const char16_t *id;
    const char16_t *description;
};

const Row Rows[] = {
    { u"R5-5600", u"AMD Ryzen 5 5600 3.5GHz 6C/12T" },
    { u"I5-12400", u"Intel Core i5-12400 2.5GHz" },
    { u"R7-7700X", u"AMD RYZEN 7 7700X" },
    { u"CAF\u00c9", u"Caf\u00e9 cr\u00e8me keyboard" },
    { u"AR-1",
        u"\u0634\u0627\u0634\u0629 \u0623\u0644\u0648\u0627\u0646 \u0661\u0669 \u0628\u0648\u0635\u0629" },
    { u"AR-2", u"\u0645\u0639\u0627\u0644\u062c \u0625\u0646\u062a\u0644 \u0645\u0642\u0647\u0649" },
    { u"TAB", u"line one\tline two" },
};

// The first `rows` rows of the demo list (all of them by default).
SearchIndex demoIndex(size_t rows = std::size(Rows))
{
    SearchIndex index;
    for (size_t i = 0; i < rows; ++i)
        index.add(QStringView(Rows[i].id), QStringView(Rows[i].description));
    return index;
}

QList<int> asList(const std::vector<int> &rows)
{
    return QList<int>(rows.begin(), rows.end());
}

} // namespace

void TestSearchText::find_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QList<int>>("rows");
    QTest::newRow("empty query: every row") << "" << QList<int> { 0, 1, 2, 3, 4, 5, 6 };
    QTest::newRow("lower case finds any case") << "ryz" << QList<int> { 0, 2 };
    QTest::newRow("upper case finds any case") << "RYZ" << QList<int> { 0, 2 };
    QTest::newRow("by id") << "12400" << QList<int> { 1 };
    QTest::newRow("id prefix") << "r7-" << QList<int> { 2 };
    QTest::newRow("nothing") << "xyz" << QList<int> {};
    QTest::newRow("no match across id and description") << "5600amd" << QList<int> {};
    QTest::newRow("no match across two rows") << "12ti5" << QList<int> {};
    QTest::newRow("accent typed or not") << "cafe creme" << QList<int> { 3 };
    QTest::newRow("accent typed finds the plain letter")
        << QString::fromUtf16(u"R\u00ffzen") << QList<int> { 0, 2 };
    QTest::newRow("Arabic word") << QString::fromUtf16(u"\u0634\u0627\u0634\u0629") << QList<int> { 4 };
    QTest::newRow("alef without hamza finds alef with hamza")
        << QString::fromUtf16(u"\u0627\u0644\u0648\u0627\u0646") << QList<int> { 4 };
    QTest::newRow("alef with hamza below typed as plain alef")
        << QString::fromUtf16(u"\u0627\u0646\u062a\u0644") << QList<int> { 5 };
    QTest::newRow("taa marbuta typed as haa")
        << QString::fromUtf16(u"\u0628\u0648\u0635\u0647") << QList<int> { 4 };
    QTest::newRow("yaa typed for alef maqsura")
        << QString::fromUtf16(u"\u0645\u0642\u0647\u064a") << QList<int> { 5 };
    QTest::newRow("Latin digits find Arabic-Indic ones") << "19" << QList<int> { 4 };
    QTest::newRow("Arabic-Indic digits find Latin ones")
        << QString::fromUtf16(u"\u0665\u0666\u0660\u0660") << QList<int> { 0 };
    QTest::newRow("a tab in the text counts as a blank") << "one line" << QList<int> { 6 };
}

void TestSearchText::find()
{
    QFETCH(QString, query);
    QFETCH(QList<int>, rows);
    SearchIndex index = demoIndex();
    QCOMPARE(asList(index.find(query)), rows);
}

void TestSearchText::typingOnNarrowsLikeAFreshSearch_data()
{
    QTest::addColumn<QStringList>("typed"); // successive queries, as the person types and deletes
    QTest::newRow("typing on") << QStringList { "r", "ry", "ryz", "ryze" };
    QTest::newRow("deleting back") << QStringList { "ryz", "ry", "r", "" };
    QTest::newRow("a new word") << QStringList { "amd", "intel" };
    QTest::newRow("the same again") << QStringList { "core", "core" };
}

void TestSearchText::typingOnNarrowsLikeAFreshSearch()
{
    QFETCH(QStringList, typed);
    SearchIndex typing = demoIndex();
    for (const QString &query : typed) {
        SearchIndex fresh = demoIndex();
        QCOMPARE(asList(typing.find(query)), asList(fresh.find(query)));
    }
}

void TestSearchText::rowsAddedWhileSearchedAreFound_data()
{
    QTest::addColumn<QStringList>("typed"); // a query before each part of the list comes in
    QTest::addColumn<int>("part"); // rows that come in after each query
    QTest::newRow("the same query as rows come") << QStringList { "r", "r", "r", "r", "r" } << 2;
    QTest::newRow("nothing yet, then found") << QStringList { "intel", "intel", "intel", "intel" } << 1;
    QTest::newRow("typing on as rows come") << QStringList { "r", "ry", "ryz", "ryz" } << 2;
    QTest::newRow("deleting back as rows come") << QStringList { "ryz", "ry", "r", "" } << 3;
    QTest::newRow("every row, as rows come") << QStringList { "", "", "" } << 4;
    QTest::newRow("a new word as rows come") << QStringList { "amd", "amd", "core", "core" } << 2;
}

void TestSearchText::rowsAddedWhileSearchedAreFound()
{
    QFETCH(QStringList, typed);
    QFETCH(int, part);
    SearchIndex growing;
    size_t rows = 0;
    for (const QString &query : typed) {
        // What a search over the rows so far finds, then the next part of the list.
        QCOMPARE(asList(growing.find(query)), asList(demoIndex(rows).find(query)));
        for (int i = 0; i < part && rows < std::size(Rows); ++i, ++rows)
            growing.add(QStringView(Rows[rows].id), QStringView(Rows[rows].description));
    }
    while (rows < std::size(Rows)) {
        growing.add(QStringView(Rows[rows].id), QStringView(Rows[rows].description));
        ++rows;
    }
    // The whole list come in, the last query finds what it finds in the list folded at once.
    QCOMPARE(asList(growing.find(typed.last())), asList(demoIndex().find(typed.last())));
}

QTEST_APPLESS_MAIN(TestSearchText)
#include "tst_searchtext.moc"
