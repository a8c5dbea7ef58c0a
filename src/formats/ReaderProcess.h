#pragma once

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <QSize>
#include <optional>

#include "formats/FormatError.h"

// What the reader process is asked to read.
enum class ProcessRead {
    Metafile,             // drawn by libwmf and Qt's SVG renderer
    MetafileWithoutFonts, // the same as on a machine without libwmf's fonts (for tests)
    Picture,              // read by Qt's image readers
};

// How long a reader process may take, and the most it may allocate; its exit status when it
// refuses the picture, with the reason as its answer.
constexpr int kReaderMillis = 2000;
constexpr qint64 kReaderDataBytes = qint64(192) * 1024 * 1024;
constexpr int kReaderRefused = 1;

// The top-left `clip` pixels of the picture in `bytes`, read in a fresh process of its own
// (pixmint-reader, beside the running program or in its libexec folder) with a time and memory
// limit: a small hostile file can make a reader work for minutes or take gigabytes, and a
// process forked from this one, threaded as it is, cannot run Qt. Nothing, with the reader's
// reason, when it refuses the picture, ends abnormally or runs out of time (TooLarge, with
// `tooLong` as the message).
std::optional<QImage> readInProcess(ProcessRead what, const QByteArray &bytes, QSize clip,
                                    QRgb background, const QString &tooLong,
                                    FormatError *error = nullptr);

// What the reader process runs, beside the readers they belong to: a metafile drawn at its
// natural size over `background`, and a picture read by Qt, each cut to `clip`.
std::optional<QImage> drawMetafileHere(const QByteArray &bytes, QSize clip, QRgb background,
                                       bool withoutFonts, FormatError *error);
std::optional<QImage> readPictureHere(const QByteArray &bytes, QSize clip, FormatError *error);

// The reader process itself: reads its standard input as `what` asks and writes the picture,
// or why there is none, to its standard output. Its exit status, for its main.
int runReaderProcess(int argc, char **argv);
