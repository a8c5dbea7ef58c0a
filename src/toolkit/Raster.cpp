#include "toolkit/Raster.h"

#include <QPoint>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "formats/Color.h"

namespace Raster {

namespace {

double finiteOr0(double v)
{
    return std::isfinite(v) ? v : 0.0;
}

// Keeps differences of coordinates finite; no image is anywhere near this far.
double bounded(double v)
{
    return std::clamp(finiteOr0(v), -1e15, 1e15);
}

int clampToInt(int64_t v)
{
    return int(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

// Liang-Barsky against the square of half-side Reach; false when the segment misses it.
bool clipToReach(double &x0, double &y0, double &x1, double &y1)
{
    const double dx = x1 - x0, dy = y1 - y0;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 + Reach, Reach - x0, y0 + Reach, Reach - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return false;
    const double ox = x0, oy = y0;
    if (t1 < 1) {
        x1 = ox + t1 * dx;
        y1 = oy + t1 * dy;
    }
    if (t0 > 0) {
        x0 = ox + t0 * dx;
        y0 = oy + t0 * dy;
    }
    return true;
}

// The image's pixels, taken for writing once per routine: QImage::scanLine detaches and runs
// its cache hooks on every call.
class Pixels
{
public:
    explicit Pixels(QImage &image)
    {
        if (!image.isNull() && image.depth() != 32)
            image = image.convertToFormat(QImage::Format_ARGB32);
        bits_ = image.isNull() ? nullptr : reinterpret_cast<QRgb *>(image.bits());
        stride_ = image.bytesPerLine() / qsizetype(sizeof(QRgb));
        width_ = image.width();
        height_ = image.height();
    }

    int width() const { return width_; }
    int height() const { return height_; }

    void set(int x, int y, QRgb rgb)
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return;
        bits_[y * stride_ + x] = rgb;
    }

    // x1 to x2 inclusive on row y, cut to the image.
    void span(int x1, int x2, int y, QRgb rgb)
    {
        if (y < 0 || y >= height_)
            return;
        x1 = std::max(x1, 0);
        x2 = std::min(x2, width_ - 1);
        if (x1 > x2)
            return;
        QRgb *row = bits_ + y * stride_;
        std::fill(row + x1, row + x2 + 1, rgb);
    }

private:
    QRgb *bits_ = nullptr;
    qsizetype stride_ = 0;
    int width_ = 0;
    int height_ = 0;
};

// Largest |dx| with dx*dx + dy*dy < limit, or -1 for a row outside the disc.
int64_t halfWidth(double limit, int64_t dy)
{
    const double t = limit - double(dy) * double(dy);
    if (t <= 0)
        return -1;
    auto w = int64_t(std::sqrt(t));
    while (w > 0 && double(w * w) >= t)
        --w;
    while (double((w + 1) * (w + 1)) < t)
        ++w;
    return w;
}

} // namespace

void plot(QImage &image, int x, int y, QRgb colour)
{
    Pixels(image).set(x, y, colour);
}

void line(QImage &image, double x1, double y1, double x2, double y2, QRgb colour)
{
    double ax = bounded(x1), ay = bounded(y1), bx = bounded(x2), by = bounded(y2);
    if (!clipToReach(ax, ay, bx, by))
        return;
    const int64_t x0 = vbRound(ax), y0 = vbRound(ay);
    const int64_t dx = vbRound(bx) - x0, dy = vbRound(by) - y0;
    const int64_t adx = std::abs(dx), ady = std::abs(dy);
    const int64_t steps = std::max(adx, ady);
    if (steps == 0)
        return;
    Pixels px(image);
    const bool xMajor = adx >= ady;
    const int64_t major0 = xMajor ? x0 : y0, minor0 = xMajor ? y0 : x0;
    const int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int64_t minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const int64_t along = xMajor ? adx : ady, across = xMajor ? ady : adx;
    const int64_t majorSize = xMajor ? px.width() : px.height();
    // Only the steps whose major coordinate lies on the image, and never the end point.
    int64_t first = majorStep > 0 ? -major0 : major0 - (majorSize - 1);
    int64_t last = majorStep > 0 ? majorSize - 1 - major0 : major0;
    first = std::max<int64_t>(first, 0);
    last = std::min(last, steps - 1);
    for (int64_t i = first; i <= last; ++i) {
        const int64_t major = major0 + majorStep * i;
        const int64_t minor = minor0 + minorStep * ((2 * i * across + along) / (2 * along));
        if (xMajor)
            px.set(clampToInt(major), clampToInt(minor), colour);
        else
            px.set(clampToInt(minor), clampToInt(major), colour);
    }
}

void fillBox(QImage &image, int left, int top, int right, int bottom, QRgb colour)
{
    if (left > right)
        return;
    Pixels px(image);
    const int lastRow = std::min(bottom, px.height() - 1);
    for (int y = std::max(top, 0); y <= lastRow; ++y)
        px.span(left, right, y, colour);
}

void outlineBox(QImage &image, int left, int top, int right, int bottom, QRgb colour)
{
    if (left > right || top > bottom)
        return;
    Pixels px(image);
    px.span(left, right, top, colour);
    px.span(left, right, bottom, colour);
    const int lastRow = std::min(bottom, px.height() - 1);
    for (int y = std::max(top, 0); y <= lastRow; ++y) {
        px.set(left, y, colour);
        px.set(right, y, colour);
    }
}

void circle(QImage &image, int cx, int cy, double radius, QRgb edge, std::optional<QRgb> inside)
{
    Pixels px(image);
    const double r = std::min(std::abs(finiteOr0(radius)), Reach);
    if (r < 0.5) {
        px.set(cx, cy, edge);
        return;
    }
    const double limit = r * r + r;
    const auto reach = int64_t(std::ceil(r)) + 1;
    const int64_t firstRow = std::max<int64_t>(cy - reach, 0);
    const int64_t lastRow = std::min<int64_t>(cy + reach, px.height() - 1);
    for (int64_t row = firstRow; row <= lastRow; ++row) {
        const int64_t dy = row - cy;
        const int64_t w = halfWidth(limit, dy);
        if (w < 0)
            continue;
        // Pixels within `inner` have all four neighbours in the disc; the rest are the outline.
        const int64_t inner = std::min({w - 1, halfWidth(limit, dy - 1), halfWidth(limit, dy + 1)});
        const int y = int(row);
        if (inner < 0) {
            px.span(clampToInt(cx - w), clampToInt(cx + w), y, edge);
            continue;
        }
        px.span(clampToInt(cx - w), clampToInt(cx - inner - 1), y, edge);
        px.span(clampToInt(cx + inner + 1), clampToInt(cx + w), y, edge);
        if (inside)
            px.span(clampToInt(cx - inner), clampToInt(cx + inner), y, *inside);
    }
}

int floodFill(QImage &image, int x, int y, QRgb target, QRgb fill)
{
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return 0;
    if (image.depth() != 32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    // An RGB32 pixel has no alpha of its own: it is written as opaque.
    const QRgb opaque = image.format() == QImage::Format_RGB32 ? 0xFF000000u : 0u;
    fill |= opaque;
    const QRgb colour = target & 0xFFFFFFu;
    const int w = image.width(), h = image.height();
    auto row = [&image](int r) { return reinterpret_cast<QRgb *>(image.scanLine(r)); };
    // Colours compare without alpha, so a transparent pixel of the colour turns into the fill;
    // a pixel that already is the fill is done, which also ends a fill of a colour with itself.
    auto isTarget = [colour, fill, opaque](QRgb p) {
        return (p & 0xFFFFFFu) == colour && (p | opaque) != fill;
    };
    if (!isTarget(row(y)[x]))
        return 0;

    int changed = 0;
    std::vector<QPoint> seeds{{x, y}};
    while (!seeds.empty()) {
        const QPoint s = seeds.back();
        seeds.pop_back();
        QRgb *here = row(s.y());
        if (!isTarget(here[s.x()]))
            continue;
        int l = s.x(), r = s.x();
        while (l > 0 && isTarget(here[l - 1]))
            --l;
        while (r < w - 1 && isTarget(here[r + 1]))
            ++r;
        std::fill(here + l, here + r + 1, fill);
        changed += r - l + 1;
        for (int ny : {s.y() - 1, s.y() + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            const QRgb *next = row(ny);
            bool inRun = false;
            for (int i = l; i <= r; ++i) {
                const bool t = isTarget(next[i]);
                if (t && !inRun)
                    seeds.emplace_back(i, ny);
                inRun = t;
            }
        }
    }
    return changed;
}

} // namespace Raster
