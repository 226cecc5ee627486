#pragma once

// PriceHistoryWindow (frmhistory): the price changes of one item, newest first, as the price
// history recorded them: when, old and new price with the change in percent, the description at
// the time and who made the change (the editor or an import file). When the history could not be
// read it says so, and why, rather than that there is none.

#include "store/pricehistory.h"

#include <QDialog>

class QTableWidget;

class PriceHistoryWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PriceHistoryWindow)

public:
    // changes is nullopt when the history could not be read; unreadable then says why.
    PriceHistoryWindow(const QString &id, const std::optional<QList<PriceChange>> &changes,
        const QString &unreadable = QString(), QWidget *parent = nullptr);

private:
    QTableWidget *m_grid = nullptr;
};
