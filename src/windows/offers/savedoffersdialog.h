#pragma once

// SavedOffersDialog: the saved offers, newest first, with where each stands (its status and the day
// it holds until), narrowed as the person types in the search box and by the status filter, from
// which one revision is chosen to be opened in the main window.

#include "store/offerrepository.h"

#include <QDialog>

#include <memory>
#include <optional>

class OfferListModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

class SavedOffersDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SavedOffersDialog)

public:
    explicit SavedOffersDialog(OfferRepository *offers, QWidget *parent = nullptr);
    ~SavedOffersDialog() override;

    // The revision chosen with Open, Enter or a double click; nullopt before that.
    std::optional<OfferKey> chosen() const { return m_chosen; }
    // The revision of the selected line.
    std::optional<OfferKey> selected() const;
    int shownCount() const;
    // Shows each offer's margin as it was kept (a column of its own), for a counter that shows
    // margins; hidden at first.
    void setMarginsShown(bool shown);
    // Whether the search has gone through every saved offer (more follow as the list asks).
    bool searchFinished() const;

    // How many offer numbers one step of a search reads; tests make it small.
    static int s_sliceNumbers;

public Q_SLOTS:
    void searchChanged();
    void openChosen();

private:
    OfferRepository *m_offers;
    OfferListModel *m_model = nullptr;
    std::optional<OfferKey> m_chosen;
    QLineEdit *m_search = nullptr; // txtsearch
    QComboBox *m_status = nullptr; // cbostatus
    QTreeView *m_list = nullptr; // lvoffers
    QPushButton *m_open = nullptr; // cmdopen
    QLabel *m_problem = nullptr; // lblproblem
    QString m_readOnly; // why offers cannot be saved in this file
};
