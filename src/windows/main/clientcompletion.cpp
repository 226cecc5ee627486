#include "clientcompletion.h"

#include "core/offermodel.h"
#include "orders/orderconnection.h"
#include "orders/orderplacement.h"
#include "store/offerrepository.h"
#include "store/store.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QStringListModel>
#include <QThread>

#include <utility>

ClientCompletion::ClientCompletion(QLineEdit *box, OfferModel *model, Store *store, QObject *parent)
    : QObject(parent)
    , m_box(box)
    , m_model(model)
    , m_store(store)
    , m_shown(new QStringListModel(this))
{
    setObjectName(QStringLiteral("ClientCompletion"));
    m_completer = new QCompleter(m_shown, this);
    m_completer->setObjectName(QStringLiteral("Text2Completer"));
    // The list is narrowed here, by the search's own rules; the completer only shows it.
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setWidget(m_box);
    connect(m_box, &QLineEdit::textEdited, this, &ClientCompletion::typed);
    connect(m_completer, qOverload<const QString &>(&QCompleter::activated), this, &ClientCompletion::chosen);
    connect(m_model, &OfferModel::offerReplaced, this, [this] { m_stale = true; });
}

ClientCompletion::~ClientCompletion()
{
    if (m_reader) {
        m_reader->wait(); // its connection goes with it
        delete m_reader;
    }
}

void ClientCompletion::startLoading()
{
    m_stale = false;
    if (m_reader) {
        m_again = true;
        return;
    }
    // The counter's own clients first, then the order database's customers, each read through a
    // connection of the reader's own: the store's belongs to this thread, and a key must not wait
    // for a query over every offer.
    m_reader = QThread::create([this, location = m_store->path()] {
        ClientNames names;
        {
            Store offers(location, QStringLiteral("offer-clients"));
            // Names that cannot be read only suggest less: the box works as well without them.
            if (offers.open()) {
                if (const auto clients = OfferRepository(&offers).clients()) {
                    for (const QString &name : *clients)
                        names.add(name);
                }
            }
        }
        {
            const OrderConnection connection(QStringLiteral("IMS-clients"));
            if (connection.isOpen()) {
                if (const auto customers = OrderPlacement(connection.database()).customerNames()) {
                    for (const QString &name : *customers)
                        names.add(name);
                }
            }
        }
        m_read = std::move(names);
    });
    connect(m_reader, &QThread::finished, this, &ClientCompletion::namesArrived);
    m_reader->start();
}

void ClientCompletion::namesArrived()
{
    m_reader->wait();
    delete m_reader;
    m_reader = nullptr;
    m_names = std::move(m_read);
    m_read = ClientNames();
    if (std::exchange(m_again, false))
        startLoading();
    // Offered at once when the person is still typing there.
    if (!m_box->text().isEmpty())
        offer(m_box->text(), m_box->hasFocus());
}

void ClientCompletion::typed(const QString &text)
{
    if (m_stale)
        startLoading();
    offer(text, true);
}

void ClientCompletion::offer(const QString &text, bool show)
{
    const QStringList found = m_names.matching(text, Shown);
    m_shown->setStringList(found);
    // A name typed out in full needs no list.
    if (found.isEmpty() || (found.size() == 1 && found.first() == text.trimmed())) {
        m_completer->popup()->hide();
        return;
    }
    if (show)
        m_completer->complete();
}

void ClientCompletion::chosen(const QString &name)
{
    m_box->setText(name);
    m_model->setClient(name);
}

QStringList ClientCompletion::offered() const
{
    return m_shown->stringList();
}
