#pragma once

#include "storeerror.h"

#include <QString>

#include <optional>

class Store;

// The shop name and the sales executive (and how long the shop's offers hold): read when the main window
// starts, changed only by the person typing into their boxes, written back when it closes.
//
// What the settings are is kept here, apart from what the boxes happen to show: an opened offer
// shows the shop and seller it was saved with, and that must neither become the settings nor be
// what a new offer starts from.
//
// On db.mdb both are rows of adt and both rows are rewritten at every close, as they always were.
// On a database server shared by several counters the shop's name stays a shared row, but the
// sales executive belongs to the counter: it is kept in this computer's own settings file
// (brasko/counter.conf in the configuration folder, one value per server database), taken from
// the shared row only until the counter has a name of its own. And a counter writes only what its
// person changed, so closing one program never puts back a name (or a placeholder for one) over
// what another counter typed in the meantime.
class CounterSettings final
{
public:
    // unsetCompany and unsetSalesExecutive stand for a setting that has no value yet (the boxes'
    // first texts).
    CounterSettings(Store *store, const QString &unsetCompany, const QString &unsetSalesExecutive,
        const QString &localFile = defaultLocalFile());

    static QString defaultLocalFile();

    // Reads both, forgetting any change not yet saved.
    void load();
    // The settings as they stand: as read, or as the person changed them since.
    QString company() const { return m_company.now(); }
    QString salesExecutive() const { return m_salesExecutive.now(); }
    // How many days a new offer holds: the shop's settings row validdays, a whole number of days;
    // OfferStatus::DefaultValidDays when the shop has not set one (or set no whole number).
    int validDays() const { return m_validDays; }

    // The person typed into a box.
    void changeCompany(const QString &text) { m_company.typed = text; }
    void changeSalesExecutive(const QString &text) { m_salesExecutive.typed = text; }

    // Writes back what has to be written; says why (in words) when something could not be kept,
    // in which case the shared rows are as they were.
    StoreError save();

private:
    struct Setting {
        QString unset;
        std::optional<QString> read; // nullopt: there was no value to read
        std::optional<QString> typed; // nullopt: the person has not touched the box
        QString now() const { return typed.value_or(read.value_or(unset)); }
        bool changed() const { return typed && typed != read; }
        void kept()
        {
            read = now();
            typed.reset();
        }
    };

    QString localKey() const;

    Store *m_store;
    QString m_localFile;
    Setting m_company;
    Setting m_salesExecutive;
    int m_validDays = 14;
};
