#include "formats/Png.h"

#include <bit>
#include <csetjmp>
#include <cstring>
#include <png.h>
#include <vector>

#include "formats/PictureLimits.h"

namespace {

// The largest chunk libpng may allocate: a 1024 x 1024 icon's rows need far less.
constexpr png_alloc_size_t kMaxChunkBytes = png_alloc_size_t(8) * 1024 * 1024;

struct Source
{
    const unsigned char *data;
    size_t size;
    size_t at;
};

void readFrom(png_structp png, png_bytep out, size_t length)
{
    auto *source = static_cast<Source *>(png_get_io_ptr(png));
    if (length > source->size - source->at)
        png_error(png, "cut short");
    std::memcpy(out, source->data + source->at, length);
    source->at += length;
}

void appendTo(png_structp png, png_bytep data, size_t length)
{
    static_cast<std::string *>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char *>(data), length);
}

void flushNothing(png_structp) {}

void quiet(png_structp, png_const_charp) {}

[[noreturn]] void leave(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// libpng leaves by longjmp on any fault, so nothing here has a destructor to skip. The rows
// come out as 0xAARRGGBB words in this machine's little-endian order: B, G, R, A.
bool readRows(png_structp png, png_infop info, png_bytepp rows, int width, int height)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_user_limits(png, png_uint_32(width), png_uint_32(height));
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    // The chunks' own checksums already guard the data; the stream's second one over every
    // pixel byte is a seventh of a large icon's decoding.
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_read_info(png, info);
    if (png_get_image_width(png, info) != png_uint_32(width) ||
        png_get_image_height(png, info) != png_uint_32(height))
        return false;
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4)
        return false;
    png_read_image(png, rows);
    return true;
}

bool writeRows(png_structp png, png_infop info, png_bytepp rows, int width, int height,
               std::string *out)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, out, appendTo, flushNothing);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Icons are flat, and a large one is often a small one enlarged, its rows repeated: the Up
    // filter makes a repeated row zeros, and zlib's fastest level packs those as well as its
    // default does, at about half the cost of the whole write (trying libpng's five filters on
    // every row costs far more again). A quarter of zlib's usual hash table is plenty for images
    // this small, and a fresh process pays for every page of it.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_level(png, 1);
    png_set_compression_mem_level(png, 6);
    png_write_info(png, info);
    png_set_bgr(png);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

std::vector<png_bytep> rowsOf(Pixels &pixels)
{
    std::vector<png_bytep> rows(size_t(pixels.height));
    for (size_t y = 0; y < rows.size(); ++y)
        rows[y] = reinterpret_cast<png_bytep>(pixels.argb.data() + y * size_t(pixels.width));
    return rows;
}

} // namespace

std::optional<Pixels> decodePngPixels(std::string_view png, int width, int height)
{
    static_assert(std::endian::native == std::endian::little,
                  "rows are read as little-endian words");
    // Text chunks would be inflated and kept; thousands of image data chunks cost a read each.
    const std::string pixelChunks = pngPixelChunks(png);
    png_structp reader = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, leave, quiet);
    png_infop info = reader ? png_create_info_struct(reader) : nullptr;
    Pixels pixels{width, height, std::vector<uint32_t>(size_t(width) * size_t(height))};
    std::vector<png_bytep> rows = rowsOf(pixels);
    Source source{reinterpret_cast<const unsigned char *>(pixelChunks.data()), pixelChunks.size(),
                  0};
    bool read = false;
    if (info) {
        png_set_read_fn(reader, &source, readFrom);
        read = readRows(reader, info, rows.data(), width, height);
    }
    png_destroy_read_struct(&reader, &info, nullptr);
    if (!read)
        return std::nullopt;
    return pixels;
}

std::string encodePng(const Pixels &pixels)
{
    if (!pixels.valid())
        return {};
    // libpng takes the rows as writable pointers, but copies each row before it transforms it:
    // the pixels are only read, so they are handed over without a copy of their own.
    std::vector<png_bytep> rows = rowsOf(const_cast<Pixels &>(pixels));
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, leave, quiet);
    png_infop info = writer ? png_create_info_struct(writer) : nullptr;
    std::string out;
    const bool written =
        info && writeRows(writer, info, rows.data(), pixels.width, pixels.height, &out);
    png_destroy_write_struct(&writer, &info);
    return written ? out : std::string();
}
