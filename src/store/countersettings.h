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
//
// A setting that could not be read (the file locked, the server away for a moment) is not one
// never set: its box shows the first text, but that is never written over the stored value. It is
// written only once its person types into the box.
class CounterSettings final
{
public:
    // unsetCompany and unsetSalesExecutive stand for a setting that has no value yet (the boxes'
    // first texts).
    CounterSettings(Store *store, const QString &unsetCompany, const QString &unsetSalesExecutive,
        const QString &localFile = defaultLocalFile());

    static QString defaultLocalFile();

    // Reads both, forgetting any change not yet saved; says why when the shop name or the sales
    // executive could not be read.
    StoreError load();
    // The settings as they stand: as read, or as the person changed them since.
    QString company() const { return m_company.now(); }
    QString salesExecutive() const { return m_salesExecutive.now(); }
    // How many days a new offer holds: the shop's settings row validdays, a whole number of days;
    // OfferStatus::DefaultValidDays when the shop has not set one (or set no whole number).
    int validDays() const { return m_validDays; }
    // Why the shop's validdays could not be read, validDays() being the default then; none when it
    // was read or is not set.
    StoreError validDaysError() const { return m_validDaysError; }

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
        bool unreadable = false; // the stored value could not be read
        QString now() const { return typed.value_or(read.value_or(unset)); }
        bool changed() const { return typed && typed != read; }
        // Never the first text over a stored value that could not be read.
        bool mayBeWritten() const { return !unreadable || typed; }
        void kept()
        {
            read = now();
            typed.reset();
            unreadable = false;
        }
    };

    QString localKey() const;

    Store *m_store;
    QString m_localFile;
    Setting m_company;
    Setting m_salesExecutive;
    int m_validDays = 14;
    StoreError m_validDaysError;
};
