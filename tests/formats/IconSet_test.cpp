#include <QBuffer>
#include <QImageReader>
#include <gtest/gtest.h>
#include <zlib.h>

#include "formats/IconDecode.h"
#include "formats/IconSet.h"
#include "formats/PictureLimits.h"
#include "formats/Png.h"
#include "formats/QtBridge.h"

namespace {

Pixels filled(int side, std::uint32_t argb)
{
    return Pixels{side, side, std::vector<std::uint32_t>(std::size_t(side) * side, argb)};
}

// An 8-bit PNG of `colour` (6: RGBA) of rows already filtered (each its filter byte, then the
// pixels' bytes), its stream less its last `cut` bytes.
std::string filteredPng(int width, int height, const std::string &rows, std::size_t cut = 0,
                        char colour = 6)
{
    uLongf size = compressBound(uLong(rows.size()));
    std::string packed(size, '\0');
    EXPECT_EQ(compress(reinterpret_cast<Bytef *>(packed.data()), &size,
                       reinterpret_cast<const Bytef *>(rows.data()), uLong(rows.size())),
              Z_OK);
    packed.resize(size - cut);
    std::string header;
    for (const int v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            header.push_back(char(v >> shift & 0xFF));
    header += std::string{'\x08', colour, '\0', '\0', '\0'};
    std::string png(kPngSignature);
    appendPngChunk(png, "IHDR", {header});
    appendPngChunk(png, "IDAT", {packed});
    appendPngChunk(png, "IEND", {});
    return png;
}

} // namespace

TEST(IconSet, WritesLargestFirstEachAsEveryReaderTakesItAndRefusesWhatNoEntryCanName)
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

    // What an icon directory cannot name.
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
    Pixels large = filled(32, 0xFF0000FF);
    large.argb[32 * 5 + 6] = 0x8000FF00; // (6, 5): an 8 x 8 block of the 256 enlargement
    const auto ico =
        writeCompletedIconSet({filled(16, 0xFFFF0000), large}, {16, 24, 8, 96, 8, 256});
    ASSERT_TRUE(ico);
    const auto entries = readIconDirectory(*ico);
    ASSERT_TRUE(entries && entries->size() == 6u);
    const auto pixel = [&](size_t entry, int x, int y) {
        const auto image = decodeIconPixels(ico->substr((*entries)[entry].imageOffset));
        return image ? image->color.at(x, y) : 0u;
    };
    EXPECT_EQ(pixel(0, 6 * 8, 5 * 8 + 7), 0x8000FF00u); // the largest, enlarged row by row
    EXPECT_EQ(pixel(0, 6 * 8 - 1, 5 * 8), 0xFF0000FFu);
    EXPECT_EQ(pixel(0, 6 * 8, 6 * 8), 0xFF0000FFu);
    EXPECT_EQ(pixel(1, 6 * 3, 5 * 3), 0x8000FF00u); // the largest, scaled up
    EXPECT_EQ(pixel(3, 20, 20), 0xFF0000FFu);       // from 32, not from 16
    EXPECT_EQ(pixel(5, 5, 5), 0xFFFF0000u);         // from 16, the nearest larger
    EXPECT_FALSE(writeCompletedIconSet({}, {16}));
}

TEST(IconSet, PngRowsUndoEveryFilterAsLibpngDoesAndRefuseWhatItRefuses)
{
    // Five pixels a row (one 16-byte block and one pixel over), and a 256-pixel image, which is
    // inflated at once; each row under the next filter, with bytes that wrap.
    for (const auto &size : {std::pair(5, 10), std::pair(256, 256)}) {
        const int width = size.first;
        const int height = size.second;
        std::string rows;
        for (int y = 0; y < height; ++y) {
            rows.push_back(char(y % 5));
            for (int i = 0; i < width * 4; ++i)
                rows.push_back(char((i * 2 + y) % 6 * 37));
        }
        const auto streamed = [width, height](const std::string &png) {
            std::vector<std::uint32_t> got;
            const bool read = decodePngRows(png, width, height, [&](const std::uint32_t *row) {
                for (int x = 0; x < width; ++x)
                    got.push_back(redBlueSwapped(row[x]));
            });
            return read ? std::optional(got) : std::nullopt;
        };
        const std::string png = filteredPng(width, height, rows);
        const QImage qt =
            QImage::fromData(toByteArray(png), "PNG").convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(qt.width(), width);
        std::vector<std::uint32_t> expected;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                expected.push_back(qt.pixel(x, y));
        // The stream's closing checksum is not checked, as libpng is told; such a stream is
        // read by the other of the two inflaters.
        std::string wrongSum = png;
        wrongSum[wrongSum.size() - 17] ^= 1;
        for (const std::string &each : {png, wrongSum}) {
            EXPECT_EQ(streamed(each), expected) << width;
            const auto whole = decodePngPixels(each, width, height);
            ASSERT_TRUE(whole);
            EXPECT_EQ(whole->argb, expected) << width;
        }
        // A few bytes more than the rows pass, as libpng lets them; a stream that inflates far
        // past its rows, one cut short and a filter PNG does not have are refused, grey ones too.
        const std::string grey(std::size_t(height) * (width + 1), '\0');
        const std::string flood(std::size_t(8) << 20, '\0');
        EXPECT_TRUE(decodePngPixels(filteredPng(width, height, rows + "\x01\x02"), width, height));
        EXPECT_TRUE(decodePngPixels(filteredPng(width, height, grey, 0, 0), width, height));
        std::string unknownFilter = rows;
        unknownFilter[3 * (std::size_t(width) * 4 + 1)] = 5;
        for (const std::string &bad :
             {filteredPng(width, height, rows, 12), filteredPng(width, height, unknownFilter),
              filteredPng(width, height, rows + flood),
              filteredPng(width, height, grey + flood, 0, 0)}) {
            EXPECT_FALSE(decodePngPixels(bad, width, height)) << width;
            EXPECT_FALSE(streamed(bad)) << width;
        }
    }
}

TEST(IconSet, BitmapAndPngFilesKeepEveryPixel)
{
    Pixels image = filled(3, 0xFF112233);
    image.argb[2] = 0xFFAABBCC; // top right
    const QImage back = QImage::fromData(toByteArray(encodeBitmapFile(image)), "BMP");
    ASSERT_EQ(back.size(), QSize(3, 3));
    EXPECT_EQ(back.pixel(2, 0) & 0xFFFFFFu, 0xAABBCCu);
    EXPECT_EQ(back.pixel(0, 2) & 0xFFFFFFu, 0x112233u);
    EXPECT_TRUE(encodeBitmapFile(Pixels{}).empty());

    // Rows that repeat the one above, one that differs from it only at its end, and bytes that
    // wrap when subtracted, as both our decoder and Qt's read them.
    Pixels wide{300, 4, std::vector<std::uint32_t>(1200)};
    for (std::size_t i = 0; i < wide.argb.size(); ++i)
        wide.argb[i] = i >= 600 ? wide.argb[i - 300] : std::uint32_t(i * 0x9E3779B1u);
    wide.argb.back() ^= 1;
    const std::string png = encodePng(wide);
    const auto ours = decodePngPixels(png, 300, 4);
    ASSERT_TRUE(ours);
    EXPECT_EQ(ours->argb, wide.argb);
    const QImage qt = QImage::fromData(toByteArray(png), "PNG");
    ASSERT_EQ(qt.size(), QSize(300, 4));
    EXPECT_EQ(qt.pixel(299, 3), wide.at(299, 3));
    EXPECT_TRUE(encodePng(Pixels{}).empty());
}
