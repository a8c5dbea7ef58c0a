// Any file as a picture: the sniffing, the icon reader, libwmf and Qt's image readers.
#include "app/toolkit/Pictures.h"

#include <QCoreApplication>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    // Qt finds its image format plugins through the application.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    LoadPictureData(bytes, RGB(0x10, 0x80, 0xC0), QSize(32, 32));
    return 0;
}
