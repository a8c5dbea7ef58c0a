#include <gtest/gtest.h>

#include <QTest>
#include <QToolButton>

#include "app/frmGeral.h"
#include "app/toolkit/twips.h"
#include "support/ScriptedSeam.h"
#include "support/helpers.h"
#include "toolwindow/frmToolBar.h"
#include "toolwindow/shift.h"

namespace {

class ToolBar : public ::testing::Test
{
protected:
    void SetUp() override { clearSettingsStore(); }

    void click(int index, int button)
    {
        frmToolBar &t = Forms::get<frmToolBar>();
        t.Color_MouseDown(index, button, 0, 10, 10);
        t.Color_Click(index);
    }

    frmGeral &f = Forms::get<frmGeral>();
};

int count(PictureBox *ikon, ColorValue c)
{
    return countPixels(ikon, c);
}

} // namespace

TEST_F(ToolBar, LeftAndRightClicksSetTheMainColoursAndCopyTheOtherSwatch)
{
    f.mnuCorFixa_Click();
    frmToolBar &t = Forms::get<frmToolBar>();
    EXPECT_TRUE(t.isVisible());
    EXPECT_TRUE(t.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    click(17, 1);
    EXPECT_EQ(f.LeftColor->BackColor(), RGB(255, 0, 0));
    EXPECT_EQ(f.RightColor->BackColor(), ColorValue(0x80000009));
    click(24, 2);
    EXPECT_EQ(f.RightColor->BackColor(), RGB(0, 0, 0));
    EXPECT_EQ(f.LeftColor->BackColor(), RGB(255, 0, 0));
    EXPECT_EQ(t.RightColor->BackColor(), RGB(0, 0, 0));
}

TEST_F(ToolBar, RealClickOnACellWorksWithEitherButton)
{
    f.mnuCorFixa_Click();
    frmToolBar &t = Forms::get<frmToolBar>();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&t));
    QTest::mouseClick(t.Color[22], Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(f.LeftColor->BackColor(), RGB(0, 0, 255));
    QTest::mouseClick(t.Color[20], Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(f.RightColor->BackColor(), RGB(0, 255, 0));
}

TEST_F(ToolBar, CustomSlotsAskForAColourAndKeepItAcrossFaces)
{
    f.mnuCorFixa_Click();
    frmToolBar &t = Forms::get<frmToolBar>();
    scripted().colorAnswers.push_back(RGB(10, 20, 30));
    click(40, 1);
    EXPECT_EQ(t.Color[40]->BackColor(), RGB(10, 20, 30));
    EXPECT_EQ(f.LeftColor->BackColor(), RGB(10, 20, 30));
    EXPECT_EQ(scripted().colorRequests.size(), 1u);

    // A cancel applies the colour the dialog held last.
    click(47, 2);
    EXPECT_EQ(t.Color[47]->BackColor(), RGB(10, 20, 30));
    EXPECT_EQ(f.RightColor->BackColor(), vbWhite); // the slot's colour before the dialog

    f.mnuMove_Click();
    EXPECT_FALSE(t.fraCores->isVisible());
    EXPECT_TRUE(t.fraMove->isVisible());
    f.mnuCorFixa_Click();
    EXPECT_EQ(t.Color[40]->BackColor(), RGB(10, 20, 30));
    EXPECT_EQ(t.Color.count(32), 0u);
}

TEST_F(ToolBar, FacesSwitchAndSizeTheWindow)
{
    frmToolBar &t = Forms::get<frmToolBar>();
    f.mnuSearch_Click();
    EXPECT_TRUE(t.fraLocaliza->isVisible());
    EXPECT_EQ(Width(&t), 2490);
    EXPECT_EQ(Height(&t), 2625);
    f.mnuCorFixa_Click();
    EXPECT_FALSE(t.fraLocaliza->isVisible());
    EXPECT_TRUE(t.fraCores->isVisible());
    EXPECT_EQ(Width(&t), 2475);
    EXPECT_EQ(Height(&t), 3675);
    f.mnuReduzir_Click();
    EXPECT_TRUE(t.fraDiminui->isVisible());
    EXPECT_EQ(Width(&t), 2055);
    f.mnuMove_Click();
    EXPECT_EQ(Height(&t), 3255); // 3250 twips is not a whole number of pixels
    EXPECT_EQ(t.fraCores->isVisible() + t.fraMove->isVisible() + t.fraDiminui->isVisible() +
                  t.fraLocaliza->isVisible(),
              1);
    EXPECT_EQ(t.Caption(), QStringLiteral("Orvel Pixmint "));
    EXPECT_EQ(t.PixelTwipsX, 15);
}

TEST_F(ToolBar, ClosingHandsOverTheSwatchesAndRemembersThePlace)
{
    f.mnuMove_Click();
    frmToolBar &t = Forms::get<frmToolBar>();
    t.move(200, 100);
    f.LeftColor->setBackColor(RGB(1, 1, 1));
    t.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Forms::loaded<frmToolBar>());
    EXPECT_EQ(f.LeftColor->BackColor(), ColorValue(0x80000007));
    EXPECT_EQ(f.RightColor->BackColor(), ColorValue(0x80000009));

    f.mnuCorFixa_Click();
    frmToolBar &again = Forms::get<frmToolBar>();
    EXPECT_EQ(again.pos(), QPoint(200, 100));
    EXPECT_EQ(again.LeftColor->BackColor(), ColorValue(0x80000007));
}

TEST_F(ToolBar, ShiftsMoveOnePixelAndWhitenTheOpenedEdge)
{
    f.RightColor->setBackColor(RGB(0, 0, 0));
    f.mnuLimpar_Click();
    f.Ikon->PSet(0, 0, RGB(255, 0, 0));
    f.Ikon->PSet(31, 31, RGB(0, 255, 0));
    Forms::get<frmToolBar>().cmdShift_Click(7); // bottom right
    EXPECT_EQ(f.Ikon->Point(1, 1), int32_t(RGB(255, 0, 0)));
    EXPECT_EQ(count(f.Ikon, RGB(0, 255, 0)), 0);
    EXPECT_EQ(count(f.Ikon, vbWhite), 63);
    EXPECT_EQ(f.grid->surface().pixel(15, 15), qRgb(255, 0, 0));

    f.mnuLimpar_Click();
    ShiftLeft(f.Ikon);
    EXPECT_EQ(count(f.Ikon, vbWhite), 32);
    EXPECT_EQ(f.Ikon->Point(31, 7), int32_t(vbWhite));
    f.Ikon->PSet(31, 7, RGB(0, 0, 255));
    ShiftRight(f.Ikon);
    ShiftLeft(f.Ikon); // column 31 does not come back
    EXPECT_EQ(f.Ikon->Point(31, 7), int32_t(vbWhite));
    EXPECT_EQ(count(f.Ikon, RGB(0, 0, 255)), 0);
    EXPECT_EQ(count(f.Ikon, vbWhite), 32);

    for (int i = 0; i < 32; ++i)
        Forms::get<frmToolBar>().cmdShift_Click(2);
    EXPECT_EQ(count(f.Ikon, vbWhite), 1024);
}

TEST_F(ToolBar, CompassButtonsCarryTheirTooltips)
{
    frmToolBar &t = Forms::get<frmToolBar>();
    EXPECT_EQ(t.cmdShift[1]->toolTip(), QStringLiteral("Lateral Esquerda"));
    EXPECT_EQ(t.cmdShift[7]->toolTip(), QStringLiteral("Base Direita"));
    f.mnuLimpar_Click();
    f.Ikon->PSet(5, 5, RGB(0, 0, 255));
    t.cmdShift[3]->click();
    EXPECT_EQ(f.Ikon->Point(5, 6), int32_t(RGB(0, 0, 255)));
}
