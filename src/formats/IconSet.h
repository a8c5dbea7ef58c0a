#pragma once

#include <optional>
#include <string>
#include <vector>

#include "formats/FormatError.h"
#include "formats/IconDecode.h"
#include "formats/Pixels.h"

// Icon files of several sizes.

// The largest side an .ico directory can name.
constexpr int kMaxIconSide = 256;

// One image of an icon as a 32-bit DIB with its AND mask (bit set where alpha is 0), the form
// every reader of icons takes; at most 255 pixels a side.
std::string encodeIconDib(const Pixels &image);
// A Windows bitmap file of 32 bits, the alpha in the fourth byte of each pixel.
std::string encodeBitmapFile(const Pixels &image);
// An .ico file of the images, largest first, so that a reader that takes the first image gets
// the best one: those of 256 pixels as PNG, the others as 32-bit DIBs with their masks. Nothing,
// with the reason, for no images, an image of no pixels or of more than 256 a side, or two of
// one size.
std::optional<std::string> writeIconSet(std::vector<Pixels> images, FormatError *error = nullptr);
// The same with images kept as another icon file holds them, their entries and bytes unchanged,
// in the same order of size; the caller sees that none shares a size with a new image.
std::optional<std::string> writeIconSet(std::vector<Pixels> images,
                                        const std::vector<IcoFilePart> &kept,
                                        FormatError *error = nullptr);
// An .ico file of the images and of every listed side that none of them has, each made from
// the smallest larger image, else from the largest, by the rules of scaledPixels.
std::optional<std::string> writeCompletedIconSet(std::vector<Pixels> images,
                                                 const std::vector<int> &sides,
                                                 FormatError *error = nullptr);
