#pragma once

#include <optional>
#include <string_view>

#include "formats/FormatError.h"
#include "formats/Pixels.h"

// The largest square a file manager asks a thumbnail for: the freedesktop "xx-large".
constexpr int kMaxThumbnailSide = 1024;

// Of the first icon of an executable, library, icon library, icon or cursor file, the image that
// suits `side` best (as below), with its transparency and at its own size. Nothing, with the
// reason, for a file without a readable icon; nothing is decoded but that one image.
std::optional<Pixels> firstIconImage(std::string_view file, int side, FormatError *error = nullptr);
// The picture a file manager shows for an executable, library, icon library, icon or cursor: of
// the first icon, the image that suits `side` best (the smallest not smaller, else the largest,
// the deepest first among equals), with its transparency, fitted into side x side: smaller, or
// larger by the whole factor that fits so that a pixel icon stays crisp. Nothing, with the
// reason, for a file without a readable icon; nothing is decoded but that one image.
std::optional<Pixels> iconThumbnail(std::string_view file, int side, FormatError *error = nullptr);
