// Any file as a picture: the sniffing, the icon reader, libwmf with Qt's SVG reader, and Qt's
// image readers.
#include "formats/Pictures.h"

#include <QFontDatabase>
#include <QGuiApplication>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    // Qt finds its image format plugins through the application, and metafile text needs its
    // fonts, read once here rather than in every drawing process.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    QFontDatabase::families();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    LoadPictureData(bytes, RGB(0x10, 0x80, 0xC0), QSize(32, 32));
    return 0;
}
