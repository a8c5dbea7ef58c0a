#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "formats/Pixels.h"

// PNG streams: read through libpng, written here with zlib.

// The pixels of a PNG stream of `width` x `height` (what its header, already checked, says),
// decoded from only the chunks that make its pixels. Nothing for a stream that does not decode
// to that size.
std::optional<Pixels> decodePngPixels(std::string_view png, int width, int height);
// Takes each row of `width` 0xAABBGGRR words (PNG's own byte order), top down.
using PngRowSink = std::function<void(const std::uint32_t *row)>;
// The same pixels handed over a row at a time as they are decoded, so that a large image is
// never held whole; false, after some rows perhaps, for a stream that does not decode. Red and
// blue are left where PNG has them: swapping them in every source pixel was a tenth of a
// thumbnail's work, and a shrink can swap its few results instead.
bool decodePngRows(std::string_view png, int width, int height, const PngRowSink &take);
// Row y of an image as 0xAARRGGBB words, asked for from the top down.
using PngRows = std::function<const std::uint32_t *(int y)>;
// A PNG file of `width` x `height` pixels, 8 bits per channel with alpha, made from the rows as
// they are handed over. Empty for no pixels.
std::string encodePngRows(int width, int height, const PngRows &row);
// The same for whole pixels; empty for invalid ones.
std::string encodePng(const Pixels &pixels);
