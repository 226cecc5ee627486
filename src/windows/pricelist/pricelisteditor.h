#pragma once

// PriceListEditor, the price-list editor: adds, changes or deletes one item of one category of adt, then
// re-stamps the price-list date (settings row dt) and closes; one opening makes at most one change.
// The id picker looks the id up when it is left or a row is chosen, which decides between the
// new-id state (Add) and the existing-id state (Update, Delete). A failing statement is reported
// through ShowErrorReport and leaves the editor open, its buttons disabled until the next lookup.

#include "core/price.h"
#include "store/pricehistory.h"
#include "store/pricelistrepository.h"

#include <QDialog>
#include <QPixmap>
#include <QString>

#include <optional>

class AttributeGrid;
class CostPanel;
class GridCombo;
class NumericEdit;
class QLabel;
class QGroupBox;
class QLineEdit;
class QPushButton;
class StoreError;
class Store;

class PriceListEditor final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PriceListEditor)

public:
    // caption: the window title; cat: the category worked on ("0" to "16"); picture: the category's
    // picture (a neutral placeholder is drawn when it is null).
    PriceListEditor(Store *store, const QString &caption, const QString &cat, const QPixmap &picture,
        QWidget *parent = nullptr);
    ~PriceListEditor() override;

    const QString &cat() const { return m_cat; }

    // Re-stamps the price-list date, all or nothing: the dt row is replaced by one holding the
    // present date and time, or, when that fails, the previous row stays as it was.
    void UpdateDBDate();

    void setVisible(bool visible) override;

public Q_SLOTS:
    void activated();
    void fillIdList();
    void idKeyDown(int keyCode, int shift);
    void idKeyPress(int charCode);
    void idLeft();
    void idChosen();
    void addItem();
    void updateItem();
    void deleteItem();
    void closeEditor();
    void showHistory();

Q_SIGNALS:
    // A failed action, for the error report; the editor waits until it has been dealt with.
    void failureReported(const QString &number, const QString &description, const QString &source);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QGroupBox *buildFields(const QPixmap &picture);
    void connectControls();
    // Returns false after reporting a failure.
    bool lookup();
    // After one change was written: the date stamp, then closes; reports a failure instead.
    void change(const StoreError &failure);
    // The same for a change checked against what the lookup saw: someone else's change meanwhile
    // is told, with the item as it is now, and nothing is written.
    void changeChecked(const CheckedChange &result, bool removing);
    void reportFailure(const StoreError &failure);
    void reportFailure(const QString &number, const QString &description, const QString &source);
    void reportException(const char *what);
    // Refuses an input with a message naming the field, then gives that field the focus.
    void refuse(QWidget *field, const QString &message);
    // Keeps the id box to what an id can hold, however the text came in (typed, pasted, dropped).
    void cleanId();
    void setButtons(bool add, bool update, bool remove);
    void makeDefault(QPushButton *button);

    Store *m_store;
    PriceListRepository m_priceList;
    PriceHistory m_priceHistory;
    QString m_cat;
    bool m_busy = false;
    int m_keyShift = 0; // shift state of the key last pressed in the id picker
    // Of the last lookup that found a row: its price as stored and as shown, and its row key.
    Price m_storedPrice;
    QString m_shownPrice;
    std::optional<qint64> m_rowKey;
    std::optional<PriceListItem> m_seen; // the item as the last lookup found it
    bool m_shown = false;

    QLabel *m_picture = nullptr;
    GridCombo *m_idPicker = nullptr;
    QLineEdit *m_descriptionBox = nullptr;
    NumericEdit *m_priceBox = nullptr;
    QPushButton *m_addButton = nullptr;
    QPushButton *m_updateButton = nullptr;
    QPushButton *m_deleteButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QPushButton *m_historyButton = nullptr;
    AttributeGrid *m_attributes = nullptr;
    CostPanel *m_costs = nullptr;
};
