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

// Plain RGB for any colour value; system colours come from the desktop palette.
ColorValue resolveColor(ColorValue c);
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

// Every floating-point to integer conversion rounds half to even.
int64_t vbRound(double v);
// The same, saturated to a signed 16-bit field instead of overflowing.
int16_t toInt16(double v);
