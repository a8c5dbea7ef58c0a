#include "formats/PixelImage.h"

#include <QResource>
#include <algorithm>

#include "formats/IconDecode.h"
#include "formats/QtBridge.h"

Pixels toPixels(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    Pixels out{argb.width(), argb.height(), {}};
    out.argb.reserve(std::size_t(argb.width()) * std::size_t(argb.height()));
    for (int y = 0; y < argb.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        out.argb.insert(out.argb.end(), row, row + argb.width());
    }
    return out;
}

QImage toImage(const Pixels &pixels)
{
    if (!pixels.valid())
        return {};
    QImage image(pixels.width, pixels.height, QImage::Format_ARGB32);
    for (int y = 0; y < pixels.height; ++y) {
        const auto from = pixels.argb.begin() + std::ptrdiff_t(y) * pixels.width;
        std::copy(from, from + pixels.width, reinterpret_cast<QRgb *>(image.scanLine(y)));
    }
    return image;
}

QImage resourcePicture(const QString &path)
{
    const QByteArray bytes = QResource(path).uncompressedData();
    const auto image = decodeIconPixels(bytesView(bytes));
    if (!image)
        return {};
    // Premultiplied, as painting takes it: another format is converted at every paint.
    QImage picture = toImage(transparentPixels(*image));
    picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    return picture;
}
