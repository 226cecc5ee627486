#include "orderplacement.h"

#include "blockread.h"
#include "core/searchtext.h"
#include "orderdb.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringBuilder>

namespace
{

const QString CustomerTable = QStringLiteral("CUSTOMER");
const QString OrderTable = QStringLiteral("ORDERS");
const QString LineTable = QStringLiteral("ORDERDETAIL");

// How many digits a number has before and after its point.
struct Digits {
    int whole = 0;
    int fraction = 0;
};

Digits digitsOf(const Decimal &value)
{
    QString text = value.exactText();
    if (text.startsWith(QLatin1Char('-')))
        text.remove(0, 1);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    QString whole = point < 0 ? text : text.left(point);
    while (whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    return { int(whole.size()), point < 0 ? 0 : int(text.size() - point - 1) };
}

// The digits a money column holds. Drivers tell a column's size and decimals as they please (the
// SQLite one gives a NUMERIC(14, 2) as 2 by 10): what does not read as a sensible size is taken to
// be the money column of the order database's schema, NUMERIC(14, 2), as the order window shows it.
Digits moneyLimit(const QSqlField &field)
{
    const int size = field.length();
    const int decimals = field.precision();
    if (size > 0 && size <= 38 && decimals >= 0 && decimals < size)
        return { size - decimals, decimals };
    return { 12, 2 };
}

} // namespace

OrderPlacement::OrderPlacement(const QSqlDatabase &db)
    : m_db(db)
{
}

const OrderPlacement::Table &OrderPlacement::table(const QString &wanted)
{
    if (const auto known = m_tables.constFind(wanted); known != m_tables.cend())
        return *known;
    if (!m_tableNames)
        m_tableNames = m_db.tables();
    const QString name = OrderDb::tableName(*m_tableNames, wanted);
    return *m_tables.insert(wanted, Table { name, m_db.record(name) });
}

bool OrderPlacement::fail(const QString &why)
{
    m_error = why;
    return false;
}

std::optional<OrderPlacement::Customers> OrderPlacement::customersFor(const QString &client)
{
    // A customer of that very name is looked for by the database itself: a returning customer is
    // found without reading every customer. Its lower() may leave letters beyond ASCII as they are,
    // so the name is compared again here, and a name it could not match is found by the reading
    // below all the same.
    const QString wanted = client.trimmed().toCaseFolded();
    Customers found;
    const bool read = readCustomers(QStringLiteral(" WHERE lower(trim(NAME)) = ?"),
        { client.trimmed().toLower() }, [&](const Customer &customer) {
            if (customer.name.trimmed().toCaseFolded() == wanted)
                found.same.append(customer);
        });
    if (!read)
        return std::nullopt;
    if (!found.same.isEmpty())
        return found;
    // None: every customer is read for those whose names come near, as a search folds them.
    // This runs for every customer while the person waits, so nothing in it copies a name but
    // the folding.
    const QString folded = SearchText::fold(client.trimmed());
    const bool all = readCustomers(QString(), {}, [&](const Customer &customer) {
        const QStringView name = QStringView(customer.name).trimmed();
        if (name.isEmpty())
            return;
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) {
            found.same.append(customer);
            return;
        }
        // A client text often carries a telephone after the name, and a customer may be kept
        // under a shorter or longer name than the one typed: either holding the other is near.
        const QString foldedName = SearchText::fold(name);
        if (!folded.isEmpty() && (foldedName.contains(folded) || folded.contains(foldedName)))
            found.near.append(customer);
    });
    if (!all)
        return std::nullopt;
    return found;
}

bool OrderPlacement::readCustomers(
    const QString &condition, const QVariantList &values, const std::function<void(const Customer &)> &each)
{
    const QString statement = QStringLiteral("SELECT CUSTOMERID, NAME FROM ") % table(CustomerTable).name
        % condition % QStringLiteral(" ORDER BY CUSTOMERID");
    // Every customer: thousands of rows, read a block at a time where the driver can.
    if (values.isEmpty()) {
        if (const auto rows = BlockRead::numbersAndTexts(m_db, statement)) {
            for (const BlockRead::Row &row : *rows)
                each(Customer { row.number, row.text });
            return true;
        }
    }
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(statement))
        return fail(q.lastError().text());
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        return fail(q.lastError().text());
    while (q.next())
        each(Customer { q.value(0).toInt(), q.value(1).toString() });
    if (q.lastError().isValid())
        return fail(q.lastError().text());
    return true;
}

std::optional<QStringList> OrderPlacement::customerNames()
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT NAME FROM ") % table(CustomerTable).name)) {
        fail(q.lastError().text());
        return std::nullopt;
    }
    QStringList names;
    while (q.next()) {
        const QString name = q.value(0).toString().trimmed();
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

OrderPlacement::Found OrderPlacement::orderWithReference(const QString &reference)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT ORDERID, CUSTOMERID FROM ") % table(OrderTable).name
        % QStringLiteral(" WHERE ORDERREFERENCE = ? ORDER BY ORDERID"));
    q.addBindValue(reference);
    if (!q.exec()) {
        fail(q.lastError().text());
        return {};
    }
    if (!q.next())
        return { true, std::nullopt };
    return { true, Placed { q.value(1).toInt(), q.value(0).toInt() } };
}

std::optional<qint64> OrderPlacement::nextKey(const QString &wanted, const QString &keyColumn)
{
    const Table &known = table(wanted);
    const std::optional<qint64> highest = OrderDb::highestKey(m_db, known.name, known.columns, keyColumn);
    if (!highest)
        return std::nullopt;
    return *highest + 1;
}

QString OrderPlacement::misfit(const OfferOrder::Draft &draft, bool newCustomer)
{
    const auto text = [this](const QString &table, const QString &column, const QString &value,
                          const QString &what) -> QString {
        const QSqlField field = this->table(table).columns.field(column);
        if (field.length() <= 0 || field.metaType().id() != QMetaType::QString
            || value.size() <= field.length())
            return QString();
        return QStringLiteral("%1 is longer than %2.%3 of the order database holds (%4 characters, not %5).")
            .arg(what, table, column)
            .arg(field.length())
            .arg(value.size());
    };
    const auto number = [this](const QString &table, const QString &column, const Decimal &value,
                            const QString &what) -> QString {
        const Digits limit = moneyLimit(this->table(table).columns.field(column));
        const Digits digits = digitsOf(value);
        if (digits.whole > limit.whole)
            return QStringLiteral("%1, %2, is too large for %3.%4 of the order database (at most %5 digits "
                                  "before the point).")
                .arg(what, value.exactText(), table, column)
                .arg(limit.whole);
        if (digits.fraction > limit.fraction)
            return QStringLiteral("%1, %2, has more decimals than %3.%4 of the order database holds (%5).")
                .arg(what, value.exactText(), table, column)
                .arg(limit.fraction);
        return QString();
    };
    QStringList problems;
    if (newCustomer)
        problems << text(CustomerTable, QStringLiteral("NAME"), draft.client, QStringLiteral("The client"));
    problems
        << text(
               OrderTable, QStringLiteral("ORDERREFERENCE"), draft.reference, QStringLiteral("The reference"))
        << text(OrderTable, QStringLiteral("ORDERSOURCE"), draft.source, QStringLiteral("The counter's name"))
        << text(OrderTable, QStringLiteral("SOLDBY"), draft.soldBy, QStringLiteral("The sales executive"))
        << number(OrderTable, QStringLiteral("ORDERAMT"), draft.total, QStringLiteral("The total"))
        << number(OrderTable, QStringLiteral("PAIDAMT"), draft.paid, QStringLiteral("The amount paid"))
        << number(OrderTable, QStringLiteral("TOTALREMAMT"), draft.remaining, QStringLiteral("The rest"));
    if (draft.plan)
        problems << number(
            OrderTable, QStringLiteral("INSTDEPAMT"), draft.plan->deposit, QStringLiteral("The deposit"))
                 << number(OrderTable, QStringLiteral("INSTTOTALAMT"), draft.plan->installmentTotal,
                        QStringLiteral("The amount in installments"));
    for (const OfferOrder::Line &line : draft.lines) {
        const QString row = QStringLiteral("Row %1's").arg(line.row + 1);
        problems
            << text(LineTable, QStringLiteral("PRODUCTID"), line.productId, row + QStringLiteral(" item id"))
            << text(LineTable, QStringLiteral("DESCRIPTION"), line.description,
                   row + QStringLiteral(" description"))
            << number(LineTable, QStringLiteral("UNITPRICE"), line.amount, row + QStringLiteral(" amount"))
            << number(LineTable, QStringLiteral("LINETOTAL"), line.amount, row + QStringLiteral(" amount"));
    }
    problems.removeAll(QString());
    problems.removeDuplicates();
    return problems.join(QLatin1Char('\n'));
}

bool OrderPlacement::insert(const QString &wanted, const QStringList &columns, const QVariantList &values)
{
    const Table &known = table(wanted);
    auto statement = m_inserts.find(wanted);
    if (statement == m_inserts.cend()) {
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        QSqlQuery q(m_db);
        if (!q.prepare(QStringLiteral("INSERT INTO ") % known.name % QStringLiteral(" (")
                % columns.join(QStringLiteral(", ")) % QStringLiteral(") VALUES (")
                % marks.join(QStringLiteral(", ")) % QLatin1Char(')')))
            return fail(wanted % QStringLiteral(": ") % q.lastError().text());
        statement = m_inserts.try_emplace(wanted, std::move(q)).first;
    }
    QSqlQuery &q = statement->second;
    for (qsizetype i = 0; i < values.size(); ++i) {
        // A missing value is bound as a NULL of the column's own type, which every driver takes.
        const QVariant &v = values.at(i);
        q.bindValue(int(i), v.isValid() ? v : QVariant(known.columns.field(columns.at(i)).metaType()));
    }
    if (!q.exec())
        return fail(wanted % QStringLiteral(": ") % q.lastError().text());
    return true;
}

bool OrderPlacement::writeLines(const OfferOrder::Draft &draft, qint32 order)
{
    const std::optional<qint64> first = nextKey(LineTable, QStringLiteral("ORDERDETAILID"));
    if (!first)
        return fail(LineTable % QStringLiteral(": ") % m_db.lastError().text());
    qint64 key = *first;
    for (const OfferOrder::Line &line : draft.lines) {
        const QString amount = line.amount.exactText();
        if (!insert(LineTable,
                { QStringLiteral("ORDERDETAILID"), QStringLiteral("ORDERID"), QStringLiteral("PRODUCTID"),
                    QStringLiteral("DESCRIPTION"), QStringLiteral("UNITPRICE"), QStringLiteral("QUANTITY"),
                    QStringLiteral("DISCOUNT"), QStringLiteral("LINETOTAL"), QStringLiteral("RETURNED") },
                { key++, order, line.productId.isEmpty() ? QVariant() : QVariant(line.productId),
                    line.description, amount, QStringLiteral("1"), QStringLiteral("0"), amount, 0 }))
            return false;
    }
    return true;
}

std::optional<OrderPlacement::Placed> OrderPlacement::place(
    const OfferOrder::Draft &draft, std::optional<qint32> customer)
{
    if (!m_db.transaction()) {
        fail(m_db.lastError().text());
        return std::nullopt;
    }
    Placed placed;
    const auto work = [&] {
        if (customer) {
            placed.customer = *customer;
        } else {
            const std::optional<qint64> key = nextKey(CustomerTable, QStringLiteral("CUSTOMERID"));
            if (!key)
                return fail(CustomerTable % QStringLiteral(": ") % m_db.lastError().text());
            placed.customer = qint32(*key);
            if (!insert(CustomerTable, { QStringLiteral("CUSTOMERID"), QStringLiteral("NAME") },
                    { placed.customer, draft.client }))
                return false;
        }
        const std::optional<qint64> key = nextKey(OrderTable, QStringLiteral("ORDERID"));
        if (!key)
            return fail(OrderTable % QStringLiteral(": ") % m_db.lastError().text());
        placed.order = qint32(*key);
        const auto plan = [&](auto part) { return draft.plan ? QVariant(part(*draft.plan)) : QVariant(); };
        return insert(OrderTable,
                   { QStringLiteral("ORDERID"), QStringLiteral("CUSTOMERID"), QStringLiteral("ORDERDATE"),
                       QStringLiteral("ORDERREFERENCE"), QStringLiteral("ORDERSOURCE"),
                       QStringLiteral("SOLDBY"), QStringLiteral("ORDERAMT"), QStringLiteral("PAIDAMT"),
                       QStringLiteral("TOTALREMAMT"), QStringLiteral("INSTDEPAMT"),
                       QStringLiteral("INSTTOTALAMT"), QStringLiteral("INSTNUMBER") },
                   { placed.order, placed.customer, draft.date, draft.reference, draft.source, draft.soldBy,
                       draft.total.exactText(), draft.paid.exactText(), draft.remaining.exactText(),
                       plan([](const OfferOrder::Plan &p) { return p.deposit.exactText(); }),
                       plan([](const OfferOrder::Plan &p) { return p.installmentTotal.exactText(); }),
                       plan([](const OfferOrder::Plan &p) { return p.count; }) })
            && writeLines(draft, placed.order);
    };
    if (!work()) {
        m_db.rollback();
        return std::nullopt;
    }
    if (!m_db.commit()) {
        fail(m_db.lastError().text());
        m_db.rollback();
        return std::nullopt;
    }
    m_error.clear();
    return placed;
}
