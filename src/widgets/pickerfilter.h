#pragma once

#include "core/searchtext.h"
#include "shownrows.h"

#include <QPointer>

#include <functional>
#include <limits>
#include <memory>
#include <vector>

// The rows an open picker list shows, and its search: the rows whose first column (the id) or
// second (the description) contains what was typed, a row whose id is what was typed first.
//
// The list's texts are folded a part at a time (prepareSome), while the list is open and between
// other events, so no key ever waits for the whole list to be read: a search typed before the list
// is folded shows what the folded part holds and grows, in the list's order, as the rest comes in;
// an id typed whole that comes in later still goes to the top. Once the list is folded, every key
// only scans its texts.
//
// "Fits" narrows whatever is shown to the items the owner says fit (FitCheck, asked once per item
// as it is folded, so a toggle or a key only looks the answers up); items the owner cannot tell
// about stay and are shown dimmed.
enum class ItemFit : quint8 { Fits, Unsure, DoesNotFit };
using FitCheck = std::function<ItemFit(const QString &id)>;

class PickerFilter final
{
public:
    PickerFilter();
    ~PickerFilter();
    PickerFilter(const PickerFilter &) = delete;
    PickerFilter &operator=(const PickerFilter &) = delete;

    // What a view shows: always this model, whatever the list and the query.
    ShownRowsModel *model() const;
    const QString &query() const { return m_query; }
    bool isActive() const { return !m_query.isEmpty(); }
    // Whether rows are left out: by a query, or by "Fits".
    bool isFiltering() const { return isActive() || fitsOnly(); }
    // Shows the source's rows for this query: every row for an empty one.
    void apply(QAbstractItemModel *source, const QString &query);
    // The row of the source that a row shown stands for, and the row showing a row of the source
    // (told to the view if it was not yet; -1: not shown).
    int sourceRow(int shownRow) const;
    int shownRow(int sourceRow);
    // Forgets the query (and, for a new list, the folded texts).
    void clearQuery() { m_query.clear(); }
    void forget();

    // Starts folding this source's texts (a new source's; those of the old one are forgotten).
    void prepare(QAbstractItemModel *source);
    // How the rows shown for the query changed as more of the list was folded.
    enum class Change { None, Grown, Reordered };
    // Folds rows, reading on in the source as needed, until all are folded, the time is up or
    // maxRows are folded.
    Change prepareSome(qint64 budgetNs, int maxRows = std::numeric_limits<int>::max());
    bool isPrepared() const { return m_prepared; }
    // Whether the first row shown has the id exactly as typed: no row folded later goes before it.
    bool firstIsTypedId() const { return m_exactAsTyped; }

    // How the items of this list fit; none (the default, and after forget()) says every item fits.
    void setFitCheck(FitCheck check);
    bool hasFitCheck() const { return bool(m_fitCheck); }
    // Only the items that fit are to be shown (from the next apply()).
    void setFitsOnly(bool on) { m_fitsOnly = on; }
    bool fitsOnly() const { return m_fitsOnly && m_fitCheck; }

private:
    // The rows to show for the query, the whole id (if any) on top.
    std::vector<int> shownRows(const std::vector<int> &found) const;
    // Looks for a whole id among the rows found since the last look.
    void findWholeId(const std::vector<int> &found);
    // The rows found for the query, less those that do not fit when only those that fit are shown.
    const std::vector<int> &matches();
    ItemFit fitOf(int row) const;

    QString m_query;
    QString m_foldedQuery;
    QPointer<QAbstractItemModel> m_source;
    SearchIndex m_index;
    bool m_prepared = false;
    qsizetype m_looked = 0; // the rows found that were looked at for a whole id
    qsizetype m_wholeId = -1; // where among them the whole id is
    bool m_exactAsTyped = false; // that id is exactly as typed, not only when folded
    FitCheck m_fitCheck;
    bool m_fitsOnly = false;
    std::vector<ItemFit> m_fits; // per row folded
    std::vector<int> m_fitFound; // matches()
    size_t m_fitScanned = 0; // the rows found that matches() looked at
    mutable std::unique_ptr<ShownRowsModel> m_shown; // made by model() when first asked for
};
