#include <gtest/gtest.h>

#include <QTest>

#include "app/frmGeral.h"
#include "support/ScriptedSeam.h"
#include "viewers/frmPrevia.h"

namespace {

class Preview : public ::testing::Test
{
protected:
    void SetUp() override
    {
        f.Show();
        paintIcon(RGB(255, 0, 0));
    }

    void paintIcon(ColorValue colour)
    {
        f.changeIcon([this, colour] { f.Ikon->LineBox(0, 0, 31, 31, colour, true); });
    }

    // What the window shows now: its paint runs on the way.
    QImage shown(frmPrevia &preview) { return preview.centralWidget()->grab().toImage(); }

    frmGeral &f = Forms::get<frmGeral>();
};

} // namespace

TEST_F(Preview, TilesCoverTheWindowWithBothEdgesOnceTheTimerHasSetThemUpAndFollowTheEditor)
{
    // From the corner, with both edges included.
    const std::vector<QPoint> tiles = tileOrigins(1024, 768, 32, 32);
    EXPECT_EQ(tiles.size(), 33u * 25u);
    EXPECT_EQ(tiles.back(), QPoint(1024, 768));
    EXPECT_EQ(tileOrigins(1000, 700, 16, 48).size(), 63u * 15u);
    // A tile without size never ends the loop: nothing is drawn.
    EXPECT_TRUE(tileOrigins(1024, 768, 0, 32).empty() && tileOrigins(1024, 768, 32, -1).empty());

    // The preview swaps states with the editor and follows its edits.
    f.mnuPrevi->trigger();
    ASSERT_TRUE(Forms::loaded<frmPrevia>());
    frmPrevia &preview = Forms::get<frmPrevia>();
    EXPECT_EQ(f.WindowState(), vbMinimized);
    EXPECT_EQ(preview.WindowState(), vbMaximized);

    // Before the first tick only the back colour shows beyond the tile box.
    EXPECT_NE(shown(preview).pixel(40, 40), qRgb(255, 0, 0));

    ASSERT_TRUE(QTest::qWaitFor([&preview] { return preview.Tiling; }));
    EXPECT_FALSE(preview.Timer1->Enabled());
    EXPECT_EQ(QSize(preview.TileWidth, preview.TileHeight), QSize(32, 32));
    const QImage after = shown(preview);
    for (const QPoint &at : {QPoint(0, 0), QPoint(40, 40), QPoint(after.width() - 1, 0),
                             QPoint(after.width() - 1, after.height() - 1)})
        EXPECT_EQ(after.pixel(at), qRgb(255, 0, 0)) << at.x() << "," << at.y();
    EXPECT_TRUE(scripted().messages.empty());

    preview.setWindowState(vbMinimized);
    EXPECT_EQ(f.WindowState(), vbMaximized);
    // Restoring stores the edited icon before the preview paints.
    paintIcon(RGB(0, 0, 255));
    preview.setWindowState(vbMaximized);
    EXPECT_EQ(f.WindowState(), vbMinimized);
    EXPECT_EQ(shown(preview).pixel(40, 40), qRgb(0, 0, 255));
    // A paint draws the tile the previous one stored, then stores the icon as it is.
    paintIcon(RGB(0, 255, 0));
    EXPECT_EQ(shown(preview).pixel(40, 40), qRgb(0, 0, 255));
    EXPECT_EQ(shown(preview).pixel(40, 40), qRgb(0, 255, 0));

    // Closed, it is made anew by the next command, to be set up again.
    preview.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Forms::loaded<frmPrevia>());
    EXPECT_EQ(f.WindowState(), vbMinimized);
    f.mnuPrevi_Click();
    EXPECT_FALSE(Forms::get<frmPrevia>().Tiling);
    EXPECT_TRUE(Forms::get<frmPrevia>().Timer1->Enabled());
}
