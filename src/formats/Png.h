#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "formats/Pixels.h"

// PNG streams through libpng.

// The pixels of a PNG stream of `width` x `height` (what its header, already checked, says),
// decoded from only the chunks that make its pixels. Nothing for a stream that does not decode
// to that size.
std::optional<Pixels> decodePngPixels(std::string_view png, int width, int height);
// A PNG file of the pixels, 8 bits per channel with alpha. Empty for invalid pixels.
std::string encodePng(const Pixels &pixels);
