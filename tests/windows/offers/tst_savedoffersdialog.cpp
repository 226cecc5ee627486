#include "store/offerprogress.h"
#include "store/offerrepository.h"
#include "support/testdb.h"
#include "windows/offers/savedoffersdialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

// The list of saved offers: newest first, narrowed as the search text is typed, and the chosen
// revision handed back by Open, Enter or a double click.
class TestSavedOffersDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void listsNewestFirst();
    void searchNarrowsAsYouType_data();
    void searchNarrowsAsYouType();
    void choosing_data();
    void choosing();
    void newerSchemaIsSaidSo();
    void searchGoesThroughTheFileInSlices_data();
    void searchGoesThroughTheFileInSlices();
    void manyMatchesComeAScreenfulAtATime();
    void wholeNumberComesFirst_data();
    void wholeNumberComesFirst();
    void statusFilterWorksWithSearch_data();
    void statusFilterWorksWithSearch();

private:
    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<OfferRepository> m_offers;
};

void TestSavedOffersDialog::init()
{
    m_db = std::make_unique<TestDb>();
    m_store = std::make_unique<Store>(m_db->path, QStringLiteral("t-frmoffers"));
    QVERIFY(m_store->open());
    m_offers = std::make_unique<OfferRepository>(m_store.get());
    const QStringList clients { "Alice", "Bob", "Carol" };
    for (const QString &client : clients) {
        Offer offer;
        offer.client = client;
        offer.date = QDateTime(QDate(2027, 3, 1), QTime(12, 0));
        // Bob's CPU has a known cost, kept with the offer.
        offer.pickItem(0, client + QStringLiteral("-CPU"), QStringLiteral("CPU for ") + client, "100",
            client == QLatin1String("Bob") ? std::optional<Price>(Price::fromStored("80")) : std::nullopt);
        QVERIFY(m_offers->save(offer, std::nullopt));
    }
    Offer again;
    again.client = QStringLiteral("Alice");
    again.date = QDateTime(QDate(2027, 3, 1), QTime(13, 0));
    QVERIFY(m_offers->save(again, 1)); // offer 1, revision 2
}

void TestSavedOffersDialog::cleanup()
{
    m_offers.reset();
    m_store.reset();
    m_db.reset();
}

void TestSavedOffersDialog::listsNewestFirst()
{
    SavedOffersDialog list(m_offers.get());
    auto *view = list.findChild<QTreeView *>(QStringLiteral("lvoffers"));
    QVERIFY(view);
    QVERIFY(list.findChild<QLineEdit *>(QStringLiteral("txtsearch")));
    QVERIFY(list.findChild<QPushButton *>(QStringLiteral("cmdopen")));
    QCOMPARE(list.shownCount(), 4);
    QStringList headers;
    for (int c = 0; c < view->model()->columnCount(); ++c)
        headers << view->model()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers,
        (QStringList {
            "Number", "Revision", "Date", "Client", "Seller", "Total", "Status", "Valid until", "Margin" }));
    QStringList lines;
    for (int r = 0; r < 4; ++r)
        lines << view->model()->index(r, 0).data().toString() + '/'
                + view->model()->index(r, 1).data().toString() + ' '
                + view->model()->index(r, 3).data().toString() + ' '
                + view->model()->index(r, 2).data().toString() + ' '
                + view->model()->index(r, 5).data().toString() + ' '
                + view->model()->index(r, 6).data().toString() + ' '
                + view->model()->index(r, 7).data().toString() + ' '
                + view->model()->index(r, 8).data().toString();
    // Saved without a day of their own, they hold for the default 14 days from their date.
    QCOMPARE(lines,
        (QStringList { "3/1 Carol 2027-03-01 100.00 Draft 2027-03-15 —",
            "2/1 Bob 2027-03-01 100.00 Draft 2027-03-15 20.0% (20.00)",
            "1/2 Alice 2027-03-01 0.00 Draft 2027-03-15 ",
            "1/1 Alice 2027-03-01 100.00 Draft 2027-03-15 —" }));
    QCOMPARE(*list.selected(), (OfferKey { 3, 1 })); // the newest is selected
    // The margins are shown only to a counter that shows them, and stay through a new search.
    QVERIFY(view->isColumnHidden(8));
    list.setMarginsShown(true);
    QVERIFY(!view->isColumnHidden(8));
    QTest::keyClicks(list.findChild<QLineEdit *>(QStringLiteral("txtsearch")), QStringLiteral("Bob"));
    QTRY_COMPARE(list.shownCount(), 1);
    QVERIFY(!view->isColumnHidden(8));
}

void TestSavedOffersDialog::searchNarrowsAsYouType_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("shown");
    QTest::newRow("client") << "bo" << 1;
    QTest::newRow("client with two revisions") << "ALICE" << 2;
    QTest::newRow("number") << "2" << 1;
    QTest::newRow("item") << "cpu for c" << 1;
    QTest::newRow("no match") << "zz" << 0;
    QTest::newRow("quote") << "'" << 0;
}

void TestSavedOffersDialog::searchNarrowsAsYouType()
{
    QFETCH(QString, typed);
    QFETCH(int, shown);
    SavedOffersDialog list(m_offers.get());
    list.show();
    auto *search = list.findChild<QLineEdit *>(QStringLiteral("txtsearch"));
    QTest::keyClicks(search, typed);
    QCOMPARE(list.shownCount(), shown);
    QCOMPARE(list.findChild<QPushButton *>(QStringLiteral("cmdopen"))->isEnabled(), shown > 0);
}

void TestSavedOffersDialog::choosing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("open button") << "button";
    QTest::newRow("enter in the search box") << "enter";
    QTest::newRow("double click") << "double";
}

void TestSavedOffersDialog::choosing()
{
    QFETCH(QString, how);
    SavedOffersDialog list(m_offers.get());
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    auto *search = list.findChild<QLineEdit *>(QStringLiteral("txtsearch"));
    auto *view = list.findChild<QTreeView *>(QStringLiteral("lvoffers"));
    QTest::keyClicks(search, QStringLiteral("alice"));
    view->setCurrentIndex(view->model()->index(1, 0)); // revision 1 of offer 1
    if (how == QLatin1String("button")) {
        QTest::mouseClick(list.findChild<QPushButton *>(QStringLiteral("cmdopen")), Qt::LeftButton);
    } else if (how == QLatin1String("enter")) {
        search->setFocus();
        QTest::keyClick(search, Qt::Key_Return);
    } else {
        const QRect cell = view->visualRect(view->model()->index(1, 3));
        // A double click is a press and release followed by the double-click event.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }
    QCOMPARE(list.result(), int(QDialog::Accepted));
    QCOMPARE(*list.chosen(), (OfferKey { 1, 1 }));
}

void TestSavedOffersDialog::newerSchemaIsSaidSo()
{
    {
        SavedOffersDialog list(m_offers.get());
        QVERIFY(list.findChild<QLabel *>(QStringLiteral("lblproblem"))->isHidden());
    }
    m_db->exec(
        QStringLiteral("update brasko_schema set version = %1").arg(OfferRepository::SchemaVersion + 1));
    SavedOffersDialog list(m_offers.get());
    list.show();
    auto *problem = list.findChild<QLabel *>(QStringLiteral("lblproblem"));
    QVERIFY(problem->isVisible());
    QVERIFY2(problem->text().contains(QStringLiteral("newer version")), qPrintable(problem->text()));
    QCOMPARE(list.shownCount(), 4); // the offers still open
    QTest::keyClicks(list.findChild<QLineEdit *>(QStringLiteral("txtsearch")), QStringLiteral("bob"));
    QCOMPARE(list.shownCount(), 1);
    QVERIFY(problem->isVisible());
}

void TestSavedOffersDialog::searchGoesThroughTheFileInSlices_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("everything") << "" << QStringList { "3/1", "2/1", "1/2", "1/1" };
    QTest::newRow("the oldest only") << "alice" << QStringList { "1/2", "1/1" };
    QTest::newRow("nothing") << "zz" << QStringList {};
}

void TestSavedOffersDialog::searchGoesThroughTheFileInSlices()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    const int was = SavedOffersDialog::s_sliceNumbers;
    SavedOffersDialog::s_sliceNumbers = 1; // one offer number per step
    SavedOffersDialog list(m_offers.get());
    list.show();
    auto *search = list.findChild<QLineEdit *>(QStringLiteral("txtsearch"));
    search->setText(QStringLiteral("bob")); // a search left unfinished is dropped by the next one
    search->setText(typed);
    QTRY_VERIFY(list.searchFinished());
    auto *view = list.findChild<QTreeView *>(QStringLiteral("lvoffers"));
    QStringList got;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        got << view->model()->index(r, 0).data().toString() + '/'
                + view->model()->index(r, 1).data().toString();
    SavedOffersDialog::s_sliceNumbers = was;
    QCOMPARE(got, expected);
    QCOMPARE(list.findChild<QPushButton *>(QStringLiteral("cmdopen"))->isEnabled(), !expected.isEmpty());
    if (!expected.isEmpty())
        QCOMPARE(*list.selected(),
            (OfferKey { expected[0].section('/', 0, 0).toInt(), expected[0].section('/', 1).toInt() }));
}

// A search that matches more offers than one step takes: every revision is listed once, in order,
// however the steps cut the matches.
void TestSavedOffersDialog::manyMatchesComeAScreenfulAtATime()
{
    QStringList expected;
    for (int number = 4; number <= 160; ++number) {
        Offer offer;
        offer.client = QStringLiteral("Dense");
        offer.date = QDateTime(QDate(2027, 3, 2), QTime(9, 0));
        QCOMPARE(m_offers->save(offer, std::nullopt)->number, number);
        QVERIFY(m_offers->save(offer, number));
        if (number % 7 == 0)
            QVERIFY(m_offers->save(offer, number));
    }
    for (int number = 160; number >= 4; --number) {
        for (int revision = number % 7 == 0 ? 3 : 2; revision >= 1; --revision)
            expected << QStringLiteral("%1/%2").arg(number).arg(revision);
    }
    SavedOffersDialog list(m_offers.get());
    list.findChild<QLineEdit *>(QStringLiteral("txtsearch"))->setText(QStringLiteral("dense"));
    auto *model = list.findChild<QTreeView *>(QStringLiteral("lvoffers"))->model();
    QTRY_VERIFY(model->rowCount() > 0);
    QVERIFY(model->rowCount() < expected.size()); // the first step is a screenful, not all
    // As a view scrolled to the end asks, once a turn.
    QTRY_VERIFY((model->fetchMore(QModelIndex()), list.searchFinished()));
    QStringList got;
    for (int r = 0; r < model->rowCount(); ++r)
        got << model->index(r, 0).data().toString() + '/' + model->index(r, 1).data().toString();
    QCOMPARE(got, expected);
}

void TestSavedOffersDialog::wholeNumberComesFirst_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("slice"); // offer numbers per step
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("one: its revisions before the newer offers holding a 1")
        << "1" << 8000 << QStringList { "1/2", "1/1", "12/1", "11/1", "10/1" };
    QTest::newRow("one, a number a step") << "1" << 1 << QStringList { "1/2", "1/1", "12/1", "11/1", "10/1" };
    QTest::newRow("two") << "2" << 8000 << QStringList { "2/1", "12/1" };
    QTest::newRow("twelve") << "12" << 8000 << QStringList { "12/1" };
    QTest::newRow("a number not given yet") << "13" << 8000 << QStringList {};
    QTest::newRow("a leading zero is only text") << "01" << 8000 << QStringList {};
}

// Typing an offer's number lists that offer first and selects it, where Enter opens it.
void TestSavedOffersDialog::wholeNumberComesFirst()
{
    QFETCH(QString, typed);
    QFETCH(int, slice);
    QFETCH(QStringList, expected);
    for (int number = 4; number <= 12; ++number) {
        Offer offer;
        offer.client = QStringLiteral("Eve");
        QCOMPARE(m_offers->save(offer, std::nullopt)->number, number);
    }
    const int was = SavedOffersDialog::s_sliceNumbers;
    SavedOffersDialog::s_sliceNumbers = slice;
    SavedOffersDialog list(m_offers.get());
    list.show();
    QTest::keyClicks(list.findChild<QLineEdit *>(QStringLiteral("txtsearch")), typed);
    QTRY_VERIFY(list.searchFinished());
    SavedOffersDialog::s_sliceNumbers = was;
    auto *model = list.findChild<QTreeView *>(QStringLiteral("lvoffers"))->model();
    QStringList got;
    for (int r = 0; r < model->rowCount(); ++r)
        got << model->index(r, 0).data().toString() + '/' + model->index(r, 1).data().toString();
    QCOMPARE(got, expected);
    if (!expected.isEmpty())
        QCOMPARE(*list.selected(),
            (OfferKey { expected[0].section('/', 0, 0).toInt(), expected[0].section('/', 1).toInt() }));
}

void TestSavedOffersDialog::statusFilterWorksWithSearch_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("all") << "All"
                         << "" << QStringList { "5/1", "4/2", "4/1", "3/1", "2/1", "1/2", "1/1" };
    // Open: drafts and given ones that still hold; not the expired, ordered or passed-over ones.
    QTest::newRow("open") << "Open"
                          << "" << QStringList { "4/2", "2/1", "1/2", "1/1" };
    QTest::newRow("ordered") << "Ordered"
                             << "" << QStringList { "3/1" };
    QTest::newRow("expired") << "Expired"
                             << "" << QStringList { "5/1" };
    QTest::newRow("open and searched") << "Open"
                                       << "alice" << QStringList { "1/2", "1/1" };
    QTest::newRow("ordered and searched") << "Ordered"
                                          << "carol" << QStringList { "3/1" };
    QTest::newRow("ordered, search elsewhere") << "Ordered"
                                               << "alice" << QStringList {};
    QTest::newRow("expired by number") << "Expired"
                                       << "5" << QStringList { "5/1" };
    QTest::newRow("open by number of an expired one") << "Open"
                                                      << "5" << QStringList {};
}

void TestSavedOffersDialog::statusFilterWorksWithSearch()
{
    QFETCH(QString, filter);
    QFETCH(QString, typed);
    QFETCH(QStringList, shown);
    OfferProgress progress(m_store.get());
    QVERIFY(!progress.linkOrder({ 3, 1 }, 9).isValid());
    // Offer 4 was given and a later revision of it too: the first is passed over.
    Offer dave = Offer::blank("Shop", "Sam", QDateTime::currentDateTime());
    dave.client = QStringLiteral("Dave");
    QVERIFY(m_offers->save(dave, std::nullopt));
    QVERIFY(!m_offers->markGiven({ 4, 1 }).isValid());
    QVERIFY(m_offers->save(dave, 4));
    QVERIFY(!m_offers->markGiven({ 4, 2 }).isValid());
    Offer eve = Offer::blank("Shop", "Sam", QDateTime::currentDateTime().addDays(-20));
    eve.client = QStringLiteral("Eve");
    QVERIFY(m_offers->save(eve, std::nullopt));
    SavedOffersDialog list(m_offers.get());
    list.show();
    auto *status = list.findChild<QComboBox *>(QStringLiteral("cbostatus"));
    QVERIFY(status);
    QCOMPARE(status->count(), 4);
    status->setCurrentIndex(status->findText(filter));
    QTest::keyClicks(list.findChild<QLineEdit *>(QStringLiteral("txtsearch")), typed);
    auto *view = list.findChild<QTreeView *>(QStringLiteral("lvoffers"));
    QStringList got;
    for (int r = 0; r < view->model()->rowCount(); ++r) {
        const QString key = view->model()->index(r, 0).data().toString() + '/'
            + view->model()->index(r, 1).data().toString();
        got << key;
        if (key == QLatin1String("4/1"))
            QCOMPARE(view->model()->index(r, 6).data().toString(), QStringLiteral("Superseded"));
    }
    QCOMPARE(got, shown);
}

QTEST_MAIN(TestSavedOffersDialog)
#include "tst_savedoffersdialog.moc"
