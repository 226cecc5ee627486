#pragma once

// PriceHistoryWindow (frmhistory): the price changes of one item, newest first, as the price
// history recorded them: when, old and new price with the change in percent, the description at
// the time and who made the change (the editor or an import file).

#include "store/pricehistory.h"

#include <QDialog>

class QTableWidget;

class PriceHistoryWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PriceHistoryWindow)

public:
    PriceHistoryWindow(const QString &id, const QList<PriceChange> &changes, QWidget *parent = nullptr);

private:
    QTableWidget *m_grid = nullptr;
};
