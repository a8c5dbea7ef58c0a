// create and convert: icon files of several sizes made from pictures, and one image of an icon,
// a program or a picture written as a PNG, bitmap or icon. Both run on the formats core; a GIF
// needs Qt's reader, which only the full tool has.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

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
constexpr int64_t kMaxInputBytes = int64_t(64) * 1024 * 1024;
constexpr int kMaxPictureSide = 4096;
constexpr int kMaxConvertSide = 1024;

int failWith(const std::string &name, const std::string &message)
{
    std::fprintf(stderr, "pixmint-icons: %s: %s\n", name.c_str(), message.c_str());
    return kUnreadable;
}

bool isGif(std::string_view bytes)
{
    return bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a");
}

std::optional<Pixels> pngPixels(std::string_view bytes, FormatError *error)
{
    const ByteReader r(bytes);
    if (!r.has(0, 24) || bytes.substr(12, 4) != "IHDR")
        return failed(error, FormatError::Kind::Damaged, "The PNG is damaged.");
    const uint32_t width = bigEndian32(bytes.substr(16));
    const uint32_t height = bigEndian32(bytes.substr(20));
    if (width == 0 || height == 0)
        return failed(error, FormatError::Kind::Damaged, "The PNG is damaged.");
    if (width > kMaxPictureSide || height > kMaxPictureSide)
        return failed(error, FormatError::Kind::TooLarge,
                      "The picture is larger than 4096 pixels a side.");
    auto pixels = decodePngPixels(bytes, int(width), int(height));
    if (!pixels)
        return failed(error, FormatError::Kind::Damaged, "The PNG is damaged.");
    return pixels;
}

// An icon source's image for `side` (the largest for 0), or a picture as it is. Nothing, with
// no error, for a GIF when there is no reader for it.
std::optional<Pixels> inputPixels(std::string_view bytes, int side, GifReader gif,
                                  FormatError *error)
{
    if (bytes.starts_with("\x89PNG\r\n\x1a\n"))
        return pngPixels(bytes, error);
    // The readers keep only a corner of a larger picture: refuse it rather than cut it.
    const ByteReader r(bytes);
    const bool bitmap = bytes.starts_with("BM");
    const int64_t width = bitmap ? r.i32(18).value_or(0) : r.u16(6).value_or(0);
    const int64_t height = bitmap ? r.i32(22).value_or(0) : r.u16(8).value_or(0);
    if ((bitmap || isGif(bytes)) &&
        (std::max(width, -width) > kMaxPictureSide || std::max(height, -height) > kMaxPictureSide))
        return failed(error, FormatError::Kind::TooLarge,
                      "The picture is larger than 4096 pixels a side.");
    if (bitmap)
        return decodeBitmapPixels(bytes, kMaxPictureSide, kMaxPictureSide, error);
    if (isGif(bytes))
        return gif != nullptr ? gif(bytes, error) : std::nullopt;
    return firstIconImage(bytes, side > 0 ? side : kMaxPictureSide, error);
}

// One decimal number of a list, blanks around it allowed; nothing for anything else.
std::optional<int> numberOf(std::string_view text, int most)
{
    const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || value > most)
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (text.empty() || value < 1 || value > most)
        return std::nullopt;
    return value;
}

// "16,24,32": each 1 to `most`.
std::optional<std::vector<int>> sidesOf(std::string_view text, int most)
{
    std::vector<int> sides;
    for (size_t start = 0;;) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const auto side = numberOf(text.substr(start, comma - start), most);
        if (!side)
            return std::nullopt;
        sides.push_back(*side);
        if (comma == text.size())
            return sides;
        start = comma + 1;
    }
}

int written(const std::string &output, const std::optional<std::string> &bytes,
            const FormatError &error)
{
    if (!bytes || bytes->empty())
        return failWith(output, "cannot write: " + error.message);
    FormatError writeError;
    if (!SafeWrite::replaceFile(output, *bytes, &writeError, SafeWrite::Sync::Later))
        return failWith(output, "cannot write: " + writeError.message);
    return 0;
}

// Each input is read; the first that cannot be is the answer. Nothing for a GIF to hand on.
std::optional<int> readInputs(int count, char **names, GifReader gif, std::vector<Pixels> *out)
{
    for (int i = 0; i < count; ++i) {
        const std::string name(names[i]);
        FormatError error;
        const auto bytes = readUserFile(name, kMaxInputBytes, &error);
        const auto pixels = bytes ? inputPixels(*bytes, 0, gif, &error) : std::nullopt;
        if (!pixels && bytes && isGif(*bytes) && gif == nullptr)
            return std::nullopt;
        if (!pixels)
            return failWith(name, error.message);
        if (std::max(pixels->width, pixels->height) > kMaxIconSide)
            return failWith(name, "the image is larger than 256 pixels a side");
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
        const auto listed = sidesOf(argv[argc - 1], kMaxIconSide);
        if (!listed)
            return failWith(argv[argc - 1], "the sizes must be 1 to 256, separated by commas");
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
    const std::string output(argv[2]);
    return written(output, writeCompletedIconSet(std::move(images), sides, &error), error);
}

std::optional<int> convertImage(int argc, char **argv, GifReader gif)
{
    const bool sized = argc == 6 && std::strcmp(argv[4], "--size") == 0;
    if (argc != 4 && !sized)
        return usageError();
    const auto side = sized ? sidesOf(argv[5], kMaxConvertSide) : std::vector<int>{0};
    if (!side || side->size() != 1)
        return failWith(argv[5], "the size must be 1 to 1024");
    const std::string input(argv[2]);
    const std::string output(argv[3]);
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
    std::string type = output.substr(output.rfind('.') + 1);
    for (char &c : type)
        c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (type == "png")
        return written(output, encodePng(*pixels), error);
    if (type == "bmp")
        return written(output, encodeBitmapFile(*pixels), error);
    if (type == "ico")
        return written(output, writeIconSet({*pixels}, &error), error);
    return failWith(output, "the output must end in .png, .bmp or .ico");
}
