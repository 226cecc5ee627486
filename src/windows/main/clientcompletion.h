#pragma once

// Known customers at the counter: while the salesperson types into the client box (Text2), a list
// under it offers the clients of earlier offers and the customers of the order database whose
// names hold what was typed (core/clientnames.h); choosing one fills the box. Nothing has to be
// chosen: a new client is just typed. The names are read at the first key typed into an offer, so
// a window that is never typed into reads nothing, and each new or opened offer reads them again:
// the clients saved since are offered too. Reading the offers' clients, taking in the names (tens
// of thousands, folded for the search) and reaching the order database's customers (a server far
// away, a slow disk) happen on a thread of their own, through connections of its own, so no key
// waits for them; the names join the list when they arrive. A missing order database leaves the
// offers' clients alone.

#include "core/clientnames.h"

#include <QObject>
#include <QStringList>

class OfferModel;
class QCompleter;
class QLineEdit;
class QStringListModel;
class QThread;
class Store;

class ClientCompletion final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClientCompletion)

public:
    // The most names the list shows at once.
    static constexpr int Shown = 12;

    ClientCompletion(QLineEdit *box, OfferModel *model, Store *store, QObject *parent);
    ~ClientCompletion() override;
    QCompleter *completer() const { return m_completer; }
    // The names offered for the text now typed.
    QStringList offered() const;

private:
    void typed(const QString &text);
    // Lists the names for the text; show: under the box (else the list is only made ready).
    void offer(const QString &text, bool show);
    void chosen(const QString &name);
    void startLoading();
    void namesArrived();

    QLineEdit *m_box;
    OfferModel *m_model;
    Store *m_store;
    QCompleter *m_completer;
    QStringListModel *m_shown;
    ClientNames m_names;
    bool m_stale = true; // the names are read again at the next key
    bool m_again = false; // asked for while the reader was still at work
    QThread *m_reader = nullptr; // takes in the names and reads the order database's customers
    ClientNames m_read; // what it made, taken over once it has finished
};
