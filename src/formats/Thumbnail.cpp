#include "formats/Thumbnail.h"

#include <algorithm>
#include <utility>

#include "formats/IconResources.h"
#include "formats/IconScale.h"
#include "formats/Png.h"

namespace {

// A length of an image whose larger side is `larger`, made smaller to fit into `side`.
int shrunkLength(int length, int larger, int side)
{
    return std::max(1, int((int64_t(length) * side + larger / 2) / larger));
}

// The image fitted into side x side: made smaller keeping its shape, or larger by the whole
// factor that fits, so that a small pixel icon stays crisp.
Pixels fitted(Pixels image, int side)
{
    const int larger = std::max(image.width, image.height);
    if (larger > side)
        return scaledPixels(image, shrunkLength(image.width, larger, side),
                            shrunkLength(image.height, larger, side));
    const int factor = side / larger;
    return factor > 1 ? scaledPixels(image, image.width * factor, image.height * factor)
                      : std::move(image);
}

// The image as decodeIconPixels gives it, but a PNG that shrinks by whole factors to fit is
// shrunk as its rows are decoded: a 256-pixel image is a quarter of a megabyte that a fresh
// process pays for page by page. What fitted() then does to it is nothing.
std::optional<IconPixels> decodedToFit(std::string_view bytes, int side)
{
    const auto info = probeIconImage(bytes);
    const int larger = info ? std::max(info->width, info->height) : 0;
    const int width = info ? shrunkLength(info->width, larger, side) : 0;
    const int height = info ? shrunkLength(info->height, larger, side) : 0;
    if (!info || !info->png || larger <= side || info->width % width != 0 ||
        info->height % height != 0)
        return decodeIconPixels(bytes);
    BlockShrink shrink(info->width, info->height, width, height, true);
    if (!decodePngRows(bytes, info->width, info->height,
                       [&shrink](const uint32_t *row) { shrink.add(row); }))
        return std::nullopt;
    IconPixels image;
    image.width = width;
    image.height = height;
    image.bitCount = 32;
    image.color = std::move(shrink).result();
    image.hasAlpha = true;
    return image;
}

// The first icon's image for `side`, decoded by `decode`. The first icon is the one the desktop
// shows for a program; file managers ask for cursors too.
std::optional<Pixels> firstImage(std::string_view file, int side, const IconImageDecoder &decode,
                                 FormatError *error)
{
    const auto groups = readIconGroups(file, error, 1, true);
    if (!groups)
        return std::nullopt;
    auto chosen = chosenGroupImage(
        groups->front(),
        [side](const std::vector<IconImageInfo> &images) { return iconImageForSide(images, side); },
        decode);
    if (!chosen)
        return failed(error, FormatError::Kind::Damaged, "None of the icon's images can be read.");
    return transparentPixels(std::move(*chosen));
}

} // namespace

std::optional<Pixels> firstIconImage(std::string_view file, int side, FormatError *error)
{
    return firstImage(file, side, {}, error);
}

std::optional<Pixels> iconThumbnail(std::string_view file, int side, FormatError *error)
{
    auto image = firstImage(
        file, side, [side](std::string_view bytes) { return decodedToFit(bytes, side); }, error);
    if (!image)
        return std::nullopt;
    return fitted(std::move(*image), side);
}
