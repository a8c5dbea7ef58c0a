#include <QImage>
#include <climits>
#include <gtest/gtest.h>

#include "support/pixels.h"
#include "toolkit/Raster.h"

namespace {

constexpr QRgb red = qRgb(255, 0, 0);
constexpr QRgb green = qRgb(0, 255, 0);

QImage white(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

TEST(RasterBox, IncludesBothCornersAndIsCutToTheImage)
{
    // Corners the wrong way round make an empty box.
    QImage image = white(10, 10);
    Raster::fillBox(image, 6, 3, 2, 5, red);
    Raster::outlineBox(image, 2, 5, 6, 3, red);
    EXPECT_TRUE(pixelsOf(image, Red).empty());
    Raster::outlineBox(image, -3, 2, 3, 100, red);
    EXPECT_EQ(pixelsOf(image, Red), minus(box(0, 2, 3, 9), box(0, 3, 2, 9)));
    Raster::fillBox(image, INT_MIN, INT_MIN, INT_MAX, INT_MAX, green);
    EXPECT_EQ(pixelsOf(image, Green).size(), 100u);
}

TEST(RasterLine, LeavesOutItsLastPixelAndFromFarOutsideIsClippedNotWalked)
{
    // Steep: one pixel per row, the nearest to the true line. From far outside: clipped, not
    // walked; ends that are not finite count as 0.
    PixelSet diagonal;
    for (int i = 0; i < 16; ++i)
        diagonal.insert({i, i});
    const std::tuple<int, double, double, double, double, PixelSet> lines[] = {
        {10, 3, 3, 3, 3, {}},
        {10, 2, 0, 5, 7, {{2, 0}, {2, 1}, {3, 2}, {3, 3}, {4, 4}, {4, 5}, {5, 6}}},
        {16, -1e9, 5, 1e9, 5, box(0, 5, 15, 5)},
        {16, -1e15, -1e15, 1e15, 1e15, diagonal},
        {16, -1e308, 3, 1e308, 3, box(0, 3, 15, 3)},
        {16, NaN, 1e308, -1e308, Inf, {}},
    };
    for (const auto &[side, x1, y1, x2, y2, drawn] : lines) {
        QImage image = white(side, side);
        Raster::line(image, x1, y1, x2, y2, red);
        EXPECT_EQ(pixelsOf(image, Red), drawn) << x1 << "," << y1 << " to " << x2 << "," << y2;
    }
}

TEST(RasterCircle, OfRadiusZeroOneAndTwoIsSymmetricClippedAndBounded)
{
    // Radius 0 is the centre alone; radius 1 leaves out a centre that has no neighbour outside.
    QImage image = white(9, 9);
    Raster::circle(image, 1, 2, 0, red);
    Raster::circle(image, 4, 4, 1, red);
    EXPECT_EQ(pixelsOf(image, Red), (PixelSet{{1, 2}, {3, 4}, {5, 4}, {4, 3}, {4, 5}}));

    // r 2: the 21 pixels with dx*dx + dy*dy < 6; the 3x3 core has no neighbour outside.
    PixelSet disc;
    for (const auto &[x, y] : box(0, 0, 8, 8))
        if ((x - 4) * (x - 4) + (y - 4) * (y - 4) < 6)
            disc.insert({x, y});
    image = white(9, 9);
    Raster::circle(image, 4, 4, 2, red);
    EXPECT_EQ(pixelsOf(image, Red), minus(disc, box(3, 3, 5, 5)));

    image = white(21, 21);
    Raster::circle(image, 10, 10, 5.5, red);
    const PixelSet ring = pixelsOf(image, Red);
    EXPECT_TRUE(ring.count({15, 10}));
    EXPECT_FALSE(ring.count({16, 10}));

    Raster::circle(image, 4, 4, 1e12, red, red);
    EXPECT_EQ(pixelsOf(image, Red).size(), 441u);
    Raster::circle(image, INT_MIN, 10, 1e300, green, green);
    Raster::circle(image, INT_MAX, INT_MIN, Inf, green);
    EXPECT_TRUE(pixelsOf(image, Green).empty());
}

TEST(RasterFloodFill, StaysFourConnectedAndFillsTheWholeCanvasAndAWindingCorridor)
{
    // A diagonal wall: the two triangles touch only at corners.
    QImage image = white(8, 8);
    for (int i = 0; i < 8; ++i)
        image.setPixel(i, i, qRgb(0, 0, 0));
    const QImage walled = image;
    EXPECT_EQ(Raster::floodFill(image, 7, 0, qRgb(255, 255, 255), qRgb(255, 0, 0)), 28);
    EXPECT_EQ(image.pixel(0, 7), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(1, 0), qRgb(255, 0, 0));

    image = walled;
    EXPECT_EQ(Raster::floodFill(image, 0, 0, qRgb(255, 255, 255), qRgb(255, 0, 0)), 0);
    EXPECT_EQ(Raster::floodFill(image, 1, 0, qRgb(255, 255, 255), qRgb(255, 255, 255)), 0);
    EXPECT_EQ(Raster::floodFill(image, 8, 0, qRgb(255, 255, 255), qRgb(255, 0, 0)), 0);
    EXPECT_EQ(image, walled);

    image = white(32, 32);
    EXPECT_EQ(Raster::floodFill(image, 31, 31, qRgb(255, 255, 255), qRgb(0, 0, 255)), 1024);
    EXPECT_EQ(pixelsOf(image, vbBlue).size(), 1024u);

    // Walls on odd rows with a gap alternately at the right and left end.
    image.fill(Qt::white);
    for (int y = 1; y < 32; y += 2)
        for (int x = 0; x < 32; ++x)
            if (x != (y % 4 == 1 ? 31 : 0))
                image.setPixel(x, y, qRgb(0, 0, 0));
    EXPECT_EQ(Raster::floodFill(image, 0, 0, qRgb(255, 255, 255), qRgb(0, 255, 0)), 16 * 32 + 16);
}
