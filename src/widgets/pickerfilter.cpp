#include "pickerfilter.h"

#include <QElapsedTimer>

#include <algorithm>

PickerFilter::PickerFilter() = default;

PickerFilter::~PickerFilter() = default;

ShownRowsModel *PickerFilter::model() const
{
    // Made when a list first needs one: a proxy model's constructor makes a dozen connections by
    // name, and most of a window's pickers are never opened.
    if (!m_shown) {
        m_shown = std::make_unique<ShownRowsModel>();
        m_shown->setDimmed([this](int row) { return fitsOnly() && fitOf(row) == ItemFit::Unsure; },
            QStringLiteral("Whether it fits is not known: an attribute it needs is missing."));
    }
    return m_shown.get();
}

void PickerFilter::forget()
{
    m_query.clear();
    m_source.clear();
    m_index.clear();
    m_prepared = false;
    m_fitCheck = nullptr;
    m_fits.clear();
    if (m_shown)
        m_shown->setRows(nullptr, {});
}

void PickerFilter::setFitCheck(FitCheck check)
{
    m_fitCheck = std::move(check);
    m_fits.clear();
    if (!m_fitCheck || !m_source)
        return;
    // Rows folded before the check came are asked now.
    m_fits.reserve(size_t(m_index.size()));
    for (int row = 0; row < m_index.size(); ++row)
        m_fits.push_back(m_fitCheck(m_source->index(row, 0).data().toString()));
}

ItemFit PickerFilter::fitOf(int row) const
{
    return row >= 0 && size_t(row) < m_fits.size() ? m_fits[size_t(row)] : ItemFit::Fits;
}

const std::vector<int> &PickerFilter::matches()
{
    const std::vector<int> &found = m_index.find(m_query);
    if (!fitsOnly())
        return found;
    // The same query asked again only adds rows below: only those are looked at.
    if (found.size() < m_fitScanned) {
        m_fitFound.clear();
        m_fitScanned = 0;
    }
    for (; m_fitScanned < found.size(); ++m_fitScanned) {
        const int row = found[m_fitScanned];
        if (fitOf(row) != ItemFit::DoesNotFit)
            m_fitFound.push_back(row);
    }
    return m_fitFound;
}

void PickerFilter::prepare(QAbstractItemModel *source)
{
    if (m_source == source)
        return;
    m_index.clear();
    m_fits.clear();
    m_source = source;
    m_prepared = false;
}

PickerFilter::Change PickerFilter::prepareSome(qint64 budgetNs, int maxRows)
{
    QAbstractItemModel *source = m_source;
    if (!source || m_prepared)
        return Change::None;
    QElapsedTimer took;
    took.start();
    const bool described = source->columnCount() > 1;
    const int before = m_index.size();
    while (m_index.size() - before < maxRows) {
        const int row = m_index.size();
        if (row < source->rowCount()) {
            const QString id = source->index(row, 0).data().toString();
            m_index.add(id, described ? source->index(row, 1).data().toString() : QString());
            if (m_fitCheck)
                m_fits.push_back(m_fitCheck(id));
            // The clock is read now and then: folding a row takes far less than reading it.
            if (row % 32 == 31 && took.nsecsElapsed() >= budgetNs)
                break;
            continue;
        }
        if (!source->canFetchMore(QModelIndex())) {
            m_prepared = true;
            break;
        }
        // Late in a step, the next part is left for the next: reading it may take a while.
        if (took.nsecsElapsed() >= budgetNs / 2)
            break;
        source->fetchMore(QModelIndex());
    }
    if (!isFiltering() || m_index.size() == before)
        return Change::None;
    const std::vector<int> &found = matches();
    const qsizetype wholeId = m_wholeId;
    const qsizetype had = m_looked;
    findWholeId(found);
    if (m_wholeId == wholeId || (wholeId < 0 && m_wholeId == 0)) {
        // The rows found in the new part go below those shown, in the list's order.
        model()->appendRows(found.begin() + had, found.end());
        return qsizetype(found.size()) > had ? Change::Grown : Change::None;
    }
    model()->setRows(source, shownRows(found));
    return Change::Reordered;
}

void PickerFilter::findWholeId(const std::vector<int> &found)
{
    // An id exactly as typed goes before one that differs only in case or accents; once found,
    // nothing later goes before it.
    if (m_foldedQuery.isEmpty()) {
        m_looked = qsizetype(found.size());
        return;
    }
    for (; !m_exactAsTyped && m_looked < qsizetype(found.size()); ++m_looked) {
        const int row = found[size_t(m_looked)];
        if (!m_index.idIs(row, m_foldedQuery))
            continue;
        if (m_wholeId < 0)
            m_wholeId = m_looked;
        if (m_source->index(row, 0).data().toString() == m_query) {
            m_wholeId = m_looked;
            m_exactAsTyped = true;
        }
    }
    m_looked = qsizetype(found.size());
}

std::vector<int> PickerFilter::shownRows(const std::vector<int> &found) const
{
    std::vector<int> rows = found;
    // A whole id typed means that item, however many longer ids contain it: it comes first, where
    // Enter takes it.
    if (m_wholeId > 0)
        std::rotate(rows.begin(), rows.begin() + m_wholeId, rows.begin() + m_wholeId + 1);
    return rows;
}

void PickerFilter::apply(QAbstractItemModel *source, const QString &query)
{
    m_query = query;
    if (!source) {
        model()->setRows(nullptr, {});
        return;
    }
    prepare(source);
    m_fitFound.clear();
    m_fitScanned = 0;
    if (!isFiltering()) {
        model()->showEveryRow(source);
        return;
    }
    m_foldedQuery = SearchText::fold(query);
    m_looked = 0;
    m_wholeId = -1;
    m_exactAsTyped = false;
    const std::vector<int> &found = matches();
    findWholeId(found);
    model()->setRows(source, shownRows(found));
}

int PickerFilter::sourceRow(int shownRow) const
{
    const QModelIndex source = model()->mapToSource(model()->index(shownRow, 0));
    return source.isValid() ? source.row() : -1;
}

int PickerFilter::shownRow(int sourceRow)
{
    const int row = model()->rowOf(sourceRow);
    model()->revealTo(row);
    return row;
}
