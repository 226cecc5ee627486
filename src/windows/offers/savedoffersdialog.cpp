#include "savedoffersdialog.h"

#include "offerlistmodel.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

int SavedOffersDialog::s_sliceNumbers = 8000;

SavedOffersDialog::SavedOffersDialog(OfferRepository *offers, QWidget *parent)
    : QDialog(parent)
    , m_offers(offers)
{
    setObjectName(QStringLiteral("frmoffers"));
    setWindowTitle(QStringLiteral("Open Offer"));
    setModal(true);
    resize(780, 420);

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
    auto *statusCaption = new QLabel(QStringLiteral("S&tatus:"), this);
    m_status = new QComboBox(this);
    m_status->setObjectName(QStringLiteral("cbostatus"));
    for (int f = 0; f < OfferStatus::FilterCount; ++f)
        m_status->addItem(OfferStatus::filterText(OfferStatus::Filter(f)), f);
    statusCaption->setBuddy(m_status);
    searchLine->addWidget(statusCaption);
    searchLine->addWidget(m_status);
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

    m_model = new OfferListModel(m_offers, &s_sliceNumbers, this);
    m_list->setModel(m_model);
    setMarginsShown(false);
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
    connect(m_status, &QComboBox::currentIndexChanged, this, &SavedOffersDialog::searchChanged);
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
    const bool read
        = m_model->search(m_search->text().trimmed(), OfferStatus::Filter(m_status->currentData().toInt()));
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

void SavedOffersDialog::setMarginsShown(bool shown)
{
    m_list->setColumnHidden(OfferListModel::Margin, !shown);
}
