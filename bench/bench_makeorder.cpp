// Making an order from a 17-row offer on the order database IMS (an SQLite file through ODBC, as
// the shop's default): finding it by its reference, finding the customer among `customers`,
// checking every value against its column and writing customer, order and lines in one
// transaction, beside the order window's own way of saving the same order and lines (its session:
// a new order, seventeen lines, save).
//
//   bench_makeorder [customers=50000] [runs=15]
#include "benchutil.h"

#include "core/offerorder.h"
#include "orders/orderconnection.h"
#include "orders/orderdatacontrol.h"
#include "orders/orderplacement.h"
#include "orders/ordersession.h"

#include <QFile>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

namespace
{

// The order database from the shipped schema, with that many customers, and a data source IMS of
// the benchmark's own on it (the machine's data sources are never seen).
bool makeOrderDatabase(const QTemporaryDir &dir, int customers)
{
    const QString file = dir.filePath(QStringLiteral("ims.sqlite"));
    QFile schema(QStringLiteral(IMS_SCHEMA));
    if (!schema.open(QIODevice::ReadOnly))
        return false;
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-ims"));
        db.setDatabaseName(file);
        ok = db.open() && db.transaction();
        QSqlQuery q(db);
        QString text;
        for (const QString &line : QString::fromUtf8(schema.readAll()).split(QLatin1Char('\n'))) {
            if (!line.trimmed().startsWith(QLatin1String("--")))
                text += line + QLatin1Char('\n');
        }
        for (const QString &statement : text.split(QLatin1Char(';'))) {
            if (ok && !statement.trimmed().isEmpty())
                ok = q.exec(statement);
        }
        q.prepare(QStringLiteral("insert into CUSTOMER (CUSTOMERID, NAME) values (?, ?)"));
        for (int i = 10; ok && i < customers + 10; ++i) {
            q.addBindValue(i);
            q.addBindValue(QStringLiteral("Customer %1 of Nasr City").arg(i));
            ok = q.exec();
        }
        ok = ok && db.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-ims"));
    const auto write = [&](const QString &name, const QByteArray &content) {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
    };
    ok = ok && write(QStringLiteral("odbcinst.ini"), "[SQLite3]\nDriver=libsqlite3odbc.so\n")
        && write(
            QStringLiteral("odbc.ini"), "[IMS]\nDriver=SQLite3\nDatabase=" + QFile::encodeName(file) + "\n");
    qputenv("ODBCSYSINI", QFile::encodeName(dir.path()));
    qputenv("ODBCINI", QFile::encodeName(dir.filePath(QStringLiteral("odbc.ini"))));
    return ok;
}

Offer seventeenRows()
{
    Offer offer = Offer::blank(QStringLiteral("Shop"), QStringLiteral("Mona"), QDateTime::currentDateTime());
    offer.client = QStringLiteral("Customer 4711 of Nasr City");
    for (int i = 0; i < Offer::RowCount; ++i)
        offer.pickItem(i, QStringLiteral("ITEM-%1").arg(i), QStringLiteral("Part number %1 of the PC").arg(i),
            QStringLiteral("%1.50").arg(100 + 37 * i));
    return offer;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int customers = argc > 1 ? std::max(1, atoi(argv[1])) : 50000;
    const int runs = argc > 2 ? std::max(3, atoi(argv[2])) : 15;
    QTemporaryDir dir;
    if (!makeOrderDatabase(dir, customers)) {
        std::fprintf(stderr, "cannot make the order database\n");
        return 1;
    }
    const OrderConnection connection(QStringLiteral("bench-make-order"));
    if (!connection.isOpen()) {
        std::fprintf(stderr, "%s\n", qPrintable(connection.error()));
        return 1;
    }
    const Offer offer = seventeenRows();

    // The order window's way: a new order for the customer, seventeen lines, save.
    OrderSession session(connection.database());
    if (!session.open())
        return 1;
    const double window = Bench::medianMs(runs, [&] {
        if (!session.newOrder(QStringLiteral("4711")))
            qFatal("new order: %s", qPrintable(session.lastError()));
        for (int i = 0; i < Offer::RowCount; ++i) {
            session.addLine();
            OrderDataControl *lines = session.lines();
            lines->setValue(QStringLiteral("PRODUCTID"), offer.row(i).itemId);
            lines->setValue(QStringLiteral("DESCRIPTION"), offer.row(i).description);
            lines->setValue(QStringLiteral("UNITPRICE"), offer.row(i).amount().value.exactText());
            lines->setValue(QStringLiteral("LINETOTAL"), offer.row(i).amount().value.exactText());
        }
        if (!session.save())
            qFatal("save: %s", qPrintable(session.lastError()));
    });

    // Making the order from the offer: everything the order database is asked, by a placement of
    // its own each time, as the main window makes one for each order.
    int revision = 0;
    const double made = Bench::medianMs(runs, [&] {
        OrderPlacement placement(connection.database());
        const auto order = OfferOrder::draftOf(
            offer, 1, ++revision, QStringLiteral("counter"), QDate::currentDate(), std::nullopt);
        const auto earlier = placement.orderWithReference(order->reference);
        const auto found = placement.customersFor(order->client);
        if (!earlier.read || earlier.order || !found || found->same.size() != 1
            || !placement.misfit(*order, false).isEmpty() || !placement.place(*order, found->same.first().id))
            qFatal("make order: %s", qPrintable(placement.lastError()));
    });
    const QString many = QLocale(QLocale::English).toString(customers);
    Bench::result(QStringLiteral("make order: 17-row offer into IMS (SQLite, %1 customers)").arg(many), made,
        QStringLiteral("the order window saving the same order and lines"), window, QStringLiteral("ms:100"));

    // A client no customer is named after: every customer is read for the near ones, and a new
    // customer is made.
    Offer walkIn = offer;
    const double fresh = Bench::medianMs(runs, [&] {
        OrderPlacement placement(connection.database());
        walkIn.client = QStringLiteral("Zeinab Walk-in %1").arg(revision);
        const auto order = OfferOrder::draftOf(
            walkIn, 2, ++revision, QStringLiteral("counter"), QDate::currentDate(), std::nullopt);
        const auto found = placement.customersFor(order->client);
        if (!found || !found->same.isEmpty() || !placement.misfit(*order, true).isEmpty()
            || !placement.place(*order, std::nullopt))
            qFatal("make order: %s", qPrintable(placement.lastError()));
    });
    Bench::result(QStringLiteral("make order: same, for a new customer (%1 customers read)").arg(many), fresh,
        QStringLiteral("the order window saving the same order and lines"), window);
    return 0;
}
