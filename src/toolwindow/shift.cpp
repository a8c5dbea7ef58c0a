#include "toolwindow/shift.h"

#include "app/cells.h"
#include "app/toolkit/PictureBox.h"

namespace {

// A pixel outside a shrunken icon comes in as the white of an opened edge.
ColorValue at(const PictureBox *ikon, int x, int y)
{
    const int32_t c = ikon->Point(x, y);
    return c < 0 ? vbWhite : ColorValue(c);
}

} // namespace

// Each walk reads every pixel before it is overwritten.

void ShiftUp(PictureBox *ikon)
{
    for (int x = 0; x < CellCount; ++x) {
        for (int y = 0; y < LastCell; ++y)
            ikon->PSet(x, y, at(ikon, x, y + 1));
        ikon->PSet(x, LastCell, vbWhite);
    }
}

void ShiftDown(PictureBox *ikon)
{
    for (int x = 0; x < CellCount; ++x) {
        for (int y = LastCell; y >= 1; --y)
            ikon->PSet(x, y, at(ikon, x, y - 1));
        ikon->PSet(x, 0, vbWhite);
    }
}

void ShiftRight(PictureBox *ikon)
{
    for (int y = 0; y < CellCount; ++y) {
        for (int x = LastCell; x >= 1; --x)
            ikon->PSet(x, y, at(ikon, x - 1, y));
        ikon->PSet(0, y, vbWhite);
    }
}

void ShiftLeft(PictureBox *ikon)
{
    for (int y = 0; y < CellCount; ++y) {
        for (int x = 0; x < LastCell; ++x)
            ikon->PSet(x, y, at(ikon, x + 1, y));
        ikon->PSet(LastCell, y, vbWhite);
    }
}
