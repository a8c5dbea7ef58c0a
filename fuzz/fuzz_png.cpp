// RGBA PNGs made from the input's bytes as filtered rows (any filter byte; a stream cut short,
// run on past the rows or followed by more bytes): the rows unfiltered here must be libpng's
// pixels, and what libpng refuses must be refused.
#include "formats/PictureLimits.h"
#include "formats/Png.h"

#include <cstdlib>
#include <png.h>
#include <zlib.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    // Now and then a 256-pixel image, which is inflated at once.
    const bool large = data[0] == 0xFF;
    const int width = large ? 256 : 1 + data[0] % 40;
    const int height = large ? 256 : 1 + data[1] % 40;
    const size_t cut = data[2] & 1 ? data[3] & 15u : 0;
    std::string raw(size_t(width * 4 + 1) * size_t(height), '\0');
    for (size_t i = 0; i < raw.size() && size > 5; ++i)
        raw[i] = char(data[4 + i % (size - 4)]);
    for (size_t y = 0; y < size_t(height); ++y)
        raw[y * size_t(width * 4 + 1)] = char(uint8_t(raw[y * size_t(width * 4 + 1)]) % 6);
    if (data[2] & 4)
        raw.append(1 + (data[3] >> 4), '\x01'); // more than the rows, as libpng lets pass
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress(reinterpret_cast<Bytef *>(packed.data()), &packedSize,
                 reinterpret_cast<const Bytef *>(raw.data()), uLong(raw.size())) != Z_OK)
        std::abort();
    packed.resize(packedSize - std::min<size_t>(cut, packedSize));
    if (data[2] & 2 && cut == 0) // libpng here checks the closing checksum that cut bytes forge
        packed.append("extra");
    std::string header;
    for (const int v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            header.push_back(char(v >> shift & 0xFF));
    header.append("\x08\x06\x00\x00\x00", 5);
    std::string png(kPngSignature);
    appendPngChunk(png, "IHDR", {header});
    appendPngChunk(png, "IDAT", {packed});
    appendPngChunk(png, "IEND", {});

    std::vector<uint32_t> rows;
    const bool streamed = decodePngRows(png, width, height, [&](const uint32_t *row) {
        rows.insert(rows.end(), row, row + width);
    });
    const auto whole = decodePngPixels(png, width, height);
    // libpng's own reading of the same stream, in PNG's byte order.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<uint32_t> expected(size_t(width) * size_t(height));
    const bool read = png_image_begin_read_from_memory(&image, png.data(), png.size()) &&
                      (image.format = PNG_FORMAT_RGBA,
                       png_image_finish_read(&image, nullptr, expected.data(), 0, nullptr));
    png_image_free(&image);
    if (streamed != read || whole.has_value() != read || (read && rows != expected))
        std::abort();
    for (size_t i = 0; read && i < rows.size(); ++i) {
        if (redBlueSwapped(rows[i]) != whole->argb[i])
            std::abort();
    }
    return 0;
}
