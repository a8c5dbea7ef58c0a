#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "formats/FormatError.h"
#include "formats/IconDecode.h"
#include "formats/IconResources.h"

// One image of an icon as the editor draws it: its colours in Format_ARGB32.
using IconImage = DecodedIcon<QImage>;

// Decodes one image (a DIB with its mask, or a PNG) from its bytes; sizes are checked against
// the bytes before anything is allocated. Nothing, with a reason, for bad data.
std::optional<IconImage> decodeIconImage(QByteArrayView bytes, FormatError *error = nullptr);
// The best image of an .ico file, decoded.
std::optional<IconImage> loadBestIcon(QByteArrayView file, FormatError *error = nullptr);
// The image as the desktop draws it over a background, as Format_ARGB32: an image's own alpha
// kept (straight), else (background AND mask) XOR colour, where the pixels that leave the
// background untouched (alpha 0, or masked over black) are alpha 0 over the background's RGB.
QImage composeIcon(const IconImage &image, QRgb background);
// A Windows bitmap file of any depth, uncompressed or run-length encoded, as Format_ARGB32 with
// only its top-left `clip` pixels decoded; pixels a run-length stream skips are transparent.
std::optional<QImage> decodeBitmapFile(QByteArrayView file, QSize clip,
                                       FormatError *error = nullptr);
// A complete .ico file holding one 32-bit image with its AND mask (bit set where alpha is 0).
QByteArray encodeIcon32(const QImage &image);
// An .ico file's bytes with `image` put in as a 32 x 32, 32-bit image with its AND mask (as
// encodeIcon32 writes it): in place of the entry loadBestIcon shows when that one is 32 x 32 (any
// depth), otherwise added at the end. Any other 32 x 32, 32-bit entry is left out, so the new one
// shares its size and depth with none; every other entry keeps its bytes and directory fields.
// Nothing, with a reason, when `file` is not a readable icon file or the result is too large.
std::optional<QByteArray> mergeIcon32(QByteArrayView file, const QImage &image,
                                      FormatError *error = nullptr);
// The group's image to show for 32 x 32, chosen by each image's own header, decoded; nothing
// when no image of the group decodes.
std::optional<IconImage> groupIcon(const IconGroup &group);
