#pragma once

#include "core/partattributes.h"

#include <QGroupBox>

#include <functional>
#include <optional>

class QTableWidget;
class QTableWidgetItem;
class Store;
struct StoreFailure;

// The price-list editor's part attributes (grdattributes): the attributes that fit the item's
// category, one row each, typed and checked by kind. "Guess from description"
// (cmdguessattributes) fills empty rows with what the description gives away, each marked as a
// guess with a box to tick: a guess is kept only once a person ticks it or types over it. For a
// category whose parts have no attributes the grid is not shown at all.
class AttributeGrid final : public QGroupBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AttributeGrid)

public:
    // category: the editor's; description: the item's description as the person sees it.
    AttributeGrid(Store *store, const QString &category, std::function<QString()> description,
        QWidget *parent = nullptr);

    bool hasAttributes() const { return !m_attributes.isEmpty(); }
    // Shows the item's attributes as kept (none for an empty id, a new item). When they cannot be
    // read the grid is disabled and says why, and the item can still be edited.
    void load(const QString &id);
    void showAttributes(const PartAttributes &attributes);
    bool isModified() const { return m_modified; }
    // Checks what the grid holds before the item is written: false after telling the person what
    // is wrong (a value that does not read, a new socket not confirmed), with that row current.
    bool check();
    // Keeps what check() accepted for the item, when anything was changed; false when that failed.
    bool save(const QString &id);
    void guess();

private:
    void markGuess(QTableWidgetItem *value, bool guessed);

    Store *m_store;
    QString m_category;
    PartKind m_kind;
    PartAttributes m_checked;
    QList<Attribute> m_attributes;
    std::function<QString()> m_description;
    QTableWidget *m_grid = nullptr;
    bool m_modified = false;
    bool m_filling = false;
};
