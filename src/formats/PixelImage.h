#pragma once

#include <QImage>

#include "formats/Pixels.h"

// Between Qt's images and the plain pixels of the code that does without Qt Gui.
Pixels toPixels(const QImage &image);
QImage toImage(const Pixels &pixels);

// A PNG of the program's own resources, decoded as icon images are: Qt's image readers read the
// metadata of every image plugin on their first use, a tenth of the editor's start.
QImage resourcePicture(const QString &path);
