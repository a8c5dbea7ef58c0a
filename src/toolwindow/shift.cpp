#include "toolwindow/shift.h"

#include "face/cells.h"
#include "toolkit/PictureBox.h"

namespace {

// Pixel (x, y) takes the one at (x + dx, y + dy), transparency included; what comes in from
// beyond the icon, or from beyond a shrunken one, is the white of an opened edge.
void shift(PictureBox *ikon, int dx, int dy)
{
    ikon->movePixels(
        CellCount, [dx, dy](int x, int y) { return QPoint(x + dx, y + dy); }, vbWhite);
}

} // namespace

void ShiftUp(PictureBox *ikon)
{
    shift(ikon, 0, 1);
}

void ShiftDown(PictureBox *ikon)
{
    shift(ikon, 0, -1);
}

void ShiftRight(PictureBox *ikon)
{
    shift(ikon, -1, 0);
}

void ShiftLeft(PictureBox *ikon)
{
    shift(ikon, 1, 0);
}
