#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "formats/Pixels.h"

// The picture at `width` x `height`. An enlargement by whole factors repeats every pixel as a
// block, so that a pixel drawing stays crisp; every other size averages the part of the source
// that each pixel covers, weighting colours by their alpha so that clear pixels do not darken
// the edges. An invalid source or a size below 1 gives an invalid result.
Pixels scaledPixels(const Pixels &source, int width, int height);

// The whole-factor shrink of scaledPixels fed the source a row at a time, so that a large one is
// never held whole. `width` and `height` divide the source's sides.
class BlockShrink
{
public:
    // Source words are 0xAARRGGBB, or PNG's own 0xAABBGGRR when `fromPngOrder`; the target's
    // are 0xAARRGGBB.
    BlockShrink(int sourceWidth, int sourceHeight, int width, int height,
                bool fromPngOrder = false);
    // The source's next row, of sourceWidth pixels.
    void add(const std::uint32_t *row);
    // The target, once every source row has been added.
    Pixels result() &&;

private:
    std::size_t fx_;
    std::size_t fy_;
    std::size_t rows_ = 0;
    bool swapped_;
    // One of these two is empty: a block's sums for each target pixel, or, for the 2 x 2 shrink
    // where the processor takes whole blocks at once, the even row that is waiting for the odd.
    std::vector<std::array<std::uint64_t, 4>> sums_;
    std::vector<std::uint32_t> above_;
    Pixels out_;
};
