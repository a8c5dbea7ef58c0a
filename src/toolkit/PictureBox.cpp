#include "toolkit/PictureBox.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "toolkit/Raster.h"

namespace {

using Raster::Reach;
// A centre or corner this far out, with sizes up to Reach, cannot touch any surface.
constexpr int64_t FarOut = int64_t(1) << 22;
// Twip values computed in floating point may miss a pixel boundary by a hair.
constexpr double Slack = 1e-7;

double finiteOr0(double v)
{
    return std::isfinite(v) ? v : 0.0;
}

int clampToInt(int64_t v)
{
    return int(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

// The font as drawn on the surfaces: letters without antialiasing.
QFont surfaceFont(const QFont &font)
{
    QFont f = font;
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

// Measured against the image itself, so sizes match what is drawn; a null image has no DPI.
QFontMetrics surfaceMetrics(const QFont &font, const QImage &image)
{
    return image.isNull() ? QFontMetrics(surfaceFont(font))
                          : QFontMetrics(surfaceFont(font), &image);
}

// The overlapping top-left corner of `src` copied into `dst` as it is, alpha included.
void copyCorner(QImage &dst, const QImage &src)
{
    const int w = std::min(dst.width(), src.width()), h = std::min(dst.height(), src.height());
    for (int y = 0; y < h; ++y)
        std::memcpy(dst.scanLine(y), src.constScanLine(y), size_t(w) * sizeof(QRgb));
}

// The squares a transparent back colour shows, in pixels.
constexpr int CheckerSide = 4;

// The back colour all over, or for the transparent paint a grey-and-white checkerboard.
void fillWith(QImage &image, ColorValue back)
{
    if (!isTransparent(back)) {
        image.fill(toQRgb(back));
        return;
    }
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = (x / CheckerSide + y / CheckerSide) % 2 ? qRgb(192, 192, 192) : 0xFFFFFFFFu;
    }
}

int buttonBits(Qt::MouseButtons b)
{
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) |
           (b & Qt::MiddleButton ? 4 : 0);
}

} // namespace

int mouseButton(const QMouseEvent *e)
{
    return buttonBits(e->button());
}
int mouseButtons(const QMouseEvent *e)
{
    return buttonBits(e->buttons());
}

int shiftState(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

PictureBox::PictureBox(QWidget *parent, ScaleMode scale)
    : QWidget(parent)
    , scale_(scale)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PictureBox::~PictureBox() = default;

void PictureBox::setBorderStyle(int style)
{
    border_ = style == 1 ? 1 : 0;
    changed();
}

void PictureBox::setBackColor(ColorValue c)
{
    backColor_ = c;
    Cls();
}

void PictureBox::setPicture(const QImage &picture)
{
    picture_ = picture;
    if (AutoSize && !picture_.isNull())
        resize(picture_.size() + QSize(2 * border_, 2 * border_));
    Cls();
}

void PictureBox::setKeepsTransparency(bool keep)
{
    keepsTransparency_ = keep;
    Cls();
}

QImage::Format PictureBox::surfaceFormat() const
{
    return keepsTransparency_ ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

QSize PictureBox::surfaceSize() const
{
    return {std::max(0, width() - 2 * border_), std::max(0, height() - 2 * border_)};
}

void PictureBox::drawPlain(QImage &on) const
{
    fillWith(on, backColor_);
    if (picture_.isNull() || on.isNull())
        return;
    if (keepsTransparency_)
        copyKept(on, picture_, QPoint(0, 0), picture_.rect());
    else
        QPainter(&on).drawImage(0, 0, picture_);
}

void PictureBox::fitSurface() const
{
    const QSize want = surfaceSize();
    if (plain_) {
        plain_ = false;
        image_ = QImage(want, surfaceFormat());
        drawPlain(image_);
        return;
    }
    if (image_.size() == want)
        return;
    // Like the old toolkit's persistent bitmap, what was drawn beyond a shrunken box comes back
    // when the box grows again; only Cls forgets it.
    QImage kept = retained_;
    if (kept.width() < image_.width() || kept.height() < image_.height()) {
        QImage merged(kept.size().expandedTo(image_.size()), surfaceFormat());
        fillWith(merged, backColor_);
        copyCorner(merged, kept);
        kept = std::move(merged);
    }
    copyCorner(kept, image_);
    retained_ = kept;
    QImage next(want, surfaceFormat());
    fillWith(next, backColor_);
    copyCorner(next, kept);
    image_ = std::move(next);
}

QImage PictureBox::ImageAsShown() const
{
    fitSurface();
    if (!keepsTransparency_)
        return image_;
    QImage shown = image_.copy();
    const QRgb back = toQRgb(backColor_);
    for (int y = 0; y < shown.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(shown.scanLine(y));
        for (int x = 0; x < shown.width(); ++x)
            if (qAlpha(line[x]) != 255)
                line[x] = composedPixel(line[x], back);
    }
    shown.reinterpretAsFormat(QImage::Format_RGB32);
    return shown;
}

QRgb PictureBox::clear() const
{
    return toQRgb(backColor_) & 0xFFFFFFu;
}

QRgb PictureBox::ink(ColorValue c) const
{
    if (!isTransparent(c))
        return toQRgb(c);
    return keepsTransparency_ ? clear() : toQRgb(backColor_);
}

void PictureBox::copyKept(QImage &onto, const QImage &source, QPoint to, const QRect &from) const
{
    const QImage straight = source.convertToFormat(QImage::Format_ARGB32);
    const QRect target = QRect(to, from.size()).intersected(onto.rect());
    const QRgb transparent = clear();
    for (int y = target.top(); y <= target.bottom(); ++y) {
        const auto *in =
            reinterpret_cast<const QRgb *>(straight.constScanLine(from.top() + y - to.y()));
        auto *line = reinterpret_cast<QRgb *>(onto.scanLine(y));
        for (int x = target.left(); x <= target.right(); ++x) {
            const QRgb p = in[from.left() + x - to.x()];
            line[x] = qAlpha(p) == 0 ? transparent : p;
        }
    }
}

void PictureBox::movePixels(int side, const std::function<QPoint(int x, int y)> &from,
                            std::optional<ColorValue> outside)
{
    fitSurface();
    const QImage before = image_.copy();
    const QRect square = QRect(0, 0, side, side).intersected(before.rect());
    for (int y = 0; y < square.height(); ++y)
        for (int x = 0; x < square.width(); ++x) {
            const QPoint source = from(x, y);
            if (square.contains(source))
                image_.setPixel(x, y, before.pixel(source));
            else if (outside)
                image_.setPixel(x, y, ink(*outside));
        }
    changed();
}

void PictureBox::changed()
{
    // A hidden box is painted whole when it shows.
    if (repaintPending_ || !isVisible())
        return;
    repaintPending_ = true;
    update();
}

void PictureBox::Cls()
{
    plain_ = true;
    image_ = QImage();
    retained_ = QImage();
    CurrentX = 0;
    CurrentY = 0;
    changed();
}

void PictureBox::Line(double x1, double y1, double x2, double y2, ColorValue color)
{
    fitSurface();
    CurrentX = x2;
    CurrentY = y2;
    const double u = scaleUnit();
    Raster::line(image_, x1 / u, y1 / u, x2 / u, y2 / u, ink(color));
    changed();
}

void PictureBox::LineBox(double x1, double y1, double x2, double y2, ColorValue color, bool filled)
{
    fitSurface();
    CurrentX = x2;
    CurrentY = y2;
    const double u = scaleUnit();
    // The pixels p with p * unit within [min, max], kept to a range that still clips correctly.
    auto range = [u](double a, double b, int &lo, int &hi) {
        a = finiteOr0(a) / u;
        b = finiteOr0(b) / u;
        lo = int(std::ceil(std::clamp(std::min(a, b) - Slack, -Reach, Reach)));
        hi = int(std::floor(std::clamp(std::max(a, b) + Slack, -Reach, Reach)));
    };
    int left, right, top, bottom;
    range(x1, x2, left, right);
    range(y1, y2, top, bottom);
    const QRgb rgb = ink(color);
    if (filled) {
        Raster::fillBox(image_, left, top, right, bottom, rgb);
    } else {
        if (FillStyle == vbFSSolid)
            Raster::fillBox(image_, left, top, right, bottom, ink(FillColor));
        Raster::outlineBox(image_, left, top, right, bottom, rgb);
    }
    changed();
}

void PictureBox::PSet(double x, double y, ColorValue color)
{
    fitSurface();
    CurrentX = x;
    CurrentY = y;
    Raster::plot(image_, toPixelX(x), toPixelY(y), ink(color));
    changed();
}

int32_t PictureBox::Point(double x, double y) const
{
    fitSurface();
    const int px = toPixelX(x), py = toPixelY(y);
    if (px < 0 || py < 0 || px >= image_.width() || py >= image_.height())
        return -1;
    return int32_t(fromQRgb(reinterpret_cast<const QRgb *>(image_.constScanLine(py))[px]));
}

void PictureBox::Circle(double x, double y, double radius, ColorValue color)
{
    fitSurface();
    CurrentX = x;
    CurrentY = y;
    const double u = scaleUnit();
    const int64_t cx = std::clamp<int64_t>(vbRound(x / u), -FarOut, FarOut);
    const int64_t cy = std::clamp<int64_t>(vbRound(y / u), -FarOut, FarOut);
    std::optional<QRgb> inside;
    if (FillStyle == vbFSSolid)
        inside = ink(FillColor);
    Raster::circle(image_, int(cx), int(cy), radius / u, ink(color), inside);
    changed();
}

void PictureBox::Print(const QString &text)
{
    fitSurface();
    const int x = toPixelX(CurrentX), y = toPixelY(CurrentY);
    const auto near = [](int v) { return v > -Reach && v < Reach; };
    if (!image_.isNull() && near(x) && near(y)) {
        const QPoint at(x, y + surfaceMetrics(Font, image_).ascent());
        if (isTransparent(ForeColor))
            clearText(at, text);
        else
            drawText(image_, at, text, toQColor(ForeColor));
    }
    CurrentX = 0;
    CurrentY += TextHeight(text);
    changed();
}

void PictureBox::drawText(QImage &on, QPoint at, const QString &text, const QColor &color) const
{
    QPainter p(&on);
    p.setFont(surfaceFont(Font));
    p.setPen(color);
    p.drawText(at, text);
}

void PictureBox::clearText(QPoint at, const QString &text)
{
    // A transparent pen draws nothing: the letters are drawn apart, then cleared where they lie.
    QImage letters(image_.size(), QImage::Format_ARGB32);
    letters.fill(Qt::transparent);
    drawText(letters, at, text, Qt::black);
    const QRgb paint = ink(vbTransparent);
    for (int y = 0; y < letters.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(letters.constScanLine(y));
        auto *line = reinterpret_cast<QRgb *>(image_.scanLine(y));
        for (int x = 0; x < letters.width(); ++x)
            if (qAlpha(from[x]) != 0)
                line[x] = paint;
    }
}

double PictureBox::TextWidth(const QString &text) const
{
    fitSurface();
    return surfaceMetrics(Font, image_).horizontalAdvance(text) * scaleUnit();
}

double PictureBox::TextHeight(const QString &) const
{
    fitSurface();
    return surfaceMetrics(Font, image_).height() * scaleUnit();
}

void PictureBox::PaintPicture(const QImage &source, double x, double y, int srcX, int srcY,
                              int srcWidth, int srcHeight)
{
    fitSurface();
    if (source.isNull() || image_.isNull() || srcWidth <= 0 || srcHeight <= 0)
        return;
    // On one axis: clip the source span to the source, then the destination to the surface.
    struct Span
    {
        int64_t src, dst, len;
    };
    auto clip = [](int64_t src, int64_t len, int64_t dst, int64_t srcSize, int64_t dstSize) {
        const int64_t s0 = std::max<int64_t>(src, 0), s1 = std::min(src + len, srcSize);
        int64_t d0 = dst + (s0 - src), d1 = d0 + (s1 - s0);
        const int64_t cut = std::max<int64_t>(0, -d0);
        d0 += cut;
        d1 = std::min(d1, dstSize);
        return Span{s0 + cut, d0, d1 - d0};
    };
    const int64_t dx = std::clamp<int64_t>(vbRound(x / scaleUnit()), -FarOut, FarOut);
    const int64_t dy = std::clamp<int64_t>(vbRound(y / scaleUnit()), -FarOut, FarOut);
    const Span h = clip(srcX, srcWidth, dx, source.width(), image_.width());
    const Span v = clip(srcY, srcHeight, dy, source.height(), image_.height());
    if (h.len <= 0 || v.len <= 0)
        return;
    const QPoint to(int(h.dst), int(v.dst));
    const QRect from(int(h.src), int(v.src), int(h.len), int(v.len));
    // A box that keeps transparency takes the source's pixels as they are, alpha included.
    if (keepsTransparency_)
        copyKept(image_, source, to, from);
    else
        QPainter(&image_).drawImage(to, source, from);
    changed();
}

void PictureBox::ExtFloodFill(double x, double y, ColorValue target)
{
    fitSurface();
    Raster::floodFill(image_, toPixelX(x), toPixelY(y), toQRgb(target), ink(FillColor));
    changed();
}

void PictureBox::addBand(Shape *shape)
{
    shapes_.push_back(shape);
    changed();
}

void PictureBox::addBand(LineShape *line)
{
    lines_.push_back(line);
    changed();
}

void PictureBox::removeBand(Shape *shape)
{
    std::erase(shapes_, shape);
    changed();
}

void PictureBox::removeBand(LineShape *line)
{
    std::erase(lines_, line);
    changed();
}

int PictureBox::toPixelX(double v) const
{
    return clampToInt(vbRound(v / scaleUnit()));
}
int PictureBox::toPixelY(double v) const
{
    return clampToInt(vbRound(v / scaleUnit()));
}
double PictureBox::fromPixelX(double px) const
{
    return px * scaleUnit();
}
double PictureBox::fromPixelY(double px) const
{
    return px * scaleUnit();
}

QSize PictureBox::sizeHint() const
{
    return size();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    repaintPending_ = false;
    // A plain opaque surface is painted as it would be made.
    const bool direct = plain_ && !keepsTransparency_ && !isTransparent(backColor_);
    if (!direct)
        fitSurface();
    QPainter p(this);
    if (border_) {
        const int r = width() - 1, b = height() - 1;
        p.setPen(QColor(128, 128, 128));
        p.drawLine(0, 0, r, 0);
        p.drawLine(0, 0, 0, b);
        p.setPen(Qt::white);
        p.drawLine(0, b, r, b);
        p.drawLine(r, 0, r, b);
    }
    p.translate(border_, border_);
    const QRect inside(QPoint(0, 0), surfaceSize());
    p.setClipRect(inside);
    if (direct) {
        p.fillRect(inside, toQColor(backColor_));
        p.drawImage(0, 0, picture_);
    } else {
        // The surface is opaque on screen, whatever it keeps.
        p.drawImage(0, 0, keepsTransparency_ ? ImageAsShown() : image_);
    }
    for (const Shape *s : shapes_) {
        if (!s->Visible())
            continue;
        const int x = toPixelX(s->Left()), y = toPixelY(s->Top());
        const int w = toPixelX(s->Width()), h = toPixelY(s->Height());
        if (w <= 0 || h <= 0)
            continue;
        p.setPen(QPen(toQColor(s->BorderColor()), 0));
        p.setBrush(Qt::NoBrush);
        if (s->kind() == Shape::Circle) {
            p.drawEllipse(QRect(x, y, w - 1, h - 1));
        } else {
            p.drawLine(x, y, x + w - 1, y);
            p.drawLine(x, y + h - 1, x + w - 1, y + h - 1);
            p.drawLine(x, y, x, y + h - 1);
            p.drawLine(x + w - 1, y, x + w - 1, y + h - 1);
        }
    }
    for (const LineShape *l : lines_) {
        if (!l->Visible())
            continue;
        p.setPen(QPen(toQColor(l->BorderColor()), 0));
        p.drawLine(toPixelX(l->X1()), toPixelY(l->Y1()), toPixelX(l->X2()), toPixelY(l->Y2()));
    }
}

void PictureBox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!plain_)
        fitSurface();
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
    // Only the left, right and middle buttons have codes; back and forward buttons are not told.
    if (MouseDown && mouseButton(event) != 0)
        MouseDown(mouseButton(event), shiftState(event->modifiers()),
                  fromPixelX(event->position().x() - border_),
                  fromPixelY(event->position().y() - border_));
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    if (MouseMove)
        MouseMove(mouseButtons(event), shiftState(event->modifiers()),
                  fromPixelX(event->position().x() - border_),
                  fromPixelY(event->position().y() - border_));
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton;
    if (event->button() == Qt::LeftButton)
        pressed_ = false;
    // A handler may close the window that owns this control.
    const QPointer<PictureBox> alive(this);
    if (MouseUp && mouseButton(event) != 0)
        MouseUp(mouseButton(event), shiftState(event->modifiers()),
                fromPixelX(event->position().x() - border_),
                fromPixelY(event->position().y() - border_));
    if (alive && click && Click)
        Click();
}

Shape::Shape(PictureBox *owner, Kind kind, ColorValue borderColor)
    : owner_(owner)
    , kind_(kind)
    , color_(borderColor)
{
    if (owner_)
        owner_->addBand(this);
}

Shape::~Shape()
{
    if (owner_)
        owner_->removeBand(this);
}

void Shape::setLeft(double v)
{
    left_ = v;
    if (owner_)
        owner_->update();
}

void Shape::setTop(double v)
{
    top_ = v;
    if (owner_)
        owner_->update();
}

void Shape::setWidth(double v)
{
    width_ = v;
    if (owner_)
        owner_->update();
}

void Shape::setHeight(double v)
{
    height_ = v;
    if (owner_)
        owner_->update();
}

void Shape::setVisible(bool v)
{
    visible_ = v;
    if (owner_)
        owner_->update();
}

LineShape::LineShape(PictureBox *owner, ColorValue borderColor)
    : owner_(owner)
    , color_(borderColor)
{
    if (owner_)
        owner_->addBand(this);
}

LineShape::~LineShape()
{
    if (owner_)
        owner_->removeBand(this);
}

void LineShape::setPoints(double x1, double y1, double x2, double y2)
{
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    if (owner_)
        owner_->update();
}

void LineShape::setVisible(bool v)
{
    visible_ = v;
    if (owner_)
        owner_->update();
}
