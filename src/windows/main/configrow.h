#pragma once

#include <QString>

class GridCombo;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// One configuration row of the main window: category button, item picker, picture (and its print
// copy), description and amount, laid out inside the configuration frame at the row's position.
// The row only holds its controls; the main window reacts to them.
class ConfigRow final
{
public:
    static constexpr int Count = 17;

    ConfigRow(int index, QWidget *frame);

    int index() const { return m_index; }
    // The category as statements name it: the row index in decimal digits ("0" to "16").
    QString category() const { return QString::number(m_index); }
    static QString caption(int index);

    QPushButton *Command1 = nullptr;
    GridCombo *GridCombo1 = nullptr;
    QLabel *Image1 = nullptr; // null on the last row, which has no picture
    QLabel *Image2 = nullptr; // print copy; null where the picture needs none
    QLabel *Label1 = nullptr;
    QLineEdit *text1 = nullptr;

private:
    int m_index;
};
