// Offer > Make Order on the main window, against a price list of the test's own and an order
// database IMS (SQLite through ODBC) of its own: the order written whole with its link kept, the
// same revision refused a second order, a failure between the two databases healed by the next
// attempt without a second order, and bad input refused before anything is written.
#include "store/offerprogress.h"
#include "support/ordertfixture.h"
#include "support/testdb.h"
#include "support/typing.h"
#include "widgets/gridcombo.h"
#include "windows/main/clientcompletion.h"
#include "windows/main/mainwindow.h"
#include "windows/main/offeractions.h"
#include "windows/main/offerordering.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

class TestMakeOrder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void makesTheOrderAndKeepsTheLink();
    void sameRevisionIsRefusedASecondOrder();
    void failedLinkIsHealedWithoutASecondOrder();
    void planGoesWithTheOrder();
    void nearCustomerIsChosen_data();
    void nearCustomerIsChosen();
    void badInputWritesNothing_data();
    void badInputWritesNothing();
    void knownCustomersAreOffered_data();
    void knownCustomersAreOffered();
    void clientsSavedLaterAreOffered();

private:
    void pick(int row, const QString &id);
    void typeClient(const QString &text);
    bool makeOrder();
    QString ims(const QString &statement) { return m_config.sqliteValue(statement).toString(); }
    QString imsCounts()
    {
        return ims(
            QStringLiteral("select (select count(*) from CUSTOMER) || '/' || (select count(*) from ORDERS)"
                           " || '/' || (select count(*) from ORDERDETAIL)"));
    }
    OfferActions *actions() const { return m_form->offerActions(); }
    // What the window says of the revision shown (lblstatus).
    QString status() const { return m_form->findChild<QLabel *>(QStringLiteral("lblstatus"))->text(); }

    OdbcConfig m_config;
    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<MainWindow> m_form;
    QStringList m_told;
    QList<std::pair<qint32, qint32>> m_shown;
    bool m_installments = false;
    QList<QStringList> m_asked; // the near customers offered, by name
    OfferOrdering::CustomerChoice m_choice { OfferOrdering::CustomerChoice::New, 0 };
};

void TestMakeOrder::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestMakeOrder::init()
{
    m_config.useFreshSqlite();
    m_db = std::make_unique<TestDb>(std::vector<TestRow> {
        { "0", "CPU-1", "Core i5 12400", "6900" },
        { "2", "RAM-1", "DDR4 16GB", "1550.50" },
        { "5", "VGA-LONG-ID-OF-25-CHARSX", "A card", "900" },
        { "90", "company", "Velmont Shop", "0.00" },
        { "90", "sp", "Mona", "0.00" },
    });
    m_store = std::make_unique<Store>(m_db->path, QStringLiteral("t-makeorder"));
    m_form = std::make_unique<MainWindow>(m_store.get());
    m_form->setCloseAfterFailure([](const QString &) { return true; });
    QVERIFY(m_form->load());
    m_told.clear();
    m_shown.clear();
    m_asked.clear();
    m_installments = false;
    m_choice = { OfferOrdering::CustomerChoice::New, 0 };
    actions()->setTell([this](const QString &message) { m_told << message; });
    OfferOrdering *ordering = actions()->ordering();
    ordering->setAskInstallments([this] { return std::optional<bool>(m_installments); });
    ordering->setChooseCustomer([this](const QString &, const QList<OrderPlacement::Customer> &near) {
        QStringList names;
        for (const auto &c : near)
            names << c.name;
        m_asked << names;
        return m_choice;
    });
    ordering->setShowOrder([this](qint32 customer, qint32 order) { m_shown.append({ customer, order }); });
}

void TestMakeOrder::cleanup()
{
    m_form.reset();
    m_store.reset();
    m_db.reset();
}

void TestMakeOrder::pick(int row, const QString &id)
{
    m_form->row(row).picker()->setText(id);
    m_form->itemPicked(row);
}

void TestMakeOrder::typeClient(const QString &text)
{
    typeOver(m_form->findChild<QLineEdit *>(QStringLiteral("Text2")), text);
}

bool TestMakeOrder::makeOrder()
{
    QAction *item = m_form->findChild<QAction *>(QStringLiteral("mnuoffermakeorder"));
    if (!item || item->text() != QStringLiteral("Make &Order..."))
        return false;
    const int told = int(m_told.size());
    const int shown = int(m_shown.size());
    item->trigger();
    return m_shown.size() > shown && m_told.size() >= told;
}

void TestMakeOrder::makesTheOrderAndKeepsTheLink()
{
    typeClient(QStringLiteral("Karim Nabil 0100 222"));
    pick(0, QStringLiteral("CPU-1"));
    pick(2, QStringLiteral("RAM-1"));
    QVERIFY(makeOrder());
    QCOMPARE(m_told, QStringList {});
    // A new customer under the client's name, the next order number (three demo orders) and the
    // offer's lines, prices and total; the order names the offer, the offer knows the order.
    QCOMPARE(m_shown, (QList<std::pair<qint32, qint32>> { { 4, 4 } }));
    QCOMPARE(ims(QStringLiteral("select NAME from CUSTOMER where CUSTOMERID = 4")),
        QStringLiteral("Karim Nabil 0100 222"));
    QCOMPARE(ims(QStringLiteral(
                 "select ORDERREFERENCE || '|' || SOLDBY || '|' || ORDERAMT || '|' || PAIDAMT || '|'"
                 " || TOTALREMAMT || '|' || ORDERDATE from ORDERS where ORDERID = 4")),
        QStringLiteral("Offer 1/1|Mona|8450.5|0|8450.5|") + QDate::currentDate().toString(Qt::ISODate));
    QCOMPARE(ims(QStringLiteral("select group_concat(PRODUCTID || '=' || LINETOTAL, ' ') from"
                                " (select * from ORDERDETAIL where ORDERID = 4 order by ORDERDETAILID)")),
        QStringLiteral("CPU-1=6900 RAM-1=1550.5"));
    QCOMPARE(m_form->offer().totalText(), QStringLiteral("8450.50"));
    QCOMPARE(*OfferProgress(m_store.get()).orderOf({ 1, 1 }), std::optional<int>(4));
    QCOMPARE(status(), QStringLiteral("Ordered, order 4"));
}

void TestMakeOrder::sameRevisionIsRefusedASecondOrder()
{
    typeClient(QStringLiteral("Karim"));
    pick(0, QStringLiteral("CPU-1"));
    QVERIFY(makeOrder());
    const QString counts = imsCounts();
    QVERIFY(!makeOrder());
    QCOMPARE(m_told, QStringList { QStringLiteral("Offer 1/1 is already order 4") });
    QCOMPARE(imsCounts(), counts);
    // A changed offer is a new revision, which may become an order of its own.
    pick(2, QStringLiteral("RAM-1"));
    QCOMPARE(status(), QStringLiteral("Ordered, order 4"));
    QVERIFY(makeOrder());
    QCOMPARE(m_shown.last().second, 5);
    QCOMPARE(status(), QStringLiteral("Ordered, order 5"));
    QCOMPARE(ims(QStringLiteral("select ORDERREFERENCE from ORDERS where ORDERID = 5")),
        QStringLiteral("Offer 1/2"));
}

// The order is written, then keeping the link fails (a disk full, a server gone): the next attempt
// finds the order by its reference and keeps the link; there is never a second order.
void TestMakeOrder::failedLinkIsHealedWithoutASecondOrder()
{
    typeClient(QStringLiteral("Karim"));
    pick(0, QStringLiteral("CPU-1"));
    QCOMPARE(status(), QString());
    QVERIFY(actions()->save());
    QCOMPARE(status(), QStringLiteral("Draft"));
    m_db->exec(QStringLiteral("create trigger full_disk before insert on offer_orders"
                              " begin select raise(abort, 'database or disk is full'); end"));
    QVERIFY(!makeOrder());
    QCOMPARE(m_told.size(), 1);
    QVERIFY2(m_told[0].contains(QStringLiteral("Order 4 is in the order database"))
            && m_told[0].contains(QStringLiteral("disk is full"))
            && m_told[0].contains(QStringLiteral("again")),
        qPrintable(m_told[0]));
    QCOMPARE(ims(QStringLiteral("select count(*) from ORDERS")), QStringLiteral("4"));
    QCOMPARE(*OfferProgress(m_store.get()).orderOf({ 1, 1 }), std::nullopt);
    QCOMPARE(status(), QStringLiteral("Draft"));
    m_db->exec(QStringLiteral("drop trigger full_disk"));
    m_told.clear();
    QVERIFY(makeOrder());
    QCOMPARE(m_told.size(), 1);
    QVERIFY2(m_told[0].contains(QStringLiteral("order 4 before")), qPrintable(m_told[0]));
    QCOMPARE(ims(QStringLiteral("select count(*) from ORDERS")), QStringLiteral("4"));
    QCOMPARE(ims(QStringLiteral("select count(*) from CUSTOMER")), QStringLiteral("4"));
    QCOMPARE(*OfferProgress(m_store.get()).orderOf({ 1, 1 }), std::optional<int>(4));
    QCOMPARE(m_shown.last(), (std::pair<qint32, qint32> { 4, 4 }));
    QVERIFY(!makeOrder());
    QCOMPARE(m_told.last(), QStringLiteral("Offer 1/1 is already order 4"));
}

void TestMakeOrder::planGoesWithTheOrder()
{
    typeClient(QStringLiteral("Karim"));
    pick(0, QStringLiteral("CPU-1"));
    m_installments = true;
    actions()->setAskPlan([] {
        PlanPrintout plan;
        plan.figures = { { "Price", "6900.00" }, { "Deposit", "1725.00" }, { "Remainder", "5175.00" },
            { "No of Installments", "6" } };
        return std::optional<PlanPrintout>(plan);
    });
    QVERIFY(makeOrder());
    QCOMPARE(ims(QStringLiteral(
                 "select ORDERAMT || '|' || PAIDAMT || '|' || TOTALREMAMT || '|' || INSTDEPAMT || '|'"
                 " || INSTTOTALAMT || '|' || INSTNUMBER from ORDERS where ORDERID = 4")),
        QStringLiteral("6900|1725|5175|1725|5175|6"));
    // Closing the calculator without a plan makes no order.
    actions()->setAskPlan([] { return std::optional<PlanPrintout>(); });
    pick(2, QStringLiteral("RAM-1"));
    const QString counts = imsCounts();
    QVERIFY(!makeOrder());
    QCOMPARE(imsCounts(), counts);
}

void TestMakeOrder::nearCustomerIsChosen_data()
{
    QTest::addColumn<QString>("client");
    QTest::addColumn<int>("choice"); // 0: a new customer
    QTest::addColumn<QStringList>("offered"); // empty: nobody asked
    QTest::addColumn<int>("customer");
    // The demo database knows أحمد محمود (2).
    QTest::newRow("same name") << "أحمد محمود" << 0 << QStringList {} << 2;
    QTest::newRow("near, chosen") << "احمد محمود 0100" << 2 << QStringList { "أحمد محمود" } << 2;
    QTest::newRow("near, new one") << "احمد محمود 0100" << 0 << QStringList { "أحمد محمود" } << 4;
    QTest::newRow("nobody near") << "Zeinab" << 0 << QStringList {} << 4;
}

void TestMakeOrder::nearCustomerIsChosen()
{
    QFETCH(QString, client);
    QFETCH(int, choice);
    QFETCH(QStringList, offered);
    QFETCH(int, customer);
    typeClient(client);
    pick(0, QStringLiteral("CPU-1"));
    m_choice = choice ? OfferOrdering::CustomerChoice { OfferOrdering::CustomerChoice::Existing, choice }
                      : OfferOrdering::CustomerChoice { OfferOrdering::CustomerChoice::New, 0 };
    QVERIFY(makeOrder());
    QCOMPARE(m_asked, offered.isEmpty() ? QList<QStringList> {} : QList<QStringList> { offered });
    QCOMPARE(m_shown.last().first, customer);
    QCOMPARE(
        ims(QStringLiteral("select CUSTOMERID from ORDERS where ORDERID = 4")), QString::number(customer));
}

void TestMakeOrder::badInputWritesNothing_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("said");
    QTest::newRow("no chosen row") << "no row"
                                   << "no chosen row";
    QTest::newRow("no client") << "no client"
                               << "client's name";
    QTest::newRow("no data source") << "no IMS"
                                    << "\"IMS\"";
    QTest::newRow("item id too long") << "long id"
                                      << "ORDERDETAIL.PRODUCTID";
    QTest::newRow("client too long for a new customer") << "long client"
                                                        << "CUSTOMER.NAME";
    QTest::newRow("amount too large") << "large amount"
                                      << "ORDERDETAIL.UNITPRICE";
    QTest::newRow("database refuses") << "refused"
                                      << "no lines today";
    QTest::newRow("customer question cancelled") << "cancel"
                                                 << "";
    QTest::newRow("the offer's order unreadable") << "links unreadable"
                                                  << "cannot be read";
}

void TestMakeOrder::badInputWritesNothing()
{
    QFETCH(QString, situation);
    QFETCH(QString, said);
    const QString counts = imsCounts();
    typeClient(situation == QLatin1String("no client")  ? QString()
            : situation == QLatin1String("long client") ? QString(101, QLatin1Char('k'))
            : situation == QLatin1String("cancel")      ? QStringLiteral("احمد محمود")
                                                        : QStringLiteral("Karim"));
    if (situation != QLatin1String("no row"))
        pick(0, QStringLiteral("CPU-1"));
    if (situation == QLatin1String("long id"))
        pick(5, QStringLiteral("VGA-LONG-ID-OF-25-CHARSX"));
    if (situation == QLatin1String("large amount"))
        typeOver(m_form->row(2).amountBox(), QStringLiteral("1234567890123"));
    if (situation == QLatin1String("no IMS"))
        m_config.removeDataSource();
    if (situation == QLatin1String("cancel"))
        m_choice = {};
    if (situation == QLatin1String("links unreadable")) {
        QVERIFY(actions()->save());
        m_db->exec(QStringLiteral("alter table offer_orders rename to offer_orders_elsewhere"));
    }
    if (situation == QLatin1String("refused")) {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("refuse"));
        raw.setDatabaseName(m_config.path(QStringLiteral("orders.sqlite")));
        QVERIFY(raw.open());
        QVERIFY(QSqlQuery(raw).exec(QStringLiteral("create trigger no_lines before insert on ORDERDETAIL"
                                                   " begin select raise(abort, 'no lines today'); end")));
        raw.close();
        raw = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("refuse"));
    }
    QVERIFY(!makeOrder());
    if (said.isEmpty()) {
        QCOMPARE(m_told, QStringList {});
    } else {
        QCOMPARE(m_told.size(), 1);
        QVERIFY2(m_told[0].contains(said), qPrintable(m_told[0]));
    }
    QVERIFY(m_shown.isEmpty());
    if (situation != QLatin1String("no IMS"))
        QCOMPARE(imsCounts(), counts);
    if (actions()->current() && situation != QLatin1String("links unreadable"))
        QCOMPARE(*OfferProgress(m_store.get()).orderOf(*actions()->current()), std::nullopt);
}

// Typing into the client box offers the clients of earlier offers and the order database's
// customers holding what was typed; choosing one fills the box and the offer.
void TestMakeOrder::knownCustomersAreOffered_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("an earlier offer's client") << "nab" << QStringList { "Karim Nabil 0100 222" };
    QTest::newRow("a customer, other letter forms") << "احمد" << QStringList { "أحمد محمود" };
    QTest::newRow("part of a customer's name") << "الامل" << QStringList { "مكتبة الأمل" };
    QTest::newRow("any case, both places") << "KARIM" << QStringList { "Karim Nabil 0100 222" };
    QTest::newRow("a new client") << "Zeinab" << QStringList {};
}

void TestMakeOrder::knownCustomersAreOffered()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, offered);
    m_form->offerModel()->setClient(QStringLiteral("Karim Nabil 0100 222"));
    pick(0, QStringLiteral("CPU-1"));
    QVERIFY(actions()->save());
    actions()->newOffer();
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    auto *box = m_form->findChild<QLineEdit *>(QStringLiteral("Text2"));
    auto *completion = m_form->findChild<ClientCompletion *>(QStringLiteral("ClientCompletion"));
    QVERIFY(completion);
    box->setFocus();
    for (const QChar c : typed) { // one key at a time, Arabic letters as well
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
    }
    // The order database's customers arrive a moment later.
    QTRY_COMPARE_WITH_TIMEOUT(completion->offered(), offered, 30000);
    QTRY_COMPARE_WITH_TIMEOUT(completion->completer()->popup()->isVisible(), !offered.isEmpty(), 30000);
    if (offered.isEmpty()) {
        QCOMPARE(m_form->offer().client, typed); // just typed
        return;
    }
    QAbstractItemView *list = completion->completer()->popup();
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(box->text(), offered.first());
    QCOMPARE(m_form->offer().client, offered.first());
}

// A client first saved after the names were read is offered from the next offer on.
void TestMakeOrder::clientsSavedLaterAreOffered()
{
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    auto *box = m_form->findChild<QLineEdit *>(QStringLiteral("Text2"));
    auto *completion = m_form->findChild<ClientCompletion *>(QStringLiteral("ClientCompletion"));
    const auto type = [&](const QString &text) {
        box->setFocus();
        box->clear();
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &press);
        }
    };
    type(QStringLiteral("zei"));
    // The customers arrive; no Zeinab among them yet.
    QTRY_COMPARE_WITH_TIMEOUT(completion->offered(), QStringList {}, 30000);
    QTest::qWait(200);
    QCOMPARE(completion->offered(), QStringList {});
    m_form->offerModel()->setClient(QStringLiteral("Zeinab Fathy"));
    pick(0, QStringLiteral("CPU-1"));
    QVERIFY(actions()->save());
    actions()->newOffer();
    type(QStringLiteral("zei"));
    QTRY_COMPARE_WITH_TIMEOUT(completion->offered(), QStringList { QStringLiteral("Zeinab Fathy") }, 30000);
}

QTEST_MAIN(TestMakeOrder)
#include "tst_makeorder.moc"
