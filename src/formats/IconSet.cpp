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

IconEntryInfo entryOf(const Pixels &image)
{
    IconEntryInfo entry;
    entry.width = image.width;
    entry.height = image.height;
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

std::optional<std::string> writeIconSet(std::vector<Pixels> images,
                                        const std::vector<IcoFilePart> &kept, FormatError *error)
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
        data.push_back(sideOf(image) >= kMaxIconSide ? encodePng(image) : encodeIconDib(image));
    }
    for (size_t i = 0; i < images.size(); ++i)
        parts.push_back({entryOf(images[i]), data[i]});
    std::stable_sort(parts.begin(), parts.end(), [](const IcoFilePart &a, const IcoFilePart &b) {
        return std::max(a.entry.width, a.entry.height) > std::max(b.entry.width, b.entry.height);
    });
    return writeIcoFile(parts, error);
}

std::vector<Pixels> completedSet(std::vector<Pixels> images, const std::vector<int> &sides)
{
    const std::vector<Pixels> given = images;
    for (const int side : sides) {
        const auto has = [side](const Pixels &p) { return p.width == side && p.height == side; };
        if (given.empty() || std::any_of(images.begin(), images.end(), has))
            continue;
        const Pixels *from = nullptr;
        for (const Pixels &p : given) {
            const bool larger = sideOf(p) >= side;
            if (from == nullptr ||
                (larger && (sideOf(*from) < side || sideOf(p) < sideOf(*from))) ||
                (!larger && sideOf(*from) < side && sideOf(p) > sideOf(*from)))
                from = &p;
        }
        images.push_back(scaledPixels(*from, side, side));
    }
    return images;
}
