#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <map>

#include "app/frmGeral.h"
#include "support/helpers.h"
#include "support/pixels.h"

namespace {

class Modes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        f.LeftColor->setBackColor(Red);
        f.RightColor->setBackColor(Green);
        white = f.Ikon->Point(0, 0);
    }

    // A drag from one cell to another with the given button, with one move at the end.
    void drag(int mode, int button, int c1, int r1, int c2, int r2, int shift = 0)
    {
        f.picModeSel_Click(mode);
        f.grid_MouseMove(0, 0, cellMiddle(c1), cellMiddle(r1));
        f.grid_MouseDown(button, shift, cellMiddle(c1), cellMiddle(r1));
        f.grid_MouseMove(button, shift, cellMiddle(c2), cellMiddle(r2));
        f.grid_MouseUp(button, shift, cellMiddle(c2), cellMiddle(r2));
    }

    int count(ColorValue c) const { return countPixels(f.Ikon, c); }
    static QRectF rect(const Shape *s) { return {s->Left(), s->Top(), s->Width(), s->Height()}; }
    PixelSet pixels(ColorValue c) const { return pixelsOf(f.Ikon->Image(), c); }

    frmGeral &f = Forms::get<frmGeral>();
    int32_t white = 0;
};

} // namespace

TEST_F(Modes, ShiftedPencilStaysInThePressedColumnButLabelShowsThePointerAsRealEventsDo)
{
    // A move without a button only tracks.
    f.picModeSel_Click(0);
    f.grid_MouseMove(0, 0, cellMiddle(5), cellMiddle(31));
    EXPECT_EQ(f.lblCordenadas->text(), QStringLiteral("X: 05  Y: 31"));
    EXPECT_FALSE(f.lblCordenadas->isHidden());

    // Pressed off the diagonal, so a column taken from the pressed row would show.
    drag(0, 1, 4, 2, 6, 10, 1);
    EXPECT_EQ(pixels(Red), (PixelSet{{4, 2}, {4, 10}}));
    EXPECT_EQ(f.lblCordenadas->text(), QStringLiteral("X: 06  Y: 10"));

    // Real mouse events draw a stroke.
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    rollUpSplash(f);
    f.picModeSel_Click(0);
    // Cell (c, r) is at pixels 10c..10c+9 of the grid.
    QTest::mouseMove(f.grid, QPoint(25, 35));
    QTest::mousePress(f.grid, Qt::LeftButton, {}, QPoint(25, 35));
    QTest::mouseMove(f.grid, QPoint(45, 35));
    QTest::mouseRelease(f.grid, Qt::LeftButton, {}, QPoint(45, 35));
    EXPECT_EQ(pixels(Red), (PixelSet{{4, 2}, {4, 10}, {2, 3}, {4, 3}}));
    EXPECT_EQ(f.lblCordenadas->text(), QStringLiteral("X: 04  Y: 03"));

    QTest::mouseClick(f.picModeSel[2], Qt::LeftButton);
    EXPECT_EQ(f.DrawMode, Mode::Rectangle);
}

TEST_F(Modes, LineSetsBothEndsAndAClickSetsOneCell)
{
    // The minor axis rounds: (0, 0) to (7, 3) steps down at columns 2, 4 and 6.
    drag(1, 1, 0, 0, 7, 3);
    EXPECT_EQ(pixels(Red),
              (PixelSet{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}, {6, 3}, {7, 3}}));
    EXPECT_FALSE(f.shLine->Visible());
    // Steep, up and to the left, with the right button.
    drag(1, 2, 20, 30, 17, 21);
    const int steep[] = {17, 17, 18, 18, 18, 19, 19, 19, 20, 20}; // columns of rows 21 to 30
    PixelSet line;
    for (int y = 21; y <= 30; ++y)
        line.insert({steep[y - 21], y});
    EXPECT_EQ(pixels(Green), line);

    f.grid_MouseMove(0, 0, cellMiddle(20), cellMiddle(12));
    f.grid_MouseDown(4, 0, cellMiddle(20), cellMiddle(12));
    f.grid_MouseUp(4, 0, cellMiddle(20), cellMiddle(12));
    EXPECT_EQ(count(Green), 11);
    EXPECT_EQ(f.Ikon->Point(20, 12), int32_t(Green));
}

TEST_F(Modes, RectangleIsTheSameInBothDirectionsItsBandFollowsAndFilledFillsTheInside)
{
    drag(2, 1, 10, 10, 4, 6);
    const QImage backwards = f.Ikon->Image();
    EXPECT_EQ(pixels(Red), minus(box(4, 6, 10, 10), box(5, 7, 9, 9))); // outline only
    EXPECT_FALSE(f.shRect->Visible());
    EXPECT_EQ(f.shRect->Width(), 0);

    f.Ikon->Cls();
    drag(2, 1, 4, 6, 10, 10);
    EXPECT_EQ(f.Ikon->Image(), backwards);
    // Filled: border and inside.
    drag(3, 2, 0, 0, 2, 3);
    EXPECT_EQ(pixels(Green), box(0, 0, 2, 3));

    // The band follows the pointer.
    f.picModeSel_Click(2);
    f.grid_MouseDown(1, 0, 1000, 1000);
    EXPECT_TRUE(f.shRect->Visible());
    f.grid_MouseMove(1, 0, 400.4, 2000);
    EXPECT_EQ(rect(f.shRect), QRectF(400.4, 1000, 599.6, 1000));
}

TEST_F(Modes, CircleIsCentredOnThePressedCell)
{
    f.picModeSel_Click(4);
    f.grid_MouseDown(1, 0, cellMiddle(12), cellMiddle(20));
    f.grid_MouseMove(1, 0, cellMiddle(12) + 600, cellMiddle(20)); // r = 600 twips, 4 pixels
    EXPECT_EQ(rect(f.shCircle), QRectF(cellMiddle(12) - 600, cellMiddle(20) - 600, 1200, 1200));
    f.grid_MouseUp(1, 0, cellMiddle(12) + 600, cellMiddle(20));
    for (QPoint p : {QPoint(16, 20), QPoint(8, 20), QPoint(12, 16), QPoint(12, 24)})
        EXPECT_EQ(f.Ikon->Point(p.x(), p.y()), int32_t(Red)) << p.x() << "," << p.y();
    for (QPoint p : {QPoint(12, 20), QPoint(17, 20), QPoint(24, 12)})
        EXPECT_EQ(f.Ikon->Point(p.x(), p.y()), white) << p.x() << "," << p.y();
    EXPECT_FALSE(f.shCircle->Visible());

    drag(5, 2, 25, 6, 25, 9);
    for (QPoint p : {QPoint(25, 6), QPoint(25, 9), QPoint(22, 6)})
        EXPECT_EQ(f.Ikon->Point(p.x(), p.y()), int32_t(Green)) << p.x() << "," << p.y();
    EXPECT_EQ(f.Ikon->Point(21, 6), white);
}

TEST_F(Modes, TextIsCentredOnTheReleasedCell)
{
    f.txtAlpha->setText(QStringLiteral("I"));
    f.picModeSel_Click(6);
    // Off the diagonal, so that a column taken for the row would show.
    f.grid_MouseUp(1, 0, cellMiddle(20), cellMiddle(8));
    const PixelSet ink = pixels(Red);
    ASSERT_FALSE(ink.empty());
    const auto [left, right] = std::minmax_element(ink.begin(), ink.end());
    EXPECT_NEAR((left->first + right->first) / 2.0, 20, 3);
    const auto [top, bottom] = std::minmax_element(
        ink.begin(), ink.end(), [](const auto &a, const auto &b) { return a.second < b.second; });
    EXPECT_NEAR((top->second + bottom->second) / 2.0, 8, 3);

    f.txtAlpha->clear();
    const QImage before = f.Ikon->Image();
    f.grid_MouseUp(1, 0, cellMiddle(3), cellMiddle(3));
    EXPECT_EQ(f.Ikon->Image(), before);
}

TEST_F(Modes, FillStaysInsideAndNeedsMatchingCellsAndHugeDragsStayInside)
{
    // A closed box, with a diagonal gap at one corner that a 4-connected fill cannot pass.
    drag(2, 1, 4, 4, 8, 8);
    f.Ikon->PSet(4, 4, white);
    f.Ikon->PSet(3, 4, RGB(255, 0, 0));
    f.Ikon->PSet(4, 3, RGB(255, 0, 0));
    f.RedrawGrid();
    drag(7, 2, 6, 6, 6, 6);
    EXPECT_EQ(count(Green), 9);

    // Pressed and released cells of different colours, either way round: nothing.
    const QImage filled = f.Ikon->Image();
    drag(7, 1, 0, 0, 6, 6);
    EXPECT_EQ(f.Ikon->Image(), filled);
    drag(7, 1, 6, 6, 0, 0);
    EXPECT_EQ(f.Ikon->Image(), filled);

    // Same colour as the fill: nothing changes, nothing hangs.
    drag(7, 2, 6, 6, 6, 6);
    EXPECT_EQ(count(Green), 9);

    // Released far outside the grid: nothing.
    drag(7, 1, 0, 0, 0, 0);
    const int reds = count(Red);
    f.grid_MouseDown(1, 0, cellMiddle(0), cellMiddle(0));
    f.grid_MouseUp(1, 0, -90000, 90000);
    EXPECT_EQ(count(Red), reds);

    // Huge drags in any mode stay inside.
    for (int mode : {0, 1, 2, 3, 4, 5, 8}) {
        f.picModeSel_Click(mode);
        f.grid_MouseDown(1, 7, 1e7, -1e7);
        f.grid_MouseMove(1, 7, -1e7, 1e7);
        f.grid_MouseMove(1, 7, 40000, 40000);
        f.grid_MouseUp(1, 7, 40000, -40000);
    }
    EXPECT_EQ(f.Ikon->surfaceWidth(), 32);
    EXPECT_LE(f.shCircle->Width(), 32767);
}

TEST_F(Modes, CaptureEnablesCopyAndCutUntilAModeIsChosenAndPasteStampsClippedAtTheEdges)
{
    drag(8, 1, 2, 2, 6, 5);
    EXPECT_TRUE(f.shCapture->Visible());
    EXPECT_TRUE(f.mnuCopiar->isEnabled());
    EXPECT_TRUE(f.mnuCortar->isEnabled());
    EXPECT_DOUBLE_EQ(f.shCapture->Width(), 600);
    f.mnuColar->setEnabled(true);

    f.picModeSel_Click(3);
    EXPECT_FALSE(f.shCapture->Visible());
    EXPECT_FALSE(f.mnuCopiar->isEnabled());
    EXPECT_FALSE(f.mnuCortar->isEnabled());
    EXPECT_FALSE(f.mnuColar->isEnabled());
    EXPECT_EQ(f.DrawMode, Mode::FilledRectangle);

    // Paste stamps the buffer, clipped at the edges.
    QImage buffer(32, 32, QImage::Format_RGB32);
    buffer.fill(qRgb(0, 0, 255));
    f.picCap->setPicture(buffer);
    f.DrawMode = Mode::Paste;
    f.grid_MouseUp(1, 0, cellMiddle(31), cellMiddle(31)); // region 0..0: a single pixel
    EXPECT_EQ(count(RGB(0, 0, 255)), 1);

    f.SelX1 = 0, f.SelY1 = 0, f.SelX2 = 3, f.SelY2 = 2;
    f.grid_MouseUp(1, 0, cellMiddle(30), cellMiddle(0));
    EXPECT_EQ(count(RGB(0, 0, 255)), 1 + 2 * 3);
    EXPECT_EQ(f.DrawMode, Mode::Paste);
    EXPECT_FALSE(f.shCapture->Visible());

    f.grid_MouseUp(1, 0, -50000, -50000);
    EXPECT_EQ(count(RGB(0, 0, 255)), 7);
}

TEST_F(Modes, TheTransparentPaintClearsWhatAColourPaintsInEveryModeWithEitherButton)
{
    // Chosen in one step for either button.
    f.mnuTransparent_Click();
    EXPECT_EQ(f.LeftColor->BackColor(), vbTransparent);
    EXPECT_EQ(f.LeftColor->Image().pixel(4, 0), qRgb(192, 192, 192)); // the checkerboard
    f.picTransparent_MouseDown(2, 0, 0, 0);
    EXPECT_EQ(f.RightColor->BackColor(), vbTransparent);
    const QImage clear = f.Ikon->Image();

    f.txtAlpha->setText(QStringLiteral("I"));
    QImage stamp(32, 32, QImage::Format_ARGB32);
    f.SelX1 = 0, f.SelY1 = 0, f.SelX2 = 2, f.SelY2 = 1;
    for (int mode : {0, 1, 2, 3, 4, 5, 6, 7, 9}) {
        SCOPED_TRACE(mode);
        const int button = mode % 2 ? 1 : 2;
        std::map<ColorValue, QImage> drawn;
        for (ColorValue paint : {Green, vbTransparent}) {
            (button == 1 ? f.LeftColor : f.RightColor)->setBackColor(paint);
            f.Ikon->LineBox(0, 0, 31, 31, Red, true);
            // Paste's buffer stamps its clear pixels as the paint does.
            stamp.fill(paint == Green ? qRgb(0, 255, 0) : qRgba(0, 0, 0, 0));
            stamp.setPixel(1, 0, qRgb(0, 0, 255));
            f.picCap->setPicture(stamp);
            if (mode == 9) {
                f.DrawMode = Mode::Paste;
                f.grid_MouseUp(button, 0, cellMiddle(6), cellMiddle(6));
            } else {
                drag(mode, button, 6, 6, 9, 8);
            }
            drawn[paint] = f.Ikon->Image();
        }
        const PixelSet painted = pixelsOf(drawn[Green], Green);
        ASSERT_FALSE(painted.empty());
        EXPECT_EQ(clearOf(drawn[vbTransparent]), painted);
        for (const auto &[x, y] : painted)
            EXPECT_EQ(drawn[vbTransparent].pixel(x, y), clear.pixel(0, 0) & 0xFFFFFFu);
        EXPECT_EQ(pixelsOf(drawn[vbTransparent], Red), pixelsOf(drawn[Green], Red));
    }
}
