#pragma once

#include <QString>

class GridCombo;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
struct OfferRow;

// One configuration row of the main window: category button, item picker, picture (and its print
// copy), description and amount, laid out inside the configuration frame at the row's position.
// The row shows what the offer's row holds; the main window reacts to its controls. The controls
// keep the program's names as object names (Command1(i), GridCombo1(i), Image1(i), Image2(i),
// Label1(i), text1(i)).
class ConfigRow final
{
public:
    static constexpr int Count = 17;
    // Set on an amount box whose amount cannot be added; the window's style sheet colours it.
    static constexpr const char *OutOfRangeProperty = "outOfRange";
    // Set on an amount box whose amount is below the item's cost; coloured likewise.
    static constexpr const char *BelowCostProperty = "belowCost";

    ConfigRow(int index, QWidget *frame);

    int index() const { return m_index; }
    // The category as statements name it: the row index in decimal digits ("0" to "16").
    QString category() const { return QString::number(m_index); }

    QPushButton *categoryButton() const { return m_categoryButton; }
    GridCombo *picker() const { return m_picker; }
    QLabel *picture() const { return m_picture; } // null on the last row, which has no picture
    QLabel *printCopy() const { return m_printCopy; } // null where the picture needs none
    QLabel *descriptionLabel() const { return m_description; }
    QLineEdit *amountBox() const { return m_amount; }

    // Shows the offer's row: its id, description and amount. A control already showing its part is
    // left alone, so the text a person is typing keeps its cursor and its undo.
    void show(const OfferRow &row);
    // Marks the amount as one that cannot be added, saying why in its tooltip; the empty text
    // takes the mark away.
    void markAmount(const QString &problem);
    // Marks the amount as below the item's cost, the reason in its tooltip (after a problem of
    // markAmount's) and its accessible description; the empty text takes the mark away.
    void markBelowCost(const QString &reason);
    // Marks the row as holding a part that does not fit the others (imgcompat(i), left of the
    // amount), the reasons in its tooltip and accessible description; the empty text unmarks it.
    void markFit(const QString &reasons);

private:
    int m_index;
    QPushButton *m_categoryButton = nullptr;
    GridCombo *m_picker = nullptr;
    QLabel *m_picture = nullptr;
    QLabel *m_printCopy = nullptr;
    QLabel *m_description = nullptr;
    QLineEdit *m_amount = nullptr;
    QLabel *m_fitMark = nullptr; // made when first needed
    QString m_amountProblem;
    QString m_belowCost;
};
