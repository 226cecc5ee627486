#include "core/supplierfile.h"

#include <QBuffer>
#include <QTest>

// Reading suppliers' files: their encoding and delimiter, their records with the lines they start
// on, and the lines that cannot be read.
class TestSupplierFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void detectEncoding_data();
    void detectEncoding();
    void detectDelimiter_data();
    void detectDelimiter();
    void binaryIsRefused();
    void read_data();
    void read();
    void cancelStops();
};

using SupplierFile::Encoding;
Q_DECLARE_METATYPE(SupplierFile::Encoding)

namespace
{

const QString Arabic
    = QString::fromUtf16(u"\u0634\u0627\u0634\u0629 \u0633\u0627\u0645\u0633\u0648\u0646\u062c");

QByteArray windows1256(const QString &text)
{
    QStringEncoder encoder("windows-1256");
    return QByteArray(encoder.encode(text));
}

QByteArray utf16(const QString &text, bool bigEndian, bool bom)
{
    QStringEncoder encoder(bigEndian ? QStringEncoder::Utf16BE : QStringEncoder::Utf16LE,
        bom ? QStringEncoder::Flag::WriteBom : QStringEncoder::Flag::Default);
    return QByteArray(encoder.encode(text));
}

// "line:field|field" per record, "!line:reason" per problem, in the order met.
QStringList readAll(const QByteArray &bytes, const SupplierFile::Format &format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QStringList out;
    SupplierFile::Handlers handlers;
    handlers.record = [&](SupplierFile::Record &&r) {
        out << QStringLiteral("%1:%2").arg(r.line).arg(r.fields.join(u'|'));
    };
    handlers.problem = [&](SupplierFile::Problem &&p) {
        out << QStringLiteral("!%1:%2").arg(p.line).arg(p.reason.left(24));
    };
    QString why;
    if (!SupplierFile::read(buffer, format, handlers, &why))
        out << QStringLiteral("failed: ") + why;
    return out;
}

} // namespace

void TestSupplierFile::detectEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Encoding>("encoding");
    QTest::newRow("ASCII") << QByteArray("id,price\nR5,5400\n") << Encoding::Utf8;
    QTest::newRow("UTF-8 with a mark") << QByteArray("\xEF\xBB\xBFid,price\n") << Encoding::Utf8;
    QTest::newRow("UTF-8 Arabic") << (QByteArray("id,") + Arabic.toUtf8()) << Encoding::Utf8;
    QTest::newRow("UTF-8 cut inside a character")
        << (QByteArray("id,") + Arabic.toUtf8()).chopped(1) << Encoding::Utf8;
    QTest::newRow("UTF-16 LE with a mark") << utf16("id,price\n" + Arabic, false, true) << Encoding::Utf16LE;
    QTest::newRow("UTF-16 BE with a mark") << utf16("id,price\n" + Arabic, true, true) << Encoding::Utf16BE;
    QTest::newRow("UTF-16 LE without a mark")
        << utf16("id,price\nR5,5400\n", false, false) << Encoding::Utf16LE;
    QTest::newRow("UTF-16 BE without a mark")
        << utf16("id,price\nR5,5400\n", true, false) << Encoding::Utf16BE;
    QTest::newRow("Windows-1252 accents")
        << QByteArray("CAF,Caf\xE9 cr\xE8me clavier,12\n") << Encoding::Windows1252;
    QTest::newRow("Windows-1256 Arabic") << windows1256("AR1," + Arabic + ",100\n") << Encoding::Windows1256;
}

void TestSupplierFile::detectEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Encoding, encoding);
    QCOMPARE(SupplierFile::detectEncoding(bytes), encoding);
}

void TestSupplierFile::detectDelimiter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiter");
    QTest::newRow("comma") << "id,description,price\nR5,Ryzen,5400\n"
                           << ",";
    QTest::newRow("semicolon with decimal commas")
        << "id;description;price\nR5;Ryzen 5, boxed;5400,50\nI5;Core;6900,00\n"
        << ";";
    QTest::newRow("tab") << "id\tdescription\tprice\nR5\tRyzen, boxed\t5400\n"
                         << "\t";
    QTest::newRow("comma inside quotes does not count") << "id;\"a,b,c\";price\nR5;\"x,y,z\";1\n"
                                                        << ";";
    QTest::newRow("bar") << "id|price\nR5|5400\n"
                         << "|";
    QTest::newRow("one column: comma") << "id\nR5\n"
                                       << ",";
}

void TestSupplierFile::detectDelimiter()
{
    QFETCH(QString, text);
    QFETCH(QString, delimiter);
    QCOMPARE(SupplierFile::detectDelimiter(text), delimiter.at(0));
}

void TestSupplierFile::binaryIsRefused()
{
    QString why;
    QVERIFY(!SupplierFile::detect(QByteArray("\x7F"
                                             "ELF\x02\x01\x01\0\0\0",
                                      10),
        &why));
    QVERIFY2(why.contains(QStringLiteral("binary")), qPrintable(why));
    QVERIFY(SupplierFile::detect(utf16("id,price\n", false, true), &why));
}

void TestSupplierFile::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QStringList>("read");
    const QByteArray longLine = "X," + QByteArray(SupplierFile::MaxRecordBytes + 10, 'a') + "\nY,1\n";
    QTest::newRow("plain") << QByteArray("a,b\nc,d\n") << "," << Encoding::Utf8
                           << QStringList { "1:a|b", "2:c|d" };
    QTest::newRow("quotes, delimiters and line breaks inside fields")
        << QByteArray("a,\"b,c\",d\n\"x\ny\",\"say \"\"hi\"\"\",w\nlast,1,2\n") << "," << Encoding::Utf8
        << QStringList { "1:a|b,c|d", "2:x\ny|say \"hi\"|w", "4:last|1|2" };
    QTest::newRow("blank lines count but hold nothing")
        << QByteArray("a,b\n\n  \nc,d\n") << "," << Encoding::Utf8 << QStringList { "1:a|b", "4:c|d" };
    QTest::newRow("CR LF and a lone CR") << QByteArray("a,b\r\nc,d\re,f") << "," << Encoding::Utf8
                                         << QStringList { "1:a|b", "2:c|d", "3:e|f" };
    QTest::newRow("tab-separated, blanks trimmed, quoted blanks kept")
        << QByteArray(" a \t\" b \"\tc\n") << "\t" << Encoding::Utf8 << QStringList { "1:a| b |c" };
    QTest::newRow("a quote never closed: the lines after it are still read")
        << QByteArray("a,b\n\"open,c\nd,e\n") << "," << Encoding::Utf8
        << QStringList { "1:a|b", "!2:A quote opened on this l", "3:d|e" };
    // The quote of line 2 would end inside line 4: one item with another's category and price.
    QTest::newRow("a quote closed lines later swallows nothing")
        << QByteArray("category,id,description,price\n0,R5,\"AMD Ryzen 5,5400\n0,I5,Intel Core i5,6900\n"
                      "0,I7,\"Intel Core i7\",11800\n")
        << "," << Encoding::Utf8
        << QStringList { "1:category|id|description|price", "!2:A quote opened on this l",
               "3:0|I5|Intel Core i5|6900", "4:0|I7|Intel Core i7|11800" };
    QTest::newRow("a quote closed at the end of a later line swallows nothing")
        << QByteArray("a,b,c\n1,\"x,3\n4,5,6\"\n7,8,9\n") << "," << Encoding::Utf8
        << QStringList { "1:a|b|c", "!2:A quote opened on this l", "3:4|5|6\"", "4:7|8|9" };
    QTest::newRow("text after a closing quote")
        << QByteArray("a,b\n\"x\" y,c\nd,e\n") << "," << Encoding::Utf8
        << QStringList { "1:a|b", "!2:A quote opened on this l", "3:d|e" };
    QTest::newRow("an inch sign inside an unquoted text is text") << QByteArray(
        "a,b\n15\" LCD,c\n") << "," << Encoding::Utf8 << QStringList { "1:a|b", "2:15\" LCD|c" };
    QTest::newRow("a line with more fields than the first: refused; empty ones at its end do not count")
        << QByteArray("a,b,c\n1,2,3,4\n5,6,7,\n") << "," << Encoding::Utf8
        << QStringList { "1:a|b|c", "!2:The line has 4 fields wh", "3:5|6|7|" };
    QTest::newRow("a NUL in a line") << QByteArray("a,b\nc\0x,d\ne,f\n", 14) << "," << Encoding::Utf8
                                     << QStringList { "1:a|b", "!2:The line holds a NUL cha", "3:e|f" };
    QTest::newRow("bytes that are not UTF-8") << QByteArray("a,b\nc\xFF,d\n") << "," << Encoding::Utf8
                                              << QStringList { "1:a|b", "!2:The line holds bytes tha" };
    QTest::newRow("a line longer than a record may be")
        << longLine << "," << Encoding::Utf8 << QStringList { "!1:The record is longer tha", "2:Y|1" };
    QTest::newRow("a line many records long is refused once")
        << "X," + QByteArray(5 * SupplierFile::MaxRecordBytes, 'a') + "\nY,1\n"
        << "," << Encoding::Utf8 << QStringList { "!1:The record is longer tha", "2:Y|1" };
    QTest::newRow("Windows-1256") << windows1256("AR1;" + Arabic + ";100\n") << ";" << Encoding::Windows1256
                                  << QStringList { "1:AR1|" + Arabic + "|100" };
    QTest::newRow("UTF-16 with a mark") << utf16("a,b\n" + Arabic + ",1\n", false, true) << ","
                                        << Encoding::Utf16LE << QStringList { "1:a|b", "2:" + Arabic + "|1" };
    QTest::newRow("UTF-8 mark skipped")
        << QByteArray("\xEF\xBB\xBFid,price\n") << "," << Encoding::Utf8 << QStringList { "1:id|price" };
    QTest::newRow("empty file") << QByteArray() << "," << Encoding::Utf8 << QStringList {};
}

void TestSupplierFile::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, delimiter);
    QFETCH(Encoding, encoding);
    QFETCH(QStringList, read);
    QCOMPARE(readAll(bytes, { encoding, delimiter.at(0) }), read);
}

void TestSupplierFile::cancelStops()
{
    QByteArray bytes;
    for (int i = 0; i < 20000; ++i)
        bytes += "id" + QByteArray::number(i) + ",1\n";
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    int records = 0;
    SupplierFile::Handlers handlers;
    handlers.record = [&](SupplierFile::Record &&) { ++records; };
    handlers.problem = [](SupplierFile::Problem &&) {};
    handlers.keepGoing = [](qint64) { return false; };
    QString why;
    QVERIFY(!SupplierFile::read(buffer, { Encoding::Utf8, u',' }, handlers, &why));
    QVERIFY(records < 20000);
}

QTEST_APPLESS_MAIN(TestSupplierFile)
#include "tst_supplierfile.moc"
