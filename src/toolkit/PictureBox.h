#pragma once

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "formats/Color.h"

class Shape;
class LineShape;

// Mouse arguments as the old toolkit gave them: Button 1 left, 2 right, 4 middle (on a move the
// held buttons as bits); Shift bits 1 Shift, 2 Ctrl, 4 Alt; X and Y in the control's scale.
using MouseHandler = std::function<void(int Button, int Shift, double X, double Y)>;

class QMouseEvent;
int mouseButton(const QMouseEvent *e);  // the button that went down or up
int mouseButtons(const QMouseEvent *e); // the buttons held, as bits
int shiftState(Qt::KeyboardModifiers m);

// A drawable surface that keeps its drawing. The *picture* is what was assigned; the *image*
// is the picture with every drawing since. Coordinates are in twips or in pixels.
class PictureBox : public QWidget
{
    Q_OBJECT
public:
    enum class ScaleMode { Twips, Pixels };
    enum FillStyleKind { vbFSSolid = 0, vbFSTransparent = 1 };

    explicit PictureBox(QWidget *parent = nullptr, ScaleMode scale = ScaleMode::Twips);
    ~PictureBox() override;

    ScaleMode scaleMode() const { return scale_; }
    // 0 none, 1 a one-pixel inset frame around the surface.
    void setBorderStyle(int style);

    ColorValue BackColor() const { return backColor_; }
    // Like the old toolkit, a new back colour clears the drawing.
    void setBackColor(ColorValue c);
    ColorValue ForeColor = vbBlack;
    ColorValue FillColor = vbBlack;
    int FillStyle = vbFSTransparent;
    QFont Font;
    double CurrentX = 0;
    double CurrentY = 0;

    // Assigning a picture clears the drawing, fills with the back colour and draws it at (0, 0).
    const QImage &Picture() const { return picture_; }
    void setPicture(const QImage &picture);
    // The picture with everything drawn since, at the surface's size.
    QImage Image() const
    {
        fitSurface();
        return image_;
    }
    // Makes the current image the picture, as Save does before a fill.
    void takeImageAsPicture()
    {
        fitSurface();
        picture_ = image_;
    }
    // The image as it is shown: composed over the back colour, everything opaque.
    QImage ImageAsShown() const;

    // A box that keeps transparency (setting it clears the drawing) holds an ARGB32 surface of
    // straight alpha: its picture's pixels and those PaintPicture copies keep their alpha, a
    // fully transparent one as alpha 0 over the back colour's RGB (so Point and Image's plain
    // RGB read the back colour), until something is drawn over them; vbTransparent draws such
    // pixels. Off, the surface is opaque RGB32. A box whose back colour is vbTransparent shows a
    // grey-and-white checkerboard.
    bool keepsTransparency() const { return keepsTransparency_; }
    void setKeepsTransparency(bool keep);
    // Every pixel (x, y) of the top-left side x side square takes, alpha included, the pixel
    // `from(x, y)` held before; a source outside the square or the surface gives `outside`, or
    // leaves the pixel as it was when there is none.
    void movePixels(int side, const std::function<QPoint(int x, int y)> &from,
                    std::optional<ColorValue> outside);
    // Grows or shrinks the control to its picture.
    bool AutoSize = false;

    // The surface in pixels; drawing outside it is clipped.
    int surfaceWidth() const { return surface().width(); }
    int surfaceHeight() const { return surface().height(); }
    const QImage &surface() const
    {
        fitSurface();
        return image_;
    }
    QImage &surface()
    {
        fitSurface();
        return image_;
    }

    void Cls();
    // A plain line leaves out its last pixel.
    void Line(double x1, double y1, double x2, double y2, ColorValue color);
    // A box includes both corners; filled ("BF") paints border and interior in the colour,
    // otherwise the interior takes FillColor when FillStyle is solid.
    void LineBox(double x1, double y1, double x2, double y2, ColorValue color, bool filled);
    void PSet(double x, double y, ColorValue color);
    // Plain RGB of the pixel, or -1 outside the surface.
    int32_t Point(double x, double y) const;
    // Outline in the colour; the interior takes FillColor when FillStyle is solid.
    void Circle(double x, double y, double radius, ColorValue color);
    // Prints letters only, in Font and ForeColor, at CurrentX/CurrentY; moves to the next line.
    void Print(const QString &text);
    double TextWidth(const QString &text) const;
    double TextHeight(const QString &text) const;
    // 1:1 copy of a rectangle of a picture (pixels) to (x, y) in this surface's scale.
    void PaintPicture(const QImage &source, double x, double y, int srcX, int srcY, int srcWidth,
                      int srcHeight);
    // The surface fill: from (x, y), every pixel of colour `target` reachable through horizontal
    // and vertical neighbours takes FillColor. Nothing happens if (x, y) is not `target`.
    void ExtFloodFill(double x, double y, ColorValue target);
    void Refresh() { update(); }

    MouseHandler MouseDown;
    MouseHandler MouseMove;
    MouseHandler MouseUp;
    std::function<void()> Click;

    // Rubber bands drawn over the surface.
    void addBand(Shape *shape);
    void addBand(LineShape *line);
    void removeBand(Shape *shape);
    void removeBand(LineShape *line);

    int toPixelX(double v) const;
    int toPixelY(double v) const;
    double fromPixelX(double px) const;
    double fromPixelY(double px) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    double scaleUnit() const { return scale_ == ScaleMode::Twips ? 15.0 : 1.0; }
    // Qt defers resize events of hidden widgets, so the surface follows the size on every use.
    void fitSurface() const;
    // The surface's size for the box's size.
    QSize surfaceSize() const;
    // Paints `on` as Cls leaves the surface: the back colour, the picture at (0, 0).
    void drawPlain(QImage &on) const;
    // Asks for one repaint however many operations draw before it comes.
    void changed();
    QImage::Format surfaceFormat() const;
    // A transparent pixel of this box: alpha 0 over the back colour's RGB.
    QRgb clear() const;
    // The pixel a colour paints; vbTransparent clears one that keeps transparency and shows the
    // back colour on any other.
    QRgb ink(ColorValue c) const;
    // The `from` rectangle of `source` to `to` on the surface, alpha included.
    void copyKept(QImage &onto, const QImage &source, QPoint to, const QRect &from) const;
    void drawText(QImage &on, QPoint at, const QString &text, const QColor &color) const;
    void clearText(QPoint at, const QString &text);

    ScaleMode scale_;
    int border_ = 0;
    ColorValue backColor_ = vbButtonFace;
    QImage picture_;
    mutable QImage image_;
    // The surface is as Cls leaves it, and not made: a box that nothing draws on or reads (the
    // splash's logo, a button's picture) paints its back colour and picture without one.
    mutable bool plain_ = true;
    // The drawing as large as the box has ever been since the last Cls.
    mutable QImage retained_;
    bool keepsTransparency_ = false;
    bool repaintPending_ = false;
    std::vector<Shape *> shapes_;
    std::vector<LineShape *> lines_;
    bool pressed_ = false;
};

// A rectangle or circle rubber band in its picture box's scale.
class Shape
{
public:
    enum Kind { Rectangle, Circle };
    Shape(PictureBox *owner, Kind kind, ColorValue borderColor);
    ~Shape();
    Shape(const Shape &) = delete;
    Shape &operator=(const Shape &) = delete;

    Kind kind() const { return kind_; }
    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    bool Visible() const { return visible_; }
    ColorValue BorderColor() const { return color_; }
    void setLeft(double v);
    void setTop(double v);
    void setWidth(double v);
    void setHeight(double v);
    void setVisible(bool v);

private:
    QPointer<PictureBox> owner_;
    Kind kind_;
    ColorValue color_;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = false;
};

// A line rubber band between two points in its picture box's scale.
class LineShape
{
public:
    LineShape(PictureBox *owner, ColorValue borderColor);
    ~LineShape();
    LineShape(const LineShape &) = delete;
    LineShape &operator=(const LineShape &) = delete;

    double X1() const { return x1_; }
    double Y1() const { return y1_; }
    double X2() const { return x2_; }
    double Y2() const { return y2_; }
    bool Visible() const { return visible_; }
    ColorValue BorderColor() const { return color_; }
    void setPoints(double x1, double y1, double x2, double y2);
    void setVisible(bool v);

private:
    QPointer<PictureBox> owner_;
    ColorValue color_;
    double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    bool visible_ = false;
};
