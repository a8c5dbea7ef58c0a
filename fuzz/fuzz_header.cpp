// Any bytes as the head of a bitmap file: every field is its own bytes, zeros past the end.
#include "formats/BitmapHeader.h"

#include <cstdlib>

namespace {

int64_t field(const uint8_t *data, size_t size, size_t offset, size_t length)
{
    uint64_t value = 0;
    for (size_t i = 0; i < length; ++i)
        value |= uint64_t(offset + i < size ? data[offset + i] : 0) << (8 * i);
    return int64_t(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const BitmapHeader h = readBitmapHeader(QByteArrayView(data, qsizetype(size)));
    const bool same = h.fileType == field(data, size, 0, 2) &&
                      h.width == int32_t(field(data, size, 18, 4)) &&
                      h.height == int32_t(field(data, size, 22, 4)) &&
                      h.planes == int16_t(field(data, size, 26, 2)) &&
                      h.bitCount == int16_t(field(data, size, 28, 2)) &&
                      h.compression == int32_t(field(data, size, 30, 4)) &&
                      h.imageSize == int32_t(field(data, size, 34, 4)) &&
                      h.colorsImportant == int32_t(field(data, size, 50, 4));
    if (!same)
        std::abort();
    return 0;
}
