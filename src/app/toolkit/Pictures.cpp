#include "app/toolkit/Pictures.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QFile>
#include <QImageReader>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <libwmf/api.h>
#include <libwmf/gd.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/toolkit/ByteReader.h"
#include "app/toolkit/IconImage.h"
#include "app/toolkit/SafeWrite.h"

namespace {

constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
constexpr int kMaxQtSide = 16384;
constexpr double kMaxMetafileSide = 1e6;
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr uint64_t kPlaceableBytes = 22;
constexpr double kDpi = 96;
constexpr int kMetafileMillis = 2000;

std::optional<QImage> failure(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return std::nullopt;
}

bool isMetafileHeader(const ByteReader &r, uint64_t at)
{
    const auto type = r.u16(at), headerWords = r.u16(at + 2), version = r.u16(at + 4);
    return type && headerWords && version && (*type == 1 || *type == 2) && *headerWords == 9 &&
           (*version == 0x0100 || *version == 0x0300);
}

// libwmf believes the header's largest-record size and allocates it, so the records are walked
// here first: each one must lie inside the file and within that size, up to the end record.
bool metafileRecordsSound(const ByteReader &r, uint64_t header)
{
    const auto maxWords = r.u32(header + 12);
    if (!isMetafileHeader(r, header) || !maxWords || 2 * uint64_t(*maxWords) > r.size())
        return false;
    for (uint64_t at = header + 18;;) {
        const auto words = r.u32(at);
        const auto function = r.u16(at + 4);
        if (!words || !function || *words < 3 || *words - 3 > *maxWords ||
            !r.has(at, 2 * uint64_t(*words)))
            return false;
        if (*function == 0)
            return true;
        at += 2 * uint64_t(*words);
    }
}

bool isPlaceable(const QByteArray &bytes)
{
    return ByteReader(bytes).u32(0) == kPlaceableKey;
}

enum class Kind { Icon, Bitmap, Metafile, Other };

Kind sniff(const ByteReader &r)
{
    const auto first = r.u32(0);
    if (first == 0x00010000u)
        return Kind::Icon;
    if (r.u16(0) == 0x4D42) // "BM"
        return Kind::Bitmap;
    if (first == kPlaceableKey || isMetafileHeader(r, 0))
        return Kind::Metafile;
    return Kind::Other;
}

std::optional<QImage> readWithQt(const QByteArray &bytes, QString *error)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(int(kMaxFileBytes / (1024 * 1024)));
    if (!reader.canRead())
        return failure(error, QStringLiteral("The file is not a picture."));
    // Judge the size from the header before anything is decoded.
    const QSize size = reader.size();
    if (size.width() <= 0 || size.height() <= 0 || size.width() > kMaxQtSide ||
        size.height() > kMaxQtSide)
        return failure(error, QStringLiteral("The picture's size is out of range."));
    const QImage image = reader.read();
    if (image.isNull())
        return failure(error, reader.errorString());
    return image.convertToFormat(QImage::Format_ARGB32);
}

// One libwmf player over bytes in memory, torn down whatever happens.
class WmfPlayer
{
public:
    WmfPlayer(const WmfPlayer &) = delete;
    WmfPlayer &operator=(const WmfPlayer &) = delete;
    explicit WmfPlayer(QByteArray bytes)
        : bytes_(std::move(bytes))
    {
        wmfAPI_Options options;
        std::memset(&options, 0, sizeof options);
        options.function = wmf_gd_function;
        const unsigned long flags =
            WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (wmf_api_create(&api_, flags, &options) != wmf_E_None)
            return;
        opened_ = wmf_mem_open(api_, reinterpret_cast<unsigned char *>(bytes_.data()),
                               long(bytes_.size())) == wmf_E_None;
    }
    ~WmfPlayer()
    {
        if (opened_)
            wmf_mem_close(api_);
        if (api_)
            wmf_api_destroy(api_);
    }
    wmfAPI *api() const { return opened_ ? api_ : nullptr; }

private:
    QByteArray bytes_;
    wmfAPI *api_ = nullptr;
    bool opened_ = false;
};

int appendToByteArray(void *context, char *buffer, int length)
{
    static_cast<QByteArray *>(context)->append(buffer, length);
    return length;
}

// Why the drawing process ended, as its exit status.
enum MetafileOutcome { kDrawn = 0, kDamaged = 1, kOutOfRange = 2, kNoPng = 3 };

// Everything libwmf does, run in the drawing process: the top-left clip of the picture at its
// natural size, as PNG bytes.
MetafileOutcome drawMetafile(const QByteArray &bytes, QSize clip, QByteArray &png)
{
    const ByteReader r(bytes);
    const bool placeable = isPlaceable(bytes);
    wmfD_Rect frame{};
    double width = 0;
    double height = 0;
    if (placeable) {
        const auto left = r.i16(6), top = r.i16(8), right = r.i16(10), bottom = r.i16(12);
        const auto inch = r.u16(14);
        if (!left || !top || !right || !bottom || !inch || *inch == 0)
            return kDamaged;
        // libwmf works in points for placeable files; its scanned extent is not the frame.
        const double toPoints = 72.0 / *inch;
        frame = {{float(*left * toPoints), float(*top * toPoints)},
                 {float(*right * toPoints), float(*bottom * toPoints)}};
        width = double(vbRound((*right - *left) * kDpi / *inch));
        height = double(vbRound((*bottom - *top) * kDpi / *inch));
    }

    WmfPlayer player(bytes);
    wmfAPI *api = player.api();
    wmfD_Rect scanned{};
    if (!api || wmf_scan(api, 0, &scanned) != wmf_E_None)
        return kDamaged;
    if (!placeable) {
        unsigned int w = 0;
        unsigned int h = 0;
        if (wmf_display_size(api, &w, &h, kDpi, kDpi) != wmf_E_None)
            return kDamaged;
        frame = scanned;
        width = w;
        height = h;
    }
    if (!std::isfinite(frame.TL.x) || !std::isfinite(frame.TL.y) || !std::isfinite(frame.BR.x) ||
        !std::isfinite(frame.BR.y) || frame.BR.x <= frame.TL.x || frame.BR.y <= frame.TL.y ||
        !(width >= 1 && width <= kMaxMetafileSide && height >= 1 && height <= kMaxMetafileSide))
        return kOutOfRange;

    // Only the top-left clip is drawn: the frame shrinks with the output, keeping the scale.
    const int outWidth = int(std::min<double>(width, clip.width()));
    const int outHeight = int(std::min<double>(height, clip.height()));
    frame.BR.x = float(frame.TL.x + (frame.BR.x - frame.TL.x) * (outWidth / width));
    frame.BR.y = float(frame.TL.y + (frame.BR.y - frame.TL.y) * (outHeight / height));

    wmf_gd_t *device = WMF_GD_GetData(api);
    if (!(device->flags & WMF_GD_SUPPORTS_PNG))
        return kNoPng;
    device->type = wmf_gd_png;
    device->flags |= WMF_GD_OUTPUT_MEMORY | WMF_GD_OWN_BUFFER;
    device->sink.context = &png;
    device->sink.function = appendToByteArray;
    device->width = unsigned(outWidth);
    device->height = unsigned(outHeight);
    device->bbox = frame;
    return wmf_play(api, 0, &frame) == wmf_E_None ? kDrawn : kDamaged;
}

bool writeAll(int fd, QByteArrayView data)
{
    while (!data.isEmpty()) {
        const ssize_t n = ::write(fd, data.data(), size_t(data.size()));
        if (n < 0 && errno != EINTR)
            return false;
        data = data.sliced(std::max<ssize_t>(n, 0));
    }
    return true;
}

// Reads to the end of the pipe; false when the deadline or the size cap comes first.
bool readToEnd(int fd, QByteArray &out, QDeadlineTimer deadline)
{
    char buffer[65536];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, int(deadline.remainingTime()));
        if (ready == 0 || deadline.hasExpired())
            return false;
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return true;
        }
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return true;
        out.append(buffer, n);
        if (out.size() > kMaxFileBytes)
            return false;
    }
}

// The drawing process may not take more than this, even when nobody waits for it any more.
void limitDrawingProcess()
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const rlimit seconds{10, 10};
    ::setrlimit(RLIMIT_CPU, &seconds);
#ifndef PIXMINT_SANITIZERS // AddressSanitizer reserves terabytes of address space up front
    constexpr rlim_t bytes = rlim_t(1) << 30;
    const rlimit memory{bytes, bytes};
    ::setrlimit(RLIMIT_AS, &memory);
#endif
}

// libwmf draws whole shapes whatever the size of the output, so a small file can keep it busy
// for hours, and it has a history of crashing on bad files: it runs in a child process with a
// time and memory limit, and only the PNG comes back.
std::optional<QImage> renderMetafile(const QByteArray &bytes, QSize clip, QString *error)
{
    const QString damaged = QStringLiteral("The metafile is damaged.");
    if (!metafileRecordsSound(ByteReader(bytes), isPlaceable(bytes) ? kPlaceableBytes : 0))
        return failure(error, damaged);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return failure(error, QString::fromLocal8Bit(std::strerror(errno)));
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        limitDrawingProcess();
        QByteArray png;
        MetafileOutcome outcome = drawMetafile(bytes, clip, png);
        if (outcome == kDrawn && !writeAll(fds[1], png))
            outcome = kDamaged;
        ::_exit(outcome);
    }
    const int forkError = errno;
    ::close(fds[1]);
    if (child < 0) {
        ::close(fds[0]);
        return failure(error, QString::fromLocal8Bit(std::strerror(forkError)));
    }
    QByteArray png;
    const bool finished = readToEnd(fds[0], png, QDeadlineTimer(kMetafileMillis));
    ::close(fds[0]);
    if (!finished)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!finished)
        return failure(error, QStringLiteral("The metafile takes too long to draw."));
    const int outcome = WIFEXITED(status) ? WEXITSTATUS(status) : kDamaged;
    if (outcome == kOutOfRange)
        return failure(error, QStringLiteral("The metafile's size is out of range."));
    if (outcome == kNoPng)
        return failure(error, QStringLiteral("Metafiles cannot be drawn here."));
    const QImage image = outcome == kDrawn ? QImage::fromData(png, "PNG") : QImage();
    if (image.isNull())
        return failure(error, damaged);
    return image.convertToFormat(QImage::Format_ARGB32);
}

std::optional<QByteArray> encodeBmp24(const QImage &image, QString *error)
{
    const QImage src = image.convertToFormat(QImage::Format_RGB32);
    const int64_t stride = (int64_t(src.width()) * 3 + 3) / 4 * 4;
    const int64_t pixelBytes = stride * src.height();
    if (src.isNull() || 54 + pixelBytes > INT32_MAX) {
        if (error)
            *error = QStringLiteral("The picture is too large to save as a bitmap.");
        return std::nullopt;
    }
    QByteArray out;
    out.reserve(qsizetype(54 + pixelBytes));
    out.append("BM");
    appendLE32(out, uint32_t(54 + pixelBytes));
    appendLE32(out, 0);
    appendLE32(out, 54);
    appendLE32(out, 40);
    appendLE32(out, uint32_t(src.width()));
    appendLE32(out, uint32_t(src.height())); // positive: rows run bottom-up
    appendLE16(out, 1);
    appendLE16(out, 24);
    appendLE32(out, 0);
    appendLE32(out, uint32_t(pixelBytes));
    appendLE32(out, 3780); // 96 dots per inch
    appendLE32(out, 3780);
    appendLE32(out, 0);
    appendLE32(out, 0);
    const QByteArray padding(stride - int64_t(src.width()) * 3, '\0');
    for (int y = src.height() - 1; y >= 0; --y) {
        const auto *line = reinterpret_cast<const QRgb *>(src.constScanLine(y));
        for (int x = 0; x < src.width(); ++x)
            out.append(char(qBlue(line[x])))
                .append(char(qGreen(line[x])))
                .append(char(qRed(line[x])));
        out.append(padding);
    }
    return out;
}

} // namespace

std::optional<QImage> LoadPictureData(const QByteArray &bytes, ColorValue background, QSize clip,
                                      QString *error)
{
    if (bytes.isEmpty())
        return failure(error, QStringLiteral("The file is empty."));
    if (clip.isEmpty())
        return failure(error, QStringLiteral("There is no room for the picture."));
    std::optional<QImage> image;
    switch (sniff(ByteReader(bytes))) {
    case Kind::Icon: {
        const auto icon = loadBestIcon(bytes, error);
        if (!icon)
            return std::nullopt;
        image = composeIcon(*icon, toQRgb(background)).convertToFormat(QImage::Format_ARGB32);
        break;
    }
    case Kind::Bitmap:
        // Qt's reader leaves the pixels of a cut-short bitmap uninitialised.
        image = decodeBitmapFile(bytes, clip, error);
        break;
    case Kind::Metafile:
        image = renderMetafile(bytes, clip, error);
        break;
    case Kind::Other:
        image = readWithQt(bytes, error);
        break;
    }
    if (!image)
        return std::nullopt;
    return image->copy(QRect(QPoint(0, 0), clip).intersected(image->rect()));
}

std::optional<QImage> LoadPicture(const QString &path, ColorValue background, QSize clip,
                                  QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(error, file.errorString());
    if (file.size() > kMaxFileBytes)
        return failure(error, QStringLiteral("The file is too large for a picture."));
    // In pieces: some files (under /proc, pipes) report no size and could run on for ever.
    QByteArray bytes;
    for (;;) {
        const QByteArray piece = file.read(1 << 20);
        if (file.error() != QFileDevice::NoError)
            return failure(error, file.errorString());
        if (piece.isEmpty())
            break;
        bytes += piece;
        if (bytes.size() > kMaxFileBytes)
            return failure(error, QStringLiteral("The file is too large for a picture."));
    }
    return LoadPictureData(bytes, background, clip, error);
}

bool SavePicture(const QImage &image, const QString &path, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (image.isNull())
        return fail(QStringLiteral("There is no picture to save."));
    QByteArray bytes;
    if (path.endsWith(QStringLiteral(".ico"), Qt::CaseInsensitive)) {
        bytes = encodeIcon32(image);
    } else {
        auto bmp = encodeBmp24(image, error);
        if (!bmp)
            return false;
        bytes = std::move(*bmp);
    }
    return SafeWrite::replaceFile(path, bytes, error);
}
