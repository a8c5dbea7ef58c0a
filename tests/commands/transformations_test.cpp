#include <gtest/gtest.h>

#include "app/frmGeral.h"

namespace {

constexpr ColorValue Blue = RGB(0, 0, 255);
constexpr QRgb Soft = qRgba(10, 20, 30, 99);

} // namespace

TEST(Transformations, MirrorsMoveADotAndUndoThemselves)
{
    frmGeral &f = Forms::get<frmGeral>();
    f.mnuLimpar_Click();
    f.Ikon->PSet(3, 10, Blue);
    f.Ikon->PSet(0, 0, vbWindowText); // a system colour comes back as plain RGB
    // A partly transparent pixel moves with its alpha.
    QImage soft = f.Ikon->Image();
    soft.setPixel(7, 1, Soft);
    f.Ikon->setPicture(soft);
    const QImage start = f.Ikon->Image();

    f.mnuRotate13_Click();
    EXPECT_EQ(f.Ikon->Point(10, 3), int32_t(Blue));
    EXPECT_EQ(f.Ikon->Image().pixel(1, 7), Soft);
    EXPECT_EQ(f.Ikon->Point(0, 0), int32_t(resolveColor(vbWindowText)));
    f.mnuRotate13_Click();
    EXPECT_EQ(f.Ikon->Image(), start);

    f.mnuHorizontal_Click();
    EXPECT_EQ(f.Ikon->Point(28, 10), int32_t(Blue));
    EXPECT_EQ(f.Ikon->Image().pixel(24, 1), Soft);
    EXPECT_EQ(f.Ikon->Point(31, 0), int32_t(resolveColor(vbWindowText)));
    f.mnuHorizontal_Click();
    EXPECT_EQ(f.Ikon->Image(), start);

    f.mnuVertical_Click();
    EXPECT_EQ(f.Ikon->Point(3, 21), int32_t(Blue));
    EXPECT_EQ(f.Ikon->Image().pixel(7, 30), Soft);
    EXPECT_EQ(f.grid->surface().pixel(35, 215), qRgb(0, 0, 255));
    f.mnuVertical_Click();
    EXPECT_EQ(f.Ikon->Image(), start);
}
