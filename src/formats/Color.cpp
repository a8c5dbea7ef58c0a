#include "formats/Color.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>

namespace {

// The old toolkit's system colour numbers on the desktop palette.
QColor systemColor(unsigned n)
{
    const QPalette p = QGuiApplication::palette();
    switch (n) {
    case 0:
        return p.color(QPalette::Button); // scroll bars
    case 1:
        return p.color(QPalette::Dark); // desktop
    case 2:
        return p.color(QPalette::Highlight); // active caption
    case 3:
        return p.color(QPalette::Inactive, QPalette::Highlight);
    case 4:
        return p.color(QPalette::Window); // menu bar
    case 5:
        return p.color(QPalette::Base); // window background
    case 6:
        return p.color(QPalette::Shadow); // window frame
    case 7:
        return p.color(QPalette::WindowText); // menu text
    case 8:
        return p.color(QPalette::Text); // window text
    case 9:
        return p.color(QPalette::HighlightedText); // caption text
    case 10:
    case 11:
        return p.color(QPalette::Window); // active and inactive border
    case 12:
        return p.color(QPalette::Mid); // application workspace
    case 13:
        return p.color(QPalette::Highlight);
    case 14:
        return p.color(QPalette::HighlightedText);
    case 15:
        return p.color(QPalette::Button); // button face
    case 16:
        return p.color(QPalette::Dark); // button shadow
    case 17:
        return p.color(QPalette::Disabled, QPalette::Text); // grey text
    case 18:
        return p.color(QPalette::ButtonText);
    case 19:
        return p.color(QPalette::Inactive, QPalette::HighlightedText);
    case 20:
        return p.color(QPalette::Light); // button highlight
    case 21:
        return p.color(QPalette::Shadow); // 3D dark shadow
    case 22:
        return p.color(QPalette::Midlight); // 3D light
    case 23:
        return p.color(QPalette::ToolTipText);
    case 24:
        return p.color(QPalette::ToolTipBase);
    default:
        return p.color(QPalette::Window);
    }
}

} // namespace

ColorValue resolveColor(ColorValue c)
{
    if (!isSystemColor(c))
        return c & 0xFFFFFF;
    return fromQColor(systemColor(c & 0xFF));
}

QRgb toQRgb(ColorValue c)
{
    if (isTransparent(c))
        return qRgba(0, 0, 0, 0);
    const ColorValue p = resolveColor(c);
    return qRgb(redOf(p), greenOf(p), blueOf(p));
}

QColor toQColor(ColorValue c)
{
    return QColor(toQRgb(c));
}

int64_t vbRound(double v)
{
    if (!std::isfinite(v))
        return 0;
    v = std::clamp(v, -9.0e18, 9.0e18);
    return int64_t(std::nearbyint(v)); // the default rounding mode is to nearest, ties to even
}

int16_t toInt16(double v)
{
    return int16_t(std::clamp<int64_t>(vbRound(v), -32768, 32767));
}
