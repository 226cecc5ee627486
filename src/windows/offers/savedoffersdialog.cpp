#include "savedoffersdialog.h"

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

int SavedOffersDialog::s_sliceNumbers = 8000;

namespace
{
// How long one slice of a search may take before the next ones are made narrower: well inside
// the time between two keys of a fast typist.
constexpr qint64 SliceBudgetMs = 12;
// The most lines one step takes from a slice that matches many: more than a screen holds.
constexpr size_t RowsPerStep = 200;
} // namespace

// The list's lines. A search goes through the file a slice of offer numbers at a time, newest
// first, each slice one short statement: the first slice is shown at once, and the rest follow in
// turns of the event loop until the view is full (and further as it is scrolled), so typing never
// waits for a scan of every offer. A new search drops what an older one had not finished.
class OfferListModel final : public QAbstractTableModel
{
public:
    static constexpr int Columns = 6;

    explicit OfferListModel(OfferRepository *offers, QObject *parent)
        : QAbstractTableModel(parent)
        , m_offers(offers)
    {
    }

    // Starts a new search and reads its first slice; false (and error()) when the file cannot be read.
    bool search(const QString &text)
    {
        beginResetModel();
        m_lines.clear();
        m_text = text;
        ++m_generation;
        m_pending = false;
        m_wanted = 200;
        m_width = std::min(256, SavedOffersDialog::s_sliceNumbers);
        m_exact = 0;
        const auto highest = m_offers->highestNumber();
        m_next = highest.value_or(0);
        endResetModel();
        if (!highest) {
            m_error = m_offers->lastError().text();
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
                m_error = m_offers->lastError().text();
                m_next = 0;
                return false;
            }
            addLines(takeLines(*rows, 0, 0).lines);
            m_exact = wanted;
        }
        return readSlice();
    }

    bool finished() const { return m_next <= 0; }
    QString error() const { return m_error; }
    OfferKey key(int row) const
    {
        const auto &line = m_lines.at(row);
        return { line[0].toInt(), line[1].toInt() };
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_lines.size());
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : Columns;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::TextAlignmentRole && (index.column() <= 1 || index.column() == 5))
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return m_lines.at(index.row()).at(size_t(index.column()));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const std::array<const char *, Columns> names { "Number", "Revision", "Date", "Client",
            "Seller", "Total" };
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= Columns)
            return {};
        return QString::fromLatin1(names.at(size_t(section)));
    }
    bool canFetchMore(const QModelIndex &parent) const override { return !parent.isValid() && !finished(); }
    void fetchMore(const QModelIndex &parent) override
    {
        if (parent.isValid())
            return;
        m_wanted = std::max(m_wanted, int(m_lines.size()) + 200);
        continueLater();
    }

private:
    // One slice: the offers numbered from m_next down, at most s_sliceNumbers of them.
    bool readSlice()
    {
        if (finished())
            return true;
        const int high = m_next;
        const int low = std::max(1, high - m_width + 1);
        QElapsedTimer took;
        took.start();
        auto rows = m_offers->list(m_text, low, high);
        if (!rows) {
            m_error = m_offers->lastError().text();
            m_next = 0;
            return false;
        }
        m_next = low - 1;
        // Slices start narrow, so a list that matches everything shows at once, and widen while they
        // find little, so a rare match is reached in few steps; but never so wide that one slice
        // keeps the person's next key waiting (a slow disk or a busy computer narrows them again).
        // A slice that matches many offers is taken a screenful at a time, cut between two offers
        // (never between revisions of one), the rest coming with the next step.
        const Taken taken = takeLines(*rows, RowsPerStep, m_exact);
        if (taken.cutAfter > 0)
            m_next = taken.cutAfter - 1;
        const qint64 ms = took.elapsed();
        if (ms > SliceBudgetMs)
            m_width = std::max(256, m_width / 2);
        else if (taken.lines.size() < 64 && ms < SliceBudgetMs / 2)
            m_width = std::min(m_width * 2, SavedOffersDialog::s_sliceNumbers);
        addLines(taken.lines);
        if (int(m_lines.size()) < m_wanted)
            continueLater();
        return true;
    }

    using Line = std::array<QString, Columns>;
    struct Taken {
        std::vector<Line> lines;
        int cutAfter = 0; // the number of the last offer taken when the rows were cut short
    };

    // The lines of the rows but those of offer number skip (listed first already); with a limit,
    // cut between two offers once that many are taken.
    static Taken takeLines(RecordSet &rows, size_t limit, int skip)
    {
        Taken taken;
        int lastNumber = 0;
        for (bool on = rows.moveFirst(); on; on = rows.moveNext()) {
            Line line;
            for (int c = 0; c < Columns; ++c)
                line[size_t(c)] = rows.model()->index(rows.currentRow(), c).data().toString();
            const int number = line[0].toInt();
            if (limit > 0 && taken.lines.size() >= limit && number != lastNumber) {
                taken.cutAfter = lastNumber;
                break;
            }
            lastNumber = number;
            if (number != skip)
                taken.lines.push_back(line);
        }
        return taken;
    }

    void addLines(const std::vector<Line> &found)
    {
        if (found.empty())
            return;
        const int first = int(m_lines.size());
        beginInsertRows(QModelIndex(), first, first + int(found.size()) - 1);
        m_lines.insert(m_lines.end(), found.begin(), found.end());
        endInsertRows();
    }

    void continueLater()
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

    OfferRepository *m_offers;
    std::vector<std::array<QString, Columns>> m_lines;
    QString m_text;
    QString m_error;
    int m_next = 0; // the highest number not read yet; 0 when the search is done
    int m_wanted = 200; // lines to read before waiting for the view to ask for more
    int m_width = 256; // offer numbers in the next slice
    quint64 m_generation = 0;
    bool m_pending = false;
    int m_exact = 0; // the offer listed first because its number was typed; 0: none
};

SavedOffersDialog::SavedOffersDialog(OfferRepository *offers, QWidget *parent)
    : QDialog(parent)
    , m_offers(offers)
{
    setObjectName(QStringLiteral("frmoffers"));
    setWindowTitle(QStringLiteral("Open Offer"));
    setModal(true);
    resize(640, 420);

    auto *layout = new QVBoxLayout(this);
    auto *searchLine = new QHBoxLayout;
    auto *caption = new QLabel(QStringLiteral("&Search:"), this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("txtsearch"));
    m_search->setPlaceholderText(QStringLiteral("Client, offer number or item"));
    m_search->setClearButtonEnabled(true);
    caption->setBuddy(m_search);
    searchLine->addWidget(caption);
    searchLine->addWidget(m_search, 1);
    layout->addLayout(searchLine);

    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("lvoffers"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true); // a long list scrolls without measuring every line
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setAllColumnsShowFocus(true);
    layout->addWidget(m_list, 1);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("lblproblem"));
    m_problem->setWordWrap(true);
    m_problem->hide();
    layout->addWidget(m_problem);

    m_model = new OfferListModel(m_offers, this);
    m_list->setModel(m_model);
    // Lines of a search arrive a slice at a time; the first one to arrive is the one Enter opens.
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
        if (!m_list->currentIndex().isValid())
            m_list->setCurrentIndex(m_model->index(0, 0));
        m_open->setEnabled(true);
    });

    auto *buttons = new QDialogButtonBox(this);
    m_open = buttons->addButton(QStringLiteral("&Open"), QDialogButtonBox::AcceptRole);
    m_open->setObjectName(QStringLiteral("cmdopen"));
    m_open->setDefault(true); // Enter in the search box opens the selected line
    QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdcancel"));
    layout->addWidget(buttons);

    connect(m_search, &QLineEdit::textChanged, this, &SavedOffersDialog::searchChanged);
    connect(m_open, &QPushButton::clicked, this, &SavedOffersDialog::openChosen);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTreeView::doubleClicked, this, &SavedOffersDialog::openChosen);
    // Enter in the list opens as well.
    connect(m_list, &QTreeView::activated, this, &SavedOffersDialog::openChosen);
    searchChanged();
    // Said here as well, before anything is opened and changed: such a file keeps no new revision.
    m_readOnly = m_offers->writeProblem();
    if (!m_readOnly.isEmpty()) {
        m_problem->setText(m_readOnly);
        m_problem->show();
    }
    m_search->setFocus();
}

SavedOffersDialog::~SavedOffersDialog() = default;

void SavedOffersDialog::searchChanged()
{
    const bool read = m_model->search(m_search->text().trimmed());
    m_problem->setVisible(!read || !m_readOnly.isEmpty());
    m_problem->setText(read ? m_readOnly : m_model->error());
    if (m_model->rowCount() > 0)
        m_list->setCurrentIndex(m_model->index(0, 0));
    m_open->setEnabled(m_model->rowCount() > 0);
}

int SavedOffersDialog::shownCount() const
{
    return m_model->rowCount();
}

bool SavedOffersDialog::searchFinished() const
{
    return m_model->finished();
}

std::optional<OfferKey> SavedOffersDialog::selected() const
{
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid())
        return std::nullopt;
    return m_model->key(current.row());
}

void SavedOffersDialog::openChosen()
{
    m_chosen = selected();
    if (m_chosen)
        accept();
}
