#include "formats/BitmapHeader.h"

#include <algorithm>

#include "formats/ByteReader.h"
#include "formats/QtBridge.h"

BitmapHeader readBitmapHeader(QByteArrayView bytes)
{
    // A short file reads as if padded with zeros, never past what it holds.
    QByteArray padded =
        bytes.first(std::min(bytes.size(), qsizetype(BitmapHeaderBytes))).toByteArray();
    padded.append(BitmapHeaderBytes - padded.size(), '\0');
    const ByteReader r(bytesView(padded));
    BitmapHeader h;
    h.fileType = r.u16(0).value_or(0);
    h.fileSize = r.u32(2).value_or(0);
    h.pixelOffset = r.u32(10).value_or(0);
    h.headerSize = r.u32(14).value_or(0);
    h.width = r.i32(18).value_or(0);
    h.height = r.i32(22).value_or(0);
    h.planes = r.i16(26).value_or(0);
    h.bitCount = r.i16(28).value_or(0);
    h.compression = r.i32(30).value_or(0);
    h.imageSize = r.i32(34).value_or(0);
    h.xPelsPerMeter = r.u32(38).value_or(0);
    h.yPelsPerMeter = r.u32(42).value_or(0);
    h.colorsUsed = r.i32(46).value_or(0);
    h.colorsImportant = r.i32(50).value_or(0);
    return h;
}

std::optional<BitmapHeader> readBitmapHeaderFile(const QString &path, FormatError *error)
{
    const std::optional<QByteArray> head = readUserFileHead(path, BitmapHeaderBytes, error);
    if (!head)
        return std::nullopt;
    return readBitmapHeader(*head);
}
