#pragma once

#include <QImage>
#include <optional>

// The pixel routines behind the drawing surfaces: pixel coordinates on a 32-bit image (any
// other depth is converted to ARGB32 first), colours written as given. Whatever falls outside
// the image is left out; no coordinate, however far off, makes them walk more than the image.
namespace Raster {

// Far beyond any image, yet small enough that products of two coordinates fit in 64 bits.
inline constexpr double Reach = double(1 << 20);

// One pixel; nothing when (x, y) is outside the image.
void plot(QImage &image, int x, int y, QRgb colour);

// Each end rounded half to even to a pixel; one pixel per step along the longer axis, the last
// pixel left out, so a line of no length draws nothing. Ends that are not finite count as 0.
void line(QImage &image, double x1, double y1, double x2, double y2, QRgb colour);

// Every pixel from (left, top) to (right, bottom), both corners included; nothing when
// left > right or top > bottom.
void fillBox(QImage &image, int left, int top, int right, int bottom, QRgb colour);
// The border of the same box only: its first and last rows and columns.
void outlineBox(QImage &image, int left, int top, int right, int bottom, QRgb colour);

// The disc of the pixels (dx, dy) from the centre with dx*dx + dy*dy < r*r + r, where r is
// |radius| capped at Reach (0 if not finite). Its outline, the pixels with a horizontal or
// vertical neighbour outside, takes `edge`; the rest takes `inside` when given. A radius under
// one half is the centre pixel alone.
void circle(QImage &image, int cx, int cy, double radius, QRgb edge,
            std::optional<QRgb> inside = std::nullopt);

// From (x, y), every pixel of colour `target` reachable through horizontal and vertical
// neighbours takes `fill`; returns how many changed. Colours compare by their RGB alone, so a
// transparent pixel of the colour is filled too; pixels already equal to `fill` stop the walk.
// Nothing happens when (x, y) is outside or not `target`. An RGB32 image's pixels are written
// as opaque.
int floodFill(QImage &image, int x, int y, QRgb target, QRgb fill);

} // namespace Raster
