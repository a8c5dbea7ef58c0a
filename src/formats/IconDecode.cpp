#include "formats/IconDecode.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <utility>

#include "formats/ByteReader.h"
#include "formats/PictureLimits.h"
#include "formats/Png.h"

namespace {

// Icons are at most 256 pixels; anything claiming far more is damaged or hostile.
constexpr int64_t kMaxSide = 1024;
constexpr int64_t kMaxBitmapSide = 16384;

using Kind = FormatError::Kind;

constexpr uint32_t argb(int alpha, int red, int green, int blue)
{
    return uint32_t(alpha) << 24 | uint32_t(red) << 16 | uint32_t(green) << 8 | uint32_t(blue);
}

// Clear pixels; the sides are checked against the data before this is called.
Pixels blank(int width, int height)
{
    return Pixels{width, height, std::vector<uint32_t>(size_t(width) * size_t(height), 0)};
}

uint32_t *rowOf(Pixels &pixels, int y)
{
    return pixels.argb.data() + size_t(y) * size_t(pixels.width);
}

bool isPng(std::string_view bytes)
{
    return bytes.starts_with(kPngSignature);
}

bool sideInRange(int64_t side)
{
    return side >= 1 && side <= kMaxSide;
}

std::optional<IconImageInfo> readPngHeader(std::string_view bytes, FormatError *error)
{
    // The IHDR chunk must come first: length, type, then big-endian width and height.
    const auto ihdr = ByteReader(bytes).bytes(kPngSignature.size(), 16);
    if (!ihdr || ihdr->substr(4, 4) != "IHDR")
        return failed(error, Kind::Damaged, "The PNG image has no header.");
    const int64_t width = bigEndian32(ihdr->substr(8));
    const int64_t height = bigEndian32(ihdr->substr(12));
    if (!sideInRange(width) || !sideInRange(height))
        return failed(error, Kind::Damaged, "The PNG image's size is out of range.");
    return IconImageInfo{int(width), int(height), 32, true};
}

// What differs between the DIB of an icon and the one in a bitmap file.
struct DibKind
{
    // Icons double their height for the AND mask, and use the fourth byte of 32-bit pixels as
    // alpha; bitmap files may be run-length encoded.
    bool icon = true;
    int64_t maxSide = kMaxSide;
    std::optional<uint64_t> pixels; // where a bitmap file's header says the pixels start
};

// Where everything of a DIB lies, worked out from its header and checked against its bytes.
struct DibLayout
{
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitCount = 0;
    bool runLength = false;
    uint32_t masks[4] = {}; // red, green, blue, alpha for 16 and 32 bits
    uint64_t paletteOffset = 0;
    int paletteEntries = 0;
    int paletteEntrySize = 4;
    uint64_t xorOffset = 0;
    uint64_t xorStride = 0;
    uint64_t andOffset = 0;
    uint64_t andStride = 0;
    bool hasMask = false;
};

// What a DIB's header says, in either of its layouts.
struct DibHeader
{
    uint32_t size = 0;
    int64_t width = 0;
    int64_t storedHeight = 0; // negative for rows stored top down; doubled in an icon
    int bitCount = 0;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    int paletteEntrySize = 4;
};

std::optional<DibHeader> readDibHeader(const ByteReader &r, FormatError *error)
{
    const auto tooShort = [error] {
        return failed(error, Kind::Damaged, "The image is too short for its header.");
    };
    const auto size = r.u32(0);
    if (!size)
        return tooShort();
    if (*size == 12) {
        const auto w = r.u16(4), h = r.u16(6), bits = r.u16(10);
        if (!w || !h || !bits)
            return tooShort();
        return DibHeader{*size, *w, *h, *bits, 0, 0, 3};
    }
    if (*size < 40)
        return failed(error, Kind::Unsupported, "The image has an unknown header.");
    if (!r.has(0, *size))
        return tooShort();
    // The whole header is present, so these reads cannot fail.
    return DibHeader{*size, *r.i32(4), *r.i32(8), *r.u16(14), *r.u32(16), *r.u32(32), 4};
}

// The colour masks of 16- and 32-bit pixels, from the header or the defaults. Where the colour
// table starts, which masks that follow a plain 40-byte header push back; nothing when they
// are missing.
std::optional<uint64_t> readMasks(const ByteReader &r, const DibHeader &h, const DibKind &kind,
                                  DibLayout &d, FormatError *error)
{
    uint64_t tableOffset = h.size;
    if (h.compression == 0 && d.bitCount == 16) {
        d.masks[0] = 0x7C00;
        d.masks[1] = 0x03E0;
        d.masks[2] = 0x001F;
        return tableOffset;
    }
    if (h.compression == 0) {
        d.masks[0] = 0x00FF0000;
        d.masks[1] = 0x0000FF00;
        d.masks[2] = 0x000000FF;
        d.masks[3] = kind.icon ? 0xFF000000 : 0;
        return tableOffset;
    }
    // Version 2+ headers hold the masks; a plain 40-byte header is followed by them.
    if (h.size < 52)
        tableOffset = uint64_t(h.size) + 12;
    const auto red = r.u32(40), green = r.u32(44), blue = r.u32(48);
    if (!red || !green || !blue || !r.has(0, tableOffset))
        return failed(error, Kind::Damaged, "The image's colour masks are missing.");
    d.masks[0] = *red;
    d.masks[1] = *green;
    d.masks[2] = *blue;
    if (h.size >= 56)
        d.masks[3] = *r.u32(52);
    else if (kind.icon && d.bitCount == 32 && ((*red | *green | *blue) & 0xFF000000) == 0)
        d.masks[3] = 0xFF000000;
    return tableOffset;
}

// How the pixels are stored: run-length encoding, masks. Where the colour table starts;
// nothing for a depth or compression this reader does not know.
std::optional<uint64_t> readPixelFormat(const ByteReader &r, const DibHeader &h,
                                        const DibKind &kind, DibLayout &d, FormatError *error)
{
    const auto unknownCompression = [error] {
        return failed(error, Kind::Unsupported,
                      "The image uses a compression this program cannot read.");
    };
    switch (d.bitCount) {
    case 4:
    case 8:
        // BI_RLE8 is 1 and BI_RLE4 is 2.
        d.runLength = !kind.icon && h.compression == uint32_t(d.bitCount == 8 ? 1 : 2);
        if (h.compression != 0 && !d.runLength)
            return unknownCompression();
        return uint64_t(h.size);
    case 1:
    case 24:
        if (h.compression != 0)
            return unknownCompression();
        return uint64_t(h.size);
    case 16:
    case 32:
        // BI_BITFIELDS is 3.
        if (h.compression != 0 && h.compression != 3)
            return unknownCompression();
        return readMasks(r, h, kind, d, error);
    default:
        return failed(error, Kind::Unsupported,
                      "The image has an unsupported number of bits per pixel.");
    }
}

std::optional<DibLayout> readDibLayout(const ByteReader &r, const DibKind &kind, FormatError *error)
{
    const auto h = readDibHeader(r, error);
    if (!h)
        return std::nullopt;
    DibLayout d;
    d.bitCount = h->bitCount;
    d.paletteEntrySize = h->paletteEntrySize;
    d.topDown = h->storedHeight < 0;
    const int64_t height = kind.icon ? std::abs(h->storedHeight) / 2 : std::abs(h->storedHeight);
    if (h->width < 1 || height < 1 || h->width > kind.maxSide || height > kind.maxSide)
        return failed(error, Kind::Damaged, "The image's size is out of range.");
    d.width = int(h->width);
    d.height = int(height);
    const auto tableOffset = readPixelFormat(r, *h, kind, d, error);
    if (!tableOffset)
        return std::nullopt;

    d.paletteOffset = *tableOffset;
    if (d.bitCount <= 8) {
        const uint32_t full = 1u << d.bitCount;
        d.paletteEntries = int(h->clrUsed == 0 ? full : std::min(h->clrUsed, full));
    }
    // Deeper images may still carry an (unused) colour table, as Windows allows.
    const uint64_t skipped =
        d.bitCount <= 8 ? uint64_t(d.paletteEntries) : std::min<uint64_t>(h->clrUsed, 256);
    d.xorOffset = kind.pixels.value_or(*tableOffset + skipped * uint64_t(d.paletteEntrySize));
    d.xorStride = (uint64_t(d.width) * uint64_t(d.bitCount) + 31) / 32 * 4;
    d.andStride = (uint64_t(d.width) + 31) / 32 * 4;
    // A run-length stream has no size of its own; it is checked while it is decoded.
    if (!r.has(d.xorOffset, d.runLength ? 0 : d.xorStride * uint64_t(d.height)))
        return failed(error, Kind::Damaged, "The image's data is cut short.");
    d.andOffset = d.xorOffset + d.xorStride * uint64_t(d.height);
    // Some old icons end after the colour bits: they are then drawn fully opaque.
    d.hasMask = kind.icon && r.has(d.andOffset, d.andStride * uint64_t(d.height));
    return d;
}

// A field of a 16- or 32-bit pixel scaled to 0..255 by repeating its bits below themselves, as
// other readers do (5 bits: v << 3 | v >> 2); a field wider than 8 bits keeps its top 8.
int channel(uint32_t pixel, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::bit_width(mask >> shift);
    const uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8)
        return int(value >> (bits - 8));
    uint32_t scaled = 0;
    for (int at = 8 - bits; at > -bits; at -= bits)
        scaled |= at >= 0 ? value << at : value >> -at;
    return int(scaled & 0xFF);
}

std::vector<uint32_t> readPalette(const ByteReader &r, const DibLayout &d)
{
    std::vector<uint32_t> palette;
    palette.reserve(size_t(d.paletteEntries));
    for (int i = 0; i < d.paletteEntries; ++i) {
        const uint64_t at = d.paletteOffset + uint64_t(i) * uint64_t(d.paletteEntrySize);
        const auto b = r.u8(at), g = r.u8(at + 1), red = r.u8(at + 2);
        if (!b || !g || !red)
            break;
        palette.push_back(argb(255, *red, *g, *b));
    }
    return palette;
}

// An index beyond the palette reads as black.
uint32_t paletteColor(const std::vector<uint32_t> &palette, uint32_t index)
{
    return index < palette.size() ? palette[index] : argb(255, 0, 0, 0);
}

// Pixel x of an uncompressed row; opaque unless the layout has an alpha mask.
uint32_t pixelOf(const ByteReader &row, int x, const DibLayout &d,
                 const std::vector<uint32_t> &palette)
{
    switch (d.bitCount) {
    case 1:
    case 4:
    case 8: {
        const uint64_t bit = uint64_t(x) * uint64_t(d.bitCount);
        const int shift = 8 - d.bitCount - int(bit % 8);
        return paletteColor(palette,
                            (row.u8(bit / 8).value_or(0) >> shift) & ((1u << d.bitCount) - 1));
    }
    case 24:
        return argb(255, row.u8(3 * uint64_t(x) + 2).value_or(0),
                    row.u8(3 * uint64_t(x) + 1).value_or(0), row.u8(3 * uint64_t(x)).value_or(0));
    default: {
        const uint32_t v = d.bitCount == 16 ? row.u16(2 * uint64_t(x)).value_or(0)
                                            : row.u32(4 * uint64_t(x)).value_or(0);
        return argb(d.masks[3] ? channel(v, d.masks[3]) : 255, channel(v, d.masks[0]),
                    channel(v, d.masks[1]), channel(v, d.masks[2]));
    }
    }
}

// Decodes the top-left of the colour bits into `out` (its size); true when some pixel has a
// non-zero alpha of its own.
bool decodeRows(const ByteReader &r, const DibLayout &d, const std::vector<uint32_t> &palette,
                Pixels &out)
{
    bool anyAlpha = false;
    for (int y = 0; y < out.height; ++y) {
        const int stored = d.topDown ? y : d.height - 1 - y;
        const ByteReader row(*r.bytes(d.xorOffset + uint64_t(stored) * d.xorStride, d.xorStride));
        uint32_t *line = rowOf(out, y);
        for (int x = 0; x < out.width; ++x) {
            line[x] = pixelOf(row, x, d, palette);
            anyAlpha = anyAlpha || (d.masks[3] != 0 && (line[x] >> 24) != 0);
        }
    }
    return anyAlpha;
}

void makeOpaque(Pixels &image)
{
    for (uint32_t &p : image.argb)
        p |= 0xFF000000u;
}

// Puts `count` pixels of a run-length stream into the top-left `out`, from `pos` in stored
// order through the whole bitmap: a run longer than what is left of its row goes on in the
// next, as ImageMagick places it. Only the pixels inside `out` cost anything.
template<typename Colour>
void placeRun(const DibLayout &d, Pixels &out, uint64_t pos, uint64_t count, Colour colour)
{
    const uint64_t width = uint64_t(d.width);
    const uint64_t height = uint64_t(d.height);
    const uint64_t shown = uint64_t(out.height);
    const uint64_t first = std::max(pos / width, d.topDown ? 0 : height - shown);
    const uint64_t end = std::min((pos + count - 1) / width + 1, d.topDown ? shown : height);
    for (uint64_t row = first; row < end; ++row) {
        const uint64_t start = row * width;
        const uint64_t last = std::min(pos + count, start + uint64_t(out.width));
        uint32_t *line = rowOf(out, int(d.topDown ? row : height - 1 - row));
        for (uint64_t p = std::max(pos, start); p < last; ++p)
            line[p - start] = colour(p - pos);
    }
}

// Decodes a run-length stream (4 or 8 bits) into the top-left `out`; pixels it skips keep what
// `out` holds. Rows, runs and their padding are read as ImageMagick reads them, so that the
// streams of writers that lose step with their rows (OpenJDK's RLE4 writer) show the same
// picture. False when the stream ends before its end-of-bitmap code.
bool decodeRunLength(const ByteReader &r, const DibLayout &d, const std::vector<uint32_t> &palette,
                     Pixels &out)
{
    const bool four = d.bitCount == 4;
    const auto indexAt = [four](uint8_t byte, uint64_t i) {
        return four ? uint32_t(i % 2 ? byte & 15 : byte >> 4) : uint32_t(byte);
    };
    const uint64_t width = uint64_t(d.width);
    const uint64_t total = width * uint64_t(d.height);
    uint64_t at = d.xorOffset;
    uint64_t x = 0; // the stream's own column and row, counted from the first stored row
    uint64_t y = 0;
    for (uint64_t pos = 0; y < uint64_t(d.height) && pos < total; pos = y * width + x) {
        const auto count = r.u8(at), value = r.u8(at + 1);
        if (!count || !value)
            return false;
        at += 2;
        if (*count > 0) {
            const uint64_t n = std::min<uint64_t>(*count, total - pos);
            placeRun(d, out, pos, n,
                     [&](uint64_t i) { return paletteColor(palette, indexAt(*value, i)); });
            x += n;
        } else if (*value == 0) {
            x = 0;
            ++y;
        } else if (*value == 1) {
            return true;
        } else if (*value == 2) {
            const auto dx = r.u8(at), dy = r.u8(at + 1);
            if (!dx || !dy)
                return false;
            at += 2;
            x += *dx;
            y += *dy;
        } else {
            const uint64_t n = std::min<uint64_t>(*value, total - pos);
            const uint64_t bytes = four ? (n + 1) / 2 : n;
            if (!r.has(at, bytes))
                return false;
            placeRun(d, out, pos, n, [&](uint64_t i) {
                return paletteColor(palette, indexAt(*r.u8(at + (four ? i / 2 : i)), i));
            });
            x += n;
            at += (bytes + 1) / 2 * 2; // absolute runs are padded to a word
        }
    }
    return true;
}

std::optional<IconPixels> decodeDib(std::string_view bytes, FormatError *error)
{
    const ByteReader r(bytes);
    const auto d = readDibLayout(r, DibKind(), error);
    if (!d)
        return std::nullopt;
    IconPixels image;
    image.width = d->width;
    image.height = d->height;
    image.bitCount = d->bitCount;
    image.color = blank(d->width, d->height);
    // An all-zero alpha channel means the image predates alpha: draw it through its mask.
    image.hasAlpha = decodeRows(r, *d, readPalette(r, *d), image.color);
    if (image.hasAlpha)
        return image;
    makeOpaque(image.color);
    image.mask.assign(size_t(d->width) * size_t(d->height), false);
    if (!d->hasMask)
        return image;
    for (int y = 0; y < d->height; ++y) {
        const int stored = d->topDown ? y : d->height - 1 - y;
        const ByteReader row(
            *r.bytes(d->andOffset + uint64_t(stored) * d->andStride, d->andStride));
        for (int x = 0; x < d->width; ++x)
            image.mask[size_t(y) * size_t(d->width) + size_t(x)] =
                (row.u8(uint64_t(x) / 8).value_or(0) >> (7 - x % 8) & 1) != 0;
    }
    return image;
}

std::optional<IconPixels> decodePng(std::string_view bytes, FormatError *error)
{
    const auto header = readPngHeader(bytes, error);
    if (!header)
        return std::nullopt;
    auto decoded = decodePngPixels(bytes, header->width, header->height);
    if (!decoded)
        return failed(error, Kind::Damaged, "The PNG image is damaged.");
    IconPixels image;
    image.width = header->width;
    image.height = header->height;
    image.bitCount = 32;
    image.color = std::move(*decoded);
    image.hasAlpha = true;
    return image;
}

} // namespace

std::optional<IconPixels> decodeIconPixels(std::string_view bytes, FormatError *error)
{
    if (bytes.empty())
        return failed(error, Kind::Damaged, "The image is empty.");
    return isPng(bytes) ? decodePng(bytes, error) : decodeDib(bytes, error);
}

std::optional<IconImageInfo> probeIconImage(std::string_view bytes)
{
    if (isPng(bytes))
        return readPngHeader(bytes, nullptr);
    const auto d = readDibLayout(ByteReader(bytes), DibKind(), nullptr);
    if (!d)
        return std::nullopt;
    return IconImageInfo{d->width, d->height, d->bitCount, false};
}

bool iconImageDecodes(std::string_view bytes)
{
    return probeIconImage(bytes).has_value() && (!isPng(bytes) || pngChunksHoldTogether(bytes));
}

Pixels transparentPixels(IconPixels image)
{
    Pixels out = std::move(image.color);
    if (!out.valid() || image.hasAlpha || image.mask.size() != out.argb.size())
        return out;
    for (size_t i = 0; i < out.argb.size(); ++i) {
        if (image.mask[i] && (out.argb[i] & 0xFFFFFFu) == 0)
            out.argb[i] = 0;
    }
    return out;
}

std::optional<Pixels> decodeBitmapPixels(std::string_view file, int clipWidth, int clipHeight,
                                         FormatError *error)
{
    const ByteReader f(file);
    const auto magic = f.u16(0);
    const auto pixels = f.u32(10);
    if (!magic || *magic != 0x4D42 || !pixels || !f.has(0, 14))
        return failed(error, Kind::WrongKind, "The file is not a Windows bitmap.");
    const ByteReader r(file.substr(14));
    DibKind kind;
    kind.icon = false;
    kind.maxSide = kMaxBitmapSide;
    if (*pixels >= 14)
        kind.pixels = *pixels - 14;
    const auto d = readDibLayout(r, kind, error);
    if (!d)
        return std::nullopt;
    if (clipWidth < 1 || clipHeight < 1)
        return failed(error, Kind::TooLarge, "There is no room for the picture.");
    Pixels out = blank(std::min(d->width, clipWidth), std::min(d->height, clipHeight));
    const std::vector<uint32_t> palette = readPalette(r, *d);
    if (d->runLength) {
        if (!decodeRunLength(r, *d, palette, out))
            return failed(error, Kind::Damaged, "The image's data is cut short.");
    } else if (!decodeRows(r, *d, palette, out)) {
        makeOpaque(out); // an alpha channel of zeros is no alpha channel
    }
    return out;
}

std::optional<std::vector<IconDirEntry>> readIconDirectory(std::string_view file,
                                                           FormatError *error, bool cursors)
{
    using Entries = std::vector<IconDirEntry>;
    const ByteReader r(file);
    const auto reserved = r.u16(0), type = r.u16(2), count = r.u16(4);
    if (!reserved || !type || !count || *reserved != 0 || (*type != 1 && !(cursors && *type == 2)))
        return failed(error, Kind::WrongKind, "The file is not an icon.");
    if (*count == 0 || !r.has(6, 16 * uint64_t(*count)))
        return failed(error, Kind::Damaged, "The icon's directory is empty or cut short.");
    Entries entries;
    for (uint64_t i = 0; i < *count; ++i) {
        const uint64_t at = 6 + 16 * i;
        // The whole directory is present, so these reads cannot fail.
        IconDirEntry e;
        static_cast<IconEntryInfo &>(e) = readIconEntry(r, at);
        e.imageOffset = *r.u32(at + 12);
        if (r.has(e.imageOffset, e.bytesInRes))
            entries.push_back(e);
    }
    if (entries.empty())
        return failed(error, Kind::Damaged, "None of the icon's images lies inside the file.");
    return entries;
}

IconEntryInfo readIconEntry(const ByteReader &r, uint64_t at)
{
    IconEntryInfo e;
    e.width = *r.u8(at) == 0 ? 256 : *r.u8(at);
    e.height = *r.u8(at + 1) == 0 ? 256 : *r.u8(at + 1);
    e.colorCount = *r.u8(at + 2);
    e.reserved = *r.u8(at + 3);
    e.planes = *r.u16(at + 4);
    e.bitCount = *r.u16(at + 6);
    e.bytesInRes = *r.u32(at + 8);
    return e;
}

int bestIconImage(const std::vector<IconImageInfo> &images)
{
    const auto distance = [](const IconImageInfo &i) {
        return std::abs(i.width - 32) + std::abs(i.height - 32);
    };
    int best = -1;
    for (size_t i = 0; i < images.size(); ++i) {
        if (best < 0 || distance(images[i]) < distance(images[size_t(best)]))
            best = int(i);
    }
    if (best < 0)
        return best;
    const IconImageInfo chosen = images[size_t(best)];
    for (size_t i = 0; i < images.size(); ++i) {
        if (images[i].width == chosen.width && images[i].height == chosen.height &&
            images[i].bitCount > images[size_t(best)].bitCount)
            best = int(i);
    }
    return best;
}

int iconImageForSide(const std::vector<IconImageInfo> &images, int side)
{
    const auto larger = [](const IconImageInfo &i) { return std::max(i.width, i.height); };
    const auto better = [&](const IconImageInfo &a, const IconImageInfo &b) {
        const bool aFits = larger(a) >= side, bFits = larger(b) >= side;
        if (aFits != bFits)
            return aFits;
        if (larger(a) != larger(b))
            return aFits ? larger(a) < larger(b) : larger(a) > larger(b);
        return a.bitCount > b.bitCount;
    };
    int best = -1;
    for (size_t i = 0; i < images.size(); ++i) {
        if (best < 0 || better(images[i], images[size_t(best)]))
            best = int(i);
    }
    return best;
}

std::optional<std::string> writeIcoFile(const std::vector<IcoFilePart> &parts, FormatError *error)
{
    static_assert(kMaxIcoBytes <= UINT32_MAX, "offsets are 32 bits");
    uint64_t total = 6 + 16 * uint64_t(parts.size());
    for (const IcoFilePart &part : parts)
        total += uint64_t(part.data.size());
    if (parts.empty())
        return failed(error, Kind::Damaged, "The icon has no images.");
    if (parts.size() > 0xFFFF)
        return failed(error, Kind::TooLarge, "The icon would have more than 65535 images.");
    if (total > kMaxIcoBytes)
        return failed(error, Kind::TooLarge, "The icon would be larger than 64 MiB.");
    std::string out;
    out.reserve(size_t(total));
    appendLE16(out, 0);
    appendLE16(out, 1);
    appendLE16(out, uint16_t(parts.size()));
    auto offset = uint32_t(6 + 16 * parts.size());
    for (const IcoFilePart &part : parts) {
        const IconEntryInfo &e = part.entry;
        // 256 is stored as 0.
        for (const int byte : {e.width, e.height, e.colorCount, e.reserved})
            out.push_back(char(byte & 0xFF));
        appendLE16(out, uint16_t(e.planes));
        appendLE16(out, uint16_t(e.bitCount));
        appendLE32(out, uint32_t(part.data.size()));
        appendLE32(out, offset);
        offset += uint32_t(part.data.size());
    }
    for (const IcoFilePart &part : parts)
        out.append(part.data);
    return out;
}
