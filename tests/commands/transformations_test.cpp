#include <gtest/gtest.h>

#include "app/frmGeral.h"

constexpr ColorValue Blue = RGB(0, 0, 255);
constexpr QRgb Soft = qRgba(10, 20, 30, 99);

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

    // Each command moves every pixel where the user sees it, on the grid too, and undoes itself.
    struct Case
    {
        void (frmGeral::*command)();
        QPoint blue, soft, text;
    };
    const Case cases[] = {{&frmGeral::mnuRotate13_Click, {10, 3}, {1, 7}, {0, 0}},
                          {&frmGeral::mnuHorizontal_Click, {28, 10}, {24, 1}, {31, 0}},
                          {&frmGeral::mnuVertical_Click, {3, 21}, {7, 30}, {0, 31}}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.blue.x());
        (f.*c.command)();
        EXPECT_EQ(f.Ikon->Point(c.blue.x(), c.blue.y()), int32_t(Blue));
        EXPECT_EQ(f.grid->surface().pixel(c.blue * 10 + QPoint(5, 5)), qRgb(0, 0, 255));
        EXPECT_EQ(f.Ikon->Image().pixel(c.soft), Soft);
        EXPECT_EQ(f.Ikon->Point(c.text.x(), c.text.y()), int32_t(resolveColor(vbWindowText)));
        (f.*c.command)();
        EXPECT_EQ(f.Ikon->Image(), start);
    }
}
