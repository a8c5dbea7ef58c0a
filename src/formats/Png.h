#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

#include "formats/Pixels.h"

// PNG streams through libpng, without Qt Gui.

// The pixels of a PNG stream of `width` x `height` (what its header, already checked, says),
// decoded from only the chunks that make its pixels. Nothing for a stream that does not decode
// to that size.
std::optional<Pixels> decodePngPixels(QByteArrayView png, int width, int height);
// A PNG file of the pixels, 8 bits per channel with alpha. Empty for invalid pixels.
QByteArray encodePng(const Pixels &pixels);
