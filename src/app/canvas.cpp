#include "app/frmGeral.h"

#include <QLabel>
#include <QLineEdit>

#include "app/toolkit/twips.h"
#include "formats/Color.h"

void frmGeral::paintSquare(int16_t x, int16_t y, ColorValue color)
{
    grid->LineBox(x + CellInset, y + CellInset, x + CellInset + SquareTwips,
                  y + CellInset + SquareTwips, color, true);
}

void frmGeral::PaintCell(int16_t x, int16_t y, ColorValue color)
{
    // The grid's last pixel row lies below the cells: a cell beyond them shows nothing.
    if (x < 0 || y < 0 || x >= GridTwips || y >= GridTwips)
        return;
    const IconChange change(*this);
    paintSquare(x, y, color);
    Ikon->PSet(cellOfWhole(x), cellOfWhole(y), color);
}

void frmGeral::RedrawGrid()
{
    for (int16_t row = 0; row < CellCount; ++row)
        for (int16_t col = 0; col < CellCount; ++col) {
            // A shrunken icon has no colour for the cells beyond it.
            const int32_t color = Ikon->Point(col, row);
            if (color >= 0)
                paintSquare(int16_t(CellTwips * col), int16_t(CellTwips * row), ColorValue(color));
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
