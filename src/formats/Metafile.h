#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

#include "formats/ByteReader.h"
#include "formats/Color.h"
#include "formats/FormatError.h"

// True when the bytes begin as a Windows metafile, with or without the placeable header.
bool isMetafile(const ByteReader &r);

// The top-left `clip` pixels of a metafile drawn at its natural size (96 dots per inch) over
// `background`, which stays wherever the metafile draws nothing. libwmf runs in the reader
// process (ReaderProcess.h), with its time and memory limit. Nothing, with a reason, when the
// file is damaged or too costly to draw, or when this machine cannot draw metafiles at all:
// that reason is of kind CannotDraw, begins "Metafiles cannot be drawn on this machine" and
// names what is missing.
std::optional<QImage> renderMetafile(const QByteArray &bytes, QSize clip, ColorValue background,
                                     FormatError *error = nullptr);

// True when the bytes begin with the placeable header, which gives the picture its frame.
bool isPlaceableMetafile(const QByteArray &bytes);
// Makes libwmf find none of its fonts, as on a machine without them (for tests).
void hideMetafileFonts(bool hide);
