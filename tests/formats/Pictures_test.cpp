#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <set>
#include <tuple>

#include "formats/ByteReader.h"
#include "formats/PictureLimits.h"
#include "formats/Pictures.h"
#include "formats/QtBridge.h"
#include "formats/UserFile.h"
#include "support/files.h"
#include "support/icons.h"

namespace {

constexpr QRgb Red = 0xFFFF0000, Lime = 0xFF00FF00, Blue = 0xFF0000FF, White = 0xFFFFFFFF,
               Yellow = 0xFFFFFF00, Black = 0xFF000000;
// Not grey, so a swapped channel shows.
constexpr ColorValue Back = RGB(0x10, 0x80, 0xC0);
constexpr QRgb BackRgb = 0xFF1080C0;
// A transparent pixel of a loaded icon: alpha 0 over the background's colour.
constexpr QRgb Clear = BackRgb & 0xFFFFFFu;

QString fixture(const char *name)
{
    return testData(QStringLiteral("good/") + QLatin1String(name));
}

QImage load(const char *name, QSize clip = QSize(32, 32))
{
    FormatError error;
    const auto image = LoadPicture(fixture(name), Back, clip, &error);
    EXPECT_TRUE(image) << name << ": " << error.message;
    return image.value_or(QImage());
}

struct Spot
{
    int x, y;
    QRgb color;
};

// The picture loaded within `clip` is of `size`, and has those colours at those spots.
void expectSpots(const char *name, QSize size, std::initializer_list<Spot> spots,
                 QSize clip = QSize(1000, 1000))
{
    SCOPED_TRACE(name);
    const QImage image = load(name, clip);
    ASSERT_EQ(image.size(), size);
    EXPECT_EQ(image.format(), QImage::Format_ARGB32);
    for (const Spot &s : spots)
        EXPECT_EQ(image.pixel(s.x, s.y), s.color) << "at " << s.x << "," << s.y;
}

// A plain metafile of `count` lines of text in a large font: each is cheap, all of them together
// take seconds to draw.
QByteArray textMetafile(int count)
{
    QByteArray records;
    const auto record = [&records](uint16_t function, std::initializer_list<uint16_t> words) {
        appendLE32(records, uint32_t(3 + words.size()));
        appendLE16(records, function);
        for (uint16_t w : words)
            appendLE16(records, w);
    };
    record(0x02FB,
           {2000, 0, 0, 0, 400, 0, 0, 0, 0, 0x7241, 0x6169, 0x006C, 0,
            0,    0, 0, 0, 0,   0, 0, 0, 0, 0,      0,      0}); // CreateFontIndirect "Arial"
    record(0x012D, {0});                                         // SelectObject
    for (int i = 0; i < count; ++i)
        record(0x0521, {8, 0x5757, 0x5757, 0x5757, 0x5757, 0, 0}); // TextOut "WWWWWWWW"
    record(0x0000, {});
    // The header's words: on disk, 9 words long, version 3, the file's size in words, one
    // object, the largest record of 28 words, no parameters.
    const auto size = uint32_t(9 + records.size() / 2);
    QByteArray file;
    for (const uint32_t w : {1u, 9u, 0x0300u, size & 0xFFFFu, size >> 16, 1u, 28u, 0u, 0u})
        appendLE16(file, uint16_t(w));
    return file + records;
}

} // namespace

TEST(Pictures, ReadsBitmapsOfEveryDepthAndCompression)
{
    const std::initializer_list<Spot> pattern = {{0, 0, Red},   {1, 0, Lime},   {2, 0, Blue},
                                                 {3, 0, White}, {7, 3, Yellow}, {4, 3, Black}};
    for (const char *name : {"bmp4.bmp", "bmp8.bmp", "bmp8-rle.bmp", "bmp4-rle.bmp", "bmp24.bmp",
                             "bmp24-topdown.bmp", "bmp32.bmp"})
        expectSpots(name, QSize(8, 4), pattern);
    expectSpots("bmp8.bmp", QSize(8, 4), {{0, 1, 0xFF080808}, {7, 2, 0xFFF8F8F8}});
    expectSpots("bmp32.bmp", QSize(8, 4), {{4, 0, 0u}});
    expectSpots("bmp1.bmp", QSize(8, 4), {{0, 0, White}, {1, 0, Black}, {7, 3, White}});
    expectSpots("bmp16.bmp", QSize(8, 4),
                {{0, 0, Red}, {3, 0, White}, {7, 3, Yellow}, {4, 0, Black}});

    // OpenJDK's run-length stream loses step with its rows, and its top twelve rows come only
    // from runs that overflow the rows below, as ImageMagick reads them.
    expectSpots("bmp4-rle-java.bmp", QSize(32, 32),
                {{31, 0, 0xFF808000}, {16, 5, Red}, {20, 25, Yellow}, {31, 31, White}});
}

TEST(Pictures, KeepsTransparencyOfIconsAndGifsAndOnlyTheTopLeftOfLargePictures)
{
    const std::initializer_list<Spot> pattern = {{0, 0, Clear},    {3, 3, Clear},  {4, 0, Red},
                                                 {31, 31, Yellow}, {10, 10, Blue}, {0, 4, Blue}};
    for (const char *name :
         {"icon4.ico", "icon8.ico", "icon24.ico", "icon32.ico", "icon-png.ico", "multi.ico"})
        expectSpots(name, QSize(32, 32), pattern);
    expectSpots("icon1.ico", QSize(32, 32),
                {{0, 0, Clear}, {4, 0, Black}, {5, 0, White}, {31, 31, Black}});
    // A half-transparent pixel keeps its alpha, and shows over the background blended.
    expectSpots("icon-png.ico", QSize(32, 32), {{1, 5, qRgba(255, 0, 0, 127)}});
    EXPECT_EQ(composedOver(load("icon-png.ico"), Back).pixel(1, 5), qRgb(0x87, 0x40, 0x60));
    // Mask pixels: black leaves the background, other colours invert it.
    expectSpots("icon-invert.ico", QSize(2, 2),
                {{0, 0, Red}, {1, 0, Clear}, {0, 1, 0xFFEF7F3F}, {1, 1, 0xFF107FC0}});
    expectSpots("icon-zeroalpha.ico", QSize(2, 2),
                {{0, 0, Red}, {1, 0, Clear}, {0, 1, Blue}, {1, 1, 0xFFEF7F3F}});
    expectSpots("icon16.ico", QSize(2, 2),
                {{0, 0, Red}, {1, 0, Lime}, {0, 1, Blue}, {1, 1, White}});
    expectSpots("gif-transparent.gif", QSize(8, 4),
                {{0, 0, Red}, {1, 0, Lime}, {7, 3, White}, {4, 1, 0u}});
    EXPECT_EQ(composedOver(load("gif-transparent.gif"), Back).pixel(4, 1), BackRgb);

    expectSpots("big-40x36.png", QSize(32, 32), {{0, 0, Red}, {31, 31, Lime}}, QSize(32, 32));
    expectSpots("small-20x10.bmp", QSize(20, 10), {{19, 9, Blue}}, QSize(32, 32));
    expectSpots("big-40x36.png", QSize(8, 36), {{0, 0, Red}}, QSize(8, 50));
}

TEST(Pictures, DrawsMetafilesAtNaturalSizeAndOnlyTheirTopLeft)
{
    // What the metafile leaves undrawn is the background; what it draws white stays white.
    const std::initializer_list<Spot> placeable = {
        {0, 0, Red},          {15, 15, Red},     {20, 5, White},   {47, 0, White},
        {20, 20, Blue},       {47, 47, Blue},    {5, 20, BackRgb}, {15, 47, BackRgb},
        {60, 40, BackRgb},    {95, 63, BackRgb}, {48, 0, Lime},    {63, 0, Yellow},
        {48, 15, 0xFFFF00FF}, {63, 15, Black}};
    expectSpots("placeable.wmf", QSize(96, 64), placeable);
    expectSpots("plain.wmf", QSize(33, 33),
                {{1, 1, Red}, {20, 5, White}, {25, 25, Blue}, {5, 25, BackRgb}});
    // The text "<&>", which has to reach the SVG reader escaped.
    const QImage drawn = load("placeable.wmf", QSize(1000, 1000));
    int dark = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 64; x < 96; ++x)
            dark += qGray(drawn.pixel(x, y)) < 64;
    EXPECT_GT(dark, 20);
    for (const char *name : {"placeable.wmf", "plain.wmf"}) {
        SCOPED_TRACE(name);
        const QImage full = load(name, QSize(1000, 1000));
        // Edges fall on whole pixels: every pixel is one of the metafile's colours or the back.
        const std::set<QRgb> named = {Red, White, Blue, BackRgb, Lime, Yellow, 0xFFFF00FF, Black};
        for (int y = 0; y < full.height(); ++y)
            for (int x = 0; x < full.width(); ++x)
                ASSERT_TRUE(named.count(full.pixel(x, y))) << x << "," << y;
        for (QSize clip : {QSize(32, 32), QSize(20, 40), QSize(1, 1)})
            EXPECT_EQ(load(name, clip),
                      full.copy(QRect(QPoint(0, 0), clip).intersected(full.rect())));
    }
}

TEST(Pictures, MetafilesFailWithoutLibwmfNamingThePackageOrWhenTheyWouldOverwhelmIt)
{
    // A library of libwmf's name that does not load stands before the real one.
    QTemporaryDir dir;
    ASSERT_TRUE(writeAll(dir.filePath(QStringLiteral(PIXMINT_WMF_LIBRARY)), QByteArray()));
    const QByteArray saved = qgetenv("LD_LIBRARY_PATH");
    qputenv("LD_LIBRARY_PATH", dir.path().toLocal8Bit());
    FormatError error;
    const auto metafile = LoadPicture(fixture("placeable.wmf"), Back, QSize(32, 32), &error);
    const auto gif = LoadPicture(fixture("gif-transparent.gif"), Back);
    qputenv("LD_LIBRARY_PATH", saved);
    EXPECT_FALSE(metafile);
    EXPECT_EQ(error.kind, FormatError::Kind::CannotDraw);
    EXPECT_TRUE(toQString(error.message)
                    .startsWith(QStringLiteral(
                        "Metafiles cannot be drawn on this machine: libwmf cannot be loaded (")))
        << error.message;
    EXPECT_TRUE(toQString(error.message).contains(QStringLiteral("libwmf-0.2-7")));
    // The reader process itself starts without libwmf.
    EXPECT_TRUE(gif);

    // Found by fuzz-picture: a header whose largest record is 3.9 GB, which libwmf allocates
    // before reading a record, and a pen 65535 units wide, which kept its bitmap device drawing
    // for minutes.
    const QByteArray hugeRecord =
        readAll(testData(QStringLiteral("damaged/wmf-huge-max-record.wmf")));
    const QByteArray widePen = readAll(testData(QStringLiteral("damaged/wmf-wide-pen-hang.wmf")));
    ASSERT_FALSE(hugeRecord.isEmpty() || widePen.isEmpty());
    QElapsedTimer clock;
    clock.start();
    error = {};
    EXPECT_FALSE(LoadPictureData(hugeRecord, Back, QSize(32, 32), &error));
    EXPECT_EQ(toQString(error.message), QStringLiteral("The metafile is damaged."));
    EXPECT_TRUE(LoadPictureData(widePen, Back, QSize(32, 32), &error));
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(LoadPictureData(textMetafile(100000), Back, QSize(32, 32), &error));
    EXPECT_EQ(toQString(error.message), QStringLiteral("The metafile takes too long to draw."));
    EXPECT_LT(clock.elapsed(), 4000);
}

TEST(Pictures, SavesIconsPngsAndBitmapsThatReadBack)
{
    QTemporaryDir dir;
    QImage image(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            image.setPixel(x, y, qRgb(x * 8, y * 8, (x + y) * 4));
    image.setPixel(0, 0, 0);
    for (const char *name : {"a.ico", "b.ICO", "d.png", "e.PNG"}) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(QLatin1String(name));
        FormatError error;
        ASSERT_TRUE(SavePicture(image, path, &error)) << error.message;
        if (path.endsWith(QLatin1String("png"), Qt::CaseInsensitive))
            EXPECT_EQ(readAll(path)[25], char(6)); // a PNG of RGBA
        else
            EXPECT_EQ(readAll(path).size(), 4286);
        EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_ARGB32), image);
    }
    // An opaque picture stays a 24-bit PNG.
    QImage opaque = image;
    opaque.setPixel(0, 0, Black);
    const QString rgb = dir.filePath(QStringLiteral("f.png"));
    ASSERT_TRUE(SavePicture(opaque, rgb));
    EXPECT_EQ(readAll(rgb)[25], char(2));
    EXPECT_EQ(QImage(rgb).convertToFormat(QImage::Format_ARGB32), opaque);

    // A width of 5 needs row padding.
    const QImage small = image.copy(1, 1, 5, 3).convertToFormat(QImage::Format_RGB32);
    const QString bmp = dir.filePath(QStringLiteral("c.bmp"));
    ASSERT_TRUE(SavePicture(small, bmp));
    const QByteArray bytes = readAll(bmp);
    ASSERT_EQ(bytes.size(), 54 + 3 * 16);
    EXPECT_EQ(bytes[28], char(24));
    EXPECT_EQ(QImage(bmp).convertToFormat(QImage::Format_RGB32), small);
    // A bitmap has no transparency: a transparent pixel is written in the colour it carries.
    QImage clear = small.convertToFormat(QImage::Format_ARGB32);
    clear.setPixel(0, 0, Clear);
    ASSERT_TRUE(SavePicture(clear, bmp));
    EXPECT_EQ(QImage(bmp).pixel(0, 0), BackRgb);

    // How a failed write is told and what it leaves is the writer's own test.
    EXPECT_FALSE(SavePicture(QImage(), dir.filePath(QStringLiteral("none.bmp"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("none.bmp"))));
}

TEST(Pictures, RefusesBadFilesQuicklyWithAReason)
{
    QTemporaryDir dir;
    QFile huge(dir.filePath(QStringLiteral("huge.bmp")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(65) * 1024 * 1024));
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_TRUE(makeFifo(fifo));
    // What is not a regular file is refused before anything is read, without blocking; a file
    // under /proc says it is empty yet is read to its end; a read error says what it was.
    using Kind = FormatError::Kind;
    const std::string special = "It is not a regular file.";
    const std::tuple<QString, std::string, Kind> refusals[] = {
        {dir.filePath(QStringLiteral("missing.png")), systemError(ENOENT), Kind::NotFound},
        {huge.fileName(), "The file is too large.", Kind::TooLarge},
        {QStringLiteral("/dev/zero"), special, Kind::Refused},
        {fifo, special, Kind::Refused},
        {dir.path(), special, Kind::Refused},
        {QStringLiteral("/proc/self/status"), "The file is not a picture.", Kind::WrongKind},
        {QStringLiteral("/proc/self/mem"), systemError(EIO), Kind::System}};
    FormatError error;
    for (const auto &[path, message, kind] : refusals) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(LoadPicture(path, Back, QSize(32, 32), &error));
        EXPECT_EQ(error.message, message);
        EXPECT_EQ(error.kind, kind);
    }
    // Pixel data that is no zlib stream passes the header's checks; Qt's reader then says why.
    std::string broken(kPngSignature);
    appendPngChunk(broken, "IHDR",
                   {std::string_view("\x00\x00\x00\x04\x00\x00\x00\x04\x08\x06\x00\x00\x00", 13)});
    appendPngChunk(broken, "IDAT", {"\x78\x9c\xff\xff\xff\xff"});
    appendPngChunk(broken, "IEND", {});
    EXPECT_FALSE(LoadPictureData(toByteArray(broken), Back, QSize(32, 32), &error));
    EXPECT_EQ(error.message, "Unable to read image data");
    EXPECT_EQ(error.kind, Kind::Damaged);

    // Random bytes are the fuzz targets' part.
    std::vector<QByteArray> bad = {{}, QByteArray(1, '\0'), QByteArray(5000, '\xA7')};
    // Headers claiming 60000 x 60000: a bitmap, an icon's DIB, an icon's PNG, a metafile frame;
    // and a metafile of no units per inch.
    const auto edited = [](const char *name, qsizetype at, const QByteArray &bytes) {
        return readAll(fixture(name)).replace(at, bytes.size(), bytes);
    };
    bad.insert(bad.end(),
               {edited("bmp24.bmp", 18, QByteArray("\x60\xEA\0\0\x60\xEA\0\0", 8)),
                edited("icon32.ico", 22 + 4, QByteArray("\x60\xEA\0\0\xC0\xD4\x01\0", 8)),
                edited("icon-png.ico", 22 + 16, QByteArray("\0\0\xEA\x60\0\0\xEA\x60", 8)),
                edited("placeable.wmf", 10, QByteArray("\xFF\x7F\xFF\x7F\x01\0", 6)),
                edited("placeable.wmf", 14, QByteArray(2, '\0'))});
    // Every fixture cut short; multi.ico is left out, as its first image lies wholly in front,
    // and so is the OpenJDK bitmap, whose runs fill it before its stream is half through.
    for (const QString &name : QDir(fixture("")).entryList(QDir::Files)) {
        const QByteArray whole = readAll(fixture(qPrintable(name)));
        if (name != QLatin1String("multi.ico") && name != QLatin1String("bmp4-rle-java.bmp"))
            for (qsizetype n : {qsizetype(6), qsizetype(22), whole.size() / 3, whole.size() / 2})
                bad.push_back(whole.left(n));
    }
    QElapsedTimer clock;
    clock.start();
    for (const QByteArray &bytes : bad) {
        error = {};
        EXPECT_FALSE(LoadPictureData(bytes, Back, QSize(32, 32), &error))
            << bytes.left(16).toHex().toStdString();
        EXPECT_FALSE(error.message.empty());
    }
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST(Pictures, SmallFilesThatInflateAreShownOrRefusedAtOnce)
{
    // 100 text chunks of 7.9 MB each, in a PNG alone and as the image of an icon: the picture,
    // without the text.
    QImage picture(40, 40, QImage::Format_ARGB32);
    picture.fill(Red);
    picture.setPixel(31, 31, Blue);
    const QByteArray png = pngWithTextChunks(pngBytes(picture), 100, 7900000);
    ASSERT_LT(png.size(), 1000000);
    for (const QByteArray &bytes : {png, icoFile({png})}) {
        FormatError error;
        const auto image = LoadPictureData(bytes, Back, QSize(32, 32), &error);
        ASSERT_TRUE(image) << error.message;
        EXPECT_EQ(image->size(), QSize(32, 32));
        EXPECT_EQ(image->pixel(0, 0), Red);
        EXPECT_EQ(image->pixel(31, 31), Blue);
    }
    // A progressive JPEG shows; the same with its last scan repeated to 1000 scans is refused.
    FormatError error;
    const auto jpeg = LoadPictureData(jpegWithScans(48, Red, 10), Back, QSize(32, 32), &error);
    ASSERT_TRUE(jpeg) << error.message;
    EXPECT_EQ(jpeg->size(), QSize(32, 32));
    EXPECT_GT(qRed(jpeg->pixel(20, 20)), 240);
    EXPECT_LT(qGreen(jpeg->pixel(20, 20)), 16);
    EXPECT_FALSE(LoadPictureData(jpegWithScans(1000, Red, 1000), Back, QSize(32, 32), &error));
    EXPECT_EQ(toQString(error.message), QStringLiteral("The JPEG picture has too many scans."));
    EXPECT_EQ(error.kind, FormatError::Kind::TooLarge);
}
