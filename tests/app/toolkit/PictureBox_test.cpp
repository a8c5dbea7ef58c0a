#include <QApplication>
#include <QPalette>
#include <QTest>
#include <gtest/gtest.h>
#include <set>

#include "app/toolkit/PictureBox.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;

constexpr ColorValue Red = RGB(255, 0, 0);
constexpr ColorValue Green = RGB(0, 255, 0);
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

Pixels pixelsOf(const QImage &image, ColorValue c)
{
    Pixels out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (fromQRgb(image.pixel(x, y)) == c)
                out.insert({x, y});
    return out;
}

Pixels box(int x1, int y1, int x2, int y2)
{
    Pixels out;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            out.insert({x, y});
    return out;
}

Pixels minus(Pixels a, const Pixels &b)
{
    for (const auto &p : b)
        a.erase(p);
    return a;
}

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
    Pixels red() const { return pixelsOf(pic->Image(), Red); }
    std::unique_ptr<PictureBox> pic;
};

} // namespace

TEST_F(Surface, FollowsTheWidgetSizeEvenWhileHidden)
{
    make(10, 6);
    pic->PSet(2, 3, Red);
    pic->setBorderStyle(1);
    pic->resize(20, 20);
    EXPECT_EQ(pic->Image().size(), QSize(18, 18));
    EXPECT_EQ(red(), Pixels({{2, 3}}));
    EXPECT_EQ(pic->Point(17, 17), int32_t(vbWhite));

    // A box of no height has nothing to paint on, and says nothing about it.
    static int warnings;
    warnings = 0;
    const QtMessageHandler before =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &) {
            warnings += type == QtWarningMsg;
        });
    pic->resize(20, 2);
    EXPECT_TRUE(pic->Image().isNull());
    pic->resize(20, 20);
    qInstallMessageHandler(before);
    EXPECT_EQ(warnings, 0);
    EXPECT_EQ(red(), Pixels({{2, 3}}));
}

TEST_F(Surface, BoxIncludesBothCornersAndFillsByStyle)
{
    make(10, 10);
    pic->FillColor = Green;
    pic->LineBox(6, 5, 2, 3, Red, false);
    EXPECT_EQ(red(), minus(box(2, 3, 6, 5), box(3, 4, 5, 4)));
    EXPECT_TRUE(pixelsOf(pic->Image(), Green).empty());

    pic->FillStyle = PictureBox::vbFSSolid;
    pic->LineBox(2, 3, 6, 5, Red, false);
    EXPECT_EQ(pixelsOf(pic->Image(), Green), box(3, 4, 5, 4));
    pic->LineBox(2, 3, 6, 5, Red, true);
    EXPECT_EQ(red(), box(2, 3, 6, 5));

    pic->Cls();
    pic->LineBox(-3, 2, 3, 100, Red, false);
    EXPECT_EQ(red(), minus(box(0, 2, 3, 9), box(0, 3, 2, 9)));
    pic->LineBox(-1e300, NaN, Inf, 1e300, Red, true);
}

TEST_F(Surface, BoxInTwipsCoversThePixelsInsideItsRange)
{
    make(12, 12, PictureBox::ScaleMode::Twips);
    pic->LineBox(10, 10, 130, 130, Red, true);
    EXPECT_EQ(red(), box(1, 1, 8, 8));
    pic->Cls();
    pic->LineBox(0, 0, 15, 15, Red, true);
    EXPECT_EQ(red(), box(0, 0, 1, 1));
    // No multiple of 15 lies within 1..14.
    pic->Cls();
    pic->LineBox(1, 1, 14, 14, Red, true);
    EXPECT_TRUE(red().empty());
}

TEST_F(Surface, LineLeavesOutItsLastPixel)
{
    make(10, 10);
    pic->Line(4, 4, 0, 0, Red);
    EXPECT_EQ(red(), (Pixels{{4, 4}, {3, 3}, {2, 2}, {1, 1}}));
    EXPECT_EQ(pic->CurrentX, 0);
    pic->Cls();
    pic->Line(3, 3, 3, 3, Red);
    EXPECT_TRUE(red().empty());

    // Steep: one pixel per row, 8-connected.
    pic->Line(2, 0, 5, 7, Red);
    const Pixels line = red();
    ASSERT_EQ(line.size(), 7u);
    EXPECT_TRUE(line.count({2, 0}));
    for (auto [x, y] : line) {
        EXPECT_LT(y, 7);
        if (y > 0) {
            EXPECT_TRUE(line.count({x, y - 1}) || line.count({x - 1, y - 1}));
        }
    }
}

TEST_F(Surface, LineFromFarOutsideIsClippedNotWalked)
{
    make(16, 16);
    pic->Line(-1e9, 5, 1e9, 5, Red);
    EXPECT_EQ(red(), box(0, 5, 15, 5));
    pic->Cls();
    pic->Line(-1e15, -1e15, 1e15, 1e15, Red);
    EXPECT_EQ(red().size(), 16u);
    EXPECT_TRUE(red().count({15, 15}));
    pic->Cls();
    pic->Line(-1e308, 3, 1e308, 3, Red);
    pic->Line(NaN, 1e308, -1e308, Inf, Red);
    EXPECT_EQ(red(), box(0, 3, 15, 3));
}

TEST_F(Surface, CircleOfRadiusZeroOneAndTwo)
{
    make(9, 9);
    pic->Circle(1, 1, 0, Red);
    EXPECT_EQ(red(), Pixels({{1, 1}}));
    pic->Cls();
    pic->Circle(4, 4, 1, Red);
    EXPECT_EQ(red(), (Pixels{{3, 4}, {5, 4}, {4, 3}, {4, 5}}));

    // r 2: the 21 pixels with dx*dx + dy*dy < 6; the 3x3 core has no neighbour outside.
    Pixels disc;
    for (const auto &[x, y] : box(0, 0, 8, 8))
        if ((x - 4) * (x - 4) + (y - 4) * (y - 4) < 6)
            disc.insert({x, y});
    pic->Cls();
    pic->Circle(4, 4, 2, Red);
    EXPECT_EQ(red(), minus(disc, box(3, 3, 5, 5)));
    pic->FillStyle = PictureBox::vbFSSolid;
    pic->FillColor = Green;
    pic->Circle(4, 4, 2, Red);
    EXPECT_EQ(pixelsOf(pic->Image(), Green), box(3, 3, 5, 5));

    // The radius is in the surface's scale.
    PictureBox twips(nullptr, PictureBox::ScaleMode::Twips);
    twips.resize(9, 9);
    twips.setBackColor(vbWhite);
    twips.Circle(60, 60, 15, Red);
    EXPECT_EQ(pixelsOf(twips.Image(), Red), (Pixels{{3, 4}, {5, 4}, {4, 3}, {4, 5}}));
}

TEST_F(Surface, CircleIsSymmetricClippedAndBounded)
{
    make(21, 21);
    pic->Circle(10, 10, 5.5, Red);
    const Pixels ring = red();
    for (auto [x, y] : ring) {
        EXPECT_TRUE(ring.count({20 - x, y}));
        EXPECT_TRUE(ring.count({x, 20 - y}));
        EXPECT_TRUE(ring.count({y, x}));
    }
    EXPECT_TRUE(ring.count({15, 10}));
    EXPECT_FALSE(ring.count({16, 10}));

    pic->FillStyle = PictureBox::vbFSSolid;
    pic->FillColor = Red;
    pic->Circle(4, 4, 1e12, Red);
    EXPECT_EQ(red().size(), 441u);
    pic->Circle(1e300, NaN, Inf, Green);
}

TEST_F(Surface, PointReadsPlainRgb)
{
    make(4, 4);
    pic->PSet(1, 2, vbWindowBackground);
    const QRgb base = QApplication::palette().color(QPalette::Base).rgb();
    EXPECT_EQ(pic->Point(1, 2), int32_t(fromQRgb(base)));
    EXPECT_EQ(pic->Point(-1, 0), -1);
    EXPECT_EQ(pic->Point(4, 0), -1);
    EXPECT_EQ(pic->Point(0, 1e12), -1);
}

TEST(FloodFill, StaysFourConnected)
{
    // A diagonal wall: the two triangles touch only at corners.
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int i = 0; i < 8; ++i)
        image.setPixel(i, i, qRgb(0, 0, 0));
    const QImage walled = image;
    EXPECT_EQ(floodFillSurface(image, 7, 0, qRgb(255, 255, 255), qRgb(255, 0, 0)), 28);
    EXPECT_EQ(image.pixel(0, 7), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(1, 0), qRgb(255, 0, 0));

    image = walled;
    EXPECT_EQ(floodFillSurface(image, 0, 0, qRgb(255, 255, 255), qRgb(255, 0, 0)), 0);
    EXPECT_EQ(floodFillSurface(image, 1, 0, qRgb(255, 255, 255), qRgb(255, 255, 255)), 0);
    EXPECT_EQ(floodFillSurface(image, 8, 0, qRgb(255, 255, 255), qRgb(255, 0, 0)), 0);
    EXPECT_EQ(image, walled);
}

TEST(FloodFill, WholeCanvasAndWindingCorridor)
{
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(Qt::white);
    EXPECT_EQ(floodFillSurface(image, 31, 31, qRgb(255, 255, 255), qRgb(0, 0, 255)), 1024);
    EXPECT_EQ(pixelsOf(image, vbBlue).size(), 1024u);

    // Walls on odd rows with a gap alternately at the right and left end.
    image.fill(Qt::white);
    for (int y = 1; y < 32; y += 2)
        for (int x = 0; x < 32; ++x)
            if (x != (y % 4 == 1 ? 31 : 0))
                image.setPixel(x, y, qRgb(0, 0, 0));
    EXPECT_EQ(floodFillSurface(image, 0, 0, qRgb(255, 255, 255), qRgb(0, 255, 0)), 16 * 32 + 16);
}

TEST_F(Surface, ExtFloodFillUsesFillColorAtAPoint)
{
    make(10, 10, PictureBox::ScaleMode::Twips);
    pic->LineBox(15, 15, 75, 75, Green, false);
    pic->FillColor = Red;
    pic->ExtFloodFill(45, 45, vbWhite);
    EXPECT_EQ(red(), box(2, 2, 4, 4));
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
    const Pixels ink = red();
    ASSERT_FALSE(ink.empty());
    // No antialiasing and no background: every other pixel is still white.
    EXPECT_EQ(ink.size() + pixelsOf(pic->Image(), vbWhite).size(), 80u * 40u);
    for (auto [x, y] : ink) {
        EXPECT_TRUE(x >= 3 && x < 3 + w);
        EXPECT_TRUE(y >= 2 && y < 2 + h);
    }
    EXPECT_EQ(pic->CurrentX, 0);
    EXPECT_EQ(pic->CurrentY, 2 + h);
}

TEST_F(Surface, PictureReplacesTheDrawingOverTheBackColor)
{
    make(8, 8);
    pic->setBorderStyle(1);
    pic->setBackColor(vbBlue);
    pic->PSet(5, 5, Red);
    QImage picture(4, 4, QImage::Format_ARGB32);
    picture.fill(qRgb(255, 0, 0));
    picture.setPixel(0, 0, qRgba(0, 0, 0, 0));
    pic->setPicture(picture);
    EXPECT_EQ(red(), minus(box(0, 0, 3, 3), {{0, 0}}));
    EXPECT_EQ(pic->Point(0, 0), int32_t(vbBlue));

    pic->AutoSize = true;
    pic->setPicture(picture.copy(0, 0, 3, 2));
    EXPECT_EQ(pic->size(), QSize(5, 4));
    EXPECT_EQ(red().size(), 5u);
}

TEST_F(Surface, PaintPictureCopiesAClippedRectangle)
{
    make(6, 6);
    QImage source(4, 4, QImage::Format_RGB32);
    for (const auto &[x, y] : box(0, 0, 3, 3))
        source.setPixel(x, y, qRgb(x, y, 9));
    // Source (1, 1)..(3, 3) to (-1, 4): source columns 2..3 and rows 1..2 land.
    pic->PaintPicture(source, -1, 4, 1, 1, 3, 3);
    Pixels painted;
    for (const auto &[x, y] : box(0, 0, 5, 5))
        if (qBlue(pic->Image().pixel(x, y)) == 9) {
            painted.insert({x, y});
            EXPECT_EQ(pic->Image().pixel(x, y), qRgb(x + 2, y - 3, 9));
        }
    EXPECT_EQ(painted, box(0, 4, 1, 5));

    // A source rectangle reaching outside the source is cut to it.
    pic->Cls();
    pic->PaintPicture(source, 2, 2, -2, 3, 10, 10);
    EXPECT_EQ(pic->Image().pixel(4, 2), qRgb(0, 3, 9));
    EXPECT_EQ(pic->Point(2, 2), int32_t(vbWhite));
    EXPECT_EQ(pic->Point(4, 3), int32_t(vbWhite));
    pic->PaintPicture(source, 1e300, -1e300, 0, 0, 4, 4);
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

TEST(PictureBoxBands, AreDrawnOverTheSurfaceOnlyWhileVisible)
{
    PictureBox pic(nullptr, PictureBox::ScaleMode::Pixels);
    pic.resize(20, 20);
    pic.setBackColor(vbWhite);
    auto *rect = new Shape(&pic, Shape::Rectangle, Red);
    LineShape line(&pic, Green);
    rect->setLeft(2);
    rect->setTop(3);
    rect->setWidth(5);
    rect->setHeight(4);
    line.setPoints(0, 15, 19, 15);
    EXPECT_TRUE(pixelsOf(pic.grab().toImage(), Red).empty());

    rect->setVisible(true);
    line.setVisible(true);
    const QImage shown = pic.grab().toImage();
    EXPECT_EQ(pixelsOf(shown, Red), minus(box(2, 3, 6, 6), box(3, 4, 5, 5)));
    EXPECT_EQ(pixelsOf(shown, Green).size(), 20u);
    EXPECT_EQ(pixelsOf(pic.Image(), vbWhite).size(), 400u);

    delete rect;
    EXPECT_TRUE(pixelsOf(pic.grab().toImage(), Red).empty());
}
