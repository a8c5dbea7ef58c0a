#include <QBuffer>
#include <QImageReader>
#include <gtest/gtest.h>

#include "formats/IconDecode.h"
#include "formats/IconSet.h"
#include "formats/QtBridge.h"

namespace {

Pixels filled(int side, std::uint32_t argb)
{
    return Pixels{side, side, std::vector<std::uint32_t>(std::size_t(side) * side, argb)};
}

} // namespace

TEST(IconSet, WritesLargestFirstEachAsEveryReaderTakesIt)
{
    Pixels small = filled(16, 0xFF20A040);
    small.argb[0] = 0;          // clear: its mask bit is set
    small.argb[1] = 0x80FF0000; // half: kept as it is
    const auto ico = writeIconSet({small, filled(256, 0xFF0000FF), filled(48, 0x40102030)});
    ASSERT_TRUE(ico);
    const auto entries = readIconDirectory(*ico);
    ASSERT_TRUE(entries && entries->size() == 3);
    EXPECT_EQ((*entries)[0].width, 256);
    EXPECT_EQ((*entries)[1].width, 48);
    EXPECT_EQ((*entries)[2].width, 16);
    EXPECT_EQ(ico->substr((*entries)[0].imageOffset, 4), "\x89PNG");
    const auto back = decodeIconPixels(ico->substr((*entries)[2].imageOffset));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bitCount, 32);
    EXPECT_EQ(back->color.at(0, 0) >> 24, 0u);
    EXPECT_EQ(back->color.at(1, 0), 0x80FF0000u);
    EXPECT_EQ(back->color.at(15, 15), 0xFF20A040u);
    // The mask follows the colours, 4 bytes a row, bottom row first: the top left is its last row.
    EXPECT_EQ(uint8_t(ico->at((*entries)[2].imageOffset + 40 + 16 * 16 * 4 + 15 * 4)), 0x80);

    // Qt's own reader takes every image.
    QBuffer buffer;
    buffer.setData(toByteArray(*ico));
    QImageReader reader(&buffer, "ico");
    EXPECT_EQ(reader.imageCount(), 3);
    const QImage first = reader.read();
    EXPECT_EQ(first.size(), QSize(256, 256));
    EXPECT_EQ(first.pixel(100, 100), 0xFF0000FFu);
}

TEST(IconSet, RefusesWhatAnIconDirectoryCannotName)
{
    FormatError error;
    EXPECT_FALSE(writeIconSet({filled(32, 1), filled(32, 2)}, &error));
    EXPECT_EQ(error.message, "Two images of 32 x 32 pixels.");
    EXPECT_FALSE(writeIconSet({filled(257, 1)}, &error));
    EXPECT_EQ(error.message, "An icon image must be 1 to 256 pixels a side.");
    EXPECT_FALSE(writeIconSet({Pixels{}}));
    EXPECT_FALSE(writeIconSet({}));
}

TEST(IconSet, MissingSizesComeFromTheNearestLargerImageElseTheLargest)
{
    const std::vector<Pixels> made =
        completedSet({filled(16, 0xFFFF0000), filled(48, 0xFF0000FF)}, {16, 24, 8, 96});
    ASSERT_EQ(made.size(), 5u);
    EXPECT_EQ(made[2].width, 24);
    EXPECT_EQ(made[2].at(5, 5), 0xFF0000FFu); // from 48, not from 16
    EXPECT_EQ(made[3].width, 8);
    EXPECT_EQ(made[3].at(5, 5), 0xFFFF0000u); // from 16, the nearest larger
    EXPECT_EQ(made[4].width, 96);
    EXPECT_EQ(made[4].at(5, 5), 0xFF0000FFu); // the largest, scaled up
    EXPECT_TRUE(completedSet({}, {16}).empty());
}

TEST(IconSet, BitmapFilesKeepEveryPixel)
{
    Pixels image = filled(3, 0xFF112233);
    image.argb[2] = 0xFFAABBCC; // top right
    const QImage back = QImage::fromData(toByteArray(encodeBitmapFile(image)), "BMP");
    ASSERT_EQ(back.size(), QSize(3, 3));
    EXPECT_EQ(back.pixel(2, 0) & 0xFFFFFFu, 0xAABBCCu);
    EXPECT_EQ(back.pixel(0, 2) & 0xFFFFFFu, 0x112233u);
    EXPECT_TRUE(encodeBitmapFile(Pixels{}).empty());
}
