#include <gtest/gtest.h>

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include "app/frmGeral.h"
#include "colour/frmVeCor1.h"
#include "colour/frmVeCor2.h"
#include "support/ScriptedSeam.h"

namespace {

const QString CannotRead =
    QStringLiteral("  The colours of other windows cannot be read on this desktop.  ");

// A screen at (100, 50), 30 x 10 logical pixels, scaled by 2: red, blue and white thirds, and
// one device pixel of 0x123456 at (21, 6), which the logical point (10.5, 3) lies on.
ScreenStill scaledStill()
{
    QImage image(60, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(0, 0, 20, 20, Qt::red);
    QPainter(&image).fillRect(20, 0, 20, 20, Qt::blue);
    image.setPixel(21, 6, qRgb(0x56, 0x34, 0x12));
    return {image, QRect(100, 50, 30, 10)};
}

class Picker : public ::testing::Test
{
protected:
    QStringList shown() const
    {
        return {p.Lbl_red->text(), p.Lbl_green->text(), p.Lbl_blue->text(), p.Lbl_long->text()};
    }
    // Select enabled and Take hidden, ready for a new pick.
    bool idle() const { return p.Btn_select->isEnabled() && !p.cmdLevaCor->isVisibleTo(&p); }

    frmGeral &f = Forms::get<frmGeral>();
    frmVeCor1 &p = Forms::get<frmVeCor1>();
};

} // namespace

TEST_F(Picker, OpensIdleThenPointsPicksAndFastensFromAStillOfAScaledScreenAwayFromTheOrigin)
{
    // A picked colour splits truncated, negative parts turned to zero; -1 and whole channels
    // are seen through the picker below.
    const std::tuple<int32_t, int, int, int> cases[] = {
        {0x123456, 0x56, 0x34, 0x12}, {-65537, 0, 0, 0}, {0x7FFFFFFF, 255, 255, 32767}};
    for (const auto &[color, r, g, b] : cases) {
        const ColorComponents got = splitColor(color);
        EXPECT_EQ(QList<int>({got.red, got.green, got.blue}), QList<int>({r, g, b})) << color;
    }

    f.mnuProcCor_Click();
    EXPECT_TRUE(idle());
    EXPECT_EQ(p.Picture1->BackColor(), vbBlack);
    EXPECT_EQ(shown(), QStringList({"", "", "", ""}));
    // Every control lies inside the window's inner area.
    for (QWidget *w : p.centralWidget()->findChildren<QWidget *>())
        EXPECT_TRUE(p.centralWidget()->rect().contains(w->geometry()))
            << w->metaObject()->className();

    const ColorValue left = f.LeftColor->BackColor();
    scripted().screen = scaledStill();
    p.Btn_select_Click();
    EXPECT_FALSE(p.Btn_select->isEnabled() || p.cmdLevaCor->isVisibleTo(&p));
    frmVeCor2 &snap = Forms::get<frmVeCor2>();
    EXPECT_TRUE(snap.isVisible());
    EXPECT_EQ(snap.geometry(), QRect(100, 50, 30, 10));
    EXPECT_EQ(snap.Picture1->geometry(), QRect(0, 0, 30, 10));
    EXPECT_EQ(snap.cursor().shape(), Qt::CrossCursor);
    const Qt::WindowFlags still = Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    EXPECT_EQ(snap.windowFlags() & still, still);

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

    // A press of any button picks the device pixel under it and closes the still.
    snap.Picture1_MouseDown(2, 0, 10.5, 3);
    EXPECT_EQ(shown(), QStringList({"86", "52", "18", "1193046"}));
    EXPECT_FALSE(Forms::loaded<frmVeCor2>());
    EXPECT_TRUE(p.cmdLevaCor->isVisibleTo(&p));
    EXPECT_EQ(f.LeftColor->BackColor(), left);

    p.cmdLevaCor_Click();
    EXPECT_EQ(f.LeftColor->BackColor(), RGB(0x56, 0x34, 0x12));
    EXPECT_TRUE(idle());

    // Each start takes a new still; real pointer events reach it and the buttons.
    QImage green(4, 4, QImage::Format_RGB32);
    green.fill(qRgb(0, 255, 0));
    scripted().screen = ScreenStill{green, QRect(0, 0, 4, 4)};
    QTest::mouseClick(p.Btn_select, Qt::LeftButton);
    EXPECT_EQ(scripted().screenGrabs, 2);
    frmVeCor2 &again = Forms::get<frmVeCor2>();
    QTest::mouseMove(again.Picture1, QPoint(2, 2));
    EXPECT_EQ(p.Lbl_long->text(), QStringLiteral("65280"));
    QTest::mouseClick(again.Picture1, Qt::RightButton, {}, QPoint(1, 1));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Forms::loaded<frmVeCor2>());
    QTest::mouseClick(p.cmdLevaCor, Qt::LeftButton);
    EXPECT_EQ(f.LeftColor->BackColor(), RGB(0, 255, 0));
}

TEST_F(Picker, AStillNotHadAsOnWaylandOrClosedOrThePickerClosedLeavesNoDeadEnd)
{
    // None on a Wayland desktop, whatever Qt runs on.
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

    f.mnuProcCor_Click();
    const ColorValue left = f.LeftColor->BackColor();
    p.Btn_select_Click(); // the scripted desktop hands out no pixels
    ASSERT_EQ(scripted().messages.size(), 1u);
    EXPECT_EQ(scripted().messages[0].text, CannotRead);
    EXPECT_TRUE(idle());
    EXPECT_FALSE(Forms::get<frmVeCor2>().isVisible());
    EXPECT_EQ(f.LeftColor->BackColor(), left);

    scripted().screen = scaledStill();
    p.Btn_select_Click();
    // The window manager closes the still without a pick: the picker is idle again.
    Forms::get<frmVeCor2>().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Forms::loaded<frmVeCor2>());
    EXPECT_TRUE(idle());

    // Closing the picker closes the still with it.
    p.Btn_select_Click();
    ASSERT_TRUE(Forms::get<frmVeCor2>().isVisible());
    p.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Forms::loaded<frmVeCor1>());
    EXPECT_FALSE(Forms::loaded<frmVeCor2>());
}
