#include "formats/PictureLimits.h"

#include <QtEndian>
#include <cstring>
#include <vector>
#include <zlib.h>

#include "formats/ByteReader.h"

namespace {

constexpr QByteArrayView kPngSignature("\x89PNG\r\n\x1a\n", 8);

void appendBE32(QByteArray &out, uint32_t value)
{
    const uint32_t big = qToBigEndian(value);
    out.append(reinterpret_cast<const char *>(&big), 4);
}

// One IDAT chunk of all the image data, without copying it twice.
void appendImageData(QByteArray &out, const std::vector<QByteArrayView> &parts)
{
    qsizetype length = 0;
    for (QByteArrayView part : parts)
        length += part.size();
    appendBE32(out, uint32_t(length));
    const qsizetype start = out.size();
    out.append("IDAT");
    for (QByteArrayView part : parts)
        out.append(part);
    appendBE32(out, uint32_t(::crc32_z(::crc32_z(0, nullptr, 0),
                                       reinterpret_cast<const Bytef *>(out.constData() + start),
                                       size_t(out.size() - start))));
}

} // namespace

// Calls `chunk` with each chunk's type and whole bytes, up to IEND; false when the chunks run
// past the end first.
template<typename Chunk> bool walkPng(QByteArrayView png, Chunk chunk)
{
    const ByteReader r(png);
    if (!png.startsWith(kPngSignature))
        return false;
    for (uint64_t at = uint64_t(kPngSignature.size());;) {
        const auto head = r.bytes(at, 8);
        const uint64_t length = head ? qFromBigEndian<uint32_t>(head->data()) : 0;
        const auto whole = r.bytes(at, 12 + length);
        if (!head || !whole)
            return false;
        at += 12 + length;
        chunk(head->sliced(4), *whole);
        if (head->sliced(4) == "IEND")
            return true;
    }
}

QByteArray pngPixelChunks(QByteArrayView png)
{
    QByteArray kept(kPngSignature.data(), kPngSignature.size());
    std::vector<QByteArrayView> data;
    const bool whole = walkPng(png, [&](QByteArrayView type, QByteArrayView chunk) {
        if (type == "IDAT") {
            data.push_back(chunk.sliced(8, chunk.size() - 12));
        } else if (type == "IEND") {
            if (!data.empty())
                appendImageData(kept, data);
            kept.append(chunk);
        } else if ((type == "IHDR" || type == "PLTE" || type == "tRNS") && data.empty()) {
            // These come before the image data; after it, only ancillary chunks may.
            kept.append(chunk);
        }
    });
    return whole ? kept : png.toByteArray();
}

bool pngChunksHoldTogether(QByteArrayView png)
{
    bool data = false;
    return walkPng(png, [&data](QByteArrayView type,
                                QByteArrayView) { data = data || type == "IDAT"; }) &&
           data;
}

int jpegScanCount(QByteArrayView jpeg)
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
