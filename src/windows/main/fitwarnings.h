#pragma once

#include "core/compatibility.h"
#include "widgets/pickerfilter.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

class OfferModel;
class QListWidget;
class QListWidgetItem;
class QWidget;
class Store;

// Whether the offer's parts fit, told while the offer is built: the rules run on every change of
// the offer model, each broken rule marks the rows it involves (markRow) and is listed in the
// panel lstcompat, with a last line counting the checks that could not be made (its tooltip, or
// Enter on it, names them). The panel shows only while something is to be said about items that
// have attributes: a list without any behaves as it always has. Warnings never block anything.
class FitWarnings final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FitWarnings)

public:
    using MarkRow = std::function<void(int row, const QString &reasons)>;
    // showPanel: the panel is to be shown (true) or hidden; the window makes room for it.
    using ShowPanel = std::function<void(bool shown)>;

    FitWarnings(OfferModel *model, Store *store, QWidget *panelParent, MarkRow markRow, ShowPanel showPanel);

    QListWidget *panel() const { return m_panel; }
    const Compatibility::Report &report() const { return m_report; }
    // The problems, one line each, as the panel lists them (empty when the offer fits or nothing
    // is known of its parts).
    QStringList problems() const;

    // Reads the rows' attributes afresh (after the store opened, or the list changed).
    void refresh();

    // How each item of a row's list fits beside the other rows' parts as they are now, for its
    // picker: the category's attributes are read once, at the first item asked about. In a
    // category without any, every item fits, as before there were attributes.
    FitCheck fitCheck(int row) const;

private:
    void rowChanged(int row);
    void recheck();
    void nameUnchecked(QListWidgetItem *item);

    OfferModel *m_model;
    Store *m_store;
    QListWidget *m_panel;
    MarkRow m_markRow;
    ShowPanel m_showPanel;
    // Per row: the item whose attributes are held, and those attributes.
    std::array<QString, Compatibility::RowCount> m_itemIds;
    Compatibility::Parts m_parts;
    Compatibility::Report m_report;
    bool m_shown = false;
    std::optional<QStringList> m_said; // what the marks and the panel say now
};
