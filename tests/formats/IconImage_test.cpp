#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <tuple>

#include "formats/ByteReader.h"
#include "formats/IconImage.h"
#include "formats/QtBridge.h"
#include "support/files.h"
#include "support/icons.h"

namespace {

constexpr QRgb Red = 0xFFFF0000, Lime = 0xFF00FF00, Black = 0xFF000000;

// A palette entry, blue first.
QByteArray quad(QRgb c)
{
    const char q[] = {char(qBlue(c)), char(qGreen(c)), char(qRed(c)), '\0'};
    return QByteArray(q, 4);
}

// A row of palette indices packed at `bits` per pixel and padded to 32 bits.
QByteArray packedRow(std::initializer_list<int> indices, int bits)
{
    QByteArray row(4, '\0');
    int bit = 0;
    for (int i : indices) {
        row[bit / 8] = char(row[bit / 8] | i << (8 - bits - bit % 8));
        bit += bits;
    }
    return row;
}

QByteArray bitmapFile(const QByteArray &dib, int headerAndPalette)
{
    QByteArray file("BM");
    for (uint32_t v : {uint32_t(14 + dib.size()), 0u, uint32_t(14 + headerAndPalette)})
        appendLE32(file, v);
    return file + dib;
}

// Entry i of an .ico file: its directory fields but the offset, and its image's bytes.
std::pair<QByteArray, QByteArray> icoEntry(const QByteArray &file, size_t i)
{
    const auto entries = readIconDirectory(bytesView(file));
    if (!entries || i >= entries->size())
        return {};
    const IconDirEntry &e = (*entries)[i];
    return {file.mid(6 + 16 * qsizetype(i), 12), file.mid(e.imageOffset, e.bytesInRes)};
}

using Entries = std::vector<std::pair<QByteArray, QByteArray>>;

void expectEntries(const std::optional<QByteArray> &ico, const Entries &want)
{
    ASSERT_TRUE(ico);
    const auto entries = readIconDirectory(bytesView(*ico));
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), want.size());
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(icoEntry(*ico, i), want[i]) << i;
}

QImage editedIcon()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(qRgba(10, 20, 30, 255));
    image.setPixel(3, 4, qRgba(200, 100, 50, 0));
    image.setPixel(5, 6, qRgba(200, 100, 50, 128));
    return image;
}

} // namespace

TEST(IconImage, DecodesPalettedRowsInFileOrderWithTheirMask)
{
    for (int bits : {1, 4, 8}) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, top-down " << topDown);
            // Two palette entries; index 3 lies beyond them and reads as black.
            const QByteArray top = packedRow({0, 1, 0}, bits);
            const QByteArray bottom = packedRow({1, 0, bits == 1 ? 1 : 3}, bits);
            const QByteArray topMask("\x80\0\0\0", 4), bottomMask("\x20\0\0\0", 4);
            const QByteArray rows =
                topDown ? top + bottom + topMask + bottomMask : bottom + top + bottomMask + topMask;
            const auto image =
                decodeIconImage(dibHeader(3, topDown ? -4 : 4, uint16_t(bits), 0, 2) + quad(Red) +
                                quad(Lime) + rows);
            ASSERT_TRUE(image);
            EXPECT_EQ(image->bitCount, bits);
            EXPECT_FALSE(image->hasAlpha);
            EXPECT_EQ(image->color.pixel(0, 0), Red);
            EXPECT_EQ(image->color.pixel(1, 0), Lime);
            EXPECT_EQ(image->color.pixel(0, 1), Lime);
            EXPECT_EQ(image->color.pixel(2, 1), bits == 1 ? Lime : Black);
            EXPECT_EQ(image->mask, (std::vector<bool>{true, false, false, false, false, true}));
        }
    }
}

TEST(IconImage, DecodesDirectColoursAndOldHeaders)
{
    const QByteArray noMask(8, '\0');
    QByteArray masks, core;
    for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu})
        appendLE32(masks, m);
    for (uint16_t v : {12, 0, 2, 2, 1, 1})
        appendLE16(core, v);
    struct Case
    {
        QByteArray bytes;
        QRgb left, right;
        std::vector<bool> mask;
    };
    // No mask bit set; no mask at all, as the image has alpha; the right pixel masked.
    const std::vector<bool> none{false, false}, alpha, right{false, true};
    const Case cases[] = {
        {dibHeader(2, 2, 16, 3) + masks + QByteArray("\xE0\x07\x1F\x00", 4) + noMask, Lime,
         0xFF0000FF, none},
        // Fields are scaled by repeating their bits, as other readers do: mid-scale (16, 32, 16),
        // then (24, 50, 7), where truncating (v << 3) or rounding (v * 255 / 31) gives other bytes.
        {dibHeader(2, 2, 16, 3) + masks + QByteArray("\x10\x84\x47\xC6", 4) + noMask,
         qRgb(132, 130, 132), qRgb(198, 203, 57), none},
        {dibHeader(2, 2, 32) + QByteArray("\x10\x20\x30\x80\0\0\0\0", 8) + noMask, 0x80302010, 0u,
         alpha},
        // Alpha all zero: an old image, drawn opaque through its mask.
        {dibHeader(2, 2, 32) + QByteArray("\x10\x20\x30\0\0\0\0\0", 8) +
             QByteArray("\x40\0\0\0", 4),
         0xFF302010, Black, right},
        // BITMAPCOREHEADER with a three-byte palette, and no AND mask at all after the colours.
        {core + QByteArray("\x00\x00\xFF\x00\xFF\x00", 6) + QByteArray("\x80\0\0\0", 4), Lime, Red,
         none},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        const auto i = decodeIconImage(c.bytes);
        ASSERT_TRUE(i);
        EXPECT_EQ(i->color.pixel(0, 0), c.left);
        EXPECT_EQ(i->color.pixel(1, 0), c.right);
        EXPECT_EQ(i->hasAlpha, c.mask.empty());
        EXPECT_EQ(i->mask, c.mask);
    }
}

TEST(IconImage, RefusesDamagedOrOversizedImagesAtOnce)
{
    const QByteArray png = pngBytes(QImage(2, 2, QImage::Format_ARGB32));
    QByteArray hugePng = png;
    hugePng.replace(16, 4, QByteArray("\x00\x00\xEA\x60", 4)); // 60000 wide
    const QByteArray bad[] = {
        {},
        QByteArray("\x28\0\0", 3),
        QByteArray("\x14\0\0\0", 4) + QByteArray(40, '\0'), // unknown header size
        dibHeader(60000, 120000, 32) + QByteArray(64, '\0'),
        dibHeader(0, 2, 32),
        dibHeader(1025, 2, 1) + QByteArray(1024, '\0'),
        dibHeader(1, 1, 32) + QByteArray(16, '\0'), // height halves to 0
        dibHeader(1, INT32_MIN, 32),
        dibHeader(1, 2, 2) + QByteArray(16, '\0'),
        dibHeader(1, 2, 8, 1) + QByteArray(1100, '\0'), // run-length compressed
        dibHeader(1, 2, 24, 3) + QByteArray(32, '\0'),
        dibHeader(4, 8, 32) + QByteArray(63, '\0'),  // colour bits cut short
        dibHeader(1, 2, 8) + QByteArray(1000, '\0'), // palette of 256 cut short
        hugePng,
        png.left(8) + QByteArray("\0\0\0\x0DIDAT", 8) + png.mid(16),
        png.left(40),
    };
    QElapsedTimer clock;
    clock.start();
    for (const QByteArray &bytes : bad) {
        SCOPED_TRACE(bytes.left(24).toHex().toStdString());
        FormatError error;
        EXPECT_FALSE(decodeIconImage(bytes, &error));
        EXPECT_FALSE(error.message.empty());
    }
    EXPECT_FALSE(probeIconImage(bytesView(hugePng)));
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST(IconImage, ReadsPngEntriesAndProbesHeadersOnly)
{
    const QByteArray png = pngBytes(QImage(3, 2, QImage::Format_ARGB32));
    EXPECT_EQ(decodeIconImage(png).value_or(IconImage{}).bitCount, 32);
    const auto i = probeIconImage(bytesView(png.left(24))).value_or(IconImageInfo{});
    EXPECT_EQ(std::tuple(i.width, i.height, i.bitCount), std::tuple(3, 2, 32));
}

TEST(IconImage, DirectoryKeepsOnlyImagesInsideTheFile)
{
    QByteArray file = icoFile({solidDib(1, 24, '\x11'), solidDib(1, 24, '\x22')});
    file[6] = 0; // 0 means 256
    file[7] = char(48);
    const auto entries = readIconDirectory(bytesView(file));
    ASSERT_TRUE(entries);
    EXPECT_EQ(std::pair(entries->front().width, entries->front().height), std::pair(256, 48));

    file.replace(6 + 12, 4, QByteArray("\xFF\xFF\xFF\xFF", 4));     // offset past the end
    file.replace(16 + 6 + 8, 4, QByteArray("\xFF\xFF\xFF\xFF", 4)); // size past the end
    FormatError error;
    EXPECT_FALSE(readIconDirectory(bytesView(file), &error));
    EXPECT_EQ(error.message, "None of the icon's images lies inside the file.");
}

TEST(IconImage, BestImageIsExactThenDeepestThenClosestByWhatItsHeaderSays)
{
    using Infos = std::vector<IconImageInfo>;
    const auto info = [](int side, int bits) { return IconImageInfo{side, side, bits, false}; };
    EXPECT_EQ(bestIconImage({}), -1);
    EXPECT_EQ(bestIconImage(Infos{info(16, 32), info(32, 4), info(32, 32), info(32, 8)}), 2);
    EXPECT_EQ(bestIconImage(Infos{info(32, 8), info(32, 8), info(256, 32)}), 0);
    // No 32 x 32: the nearest size, the first of equal distance, then its deepest image.
    EXPECT_EQ(bestIconImage(Infos{info(256, 32), info(48, 4), info(16, 8), info(48, 32)}), 3);
    EXPECT_EQ(bestIconImage(Infos{info(16, 4), info(48, 4), info(16, 8)}), 2);
    EXPECT_EQ(bestIconImage(Infos{{32, 16, 32, false}, {30, 30, 4, false}}), 1);

    // For a thumbnail's square: the smallest not smaller, else the largest, deepest first.
    const Infos set{info(48, 8), info(16, 32), info(32, 4), info(32, 32), info(48, 8)};
    EXPECT_EQ(iconImageForSide({}, 32), -1);
    for (auto [side, want] :
         {std::pair(1, 1), std::pair(20, 3), std::pair(32, 3), std::pair(33, 0), std::pair(256, 0)})
        EXPECT_EQ(iconImageForSide(set, side), want) << side;
    EXPECT_EQ(iconImageForSide(Infos{{64, 16, 4, false}, {40, 40, 32, false}}, 48), 0);

    const QByteArray file = icoFile({solidDib(16, 24, '\x11'), QByteArray(40, 'x'),
                                     solidDib(32, 24, '\x7F'), dibHeader(32, 64, 8)});
    const auto image = loadBestIcon(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 32);
    EXPECT_EQ(image->color.pixel(31, 31), 0xFF7F7F7F);

    FormatError error;
    EXPECT_FALSE(loadBestIcon(icoFile({QByteArray(40, 'x')}), &error));
    EXPECT_EQ(error.message, "None of the icon's images can be read.");
}

TEST(IconImage, Encodes32BitIconsWithTheirMask)
{
    QImage source(40, 20, QImage::Format_ARGB32);
    source.fill(qRgba(1, 2, 3, 255));
    source.setPixel(0, 0, qRgba(200, 100, 50, 0));
    source.setPixel(1, 0, qRgba(200, 100, 50, 128));
    const QByteArray ico = encodeIcon32(source);
    ASSERT_EQ(ico.size(), 4286);
    EXPECT_EQ(ico.left(62), QByteArray::fromHex("000001000100"
                                                "2020000001002000a810000016000000"
                                                "28000000200000004000000001002000"
                                                "0000000080100000") +
                                QByteArray(16, '\0'));
    // Top row is stored last; its first pixels are transparent black and half blue-ish.
    const qsizetype top = 22 + 40 + 31 * 128;
    EXPECT_EQ(ico.mid(top, 8), QByteArray("\0\0\0\0\x32\x64\xC8\x80", 8));
    // Mask rows: the top row has its first bit set, and the padding below row 20 is transparent.
    EXPECT_EQ(ico.mid(4286 - 4, 4), QByteArray("\x80\0\0\0", 4));
    EXPECT_EQ(ico.mid(22 + 40 + 4096, 4), QByteArray("\xFF\xFF\xFF\xFF", 4));
    // A picture without alpha is opaque, its clear top left included.
    EXPECT_EQ(encodeIcon32(source.convertToFormat(QImage::Format_RGB32))[top + 3], char(0xFF));
}

TEST(IconImage, DecodesBitmapFilesOnlyAsFarAsTheClip)
{
    const QByteArray palette = quad(Red) + quad(Lime) + quad(0xFF0000FF);
    // Bottom row: a run of 3, then 3 absolute pixels padded to a word. A delta then skips the
    // middle row, one pixel is drawn on the top row and the bitmap ends early.
    const QByteArray stream = QByteArray::fromHex("0301"
                                                  "000300010200"
                                                  "0000"
                                                  "00020201"
                                                  "0102"
                                                  "0001");
    const QByteArray rle = bitmapFile(dibHeader(6, 3, 8, 1, 3) + palette + stream, 52);
    FormatError error;
    auto image = decodeBitmapFile(rle, QSize(32, 32), &error);
    ASSERT_TRUE(image) << error.message;
    ASSERT_EQ(image->size(), QSize(6, 3));
    const QRgb bottom[] = {Lime, Lime, Lime, Red, Lime, 0xFF0000FF};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(image->pixel(x, 2), bottom[x]);
    EXPECT_EQ(image->pixel(3, 1), 0u);
    EXPECT_EQ(image->pixel(2, 0), 0xFF0000FF);
    EXPECT_EQ(image->pixel(3, 0), 0u);
    EXPECT_EQ(decodeBitmapFile(rle, QSize(4, 2)), image->copy(0, 0, 4, 2));
    EXPECT_FALSE(decodeBitmapFile(rle.chopped(2), QSize(32, 32), &error));
    EXPECT_EQ(error.message, "The image's data is cut short.");
    // A run past the end is cut there, and a full bitmap needs no end code.
    const QByteArray full =
        bitmapFile(dibHeader(1, 1, 8, 1, 1) + quad(Red) + QByteArray("\2\0", 2), 44);
    EXPECT_EQ(decodeBitmapFile(full, QSize(32, 32)).value_or(QImage()).pixel(0, 0), Red);

    // The fourth byte of a plain 32-bit bitmap is not alpha; missing rows are an error.
    const QByteArray plain =
        bitmapFile(dibHeader(2, -1, 32) + QByteArray::fromHex("102030407F7F7F00"), 40);
    EXPECT_EQ(decodeBitmapFile(plain, QSize(32, 32)).value_or(QImage()).pixel(0, 0), 0xFF302010);
    EXPECT_FALSE(decodeBitmapFile(plain.chopped(1), QSize(32, 32)));
    // A header with an alpha mask whose every alpha is zero: a picture older than alpha, opaque.
    QByteArray v4 = dibHeader(2, -1, 32, 3).replace(0, 1, "\x6C");
    for (uint32_t m : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u})
        appendLE32(v4, m);
    const QByteArray zeroAlpha =
        bitmapFile(v4 + QByteArray(52, '\0') + QByteArray::fromHex("1020300040506000"), 108);
    EXPECT_EQ(decodeBitmapFile(zeroAlpha, QSize(32, 32)).value_or(QImage()).pixel(1, 0),
              0xFF605040);

    // A huge run-length picture costs only its clip.
    QElapsedTimer clock;
    clock.start();
    const QByteArray huge =
        bitmapFile(dibHeader(16384, 16384, 8, 1, 1) + quad(Red) +
                       QByteArray::fromHex("FF00").repeated(100000) + QByteArray("\0\1", 2),
                   44);
    const auto top = decodeBitmapFile(huge, QSize(32, 32));
    ASSERT_TRUE(top);
    EXPECT_EQ(top->size(), QSize(32, 32));
    EXPECT_EQ(top->pixel(0, 0), 0u);
    EXPECT_EQ(top->pixel(31, 31), 0u);
    EXPECT_FALSE(decodeBitmapFile(bitmapFile(dibHeader(16385, 1, 8, 1, 1), 40), QSize(32, 32)));
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST(IconImage, MergePutsTheEditedImageInPlaceOfTheShownOneOfEachSizeAndDepth)
{
    const QImage edited = editedIcon();
    const auto written = icoEntry(encodeIcon32(edited), 0);
    const std::vector<QByteArray> three = {solidDib(16, 4, '\x11'), solidDib(32, 8, '\x02'),
                                           solidDib(48, 32, '\x7F')};
    const QByteArray file = describedIcoFile(three);
    expectEntries(mergeIcon32(file, edited), {icoEntry(file, 0), written, icoEntry(file, 2)});
    // The transparent pixel at (3, 4) has its mask bit: row 27 from the bottom, fourth bit.
    EXPECT_EQ(written.second[40 + 4096 + 27 * 4], char(0x10));

    // Without a 32 x 32 image the edited one is added after the others.
    const QByteArray two = describedIcoFile({three[0], three[2]});
    expectEntries(mergeIcon32(two, edited), {icoEntry(two, 0), icoEntry(two, 1), written});

    // One image of each size and depth is left.
    QImage big(256, 256, QImage::Format_ARGB32);
    big.fill(qRgba(1, 2, 3, 4));
    // The 32-bit DIB is shown; the 32 x 32 PNG after it is of the same size and depth.
    const QByteArray sizes = describedIcoFile(
        {pngBytes(big), solidDib(32, 4, '\x33'), solidDib(32, 32, '\x44'), pngBytes(edited)});
    expectEntries(mergeIcon32(sizes, edited), {icoEntry(sizes, 0), icoEntry(sizes, 1), written});

    // An image that cannot be read is kept, unless its entry says 32 x 32 at 32 bits.
    QByteArray damaged =
        describedIcoFile({solidDib(32, 4, '\x33'), QByteArray(40, 'x'), QByteArray(50, 'y')});
    damaged.replace(6 + 16, 8, QByteArray::fromHex("2020000001002000"));
    expectEntries(mergeIcon32(damaged, edited), {written, icoEntry(damaged, 2)});
}

TEST(IconImage, MergeRefusesDamagedIconsAndOversizedResults)
{
    const QByteArray file = describedIcoFile({solidDib(16, 4, '\x11'), solidDib(48, 8, '\x22')});
    QByteArray pastTheEnd = file;
    pastTheEnd.replace(6 + 16 + 12, 4, QByteArray("\xF0\xFF\xFF\xFF", 4));
    const QByteArray bad[] = {
        file.left(6 + 16 + 5),
        pastTheEnd,
        QByteArray("\0\0\1\0\0\0", 6),
        QByteArray("\0\0\2\0\1\0", 6) + file.mid(6), // a cursor
        QByteArray("BM not an icon"),
        icoFile({QByteArray(40, 'x')}),
        // One image more than the directory can count, or more than 64 MiB of images.
        icoFile({solidDib(16, 4, '\x11')}, 0xFFFF),
        icoFile({solidDib(32, 4, '\x11'), solidDib(48, 32, '\x22')}, 14000),
    };
    for (const QByteArray &bytes : bad) {
        SCOPED_TRACE(bytes.left(24).toHex().toStdString());
        FormatError error;
        EXPECT_FALSE(mergeIcon32(bytes, editedIcon(), &error));
        EXPECT_FALSE(error.message.empty());
    }
}
