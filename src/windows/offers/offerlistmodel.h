#pragma once

// The saved-offers list's lines. A search goes through the file a slice of offer numbers at a
// time, newest first, each slice one short statement: the first slice is shown at once, and the
// rest follow in turns of the event loop until the view is full (and further as it is scrolled),
// so typing never waits for a scan of every offer. A new search drops what an older one had not
// finished. Each line's status is worked out from its facts (core/offerstatus.h) on the day of the
// search, and the status filter keeps the lines whose status it lets through.

#include "core/offerstatus.h"
#include "store/offerrepository.h"

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <vector>

class OfferListModel final : public QAbstractTableModel
{
public:
    // Margin is the offer's margin as it was kept, for a counter that shows margins.
    enum Column { Number, Revision, Date, Client, Seller, Total, Status, ValidUntil, Margin, ColumnCount };

    // sliceNumbers: the most offer numbers one step of a search reads.
    OfferListModel(OfferRepository *offers, const int *sliceNumbers, QObject *parent);

    // Starts a new search and reads its first slice; false (and error()) when the file cannot be read.
    bool search(const QString &text, OfferStatus::Filter filter = OfferStatus::Filter::All);

    bool finished() const { return m_next <= 0; }
    QString error() const { return m_error; }
    OfferKey key(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    using Line = std::array<QString, ColumnCount>;
    struct Taken {
        std::vector<Line> lines;
        int cutAfter = 0; // the number of the last offer taken when the rows were cut short
    };

    bool readSlice();
    // The lines of the rows the filter lets through but those of offer number skip (listed first
    // already); with a limit, cut between two offers once that many are taken.
    Taken takeLines(RecordSet &rows, size_t limit, int skip) const;
    void addLines(const std::vector<Line> &found);
    void continueLater();

    OfferRepository *m_offers;
    const int *m_sliceNumbers;
    std::vector<Line> m_lines;
    QString m_text;
    OfferStatus::Filter m_filter = OfferStatus::Filter::All;
    QDate m_today; // the day statuses are worked out for
    QString m_error;
    int m_next = 0; // the highest number not read yet; 0 when the search is done
    int m_wanted = 200; // lines to read before waiting for the view to ask for more
    int m_width = 256; // offer numbers in the next slice
    quint64 m_generation = 0;
    bool m_pending = false;
    int m_exact = 0; // the offer listed first because its number was typed; 0: none
};
