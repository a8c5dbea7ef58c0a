#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/FormatError.h"
#include "formats/Pixels.h"

// The icon and bitmap decoders on plain pixels, for the programs that must start small;
// IconImage wraps them for the editor.

// What a directory says of an image, and what the image's own header says.
struct IconImageInfo
{
    int width = 0; // 0 in a directory means 256
    int height = 0;
    int bitCount = 0;
    bool png = false;
};

// What a directory entry says of an image; an .ico file's entries and an icon group's share it.
struct IconEntryInfo
{
    int width = 0; // 256 for a stored 0
    int height = 0;
    int colorCount = 0;
    int planes = 0;
    int bitCount = 0;
    uint32_t bytesInRes = 0;
    int reserved = 0; // should be 0; kept as found when an icon is written back
};

struct IconDirEntry : IconEntryInfo
{
    uint32_t imageOffset = 0;
};

class ByteReader;
// The first 12 bytes of a directory entry at `at`, which the caller has checked are there.
IconEntryInfo readIconEntry(const ByteReader &r, uint64_t at);

// One decoded image of an icon: a DIB with its AND mask, or a PNG stream; its colours as plain
// pixels here, as a QImage for the editor.
template<class Picture> struct DecodedIcon
{
    int width = 0;
    int height = 0;
    int bitCount = 0; // the DIB header's bit count, or 32 for a PNG
    // The colour (XOR) bitmap with straight alpha; alpha is 255 everywhere when the image has no
    // alpha of its own.
    Picture color;
    // The AND mask, one flag per pixel, true where the screen shows through; empty for PNG
    // images and for 32-bit images whose alpha is used.
    std::vector<bool> mask;
    bool hasAlpha = false;
};
using IconPixels = DecodedIcon<Pixels>;

// Decodes one image (a DIB with its mask, or a PNG) from its bytes; sizes are checked against
// the bytes before anything is allocated. Nothing, with a reason, for bad data.
std::optional<IconPixels> decodeIconPixels(std::string_view bytes, FormatError *error = nullptr);
// The image as a desktop shows it over any background, with alpha: its own alpha, or clear
// where the mask lets the screen through a black pixel. A pixel that inverts the screen
// (masked but not black) shows as its colour, as it does over black.
Pixels transparentPixels(IconPixels image);
// Reads only the header of one image: its real size and bit count.
std::optional<IconImageInfo> probeIconImage(std::string_view bytes);
// Whether decodeIconPixels gives an image, told from headers without decoding: a DIB's sizes
// are checked against its bytes, a PNG's chunks must hold together; damage inside a PNG's
// compressed data shows only when it is decoded.
bool iconImageDecodes(std::string_view bytes);
// The directory of an .ico file (or, with `cursors`, of a .cur file too), each entry's data
// checked to lie inside the file.
std::optional<std::vector<IconDirEntry>>
readIconDirectory(std::string_view file, FormatError *error = nullptr, bool cursors = false);
// The image to show for 32 x 32: exactly 32 x 32 with the deepest real bit depth first, else the
// closest size (sum of the differences), the first found winning ties. -1 for an empty list.
int bestIconImage(const std::vector<IconImageInfo> &images);
// The image to show in a square of `side`: the smallest whose larger side is not below it, else
// the largest, the deepest first among equal sizes, the first found winning ties. -1 for an
// empty list.
int iconImageForSide(const std::vector<IconImageInfo> &images, int side);
// A Windows bitmap file of any depth, uncompressed or run-length encoded, with only its top-left
// `clipWidth` x `clipHeight` pixels decoded; pixels a run-length stream skips are transparent.
std::optional<Pixels> decodeBitmapPixels(std::string_view file, int clipWidth, int clipHeight,
                                         FormatError *error = nullptr);

// One image to write into an .ico file: what its directory entry says (the size written is the
// data's, whatever bytesInRes says) and its bytes.
struct IcoFilePart
{
    IconEntryInfo entry;
    std::string_view data;
};
// The most an .ico file written here may hold, so that the picture reader takes it back.
constexpr uint64_t kMaxIcoBytes = uint64_t(64) * 1024 * 1024;
// An .ico file of these images in this order. Nothing, with the reason, for none, for more than
// the format's 65535, or for a file larger than kMaxIcoBytes.
std::optional<std::string> writeIcoFile(const std::vector<IcoFilePart> &parts,
                                        FormatError *error = nullptr);
