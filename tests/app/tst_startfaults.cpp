// The program's windows over a database in trouble: refused at start, failing while it runs (read
// only, locked by another process, deleted, a full disk), and texts that could break a statement.
// The person always gets a message, nothing crashes, and no settings row or item is lost or
// half-written.

#include "app/startup.h"
#include "app/windowwiring.h"
#include "support/faults_support.h"
#include "support/typing.h"
#include "widgets/gridcombo.h"
#include "widgets/numericedit.h"
#include "windows/errors/errorreport.h"
#include "windows/errors/showerrorreport.h"
#include "windows/main/mainwindow.h"
#include "windows/pricelist/pricelisteditor.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <optional>

using namespace Faults;

namespace
{

const QList<Row> Settings = { { "90", "company", "Old Shop", "0.00" }, { "90", "sp", "Old Seller", "0.00" },
    { "90", "dt", "1/1/2026 09:00:00", "0.00" }, { "4", "A", "Hard disk A", "300" } };

QLineEdit *box(QWidget &w, const char *name)
{
    return w.findChild<QLineEdit *>(QString::fromLatin1(name));
}

// What the close sequence asked the person, and what the test answers.
struct CloseAsk {
    QStringList asked;
    bool answer = false;
    void attach(MainWindow &form)
    {
        form.setCloseAfterFailure([this](const QString &message) {
            asked << message;
            return answer;
        });
    }
};

// Catches the price-list editor's error reports instead of showing them.
class Reports
{
public:
    Reports()
    {
        m_previous = ErrorReporting::setShowHook([this](ErrorReport &r) {
            descriptions << r.findChild<QLineEdit *>(QStringLiteral("txterr0"))->text() + QLatin1Char('\n')
                    + r.findChild<QPlainTextEdit *>(QStringLiteral("txterr1"))->toPlainText();
        });
    }
    ~Reports() { ErrorReporting::setShowHook(m_previous); }
    QStringList descriptions;

private:
    ErrorReporting::ShowHook m_previous;
};

enum class Fault { ReadOnlyFile, ReadOnlyFolder, Locked, Deleted, FullDisk };

// Puts a fault on a running program's database and takes it off again.
class FaultOn
{
public:
    FaultOn(Fault fault, const QString &dir, const QString &path, SmallDisk *disk)
        : m_fault(fault)
        , m_dir(dir)
        , m_path(path)
    {
        BackToRoot root;
        switch (fault) {
        case Fault::ReadOnlyFile:
            ::chmod(QFile::encodeName(path).constData(), 0444);
            break;
        case Fault::ReadOnlyFolder:
            ::chmod(QFile::encodeName(dir).constData(), 0555);
            break;
        case Fault::Locked:
            m_ok = startHelper(m_locker, QStringLiteral("lock"), path, "locked");
            break;
        case Fault::Deleted:
            m_ok = QFile::remove(path);
            break;
        case Fault::FullDisk:
            m_ok = disk && disk->fill() > 0;
            break;
        }
    }
    ~FaultOn()
    {
        BackToRoot root;
        if (m_fault == Fault::ReadOnlyFolder)
            ::chmod(QFile::encodeName(m_dir).constData(), 0777);
        stopHelper(m_locker);
    }
    bool ok() const { return m_ok; }

private:
    Fault m_fault;
    QString m_dir, m_path;
    QProcess m_locker;
    bool m_ok = true;
};

} // namespace

class TestStartFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startRefused_data();
    void startRefused();
    void lockedAtStartThroughMain();
    void emptyFileIsRefusedAtStart();
    void failingClose_data();
    void failingClose();
    void settingTexts_data();
    void settingTexts();
    void nonCharactersAreRefused_data();
    void nonCharactersAreRefused();
    void pickerIds_data();
    void pickerIds();
    void editorTexts_data();
    void editorTexts();
    void editorUnderFault_data();
    void editorUnderFault();
};

void TestStartFaults::startRefused_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: the real database cut to half its size
    QTest::newRow("text file") << QByteArray("category;id;description\n0;I5;Intel\n").repeated(100);
    QTest::newRow("foreign binary") << QByteArray("Standard Jet DB\0\0\0\0", 19).repeated(300);
    QTest::newRow("cut to half") << QByteArray();
}

void TestStartFaults::startRefused()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QList<Row> rows = Settings;
    for (int i = 0; i < 400; ++i)
        rows << Row { QString::number(i % 17), QStringLiteral("ID%1").arg(i), QString(50, QLatin1Char('d')),
            QStringLiteral("1.00") };
    QVERIFY(makeDatabase(path, rows));
    if (content.isEmpty())
        content = fileBytes(path).left(fileBytes(path).size() / 2);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }
    Store store(path, QStringLiteral("t-refused"));
    MainWindow form(&store);
    QVERIFY(!form.load());
    const QStringList lines = form.connectionFailureMessage().split(u'\r');
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[2].contains(path));
    form.close(); // the window never loaded: closing writes nothing
    QCOMPARE(fileBytes(path), content);
}

void TestStartFaults::lockedAtStartThroughMain()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QVERIFY(makeDatabase(path, Settings));
    const QStringList before = allRows(path);
    QProcess locker;
    QVERIFY(startHelper(locker, QStringLiteral("lock"), path, "locked"));
    QString shown;
    const int code = Main(
        *qApp, [&](const QString &message) { shown = message; }, path);
    stopHelper(locker);
    QCOMPARE(code, 1);
    QVERIFY(shown.startsWith(QStringLiteral("Error connecting to DataBase!\r")));
    QCOMPARE(allRows(path), before);
}

void TestStartFaults::emptyFileIsRefusedAtStart()
{
    // A zero-length db.mdb (an interrupted copy, say) holds no price list at all.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    Store store(path, QStringLiteral("t-empty-file"));
    MainWindow form(&store);
    CloseAsk ask;
    ask.answer = true;
    ask.attach(form);
    const bool loaded = form.load();
    if (loaded) {
        form.close();
        QVERIFY2(!ask.asked.isEmpty(), "a failed save on closing went unmentioned");
        QCOMPARE(QFileInfo(path).size(), 0); // nothing half-made in it either
    }
    QVERIFY(!loaded);
}

// The folder a fault test works in: a small full-able disk for the full-disk case, else a
// temporary folder. Empty when the small disk could not be mounted.
QString faultFolder(Fault which, std::optional<SmallDisk> &disk, std::optional<QTemporaryDir> &tmp)
{
    if (which == Fault::FullDisk) {
        disk.emplace(QStringLiteral("200k"));
        if (!disk->isMounted())
            return {};
        return QFileInfo(disk->filePath(QStringLiteral("x"))).absolutePath();
    }
    tmp.emplace();
    return tmp->path();
}

void TestStartFaults::failingClose_data()
{
    QTest::addColumn<int>("fault");
    QTest::newRow("read-only file") << int(Fault::ReadOnlyFile);
    QTest::newRow("read-only folder") << int(Fault::ReadOnlyFolder);
    QTest::newRow("locked by another process") << int(Fault::Locked);
    QTest::newRow("deleted while running") << int(Fault::Deleted);
    QTest::newRow("full disk") << int(Fault::FullDisk);
}

void TestStartFaults::failingClose()
{
    QFETCH(int, fault);
    const auto which = Fault(fault);
    std::optional<SmallDisk> disk;
    std::optional<QTemporaryDir> tmp;
    const QString dir = faultFolder(which, disk, tmp);
    if (dir.isEmpty())
        QSKIP(qPrintable(QStringLiteral("no small disk to fill: ") + disk->whyNot()));
    const QString path = QDir(dir).filePath(QStringLiteral("db.mdb"));
    QVERIFY(makeDatabase(path, Settings));
    const QStringList before = allRows(path);
    openUpFolder(dir);
    ::chmod(QFile::encodeName(path).constData(), 0666);
    {
        ActAsNobody nobody; // so permission bits hold for a test run as root
        // A read-only file is found so at start; the other faults strike while the program runs.
        std::optional<FaultOn> on;
        if (which == Fault::ReadOnlyFile)
            on.emplace(which, dir, path, nullptr);
        Store store(path, QStringLiteral("t-failing-close"));
        MainWindow form(&store);
        CloseAsk ask;
        ask.attach(form);
        QVERIFY(form.load());
        form.show();
        QCOMPARE(box(form, "Text3")->text(), QStringLiteral("Old Shop"));
        {
            if (!on)
                on.emplace(which, dir, path, disk ? &*disk : nullptr);
            QVERIFY(on->ok());
            typeOver(box(form, "Text3"), QStringLiteral("New Shop ") + QString(20000, QLatin1Char('n')));
            typeOver(box(form, "Text5"), QStringLiteral("New Seller"));
            QVERIFY(!form.close()); // the person says no: the window stays, with what was typed
            QCOMPARE(ask.asked.size(), 1);
            qInfo("%s", qPrintable(ask.asked[0].left(200)));
            QVERIFY2(ask.asked[0].contains(QStringLiteral("shop name")), qPrintable(ask.asked[0]));
            QVERIFY(form.isVisible());
            QVERIFY(box(form, "Text3")->text().startsWith(QStringLiteral("New Shop")));
            ask.answer = true;
            QVERIFY(form.close());
            QCOMPARE(ask.asked.size(), 2);
            on.reset();
        }
    }
    if (which == Fault::Deleted) {
        QVERIFY(!QFile::exists(path)); // nothing was made in its place
        return;
    }
    if (disk)
        QFile::remove(disk->filePath(QStringLiteral("filler")));
    QCOMPARE(allRows(path), before);
    QCOMPARE(integrity(path), QStringLiteral("ok"));
}

void TestStartFaults::settingTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("quotes") << QStringLiteral("Ahmed's \"best\" PCs ''");
    QTest::newRow("statement end") << QStringLiteral("x'); delete from adt; --");
    QTest::newRow("comments") << QStringLiteral("a /* b */ c -- d # e");
    QTest::newRow("arabic") << QStringLiteral("دلتا للكمبيوتر - ٠١٢٣٤٥٦٧٨٩");
    QTest::newRow("emoji") << QStringLiteral(
        "Shop \U0001F5A5\U0001F468\u200D\U0001F4BB \U0001F1EA\U0001F1EC");
    QTest::newRow("control characters") << QStringLiteral("tab\there\rcarriage\nline");
    QTest::newRow("100 KB") << QString(100 * 1024, QLatin1Char('w'));
    QTest::newRow("100 KB arabic with quotes") << QStringLiteral("ب'").repeated(50 * 1024);
}

void TestStartFaults::settingTexts()
{
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QVERIFY(makeDatabase(path, Settings));
    QString held3, held5;
    {
        Store store(path, QStringLiteral("t-texts"));
        MainWindow form(&store);
        CloseAsk ask;
        ask.attach(form);
        QVERIFY(form.load());
        typeOver(box(form, "Text3"), text);
        typeOver(box(form, "Text5"), text + QStringLiteral("'"));
        // A box holds at most its maximum length; what it holds is what must be kept.
        held3 = box(form, "Text3")->text();
        held5 = box(form, "Text5")->text();
        QCOMPARE(held3.size(), std::min<qsizetype>(text.size(), box(form, "Text3")->maxLength()));
        QVERIFY(form.close());
        QVERIFY2(ask.asked.isEmpty(), qPrintable(ask.asked.value(0)));
    }
    QCOMPARE(descriptions(path, QStringLiteral("90"), QStringLiteral("company")), QStringList { held3 });
    QCOMPARE(descriptions(path, QStringLiteral("90"), QStringLiteral("sp")), QStringList { held5 });
    Store store(path, QStringLiteral("t-texts-again"));
    MainWindow form(&store);
    QVERIFY(form.load());
    QCOMPARE(box(form, "Text3")->text(), held3);
    QCOMPARE(box(form, "Text5")->text(), held5);
    QCOMPARE(allRows(path).size(), Settings.size());
}

void TestStartFaults::nonCharactersAreRefused_data()
{
    // SQLite would hand these back changed (U+FFFD) or cut the text short (NUL): the shop name
    // would not come back as typed, so saving it is refused and the person told why.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason"); // what the question must name
    QTest::newRow("U+FFFF") << QStringLiteral("Shop ") + QChar(0xFFFF)
                            << QStringLiteral("U+FFFF, which is not a character");
    QTest::newRow("U+FFFE") << QStringLiteral("Shop ") + QChar(0xFFFE) + QStringLiteral(" Tel")
                            << QStringLiteral("U+FFFE, which is not a character");
    QTest::newRow("lone high surrogate") << QStringLiteral("Shop ") + QChar(0xD83D) + QStringLiteral("x")
                                         << QStringLiteral("U+D83D, half of a character pair");
    QTest::newRow("lone low surrogate")
        << QStringLiteral("Shop ") + QChar(0xDE00) << QStringLiteral("U+DE00, half of a character pair");
    QTest::newRow("NUL") << QStringLiteral("Shop ") + QChar(0) + QStringLiteral(" Tel")
                         << QStringLiteral("a NUL character");
}

void TestStartFaults::nonCharactersAreRefused()
{
    QFETCH(QString, text);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QVERIFY(makeDatabase(path, Settings));
    const QStringList before = allRows(path);
    Store store(path, QStringLiteral("t-nonchar"));
    MainWindow form(&store);
    CloseAsk ask;
    ask.attach(form);
    QVERIFY(form.load());
    form.show();
    typeOver(box(form, "Text3"), text);
    QCOMPARE(box(form, "Text3")->text(), text); // the box holds it as typed
    typeOver(box(form, "Text5"), QStringLiteral("New Seller"));
    // Refused, and said so: the window stays with what was typed, nothing is written.
    QVERIFY(!form.close());
    QCOMPARE(ask.asked.size(), 1);
    QVERIFY2(ask.asked[0].contains(reason), qPrintable(ask.asked[0]));
    QVERIFY(form.isVisible());
    QCOMPARE(box(form, "Text3")->text(), text);
    QCOMPARE(allRows(path), before);
    // Closing anyway keeps the old rows, the seller's included (one save, all or nothing).
    ask.answer = true;
    QVERIFY(form.close());
    QCOMPARE(ask.asked.size(), 2);
    QCOMPARE(allRows(path), before);
}

void TestStartFaults::pickerIds_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("exists");
    QTest::newRow("quote") << QStringLiteral("O'NEIL-1TB") << true;
    QTest::newRow("statement end") << QStringLiteral("HD'; drop table adt; --") << true;
    QTest::newRow("comment") << QStringLiteral("HD /* 2TB */ --") << true;
    QTest::newRow("arabic") << QStringLiteral("قرص-٢") << true;
    QTest::newRow("emoji") << QStringLiteral("HD\U0001F4BE") << true;
    QTest::newRow("long") << QString(32000, QLatin1Char('L')) << true;
    // Not in the list: a lookup that matched anything would show another item.
    QTest::newRow("always true") << QStringLiteral("NOPE' or '1'='1") << false;
    QTest::newRow("union") << QStringLiteral("' union select description, price from adt where id = 'company")
                           << false;
    QTest::newRow("other category") << QStringLiteral("Z") << false;
}

void TestStartFaults::pickerIds()
{
    QFETCH(QString, id);
    QFETCH(bool, exists);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QList<Row> rows = Settings;
    rows << Row { "5", "Z", "Not a disk", "1" };
    if (exists)
        rows << Row { "4", id, QStringLiteral("Disk ") + id.left(20), "450.5" };
    QVERIFY(makeDatabase(path, rows));
    const QStringList before = allRows(path);
    Store store(path, QStringLiteral("t-ids"));
    MainWindow form(&store);
    QVERIFY(form.load());
    const ConfigRow &row = form.row(4);
    row.picker()->setText(QStringLiteral("A"));
    form.itemPicked(4);
    QCOMPARE(row.descriptionLabel()->text(), QStringLiteral("Hard disk A"));
    row.picker()->setText(id);
    QCOMPARE(row.picker()->Text(), id);
    form.itemPicked(4);
    QCOMPARE(row.descriptionLabel()->text(),
        exists ? QStringLiteral("Disk ") + id.left(20) : QStringLiteral("Hard disk A"));
    QCOMPARE(row.amountBox()->text(), exists ? QStringLiteral("450.5") : QStringLiteral("300"));
    QCOMPARE(allRows(path), before);
}

void TestStartFaults::editorTexts_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("description");
    QTest::newRow("quotes") << QStringLiteral("O'NEIL \"15\"") << QStringLiteral("It's a 15\" screen; '' --");
    QTest::newRow("statement end") << QStringLiteral("X'); delete from adt; --")
                                   << QStringLiteral("'); drop table adt; /*");
    QTest::newRow("arabic and emoji")
        << QStringLiteral("شاشة\U0001F5A5") << QStringLiteral("شاشة ٢٤ بوصة \U0001F600");
    QTest::newRow("long") << QString(30000, QLatin1Char('I')) << QStringLiteral("d'").repeated(16000);
}

void TestStartFaults::editorTexts()
{
    QFETCH(QString, id);
    QFETCH(QString, description);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QVERIFY(makeDatabase(path, Settings));
    Store store(path, QStringLiteral("t-editor"));
    QVERIFY(store.open());
    Reports reports;
    {
        PriceListEditor editor(&store, QStringLiteral("Moni&tor Data"), QStringLiteral("6"), QPixmap());
        reportFailuresOf(editor);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        auto *txtrid = editor.findChild<GridCombo *>(QStringLiteral("txtrid"));
        txtrid->setText(id);
        Q_EMIT txtrid->focusLost();
        auto *add = editor.findChild<QPushButton *>(QStringLiteral("Command1"));
        QVERIFY(add->isEnabled());
        box(editor, "txtdesc")->setText(description);
        editor.findChild<NumericEdit *>(QStringLiteral("txtprice"))->setValue(99.5);
        add->click();
        QVERIFY2(reports.descriptions.isEmpty(), qPrintable(reports.descriptions.value(0)));
        QVERIFY(!editor.isVisible());
    }
    QCOMPARE(descriptions(path, QStringLiteral("6"), id), QStringList { description });
    QCOMPARE(allRows(path).size(), Settings.size() + 1);
    QCOMPARE(descriptions(path, QStringLiteral("90"), QStringLiteral("dt")).size(), 1);
    // The main window's row finds the item by the same id.
    MainWindow form(&store);
    QVERIFY(form.load());
    form.row(6).picker()->setText(id);
    form.itemPicked(6);
    QCOMPARE(form.row(6).descriptionLabel()->text(), description);
    QCOMPARE(form.row(6).amountBox()->text(), QStringLiteral("99.5"));
}

void TestStartFaults::editorUnderFault_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<bool>("adding"); // add a new item, or update the existing one
    QTest::newRow("read-only file, update") << int(Fault::ReadOnlyFile) << false;
    QTest::newRow("read-only folder, add") << int(Fault::ReadOnlyFolder) << true;
    QTest::newRow("locked by another process, update") << int(Fault::Locked) << false;
    QTest::newRow("deleted while running, add") << int(Fault::Deleted) << true;
    QTest::newRow("full disk, add") << int(Fault::FullDisk) << true;
}

void TestStartFaults::editorUnderFault()
{
    QFETCH(int, fault);
    QFETCH(bool, adding);
    const auto which = Fault(fault);
    std::optional<SmallDisk> disk;
    std::optional<QTemporaryDir> tmp;
    const QString dir = faultFolder(which, disk, tmp);
    if (dir.isEmpty())
        QSKIP(qPrintable(QStringLiteral("no small disk to fill: ") + disk->whyNot()));
    const QString path = QDir(dir).filePath(QStringLiteral("db.mdb"));
    QVERIFY(makeDatabase(path, Settings));
    const QStringList before = allRows(path);
    openUpFolder(dir);
    ::chmod(QFile::encodeName(path).constData(), 0666);
    {
        ActAsNobody nobody;
        std::optional<FaultOn> on;
        if (which == Fault::ReadOnlyFile)
            on.emplace(which, dir, path, nullptr);
        Store store(path, QStringLiteral("t-editor-fault"));
        QVERIFY(store.open());
        Reports reports;
        PriceListEditor editor(&store, QStringLiteral("H&ard Disk Data"), QStringLiteral("4"), QPixmap());
        reportFailuresOf(editor);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        auto *txtrid = editor.findChild<GridCombo *>(QStringLiteral("txtrid"));
        txtrid->setText(adding ? QStringLiteral("NEW'1") : QStringLiteral("A"));
        Q_EMIT txtrid->focusLost();
        QCOMPARE(box(editor, "txtdesc")->text(), adding ? QString() : QStringLiteral("Hard disk A"));
        if (!on)
            on.emplace(which, dir, path, disk ? &*disk : nullptr);
        QVERIFY(on->ok());
        box(editor, "txtdesc")->setText(QStringLiteral("Changed ") + QString(20000, QLatin1Char('c')));
        editor.findChild<QPushButton *>(adding ? QStringLiteral("Command1") : QStringLiteral("Command2"))
            ->click();
        QCOMPARE(reports.descriptions.size(), 1);
        qInfo("%s", qPrintable(reports.descriptions[0].left(200)));
        QVERIFY(editor.isVisible()); // the editor stays, with what was typed
        QVERIFY(box(editor, "txtdesc")->text().startsWith(QStringLiteral("Changed")));
        on.reset();
    }
    if (which == Fault::Deleted) {
        QVERIFY(!QFile::exists(path));
        return;
    }
    if (disk)
        QFile::remove(disk->filePath(QStringLiteral("filler")));
    QCOMPARE(allRows(path), before); // neither the item nor the date stamp changed
}

QTEST_MAIN(TestStartFaults)
#include "tst_startfaults.moc"
