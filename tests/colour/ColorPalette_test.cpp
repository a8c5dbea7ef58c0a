#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <tuple>

#include "app/frmGeral.h"
#include "colour/ColorPalette.h"

namespace {

class Mixer : public ::testing::Test
{
protected:
    void SetUp() override { f.mnuScroolColor_Click(); }
    void mix(int red, int green, int blue)
    {
        p.RGBValue[1]->setValue(red);
        p.RGBValue[2]->setValue(green);
        p.RGBValue[3]->setValue(blue);
    }
    QString box(int i) const { return p.RGBNumber[i]->text(); }
    // The three boxes and the hex text; the three channel swatches and the mixed one.
    QStringList texts() const { return {box(1), box(2), box(3), p.txtValue->text()}; }
    QList<ColorValue> swatches() const
    {
        return {p.RedValue->BackColor(), p.GreenValue->BackColor(), p.BlueValue->BackColor(),
                p.picColor->BackColor()};
    }

    frmGeral &f = Forms::get<frmGeral>();
    ColorPalette &p = Forms::get<ColorPalette>();
};

} // namespace

TEST_F(Mixer, OpensAtZeroAndEveryBarChangeRedrawsBoxesSwatchesAndHexTextAndSelectHandsItOver)
{
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(p.RGBValue[i]->maximum(), 255);
    EXPECT_EQ(texts(), QStringList({"0", "0", "0", "0"}));
    EXPECT_EQ(swatches(), QList<ColorValue>({vbBlack, vbBlack, vbBlack, vbButtonFace}));

    // Select before any change hands over the swatch's first colour, the button face.
    p.cmdSelect->click();
    EXPECT_EQ(f.LeftColor->BackColor(), vbButtonFace);
    mix(255, 128, 0);
    p.cmdSelect->click();
    EXPECT_EQ(f.LeftColor->BackColor(), RGB(255, 128, 0));
    EXPECT_TRUE(p.isVisible());
    EXPECT_EQ(texts(), QStringList({"255", "128", "0", "0080FF"}));
    EXPECT_EQ(swatches(), QList<ColorValue>({RGB(255, 0, 0), RGB(0, 128, 0), 0, RGB(255, 128, 0)}));
    // Blue first, each part two digits.
    mix(1, 0, 16);
    EXPECT_EQ(p.txtValue->text(), QStringLiteral("100001"));

    // A click on a channel's swatch keeps that channel alone.
    const std::vector<std::tuple<PictureBox *, ColorValue, QString>> swatches = {
        {p.RedValue, RGB(10, 0, 0), "00000A"},
        {p.GreenValue, RGB(0, 20, 0), "001400"},
        {p.BlueValue, RGB(0, 0, 30), "1E0000"}};
    for (const auto &[swatch, kept, hex] : swatches) {
        mix(10, 20, 30);
        QTest::mouseClick(swatch, Qt::LeftButton, {}, QPoint(3, 3));
        EXPECT_EQ(p.picColor->BackColor(), kept);
        EXPECT_EQ(p.txtValue->text(), hex);
    }
    EXPECT_EQ(texts(), QStringList({"0", "0", "30", "1E0000"}));
}

TEST_F(Mixer, BoxTextsOfDigitsMoveTheBarsOnlyChangedBarsRewriteThemAndNonNumbersCountAsEmpty)
{
    // The channel, its bar before, the text typed; the box and the bar after.
    const std::tuple<int, int, const char *, const char *, int> cases[] = {
        {2, 0, "300", "255", 255}, {2, 255, "2555", "255", 255}, {1, 40, "", "0", 0},
        {1, 0, "", "", 0},         {3, 7, "007", "007", 7},      {3, 3, "007", "7", 7}};
    for (const auto &[i, before, typed, shown, after] : cases) {
        SCOPED_TRACE(std::to_string(i) + " '" + typed + "'");
        p.RGBValue[i]->setValue(before);
        p.RGBNumber[i]->setText(QString::fromLatin1(typed));
        EXPECT_EQ(box(i), QString::fromLatin1(shown));
        EXPECT_EQ(p.RGBValue[i]->value(), after);
    }
    EXPECT_EQ(texts(), QStringList({"0", "255", "7", "07FF00"}));

    // Only digits and Backspace are typed. Each key and what the filter lets through.
    const std::vector<std::pair<int, int>> keys = {{8, 8},  {48, 48}, {57, 57}, {47, 0},  {58, 0},
                                                   {45, 0}, {32, 0},  {97, 0},  {0xE9, 0}};
    for (const auto &[key, kept] : keys) {
        int KeyAscii = key;
        p.RGBNumber_KeyPress(2, KeyAscii);
        EXPECT_EQ(KeyAscii, kept) << key;
    }
    // Real keys through the filter.
    QLineEdit *red = p.RGBNumber[1];
    red->clear();
    QTest::keyClicks(red, QStringLiteral("1a-2 .5"));
    EXPECT_EQ(red->text(), QStringLiteral("125"));
    QTest::keyClick(red, Qt::Key_Backspace);
    EXPECT_EQ(red->text(), QStringLiteral("12"));
    EXPECT_EQ(p.RGBValue[1]->value(), 12);

    // Pasted text: what is not a whole number empties the channel, a long number is 255.
    for (const char *pasted : {"-5", "12abc", " 7", "1e3"}) {
        p.RGBValue[1]->setValue(40);
        red->selectAll();
        red->insert(QString::fromLatin1(pasted));
        EXPECT_EQ(p.RGBValue[1]->value(), 0) << pasted;
        EXPECT_EQ(red->text(), QStringLiteral("0")) << pasted;
    }
    p.RGBValue[1]->setValue(0);
    red->insert(QStringLiteral("-12"));
    EXPECT_EQ(red->text(), QString()); // the bar did not move, so nothing wrote it back
    red->setText(QStringLiteral("000000000000000000000000000000012"));
    EXPECT_EQ(p.RGBValue[1]->value(), 12);
    red->setText(QStringLiteral("99999999999999999999999999"));
    EXPECT_EQ(red->text(), QStringLiteral("255"));
    EXPECT_EQ(p.RGBValue[1]->value(), 255);
}
