#pragma once

#include <QString>

#include <optional>

class Store;

// The shop name and the sales executive as the main window reads them at start and writes them
// back when it closes.
//
// On db.mdb both are rows of adt and both rows are rewritten at every close, as they always were.
// On a database server shared by several counters the shop's name stays a shared row, but the
// sales executive belongs to the counter: it is kept in this computer's own settings file
// (brasko/counter.conf in the configuration folder, one value per server database), taken from
// the shared row only until the counter has a name of its own. And a counter writes the shop's
// name back only when it changed it since it was read, so closing one program never puts back
// a name that another counter changed in the meantime.
class CounterSettings final
{
public:
    explicit CounterSettings(Store *store, const QString &localFile = defaultLocalFile());

    static QString defaultLocalFile();

    // Reads both; nullopt for one that has no row (or, for the counter's own, no value anywhere).
    void load();
    std::optional<QString> company() const { return m_company; }
    std::optional<QString> salesExecutive() const { return m_salesExecutive; }

    // Writes back what has to be written; false and lastError() (in words) when something could
    // not be kept, in which case the shared rows are as they were.
    bool save(const QString &company, const QString &salesExecutive);
    QString lastError() const { return m_error; }

private:
    QString localKey() const;

    Store *m_store;
    QString m_localFile;
    std::optional<QString> m_company;
    std::optional<QString> m_salesExecutive;
    QString m_error;
};
