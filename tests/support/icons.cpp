#include "support/icons.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>
#include <zlib.h>

#include "formats/ByteReader.h"
#include "formats/IconImage.h"
#include "formats/QtBridge.h"

namespace {

// Each value as a little-endian word of `width` bytes.
QByteArray le(std::initializer_list<uint32_t> values, int width = 4)
{
    QByteArray out;
    for (uint32_t v : values)
        for (int i = 0; i < width; ++i)
            out += char(v >> 8 * i & 0xFF);
    return out;
}

void appendBE32(QByteArray &out, uint32_t value)
{
    const uint32_t big = qToBigEndian(value);
    out.append(reinterpret_cast<const char *>(&big), 4);
}

// A metafile record: its size in words, its function and its parameters.
void appendRecord(QByteArray &out, uint16_t function, std::initializer_list<uint32_t> words,
                  const QByteArray &tail = {})
{
    out += le({uint32_t(3 + words.size() + tail.size() / 2)}) + le({function}, 2) + le(words, 2) +
           tail;
}

} // namespace

QByteArray dibHeader(int32_t width, int32_t height, uint16_t bits, uint32_t compression,
                     uint32_t clrUsed)
{
    return le({40, uint32_t(width), uint32_t(height)}) + le({1, bits}, 2) +
           le({compression, 0, 0, 0, clrUsed, 0});
}

QByteArray icoFile(const std::vector<QByteArray> &images, int count)
{
    count = count < 0 ? int(images.size()) : count;
    QByteArray out = le({0, 1, uint32_t(count)}, 2);
    QByteArray data;
    std::vector<uint32_t> offsets;
    for (const QByteArray &image : images) {
        offsets.push_back(6 + 16 * uint32_t(count) + uint32_t(data.size()));
        data += image;
    }
    for (int i = 0; i < count; ++i) {
        const size_t k = size_t(i) % images.size();
        out += QByteArray(8, '\0') + le({uint32_t(images[k].size()), offsets[k]});
    }
    return out + data;
}

QByteArray describedIcoFile(const std::vector<QByteArray> &images, int count)
{
    QByteArray out = icoFile(images, count);
    for (int i = 0; i < (count < 0 ? int(images.size()) : count); ++i) {
        const std::optional<IconImageInfo> info =
            probeIconImage(bytesView(images[size_t(i) % images.size()]));
        if (!info)
            continue;
        // 256 is stored as 0, and depths of 8 bits and more give no colour count.
        const auto colours = uint32_t(info->bitCount < 8 ? 1 << info->bitCount : 0);
        out.replace(6 + 16 * i, 8,
                    le({uint32_t(info->width), uint32_t(info->height), colours, 0}, 1) +
                        le({1, uint32_t(info->bitCount)}, 2));
    }
    return out;
}

QByteArray solidDib(int side, int bits, char fill)
{
    const int colours = bits <= 8 ? 1 << bits : 0;
    const qsizetype stride = (qsizetype(side) * bits + 31) / 32 * 4;
    return dibHeader(side, 2 * side, uint16_t(bits)) + QByteArray(qsizetype(colours) * 4, '\x40') +
           QByteArray(stride * side, fill) +
           QByteArray((qsizetype(side) + 31) / 32 * 4 * side, '\0');
}

QByteArray pngBytes(const QImage &image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

QByteArray stretchedBitmapMetafile(int side, QRgb colour)
{
    const qsizetype stride = (qsizetype(side) * 3 + 3) / 4 * 4;
    QByteArray row(stride, '\0');
    for (qsizetype x = 0; x < side; ++x)
        row.replace(3 * x, 3, le({colour}, 3)); // blue, green, red
    QByteArray records;
    appendRecord(records, 0x020B, {0, 0});                           // SetWindowOrg
    appendRecord(records, 0x020C, {uint16_t(side), uint16_t(side)}); // SetWindowExt
    const auto s = uint16_t(side);
    appendRecord(records, 0x0F43, {0x0020, 0x00CC, 0, s, s, 0, 0, s, s, 0, 0}, // StretchDIB
                 dibHeader(side, side, 24) + row.repeated(side));
    appendRecord(records, 0x0000, {});
    QByteArray file = le({0x9AC6CDD7}) + le({0, 0, 0, s, s, 96, 0, 0}, 2);
    uint16_t checksum = 0;
    for (qsizetype i = 0; i < 10; ++i)
        checksum ^= uint16_t(uint8_t(file[2 * i]) | uint8_t(file[2 * i + 1]) << 8);
    // Then the header: its size and version, the file's size, no objects, and a largest record
    // at least as large as any.
    const auto words = uint32_t(records.size() / 2);
    file +=
        le({checksum, 1, 9, 0x0300}, 2) + le({9 + words}) + le({0}, 2) + le({words}) + le({0}, 2);
    return file + records;
}

QByteArray pngWithTextChunks(const QByteArray &png, int count, qsizetype inflated)
{
    const QByteArray text =
        QByteArray("Comment\0\0", 9) + qCompress(QByteArray(inflated, 'a'), 9).mid(4);
    QByteArray chunk;
    appendBE32(chunk, uint32_t(text.size()));
    chunk += "zTXt" + text;
    appendBE32(chunk, uint32_t(::crc32(0, reinterpret_cast<const Bytef *>(chunk.constData() + 4),
                                       uInt(chunk.size() - 4))));
    constexpr qsizetype afterHeader = 8 + 25;
    return png.left(afterHeader) + chunk.repeated(count) + png.mid(afterHeader);
}

QByteArray jpegWithScans(int side, QRgb colour, int scans)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(colour);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(image);
    const QByteArray jpeg = buffer.data();
    // No marker can hide in the coded data, so the last start of scan is the last scan's.
    const qsizetype last = jpeg.lastIndexOf("\xFF\xDA");
    const QByteArray scan = jpeg.mid(last, jpeg.size() - 2 - last);
    return jpeg.left(jpeg.size() - 2) + scan.repeated(scans - int(jpeg.count("\xFF\xDA"))) +
           jpeg.right(2);
}

QByteArray peLibrary(int groups, const std::vector<QByteArray> &images)
{
    // One resource section at file offset and address 0x200; every directory has one language.
    constexpr uint32_t base = 0x200;
    const auto m = uint32_t(images.size());
    const uint32_t groupDir = 48 + 48 * m;
    const uint32_t firstGroup = groupDir + 16 + 8 * uint32_t(groups);
    QByteArray rsrc;
    const auto directory = [&rsrc](uint32_t ids) { rsrc += QByteArray(14, '\0') + le({ids}, 2); };
    const auto entry = [&rsrc](uint32_t name, uint32_t target) { rsrc += le({name, target}); };
    directory(2);
    entry(3, 0x80000000u | 32);
    entry(14, 0x80000000u | groupDir);
    directory(m); // RT_ICON: the images, after the groups
    for (uint32_t i = 0; i < m; ++i)
        entry(i + 1, 0x80000000u | (48 + 8 * m + 40 * i));
    uint32_t imageAt = firstGroup + 60 * uint32_t(groups);
    for (const QByteArray &image : images) {
        directory(1);
        entry(0x409, uint32_t(rsrc.size()) + 8);
        rsrc += le({base + imageAt, uint32_t(image.size()), 0, 0});
        imageAt += uint32_t(image.size());
    }
    directory(uint32_t(groups));
    for (int i = 0; i < groups; ++i)
        entry(uint32_t(i + 1), 0x80000000u | (firstGroup + 60 * uint32_t(i)));
    for (int i = 0; i < groups; ++i) {
        const uint32_t at = firstGroup + 60 * uint32_t(i);
        directory(1);
        entry(0x409, at + 24);
        rsrc += le({base + at + 40, 20, 0, 0});
        // An icon group of one 32-bit entry, naming its image by id.
        const uint32_t id = uint32_t(i) % m + 1;
        rsrc += le({0, 1, 1, 0, 0, 1, 32}, 2) + le({uint32_t(images[id - 1].size())}) + le({id}, 2);
    }
    for (const QByteArray &image : images)
        rsrc += image;

    // The stub's pointer to the headers: "PE", the machine and one section; the optional header's
    // size and the flags of a library; its magic, 16 directories and the resource one; the section.
    QByteArray pe(base, '\0');
    const auto put = [&pe](qsizetype at, const QByteArray &bytes) {
        pe.replace(at, bytes.size(), bytes);
    };
    const auto size = uint32_t(rsrc.size());
    put(0, "MZ");
    put(0x3C, le({0x40, 0x4550, 0x1014C}));
    put(0x54, le({224, 0x2102, 0x010B}, 2));
    put(0xB4, le({16}));
    put(0xC8, le({base, size}));
    put(0x138, QByteArray(".rsrc\0\0\0", 8) + le({size, base, size, base}));
    return pe + rsrc;
}
