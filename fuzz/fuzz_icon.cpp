// Icon and bitmap bytes straight into the DIB readers, whatever their first bytes say, and an
// edited image merged into them as an icon file.
#include "formats/IconImage.h"

#include <QtGlobal>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    if (const auto icon = loadBestIcon(bytes))
        composeIcon(*icon, qRgb(0x10, 0x80, 0xC0));
    // The same bytes as one image without a directory reach the DIB reader directly.
    if (const auto image = decodeIconImage(bytes))
        composeIcon(*image, qRgb(0x10, 0x80, 0xC0));
    decodeBitmapFile(bytes, QSize(40, 40));
    // A merged icon shows the edited image, whatever else it kept.
    static const QImage edited = [] {
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(qRgba(0x20, 0x40, 0x60, 0x80));
        return image;
    }();
    if (const auto merged = mergeIcon32(bytes, edited)) {
        const auto shown = loadBestIcon(*merged);
        if (!shown || shown->width != 32 || shown->color.pixel(7, 9) != edited.pixel(7, 9))
            std::abort();
    }
    return 0;
}
