// The reader process's side: one picture read from standard input, within the limits, and the
// answer written to standard output.
#include <QGuiApplication>
#include <cerrno>
#include <csignal>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "formats/ByteReader.h"
#include "formats/QtBridge.h"
#include "formats/ReaderProcess.h"
#include "formats/UserFile.h"

namespace {

using Kind = FormatError::Kind;

// The reader may not take more than this, even when nobody waits for it any more.
void limitReader()
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const rlimit seconds{10, 10};
    ::setrlimit(RLIMIT_CPU, &seconds);
#ifndef PIXMINT_SANITIZERS // AddressSanitizer reserves terabytes of address space up front
    const rlimit memory{rlim_t(kReaderDataBytes), rlim_t(kReaderDataBytes)};
    ::setrlimit(RLIMIT_DATA, &memory);
#endif
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}

// Standard input, mapped rather than copied.
QByteArray mappedInput()
{
    struct stat s
    {
    };
    if (::fstat(0, &s) != 0 || !S_ISREG(s.st_mode) || s.st_size <= 0 ||
        s.st_size > kMaxUserFileBytes)
        return {};
    void *at = ::mmap(nullptr, size_t(s.st_size), PROT_READ, MAP_PRIVATE, 0, 0);
    if (at == MAP_FAILED)
        return {};
    return QByteArray::fromRawData(static_cast<const char *>(at), qsizetype(s.st_size));
}

bool writeAll(QByteArrayView data)
{
    while (!data.isEmpty()) {
        const ssize_t n = ::write(1, data.data(), size_t(data.size()));
        if (n < 0 && errno != EINTR)
            return false;
        data = data.sliced(std::max<ssize_t>(n, 0));
    }
    return true;
}

int answer(const std::optional<QImage> &image, const FormatError &error)
{
    if (!image || image->isNull()) {
        QByteArray reason(1, char(error.kind));
        writeAll(reason + toByteArray(error.message));
        return kReaderRefused;
    }
    const QImage pixels = image->convertToFormat(QImage::Format_ARGB32);
    QByteArray out;
    appendLE32(out, uint32_t(pixels.width()));
    appendLE32(out, uint32_t(pixels.height()));
    for (int y = 0; y < pixels.height(); ++y)
        out.append(reinterpret_cast<const char *>(pixels.constScanLine(y)),
                   qsizetype(pixels.width()) * 4);
    return writeAll(out) ? 0 : kReaderRefused;
}

} // namespace

int runReaderProcess(int argc, char **argv)
{
    limitReader();
    if (argc != 5)
        return 2;
    const QByteArray task = argv[1];
    const QSize clip(QByteArray(argv[2]).toInt(), QByteArray(argv[3]).toInt());
    const QRgb background = QByteArray(argv[4]).toUInt(nullptr, 16);
    const QByteArray bytes = mappedInput();
    // Metafile text is drawn with Qt's fonts, and Qt finds its image readers through the
    // application; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int appArgc = 1;
    QGuiApplication app(appArgc, argv);
    FormatError error{Kind::Damaged, "The picture cannot be read."};
    std::optional<QImage> image;
    if (bytes.isEmpty() || clip.isEmpty())
        error.message = "The reader was given nothing to read.";
    else if (task.startsWith("metafile"))
        image = drawMetafileHere(bytes, clip, background, task.endsWith("without-fonts"), &error);
    else
        image = readPictureHere(bytes, clip, &error);
    return answer(image, error);
}
