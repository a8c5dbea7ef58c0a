#include "formats/Png.h"

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <libdeflate.h>
#include <memory>
#include <png.h>
#include <span>
#include <vector>
#include <zlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "formats/ByteReader.h"
#include "formats/PictureLimits.h"

namespace {

// libpng, opened when the first PNG that the readers leave to it is decoded: the usual icon PNG
// and every PNG written need only zlib, and a command that starts small loads no more.
#define PIXMINT_PNG_CALLS(X)                                                                       \
    X(png_create_read_struct)                                                                      \
    X(png_create_info_struct)                                                                      \
    X(png_destroy_read_struct)                                                                     \
    X(png_set_read_fn)                                                                             \
    X(png_get_io_ptr)                                                                              \
    X(png_set_longjmp_fn)                                                                          \
    X(png_set_user_limits)                                                                         \
    X(png_set_chunk_malloc_max)                                                                    \
    X(png_set_option)                                                                              \
    X(png_read_info)                                                                               \
    X(png_get_image_width)                                                                         \
    X(png_get_image_height)                                                                        \
    X(png_set_expand)                                                                              \
    X(png_set_scale_16)                                                                            \
    X(png_set_gray_to_rgb)                                                                         \
    X(png_set_filler)                                                                              \
    X(png_set_bgr)                                                                                 \
    X(png_set_interlace_handling)                                                                  \
    X(png_read_update_info)                                                                        \
    X(png_get_rowbytes)                                                                            \
    X(png_read_image)                                                                              \
    X(png_read_row)

struct Libpng
{
// A declarator cannot be parenthesised.
// NOLINTNEXTLINE(bugprone-macro-parentheses)
#define PIXMINT_PNG_MEMBER(name) decltype(&::name) name = nullptr;
    PIXMINT_PNG_CALLS(PIXMINT_PNG_MEMBER)
#undef PIXMINT_PNG_MEMBER
    bool loaded = false;
};

// Binds `call` to the symbol `name` of `library`; false when either is missing.
template<class Call> bool bound(void *library, const char *name, Call &call)
{
    call = library ? reinterpret_cast<Call>(dlsym(library, name)) : nullptr;
    return call != nullptr;
}

Libpng openLibpng()
{
    Libpng png;
    void *library = dlopen(PIXMINT_PNG_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    png.loaded = true;
#define PIXMINT_PNG_BIND(name) png.loaded = bound(library, #name, png.name) && png.loaded;
    PIXMINT_PNG_CALLS(PIXMINT_PNG_BIND)
#undef PIXMINT_PNG_BIND
    return png;
}

const Libpng &lib()
{
    static const Libpng png = openLibpng();
    return png;
}

// The largest chunk libpng may allocate: a 1024 x 1024 icon's rows need far less.
constexpr png_alloc_size_t kMaxChunkBytes = png_alloc_size_t(8) * 1024 * 1024;

struct Source
{
    const unsigned char *data;
    size_t size;
    size_t at;
};

// Where libpng leaves to on a fault: png_jmpbuf, through the table.
std::jmp_buf &jumpBuffer(png_structp png)
{
    return *lib().png_set_longjmp_fn(png, std::longjmp, sizeof(std::jmp_buf));
}

[[noreturn]] void leave(png_structp png, png_const_charp)
{
    std::longjmp(jumpBuffer(png), 1);
}

void readFrom(png_structp png, png_bytep out, size_t length)
{
    auto *source = static_cast<Source *>(lib().png_get_io_ptr(png));
    if (length > source->size - source->at)
        leave(png, "cut short");
    std::memcpy(out, source->data + source->at, length);
    source->at += length;
}

void quiet(png_structp, png_const_charp) {}

// Sets the reader to give rows of `width` 8-bit RGBA pixels, in this machine's little-endian
// words 0xAARRGGBB when `bgr` (B, G, R, A), else 0xAABBGGRR; the number of passes over them, 0
// for a stream of another size. libpng leaves by longjmp on any fault, to the caller's setjmp.
int preparedPasses(png_structp png, png_infop info, int width, int height, bool bgr)
{
    lib().png_set_user_limits(png, png_uint_32(width), png_uint_32(height));
    lib().png_set_chunk_malloc_max(png, kMaxChunkBytes);
    // The stream's checksum over every pixel byte is a seventh of a large icon's decoding; a
    // damaged stream mostly fails to inflate without it. (The image data's chunk checksums are
    // not checked either: its chunks are merged under a new one.)
    lib().png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    lib().png_read_info(png, info);
    if (lib().png_get_image_width(png, info) != png_uint_32(width) ||
        lib().png_get_image_height(png, info) != png_uint_32(height))
        return 0;
    lib().png_set_expand(png);
    lib().png_set_scale_16(png);
    lib().png_set_gray_to_rgb(png);
    lib().png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    if (bgr)
        lib().png_set_bgr(png);
    const int passes = lib().png_set_interlace_handling(png);
    lib().png_read_update_info(png, info);
    return lib().png_get_rowbytes(png, info) == size_t(width) * 4 ? passes : 0;
}

// Nothing here has a destructor for a longjmp to skip.
bool readRows(png_structp png, png_infop info, png_bytepp rows, int width, int height, bool bgr)
{
    if (setjmp(jumpBuffer(png)))
        return false;
    if (preparedPasses(png, info, width, height, bgr) == 0)
        return false;
    lib().png_read_image(png, rows);
    return true;
}

// Failed first: a reader that cannot be made reads nothing.
enum class Streamed { Failed, Done, Interlaced };

Streamed readEachRow(png_structp png, png_infop info, png_bytep row, int width, int height,
                     const PngRowSink &take)
{
    if (setjmp(jumpBuffer(png)))
        return Streamed::Failed;
    const int passes = preparedPasses(png, info, width, height, false);
    if (passes != 1)
        return passes == 0 ? Streamed::Failed : Streamed::Interlaced;
    for (int y = 0; y < height; ++y) {
        lib().png_read_row(png, row, nullptr);
        take(reinterpret_cast<const uint32_t *>(row));
    }
    return Streamed::Done;
}

// Runs `read` on a reader of a stream cut to its pixel chunks (pngPixelChunks): text chunks
// would be inflated and kept, and thousands of image data chunks cost a read each.
template<typename Read>
auto withReader(std::string_view pixelChunks, Read read) -> decltype(read({}, {}))
{
    static_assert(std::endian::native == std::endian::little,
                  "rows are read as little-endian words");
    if (!lib().loaded)
        return {};
    png_structp reader = lib().png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, leave, quiet);
    png_infop info = reader ? lib().png_create_info_struct(reader) : nullptr;
    Source source{reinterpret_cast<const unsigned char *>(pixelChunks.data()), pixelChunks.size(),
                  0};
    decltype(read({}, {})) result{};
    if (info) {
        lib().png_set_read_fn(reader, &source, readFrom);
        result = read(reader, info);
    }
    lib().png_destroy_read_struct(&reader, &info, nullptr);
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

// The image data of a stream cut to its pixel chunks; nothing when it has none.
std::optional<std::string_view> imageData(std::string_view chunks)
{
    const ByteReader r(chunks);
    for (uint64_t at = kPngSignature.size();;) {
        const auto head = r.bytes(at, 8);
        if (!head || head->substr(4) == "IEND")
            return std::nullopt;
        const uint64_t length = bigEndian32(*head);
        if (head->substr(4) == "IDAT")
            return r.bytes(at + 8, length);
        at += 12 + length;
    }
}

// The same for a stream whose header, its checksum right, says 8-bit RGBA of width x height
// without interlacing; nothing for any other.
std::optional<std::string_view> rgbaImageData(std::string_view chunks, int width, int height)
{
    const auto header = ByteReader(chunks).bytes(kPngSignature.size(), 25);
    if (!header || header->substr(0, 8) != std::string_view("\0\0\0\x0dIHDR", 8) ||
        bigEndian32(header->substr(8)) != uint32_t(width) ||
        bigEndian32(header->substr(12)) != uint32_t(height) ||
        header->substr(16, 5) != std::string_view("\x08\x06\0\0\0", 5) ||
        bigEndian32(header->substr(21)) !=
            ::crc32_z(0, reinterpret_cast<const Bytef *>(header->data() + 4), 17))
        return std::nullopt;
    return imageData(chunks);
}

// A filtered row plus the row above, bytewise: the Up filter, most rows of an enlarged drawing.
void addAbove(const unsigned char *filtered, const unsigned char *above, unsigned char *out,
              size_t size)
{
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= size; i += 16) {
        const __m128i sum =
            _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(filtered + i)),
                         _mm_loadu_si128(reinterpret_cast<const __m128i *>(above + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), sum);
    }
#endif
    for (; i < size; ++i)
        out[i] = uint8_t(filtered[i] + above[i]);
}

uint8_t paeth(int left, int up, int upLeft)
{
    const int toLeft = std::abs(up - upLeft);
    const int toUp = std::abs(left - upLeft);
    const int toUpLeft = std::abs(left + up - 2 * upLeft);
    return uint8_t(toLeft <= toUp && toLeft <= toUpLeft ? left : toUp <= toUpLeft ? up : upLeft);
}

// A row of 4 bytes a pixel unfiltered into `out`, `above` being the row before it (zeros above
// the first); false for a filter PNG does not have. The first pixel, which has nothing to its
// left, is done apart, so that the loops over the rest test nothing a byte.
bool unfiltered(unsigned filter, const unsigned char *in, const unsigned char *above,
                unsigned char *out, size_t size)
{
    const size_t first = std::min<size_t>(4, size);
    switch (filter) {
    case 0:
        std::memcpy(out, in, size);
        return true;
    case 1:
        std::memcpy(out, in, first);
        for (size_t i = first; i < size; ++i)
            out[i] = uint8_t(in[i] + out[i - 4]);
        return true;
    case 2:
        addAbove(in, above, out, size);
        return true;
    case 3:
        for (size_t i = 0; i < first; ++i)
            out[i] = uint8_t(in[i] + above[i] / 2);
        for (size_t i = first; i < size; ++i)
            out[i] = uint8_t(in[i] + (out[i - 4] + above[i]) / 2);
        return true;
    case 4:
        addAbove(in, above, out, first);
        for (size_t i = first; i < size; ++i)
            out[i] = uint8_t(in[i] + paeth(out[i - 4], above[i], above[i - 4]));
        return true;
    default:
        return false;
    }
}

// How far a stream may inflate past its rows before it is refused: twice what the largest image
// of its size takes (16-bit RGBA). libpng reads a stream to its end after the last row, and a
// small one may inflate to gigabytes there.
size_t inflateLimit(int width, int height)
{
    return 2 * size_t(height) * (size_t(width) * 8 + 1);
}

// zlib's inflater, ended on every way out; it takes the window its stream's header names and
// leaves the closing checksum unchecked, as libpng is told to.
class Inflater
{
public:
    explicit Inflater(std::string_view data)
    {
        open_ = inflateInit2(&z_, 0) == Z_OK;
        if (open_)
            inflateValidate(&z_, 0);
        z_.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
        z_.avail_in = uInt(data.size());
    }
    Inflater(const Inflater &) = delete;
    Inflater &operator=(const Inflater &) = delete;
    ~Inflater()
    {
        if (open_)
            inflateEnd(&z_);
    }
    // Fills `out` whole, or false.
    bool fill(unsigned char *out, size_t size)
    {
        z_.next_out = out;
        z_.avail_out = uInt(size);
        int status = open_ ? Z_OK : Z_STREAM_ERROR;
        while (status == Z_OK && z_.avail_out > 0)
            status = inflate(&z_, Z_SYNC_FLUSH);
        return z_.avail_out == 0;
    }
    // Inflates what is left, keeping none of it: whether the stream ends within `limit` more
    // bytes.
    bool endsWithin(size_t limit)
    {
        int status = open_ ? Z_OK : Z_STREAM_ERROR;
        size_t more = 0;
        while (status == Z_OK && more <= limit) {
            unsigned char rest[4096];
            z_.next_out = rest;
            z_.avail_out = sizeof rest;
            status = inflate(&z_, Z_SYNC_FLUSH);
            more += sizeof rest - z_.avail_out;
        }
        return status == Z_STREAM_END && more <= limit;
    }

private:
    z_stream z_{};
    bool open_ = false;
};

// libdeflate, opened when the first large image comes.
struct Libdeflate
{
    decltype(&libdeflate_alloc_decompressor) alloc = nullptr;
    decltype(&libdeflate_zlib_decompress) inflate = nullptr;
    decltype(&libdeflate_free_decompressor) free = nullptr;
    bool loaded = false;
};

const Libdeflate &deflateLib()
{
    static const Libdeflate loaded = [] {
        Libdeflate d;
        void *library = dlopen(PIXMINT_DEFLATE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        d.loaded = bound(library, "libdeflate_alloc_decompressor", d.alloc) &&
                   bound(library, "libdeflate_zlib_decompress", d.inflate) &&
                   bound(library, "libdeflate_free_decompressor", d.free);
        return d;
    }();
    return loaded;
}

// The rows of a 256-pixel image, the large icon a thumbnail is made from: below that zlib's
// reading costs less than opening libdeflate.
constexpr size_t kAtOnceFrom = size_t(256) * (256 * 4 + 1);

// The filtered rows of a large stream inflated at once, when it holds them and nothing more, its
// checksum right and its window zlib's largest: libdeflate copies the long runs of a drawing a
// word at a time where zlib goes byte by byte. Any other stream is left to zlib, whose reading
// decides what is refused.
std::unique_ptr<unsigned char[]> inflatedAtOnce(std::string_view data, size_t size)
{
    constexpr unsigned char kLargestWindow = 0x78;
    if (size < kAtOnceFrom || data.empty() ||
        static_cast<unsigned char>(data[0]) != kLargestWindow || !deflateLib().loaded)
        return nullptr;
    const Libdeflate &libdeflate = deflateLib();
    const std::unique_ptr<libdeflate_decompressor, decltype(libdeflate.free)> inflater(
        libdeflate.alloc(), libdeflate.free);
    // Every byte is written before it is read: no zeros are paid for first.
    auto out = std::make_unique_for_overwrite<unsigned char[]>(size);
    size_t got = 0;
    if (!inflater ||
        libdeflate.inflate(inflater.get(), data.data(), data.size(), out.get(), size, &got) !=
            LIBDEFLATE_SUCCESS ||
        got != size)
        return nullptr;
    return out;
}

// Unfilters rows one after another, each against the one before.
class RowUnfilter
{
public:
    explicit RowUnfilter(int width)
        : bytes_(size_t(width) * 4)
        , rows_(2 * size_t(width))
    {
    }
    size_t stride() const { return bytes_ + 1; }
    // Hands `take` each of `count` filtered rows unfiltered; false at a filter PNG lacks.
    bool take(const unsigned char *filtered, size_t count, const PngRowSink &take)
    {
        for (size_t i = 0; i < count; ++i) {
            const unsigned char *line = filtered + i * stride();
            if (!unfiltered(line[0], line + 1, above_, row_, bytes_))
                return false;
            take(reinterpret_cast<const uint32_t *>(row_));
            std::swap(row_, above_);
        }
        return true;
    }

private:
    size_t bytes_;
    std::vector<uint32_t> rows_;
    unsigned char *row_ = reinterpret_cast<unsigned char *>(rows_.data());
    unsigned char *above_ = row_ + bytes_;
};

// The rows of an 8-bit RGBA stream's image data, unfiltered here: libpng undoes the Up filter a
// byte at a time, which was a third of a thumbnail's work.
bool rgbaRows(std::string_view data, int width, int height, const PngRowSink &take)
{
    RowUnfilter rows(width);
    if (const auto whole = inflatedAtOnce(data, size_t(height) * rows.stride()))
        return rows.take(whole.get(), size_t(height), take);
    Inflater inflater(data);
    // A page of rows at a time: zlib's fast loop stops 258 bytes short of the end of its
    // output, and larger batches gained nothing.
    const size_t batch = std::max<size_t>(1, 4096 / rows.stride());
    std::vector<unsigned char> filtered(batch * rows.stride());
    for (int y = 0; y < height; y += int(batch)) {
        const size_t count = std::min(batch, size_t(height - y));
        if (!inflater.fill(filtered.data(), count * rows.stride()) ||
            !rows.take(filtered.data(), count, take))
            return false;
    }
    return inflater.endsWithin(inflateLimit(width, height));
}

// Whether the image data of a stream that libpng is to read ends within the limit.
bool endsInTime(std::string_view chunks, int width, int height)
{
    const auto data = imageData(chunks);
    return !data || Inflater(*data).endsWithin(inflateLimit(width, height));
}

std::vector<png_bytep> rowsOf(Pixels &pixels)
{
    std::vector<png_bytep> rows(size_t(pixels.height));
    for (size_t y = 0; y < rows.size(); ++y)
        rows[y] = reinterpret_cast<png_bytep>(pixels.argb.data() + y * size_t(pixels.width));
    return rows;
}

// The pixels through libpng, of a stream cut to its pixel chunks.
std::optional<Pixels> decodedPixels(std::string_view chunks, int width, int height, bool bgr)
{
    Pixels pixels{width, height, std::vector<uint32_t>(size_t(width) * size_t(height))};
    std::vector<png_bytep> rows = rowsOf(pixels);
    const bool read = withReader(chunks, [&](png_structp reader, png_infop info) {
        return readRows(reader, info, rows.data(), width, height, bgr);
    });
    if (!read)
        return std::nullopt;
    return pixels;
}

} // namespace

std::optional<Pixels> decodePngPixels(std::string_view png, int width, int height)
{
    const std::string chunks = pngPixelChunks(png);
    Pixels pixels{width, height, {}};
    if (const auto data = rgbaImageData(chunks, width, height)) {
        pixels.argb.reserve(size_t(width) * size_t(height));
        const bool read = rgbaRows(*data, width, height, [&pixels, width](const uint32_t *row) {
            for (const uint32_t p : std::span(row, size_t(width)))
                pixels.argb.push_back(redBlueSwapped(p));
        });
        return read ? std::optional(std::move(pixels)) : std::nullopt;
    }
    return endsInTime(chunks, width, height) ? decodedPixels(chunks, width, height, true)
                                             : std::nullopt;
}

bool decodePngRows(std::string_view png, int width, int height, const PngRowSink &take)
{
    const std::string pixelChunks = pngPixelChunks(png);
    if (const auto data = rgbaImageData(pixelChunks, width, height))
        return rgbaRows(*data, width, height, take);
    if (!endsInTime(pixelChunks, width, height))
        return false;
    std::vector<uint32_t> row(static_cast<size_t>(width));
    const Streamed streamed = withReader(pixelChunks, [&](png_structp reader, png_infop info) {
        return readEachRow(reader, info, reinterpret_cast<png_bytep>(row.data()), width, height,
                           take);
    });
    if (streamed != Streamed::Interlaced)
        return streamed == Streamed::Done;
    // Each pass of an interlaced image fills in rows of all the others.
    const auto pixels = decodedPixels(pixelChunks, width, height, false);
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
