#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "app/frmGeral.h"
#include "colour/frmDesenho.h"
#include "support/helpers.h"
#include "support/pixels.h"
#include "toolwindow/frmToolBar.h"

namespace {

class Undo : public ::testing::Test
{
protected:
    void SetUp() override { f.LeftColor->setBackColor(RGB(255, 0, 0)); }

    void drag(Mode mode, int c1, int r1, int c2, int r2)
    {
        f.picModeSel_Click(int(mode));
        f.grid_MouseMove(0, 0, cellMiddle(c1), cellMiddle(r1));
        f.grid_MouseDown(1, 0, cellMiddle(c1), cellMiddle(r1));
        f.grid_MouseMove(1, 0, cellMiddle(c2), cellMiddle(r2));
        f.grid_MouseUp(1, 0, cellMiddle(c2), cellMiddle(r2));
    }

    // What undo must bring back: the pixels, the canvas and the grid that shows them.
    struct Shown
    {
        QImage icon;
        CanvasSize canvas;
        QImage grid;
        bool operator==(const Shown &) const = default;
    };
    Shown shown() const { return {f.Ikon->Image(), f.canvasSize(), f.grid->surface()}; }

    // `act` makes exactly one step; undo shows the icon as before it, redo as after it.
    void expectOneStep(const char *what, const std::function<void()> &act)
    {
        SCOPED_TRACE(what);
        const QUndoStack &steps = f.history.stack();
        const int index = steps.index();
        const Shown before = shown();
        act();
        const Shown after = shown();
        ASSERT_NE(after, before);
        ASSERT_EQ(steps.index(), index + 1);
        f.history.undo();
        EXPECT_EQ(shown(), before);
        f.history.redo();
        EXPECT_EQ(shown(), after);
    }

    frmGeral &f = Forms::get<frmGeral>();
};

} // namespace

TEST_F(Undo, EveryKindOfChangeIsOneStepThatUndoAndRedoPutBack)
{
    // Partly transparent pixels come back with their alpha.
    QImage soft(32, 32, QImage::Format_ARGB32);
    for (const auto &[x, y] : box(0, 0, 31, 31))
        soft.setPixel(x, y, qRgba(4 * x, 4 * y, 90, 8 * x));
    f.loadIcon([&] { f.Ikon->setPicture(soft); });
    expectOneStep("pencil stroke", [&] {
        f.picModeSel_Click(int(Mode::Pencil));
        f.grid_MouseDown(1, 0, cellMiddle(1), cellMiddle(1));
        for (int x : {2, 3, 4})
            f.grid_MouseMove(1, 0, cellMiddle(x), cellMiddle(1));
        f.grid_MouseUp(1, 0, cellMiddle(4), cellMiddle(1));
    });
    expectOneStep("box", [&] { drag(Mode::FilledRectangle, 5, 5, 9, 9); });
    expectOneStep("transparent box", [&] {
        f.mnuTransparent_Click();
        drag(Mode::FilledRectangle, 0, 2, 30, 3);
        f.LeftColor->setBackColor(RGB(255, 0, 0));
    });
    expectOneStep("circle", [&] { drag(Mode::Circle, 20, 20, 24, 20); });
    expectOneStep("fill", [&] { drag(Mode::ColorFill, 0, 30, 0, 30); });
    expectOneStep("text", [&] {
        f.txtAlpha->setText(QStringLiteral("A"));
        drag(Mode::Text, 16, 16, 16, 16);
    });
    expectOneStep("paste placement", [&] {
        drag(Mode::Capture, 5, 5, 8, 8);
        f.mnuCopiar_Click();
        f.DrawMode = Mode::Paste;
        f.grid_MouseUp(1, 0, cellMiddle(28), cellMiddle(2));
    });
    expectOneStep("cut", [&] {
        drag(Mode::Capture, 5, 5, 8, 8);
        f.mnuCortar_Click();
    });
    expectOneStep("paste command", [&] {
        QImage other(8, 4, QImage::Format_RGB32);
        other.fill(qRgb(200, 10, 10));
        QGuiApplication::clipboard()->setImage(other);
        f.mnuColar_Click();
    });
    expectOneStep("rotate", [&] { f.mnuRotate13_Click(); });
    expectOneStep("mirror", [&] { f.mnuHorizontal_Click(); });
    expectOneStep("flip", [&] { f.mnuVertical_Click(); });
    frmToolBar &t = Forms::get<frmToolBar>();
    expectOneStep("shift", [&] { t.cmdShift_Click(3); });
    expectOneStep("resize", [&] {
        f.mnuReduzir_Click();
        t.cmdDiminuir_Click();
        t.cmdDiminuir_Click();
    });
    expectOneStep("return", [&] { t.cmdDiminuir_Click(); });
    expectOneStep("ramp", [&] {
        f.mnuGradiende_Click();
        Forms::get<frmDesenho>().cmdSelect->click();
    });
    expectOneStep("clean", [&] { f.mnuLimpar_Click(); });
    expectOneStep("new", [&] {
        f.RightColor->setBackColor(RGB(0, 99, 0));
        f.mnuNew_Click();
    });
    QGuiApplication::clipboard()->clear();
}

TEST_F(Undo, TheEditEntriesFollowTheStepsANewChangeDropsTheRedoStepsAndTheNewestAreKept)
{
    EXPECT_FALSE(f.mnuUndo->isEnabled() || f.mnuRedo->isEnabled());

    // Repainting and pressing on a cell already of the colour change nothing.
    f.RedrawGrid();
    f.mnuGrade_Click();
    drag(Mode::Pencil, 1, 1, 1, 1);
    drag(Mode::Pencil, 1, 1, 1, 1);
    EXPECT_EQ(f.history.stack().count(), 1);
    drag(Mode::Pencil, 2, 2, 2, 2);

    f.mnuUndo->trigger();
    EXPECT_TRUE(f.mnuUndo->isEnabled() && f.mnuRedo->isEnabled());
    EXPECT_NE(f.Ikon->Point(2, 2), int32_t(RGB(255, 0, 0)));
    f.mnuRedo->trigger();
    EXPECT_EQ(f.Ikon->Point(2, 2), int32_t(RGB(255, 0, 0)));
    f.mnuUndo->trigger();
    f.mnuUndo->trigger();
    EXPECT_FALSE(f.mnuUndo->isEnabled());
    drag(Mode::Pencil, 3, 3, 3, 3);
    EXPECT_FALSE(f.mnuRedo->isEnabled());
    EXPECT_EQ(f.Ikon->Point(1, 1), f.Ikon->Point(0, 0));

    // Nothing is put back in the middle of a stroke.
    f.grid_MouseDown(1, 0, cellMiddle(9), cellMiddle(9));
    f.grid_MouseMove(1, 0, cellMiddle(10), cellMiddle(9));
    f.history.undo();
    f.grid_MouseUp(1, 0, cellMiddle(9), cellMiddle(9));
    EXPECT_EQ(f.history.stack().count(), 2);

    // The newest steps are kept, up to the limit.
    const int extra = 10;
    QImage afterExtra;
    for (int i = 0; i < History::Limit + extra; ++i) {
        f.changeIcon([&] { f.Ikon->PSet(i % 32, i / 32, RGB(i % 256, 0, 1)); });
        if (i == extra - 1)
            afterExtra = f.Ikon->Image();
    }
    EXPECT_EQ(f.history.stack().count(), History::Limit);
    while (f.history.stack().canUndo())
        f.history.undo();
    EXPECT_EQ(f.Ikon->Image(), afterExtra);
}
