// create and convert: icon files of several sizes made from pictures, and one image of an icon,
// a program or a picture written as a PNG, bitmap or icon. Both run on the formats core; a GIF
// needs Qt's reader, which only the full tool has.
#include <QByteArray>
#include <QList>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "cli/commands.h"
#include "formats/ByteReader.h"
#include "formats/IconDecode.h"
#include "formats/IconScale.h"
#include "formats/IconSet.h"
#include "formats/Png.h"
#include "formats/SafeWrite.h"
#include "formats/Thumbnail.h"
#include "formats/UserFile.h"

namespace {

constexpr int kUnreadable = 2;
// Pictures are read whole, so their bytes and sides are bounded.
constexpr qint64 kMaxInputBytes = qint64(64) * 1024 * 1024;
constexpr int kMaxPictureSide = 4096;
constexpr int kMaxConvertSide = 1024;

int failWith(const QByteArray &name, const QString &message)
{
    std::fprintf(stderr, "pixmint-icons: %s: %s\n", name.constData(), qPrintable(message));
    return kUnreadable;
}

bool isGif(QByteArrayView bytes)
{
    return bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a");
}

uint32_t bigEndian32(const ByteReader &r, uint64_t at)
{
    uint32_t v = 0;
    for (uint64_t i = 0; i < 4; ++i)
        v = v << 8 | r.u8(at + i).value_or(0);
    return v;
}

std::optional<Pixels> pngPixels(QByteArrayView bytes, FormatError *error)
{
    const ByteReader r(bytes);
    const uint32_t width = bigEndian32(r, 16);
    const uint32_t height = bigEndian32(r, 20);
    if (!r.has(0, 24) || bytes.sliced(12, 4) != "IHDR" || width == 0 || height == 0)
        return failed(error, FormatError::Kind::Damaged, QStringLiteral("The PNG is damaged."));
    if (width > kMaxPictureSide || height > kMaxPictureSide)
        return failed(error, FormatError::Kind::TooLarge,
                      QStringLiteral("The picture is larger than 4096 pixels a side."));
    auto pixels = decodePngPixels(bytes, int(width), int(height));
    if (!pixels)
        return failed(error, FormatError::Kind::Damaged, QStringLiteral("The PNG is damaged."));
    return pixels;
}

// An icon source's image for `side` (the largest for 0), or a picture as it is. Nothing, with
// no error, for a GIF when there is no reader for it.
std::optional<Pixels> inputPixels(const QByteArray &bytes, int side, GifReader gif,
                                  FormatError *error)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return pngPixels(bytes, error);
    // The readers keep only a corner of a larger picture: refuse it rather than cut it.
    const ByteReader r(bytes);
    const bool bitmap = bytes.startsWith("BM");
    const int64_t width = bitmap ? r.i32(18).value_or(0) : r.u16(6).value_or(0);
    const int64_t height = bitmap ? r.i32(22).value_or(0) : r.u16(8).value_or(0);
    if ((bitmap || isGif(bytes)) &&
        (std::max(width, -width) > kMaxPictureSide || std::max(height, -height) > kMaxPictureSide))
        return failed(error, FormatError::Kind::TooLarge,
                      QStringLiteral("The picture is larger than 4096 pixels a side."));
    if (bitmap)
        return decodeBitmapPixels(bytes, kMaxPictureSide, kMaxPictureSide, error);
    if (isGif(bytes))
        return gif != nullptr ? gif(bytes, error) : std::nullopt;
    return firstIconImage(bytes, side > 0 ? side : kMaxPictureSide, error);
}

// "16,24,32": each 1 to `most`.
std::optional<std::vector<int>> sidesOf(const QByteArray &text, int most)
{
    std::vector<int> sides;
    for (const QByteArray &part : text.split(',')) {
        bool ok = false;
        const int side = part.toInt(&ok);
        if (!ok || side < 1 || side > most || part.startsWith('+'))
            return std::nullopt;
        sides.push_back(side);
    }
    return sides;
}

int written(const QByteArray &output, const std::optional<QByteArray> &bytes,
            const FormatError &error)
{
    if (!bytes || bytes->isEmpty())
        return failWith(output, QStringLiteral("cannot write: ") + error.message);
    FormatError writeError;
    if (!SafeWrite::replaceFile(output, *bytes, &writeError, SafeWrite::Sync::Later))
        return failWith(output, QStringLiteral("cannot write: ") + writeError.message);
    return 0;
}

// Each input is read; the first that cannot be is the answer. Nothing for a GIF to hand on.
std::optional<int> readInputs(int count, char **names, GifReader gif, std::vector<Pixels> *out)
{
    for (int i = 0; i < count; ++i) {
        const QByteArray name(names[i]);
        FormatError error;
        const auto bytes = readUserFile(name, kMaxInputBytes, &error);
        const auto pixels = bytes ? inputPixels(*bytes, 0, gif, &error) : std::nullopt;
        if (!pixels && bytes && isGif(*bytes) && gif == nullptr)
            return std::nullopt;
        if (!pixels)
            return failWith(name, error.message);
        if (std::max(pixels->width, pixels->height) > kMaxIconSide)
            return failWith(name, QStringLiteral("the image is larger than 256 pixels a side"));
        out->push_back(*pixels);
    }
    return 0;
}

} // namespace

std::optional<int> createIconSet(int argc, char **argv, GifReader gif)
{
    int last = argc;
    std::vector<int> sides;
    if (argc >= 2 && std::strcmp(argv[argc - 2], "--sizes") == 0) {
        const auto listed = sidesOf(QByteArray(argv[argc - 1]), kMaxIconSide);
        if (!listed)
            return failWith(QByteArray(argv[argc - 1]),
                            QStringLiteral("the sizes must be 1 to 256, separated by commas"));
        sides = *listed;
        last = argc - 2;
    }
    if (last < 4)
        return usageError();
    std::vector<Pixels> images;
    const auto read = readInputs(last - 3, argv + 3, gif, &images);
    if (!read || *read != 0)
        return read;
    FormatError error;
    const QByteArray output(argv[2]);
    return written(output, writeIconSet(completedSet(images, sides), &error), error);
}

std::optional<int> convertImage(int argc, char **argv, GifReader gif)
{
    const bool sized = argc == 6 && std::strcmp(argv[4], "--size") == 0;
    if (argc != 4 && !sized)
        return usageError();
    const auto side = sized ? sidesOf(QByteArray(argv[5]), kMaxConvertSide) : std::vector<int>{0};
    if (!side || side->size() != 1)
        return failWith(QByteArray(argv[5]), QStringLiteral("the size must be 1 to 1024"));
    const QByteArray input(argv[2]);
    const QByteArray output(argv[3]);
    FormatError error;
    const auto bytes = readUserFile(input, kMaxInputBytes, &error);
    auto pixels = bytes ? inputPixels(*bytes, side->front(), gif, &error) : std::nullopt;
    if (!pixels && bytes && isGif(*bytes) && gif == nullptr)
        return std::nullopt;
    if (!pixels)
        return failWith(input, error.message);
    if (const int n = side->front(); n > 0) {
        const int larger = std::max(pixels->width, pixels->height);
        const auto scaled = [&](int length) {
            return std::max(1, int((int64_t(length) * n + larger / 2) / larger));
        };
        pixels = scaledPixels(*pixels, scaled(pixels->width), scaled(pixels->height));
    }
    const QByteArray type = output.mid(output.lastIndexOf('.') + 1).toLower();
    if (type == "png")
        return written(output, encodePng(*pixels), error);
    if (type == "bmp")
        return written(output, encodeBitmapFile(*pixels), error);
    if (type == "ico")
        return written(output, writeIconSet({*pixels}, &error), error);
    return failWith(output, QStringLiteral("the output must end in .png, .bmp or .ico"));
}
