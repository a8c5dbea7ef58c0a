#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/frmGeral.h"
#include "colour/frmDesenho.h"

namespace {

// The pixel of the box's surface at row y, first column.
ColorValue row(const PictureBox *box, int y)
{
    return fromQRgb(box->surface().pixel(0, y));
}

class Composite : public ::testing::Test
{
protected:
    frmGeral &f = Forms::get<frmGeral>();
    frmDesenho &d = Forms::get<frmDesenho>();
};

} // namespace

TEST_F(Composite, OpensWithTheDefaultBlueRampAndTheSlidersBuildTheirs)
{
    f.mnuGradiende_Click();
    EXPECT_EQ(QStringList({d.Label5->text(), d.Label3->text()}), QStringList({"0,0,255", "255"}));
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
    EXPECT_EQ(row(d.Ikon, 1), RGB(0, 0, 251));
}
