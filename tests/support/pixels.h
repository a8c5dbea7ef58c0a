#pragma once

#include <QImage>
#include <limits>
#include <set>
#include <utility>

#include "formats/Color.h"

// Pixel sets for comparing what a drawing routine touched with what it should have.
using PixelSet = std::set<std::pair<int, int>>;

inline constexpr ColorValue Red = RGB(255, 0, 0);
inline constexpr ColorValue Green = RGB(0, 255, 0);
// Coordinates no drawing routine may trip over.
inline constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double Inf = std::numeric_limits<double>::infinity();

// The pixels of the image whose plain RGB is the colour.
inline PixelSet pixelsOf(const QImage &image, ColorValue c)
{
    PixelSet out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (fromQRgb(image.pixel(x, y)) == c)
                out.insert({x, y});
    return out;
}

// The pixels of the image that are fully transparent.
inline PixelSet clearOf(const QImage &image)
{
    PixelSet out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 0)
                out.insert({x, y});
    return out;
}

// Every pixel from (x1, y1) to (x2, y2), both included.
inline PixelSet box(int x1, int y1, int x2, int y2)
{
    PixelSet out;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            out.insert({x, y});
    return out;
}

inline PixelSet minus(PixelSet a, const PixelSet &b)
{
    for (const auto &p : b)
        a.erase(p);
    return a;
}
