#pragma once

// What the windows show of texts a person typed: titles built from them, and the boxes they type
// into.

#include <QString>

class QLineEdit;
class QWidget;

namespace WindowText
{

// Sets a window title that shows exactly the given text. Qt reads "[*]" in a title as the place of
// its unsaved-changes mark and drops it, so a shop called "PCs [*] More" would lose it.
void setTitle(QWidget *window, const QString &title);
// The title as the title bar shows it (what setTitle was given).
QString title(const QWidget *window);

// How much each kind of box takes from a person, in characters. Generous for what the boxes hold,
// far below the 32767 a line edit takes by default.
enum Length : int {
    ShopLength = 100, // shop name and telephone
    ClientLength = 100, // client name and telephone
    PersonLength = 60, // a person's name
    DescriptionLength = 255, // an item's description
    IdLength = 50, // an item's id
    AmountLength = 40, // a money amount or price
    CountLength = 10, // a number of installments
    KeyLength = 10, // a record number typed to find or link a record
};

// Limits what a person can type, paste or drop into the box to maxLength characters. When input
// goes beyond it, what fits is kept and a short notice under the box says the rest was left out,
// instead of cutting silently. Texts the program puts in with setText are never cut.
void limitLength(QLineEdit *box, int maxLength);
// The limit limitLength gave the box; 0 when it has none.
int lengthLimit(const QLineEdit *box);
// Shows the notice of a box whose input was cut (what limitLength shows).
void tellCut(QLineEdit *box, int maxLength);

} // namespace WindowText
