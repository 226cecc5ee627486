// An import killed at random moments of its Apply (a second process, faults_store import, killed
// with SIGKILL): the list is the old one or the new one, never a mix, and the price history and
// the costs match it.
#include "support/faults_support.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <csignal>

class TestImportFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedImportLeavesOldOrNewList();
};

namespace
{

// "id=price" of category 5, and per id how many changes the history holds and its newest price.
struct State {
    QMap<QString, QString> prices;
    QMap<QString, int> recorded;
    QMap<QString, QString> newest;
    QMap<QString, QString> costs;
};

State state(const QString &path)
{
    return Faults::withRaw(path, [](QSqlDatabase &db) {
        State s;
        QSqlQuery q(db);
        q.exec(QStringLiteral("select id, price from adt where category = '5'"));
        while (q.next())
            s.prices.insert(q.value(0).toString(), q.value(1).toString());
        if (db.tables().contains(QStringLiteral("item_costs"))) {
            q.exec(QStringLiteral("select item_id, cost from item_costs where category = '5'"));
            while (q.next())
                s.costs.insert(q.value(0).toString(), q.value(1).toString());
        }
        if (!db.tables().contains(QStringLiteral("price_history")))
            return s;
        q.exec(QStringLiteral("select item_id, new_price from price_history where category = '5'"
                              " and what is null order by changed_at"));
        while (q.next()) {
            s.recorded[q.value(0).toString()] += 1;
            s.newest[q.value(0).toString()] = q.value(1).toString();
        }
        return s;
    });
}

} // namespace

void TestImportFaults::killedImportLeavesOldOrNewList()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.mdb"));
    QList<Faults::Row> rows { { "90", "dt", "before", "0.00" }, { "0", "R5", "Ryzen", "5400" } };
    for (int i = 0; i < 300; ++i)
        rows << Faults::Row { "5", QStringLiteral("IM%1").arg(i, 3, 10, QLatin1Char('0')), "Imported", "0" };
    QVERIFY(Faults::makeDatabase(path, rows));
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    QSet<QString> seen; // different prices after the kills: they landed at different moments
    for (int attempt = 0; attempt < 12; ++attempt) {
        QProcess importer;
        QVERIFY2(Faults::startHelper(importer, QStringLiteral("import"), path, "ready"),
            "the import did not start");
        QThread::usleep(random.bounded(300000));
        ::kill(static_cast<pid_t>(importer.processId()), SIGKILL);
        QVERIFY(importer.waitForFinished(10000));
        const QString context = QStringLiteral("after kill %1 (seed %2)").arg(attempt).arg(seed);
        QCOMPARE(Faults::integrity(path), QStringLiteral("ok"));
        const State s = state(path);
        QVERIFY2(s.prices.size() == 300, qPrintable(context));
        const QSet<QString> prices(s.prices.cbegin(), s.prices.cend());
        QVERIFY2(prices.size() == 1, qPrintable(context + QStringLiteral(": a mix of prices")));
        seen += prices;
        const QList<int> counts = s.recorded.values();
        QVERIFY2(s.recorded.size() == 300 && QSet<int>(counts.cbegin(), counts.cend()).size() == 1,
            qPrintable(context + QStringLiteral(": the history holds a part of an import")));
        for (auto it = s.prices.cbegin(); it != s.prices.cend(); ++it)
            QVERIFY2(s.newest.value(it.key()) == it.value(),
                qPrintable(context + QStringLiteral(": ") + it.key()));
        // The costs came with the prices: none before the first import, else ten times the price.
        const QString price = s.prices.first();
        for (auto it = s.prices.cbegin(); it != s.prices.cend(); ++it)
            QVERIFY2(s.costs.value(it.key(), QStringLiteral("none"))
                    == (price == QStringLiteral("0") ? QStringLiteral("none")
                                                     : QString::number(price.toLong() * 10)),
                qPrintable(context + QStringLiteral(": the cost of ") + it.key()));
        QCOMPARE(Faults::descriptions(path, "90", "dt").size(), 1);
        QCOMPARE(Faults::descriptions(path, "0", "R5"), QStringList { "Ryzen" });
    }
    QVERIFY2(seen.size() > 1, "every kill found the same list: the import made no progress");
}

QTEST_GUILESS_MAIN(TestImportFaults)
#include "tst_importfaults.moc"
