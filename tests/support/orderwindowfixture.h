#pragma once

// The order window as its tests open it: on a fresh order database behind IMS, its messages
// handed to the test, and the unsaved-changes question answered "discard".

#include "orders/orderdb.h"
#include "orders/ordersession.h"
#include "support/ordertfixture.h"
#include "windows/orders/orderwindow.h"

#include <QMessageBox>

#include <functional>
#include <memory>

inline const QString orderWindowConnection = QStringLiteral("test-ims");

// The test fails (and w stays empty) when the database or the window cannot be opened.
inline void openTestOrderWindow(
    OdbcConfig &config, std::unique_ptr<OrderWindow> &w, const std::function<void(const QString &)> &sink)
{
    config.useFreshSqlite();
    QString error;
    std::optional<QSqlDatabase> db = OrderDb::open(orderWindowConnection, &error);
    QVERIFY2(db, qPrintable(error));
    w = std::make_unique<OrderWindow>(new OrderSession(*db));
    w->setMessageSink(sink);
    w->setUnsavedQuestion([] { return QMessageBox::Discard; });
    QVERIFY2(w->load(), qPrintable(w->loadError()));
}

// The window first: its models read through the connection.
inline void closeTestOrderWindow(std::unique_ptr<OrderWindow> &w)
{
    w.reset();
    QSqlDatabase::database(orderWindowConnection, false).close();
    QSqlDatabase::removeDatabase(orderWindowConnection);
}
