#include "offerlistmodel.h"

#include "store/offerprogress.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

namespace
{
// How long one slice of a search may take before the next ones are made narrower: well inside
// the time between two keys of a fast typist.
constexpr qint64 SliceBudgetMs = 12;
// The most lines one step takes from a slice that matches many: more than a screen holds.
constexpr size_t RowsPerStep = 200;
} // namespace

OfferListModel::OfferListModel(OfferRepository *offers, const int *sliceNumbers, QObject *parent)
    : QAbstractTableModel(parent)
    , m_offers(offers)
    , m_sliceNumbers(sliceNumbers)
{
}

bool OfferListModel::search(const QString &text, OfferStatus::Filter filter)
{
    beginResetModel();
    m_lines.clear();
    m_text = text;
    m_filter = filter;
    m_today = QDate::currentDate();
    ++m_generation;
    m_pending = false;
    m_wanted = 200;
    m_width = std::min(256, *m_sliceNumbers);
    m_exact = 0;
    const auto highest = m_offers->highestNumber();
    m_next = highest ? *highest : 0;
    endResetModel();
    if (!highest) {
        m_error = highest.error().text();
        return false;
    }
    m_error.clear();
    // An offer number typed whole is the offer meant: its revisions come first, however many
    // newer offers hold those digits elsewhere, and however far down the slices it would come.
    bool number = false;
    const int wanted = text.toInt(&number);
    if (number && wanted > 0 && wanted <= *highest && !text.startsWith(QLatin1Char('0'))
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        auto rows = m_offers->list(QString(), wanted, wanted);
        if (!rows) {
            m_error = rows.error().text();
            m_next = 0;
            return false;
        }
        addLines(takeLines(**rows, 0, 0).lines);
        m_exact = wanted;
    }
    return readSlice();
}

OfferKey OfferListModel::key(int row) const
{
    const Line &line = m_lines.at(size_t(row));
    return { line[Number].toInt(), line[Revision].toInt() };
}

int OfferListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int OfferListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant OfferListModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::TextAlignmentRole
        && (index.column() == Number || index.column() == Revision || index.column() == Total))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return m_lines.at(size_t(index.row())).at(size_t(index.column()));
}

QVariant OfferListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const std::array<const char *, ColumnCount> names { "Number", "Revision", "Date", "Client",
        "Seller", "Total", "Status", "Valid until", "Margin" };
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return QString::fromLatin1(names.at(size_t(section)));
}

bool OfferListModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !finished();
}

void OfferListModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid())
        return;
    m_wanted = std::max(m_wanted, int(m_lines.size()) + 200);
    continueLater();
}

bool OfferListModel::readSlice()
{
    if (finished())
        return true;
    const int high = m_next;
    const int low = std::max(1, high - m_width + 1);
    QElapsedTimer took;
    took.start();
    auto rows = m_offers->list(m_text, low, high);
    if (!rows) {
        m_error = rows.error().text();
        m_next = 0;
        return false;
    }
    m_next = low - 1;
    // Slices start narrow, so a list that matches everything shows at once, and widen while they
    // find little, so a rare match is reached in few steps; but never so wide that one slice
    // keeps the person's next key waiting (a slow disk or a busy computer narrows them again).
    // A slice that matches many offers is taken a screenful at a time, cut between two offers
    // (never between revisions of one), the rest coming with the next step.
    const Taken taken = takeLines(**rows, RowsPerStep, m_exact);
    if (taken.cutAfter > 0)
        m_next = taken.cutAfter - 1;
    const qint64 ms = took.elapsed();
    if (ms > SliceBudgetMs)
        m_width = std::max(256, m_width / 2);
    else if (taken.lines.size() < 64 && ms < SliceBudgetMs / 2)
        m_width = std::min(m_width * 2, *m_sliceNumbers);
    addLines(taken.lines);
    if (int(m_lines.size()) < m_wanted)
        continueLater();
    return true;
}

OfferListModel::Taken OfferListModel::takeLines(RecordSet &rows, size_t limit, int skip) const
{
    Taken taken;
    int lastNumber = 0;
    for (bool on = rows.moveFirst(); on; on = rows.moveNext()) {
        Line line;
        for (int c = Number; c <= Total; ++c)
            line[size_t(c)] = rows.model()->index(rows.currentRow(), c).data().toString();
        const int number = line[Number].toInt();
        if (limit > 0 && taken.lines.size() >= limit && number != lastNumber) {
            taken.cutAfter = lastNumber;
            break;
        }
        lastNumber = number;
        const OfferStatus::Facts facts = listedFacts(rows);
        const OfferStatus::Status status = OfferStatus::of(facts, m_today);
        if (number == skip || !OfferStatus::matches(m_filter, status))
            continue;
        line[Status] = OfferStatus::text(status);
        line[ValidUntil] = facts.validUntil.toString(Qt::ISODate);
        line[Margin] = rows.text(QStringLiteral("Margin")).value_or(QString());
        taken.lines.push_back(line);
    }
    return taken;
}

void OfferListModel::addLines(const std::vector<Line> &found)
{
    if (found.empty())
        return;
    const int first = int(m_lines.size());
    beginInsertRows(QModelIndex(), first, first + int(found.size()) - 1);
    m_lines.insert(m_lines.end(), found.begin(), found.end());
    endInsertRows();
}

void OfferListModel::continueLater()
{
    if (finished() || m_pending)
        return;
    m_pending = true;
    // A timer that is due a moment later rather than at once: the next slice then waits for the
    // keys and paints already queued instead of following straight on.
    QTimer::singleShot(1, this, [this, generation = m_generation] {
        if (generation != m_generation)
            return; // an older search's step: the new search has its own
        m_pending = false;
        readSlice();
    });
}
