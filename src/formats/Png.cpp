#include "formats/Png.h"

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstring>
#include <png.h>
#include <vector>
#include <zlib.h>

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

void quiet(png_structp, png_const_charp) {}

[[noreturn]] void leave(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// Sets the reader to give rows of `width` 8-bit RGBA pixels, in this machine's little-endian
// words 0xAARRGGBB when `bgr` (B, G, R, A), else 0xAABBGGRR; the number of passes over them, 0
// for a stream of another size. libpng leaves by longjmp on any fault, to the caller's setjmp.
int preparedPasses(png_structp png, png_infop info, int width, int height, bool bgr)
{
    png_set_user_limits(png, png_uint_32(width), png_uint_32(height));
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    // The chunks' own checksums already guard the data; the stream's second one over every
    // pixel byte is a seventh of a large icon's decoding.
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_read_info(png, info);
    if (png_get_image_width(png, info) != png_uint_32(width) ||
        png_get_image_height(png, info) != png_uint_32(height))
        return 0;
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    if (bgr)
        png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return png_get_rowbytes(png, info) == size_t(width) * 4 ? passes : 0;
}

// Nothing here has a destructor for a longjmp to skip.
bool readRows(png_structp png, png_infop info, png_bytepp rows, int width, int height, bool bgr)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    if (preparedPasses(png, info, width, height, bgr) == 0)
        return false;
    png_read_image(png, rows);
    return true;
}

// Failed first: a reader that cannot be made reads nothing.
enum class Streamed { Failed, Done, Interlaced };

Streamed readEachRow(png_structp png, png_infop info, png_bytep row, int width, int height,
                     const PngRowSink &take)
{
    if (setjmp(png_jmpbuf(png)))
        return Streamed::Failed;
    const int passes = preparedPasses(png, info, width, height, false);
    if (passes != 1)
        return passes == 0 ? Streamed::Failed : Streamed::Interlaced;
    for (int y = 0; y < height; ++y) {
        png_read_row(png, row, nullptr);
        take(reinterpret_cast<const uint32_t *>(row));
    }
    return Streamed::Done;
}

// Runs `read` on a reader of the stream's pixel chunks alone: text chunks would be inflated and
// kept, and thousands of image data chunks cost a read each.
template<typename Read> auto withReader(std::string_view png, Read read) -> decltype(read({}, {}))
{
    static_assert(std::endian::native == std::endian::little,
                  "rows are read as little-endian words");
    const std::string pixelChunks = pngPixelChunks(png);
    png_structp reader = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, leave, quiet);
    png_infop info = reader ? png_create_info_struct(reader) : nullptr;
    Source source{reinterpret_cast<const unsigned char *>(pixelChunks.data()), pixelChunks.size(),
                  0};
    decltype(read({}, {})) result{};
    if (info) {
        png_set_read_fn(reader, &source, readFrom);
        result = read(reader, info);
    }
    png_destroy_read_struct(&reader, &info, nullptr);
    return result;
}

// zlib's stream, ended on every way out. zlib writes raw deflate data and the checksum is kept
// here: a repeated row is known to be zeros, whose share of the checksum is a formula, so only the
// other rows are summed byte by byte (zlib's own sum over every byte was a sixth of writing a
// large image).
class Deflater
{
public:
    explicit Deflater(size_t rowBytes)
    {
        // A window of two rows reaches the row above. Icons are flat, and a large one is often a
        // small one enlarged: zlib's fastest level packs them as well as its default does, and
        // its smaller tables cost a fresh process fewer pages.
        int windowBits = 12;
        while (windowBits < 15 && (size_t(1) << windowBits) < 2 * rowBytes)
            ++windowBits;
        open_ = deflateInit2(&z_, 1, Z_DEFLATED, -windowBits, 3, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    Deflater(const Deflater &) = delete;
    Deflater &operator=(const Deflater &) = delete;
    ~Deflater()
    {
        if (open_)
            deflateEnd(&z_);
    }
    bool open() const { return open_; }
    // The row's bytes; `zeros` when all but its first (the filter) are zero.
    bool add(const unsigned char *bytes, size_t size, bool zeros, bool last)
    {
        if (zeros) {
            checksum_ = adler32(checksum_, bytes, 1);
            checksum_ =
                adler32_combine(checksum_, uLong((size - 1) % 65521) << 16 | 1, z_off_t(size - 1));
        } else {
            checksum_ = adler32(checksum_, bytes, uInt(size));
        }
        z_.next_in = const_cast<unsigned char *>(bytes);
        z_.avail_in = uInt(size);
        int status = Z_OK;
        do {
            unsigned char chunk[16384];
            z_.next_out = chunk;
            z_.avail_out = sizeof chunk;
            status = deflate(&z_, last ? Z_FINISH : Z_NO_FLUSH);
            data_.append(reinterpret_cast<const char *>(chunk), sizeof chunk - z_.avail_out);
        } while (status == Z_OK && (z_.avail_in > 0 || (last && z_.avail_out == 0)));
        return last ? status == Z_STREAM_END : status == Z_OK || status == Z_BUF_ERROR;
    }
    // The zlib stream: its header (deflate, fastest), the data and the checksum.
    std::string stream() const
    {
        std::string out("\x78\x01", 2);
        out.reserve(2 + data_.size() + 4);
        out += data_;
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(char(checksum_ >> shift & 0xFF));
        return out;
    }

private:
    z_stream z_{};
    bool open_ = false;
    uLong checksum_ = adler32(0, nullptr, 0);
    std::string data_;
};

// The row in PNG's byte order under the Sub filter: each byte less the one a pixel before, so a
// run of one colour becomes zeros.
void subFiltered(const uint32_t *pixels, int width, unsigned char *out)
{
    *out++ = 1;
    uint32_t before = 0;
    for (int x = 0; x < width; ++x) {
        const uint32_t p = pixels[x];
        for (const int shift : {16, 8, 0, 24})
            *out++ = static_cast<unsigned char>((p >> shift) - (before >> shift));
        before = p;
    }
}

std::vector<png_bytep> rowsOf(Pixels &pixels)
{
    std::vector<png_bytep> rows(size_t(pixels.height));
    for (size_t y = 0; y < rows.size(); ++y)
        rows[y] = reinterpret_cast<png_bytep>(pixels.argb.data() + y * size_t(pixels.width));
    return rows;
}

std::optional<Pixels> decodedPixels(std::string_view png, int width, int height, bool bgr)
{
    Pixels pixels{width, height, std::vector<uint32_t>(size_t(width) * size_t(height))};
    std::vector<png_bytep> rows = rowsOf(pixels);
    const bool read = withReader(png, [&](png_structp reader, png_infop info) {
        return readRows(reader, info, rows.data(), width, height, bgr);
    });
    if (!read)
        return std::nullopt;
    return pixels;
}

} // namespace

std::optional<Pixels> decodePngPixels(std::string_view png, int width, int height)
{
    return decodedPixels(png, width, height, true);
}

bool decodePngRows(std::string_view png, int width, int height, const PngRowSink &take)
{
    std::vector<uint32_t> row(static_cast<size_t>(width));
    const Streamed streamed = withReader(png, [&](png_structp reader, png_infop info) {
        return readEachRow(reader, info, reinterpret_cast<png_bytep>(row.data()), width, height,
                           take);
    });
    if (streamed != Streamed::Interlaced)
        return streamed == Streamed::Done;
    // Each pass of an interlaced image fills in rows of all the others.
    const auto pixels = decodedPixels(png, width, height, false);
    for (int y = 0; pixels && y < height; ++y)
        take(pixels->argb.data() + size_t(y) * size_t(width));
    return pixels.has_value();
}

std::string encodePngRows(int width, int height, const PngRows &row)
{
    if (width < 1 || height < 1)
        return {};
    const size_t rowBytes = size_t(width) * 4 + 1;
    Deflater deflater(rowBytes);
    if (!deflater.open())
        return {};
    // A row that repeats the one above goes as zeros under the Up filter, any other under Sub:
    // zlib then has little left to match, which is most of the cost of a large image.
    std::vector<unsigned char> line(rowBytes), repeated(rowBytes);
    repeated[0] = 2;
    std::vector<uint32_t> above;
    for (int y = 0; y < height; ++y) {
        const uint32_t *pixels = row(y);
        const bool same = !above.empty() && std::equal(pixels, pixels + width, above.begin());
        if (!same) {
            subFiltered(pixels, width, line.data());
            above.assign(pixels, pixels + width);
        }
        if (!deflater.add(same ? repeated.data() : line.data(), rowBytes, same, y + 1 == height))
            return {};
    }
    std::string header;
    for (const uint32_t v : {uint32_t(width), uint32_t(height)})
        for (int shift = 24; shift >= 0; shift -= 8)
            header.push_back(char(v >> shift & 0xFF));
    header.append("\x08\x06\x00\x00\x00", 5); // 8 bits a channel, RGBA, no interlace
    std::string out(kPngSignature);
    appendPngChunk(out, "IHDR", {header});
    appendPngChunk(out, "IDAT", {deflater.stream()});
    appendPngChunk(out, "IEND", {});
    return out;
}

std::string encodePng(const Pixels &pixels)
{
    if (!pixels.valid())
        return {};
    return encodePngRows(pixels.width, pixels.height, [&pixels](int y) {
        return pixels.argb.data() + size_t(y) * size_t(pixels.width);
    });
}
