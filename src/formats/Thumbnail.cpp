#include "formats/Thumbnail.h"

#include <algorithm>
#include <utility>

#include "formats/IconResources.h"
#include "formats/IconScale.h"

namespace {

// The image fitted into side x side: made smaller keeping its shape, or larger by the whole
// factor that fits, so that a small pixel icon stays crisp.
Pixels fitted(Pixels image, int side)
{
    const int larger = std::max(image.width, image.height);
    if (larger > side) {
        const auto scaled = [&](int length) {
            return std::max(1, int((int64_t(length) * side + larger / 2) / larger));
        };
        return scaledPixels(image, scaled(image.width), scaled(image.height));
    }
    const int factor = side / larger;
    return factor > 1 ? scaledPixels(image, image.width * factor, image.height * factor)
                      : std::move(image);
}

} // namespace

std::optional<Pixels> firstIconImage(std::string_view file, int side, FormatError *error)
{
    // The first icon is the one the desktop shows for a program; file managers ask for cursors
    // too.
    const auto groups = readIconGroups(file, error, 1, true);
    if (!groups)
        return std::nullopt;
    auto chosen =
        chosenGroupImage(groups->front(), [side](const std::vector<IconImageInfo> &images) {
            return iconImageForSide(images, side);
        });
    if (!chosen)
        return failed(error, FormatError::Kind::Damaged, "None of the icon's images can be read.");
    return transparentPixels(std::move(*chosen));
}

std::optional<Pixels> iconThumbnail(std::string_view file, int side, FormatError *error)
{
    auto image = firstIconImage(file, side, error);
    if (!image)
        return std::nullopt;
    return fitted(std::move(*image), side);
}
