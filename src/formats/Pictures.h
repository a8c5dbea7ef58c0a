#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

#include "formats/Color.h"
#include "formats/FormatError.h"

// The largest picture file that is read.
constexpr int kMaxPictureFileMiB = 64;
constexpr qint64 kMaxPictureFileBytes = qint64(kMaxPictureFileMiB) * 1024 * 1024;

// Loads a picture file, whatever its extension says: an icon (its best image for 32 x 32, with
// its alpha, drawn through its mask over `background` when it has none), a Windows bitmap, a GIF
// (first frame, transparency kept as alpha), a Windows metafile (drawn at its natural size at 96
// dots per inch over `background`) or anything else Qt reads. Only the top-left `clip` pixels are
// kept, so a huge picture costs no more than that. Nothing, with a reason, when the file cannot be
// read as a picture.
std::optional<QImage> LoadPicture(const QString &path, ColorValue background,
                                  QSize clip = QSize(32, 32), FormatError *error = nullptr);
// The same from bytes already in memory.
std::optional<QImage> LoadPictureData(const QByteArray &bytes, ColorValue background,
                                      QSize clip = QSize(32, 32), FormatError *error = nullptr);
// The picture as shown over the background: opaque, with what is transparent in that colour.
QImage composedOver(const QImage &picture, ColorValue background);
// Whether some pixel of the image is not fully opaque.
bool hasTransparency(const QImage &image);
// The image in Format_RGB32 when it has no transparency, so that it is handed on, scaled and
// written exactly as an opaque picture always was; else as it is.
QImage rgbWhenOpaque(const QImage &image);
// Whether a file of this name is written with its transparency: an icon or a PNG.
bool savesTransparency(const QString &path);
// Writes the image: a name ending in ".ico" (any case) becomes a real icon file (32 x 32, 32
// bits with its AND mask), one ending in ".png" a PNG (24-bit, or 32 with alpha when the image
// has transparency), any other name a 24-bit Windows bitmap of the colours the pixels carry.
// The file is replaced only when the whole write succeeded. False with a reason on failure.
bool SavePicture(const QImage &image, const QString &path, FormatError *error = nullptr);
