#include <gtest/gtest.h>

#include <QPushButton>
#include <utility>
#include <vector>

#include "app/Editor.h"
#include "app/frmGeral.h"
#include "support/helpers.h"
#include "toolwindow/frmToolBar.h"

// Drawing modes, menu commands and tool windows all change the icon through the one change, a
// pencil stroke is one change from press to release, and each change starts from where the
// last one left the icon: none slipped past in between.
TEST(Editor, EveryChangeOfTheIconIsOneChangeSeenBeforeAndAfter)
{
    frmGeral &f = Forms::get<frmGeral>();
    ASSERT_EQ(&Editor::current(), static_cast<Editor *>(&f));
    std::vector<std::pair<IconState, IconState>> changes;
    f.setChangeHook([&changes](const IconState &before, const IconState &after) {
        changes.emplace_back(before, after);
    });
    const auto last = [&changes] { return changes.back().second.image; };
    f.LeftColor->setBackColor(RGB(255, 0, 0));

    f.picModeSel_Click(int(Mode::Pencil));
    f.grid_MouseMove(0, 0, cellMiddle(1), cellMiddle(1));
    f.grid_MouseDown(1, 0, cellMiddle(1), cellMiddle(1));
    f.grid_MouseMove(1, 0, cellMiddle(2), cellMiddle(1));
    f.grid_MouseMove(1, 0, cellMiddle(3), cellMiddle(1));
    f.grid_MouseUp(1, 0, cellMiddle(3), cellMiddle(1));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_NE(changes[0].first.image.pixel(1, 1), qRgb(255, 0, 0));
    for (int x : {1, 2, 3})
        EXPECT_EQ(last().pixel(x, 1), qRgb(255, 0, 0));

    f.picModeSel_Click(int(Mode::FilledRectangle));
    f.grid_MouseDown(1, 0, cellMiddle(5), cellMiddle(5));
    f.grid_MouseMove(1, 0, cellMiddle(6), cellMiddle(6));
    f.grid_MouseUp(1, 0, cellMiddle(6), cellMiddle(6));
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(last().pixel(6, 6), qRgb(255, 0, 0));

    // Repainting the grid is no change.
    f.RedrawGrid();
    f.mnuGrade_Click();
    EXPECT_EQ(changes.size(), 2u);

    f.mnuHorizontal_Click();
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(last().pixel(LastCell - 1, 1), qRgb(255, 0, 0));

    frmToolBar &t = Forms::get<frmToolBar>();
    t.cmdShift_Click(3);
    ASSERT_EQ(changes.size(), 4u);
    EXPECT_EQ(last().pixel(LastCell - 1, 2), qRgb(255, 0, 0));

    // The resize face's transfer shrinks the canvas and replaces the icon in one change; New
    // brings the standard canvas back and fills it in one change.
    t.cmdDiminuir_Click();
    t.cmdDiminuir_Click();
    ASSERT_EQ(t.cmdDiminuir->text(), QStringLiteral("Return, Clean!"));
    ASSERT_EQ(changes.size(), 5u);
    EXPECT_EQ(changes[4].first.canvas, StandardCanvas);
    EXPECT_EQ(changes[4].second.canvas, SmallCanvas);
    EXPECT_EQ(f.canvasSize(), SmallCanvas);
    f.mnuNew_Click();
    ASSERT_EQ(changes.size(), 6u);
    EXPECT_EQ(changes[5].first.canvas, SmallCanvas);
    EXPECT_EQ(changes[5].second.canvas, StandardCanvas);
    EXPECT_EQ(last().size(), QSize(CellCount, CellCount));

    for (size_t i = 1; i < changes.size(); ++i) {
        EXPECT_EQ(changes[i].first.image, changes[i - 1].second.image) << "change " << i;
        EXPECT_EQ(changes[i].first.canvas, changes[i - 1].second.canvas) << "change " << i;
    }
}
