#include <gtest/gtest.h>

#include <QToolButton>

#include "app/frmGeral.h"
#include "support/helpers.h"
#include "toolwindow/frmToolBar.h"
#include "toolwindow/shift.h"

TEST(Shift, MovesOnePixelAndWhitensTheOpenedEdge)
{
    frmGeral &f = Forms::get<frmGeral>();
    f.RightColor->setBackColor(RGB(0, 0, 0));
    f.mnuLimpar_Click();
    // Off the diagonal, so that swapped coordinates would show.
    f.Ikon->PSet(0, 4, RGB(255, 0, 0));
    f.Ikon->PSet(31, 9, RGB(0, 255, 0));
    f.mnuMove_Click();
    Forms::get<frmToolBar>().cmdShift[7]->click(); // bottom right, as the button does
    EXPECT_EQ(f.Ikon->Point(1, 5), int32_t(RGB(255, 0, 0)));
    EXPECT_EQ(countPixels(f.Ikon, vbWhite), 63);
    EXPECT_EQ(f.grid->surface().pixel(15, 55), qRgb(255, 0, 0));

    f.mnuLimpar_Click();
    ShiftLeft(f.Ikon);
    EXPECT_EQ(countPixels(f.Ikon, vbWhite), 32);
    f.Ikon->PSet(31, 7, RGB(0, 0, 255));
    ShiftRight(f.Ikon);
    ShiftLeft(f.Ikon); // column 31 does not come back
    EXPECT_EQ(countPixels(f.Ikon, RGB(0, 0, 255)), 0);
    EXPECT_EQ(countPixels(f.Ikon, vbWhite), 32);

    for (int i = 0; i < 32; ++i)
        Forms::get<frmToolBar>().cmdShift_Click(2);
    EXPECT_EQ(countPixels(f.Ikon, vbWhite), 1024);
}
