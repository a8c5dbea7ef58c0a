#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/frmGeral.h"
#include "colour/frmDesenho.h"
#include "support/helpers.h"
#include "toolkit/twips.h"

namespace {

bool sameBand(const RampBand &band, int y1, int y2, ColorValue color)
{
    return band.y1 == y1 && band.y2 == y2 && band.color == color;
}

// The pixel of the box's surface at row y, first column.
ColorValue row(const PictureBox *box, int y)
{
    return fromQRgb(box->surface().pixel(0, y));
}

} // namespace

TEST(ColorRamp, BandsStepByAHalfToEvenSixtyThirdFromEitherEdge)
{
    // The channel boxes: step 2, the last 9 twips left to the background.
    std::vector<RampBand> b = rampBands(135, 0, 0, 255, true);
    ASSERT_EQ(b.size(), 63u);
    EXPECT_TRUE(sameBand(b[0], 0, 2, RGB(0, 0, 255)));
    EXPECT_TRUE(sameBand(b[1], 2, 4, RGB(0, 0, 251)));
    EXPECT_TRUE(sameBand(b[62], 124, 126, RGB(0, 0, 7)));
    b = rampBands(135, 255, 0, 0, false);
    EXPECT_TRUE(sameBand(b[0], 133, 135, RGB(255, 0, 0)));
    EXPECT_TRUE(sameBand(b[62], 9, 11, RGB(7, 0, 0)));
    // Ikon: step 9, the far bands past the edge.
    b = rampBands(540, 0, 0, 0, true);
    EXPECT_TRUE(sameBand(b[62], 558, 567, vbBlack));
    b = rampBands(540, 3, 4, 5, false);
    EXPECT_TRUE(sameBand(b[0], 531, 540, RGB(3, 4, 5)));
    EXPECT_TRUE(sameBand(b[1], 522, 531, RGB(0, 0, 1)));
    EXPECT_TRUE(sameBand(b[2], 513, 522, vbBlack));
    EXPECT_TRUE(sameBand(b[62], -27, -18, vbBlack));
}

TEST(ColorRamp, PaintingClipsAndLeavesTheFarStripToTheBackground)
{
    PictureBox box;
    box.resize(25, 69); // 1035 twips: step 16, bands to 1008
    box.setBackColor(RGB(1, 2, 3));
    PaintColorRamp(&box, 0, 200, 0, true);
    EXPECT_EQ(row(&box, 0), RGB(0, 200, 0));
    EXPECT_EQ(row(&box, 10), RGB(0, 164, 0)); // 150 twips: band 9
    EXPECT_EQ(row(&box, 68), RGB(1, 2, 3));
    box.Cls();
    PaintColorRamp(&box, 0, 200, 0, false);
    EXPECT_EQ(row(&box, 68), RGB(0, 200, 0));
    EXPECT_EQ(row(&box, 1), RGB(1, 2, 3)); // the last band starts at 27 twips
    EXPECT_EQ(row(&box, 2), vbBlack);
    EXPECT_EQ(box.surface().width(), 25);
    EXPECT_EQ(fromQRgb(box.surface().pixel(24, 68)), RGB(0, 200, 0));
}

namespace {

class Composite : public ::testing::Test
{
protected:
    void SetUp() override { clearSettingsStore(); }

    frmGeral &f = Forms::get<frmGeral>();
    frmDesenho &d = Forms::get<frmDesenho>();
};

} // namespace

TEST_F(Composite, OpensWithTheDefaultBlueRampAndTheSlidersBuildTheirs)
{
    f.mnuGradiende_Click();
    ASSERT_TRUE(d.isVisible());
    EXPECT_EQ(d.Caption(), QStringLiteral("Orvel Pixmint"));
    EXPECT_EQ(QSizeF(Width(&d), Height(&d)), QSizeF(2490, 3645));
    // The ramps' steps follow from these.
    EXPECT_EQ(QSizeF(Height(d.Picture1), Width(d.Ikon)), QSizeF(135, 540));
    EXPECT_EQ(QStringList({d.Label5->text(), d.Label3->text(), d.cmdSelect->text()}),
              QStringList({"0,0,255", "255", "Background"}));
    EXPECT_EQ(row(d.Picture3, 0), RGB(0, 0, 255));
    EXPECT_EQ(row(d.Picture1, 0), vbBlack);
    EXPECT_EQ(row(d.Ikon, 1), RGB(0, 0, 251)); // 15 twips: band 1

    d.Slider2->setValue(128);
    EXPECT_EQ(d.Label2->text(), QStringLiteral("128"));
    EXPECT_EQ(d.Label5->text(), QStringLiteral("0, 128, 255"));
    EXPECT_EQ(row(d.Picture2, 0), RGB(0, 128, 0));
    EXPECT_EQ(row(d.Picture1, 0), vbBlack);
    EXPECT_EQ(row(d.Ikon, 0), RGB(0, 128, 255));
    EXPECT_EQ(row(d.Ikon, 33), RGB(0, 0, 255 - 4 * 55)); // 495 twips: band 55

    // From the bottom: the brightest band at the bottom edge, in every box.
    d.Slider1->setValue(40);
    d.Check1->click();
    EXPECT_EQ(row(d.Ikon, 33), RGB(40 - 20, 128 - 20, 255 - 20)); // band 5
    EXPECT_EQ(row(d.Ikon, 0), RGB(0, 0, 15));                     // band 60
    EXPECT_EQ(row(d.Picture3, 6), RGB(0, 0, 255 - 4 * 22));       // 90 twips: band 22
    EXPECT_EQ(row(d.Picture1, 6), vbBlack);
    EXPECT_EQ(d.Label5->text(), QStringLiteral("40, 128, 255"));
    d.Check1->setCheckState(Qt::PartiallyChecked); // greyed counts as from the top
    EXPECT_EQ(row(d.Ikon, 0), RGB(40, 128, 255));
}

TEST_F(Composite, BackgroundLaysTheRampOverTheIconAndTheGridAndUncoveringRedrawsTheBlueOne)
{
    f.mnuGradiende_Click();
    d.cmdSelect->click();
    EXPECT_EQ(f.history.stack().count(), 1);
    EXPECT_EQ(f.Ikon->Point(0, 0), int32_t(RGB(0, 0, 255)));
    EXPECT_EQ(f.Ikon->Point(31, 31), int32_t(RGB(0, 0, 51))); // 465 twips: band 51
    EXPECT_EQ(fromQRgb(f.grid->surface().pixel(31 * 10 + 4, 31 * 10 + 4)), RGB(0, 0, 51));

    d.Slider1->setValue(255);
    d.Check1->click();
    d.cmdSelect->click();
    EXPECT_EQ(f.Ikon->Point(0, 31), int32_t(RGB(255 - 4 * 8, 0, 255 - 4 * 8)));

    // Uncovered, only the fixed blue ramp is redrawn; the sliders keep their places.
    d.Slider1->setValue(200);
    d.Slider3->setValue(10);
    d.Check1->setChecked(false); // from the bottom
    d.Hide();
    d.Show();
    EXPECT_EQ(d.Slider1->value(), 200);
    EXPECT_FALSE(d.Check1->isChecked());
    EXPECT_EQ(row(d.Picture1, 0), vbBlack);
    EXPECT_EQ(row(d.Picture3, 0), RGB(0, 0, 255));
    EXPECT_EQ(row(d.Ikon, 0), RGB(0, 0, 255));
    EXPECT_EQ(row(d.Ikon, 1), RGB(0, 0, 251));
}
