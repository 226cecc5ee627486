// The order window when the database refuses a write (a trigger stands in for any refusal: a
// constraint, a lock, a value the column cannot hold). Moving to another customer or order writes
// what is pending first; when that write is refused, the window must not show the lines of one
// order under the header of another, and above all no line may end up in another order.
#include "orders/orderdatacontrol.h"
#include "orders/orderdb.h"
#include "orders/ordersession.h"
#include "support/orderwindowfixture.h"
#include "windows/orders/orderwindow.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QTableView>
#include <QToolButton>

#include <memory>

namespace
{

// What a refusal is made of: the trigger and the statement that lifts it again.
struct Refusal {
    const char *name;
    const char *when; // e.g. "BEFORE UPDATE ON ORDERDETAIL"
};

const Refusal refusals[] = {
    { "refuse_line_update", "BEFORE UPDATE ON ORDERDETAIL" },
    { "refuse_line_insert", "BEFORE INSERT ON ORDERDETAIL" },
    { "refuse_line_delete", "BEFORE DELETE ON ORDERDETAIL" },
    { "refuse_order_update", "BEFORE UPDATE ON ORDERS" },
    { "refuse_order_insert", "BEFORE INSERT ON ORDERS" },
    { "refuse_customer_update", "BEFORE UPDATE ON CUSTOMER" },
};

const Refusal *refusal(const QString &name)
{
    for (const Refusal &r : refusals) {
        if (name == QLatin1String(r.name))
            return &r;
    }
    return nullptr;
}

} // namespace

class TestOrderTRefused : public QObject
{
    Q_OBJECT

private:
    OdbcConfig config;
    std::unique_ptr<OrderWindow> w;
    QStringList messages;

    QLineEdit *edit(const char *name) { return w->findChild<QLineEdit *>(QLatin1String(name)); }
    QTableView *grid() { return w->findChild<QTableView *>(QStringLiteral("GRDORDERS")); }
    OrderDataControl *lines() { return w->RSOrderDetails(); }
    QString cell(int row, int column) { return lines()->index(row, column).data(Qt::EditRole).toString(); }
    // The table model marks a line to be deleted with "!" in its row header.
    bool markedForDeletion(int row)
    {
        return lines()->headerData(row, Qt::Vertical).toString() == QLatin1String("!");
    }

    void click(const char *bar, const char *button)
    {
        auto *holder = bar ? w->findChild<QWidget *>(QLatin1String(bar)) : w.get();
        QVERIFY(holder);
        auto *b = holder->findChild<QAbstractButton *>(QLatin1String(button));
        QVERIFY(b);
        b->click();
    }

    // A statement run on the order file past the window's connection.
    void execOnFile(const QString &statement)
    {
        {
            QSqlDatabase raw
                = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("refuser"));
            raw.setDatabaseName(config.path(QStringLiteral("orders.sqlite")));
            QVERIFY(raw.open());
            QSqlQuery q(raw);
            QVERIFY2(q.exec(statement), qPrintable(q.lastError().text() + QLatin1Char('\n') + statement));
            raw.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("refuser"));
    }
    void refuse(const Refusal &r, bool on)
    {
        if (on)
            execOnFile(
                QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 %2 BEGIN SELECT RAISE(ABORT, '%1'); END")
                    .arg(QLatin1String(r.name), QLatin1String(r.when)));
        else
            execOnFile(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(QLatin1String(r.name)));
    }

    // Every stored line and the order it belongs to, read from the file.
    QMap<int, int> storedLines()
    {
        QMap<int, int> result;
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reader"));
            raw.setDatabaseName(config.path(QStringLiteral("orders.sqlite")));
            if (raw.open()) {
                QSqlQuery q(QStringLiteral("SELECT ORDERDETAILID, ORDERID FROM ORDERDETAIL"), raw);
                while (q.next())
                    result.insert(q.value(0).toInt(), q.value(1).toInt());
            }
            raw.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("reader"));
        return result;
    }
    static QString text(const QMap<int, int> &map)
    {
        QStringList parts;
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            parts << QStringLiteral("%1:%2").arg(it.key()).arg(it.value());
        return parts.join(QLatin1Char(' '));
    }

    // What the window shows: the customer, the order and the order's lines.
    QStringList shown()
    {
        QStringList ids;
        QStringList orders;
        for (int r = 0; r < lines()->rowCount(); ++r) {
            ids << cell(r, 0);
            orders << cell(r, 1);
        }
        return { edit("txtCUSTOMERID1")->text(), edit("txtNAME")->text(), edit("txtORDERID(0)")->text(),
            w->RSORDER()->currentKey().toString(), edit("txtCUSTOMERID")->text(), ids.join(QLatin1Char(',')),
            orders.join(QLatin1Char(',')) };
    }

    // The orders belong to the customer number shown and the lines to the order number shown.
    void checkTogether()
    {
        const QString customer = edit("txtCUSTOMERID1")->text();
        for (int r = 0; r < w->RSORDER()->rowCount(); ++r)
            QCOMPARE(
                w->RSORDER()->index(r, w->RSORDER()->column(QStringLiteral("CUSTOMERID"))).data().toString(),
                customer);
        // A line marked for deletion is no longer shown (and once written, its values are cleared).
        const QString order = edit("txtORDERID(0)")->text();
        for (int r = 0; r < lines()->rowCount(); ++r) {
            if (!markedForDeletion(r))
                QCOMPARE(cell(r, 1), order);
        }
    }

    // Moves through the grid as a person does; every move stamps the shown order into the line.
    void moveThroughGrid()
    {
        if (lines()->rowCount() == 0)
            return;
        grid()->setCurrentIndex(lines()->index(0, 4));
        grid()->setCurrentIndex(lines()->index(0, 5));
        grid()->setCurrentIndex(lines()->index(lines()->rowCount() - 1, 5));
    }

    void makeEdit(const QString &what);
    void takeStep(const QString &step);
    void walkStep(QRandomGenerator &random, QSet<QString> &refusing);
    void checkLinesStayInTheirOrders(QMap<int, int> &expected);

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void init()
    {
        messages.clear();
        openTestOrderWindow(config, w, [this](const QString &text) { messages << text; });
    }

    void cleanup() { closeTestOrderWindow(w); }

    void refusedWriteKeepsWhatIsShown_data();
    void refusedWriteKeepsWhatIsShown();
    void addingALineToAnotherOrdersGrid_data();
    void addingALineToAnotherOrdersGrid();
    void deletedLineHidesNoOtherLine_data();
    void deletedLineHidesNoOtherLine();
    void noLineChangesOrder_data();
    void noLineChangesOrder();
};

void TestOrderTRefused::makeEdit(const QString &what)
{
    if (what == QLatin1String("line-text")) {
        lines()->setData(lines()->index(0, 3), QStringLiteral("حاسب معدل"));
    } else if (what == QLatin1String("new-line")) {
        click(nullptr, "cmdnewline");
        lines()->setData(lines()->index(lines()->rowCount() - 1, 3), QStringLiteral("ماوس"));
    } else if (what == QLatin1String("delete-line")) {
        grid()->setCurrentIndex(lines()->index(1, 0));
        click(nullptr, "cmddeleteline");
    } else if (what == QLatin1String("order-comment")) {
        edit("txtCOMMENT")->setText(QStringLiteral("اتصل قبل التوصيل"));
    } else if (what == QLatin1String("nothing")) {
    } else if (what == QLatin1String("customer-name")) {
        edit("txtNAME")->setText(QStringLiteral("شركة النور"));
    } else {
        QFAIL(qPrintable(what));
    }
}

void TestOrderTRefused::takeStep(const QString &step)
{
    const QStringList parts = step.split(QLatin1Char(':'));
    if (parts.first() == QLatin1String("RSMain") || parts.first() == QLatin1String("RSORDER"))
        click(qPrintable(parts.first()), qPrintable(parts.at(1)));
    else if (parts.first() == QLatin1String("customer"))
        edit("txtCUSTOMERID1")->setText(parts.at(1));
    else if (parts.first() == QLatin1String("order"))
        edit("txtORDERID(0)")->setText(parts.at(1));
    else if (parts.first() == QLatin1String("new-order"))
        click(nullptr, "cmdneworder");
    else
        QFAIL(qPrintable(step));
}

void TestOrderTRefused::refusedWriteKeepsWhatIsShown_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("stored"); // every line and its order once the refusal is lifted and saved
    QTest::addColumn<bool>("pending"); // whether the edit is left waiting to be written

    const QString all = QStringLiteral("1:1 2:1 3:2 4:3");
    QTest::newRow("order-next/line-update") << "line-text"
                                            << "refuse_line_update"
                                            << "RSORDER:next" << all << true;
    QTest::newRow("order-last/line-delete") << "delete-line"
                                            << "refuse_line_delete"
                                            << "RSORDER:last"
                                            << "1:1 3:2 4:3" << true;
    QTest::newRow("order-next/line-insert") << "new-line"
                                            << "refuse_line_insert"
                                            << "RSORDER:next"
                                            << "1:1 2:1 3:2 4:3 5:1" << true;
    QTest::newRow("customer-next/line-update") << "line-text"
                                               << "refuse_line_update"
                                               << "RSMain:next" << all << true;
    QTest::newRow("customer-last/line-insert") << "new-line"
                                               << "refuse_line_insert"
                                               << "RSMain:last"
                                               << "1:1 2:1 3:2 4:3 5:1" << true;
    QTest::newRow("customer-next/order-update") << "order-comment"
                                                << "refuse_order_update"
                                                << "RSMain:next" << all << true;
    QTest::newRow("customer-next/customer-update") << "customer-name"
                                                   << "refuse_customer_update"
                                                   << "RSMain:next" << all << true;
    QTest::newRow("typed-customer/line-update") << "line-text"
                                                << "refuse_line_update"
                                                << "customer:2" << all << true;
    QTest::newRow("typed-customer/order-update") << "order-comment"
                                                 << "refuse_order_update"
                                                 << "customer:3" << all << true;
    QTest::newRow("typed-order/line-update") << "line-text"
                                             << "refuse_line_update"
                                             << "order:2" << all << true;
    QTest::newRow("new-order/line-update") << "line-text"
                                           << "refuse_line_update"
                                           << "new-order" << all << true;
    QTest::newRow("new-order/line-insert") << "new-line"
                                           << "refuse_line_insert"
                                           << "new-order"
                                           << "1:1 2:1 3:2 4:3 5:1" << true;
    // The new order itself is refused: the order shown before it comes back, lines and all.
    QTest::newRow("new-order/order-insert") << "nothing"
                                            << "refuse_order_insert"
                                            << "new-order" << all << false;
}

void TestOrderTRefused::refusedWriteKeepsWhatIsShown()
{
    QFETCH(QString, edit);
    QFETCH(QString, refused);
    QFETCH(QString, step);
    QFETCH(bool, pending);
    const Refusal *r = refusal(refused);
    QVERIFY(r);

    makeEdit(edit);
    const QStringList before = shown();
    refuse(*r, true);
    takeStep(step);
    // The move did not happen: the person is told, and what is shown still belongs together.
    QCOMPARE(messages.size(), 1);
    QCOMPARE(shown(), before);
    checkTogether();
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(w->hasUnsavedEdits(), pending);

    // Going on working in the grid must not hand the lines to another order either.
    moveThroughGrid();
    checkTogether();
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(w->save(), !pending);

    refuse(*r, false);
    QVERIFY2(w->save(), qPrintable(messages.join(QLatin1Char('\n'))));
    QTEST(text(storedLines()), "stored");

    // With the refusal lifted the same move goes through.
    messages.clear();
    takeStep(step);
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QLatin1Char('\n'))));
    QVERIFY(shown() != before);
    checkTogether();
}

void TestOrderTRefused::addingALineToAnotherOrdersGrid_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("lineCount");
    QTest::newRow("same-customers-other-order") << "2" << 1;
    QTest::newRow("other-customers-order") << "3" << 1;
    QTest::newRow("no-such-order") << "77" << 0;
}

void TestOrderTRefused::addingALineToAnotherOrdersGrid()
{
    // Order 1 is shown; typing another number into the order number shows that order's lines in
    // the grid. A new line must not stand in a grid of lines of another order than its own.
    QFETCH(QString, typed);
    edit("txtORDERID(0)")->setText(typed);
    QTEST(lines()->rowCount(), "lineCount");
    click(nullptr, "cmdnewline");
    checkTogether();
    if (QTest::currentTestFailed())
        return;
    moveThroughGrid();
    checkTogether();
    if (QTest::currentTestFailed())
        return;
    QVERIFY(w->save());
    // The four lines stay where they were; a new line, if one was made, is the typed order's.
    QMap<int, int> stored = storedLines();
    QVERIFY(!stored.contains(5) || stored.take(5) == typed.toInt());
    QCOMPARE(text(stored), QStringLiteral("1:1 2:1 3:2 4:3"));
}

void TestOrderTRefused::deletedLineHidesNoOtherLine_data()
{
    QTest::addColumn<QString>("before"); // where the line is deleted
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("after"); // what writes the deletion
    QTest::addColumn<QStringList>("visible");
    QTest::newRow("first-then-save") << "" << 0 << "save" << QStringList { "2" };
    QTest::newRow("second-then-save") << "" << 1 << "save" << QStringList { "1" };
    QTest::newRow("only-line-then-order-with-two")
        << "RSORDER:next" << 0 << "RSORDER:first" << QStringList { "1", "2" };
    QTest::newRow("second-then-next-customer") << "" << 1 << "RSMain:next" << QStringList { "4" };
}

void TestOrderTRefused::deletedLineHidesNoOtherLine()
{
    QFETCH(QString, before);
    QFETCH(int, row);
    QFETCH(QString, after);
    if (!before.isEmpty())
        takeStep(before);
    grid()->setCurrentIndex(lines()->index(row, 0));
    click(nullptr, "cmddeleteline");
    QVERIFY(grid()->isRowHidden(row));
    if (after == QLatin1String("save"))
        QVERIFY(w->save());
    else
        takeStep(after);
    QStringList visible;
    for (int r = 0; r < lines()->rowCount(); ++r) {
        if (!grid()->isRowHidden(r))
            visible << cell(r, 0);
    }
    QTEST(visible, "visible");
    QVERIFY(messages.isEmpty());
}

void TestOrderTRefused::noLineChangesOrder_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : { 1u, 2u, 3u, 4u, 5u, 6u })
        QTest::newRow(qPrintable(QStringLiteral("seed-%1").arg(seed))) << seed;
}

void TestOrderTRefused::walkStep(QRandomGenerator &random, QSet<QString> &refusing)
{
    static const char *const moves[] = { "first", "previous", "next", "last" };
    const auto pick = [&](int n) { return static_cast<int>(random.bounded(n)); };
    const int rows = lines()->rowCount();
    switch (pick(12)) {
    case 0:
        click("RSMain", moves[pick(4)]);
        break;
    case 1:
        click("RSORDER", moves[pick(4)]);
        break;
    case 2:
        edit("txtCUSTOMERID1")->setText(QString::number(1 + pick(4)));
        break;
    case 3:
        edit("txtORDERID(0)")->setText(QString::number(1 + pick(5)));
        break;
    case 4:
        if (rows > 0)
            lines()->setData(lines()->index(pick(rows), 3 + pick(2)), QString::number(pick(900)));
        break;
    case 5:
        click(nullptr, "cmdnewline");
        break;
    case 6:
        if (rows > 0) {
            grid()->setCurrentIndex(lines()->index(pick(rows), 0));
            click(nullptr, "cmddeleteline");
        }
        break;
    case 7:
        if (rows > 0)
            grid()->setCurrentIndex(lines()->index(pick(rows), 1 + pick(9)));
        break;
    case 8:
        w->save();
        break;
    case 9: {
        const Refusal &r = refusals[pick(5)];
        const bool on = !refusing.contains(QLatin1String(r.name));
        refuse(r, on);
        if (on)
            refusing.insert(QLatin1String(r.name));
        else
            refusing.remove(QLatin1String(r.name));
        break;
    }
    case 10:
        click(nullptr, "cmdneworder");
        break;
    default:
        edit("txtCOMMENT")->setText(QString::number(pick(1000)));
        break;
    }
}

void TestOrderTRefused::checkLinesStayInTheirOrders(QMap<int, int> &expected)
{
    checkTogether();
    const QMap<int, int> stored = storedLines();
    for (auto it = expected.begin(); it != expected.end();) {
        if (stored.contains(it.key()))
            ++it;
        else
            it = expected.erase(it); // deleted
    }
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        if (expected.contains(it.key()))
            QCOMPARE(it.value(), expected.value(it.key()));
        else
            expected.insert(it.key(), it.value()); // newly stored
    }
    // A stored line shown in the grid still names its own order; only lines to be deleted are hidden.
    for (int r = 0; r < lines()->rowCount(); ++r) {
        QCOMPARE(
            grid()->isRowHidden(r), lines()->headerData(r, Qt::Vertical).toString() == QLatin1String("!"));
        const int id = cell(r, 0).toInt();
        if (expected.contains(id) && lines()->headerData(r, Qt::Vertical).toString() != QLatin1String("*"))
            QCOMPARE(cell(r, 1).toInt(), expected.value(id));
    }
}

void TestOrderTRefused::noLineChangesOrder()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    QSet<QString> refusing;
    QMap<int, int> expected = storedLines();
    for (int step = 0; step < 150; ++step) {
        walkStep(random, refusing);
        checkLinesStayInTheirOrders(expected);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("after step %1").arg(step)));
    }
    for (const Refusal &r : refusals)
        refuse(r, false);
    QVERIFY2(w->save(), qPrintable(messages.join(QLatin1Char('\n'))));
    checkLinesStayInTheirOrders(expected);
}

QTEST_MAIN(TestOrderTRefused)
#include "tst_ordertrefused.moc"
