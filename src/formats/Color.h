#pragma once

#include <QColor>
#include <QRgb>
#include <cstdint>

// The colour type of the whole program: 0x00BBGGRR. A value with the top bit set names
// system colour n (0x80000000 + n) and is resolved only when drawn.
using ColorValue = uint32_t;

constexpr ColorValue vbScrollBars = 0x80000000;
constexpr ColorValue vbWindowBackground = 0x80000005;
constexpr ColorValue vbWindowText = 0x80000008;
constexpr ColorValue vbButtonFace = 0x8000000F;
constexpr ColorValue vbButtonText = 0x80000012;
constexpr ColorValue vbBlack = 0x000000;
constexpr ColorValue vbWhite = 0xFFFFFF;
constexpr ColorValue vbBlue = 0xFF0000;
// Not a colour but the paint that clears: what it paints becomes transparent (alpha 0). Its top
// byte is neither a plain colour's 0 nor a system colour's top bit, so no colour a tool window
// hands over can mean it; only the main window's two button colours hold it.
constexpr ColorValue vbTransparent = 0x01000000;

constexpr ColorValue RGB(int r, int g, int b)
{
    return ColorValue(r & 0xFF) | ColorValue(g & 0xFF) << 8 | ColorValue(b & 0xFF) << 16;
}
constexpr int redOf(ColorValue c)
{
    return int(c & 0xFF);
}
constexpr int greenOf(ColorValue c)
{
    return int(c >> 8 & 0xFF);
}
constexpr int blueOf(ColorValue c)
{
    return int(c >> 16 & 0xFF);
}
constexpr bool isSystemColor(ColorValue c)
{
    return (c & 0x80000000u) != 0;
}
constexpr bool isTransparent(ColorValue c)
{
    return c == vbTransparent;
}

// Plain RGB for any colour value; system colours come from the desktop palette.
ColorValue resolveColor(ColorValue c);
// Opaque, but for vbTransparent's transparent black.
QRgb toQRgb(ColorValue c);
QColor toQColor(ColorValue c);
constexpr ColorValue fromQRgb(QRgb p)
{
    return RGB(qRed(p), qGreen(p), qBlue(p));
}
inline ColorValue fromQColor(const QColor &c)
{
    return fromQRgb(c.rgb());
}

// A pixel of straight alpha composed over an opaque one, each channel rounded to the nearest.
constexpr QRgb composedPixel(QRgb over, QRgb under)
{
    const int a = qAlpha(over);
    const auto mix = [a](int o, int u) { return (o * a + u * (255 - a) + 127) / 255; };
    return qRgb(mix(qRed(over), qRed(under)), mix(qGreen(over), qGreen(under)),
                mix(qBlue(over), qBlue(under)));
}

// Every floating-point to integer conversion rounds half to even.
int64_t vbRound(double v);
// The same, saturated to a signed 16-bit field instead of overflowing.
int16_t toInt16(double v);
