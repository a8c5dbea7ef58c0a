#include <gtest/gtest.h>

#include "app/frmGeral.h"
#include "colour/ColorPalette.h"
#include "colour/frmDesenho.h"
#include "colour/frmVeCor1.h"
#include "toolkit/twips.h"

TEST(Colours, WideStripIsFittedAndCentredNarrowStripKeepsItsPlaceAndColourWindowsOpen)
{
    frmGeral &f = Forms::get<frmGeral>();
    f.GradiendColor();
    EXPECT_EQ(f.picDefaltColor->surfaceWidth(), 360);
    EXPECT_EQ(f.picDefaltColor->Point(0, 15), int32_t(vbBlack));
    EXPECT_EQ(f.picDefaltColor->Point(103 * 15, 15), int32_t(RGB(255, 255, 0)));
    EXPECT_EQ(f.picDefaltColor->Point(359 * 15, 15), int32_t(RGB(255, 250, 255)));
    const int centred = vbRound(ScaleWidth(f.centralWidget()) - Width(f.picDefaltColor)) / 2;
    EXPECT_EQ(Left(f.picDefaltColor), pixelsToTwips(twipsToPixels(double(centred))));

    setWidth(f.picDefaltColor, 1500); // 98 pixels inside its frame
    f.picDefaltColor->Cls();
    const double left = Left(f.picDefaltColor);
    f.GradiendColor();
    EXPECT_EQ(Width(f.picDefaltColor), 1500);
    EXPECT_EQ(Left(f.picDefaltColor), left);
    EXPECT_EQ(f.picDefaltColor->Point(97 * 15, 15), int32_t(spectrumColumns()[97]));

    // The colour windows open from the menus.
    f.mnuGradiende_Click();
    f.mnuProcCor_Click();
    f.mnuScroolColor_Click();
    EXPECT_TRUE(Forms::get<frmDesenho>().isVisible());
    EXPECT_TRUE(Forms::get<frmVeCor1>().isVisible());
    EXPECT_TRUE(Forms::get<ColorPalette>().isVisible());
}
