#include "app/frmGeral.h"

#include "formats/Color.h"

int16_t cellOf(double twips)
{
    return int16_t(toInt16(twips) / 150);
}

void frmGeral::PaintCell(int16_t x, int16_t y, ColorValue color)
{
    // The grid's last pixel row lies below the cells: a cell beyond them shows nothing.
    if (x < 0 || y < 0 || x >= 32 * 150 || y >= 32 * 150)
        return;
    grid->LineBox(x + 10, y + 10, x + 130, y + 130, color, true);
    Ikon->PSet(x / 150, y / 150, color);
}

void frmGeral::RedrawGrid()
{
    for (int16_t row = 0; row < 32; ++row)
        for (int16_t col = 0; col < 32; ++col) {
            // A shrunken icon has no colour for the cells beyond it.
            const int32_t color = Ikon->Point(col, row);
            if (color >= 0)
                PaintCell(int16_t(150 * col), int16_t(150 * row), ColorValue(color));
        }
}

void frmGeral::mnuGrade_Click()
{
    if (mnuGrade->text() == QLatin1String("With Bars")) {
        mnuGrade->setText(QStringLiteral("Without Bars"));
        for (int i = 0; i < 32; ++i) {
            grid->Line(0, 150 * i, 4799, 150 * i, vbBlack);
            grid->Line(150 * i, 0, 150 * i, 4799, vbBlack);
        }
    } else {
        mnuGrade->setText(QStringLiteral("With Bars"));
        grid->Cls();
        RedrawGrid();
    }
}

void frmGeral::fillWithRightColor()
{
    Ikon->FillColor = RightColor->BackColor();
    Ikon->LineBox(0, 0, 31, 31, Ikon->FillColor, true);
    RedrawGrid();
}
