#include "formats/PictureLimits.h"

#include <cstring>
#include <vector>
#include <zlib.h>

#include "formats/ByteReader.h"

namespace {

void appendBE32(std::string &out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(char(value >> shift & 0xFF));
}

} // namespace

void appendPngChunk(std::string &out, std::string_view type,
                    const std::vector<std::string_view> &parts)
{
    size_t length = 0;
    for (std::string_view part : parts)
        length += part.size();
    appendBE32(out, uint32_t(length));
    const size_t start = out.size();
    out.reserve(start + 8 + length);
    out.append(type);
    for (std::string_view part : parts)
        out.append(part);
    appendBE32(out, uint32_t(::crc32_z(::crc32_z(0, nullptr, 0),
                                       reinterpret_cast<const Bytef *>(out.data() + start),
                                       out.size() - start)));
}

// Calls `chunk` with each chunk's type and whole bytes, up to IEND; false when the chunks run
// past the end first.
template<typename Chunk> bool walkPng(std::string_view png, Chunk chunk)
{
    const ByteReader r(png);
    if (!png.starts_with(kPngSignature))
        return false;
    for (uint64_t at = uint64_t(kPngSignature.size());;) {
        const auto head = r.bytes(at, 8);
        const uint64_t length = head ? bigEndian32(*head) : 0;
        const auto whole = r.bytes(at, 12 + length);
        if (!head || !whole)
            return false;
        at += 12 + length;
        chunk(head->substr(4), *whole);
        if (head->substr(4) == "IEND")
            return true;
    }
}

std::string pngPixelChunks(std::string_view png)
{
    std::string kept(kPngSignature);
    std::vector<std::string_view> data;
    const bool whole = walkPng(png, [&](std::string_view type, std::string_view chunk) {
        if (type == "IDAT") {
            data.push_back(chunk.substr(8, chunk.size() - 12));
        } else if (type == "IEND") {
            if (!data.empty())
                appendPngChunk(kept, "IDAT", data);
            kept.append(chunk);
        } else if ((type == "IHDR" || type == "PLTE" || type == "tRNS") && data.empty()) {
            // These come before the image data; after it, only ancillary chunks may.
            kept.append(chunk);
        }
    });
    return whole ? kept : std::string(png);
}

bool pngChunksHoldTogether(std::string_view png)
{
    bool data = false;
    return walkPng(png, [&data](std::string_view type,
                                std::string_view) { data = data || type == "IDAT"; }) &&
           data;
}

int jpegScanCount(std::string_view jpeg)
{
    const ByteReader r(jpeg);
    int scans = 0;
    for (uint64_t at = 2; r.u8(at) == 0xFF;) {
        while (r.u8(at + 1) == 0xFF) // fill bytes
            ++at;
        const auto marker = r.u8(at + 1);
        if (!marker || *marker == 0xD9)
            break;
        if (*marker == 0x01 || (*marker >= 0xD0 && *marker <= 0xD7)) {
            at += 2;
            continue;
        }
        const auto high = r.u8(at + 2), low = r.u8(at + 3);
        if (!high || !low)
            break;
        at += 2 + (uint64_t(*high) << 8 | *low);
        if (*marker != 0xDA)
            continue;
        ++scans;
        // The entropy-coded data runs to the next marker that is neither a stuffed zero nor a
        // restart.
        while (at < r.size()) {
            const void *ff = std::memchr(jpeg.data() + at, 0xFF, size_t(r.size() - at));
            if (!ff)
                return scans;
            at = uint64_t(static_cast<const char *>(ff) - jpeg.data());
            const auto next = r.u8(at + 1);
            if (next && *next != 0 && (*next < 0xD0 || *next > 0xD7))
                break;
            at += 2;
        }
    }
    return scans;
}
