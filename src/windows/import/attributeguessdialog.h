#pragma once

#include "core/partattributes.h"

#include <QDialog>
#include <QList>
#include <QString>

class QTableWidget;

// "Guess attributes" for items coming in from a supplier's file: what each description gives away
// (a socket, a memory type, a wattage) is proposed, row by row, for the person to accept per row or
// all at once; nothing is taken unless accepted, and only the accepted come back (accepted()), no
// longer marked as guessed. Items whose descriptions give nothing away are not listed.
class AttributeGuessDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AttributeGuessDialog)

public:
    using Item = DescribedItem;
    using Accepted = ItemAttributes;

    explicit AttributeGuessDialog(const QList<Item> &items, QWidget *parent = nullptr);

    // How many items have a proposal (the rows listed).
    int proposals() const { return static_cast<int>(m_proposed.size()); }
    // The proposals the person accepted, once the dialog was closed with OK.
    QList<Accepted> accepted() const;
    void acceptAll();
    void setRowAccepted(int row, bool accepted);

    // A proposal as one line: "Socket AM5, Power 65 W".
    static QString describe(const PartAttributes &attributes);

private:
    QList<Accepted> m_proposed; // as guessed, one per row
    QTableWidget *m_table = nullptr;
};
