// Any bytes through the thumbnailer's path: the first icon group, the image for a size taken
// from the first byte, its pixels through libpng or the DIB reader, fitted, and written as a PNG
// that libpng reads back at the size it was made.
#include "formats/Png.h"
#include "formats/Thumbnail.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int side = 1 + data[0] % 160;
    const auto thumbnail =
        iconThumbnail(std::string_view(reinterpret_cast<const char *>(data) + 1, size - 1), side);
    if (!thumbnail)
        return 0;
    if (!thumbnail->valid() || thumbnail->width > side || thumbnail->height > side)
        std::abort();
    const std::string png = encodePng(*thumbnail);
    const auto back = decodePngPixels(png, thumbnail->width, thumbnail->height);
    if (!back || back->argb != thumbnail->argb)
        std::abort();
    return 0;
}
