#pragma once

#include "formats/Pixels.h"

// The picture at `width` x `height`. An enlargement by whole factors repeats every pixel as a
// block, so that a pixel drawing stays crisp; every other size averages the part of the source
// that each pixel covers, weighting colours by their alpha so that clear pixels do not darken
// the edges. An invalid source or a size below 1 gives an invalid result.
Pixels scaledPixels(const Pixels &source, int width, int height);
