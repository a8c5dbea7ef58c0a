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
// The same, with each entry saying what its image's own header says, as writers do.
QByteArray describedIcoFile(const std::vector<QByteArray> &images, int count = -1);
// An icon DIB of `bits` (1 to 8 with a full palette, or 24 or 32) whose colour bytes are `fill`,
// with an AND mask of zeros.
QByteArray solidDib(int side, int bits, char fill);
QByteArray pngBytes(const QImage &image);

// Hostile but valid pictures, made small.
// A placeable metafile of `side` x `side` pixels that stretches a 24-bit bitmap of that size,
// all `colour`, over its whole frame, as office suites write pictures.
QByteArray stretchedBitmapMetafile(int side, QRgb colour);
// The PNG with `count` zTXt chunks put after its header, each inflating to `inflated` bytes.
QByteArray pngWithTextChunks(const QByteArray &png, int count, qsizetype inflated);
// A progressive JPEG of `side` x `side` pixels, all `colour`, with its last scan repeated until
// it has `scans`.
QByteArray jpegWithScans(int side, QRgb colour, int scans);
// A PE32 library of `groups` icon groups, group i naming images[i % images.size()] alone.
QByteArray peLibrary(int groups, const std::vector<QByteArray> &images);
// The same with one image that every group names.
inline QByteArray peWithSharedIcon(int groups, const QByteArray &image)
{
    return peLibrary(groups, {image});
}
