#include "orderconnection.h"

#include "orderdb.h"

OrderConnection::OrderConnection(const QString &connectionName)
    : m_name(connectionName)
{
    // Another holder of the name keeps its connection: opening over it would close it under them.
    if (QSqlDatabase::contains(m_name)) {
        m_inUse = true;
        return;
    }
    m_open = OrderDb::open(m_name, &m_error).has_value();
}

OrderConnection::~OrderConnection()
{
    if (!m_open)
        return;
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase OrderConnection::database() const
{
    return m_open ? QSqlDatabase::database(m_name, false) : QSqlDatabase();
}
