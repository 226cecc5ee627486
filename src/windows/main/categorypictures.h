#pragma once

#include <QPixmap>

// The small category pictures of the configuration rows (rows 0 to 15; row 16 has none), drawn
// in code. A print copy is the same drawing on white where the screen picture has the grey of the
// window, so it sits cleanly on paper.
namespace CategoryPictures
{

constexpr int Count = 16;
bool hasPicture(int row);
// Rows whose screen picture carries the window's grey background and so has a white print copy.
bool hasPrintCopy(int row);
QPixmap picture(int row, bool printCopy = false);

} // namespace CategoryPictures
