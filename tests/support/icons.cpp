#include "support/icons.h"

#include <QBuffer>

#include "formats/ByteReader.h"
#include "formats/IconImage.h"

QByteArray dibHeader(int32_t width, int32_t height, uint16_t bits, uint32_t compression,
                     uint32_t clrUsed)
{
    QByteArray h;
    for (uint32_t v : {40u, uint32_t(width), uint32_t(height)})
        appendLE32(h, v);
    appendLE16(h, 1);
    appendLE16(h, bits);
    for (uint32_t v : {compression, 0u, 0u, 0u, clrUsed, 0u})
        appendLE32(h, v);
    return h;
}

QByteArray icoFile(const std::vector<QByteArray> &images, int count)
{
    count = count < 0 ? int(images.size()) : count;
    QByteArray out;
    for (int v : {0, 1, count})
        appendLE16(out, uint16_t(v));
    std::vector<uint32_t> offsets;
    uint32_t at = 6 + 16 * uint32_t(count);
    for (const QByteArray &image : images) {
        offsets.push_back(at);
        at += uint32_t(image.size());
    }
    for (int i = 0; i < count; ++i) {
        const size_t k = size_t(i) % images.size();
        out.append(8, '\0');
        appendLE32(out, uint32_t(images[k].size()));
        appendLE32(out, offsets[k]);
    }
    for (const QByteArray &image : images)
        out += image;
    return out;
}

QByteArray describedIcoFile(const std::vector<QByteArray> &images, int count)
{
    QByteArray out = icoFile(images, count);
    std::vector<std::optional<IconImageInfo>> infos;
    infos.reserve(images.size());
    for (const QByteArray &image : images)
        infos.push_back(probeIconImage(image));
    for (int i = 0; i < (count < 0 ? int(images.size()) : count); ++i) {
        const auto &info = infos[size_t(i) % images.size()];
        if (!info)
            continue;
        const int at = 6 + 16 * i;
        // 256 is stored as 0, and depths of 8 bits and more give no colour count.
        out[at] = char(info->width & 0xFF);
        out[at + 1] = char(info->height & 0xFF);
        out[at + 2] = char(info->bitCount < 8 ? 1 << info->bitCount : 0);
        out[at + 4] = 1;
        out[at + 6] = char(info->bitCount);
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
