#pragma once

// A connection on the order database under a name of its own, for as long as the object lives:
// opened on construction, closed and removed again on destruction. Everything that reads through
// it (data controls, sessions, windows) must be gone first, so declare it before them.

#include <QSqlDatabase>
#include <QString>

class OrderConnection final
{
    Q_DISABLE_COPY_MOVE(OrderConnection)

public:
    explicit OrderConnection(const QString &connectionName);
    ~OrderConnection();

    bool isOpen() const { return m_open; }
    // A connection of that name already existed: it was left as it was and nothing was opened.
    bool alreadyInUse() const { return m_inUse; }
    // Why the connection could not be opened, for the person at the counter.
    QString error() const { return m_error; }
    QSqlDatabase database() const;

private:
    QString m_name;
    QString m_error;
    bool m_open = false;
    bool m_inUse = false;
};
