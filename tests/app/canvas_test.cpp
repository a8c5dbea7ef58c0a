#include <gtest/gtest.h>

#include "app/frmGeral.h"

namespace {

// The grid pixel at the middle of cell (c, r).
QRgb cellPixel(frmGeral &f, int c, int r)
{
    return f.grid->surface().pixel(c * 10 + 4, r * 10 + 4);
}

} // namespace

TEST(Canvas, PaintCellSetsThePlainPixelLeavesTheBarsThatToggleAndNothingOutsideTheGrid)
{
    frmGeral &f = Forms::get<frmGeral>();
    f.PaintCell(150 * 3, 150 * 4, RGB(255, 0, 0));
    EXPECT_EQ(f.Ikon->Point(3, 4), int32_t(RGB(255, 0, 0)));
    // The bars at the cell's top and left edges and the band before the next cell survive.
    EXPECT_EQ(f.grid->surface().pixel(30, 44), qRgb(0, 0, 0));
    EXPECT_EQ(f.grid->surface().pixel(34, 40), qRgb(0, 0, 0));
    EXPECT_EQ(f.grid->surface().pixel(39, 44), toQRgb(vbWindowBackground));
    // The painted square is 120 twips: pixels 1 to 8 of the cell.
    EXPECT_EQ(f.grid->surface().pixel(31, 41), qRgb(255, 0, 0));
    EXPECT_EQ(f.grid->surface().pixel(38, 48), qRgb(255, 0, 0));

    // A system colour reads back as plain RGB.
    f.PaintCell(0, 0, vbWindowBackground);
    EXPECT_EQ(f.Ikon->Point(0, 0), int32_t(resolveColor(vbWindowBackground)));

    // The bars' toggle clears and repaints.
    f.Ikon->PSet(2, 2, RGB(255, 0, 0));
    f.RedrawGrid();
    const QRgb background = toQRgb(vbWindowBackground);

    f.mnuGrade_Click();
    EXPECT_EQ(f.grid->surface().pixel(20, 24), background); // no bar any more
    EXPECT_EQ(f.grid->surface().pixel(29, 24), background); // the band between squares
    EXPECT_EQ(cellPixel(f, 2, 2), qRgb(255, 0, 0));

    f.mnuGrade_Click();
    EXPECT_EQ(f.grid->surface().pixel(20, 24), qRgb(0, 0, 0));
    EXPECT_EQ(f.grid->surface().pixel(319, 0), qRgb(0, 0, 0));
    EXPECT_NE(f.grid->surface().pixel(320, 0), qRgb(0, 0, 0)); // no line at 4800 twips

    // Cells outside the grid change nothing.
    const QImage before = f.Ikon->Image();
    const QImage shown = f.grid->Image();
    ASSERT_EQ(f.grid->surfaceHeight(), 322); // a pixel row below the cells
    f.PaintCell(-150, 0, RGB(1, 2, 3));
    f.PaintCell(150 * 32, 150 * 5, RGB(1, 2, 3));
    f.PaintCell(32767, 32767, RGB(1, 2, 3));
    // A pencil on the grid's bottom edge is over row 32.
    f.RightColor->setBackColor(RGB(1, 2, 3));
    f.picModeSel_Click(0);
    f.grid_MouseMove(0, 0, 750, 4815);
    f.grid_MouseDown(2, 0, 750, 4815);
    f.grid_MouseMove(2, 0, 760, 4815);
    EXPECT_EQ(f.CurRow, 32);
    EXPECT_EQ(f.Ikon->Image(), before);
    EXPECT_EQ(f.grid->Image(), shown);
}

TEST(Canvas, PixelsThatAreNotOpaqueShowOverTheCheckerboardAndAgreeWithTheIcon)
{
    frmGeral &f = Forms::get<frmGeral>();
    // Every alpha from clear to opaque, in changing colours.
    QImage picture(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            picture.setPixel(x, y, qRgba(8 * x, 255 - 8 * y, 100, (x + 32 * y) % 256));
    // Opaque black (0) cells too, on and off the diagonal.
    for (int i = 0; i < 32; i += 5)
        picture.setPixel(i, (i * 3) % 32, qRgb(0, 0, 0));
    f.Ikon->setPicture(picture);
    f.PaintCell(150 * 2, 0, vbTransparent);
    const QImage model = f.Ikon->Image();
    f.RedrawGrid();
    EXPECT_EQ(f.Ikon->Image(), model);
    f.Ikon->show();
    f.grid->show();
    const QImage icon = f.Ikon->grab().toImage();
    const QImage grid = f.grid->grab().toImage();
    const QRgb back = toQRgb(vbWindowBackground);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb p = f.Ikon->Image().pixel(x, y);
            // The icon shows the pixel over its back colour, each quarter of its cell over its
            // own grey, the clear ones alike.
            ASSERT_EQ(icon.pixel(x + 1, y + 1), composedPixel(p, back)) << x << "," << y;
            const int left = 10 * x + 1, top = 10 * y + 1;
            ASSERT_EQ(grid.pixel(left, top), composedPixel(p, CheckerLight)) << x << "," << y;
            ASSERT_EQ(grid.pixel(left + 7, top), composedPixel(p, CheckerDark)) << x << "," << y;
            ASSERT_EQ(grid.pixel(left + 3, top + 4), composedPixel(p, CheckerDark))
                << x << "," << y;
            ASSERT_EQ(grid.pixel(left + 4, top + 7), composedPixel(p, CheckerLight));
        }
    EXPECT_EQ(f.Ikon->Image().pixel(2, 0), back & 0xFFFFFFu);
    // The bars stay.
    EXPECT_EQ(grid.pixel(20, 5), qRgb(0, 0, 0));
}
