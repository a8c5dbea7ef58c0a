#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>

#include "formats/FormatError.h"

// The bitmap file header and the information header after it, as the first 54 bytes of a
// Windows bitmap hold them, signed where the format is. Nothing is checked: any bytes read as
// some header, as the properties window explains whatever file it is given.
struct BitmapHeader
{
    uint16_t fileType = 0;
    uint32_t fileSize = 0;
    uint32_t pixelOffset = 0;
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    int16_t planes = 0;
    int16_t bitCount = 0;
    int32_t compression = 0;
    int32_t imageSize = 0;
    uint32_t xPelsPerMeter = 0;
    uint32_t yPelsPerMeter = 0;
    int32_t colorsUsed = 0;
    int32_t colorsImportant = 0;
};

constexpr int BitmapHeaderBytes = 54;

// Bytes missing at the end of `bytes` read as 0.
BitmapHeader readBitmapHeader(QByteArrayView bytes);
// The header of a regular file, reading no more than its first 54 bytes; nothing, with the
// reason, when the file cannot be read.
std::optional<BitmapHeader> readBitmapHeaderFile(const QString &path, FormatError *error = nullptr);
