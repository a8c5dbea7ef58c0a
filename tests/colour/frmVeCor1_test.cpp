#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/frmGeral.h"
#include "app/toolkit/twips.h"
#include "colour/frmVeCor1.h"
#include "colour/frmVeCor2.h"
#include "support/ScriptedSeam.h"
#include "support/helpers.h"

namespace {

const QString CannotRead =
    QStringLiteral("  The colours of other windows cannot be read on this desktop.  ");

// A screen at (100, 50), 30 x 10 logical pixels, scaled by 2: red, blue and white thirds, and
// one device pixel of 0x123456 at (21, 6), which the logical point (10.5, 3) lies on.
ScreenStill scaledStill()
{
    QImage image(60, 20, QImage::Format_RGB32);
    for (int x = 0; x < 60; ++x)
        for (int y = 0; y < 20; ++y)
            image.setPixel(x, y,
                           x < 20   ? qRgb(255, 0, 0)
                           : x < 40 ? qRgb(0, 0, 255)
                                    : qRgb(255, 255, 255));
    image.setPixel(21, 6, qRgb(0x56, 0x34, 0x12));
    return {image, QRect(100, 50, 30, 10)};
}

class Picker : public ::testing::Test
{
protected:
    void SetUp() override { clearSettingsStore(); }

    QStringList shown() const
    {
        const frmVeCor1 &p = Forms::get<frmVeCor1>();
        return {p.Lbl_red->text(), p.Lbl_green->text(), p.Lbl_blue->text(), p.Lbl_long->text()};
    }

    frmGeral &f = Forms::get<frmGeral>();
};

} // namespace

TEST(SplitPickedColor, TruncatesAndTurnsNegativePartsToZero)
{
    struct Case
    {
        int32_t color;
        int r, g, b;
    };
    for (const Case &c : {Case{-1, 0, 0, 0}, Case{0xFF, 255, 0, 0}, Case{0xFF0000, 0, 0, 255},
                          Case{0xFFFFFF, 255, 255, 255}, Case{0x123456, 0x56, 0x34, 0x12},
                          Case{-65537, 0, 0, 0}, Case{0x7FFFFFFF, 255, 255, 32767}}) {
        const ColorComponents got = splitColor(c.color);
        EXPECT_EQ(got.red, c.r) << c.color;
        EXPECT_EQ(got.green, c.g) << c.color;
        EXPECT_EQ(got.blue, c.b) << c.color;
    }
}

TEST_F(Picker, OpensFromSearchColorIdleWithItsCaptionsTipsAndSize)
{
    f.mnuProcCor_Click();
    frmVeCor1 &p = Forms::get<frmVeCor1>();
    EXPECT_TRUE(p.isVisible());
    EXPECT_TRUE(p.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(p.Caption(), QStringLiteral("Orvel Pixmint "));
    EXPECT_EQ(Width(&p), 2730);
    EXPECT_EQ(Height(&p), 2370);
    EXPECT_EQ(p.Btn_select->text(), QStringLiteral("Initialize Color Search"));
    EXPECT_EQ(p.Btn_select->toolTip(), QStringLiteral("Pick a color from desktop"));
    EXPECT_TRUE(p.Btn_select->isEnabled());
    EXPECT_FALSE(p.cmdLevaCor->isVisibleTo(&p));
    EXPECT_EQ(p.cmdLevaCor->text(), QString());
    EXPECT_EQ(p.cmdLevaCor->toolTip(), QStringLiteral("Fastens chosen color"));
    EXPECT_EQ(p.Picture1->BackColor(), vbBlack);
    EXPECT_EQ(p.Picture1->toolTip(), QStringLiteral("Actual color"));
    EXPECT_EQ(p.Lbl_long->toolTip(), QStringLiteral("Long integer for selected color"));
    EXPECT_EQ(p.Lbl_long->alignment(), Qt::AlignCenter);
    EXPECT_EQ(shown(), QStringList({"", "", "", ""}));
    EXPECT_EQ(p.Label7->text(), QStringLiteral("Red"));
    EXPECT_EQ(p.Label8->text(), QStringLiteral("Green"));
    EXPECT_EQ(p.Label9->text(), QStringLiteral("Blue"));
    EXPECT_EQ(p.Label7->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(p.Label8->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_EQ(p.Label9->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    // Every control lies inside the window's inner area.
    for (QWidget *w : p.centralWidget()->findChildren<QWidget *>())
        EXPECT_TRUE(p.centralWidget()->rect().contains(w->geometry()))
            << w->metaObject()->className();
}

TEST_F(Picker, PointsPicksAndFastensFromAStillOfAScaledScreenAwayFromTheOrigin)
{
    f.mnuProcCor_Click();
    frmVeCor1 &p = Forms::get<frmVeCor1>();
    const ColorValue left = f.LeftColor->BackColor();
    scripted().screen = scaledStill();
    p.Btn_select_Click();
    EXPECT_EQ(scripted().screenGrabs, 1);
    EXPECT_FALSE(p.Btn_select->isEnabled());
    EXPECT_FALSE(p.cmdLevaCor->isVisibleTo(&p));
    frmVeCor2 &snap = Forms::get<frmVeCor2>();
    EXPECT_TRUE(snap.isVisible());
    EXPECT_EQ(snap.geometry(), QRect(100, 50, 30, 10));
    EXPECT_EQ(snap.Picture1->geometry(), QRect(0, 0, 30, 10));
    EXPECT_EQ(snap.cursor().shape(), Qt::CrossCursor);
    EXPECT_TRUE(snap.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(snap.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_FALSE(snap.windowState().testFlag(Qt::WindowFullScreen));

    // The live screen changing afterwards changes nothing in the still.
    scripted().screen.reset();
    snap.Picture1_MouseMove(0, 0, 5, 5);
    EXPECT_EQ(shown(), QStringList({"255", "0", "0", "255"}));
    EXPECT_EQ(p.Picture1->BackColor(), RGB(255, 0, 0));
    snap.Picture1_MouseMove(1, 0, 12, 9.9);
    EXPECT_EQ(shown(), QStringList({"0", "0", "255", "16711680"}));
    snap.Picture1_MouseMove(0, 0, 29.9, 0);
    EXPECT_EQ(shown(), QStringList({"255", "255", "255", "16777215"}));
    // Past the edge: -1, shown black.
    for (const QPointF &outside : {QPointF(30, 5), QPointF(-0.1, 5), QPointF(5, 10)}) {
        snap.Picture1_MouseMove(0, 0, outside.x(), outside.y());
        EXPECT_EQ(shown(), QStringList({"0", "0", "0", "-1"}));
        EXPECT_EQ(p.Picture1->BackColor(), vbBlack);
    }
    EXPECT_EQ(f.LeftColor->BackColor(), left);

    // A press of any button picks the device pixel under it and closes the still.
    snap.Picture1_MouseDown(2, 0, 10.5, 3);
    EXPECT_EQ(shown(), QStringList({"86", "52", "18", "1193046"}));
    EXPECT_FALSE(Forms::loaded<frmVeCor2>());
    EXPECT_TRUE(p.cmdLevaCor->isVisibleTo(&p));
    EXPECT_EQ(p.cmdLevaCor->text(), QStringLiteral("Click - Me!"));
    EXPECT_FALSE(p.Btn_select->isEnabled());
    EXPECT_EQ(f.LeftColor->BackColor(), left);

    p.cmdLevaCor_Click();
    EXPECT_EQ(f.LeftColor->BackColor(), RGB(0x56, 0x34, 0x12));
    EXPECT_TRUE(p.Btn_select->isEnabled());
    EXPECT_FALSE(p.cmdLevaCor->isVisibleTo(&p));

    // Each start takes a new still.
    QImage green(4, 4, QImage::Format_RGB32);
    green.fill(qRgb(0, 255, 0));
    scripted().screen = ScreenStill{green, QRect(0, 0, 4, 4)};
    p.Btn_select_Click();
    EXPECT_EQ(scripted().screenGrabs, 2);
    Forms::get<frmVeCor2>().Picture1_MouseDown(1, 0, 1, 1);
    EXPECT_EQ(p.Picture1->BackColor(), RGB(0, 255, 0));
}

TEST_F(Picker, RealPointerEventsReachTheStillAndTheButtons)
{
    f.mnuProcCor_Click();
    frmVeCor1 &p = Forms::get<frmVeCor1>();
    scripted().screen = scaledStill();
    QTest::mouseClick(p.Btn_select, Qt::LeftButton);
    frmVeCor2 &snap = Forms::get<frmVeCor2>();
    ASSERT_TRUE(snap.isVisible());
    QTest::mouseMove(snap.Picture1, QPoint(25, 5));
    EXPECT_EQ(p.Lbl_long->text(), QStringLiteral("16777215"));
    QTest::mouseClick(snap.Picture1, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_EQ(p.Lbl_long->text(), QStringLiteral("255"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Forms::loaded<frmVeCor2>());
    QTest::mouseClick(p.cmdLevaCor, Qt::LeftButton);
    EXPECT_EQ(f.LeftColor->BackColor(), RGB(255, 0, 0));
}

TEST_F(Picker, AStillThatCannotBeHadIsReportedAndChangesNothing)
{
    f.mnuProcCor_Click();
    frmVeCor1 &p = Forms::get<frmVeCor1>();
    const ColorValue left = f.LeftColor->BackColor();
    p.Btn_select_Click(); // the scripted desktop hands out no pixels
    ASSERT_EQ(scripted().messages.size(), 1u);
    EXPECT_EQ(scripted().messages[0].text, CannotRead);
    EXPECT_EQ(scripted().messages[0].title, QStringLiteral("Inform the User!"));
    EXPECT_EQ(scripted().messages[0].style & 7, vbOKOnly);
    EXPECT_TRUE(p.Btn_select->isEnabled());
    EXPECT_FALSE(p.cmdLevaCor->isVisibleTo(&p));
    EXPECT_FALSE(Forms::get<frmVeCor2>().isVisible());
    EXPECT_EQ(f.LeftColor->BackColor(), left);
    EXPECT_EQ(shown(), QStringList({"", "", "", ""}));
}

TEST(DesktopStill, NoneOnAWaylandDesktopWhateverQtRunsOn)
{
    const QByteArray display = qgetenv("WAYLAND_DISPLAY");
    const QByteArray session = qgetenv("XDG_SESSION_TYPE");
    const auto set = [](const char *wayland, const char *type) {
        qputenv("WAYLAND_DISPLAY", wayland);
        qputenv("XDG_SESSION_TYPE", type);
        return waylandDesktop();
    };
    EXPECT_FALSE(set("", "x11"));
    EXPECT_FALSE(set("", ""));
    EXPECT_TRUE(set("wayland-0", "x11"));
    EXPECT_TRUE(set("", "Wayland"));
    // Answered before any screen is read.
    EXPECT_FALSE(makeDesktopSeam()->grabScreen());
    qputenv("WAYLAND_DISPLAY", display);
    qputenv("XDG_SESSION_TYPE", session);
}

TEST_F(Picker, ClosingTheStillOrThePickerLeavesNoDeadEnd)
{
    f.mnuProcCor_Click();
    frmVeCor1 &p = Forms::get<frmVeCor1>();
    scripted().screen = scaledStill();
    p.Btn_select_Click();
    // The window manager closes the still without a pick: the picker is idle again.
    Forms::get<frmVeCor2>().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Forms::loaded<frmVeCor2>());
    EXPECT_TRUE(p.Btn_select->isEnabled());
    EXPECT_FALSE(p.cmdLevaCor->isVisibleTo(&p));

    // Closing the picker closes the still with it.
    p.Btn_select_Click();
    ASSERT_TRUE(Forms::get<frmVeCor2>().isVisible());
    p.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Forms::loaded<frmVeCor1>());
    EXPECT_FALSE(Forms::loaded<frmVeCor2>());
}
