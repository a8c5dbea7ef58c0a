#include "formats/IconImage.h"

#include <utility>

#include "formats/ByteReader.h"
#include "formats/IconSet.h"
#include "formats/PixelImage.h"
#include "formats/QtBridge.h"

namespace {

using Kind = FormatError::Kind;

std::optional<IconImage> fromPixels(IconPixels &&decoded, FormatError *error)
{
    IconImage image;
    image.width = decoded.width;
    image.height = decoded.height;
    image.bitCount = decoded.bitCount;
    image.color = toImage(decoded.color);
    if (image.color.isNull())
        return failed(error, Kind::TooLarge, QStringLiteral("Not enough memory for the image."));
    image.mask = std::move(decoded.mask);
    image.hasAlpha = decoded.hasAlpha;
    return image;
}

// The image part of a 32 x 32, 32-bit icon: header, colours and AND mask; what lies outside
// `image` is clear.
std::string encodeDib32(const QImage &image)
{
    return encodeIconDib(toPixels(image.convertToFormat(QImage::Format_ARGB32).copy(0, 0, 32, 32)));
}

// The directory entry of what encodeDib32 writes.
IcoFilePart dib32Part(std::string_view dib)
{
    IconEntryInfo entry;
    entry.width = 32;
    entry.height = 32;
    entry.planes = 1;
    entry.bitCount = 32;
    return {entry, dib};
}

constexpr char kNoReadableImage[] = "None of the icon's images can be read.";

// An entry's bytes, which readIconDirectory has checked lie inside the file.
std::string_view imageBytes(const ByteReader &r, const IconDirEntry &e)
{
    return r.bytes(e.imageOffset, e.bytesInRes).value_or(std::string_view());
}

// What each entry's own header says, where it can be read, and the entry to show.
struct ProbedIcon
{
    std::vector<std::optional<IconImageInfo>> infos;
    int best = -1; // -1 when no image can be read
};

ProbedIcon probeIcon(const ByteReader &r, const std::vector<IconDirEntry> &entries)
{
    // Directory sizes and depths are often wrong, so every image's own header decides.
    ProbedIcon probed;
    std::vector<IconImageInfo> readable;
    std::vector<int> at;
    for (const IconDirEntry &e : entries) {
        const auto info = probeIconImage(imageBytes(r, e));
        if (info) {
            at.push_back(int(probed.infos.size()));
            readable.push_back(*info);
        }
        probed.infos.push_back(info);
    }
    const int best = bestIconImage(readable);
    probed.best = best < 0 ? -1 : at[size_t(best)];
    return probed;
}

} // namespace

std::optional<IconImage> decodeIconImage(QByteArrayView bytes, FormatError *error)
{
    auto decoded = decodeIconPixels(bytesView(bytes), error);
    if (!decoded)
        return std::nullopt;
    return fromPixels(std::move(*decoded), error);
}

std::optional<IconImage> groupIcon(const IconGroup &group)
{
    auto decoded = chosenGroupImage(group, bestIconImage);
    if (!decoded)
        return std::nullopt;
    return fromPixels(std::move(*decoded), nullptr);
}

std::optional<QImage> decodeBitmapFile(QByteArrayView file, QSize clip, FormatError *error)
{
    const auto decoded = decodeBitmapPixels(bytesView(file), clip.width(), clip.height(), error);
    if (!decoded)
        return std::nullopt;
    QImage image = toImage(*decoded);
    if (image.isNull())
        return failed(error, Kind::TooLarge, QStringLiteral("Not enough memory for the image."));
    return image;
}

std::optional<IconImage> loadBestIcon(QByteArrayView file, FormatError *error)
{
    const auto entries = readIconDirectory(bytesView(file), error);
    if (!entries)
        return std::nullopt;
    const ByteReader r(bytesView(file));
    const int best = probeIcon(r, *entries).best;
    if (best < 0)
        return failed(error, Kind::Damaged, kNoReadableImage);
    return decodeIconImage(qtView(imageBytes(r, (*entries)[size_t(best)])), error);
}

QImage composeIcon(const IconImage &image, QRgb background)
{
    const QImage &color = image.color;
    if (color.isNull() || color.format() != QImage::Format_ARGB32)
        return QImage();
    QImage out(color.size(), QImage::Format_ARGB32);
    if (out.isNull())
        return out;
    const int w = color.width();
    const bool useMask = !image.hasAlpha && image.mask.size() == size_t(w) * size_t(color.height());
    for (int y = 0; y < color.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(color.constScanLine(y));
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb p = in[x];
            if (image.hasAlpha) {
                line[x] = qAlpha(p) == 0 ? background & 0xFFFFFFu : p;
            } else if (useMask && image.mask[size_t(y) * size_t(w) + size_t(x)]) {
                // A black pixel under the mask leaves the screen alone; any other inverts it.
                const bool clear = (p & 0xFFFFFFu) == 0;
                line[x] = (clear ? 0 : 0xFF000000u) | ((background ^ p) & 0xFFFFFFu);
            } else {
                line[x] = 0xFF000000u | p;
            }
        }
    }
    return out;
}

QByteArray encodeIcon32(const QImage &image)
{
    const std::string dib = encodeDib32(image);
    return toByteArray(writeIcoFile({dib32Part(dib)}).value_or(std::string()));
}

std::optional<QByteArray> mergeIcon32(QByteArrayView file, const QImage &image, FormatError *error)
{
    const auto entries = readIconDirectory(bytesView(file), error);
    if (!entries)
        return std::nullopt;
    const ByteReader r(bytesView(file));
    // The directory leaves out images that lie outside the file; those could not be kept.
    if (entries->size() != r.u16(4).value_or(0))
        return failed(error, Kind::Damaged,
                      QStringLiteral("Some of the icon's images lie outside the file."));
    const ProbedIcon probed = probeIcon(r, *entries);
    if (probed.best < 0)
        return failed(error, Kind::Damaged, kNoReadableImage);
    const auto is32 = [&](size_t i, bool anyDepth) {
        // An image's own header says what it is; the directory only for one that cannot be read.
        const IconDirEntry &e = (*entries)[i];
        const IconImageInfo shown =
            probed.infos[i].value_or(IconImageInfo{e.width, e.height, e.bitCount, false});
        return shown.width == 32 && shown.height == 32 && (anyDepth || shown.bitCount == 32);
    };
    const auto best = size_t(probed.best);
    const bool replace = is32(best, true);
    const std::string dib = encodeDib32(image);
    std::vector<IcoFilePart> parts;
    parts.reserve(entries->size() + 1);
    for (size_t i = 0; i < entries->size(); ++i) {
        if (i == best && replace)
            parts.push_back(dib32Part(dib));
        else if (!is32(i, false))
            parts.push_back({(*entries)[i], imageBytes(r, (*entries)[i])});
    }
    if (!replace)
        parts.push_back(dib32Part(dib));
    return toByteArray(writeIcoFile(parts, error));
}
