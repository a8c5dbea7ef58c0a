#pragma once

#include <QImage>

#include "formats/Pixels.h"

// Between Qt's images and the plain pixels of the code that does without Qt Gui.
Pixels toPixels(const QImage &image);
QImage toImage(const Pixels &pixels);
