#include "support/pricelisteditorfixture.h"

#include <QLabel>
#include <QTableWidget>

// The editor's History button: what the history window shows after the editor's own changes.
class TestPriceHistoryWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void historyAfterChanges_data();
    void historyAfterChanges();
    void noIdNoHistory();
    void unreadableHistorySaysSo();
};

namespace
{

struct Shown {
    QString heading;
    QStringList rows; // "old|new|change|description|by" per row, newest first
};

// Clicks History and reads the window it opens, then closes it.
Shown openHistory(Fixture &f)
{
    Shown shown;
    QTimer::singleShot(0, [&shown] {
        auto *window = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!window || window->objectName() != QLatin1String("frmhistory"))
            return;
        shown.heading = window->findChild<QLabel *>("lblhistory")->text();
        auto *grid = window->findChild<QTableWidget *>("grdhistory");
        for (int r = 0; r < grid->rowCount(); ++r) {
            QStringList cells;
            for (int c = 1; c < grid->columnCount(); ++c)
                cells << grid->item(r, c)->text();
            shown.rows << cells.join(u'|');
        }
        window->reject();
    });
    QTest::mouseClick(f.button("cmdhistory"), Qt::LeftButton);
    return shown;
}

} // namespace

void TestPriceHistoryWindow::historyAfterChanges_data()
{
    // "button id description price [cost]", one editor opening each
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("no change yet") << QStringList {} << "R5" << QStringList {};
    QTest::newRow("price raised") << QStringList { "Command2 R5 Ryzen 5600.5" } << "R5"
                                  << QStringList { "5400.50|5600.5|+3.7%|Ryzen|editor" };
    QTest::newRow("description changed alone")
        << QStringList { "Command2 R5 Renamed 5400.50" } << "R5" << QStringList {};
    QTest::newRow("added, then raised, then deleted")
        << QStringList { "Command1 NEW Fan 100", "Command2 NEW Fan 110", "Command3 NEW - -" } << "NEW"
        << QStringList { "110||deleted|Fan|editor", "100|110|+10.0%|Fan|editor", "|100|added|Fan|editor" };
    QTest::newRow("a cost given, raised with the price, then unknown")
        << QStringList { "Command2 R5 Ryzen 5400.50 4800", "Command2 R5 Ryzen 5600.5 5000",
               "Command2 R5 Ryzen 5600.5 _" }
        << "R5"
        << QStringList { "5000||Cost unknown|Ryzen|editor", "4800|5000|Cost +4.2%|Ryzen|editor",
               "5400.5|5600.5|+3.7%|Ryzen|editor", "|4800|Cost added|Ryzen|editor" };
}

void TestPriceHistoryWindow::historyAfterChanges()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, id);
    QFETCH(QStringList, rows);
    Fixture f;
    Reports reports;
    for (const QString &step : steps) {
        const QStringList part = step.split(u' ');
        f.leaveId(part[1]);
        if (part[0] != QLatin1String("Command3")) {
            f.desc()->setText(part[2]);
            f.price()->setText(part[3]);
            if (part.size() > 4)
                f.child<QLineEdit>("txtcost")->setText(part[4] == u'_' ? QString() : part[4]);
        }
        QTest::mouseClick(f.button(part[0].toLatin1().constData()), Qt::LeftButton);
        QVERIFY(!f.editor->isVisible());
        // Each change is a millisecond apart at least, so newest first is well defined.
        QTest::qWait(2);
        f.open("&Processor", "0");
    }
    f.leaveId(id);
    QVERIFY(f.button("cmdhistory")->isEnabled());
    const Shown shown = openHistory(f);
    QVERIFY(reports.list.empty());
    QCOMPARE(shown.rows.join(";"), rows.join(";"));
    QVERIFY2(shown.heading.contains(id), qPrintable(shown.heading));
}

void TestPriceHistoryWindow::noIdNoHistory()
{
    Fixture f;
    f.leaveId(QString());
    QVERIFY(!f.button("cmdhistory")->isEnabled());
}

// While another program holds the whole file, the history cannot be read: the window says so, and
// why, rather than that no change was ever recorded.
void TestPriceHistoryWindow::unreadableHistorySaysSo()
{
    Fixture f;
    Reports reports;
    f.leaveId("R5");
    QSqlQuery lock(f.db.raw());
    QVERIFY(lock.exec("begin exclusive"));
    const Shown shown = openHistory(f);
    QVERIFY(lock.exec("rollback"));
    QVERIFY(reports.list.empty());
    QVERIFY2(
        shown.heading.startsWith("The price history of R5 could not be read: "), qPrintable(shown.heading));
    QVERIFY2(shown.heading.contains("locked"), qPrintable(shown.heading));
    QVERIFY(shown.rows.isEmpty());
}

QTEST_MAIN(TestPriceHistoryWindow)
#include "tst_pricehistorywindow.moc"
