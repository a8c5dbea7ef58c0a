#pragma once

#include <QImage>

#include "formats/Pixels.h"

// Between Qt's images and the plain pixels of the code that does without Qt Gui.
Pixels toPixels(const QImage &image);
QImage toImage(const Pixels &pixels);

// A PNG of the program's own resources, read by the editor's own PNG reader as icon images are:
// the pictures of the first frame cost less there than through Qt's image readers.
QImage resourcePicture(const QString &path);
