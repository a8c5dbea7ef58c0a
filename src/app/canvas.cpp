#include "app/frmGeral.h"

#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "formats/Color.h"
#include "toolkit/twips.h"

void frmGeral::paintSquare(int16_t x, int16_t y, ColorValue color)
{
    grid->LineBox(x + CellInset, y + CellInset, x + CellInset + SquareTwips,
                  y + CellInset + SquareTwips, color, true);
}

void frmGeral::paintChecked(int16_t x, int16_t y, QRgb pixel)
{
    constexpr int half = SquareTwips / 2;
    for (int i = 0; i < 4; ++i) {
        const int left = x + CellInset + i % 2 * half;
        const int top = y + CellInset + i / 2 * half;
        const QRgb under = i == 0 || i == 3 ? CheckerLight : CheckerDark;
        grid->LineBox(left, top, left + half, top + half, fromQRgb(composedPixel(pixel, under)),
                      true);
    }
}

void frmGeral::PaintCell(int16_t x, int16_t y, ColorValue color)
{
    // The grid's last pixel row lies below the cells: a cell beyond them shows nothing.
    if (x < 0 || y < 0 || x >= GridTwips || y >= GridTwips)
        return;
    const IconChange change(*this);
    if (isTransparent(color))
        paintChecked(x, y, toQRgb(color));
    else
        paintSquare(x, y, color);
    Ikon->PSet(cellOfWhole(x), cellOfWhole(y), color);
}

void frmGeral::RedrawGrid()
{
    const QImage &icon = Ikon->surface();
    // A shrunken icon has no colour for the cells beyond it.
    const int rows = std::min(icon.height(), CellCount), cols = std::min(icon.width(), CellCount);
    for (int16_t row = 0; row < rows; ++row)
        for (int16_t col = 0; col < cols; ++col) {
            const QRgb pixel = icon.pixel(col, row);
            const auto x = int16_t(CellTwips * col), y = int16_t(CellTwips * row);
            if (qAlpha(pixel) == 255)
                paintSquare(x, y, fromQRgb(pixel));
            else
                paintChecked(x, y, pixel);
        }
}

void frmGeral::mnuGrade_Click()
{
    if (mnuGrade->text() == QLatin1String("With Bars")) {
        mnuGrade->setText(QStringLiteral("Without Bars"));
        for (int i = 0; i < CellCount; ++i) {
            grid->Line(0, CellTwips * i, GridTwips - 1, CellTwips * i, vbBlack);
            grid->Line(CellTwips * i, 0, CellTwips * i, GridTwips - 1, vbBlack);
        }
    } else {
        mnuGrade->setText(QStringLiteral("With Bars"));
        grid->Cls();
        RedrawGrid();
    }
}

void frmGeral::fillWithRightColor()
{
    changeIcon([this] {
        Ikon->FillColor = RightColor->BackColor();
        Ikon->LineBox(0, 0, LastCell, LastCell, Ikon->FillColor, true);
    });
}

void frmGeral::applyCanvasSize(const CanvasSize &size)
{
    setWidth(Ikon, size.ikon);
    setHeight(Ikon, size.ikon);
    setWidth(grid, size.gridWidth);
    setHeight(grid, size.gridHeight);
    setTop(lblNumero2, Top(grid) + Height(grid));
    setWidth(lblNumero2, Width(grid));
    setHeight(lblNumero1, Height(grid));
}
