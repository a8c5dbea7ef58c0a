#include <QApplication>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

#include "support/pixels.h"
#include "toolkit/PictureBox.h"

namespace {

// A white surface without a border.
class Surface : public testing::Test
{
protected:
    void make(int w, int h, PictureBox::ScaleMode scale = PictureBox::ScaleMode::Pixels)
    {
        pic = std::make_unique<PictureBox>(nullptr, scale);
        pic->resize(w, h);
        pic->setBackColor(vbWhite);
    }
    PixelSet red() const { return pixelsOf(pic->Image(), Red); }
    std::unique_ptr<PictureBox> pic;
};

} // namespace

TEST_F(Surface, FollowsTheWidgetSizeEvenWhileHiddenAndPointReadsPlainRgbInsideIt)
{
    make(10, 6);
    pic->PSet(2, 3, Red);
    pic->setBorderStyle(1);
    pic->resize(20, 20);
    EXPECT_EQ(pic->Image().size(), QSize(18, 18));
    EXPECT_EQ(red(), PixelSet({{2, 3}}));
    EXPECT_EQ(pic->Point(17, 17), int32_t(vbWhite));
    for (const auto &[x, y] : {std::pair(-1.0, 0.0), {18.0, 0.0}, {0.0, 18.0}, {0.0, 1e12}})
        EXPECT_EQ(pic->Point(x, y), -1);
    // A box of no height has nothing to paint on.
    pic->resize(20, 2);
    EXPECT_TRUE(pic->Image().isNull());
    pic->resize(20, 20);
    EXPECT_EQ(red(), PixelSet({{2, 3}}));
}

TEST_F(Surface, BoxLineAndCircleTakeTheSurfaceScaleBoxesTheirCornersInEitherOrder)
{
    make(10, 10);
    pic->FillColor = Green;
    pic->LineBox(6, 5, 2, 3, Red, false);
    EXPECT_EQ(red(), minus(box(2, 3, 6, 5), box(3, 4, 5, 4)));
    EXPECT_TRUE(pixelsOf(pic->Image(), Green).empty());
    EXPECT_EQ(std::pair(pic->CurrentX, pic->CurrentY), std::pair(2.0, 3.0));

    pic->FillStyle = PictureBox::vbFSSolid;
    pic->LineBox(2, 3, 6, 5, Red, false);
    EXPECT_EQ(pixelsOf(pic->Image(), Green), box(3, 4, 5, 4));
    pic->LineBox(2, 3, 6, 5, Red, true);
    EXPECT_EQ(red(), box(2, 3, 6, 5));
    pic->LineBox(-1e300, NaN, Inf, 1e300, Red, true);

    // In twips a box covers the pixels inside its range.
    make(12, 12, PictureBox::ScaleMode::Twips);
    pic->LineBox(10, 10, 130, 130, Red, true);
    EXPECT_EQ(red(), box(1, 1, 8, 8));
    // No multiple of 15 lies within 1..14.
    pic->Cls();
    pic->LineBox(1, 1, 14, 14, Red, true);
    EXPECT_TRUE(red().empty());
    // So is the point a fill starts from.
    pic->LineBox(15, 15, 75, 75, Green, false);
    pic->FillColor = Red;
    pic->ExtFloodFill(45, 45, vbWhite);
    EXPECT_EQ(red(), box(2, 2, 4, 4));

    // Lines and circles take the surface scale too and move the current point.
    make(9, 9, PictureBox::ScaleMode::Twips);
    pic->Line(60, 60, 15, 30, Red);
    EXPECT_EQ(red(), (PixelSet{{4, 4}, {3, 3}, {2, 3}}));
    EXPECT_EQ(std::pair(pic->CurrentX, pic->CurrentY), std::pair(15.0, 30.0));

    // The radius too is in twips, whatever its sign; a solid FillStyle fills the inside.
    pic->Cls();
    pic->FillStyle = PictureBox::vbFSSolid;
    pic->FillColor = Green;
    pic->Circle(60, 45, -30, Red);
    EXPECT_EQ(pixelsOf(pic->Image(), Green), box(3, 2, 5, 4));
    EXPECT_EQ(std::pair(pic->CurrentX, pic->CurrentY), std::pair(60.0, 45.0));
    pic->Circle(1e300, NaN, Inf, Green);
}

TEST_F(Surface, PrintDrawsLettersOnlyAndMovesToTheNextLine)
{
    make(80, 40);
    pic->ForeColor = Red;
    pic->Font = QFont(QStringLiteral("DejaVu Sans"), 12);
    pic->CurrentX = 3;
    pic->CurrentY = 2;
    const double w = pic->TextWidth(QStringLiteral("Hi"));
    const double h = pic->TextHeight(QStringLiteral("Hi"));
    pic->Print(QStringLiteral("Hi"));
    const PixelSet ink = red();
    ASSERT_FALSE(ink.empty());
    // No antialiasing and no background: every other pixel is still white.
    EXPECT_EQ(ink.size() + pixelsOf(pic->Image(), vbWhite).size(), 80u * 40u);
    EXPECT_EQ(minus(ink, box(3, 2, int(std::ceil(3 + w)) - 1, int(std::ceil(2 + h)) - 1)),
              PixelSet());
    EXPECT_EQ(std::pair(pic->CurrentX, pic->CurrentY), std::pair(0.0, 2 + h));
}

TEST_F(Surface, PictureReplacesTheDrawingOverTheBackColorAndPaintPictureCopiesAClippedPart)
{
    make(8, 8);
    pic->setBorderStyle(1);
    pic->setBackColor(vbBlue);
    pic->PSet(5, 5, Red);
    QImage picture(4, 4, QImage::Format_ARGB32);
    picture.fill(qRgb(255, 0, 0));
    picture.setPixel(0, 0, qRgba(0, 0, 0, 0));
    // Shown before anything draws on it or reads it, the box paints what its surface then
    // holds, a picture larger than the box cut at its border.
    QImage large(12, 12, QImage::Format_RGB32);
    large.fill(qRgb(0, 255, 0));
    for (const QImage &each : {large, picture}) {
        pic->setPicture(each);
        const QImage shown = pic->grab().toImage();
        EXPECT_FALSE(pic->Image().isNull());
        EXPECT_EQ(pic->grab().toImage(), shown);
    }
    EXPECT_EQ(red(), minus(box(0, 0, 3, 3), {{0, 0}}));
    EXPECT_EQ(pic->Point(0, 0), int32_t(vbBlue));

    pic->AutoSize = true;
    pic->setPicture(picture.copy(0, 0, 3, 2));
    EXPECT_EQ(pic->size(), QSize(5, 4));
    EXPECT_EQ(red().size(), 5u);

    // PaintPicture copies a clipped rectangle.
    make(6, 6);
    QImage source(4, 4, QImage::Format_RGB32);
    for (const auto &[x, y] : box(0, 0, 3, 3))
        source.setPixel(x, y, qRgb(x, y, 9));
    // Source (1, 1)..(3, 3) to (-1, 4): source columns 2..3 and rows 1..2 land.
    pic->PaintPicture(source, -1, 4, 1, 1, 3, 3);
    const QRgb white = qRgb(255, 255, 255);
    for (const auto &[x, y] : box(0, 0, 5, 5))
        EXPECT_EQ(pic->Image().pixel(x, y), x < 2 && y > 3 ? qRgb(x + 2, y - 3, 9) : white)
            << x << "," << y;

    // A source rectangle reaching outside the source is cut to it.
    pic->Cls();
    pic->PaintPicture(source, 2, 2, -2, 3, 10, 10);
    for (const auto &[x, y] : box(0, 0, 5, 5))
        EXPECT_EQ(pic->Image().pixel(x, y), x > 3 && y == 2 ? qRgb(x - 4, 3, 9) : white)
            << x << "," << y;
    pic->PaintPicture(source, 1e300, -1e300, 0, 0, 4, 4);
}

TEST_F(Surface, KeepingTransparencyKeepsAlphaOnlyWhatIsDrawnTurnsOpaqueElseTheBackOrACheckerShows)
{
    // Transparent all over but for a red pixel and a half-covered blue one.
    QImage picture(10, 10, QImage::Format_ARGB32);
    picture.fill(qRgba(1, 2, 3, 0));
    picture.setPixel(1, 1, qRgb(255, 0, 0));
    picture.setPixel(2, 1, qRgba(0, 0, 255, 128));
    make(12, 12);
    pic->setBorderStyle(1);
    pic->setKeepsTransparency(true);
    pic->setPicture(picture);
    constexpr QRgb Clear = 0x00FFFFFF; // transparent, in the white back colour
    constexpr QRgb Half = qRgba(0, 0, 255, 128);
    EXPECT_EQ(pic->Point(0, 0), int32_t(vbWhite));

    // A snapshot comes back whole, also through a shrink and a grow.
    const QImage snapshot = pic->Image();
    pic->LineBox(0, 0, 9, 9, Green, true);
    pic->setPicture(snapshot);
    pic->resize(5, 5);
    pic->resize(12, 12);
    EXPECT_EQ(pic->Image(), snapshot);

    pic->PSet(0, 0, vbWhite); // white on white is still painted
    pic->LineBox(3, 3, 4, 4, Green, true);
    // A copy keeps the source's alpha; its clear pixels take the back colour's RGB.
    QImage dot(2, 1, QImage::Format_ARGB32);
    dot.setPixel(0, 0, qRgb(0, 0, 0));
    dot.setPixel(1, 0, qRgba(9, 9, 9, 0));
    pic->PaintPicture(dot, 6, 0, 0, 0, 2, 1);
    pic->ForeColor = Red;
    pic->Font = QFont(QStringLiteral("DejaVu Sans"), 7);
    pic->CurrentX = 1;
    pic->CurrentY = 4;
    pic->Print(QStringLiteral("I"));
    const PixelSet ink = minus(red(), {{1, 1}});
    ASSERT_FALSE(ink.empty());
    PixelSet painted = box(3, 3, 4, 4);
    painted.insert(ink.begin(), ink.end());
    painted.insert({{0, 0}, {1, 1}, {6, 0}});
    for (const auto &[x, y] : minus(box(0, 0, 9, 9), {{2, 1}})) {
        const QRgb p = pic->Image().pixel(x, y);
        EXPECT_TRUE(painted.count({x, y}) ? qAlpha(p) == 255 : p == Clear) << x << "," << y;
    }
    EXPECT_EQ(pic->Image().pixel(2, 1), Half);

    // Filling the background's colour fills its transparent pixels too, opaque.
    pic->FillColor = vbWhite;
    pic->ExtFloodFill(9, 9, vbWhite);
    for (const auto &[x, y] : minus(box(0, 0, 9, 9), {{2, 1}}))
        EXPECT_EQ(qAlpha(pic->Image().pixel(x, y)), 255);
    EXPECT_EQ(pic->Point(9, 9), int32_t(vbWhite));

    // A box that keeps no transparency shows its back colour instead; one whose back colour is
    // the transparent paint, a grey-and-white checkerboard.
    make(12, 12);
    pic->PSet(1, 1, vbTransparent);
    EXPECT_EQ(pic->Image().pixel(1, 1), 0xFFFFFFFFu);
    pic->setBackColor(vbTransparent);
    const QImage shown = pic->grab().toImage();
    EXPECT_EQ(shown.pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(shown.pixel(4, 0), qRgb(192, 192, 192));
    EXPECT_EQ(shown.pixel(4, 4), 0xFFFFFFFFu);
}

TEST(PictureBoxMouse, TranslatesButtonsShiftAndTwips)
{
    QWidget window;
    auto *pic = new PictureBox(&window);
    pic->setGeometry(10, 10, 40, 40);
    pic->setBorderStyle(1);
    std::vector<std::tuple<char, int, int, double, double>> calls;
    int clicks = 0;
    auto record = [&calls](char k) {
        return [&calls, k](int b, int s, double x, double y) { calls.emplace_back(k, b, s, x, y); };
    };
    pic->MouseDown = record('d');
    pic->MouseMove = record('m');
    pic->MouseUp = record('u');
    pic->Click = [&clicks] { ++clicks; };
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(pic->hasMouseTracking());

    QTest::mousePress(pic, Qt::RightButton, Qt::ShiftModifier | Qt::AltModifier, QPoint(5, 7));
    QTest::mouseRelease(pic, Qt::RightButton, Qt::ControlModifier, QPoint(5, 7));
    EXPECT_EQ(clicks, 0);
    // The back and forward buttons have no code and are not told; the middle one is 4.
    for (Qt::MouseButton b : {Qt::BackButton, Qt::ForwardButton, Qt::MiddleButton}) {
        QTest::mousePress(pic, b, {}, QPoint(3, 3));
        QTest::mouseRelease(pic, b, {}, QPoint(3, 3));
    }
    QTest::mousePress(pic, Qt::LeftButton, {}, QPoint(1, 1));
    // Held buttons outside the control, as the implicit grab reports them.
    QMouseEvent drag(QEvent::MouseMove, QPointF(-3, 2), pic->mapToGlobal(QPointF(-3, 2)),
                     Qt::NoButton, Qt::LeftButton | Qt::MiddleButton, Qt::ControlModifier);
    QApplication::sendEvent(pic, &drag);
    QTest::mouseRelease(pic, Qt::LeftButton, {}, QPoint(2, 3));

    std::erase_if(calls, [](const auto &c) { return std::get<0>(c) == 'm' && !std::get<1>(c); });
    const decltype(calls) expected{
        {'d', 2, 5, 60, 90}, {'u', 2, 2, 60, 90},  {'d', 4, 0, 30, 30}, {'u', 4, 0, 30, 30},
        {'d', 1, 0, 0, 0},   {'m', 5, 2, -60, 15}, {'u', 1, 0, 15, 30},
    };
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(clicks, 1);
}

TEST_F(Surface, BandsAreDrawnOverItOnlyWhileVisible)
{
    make(20, 20);
    auto *rect = new Shape(pic.get(), Shape::Rectangle, Red);
    LineShape line(pic.get(), Green);
    rect->setLeft(2);
    rect->setTop(3);
    rect->setWidth(5);
    rect->setHeight(4);
    line.setPoints(0, 15, 19, 15);
    EXPECT_TRUE(pixelsOf(pic->grab().toImage(), Red).empty());

    rect->setVisible(true);
    line.setVisible(true);
    const QImage shown = pic->grab().toImage();
    EXPECT_EQ(pixelsOf(shown, Red), minus(box(2, 3, 6, 6), box(3, 4, 5, 5)));
    EXPECT_EQ(pixelsOf(shown, Green).size(), 20u);
    EXPECT_EQ(pixelsOf(pic->Image(), vbWhite).size(), 400u);

    delete rect;
    EXPECT_TRUE(pixelsOf(pic->grab().toImage(), Red).empty());
}
