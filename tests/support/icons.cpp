#include "support/icons.h"

#include <QBuffer>

#include "formats/ByteReader.h"

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

QByteArray pngBytes(const QImage &image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}
