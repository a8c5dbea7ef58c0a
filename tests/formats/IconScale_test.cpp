#include <gtest/gtest.h>

#include <QImage>

#include "formats/IconScale.h"
#include "formats/PixelImage.h"

namespace {

Pixels row(std::vector<std::uint32_t> argb)
{
    return Pixels{int(argb.size()), 1, std::move(argb)};
}

std::uint32_t red(std::uint32_t level)
{
    return 0xFF000000u | level << 16;
}

} // namespace

TEST(ScaledPixels, WholeFactorsRepeatEveryPixelAsABlockOthersAverageTheArea)
{
    const Pixels source{2, 2, {0xFF112233, 0x80445566, 0x00000000, 0xFFFFFFFF}};
    const Pixels big = scaledPixels(source, 4, 6);
    ASSERT_TRUE(big.valid());
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(big.at(x, y), source.at(x / 2, y / 3)) << x << "," << y;
    EXPECT_EQ(scaledPixels(source, 2, 2).argb, source.argb);

    // Other sizes average the area each pixel covers.
    // Halving, and thirds: 3 -> 2 takes one pixel and half the next for each.
    EXPECT_EQ(scaledPixels(row({red(10), red(20), red(30), red(40)}), 2, 1).argb,
              (std::vector{red(15), red(35)}));
    EXPECT_EQ(scaledPixels(row({red(0), red(90), red(180)}), 2, 1).argb,
              (std::vector{red(30), red(150)}));
    // 2 -> 3 is no whole factor: the middle pixel straddles both.
    EXPECT_EQ(scaledPixels(row({red(0), red(255)}), 3, 1).argb,
              (std::vector{red(0), red(128), red(255)}));
    const Pixels column{1, 4, {red(0), red(0), red(100), red(100)}};
    EXPECT_EQ(scaledPixels(column, 1, 2).argb, (std::vector{red(0), red(100)}));
    // Blocks of 2 x 2 with every channel its own: two opaque side by side; half clear; alpha 1,
    // which rounds away; alpha 2, which keeps its colour; clear.
    const Pixels blocks{6, 4, {0xFF0A64C8, 0xFF146ED2, 0xFFFF8000, 0xFF10FF00, 0xFFFF0000,
                               0,          0xFF1E78DC, 0xFF2983E7, 0xFF2000FF, 0xFF000000,
                               0,          0xFFFF0000, 0x01FFFFFF, 0x00FFFFFF, 0x02123456,
                               0,          0,          0,          0,          0x00ABCDEF,
                               0,          0,          0,          0}};
    const std::vector<std::uint32_t> means{0xFF1973D7, 0xFF4C6040, 0x80FF0000, 0, 0x01123456, 0};
    EXPECT_EQ(scaledPixels(blocks, 3, 2).argb, means);
    // The same from PNG's byte order, red and blue swapped, as a thumbnail reads its rows.
    BlockShrink fromPng(6, 4, 3, 2, true);
    std::vector<std::uint32_t> swapped = blocks.argb;
    for (auto &p : swapped)
        p = redBlueSwapped(p);
    for (int y = 0; y < 4; ++y)
        fromPng.add(swapped.data() + 6 * std::size_t(y));
    EXPECT_EQ(std::move(fromPng).result().argb, means);
}

TEST(ScaledPixels, ClearPixelsLendNoColourNoPixelsGiveNothingAndQtImagesGoThrough)
{
    const Pixels half = scaledPixels(row({0xFFFF0000, 0x00000000}), 1, 1);
    EXPECT_EQ(half.argb, std::vector<std::uint32_t>{0x80FF0000});
    // Halves round up, alpha (98 / 4) and colour (49 / 98) alike, where a quotient is exact.
    const Pixels faint{2, 2, {0x31000001, 0x31000000, 0, 0}};
    EXPECT_EQ(scaledPixels(faint, 1, 1).argb, std::vector<std::uint32_t>{0x19000001});
    EXPECT_EQ(scaledPixels(row({0, 0, 0}), 2, 1).argb, (std::vector<std::uint32_t>{0, 0}));
    // Nothing comes of no pixels.
    EXPECT_FALSE(scaledPixels(Pixels{}, 16, 16).valid());
    EXPECT_FALSE(scaledPixels(Pixels{2, 2, {1, 2, 3}}, 16, 16).valid());
    EXPECT_FALSE(scaledPixels(row({1}), 0, 16).valid());

    // Qt images go through unchanged.
    QImage image(3, 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(10, 20, 30, 128));
    image.setPixel(2, 1, qRgba(200, 100, 50, 255));
    const Pixels pixels = toPixels(image);
    ASSERT_TRUE(pixels.valid());
    EXPECT_EQ(pixels.at(2, 1), 0xFFC86432u);
    EXPECT_EQ(toImage(pixels), image.convertToFormat(QImage::Format_ARGB32));
    EXPECT_TRUE(toImage(Pixels{}).isNull());
}
