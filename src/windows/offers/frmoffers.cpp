#include "frmoffers.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QTreeView>
#include <QVBoxLayout>

frmoffers::frmoffers(OfferRepository *offers, QWidget *parent)
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

    auto *buttons = new QDialogButtonBox(this);
    m_open = buttons->addButton(QStringLiteral("&Open"), QDialogButtonBox::AcceptRole);
    m_open->setObjectName(QStringLiteral("cmdopen"));
    m_open->setDefault(true); // Enter in the search box opens the selected line
    QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdcancel"));
    layout->addWidget(buttons);

    connect(m_search, &QLineEdit::textChanged, this, &frmoffers::txtsearch_Change);
    connect(m_open, &QPushButton::clicked, this, &frmoffers::cmdopen_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTreeView::doubleClicked, this, &frmoffers::cmdopen_Click);
    // Enter in the list opens as well.
    connect(m_list, &QTreeView::activated, this, &frmoffers::cmdopen_Click);
    txtsearch_Change();
    // Said here as well, before anything is opened and changed: such a file keeps no new revision.
    m_readOnly = m_offers->writeProblem();
    if (!m_readOnly.isEmpty()) {
        m_problem->setText(m_readOnly);
        m_problem->show();
    }
    m_search->setFocus();
}

frmoffers::~frmoffers()
{
    m_list->setModel(nullptr);
}

void frmoffers::txtsearch_Change()
{
    std::unique_ptr<RecordSet> rows = m_offers->list(m_search->text().trimmed());
    m_problem->setVisible(!rows || !m_readOnly.isEmpty());
    if (!rows) {
        m_problem->setText(m_offers->lastError());
        return;
    }
    m_problem->setText(m_readOnly);
    // The view lets go of the old list before it is freed.
    m_list->setModel(rows->model());
    m_rows = std::move(rows);
    if (m_rows->model()->rowCount() > 0)
        m_list->setCurrentIndex(m_rows->model()->index(0, 0));
    m_open->setEnabled(m_rows->model()->rowCount() > 0);
}

int frmoffers::shownCount() const
{
    return m_rows ? m_rows->model()->rowCount() : 0;
}

std::optional<OfferKey> frmoffers::selected() const
{
    if (!m_rows)
        return std::nullopt;
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid())
        return std::nullopt;
    const QAbstractItemModel *model = m_rows->model();
    return OfferKey { model->index(current.row(), 0).data().toInt(),
        model->index(current.row(), 1).data().toInt() };
}

void frmoffers::cmdopen_Click()
{
    m_chosen = selected();
    if (m_chosen)
        accept();
}
