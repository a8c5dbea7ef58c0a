#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

#include "formats/Color.h"

// The enlarged grid: 32 x 32 cells of 150 twips, one per pixel of the icon. A cell shows its
// pixel as a 120-twip square 10 twips in from its top-left corner; the band between squares
// stays free for the bars.
inline constexpr int CellTwips = 150;
inline constexpr int CellCount = 32;
inline constexpr int LastCell = CellCount - 1;
inline constexpr int GridTwips = CellCount * CellTwips;
inline constexpr int CellInset = 10;
inline constexpr int SquareTwips = 120;
// A pixel that is not opaque shows composed over a checkerboard of half-square quarters: light
// at the top left and bottom right, darker at the others.
inline constexpr QRgb CheckerLight = qRgb(230, 230, 230);
inline constexpr QRgb CheckerDark = qRgb(153, 153, 153);

// The drawing modes, kept in the 16-bit field `DrawMode`. The first nine have a mode button
// each, in this order; Paste is entered through the Paste command.
enum class Mode : int16_t {
    Pencil,
    Line,
    Rectangle,
    FilledRectangle,
    Circle,
    FilledCircle,
    Text,
    ColorFill,
    Capture,
    Paste,
};
inline constexpr int ModeButtonCount = 9;

// The sizes in twips of the actual-size icon's box and of the grid's box: the standard canvas
// shows all 32 x 32 cells, the small one that the resize tool leaves shows 18 x 18.
struct CanvasSize
{
    double ikon;
    double gridWidth;
    double gridHeight;
    bool operator==(const CanvasSize &) const = default;
};
// A pixel more than the cells each way: the grid's last column and row lie beyond them.
inline constexpr CanvasSize StandardCanvas{510, 4815, 4832};
inline constexpr CanvasSize SmallCanvas{340, 2715, 2700};

// The cell of a grid position in whole twips: truncation toward zero.
constexpr int16_t cellOfWhole(int16_t twips)
{
    return int16_t(twips / CellTwips);
}
// The cell of a grid position in twips: round half to even, then truncate toward zero.
int16_t cellOf(double twips);
// The coordinates label for a cell: "X: 05  Y: 31".
QString coordinatesText(int16_t col, int16_t row);
// The pencil's constrained cell: with a modifier held the stroke keeps the pressed column when
// it moves at least as far vertically as horizontally, otherwise the pressed row.
void constrainPencil(int Shift, double X, double Y, int16_t DownX, int16_t DownY, int16_t &col,
                     int16_t &row);
// The circle band's radius in twips through the pointer, saturated to 16 bits.
int16_t bandRadius(int16_t DownX, int16_t DownY, double X, double Y);

// The copied region in cells, inclusive, of a capture rectangle in grid twips: each value rounded
// half to even before the division, the right and bottom edges summed before rounding.
struct CellRegion
{
    int16_t x1, y1, x2, y2;
};
CellRegion captureRegion(double left, double top, double width, double height);

// The colours of the default palette's columns, from black to white: 361 in all.
std::vector<ColorValue> spectrumColumns();
// Where the settings file lives: the per-user config folder.
QString settingsFilePath();
// The 24 lines of the settings file with the given style number.
QByteArray settingsFileContent(const QString &style);
