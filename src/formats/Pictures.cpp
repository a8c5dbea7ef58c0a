#include "formats/Pictures.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>

#include "formats/ByteReader.h"
#include "formats/IconImage.h"
#include "formats/Metafile.h"
#include "formats/PictureLimits.h"
#include "formats/QtBridge.h"
#include "formats/ReaderProcess.h"

namespace {

constexpr int kMaxQtSide = 16384;

enum class Kind { Icon, Bitmap, Metafile, Other };

Kind sniff(const ByteReader &r)
{
    const auto first = r.u32(0);
    if (first == 0x00010000u)
        return Kind::Icon;
    if (r.u16(0) == 0x4D42) // "BM"
        return Kind::Bitmap;
    if (isMetafile(r))
        return Kind::Metafile;
    return Kind::Other;
}

std::optional<QImage> readWithQt(const QByteArray &bytes, FormatError *error)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kMaxPictureFileMiB);
    if (!reader.canRead())
        return failed(error, FormatError::Kind::WrongKind,
                      QStringLiteral("The file is not a picture."));
    // Judge the size from the header before anything is decoded.
    const QSize size = reader.size();
    if (size.width() <= 0 || size.height() <= 0 || size.width() > kMaxQtSide ||
        size.height() > kMaxQtSide)
        return failed(error, FormatError::Kind::Damaged,
                      QStringLiteral("The picture's size is out of range."));
    const QImage image = reader.read();
    if (image.isNull())
        return failed(error, FormatError::Kind::Damaged, reader.errorString());
    return image.convertToFormat(QImage::Format_ARGB32);
}

// Whether one of Qt's readers takes the bytes, told from their first bytes alone.
bool qtReads(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).canRead();
}

std::optional<QByteArray> encodeBmp24(const QImage &image, FormatError *error)
{
    const QImage src = image.convertToFormat(QImage::Format_RGB32);
    const int64_t stride = (int64_t(src.width()) * 3 + 3) / 4 * 4;
    const int64_t pixelBytes = stride * src.height();
    if (src.isNull() || 54 + pixelBytes > INT32_MAX)
        return failed(error, FormatError::Kind::TooLarge,
                      QStringLiteral("The picture is too large to save as a bitmap."));
    QByteArray out;
    out.reserve(54 + pixelBytes);
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
                                      FormatError *error)
{
    if (bytes.isEmpty())
        return failed(error, FormatError::Kind::WrongKind, QStringLiteral("The file is empty."));
    if (clip.isEmpty())
        return failed(error, FormatError::Kind::TooLarge,
                      QStringLiteral("There is no room for the picture."));
    std::optional<QImage> image;
    switch (sniff(ByteReader(bytesView(bytes)))) {
    case Kind::Icon: {
        const auto icon = loadBestIcon(bytes, error);
        if (!icon)
            return std::nullopt;
        image = composeIcon(*icon, toQRgb(background));
        break;
    }
    case Kind::Bitmap:
        // Qt's reader leaves the pixels of a cut-short bitmap uninitialised.
        image = decodeBitmapFile(bytes, clip, error);
        break;
    case Kind::Metafile:
        image = renderMetafile(bytes, clip, background, error);
        break;
    case Kind::Other:
        if (!qtReads(bytes))
            return failed(error, FormatError::Kind::WrongKind,
                          QStringLiteral("The file is not a picture."));
        // Qt's readers decide by content among every format they know, and some of them work for
        // minutes or take gigabytes on small hostile files.
        image = readInProcess(ProcessRead::Picture, bytes, clip, toQRgb(background),
                              QStringLiteral("The picture takes too long to read."), error);
        break;
    }
    if (!image)
        return std::nullopt;
    return image->copy(QRect(QPoint(0, 0), clip).intersected(image->rect()));
}

std::optional<QImage> LoadPicture(const QString &path, ColorValue background, QSize clip,
                                  FormatError *error)
{
    const auto bytes = readUserFile(path, kMaxPictureFileBytes, error);
    if (!bytes)
        return std::nullopt;
    return LoadPictureData(*bytes, background, clip, error);
}

std::optional<QImage> readPictureHere(const QByteArray &bytes, QSize clip, FormatError *error)
{
    if (bytes.startsWith("\xFF\xD8") && jpegScanCount(bytesView(bytes)) > kMaxJpegScans)
        return failed(error, FormatError::Kind::TooLarge,
                      QStringLiteral("The JPEG picture has too many scans."));
    // Only a PNG stream is cut down; any other picture goes to Qt as it came, without a copy.
    const bool png = bytes.startsWith("\x89PNG\r\n\x1a\n");
    const auto image =
        readWithQt(png ? toByteArray(pngPixelChunks(bytesView(bytes))) : bytes, error);
    if (!image)
        return std::nullopt;
    return image->copy(QRect(QPoint(0, 0), clip).intersected(image->rect()));
}

QImage composedOver(const QImage &picture, ColorValue background)
{
    // The same rounding as everywhere a picture is shown, so that all views agree.
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb under = toQRgb(background);
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] = composedPixel(line[x], under);
    }
    out.reinterpretAsFormat(QImage::Format_RGB32);
    return out;
}

bool hasTransparency(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return false;
    const QImage straight = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < straight.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(straight.constScanLine(y));
        if (std::any_of(line, line + straight.width(), [](QRgb p) { return qAlpha(p) != 255; }))
            return true;
    }
    return false;
}

QImage rgbWhenOpaque(const QImage &image)
{
    return hasTransparency(image) ? image : image.convertToFormat(QImage::Format_RGB32);
}

bool savesTransparency(const QString &path)
{
    return path.endsWith(QStringLiteral(".ico"), Qt::CaseInsensitive) ||
           path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
}

bool SavePicture(const QImage &image, const QString &path, FormatError *error)
{
    const auto fail = [error](FormatError::Kind kind, const QString &reason) {
        failed(error, kind, reason);
        return false;
    };
    if (image.isNull())
        return fail(FormatError::Kind::WrongKind, QStringLiteral("There is no picture to save."));
    QByteArray bytes;
    if (path.endsWith(QStringLiteral(".ico"), Qt::CaseInsensitive)) {
        bytes = encodeIcon32(image);
    } else if (path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        // An opaque picture stays a 24-bit PNG.
        if (!rgbWhenOpaque(image.convertToFormat(QImage::Format_ARGB32)).save(&buffer, "PNG"))
            return fail(FormatError::Kind::System,
                        QStringLiteral("The picture could not be encoded as PNG."));
    } else {
        auto bmp = encodeBmp24(image, error);
        if (!bmp)
            return false;
        bytes = std::move(*bmp);
    }
    return SafeWrite::replaceFile(path, bytes, error);
}
