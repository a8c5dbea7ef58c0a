// Icon and bitmap bytes straight into the DIB readers, whatever their first bytes say.
#include "formats/IconImage.h"

#include <QtGlobal>

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
    return 0;
}
