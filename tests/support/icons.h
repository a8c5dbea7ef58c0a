#pragma once

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <vector>

// Builders of icon bytes for the readers' tests.

// A BITMAPINFOHEADER; icon images give twice their height, for the mask below the colours.
QByteArray dibHeader(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0,
                     uint32_t clrUsed = 0);
// An .ico of `count` entries (by default one per image), each naming the images in turn. The
// entries say 0 x 0 at 0 bits: readers must trust the images themselves.
QByteArray icoFile(const std::vector<QByteArray> &images, int count = -1);
QByteArray pngBytes(const QImage &image);
