#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <functional>

class OfferModel;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QWidget;

// The offer's margins on the counter's screen: Offer > "Show Margins" (mnuoffermargins, Ctrl+M,
// off at the start) shows each row's margin in a column beside its amount (lblmargin(i)) and the
// offer's beside the total (lblmargintotal), updated on every change as the total is. A row sold
// below its cost is marked whether margins are shown or not. What it shows comes from the offer
// model; none of it is ever printed (the paper dress hides it).
class MarginView final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MarginView)

public:
    static constexpr int RowCount = 17;
    // The column's width beside the amounts, in twips, which the window grows by while it shows.
    static constexpr int ColumnTwips = 2100;

    struct Hooks {
        std::function<QLineEdit *(int)> amountBox;
        QLineEdit *totalBox = nullptr;
        // Marks a row sold below its cost with the reason, or takes the mark away (empty reason).
        std::function<void(int, const QString &)> markBelowCost;
        std::function<QString(int)> caption;
        // The column was shown or hidden: the window makes room for it, or gives it back.
        std::function<void(bool)> shown;
    };

    MarginView(OfferModel *model, QMenu *offerMenu, QWidget *frame, Hooks hooks, QObject *parent = nullptr);

    bool isShown() const;
    QAction *action() const { return m_action; }
    // Puts the labels beside the amounts and the total where they are now.
    void place();

private:
    void setShown(bool shown);
    void showRow(int index);
    void showTotal();

    OfferModel *m_model;
    Hooks m_hooks;
    QAction *m_action = nullptr;
    std::array<QLabel *, RowCount> m_rows {};
    QLabel *m_total = nullptr;
};
