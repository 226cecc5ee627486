#include "store/pricehistory.h"
#include "support/faults_support.h"
#include "support/testdb.h"
#include "support/typing.h"
#include "widgets/gridcombo.h"
#include "windows/main/mainwindow.h"
#include "windows/main/offeractions.h"

#include <QAction>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Kept offers on the main window: the Offer menu, saving and opening across a restart, revisions,
// the question before unsaved work is replaced or the window closed, a newer revision saved by
// another counter, the settings an opened offer must leave alone, an offer without a total,
// re-pricing, and saving before printing.
class TestOfferActions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void menuSitsBetweenFileAndHelp();
    void savedOfferComesBackAfterRestart();
    void unsavedWorkIsAskedAbout_data();
    void unsavedWorkIsAskedAbout();
    void changedPriceIsReportedAndTaken_data();
    void changedPriceIsReportedAndTaken();
    void changeSaysWhenAndByWhom_data();
    void changeSaysWhenAndByWhom();
    void printingKeepsTheOfferFirst();
    void validityFollowsTheShopAndIsKept();
    void readOnlyDatabasePrintsAndSays();
    void newerSchemaOpensButIsNotWritten();
    void showingAnOfferChangesNoSetting_data();
    void showingAnOfferChangesNoSetting();
    void newerRevisionIsToldBeforeSaving_data();
    void newerRevisionIsToldBeforeSaving();
    void offerWithoutTotalIsNeverKept_data();
    void offerWithoutTotalIsNeverKept();

private:
    void startForm();
    void stopForm();
    void pick(int row, const QString &id);
    void type(int row, const QString &text);
    OfferActions *actions() const { return m_form->offerActions(); }
    QString label() const { return m_form->findChild<QLabel *>(QStringLiteral("lblofferno"))->text(); }
    QString shownStatus() const { return m_form->findChild<QLabel *>(QStringLiteral("lblstatus"))->text(); }

    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<MainWindow> m_form;
    QStringList m_told;
    QTemporaryDir m_home; // the counter's own settings file, on a server
};

void TestOfferActions::initTestCase()
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path()));
}

void TestOfferActions::cleanupTestCase()
{
    TestDb::stopServer();
}

void TestOfferActions::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_db = std::make_unique<TestDb>(std::vector<TestRow> {
        { "0", "CPU-1", "Core Duo 2.4 GHz", "1250" },
        { "2", "RAM-1", "DDR 512 MB", "300.50" },
        { "5", "VGA-1", "GeForce 256", "900" },
        { "90", "company", "Velmont Shop", "0.00" },
        { "90", "sp", "Sam", "0.00" },
    });
    startForm();
}

void TestOfferActions::startForm()
{
    m_store = std::make_unique<Store>(m_db->path, QStringLiteral("t-offeractions"));
    m_form = std::make_unique<MainWindow>(m_store.get());
    m_form->setCloseAfterFailure([](const QString &) { return true; });
    QVERIFY(m_form->load());
    m_told.clear();
    actions()->setTell([this](const QString &message) { m_told << message; });
    actions()->setAskUnsaved([](const QString &) {
        qWarning("unexpected question");
        return OfferActions::Unsaved::Cancel;
    });
    actions()->setPrintPage([] { return true; });
}

void TestOfferActions::stopForm()
{
    m_form.reset();
    m_store.reset();
}

void TestOfferActions::cleanup()
{
    stopForm();
    m_db.reset();
}

void TestOfferActions::pick(int row, const QString &id)
{
    m_form->row(row).picker()->setText(id);
    m_form->itemPicked(row);
}

void TestOfferActions::type(int row, const QString &text)
{
    typeOver(m_form->row(row).amountBox(), text);
}

void TestOfferActions::menuSitsBetweenFileAndHelp()
{
    const QList<QAction *> menus = m_form->menuBar()->actions();
    QStringList names;
    for (QAction *a : menus)
        names << (a->menu() ? a->menu()->objectName() : QString());
    // The Price List menu follows Offer, before Help.
    QCOMPARE(names, (QStringList { "mnufile", "mnuoffer", "mnupricelist", "menuhelp" }));
    QStringList items;
    QStringList keys;
    for (QAction *a : menus[1]->menu()->actions()) {
        items << a->objectName() + QLatin1Char('=') + a->text();
        keys << a->shortcut().toString(QKeySequence::PortableText);
    }
    QCOMPARE(items,
        (QStringList { "mnuoffernew=&New", "mnuofferopen=&Open...", "mnuoffersave=&Save",
            "mnuofferreprice=Re-&price", "mnuofferprintplan=Print with &Plan...",
            "mnuofferexportpdf=Export P&DF...", "mnuoffermakeorder=Make &Order...",
            "mnuoffermargins=Show &Margins" }));
    QCOMPARE(keys, (QStringList { "Ctrl+N", "Ctrl+O", "Ctrl+S", "", "", "", "", "Ctrl+M" }));
    QStringList help;
    for (QAction *a : menus[3]->menu()->actions())
        help << a->objectName();
    QCOMPARE(help, QStringList { "menuhelpabout" });
    QCOMPARE(label(), QStringLiteral("New offer"));
}

void TestOfferActions::savedOfferComesBackAfterRestart()
{
    typeOver(
        m_form->findChild<QLineEdit *>(QStringLiteral("Text2")), QStringLiteral("O'Brien \U0001F600 محمد"));
    pick(0, QStringLiteral("CPU-1"));
    pick(2, QStringLiteral("RAM-1"));
    type(2, QStringLiteral("280.5")); // typed over the list price
    type(16, QStringLiteral("12.5 pounds"));
    const Offer saved = m_form->offer();
    QVERIFY(actions()->save());
    QCOMPARE(label(), QStringLiteral("Offer 1, revision 1"));

    stopForm(); // quit and start again
    startForm();
    QCOMPARE(label(), QStringLiteral("New offer"));
    QVERIFY(actions()->load({ 1, 1 }));
    QVERIFY2(m_told.isEmpty(), qPrintable(m_told.join('\n')));
    QCOMPARE(label(), QStringLiteral("Offer 1, revision 1"));
    for (int i = 0; i < Offer::RowCount; ++i) {
        QCOMPARE(m_form->offer().row(i), saved.row(i));
        QCOMPARE(m_form->row(i).picker()->Text(), saved.row(i).itemId);
        QCOMPARE(m_form->row(i).descriptionLabel()->text(), saved.row(i).description);
        QCOMPARE(m_form->row(i).amountBox()->text(), saved.row(i).amountText());
    }
    QCOMPARE(m_form->findChild<QLineEdit *>(QStringLiteral("Text2"))->text(), saved.client);
    QCOMPARE(m_form->findChild<QLineEdit *>(QStringLiteral("txttotal"))->text(), QStringLiteral("1543.00"));
    QVERIFY(!actions()->hasUnsavedChanges());

    type(5, QStringLiteral("100"));
    QVERIFY(actions()->hasUnsavedChanges());
    QVERIFY(actions()->save());
    QCOMPARE(label(), QStringLiteral("Offer 1, revision 2"));
    QVERIFY(actions()->load({ 1, 1 })); // revision 1 still opens as it was
    QCOMPARE(m_form->row(5).amountBox()->text(), saved.row(5).amountText());
    QCOMPARE(m_form->offer().client, saved.client);
}

void TestOfferActions::unsavedWorkIsAskedAbout_data()
{
    QTest::addColumn<QString>("how"); // what would replace or end the work
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("replaced"); // the work was replaced, the window closed, the program ended
    QTest::addColumn<int>("kept"); // offers in the file afterwards
    for (const char *how : { "open", "close", "exit" }) {
        QTest::addRow("%s, save", how) << how << int(OfferActions::Unsaved::Save) << true << 2;
        QTest::addRow("%s, discard", how) << how << int(OfferActions::Unsaved::Discard) << true << 1;
        QTest::addRow("%s, cancel", how) << how << int(OfferActions::Unsaved::Cancel) << false << 1;
    }
}

void TestOfferActions::unsavedWorkIsAskedAbout()
{
    QFETCH(QString, how);
    QFETCH(int, answer);
    QFETCH(bool, replaced);
    QFETCH(int, kept);
    pick(0, QStringLiteral("CPU-1"));
    QVERIFY(actions()->save());
    actions()->newOffer(); // nothing unsaved: no question
    QCOMPARE(label(), QStringLiteral("New offer"));
    QCOMPARE(m_form->row(0).amountBox()->text(), QStringLiteral("0.00"));
    pick(5, QStringLiteral("VGA-1"));
    int asked = 0;
    actions()->setAskUnsaved([&](const QString &) {
        ++asked;
        return OfferActions::Unsaved(answer);
    });
    actions()->setChooseOffer([](OfferRepository *) { return std::optional<OfferKey>(OfferKey { 1, 1 }); });
    bool ended = false;
    m_form->setEndProgram([&] { ended = true; });
    if (how == QLatin1String("open")) {
        QCOMPARE(actions()->open(), replaced);
        QCOMPARE(
            m_form->row(5).amountBox()->text(), replaced ? QStringLiteral("0.00") : QStringLiteral("900"));
    } else if (how == QLatin1String("close")) {
        QCOMPARE(m_form->close(), replaced);
    } else {
        m_form->findChild<QAction *>(QStringLiteral("mnufileexit"))->trigger();
        QCOMPARE(ended, replaced);
    }
    QCOMPARE(asked, 1);
    auto all = actions()->offers()->list();
    QCOMPARE((*all)->rowCount(), kept);
}

void TestOfferActions::changedPriceIsReportedAndTaken_data()
{
    QTest::addColumn<QString>("typed"); // the amount of row 0 before saving; empty: the list price
    QTest::addColumn<int>("retype"); // -1 not asked, 0 no, 1 yes
    QTest::addColumn<QString>("amountAfter");
    QTest::newRow("list price") << QString() << -1 << "1399.99";
    QTest::newRow("typed over, kept") << "1200.00" << 0 << "1200.00";
    QTest::newRow("typed over, replaced") << "1200.00" << 1 << "1399.99";
}

void TestOfferActions::changedPriceIsReportedAndTaken()
{
    QFETCH(QString, typed);
    QFETCH(int, retype);
    QFETCH(QString, amountAfter);
    pick(0, QStringLiteral("CPU-1"));
    pick(2, QStringLiteral("RAM-1"));
    if (!typed.isEmpty())
        type(0, typed);
    QVERIFY(actions()->save());
    // The editor changes one price and removes one item after the offer was saved.
    m_db->exec(QStringLiteral("update adt set price = '1399.99' where id = 'CPU-1'"));
    m_db->exec(QStringLiteral("delete from adt where id = 'RAM-1'"));
    stopForm();
    startForm();
    QVERIFY(actions()->load({ 1, 1 }));
    QCOMPARE(m_told.size(), 1); // told at once
    QVERIFY2(m_told[0].contains(QStringLiteral("2 rows")), qPrintable(m_told[0]));
    QVERIFY2(m_told[0].contains(QStringLiteral("1250 \u2192 1399.99")), qPrintable(m_told[0]));
    QVERIFY2(m_told[0].contains(QStringLiteral("no longer in the price list")), qPrintable(m_told[0]));
    int asked = 0;
    actions()->setAskRetype([&](const QString &) -> std::optional<bool> {
        ++asked;
        return retype == 1;
    });
    QVERIFY(actions()->reprice());
    QCOMPARE(asked, retype < 0 ? 0 : 1);
    QCOMPARE(m_form->row(0).amountBox()->text(), amountAfter);
    QCOMPARE(m_form->row(2).amountBox()->text(), QStringLiteral("300.50")); // gone: left as it was
    QVERIFY(actions()->save());
    QCOMPARE(*actions()->current(), (OfferKey { 1, 2 }));
    QCOMPARE(actions()->offers()->load({ 1, 2 })->offer.row(0).listPrice->text(), QStringLiteral("1399.99"));
    QCOMPARE(actions()->offers()->load({ 1, 1 })->offer.row(0).listPrice->text(), QStringLiteral("1250"));
}

void TestOfferActions::changeSaysWhenAndByWhom_data()
{
    QTest::addColumn<QString>("source"); // empty: changed outside the program, nothing recorded
    QTest::addColumn<QString>("said");
    // The date as the counter's locale writes it (%1).
    QTest::newRow("by the editor") << "editor"
                                   << "1250 \u2192 1399.99, changed %1 by editor";
    QTest::newRow("by an import") << "acme.csv"
                                  << "1250 \u2192 1399.99, changed %1 by acme.csv";
    QTest::newRow("nothing recorded") << ""
                                      << "1250 \u2192 1399.99";
}

void TestOfferActions::changeSaysWhenAndByWhom()
{
    QFETCH(QString, source);
    QFETCH(QString, said);
    pick(0, QStringLiteral("CPU-1"));
    QVERIFY(actions()->save());
    const QDateTime when(QDate(2026, 3, 4), QTime(10, 20));
    if (source.isEmpty())
        m_db->exec(QStringLiteral("update adt set price = '1399.99' where id = 'CPU-1'"));
    else
        QVERIFY(!PriceHistory(m_store.get())
                     .update({ "0", "CPU-1", "Core Duo 2.4 GHz", "1399.99" }, when, source)
                     .isValid());
    stopForm();
    startForm();
    QVERIFY(actions()->load({ 1, 1 }));
    QCOMPARE(m_told.size(), 1);
    const QString line = m_told[0].section(QLatin1Char('\n'), 2, 2);
    if (!source.isEmpty())
        said = said.arg(QLocale().toString(when, QLocale::ShortFormat));
    QVERIFY2(line.endsWith(said), qPrintable(line));
}

void TestOfferActions::printingKeepsTheOfferFirst()
{
    pick(0, QStringLiteral("CPU-1"));
    QStringList labelsWhenPrinted;
    actions()->setPrintPage([&] {
        labelsWhenPrinted << label();
        return true;
    });
    m_form->printOffer();
    m_form->printOffer(); // unchanged since: not saved again
    type(0, QStringLiteral("1000"));
    m_form->printOffer();
    QCOMPARE(labelsWhenPrinted,
        (QStringList { "Offer 1, revision 1", "Offer 1, revision 1", "Offer 1, revision 2" }));
    QVERIFY(m_told.isEmpty());
    // What went to paper was given: the first revision is passed over by the second.
    QSqlQuery given(m_db->raw());
    QVERIFY(given.exec(
        QStringLiteral("select revision from offers where given_at is not null order by revision")));
    QStringList revisions;
    while (given.next())
        revisions << given.value(0).toString();
    QCOMPARE(revisions, (QStringList { "1", "2" }));
    QCOMPARE(shownStatus(), QStringLiteral("Given"));
    QVERIFY(actions()->load({ 1, 1 }));
    QCOMPARE(shownStatus(), QStringLiteral("Superseded"));
}

void TestOfferActions::validityFollowsTheShopAndIsKept()
{
    stopForm();
    m_db->insert({ "90", "validdays", "30", "0.00" });
    startForm();
    auto *box = m_form->findChild<QDateEdit *>(QStringLiteral("dtpvalid"));
    QVERIFY(box);
    QCOMPARE(box->date(), QDate::currentDate().addDays(30));
    QVERIFY(!actions()->hasUnsavedChanges()); // the window's own start is no work of the person
    pick(0, QStringLiteral("CPU-1"));
    QVERIFY(actions()->save());
    box->setDate(QDate::currentDate().addDays(3));
    QVERIFY(actions()->hasUnsavedChanges());
    QVERIFY(actions()->save());
    QVERIFY(actions()->load({ 1, 1 }));
    QCOMPARE(box->date(), QDate::currentDate().addDays(30));
    QVERIFY(actions()->load({ 1, 2 }));
    QCOMPARE(box->date(), QDate::currentDate().addDays(3));
    QCOMPARE(shownStatus(), QStringLiteral("Draft"));
    box->setDate(QDate::currentDate().addDays(-1));
    QVERIFY(actions()->save());
    QCOMPARE(shownStatus(), QStringLiteral("Expired"));
    actions()->newOffer();
    QCOMPARE(box->date(), QDate::currentDate().addDays(30));
    QCOMPARE(shownStatus(), QString());
}

void TestOfferActions::readOnlyDatabasePrintsAndSays()
{
    stopForm();
    Faults::openUpFolder(m_db->dir.path());
    ::chmod(QFile::encodeName(m_db->path).constData(), 0444);
    Faults::ActAsNobody nobody; // permission bits hold for this user even when the test runs as root
    if (::faccessat(AT_FDCWD, QFile::encodeName(m_db->path).constData(), W_OK, AT_EACCESS) == 0)
        QSKIP("file permissions are not enforced for this user");
    startForm();
    pick(0, QStringLiteral("CPU-1"));
    int printed = 0;
    actions()->setPrintPage([&] {
        ++printed;
        return true;
    });
    m_form->printOffer();
    QCOMPARE(printed, 1);
    QCOMPARE(m_told.size(), 1);
    QVERIFY2(m_told[0].contains(QStringLiteral("printed, but it could not be kept")), qPrintable(m_told[0]));
    QCOMPARE(label(), QStringLiteral("New offer"));
    stopForm();
}

void TestOfferActions::newerSchemaOpensButIsNotWritten()
{
    pick(0, QStringLiteral("CPU-1"));
    QVERIFY(actions()->save());
    stopForm();
    m_db->exec(
        QStringLiteral("update brasko_schema set version = %1").arg(OfferRepository::SchemaVersion + 1));
    startForm();
    actions()->warnIfNewerSchema();
    QTRY_COMPARE(m_told.size(), 1); // said at once
    QVERIFY2(m_told[0].contains(QStringLiteral("newer version")), qPrintable(m_told[0]));
    QVERIFY(actions()->load({ 1, 1 }));
    type(0, QStringLiteral("999"));
    QVERIFY(!actions()->save());
    QCOMPARE(m_told.size(), 2);
    QVERIFY2(m_told[1].contains(QStringLiteral("newer version")), qPrintable(m_told[1]));
    QCOMPARE(label(), QStringLiteral("Offer 1, revision 1"));
    QCOMPARE(*actions()->offers()->latestRevision(1), std::optional<int>(1));
}

void TestOfferActions::showingAnOfferChangesNoSetting_data()
{
    QTest::addColumn<Backend>("backend");
    QTest::addColumn<bool>("typed"); // the person types a shop name while the offer is shown
    QTest::addColumn<bool>("startNew"); // Offer > New before closing
    for (const Backend backend : { Backend::File, Backend::Server }) {
        const char *name = backend == Backend::File ? "db.mdb" : "server";
        QTest::addRow("%s: open, close", name) << backend << false << false;
        QTest::addRow("%s: open, new, close", name) << backend << false << true;
        QTest::addRow("%s: open, type, new, close", name) << backend << true << true;
    }
}

// An offer saved under an older shop name and by another salesperson is opened: it shows what it
// was saved with, but the settings stay as they are, a new offer starts from them, and only what
// the person types changes them.
void TestOfferActions::showingAnOfferChangesNoSetting()
{
    QFETCH(Backend, backend);
    QFETCH(bool, typed);
    QFETCH(bool, startNew);
    if (backend == Backend::Server && !PostgresServer::available())
        QSKIP(qPrintable(PostgresServer::unavailableReason()));
    stopForm();
    m_db = std::make_unique<TestDb>(backend,
        std::vector<TestRow> { { "0", "CPU-1", "Core Duo 2.4 GHz", "1250" },
            { "90", "company", "Velmont Shop Tel 222", "0.00" }, { "90", "sp", "Sam", "0.00" } });
    {
        Store earlier(m_db->path, QStringLiteral("t-earlier"));
        QVERIFY(earlier.open());
        Offer old;
        old.shop = QStringLiteral("Velmont Shop Tel 111");
        old.seller = QStringLiteral("Mona");
        old.client = QStringLiteral("Client");
        old.pickItem(0, QStringLiteral("CPU-1"), QStringLiteral("Core Duo 2.4 GHz"), QStringLiteral("1250"));
        QVERIFY(OfferRepository(&earlier).save(old, std::nullopt));
    }
    startForm();
    QLineEdit *shop = m_form->findChild<QLineEdit *>(QStringLiteral("Text3"));
    QLineEdit *seller = m_form->findChild<QLineEdit *>(QStringLiteral("Text5"));
    QVERIFY(actions()->load({ 1, 1 }));
    QCOMPARE(shop->text(), QStringLiteral("Velmont Shop Tel 111")); // the offer as it was saved
    QCOMPARE(seller->text(), QStringLiteral("Mona"));
    const QString expectedShop
        = typed ? QStringLiteral("Typed Shop Tel 333") : QStringLiteral("Velmont Shop Tel 222");
    if (typed)
        typeOver(shop, expectedShop);
    if (startNew) {
        actions()->newOffer();
        QCOMPARE(shop->text(), expectedShop);
        QCOMPARE(seller->text(), QStringLiteral("Sam"));
        QCOMPARE(m_form->offer().shop, expectedShop);
        QCOMPARE(m_form->offer().seller, QStringLiteral("Sam"));
    }
    QVERIFY(m_form->close());
    QCOMPARE(
        m_db->descriptions(QStringLiteral("90"), QStringLiteral("company")), QStringList { expectedShop });
    QCOMPARE(m_db->descriptions(QStringLiteral("90"), QStringLiteral("sp")),
        QStringList { QStringLiteral("Sam") });
    stopForm(); // the next start shows the settings
    startForm();
    QCOMPARE(m_form->findChild<QLineEdit *>(QStringLiteral("Text3"))->text(), expectedShop);
    QCOMPARE(m_form->findChild<QLineEdit *>(QStringLiteral("Text5"))->text(), QStringLiteral("Sam"));
}

void TestOfferActions::newerRevisionIsToldBeforeSaving_data()
{
    QTest::addColumn<bool>("print"); // else Offer > Save
    QTest::addColumn<bool>("saveAnyway");
    QTest::newRow("save, as the newest") << false << true;
    QTest::newRow("save, cancelled") << false << false;
    QTest::newRow("print, cancelled") << true << false;
}

// This counter opened revision 1; another counter saved revision 2 meanwhile. Saving here says so,
// naming revision 2, where and when it was saved, and saves this work as revision 3 only when the
// person says so.
void TestOfferActions::newerRevisionIsToldBeforeSaving()
{
    QFETCH(bool, print);
    QFETCH(bool, saveAnyway);
    pick(0, QStringLiteral("CPU-1"));
    QVERIFY(actions()->save());
    const QDateTime when(QDate(2026, 5, 6), QTime(11, 30));
    {
        Store other(m_db->path, QStringLiteral("t-other-counter"));
        QVERIFY(other.open());
        OfferRepository offers(&other);
        Offer theirs = offers.load({ 1, 1 })->offer;
        theirs.row(5).setAmountText(QStringLiteral("77.00"));
        QCOMPARE(*offers.saveFollowing(theirs, OfferKey { 1, 1 }, when, QStringLiteral("COUNTER-2")),
            (OfferKey { 1, 2 }));
    }
    type(0, QStringLiteral("1000"));
    QStringList asked;
    actions()->setAskSaveOverNewer([&](const QString &question) {
        asked << question;
        return saveAnyway;
    });
    int printed = 0;
    actions()->setPrintPage([&] {
        ++printed;
        return true;
    });
    const bool saved = print ? (m_form->printOffer(), printed == 1) : actions()->save();
    QVERIFY(saved == (print || saveAnyway));
    QCOMPARE(asked.size(), 1);
    for (const QString &part : { QStringLiteral("revision 2"), QStringLiteral("COUNTER-2"),
             QLocale().toString(when, QLocale::ShortFormat), QStringLiteral("revision 3") })
        QVERIFY2(asked[0].contains(part), qPrintable(asked[0]));
    OfferRepository *offers = actions()->offers();
    QCOMPARE(*offers->latestRevision(1), std::optional<int>(saveAnyway ? 3 : 2));
    QCOMPARE(offers->load({ 1, 2 })->offer.row(5).amountText(), QStringLiteral("77.00")); // theirs stays
    QCOMPARE(*actions()->current(), (OfferKey { 1, saveAnyway ? 3 : 1 }));
    QCOMPARE(actions()->hasUnsavedChanges(), !saveAnyway);
    // A cancelled save says nothing more; a print that could not be kept says so.
    QCOMPARE(m_told.size(), print ? 1 : 0);
}

void TestOfferActions::offerWithoutTotalIsNeverKept_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("save") << "save";
    QTest::newRow("print") << "print";
    QTest::newRow("print with plan") << "plan";
    QTest::newRow("export PDF") << "pdf";
    QTest::newRow("installments") << "installments";
}

// A row amount too large to add leaves the offer without a total: it is refused, naming the row,
// rather than kept, printed or split into installments with a total that leaves the row out.
void TestOfferActions::offerWithoutTotalIsNeverKept()
{
    QFETCH(QString, action);
    pick(0, QStringLiteral("CPU-1"));
    type(2, QStringLiteral("1e400"));
    QCOMPARE(m_form->findChild<QLineEdit *>(QStringLiteral("txttotal"))->text(), QStringLiteral("No total"));
    int asked = 0;
    actions()->setPrintPage([&] { return ++asked > 0; });
    actions()->setAskPlan([&]() -> std::optional<PlanPrintout> {
        ++asked;
        return std::nullopt;
    });
    actions()->setAskIncludePlan([&]() -> std::optional<bool> {
        ++asked;
        return false;
    });
    actions()->setAskPdfPath([&](const QString &) {
        ++asked;
        return QString();
    });
    QSignalSpy installments(m_form.get(), &MainWindow::installmentsRequested);
    if (action == QLatin1String("save"))
        QVERIFY(!actions()->save());
    else if (action == QLatin1String("print"))
        m_form->printOffer();
    else if (action == QLatin1String("plan"))
        QVERIFY(!actions()->printOfferWithPlan());
    else if (action == QLatin1String("pdf"))
        QVERIFY(!actions()->exportPdf());
    else
        m_form->findChild<QPushButton *>(QStringLiteral("cmdinst(0)"))->click();
    QCOMPARE(asked, 0);
    QCOMPARE(installments.count(), 0);
    QCOMPARE(m_told.size(), 1);
    QVERIFY2(
        m_told[0].startsWith(QStringLiteral("Row RAM: \"1e400\" is out of range")), qPrintable(m_told[0]));
    QCOMPARE((*actions()->offers()->list())->rowCount(), 0);
    QCOMPARE(label(), QStringLiteral("New offer"));
    // Corrected, it goes.
    type(2, QStringLiteral("300.50"));
    QCOMPARE(m_form->findChild<QLineEdit *>(QStringLiteral("txttotal"))->text(), QStringLiteral("1550.50"));
    QVERIFY(actions()->save());
}

QTEST_MAIN(TestOfferActions)
#include "tst_offeractions.moc"
