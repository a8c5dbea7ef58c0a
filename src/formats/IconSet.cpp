#include "formats/IconSet.h"

#include <algorithm>
#include <string>

#include "formats/ByteReader.h"
#include "formats/IconDecode.h"
#include "formats/IconScale.h"
#include "formats/Png.h"

namespace {

using Kind = FormatError::Kind;

int sideOf(const Pixels &image)
{
    return std::max(image.width, image.height);
}

IconEntryInfo entryOf(int width, int height)
{
    IconEntryInfo entry;
    entry.width = width;
    entry.height = height;
    entry.planes = 1;
    entry.bitCount = 32;
    return entry;
}

} // namespace

namespace {

// A 32-bit DIB, bottom row first: for an icon, with twice the height in its header and the AND
// mask after the colours, and clear pixels black so that a screen XOR leaves the desktop alone.
std::string dib32(const Pixels &image, bool icon)
{
    const int w = image.width;
    const int h = image.height;
    const int maskStride = icon ? (w + 31) / 32 * 4 : 0;
    std::string out;
    out.reserve(40 + (size_t(w) * 4 + size_t(maskStride)) * size_t(h));
    for (uint32_t v : {40u, uint32_t(w), uint32_t(icon ? 2 * h : h)})
        appendLE32(out, v);
    appendLE16(out, 1);
    appendLE16(out, 32);
    appendLE32(out, 0);
    appendLE32(out, uint32_t(w * h * 4 + maskStride * h));
    for (int i = 0; i < 4; ++i)
        appendLE32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t p = icon && image.at(x, y) >> 24 == 0 ? 0 : image.at(x, y);
            const char little[4] = {char(p), char(p >> 8), char(p >> 16), char(p >> 24)};
            out.append(little, 4);
        }
    }
    for (int y = icon ? h - 1 : -1; y >= 0; --y) {
        std::string row(size_t(maskStride), '\0');
        // The leftmost pixel is the most significant bit of the first byte.
        for (int x = 0; x < w; ++x) {
            if (image.at(x, y) >> 24 == 0)
                row[size_t(x / 8)] = char(row[size_t(x / 8)] | 0x80 >> (x % 8));
        }
        out.append(row);
    }
    return out;
}

} // namespace

std::string encodeIconDib(const Pixels &image)
{
    return dib32(image, true);
}

namespace {

std::string encoded(const Pixels &image)
{
    return sideOf(image) >= kMaxIconSide ? encodePng(image) : encodeIconDib(image);
}

// The smallest image not smaller than `side`, else the largest.
const Pixels &sourceFor(const std::vector<Pixels> &images, int side)
{
    const Pixels *from = &images.front();
    for (const Pixels &p : images) {
        const bool larger = sideOf(p) >= side;
        if ((larger && (sideOf(*from) < side || sideOf(p) < sideOf(*from))) ||
            (!larger && sideOf(*from) < side && sideOf(p) > sideOf(*from)))
            from = &p;
    }
    return *from;
}

// The image at side x side, encoded. An enlargement stored as PNG goes row by row from the
// source: a 256-pixel image is a quarter of a megabyte that a fresh process pays for page by page.
std::string madeImage(const Pixels &from, int side)
{
    if (side < kMaxIconSide || !from.valid() || side % from.width != 0 || side % from.height != 0)
        return encoded(scaledPixels(from, side, side));
    const int fx = side / from.width;
    const int fy = side / from.height;
    std::vector<uint32_t> row(static_cast<size_t>(side));
    int widened = -1;
    return encodePngRows(side, side, [&](int y) {
        if (y / fy != widened) {
            widened = y / fy;
            for (int x = 0; x < side; ++x)
                row[size_t(x)] = from.at(x / fx, widened);
        }
        return row.data();
    });
}

} // namespace

std::string encodeBitmapFile(const Pixels &image)
{
    if (!image.valid())
        return {};
    const std::string dib = dib32(image, false);
    std::string out("BM");
    appendLE32(out, uint32_t(14 + dib.size()));
    appendLE32(out, 0);
    appendLE32(out, 14 + 40);
    return out + dib;
}

std::optional<std::string> writeIconSet(std::vector<Pixels> images, FormatError *error)
{
    return writeIconSet(std::move(images), {}, error);
}

namespace {

// The file of the kept parts, the images and then the made parts, ordered by size and, within
// one size, in that order.
std::optional<std::string> packed(std::vector<Pixels> images, const std::vector<IcoFilePart> &kept,
                                  const std::vector<IcoFilePart> &made, FormatError *error)
{
    std::stable_sort(images.begin(), images.end(),
                     [](const Pixels &a, const Pixels &b) { return sideOf(a) > sideOf(b); });
    std::vector<std::string> data;
    std::vector<IcoFilePart> parts = kept;
    data.reserve(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const Pixels &image = images[i];
        if (!image.valid() || sideOf(image) > kMaxIconSide)
            return failed(error, Kind::TooLarge, "An icon image must be 1 to 256 pixels a side.");
        if (i > 0 && image.width == images[i - 1].width && image.height == images[i - 1].height)
            return failed(error, Kind::Damaged,
                          "Two images of " + std::to_string(image.width) + " x " +
                              std::to_string(image.height) + " pixels.");
        data.push_back(encoded(image));
    }
    for (size_t i = 0; i < images.size(); ++i)
        parts.push_back({entryOf(images[i].width, images[i].height), data[i]});
    parts.insert(parts.end(), made.begin(), made.end());
    std::stable_sort(parts.begin(), parts.end(), [](const IcoFilePart &a, const IcoFilePart &b) {
        return std::max(a.entry.width, a.entry.height) > std::max(b.entry.width, b.entry.height);
    });
    return writeIcoFile(parts, error);
}

} // namespace

std::optional<std::string> writeIconSet(std::vector<Pixels> images,
                                        const std::vector<IcoFilePart> &kept, FormatError *error)
{
    return packed(std::move(images), kept, {}, error);
}

std::optional<std::string> writeCompletedIconSet(std::vector<Pixels> images,
                                                 const std::vector<int> &sides, FormatError *error)
{
    std::vector<int> made;
    std::vector<std::string> data;
    for (const int side : sides) {
        const auto has = [side](const Pixels &p) { return p.width == side && p.height == side; };
        if (images.empty() || std::any_of(images.begin(), images.end(), has) ||
            std::find(made.begin(), made.end(), side) != made.end())
            continue;
        made.push_back(side);
        data.push_back(madeImage(sourceFor(images, side), side));
    }
    std::vector<IcoFilePart> parts;
    for (size_t i = 0; i < made.size(); ++i)
        parts.push_back({entryOf(made[i], made[i]), data[i]});
    return packed(std::move(images), {}, parts, error);
}
