#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// An image as plain 0xAARRGGBB words with straight alpha, top row first: what the code that does
// without Qt Gui hands around.
struct Pixels
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;

    bool valid() const
    {
        return width > 0 && height > 0 && argb.size() == std::size_t(width) * std::size_t(height);
    }
    std::uint32_t at(int x, int y) const
    {
        return argb[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

// A word of PNG's byte order, 0xAABBGGRR, as 0xAARRGGBB, or back.
constexpr std::uint32_t redBlueSwapped(std::uint32_t p)
{
    return (p & 0xFF00FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
}
