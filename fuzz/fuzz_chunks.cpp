// PNGs and JPEGs put together from the input, chunk by chunk and scan by scan with their
// checksums right, so that the decoders take them in: what the picture reader and the icon
// decoder do with text chunks that inflate, thousands of image data chunks and repeated scans.
#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QtEndian>
#include <zlib.h>

#include "formats/IconImage.h"
#include "formats/ReaderProcess.h"

namespace {

QByteArray encoded(const char *format, bool progressive)
{
    QImage image(24, 16, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x * 10, y * 15, 99, 128 + x));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return buffer.data();
}

void appendBE32(QByteArray &out, uint32_t value)
{
    const uint32_t big = qToBigEndian(value);
    out.append(reinterpret_cast<const char *>(&big), 4);
}

void appendChunk(QByteArray &out, const QByteArray &type, const QByteArray &data)
{
    appendBE32(out, uint32_t(data.size()));
    const QByteArray body = type + data;
    out += body;
    appendBE32(out, uint32_t(::crc32(0, reinterpret_cast<const Bytef *>(body.constData()),
                                     uInt(body.size()))));
}

// Compressed data that inflates to `size` times 16 KB of the bytes over and over.
QByteArray inflating(const QByteArray &bytes, int size)
{
    const QByteArray seed = bytes.isEmpty() ? QByteArray(1, 'a') : bytes;
    return qCompress(seed.repeated(std::max<qsizetype>(1, qsizetype(16384) * size / seed.size())),
                     1)
        .mid(4);
}

// Each step takes a kind, a size and bytes from the input: text and profile chunks whose
// compressed data inflates to the size times 16 KB, the image's data cut into chunks of the
// size, other chunks as they come.
QByteArray png(QByteArrayView in)
{
    static const QByteArray base = encoded("png", false);
    static const QByteArray types[] = {"zTXt", "iTXt", "iCCP", "tEXt", "PLTE", "tRNS",
                                       "sPLT", "acTL", "fcTL", "IDAT", "IEND", "gAMA"};
    QByteArray out = base.left(33); // the signature and IHDR
    const qsizetype idat = base.indexOf("IDAT");
    const QByteArray data =
        base.mid(idat + 4, qFromBigEndian<uint32_t>(base.constData() + idat - 4));
    for (qsizetype at = 0; at + 2 <= in.size();) {
        const QByteArray &type = types[uint8_t(in[at]) % std::size(types)];
        const int size = uint8_t(in[at + 1]);
        const QByteArray bytes =
            in.sliced(at + 2, std::min<qsizetype>(size, in.size() - at - 2)).toByteArray();
        at += 2 + bytes.size();
        if (type == "zTXt" || type == "iCCP" || type == "iTXt") {
            const QByteArray head =
                type == "iTXt" ? QByteArray("k\0\1\0\0\0", 6) : QByteArray("k\0\0", 3);
            appendChunk(out, type, head + inflating(bytes, size));
        } else if (type == "IDAT") {
            for (qsizetype p = 0; p < data.size(); p += std::max(1, size))
                appendChunk(out, type, data.mid(p, std::max(1, size)));
        } else {
            appendChunk(out, type, bytes);
        }
    }
    appendChunk(out, "IDAT", data);
    appendChunk(out, "IEND", {});
    return out;
}

// Each step repeats one of the scans, or puts a segment of the input's bytes before the end.
QByteArray jpeg(QByteArrayView in)
{
    static const QByteArray base = encoded("jpeg", true);
    static const std::vector<QByteArray> scans = [] {
        std::vector<QByteArray> found;
        for (qsizetype at = base.indexOf("\xFF\xDA"); at >= 0;) {
            const qsizetype next = base.indexOf("\xFF\xDA", at + 2);
            found.push_back(base.mid(at, (next < 0 ? base.size() - 2 : next) - at));
            at = next;
        }
        return found;
    }();
    QByteArray out = base.left(base.size() - 2);
    // Comments, application data, tables and restart intervals.
    constexpr uint8_t markers[] = {0xFE, 0xE1, 0xE2, 0xEE, 0xDB, 0xC4, 0xDD, 0xDA};
    for (qsizetype at = 0; at + 2 <= in.size(); at += 2) {
        const auto kind = uint8_t(in[at]), size = uint8_t(in[at + 1]);
        if (kind & 1) {
            out += scans[kind / 2 % scans.size()].repeated(size);
            continue;
        }
        const QByteArrayView bytes =
            in.sliced(at + 2, std::min<qsizetype>(size, in.size() - at - 2));
        const uint16_t length = qToBigEndian(uint16_t(bytes.size() + 2));
        out.append('\xFF').append(char(markers[kind / 2 % std::size(markers)]));
        out.append(reinterpret_cast<const char *>(&length), 2).append(bytes);
        at += bytes.size();
    }
    return out + "\xFF\xD9";
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArrayView in(data + 1, qsizetype(size - 1));
    FormatError error;
    if (data[0] & 1) {
        readPictureHere(jpeg(in), QSize(32, 32), &error);
        return 0;
    }
    const QByteArray picture = png(in);
    readPictureHere(picture, QSize(32, 32), &error);
    if (const auto icon = decodeIconImage(picture))
        composeIcon(*icon, qRgb(0x10, 0x80, 0xC0));
    return 0;
}
