#include "placement/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <optional>

#include "formats/Color.h"
#include "placement/registry.h"
#include "toolkit/ToolFrame.h"
#include "toolkit/twips.h"

int32_t PositionValue = 0;

namespace {

const QString kPositionKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Window Position");

int16_t pixels16(double twips, int twipsPerPixel)
{
    return toInt16(twips / twipsPerPixel);
}

// A stored number as a 32-bit integer, fractions rounded half to even; nothing for any other
// text or a number out of range.
std::optional<int32_t> storedNumber(const QString &text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < -2147483648.5 || v > 2147483647.5)
        return std::nullopt;
    return int32_t(vbRound(v));
}

// A damaged store must not put the window where nobody can reach it: its top-left corner and a
// grip of its title bar stay on the screen that holds the point, or on the primary one.
QPoint onScreen(const QWidget *window, QPoint topLeft)
{
    QScreen *screen = QGuiApplication::screenAt(topLeft);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return topLeft;
    const QRect area = screen->availableGeometry();
    const QSize frame = window->frameGeometry().size();
    const int maxX = std::max(area.left(), area.right() + 1 - std::min(frame.width(), 64));
    const int maxY = std::max(area.top(), area.bottom() + 1 - std::min(frame.height(), 32));
    return {std::clamp(topLeft.x(), area.left(), maxX), std::clamp(topLeft.y(), area.top(), maxY)};
}

} // namespace

void PlaceToolWindow(QWidget *window, int16_t &topmost)
{
    const int16_t x = pixels16(Left(window), Screen::TwipsPerPixelX);
    const int16_t y = pixels16(Top(window), Screen::TwipsPerPixelY);
    const int16_t cx = pixels16(Width(window), Screen::TwipsPerPixelX);
    const int16_t cy = pixels16(Height(window), Screen::TwipsPerPixelY);

    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, topmost != 0);
    if (QWindow *handle = window->windowHandle()) {
        // Changing the flags through QWidget would hide the window and recreate it.
        window->overrideWindowFlags(flags);
        handle->setFlags(flags);
        if ((flags & Qt::WindowType_Mask) == Qt::Tool)
            askForToolFrame(window);
    } else {
        const bool hidden = window->isHidden();
        window->setWindowFlags(flags);
        window->setHidden(hidden);
    }
    Move(window, pixelsToTwips(x), pixelsToTwips(y), pixelsToTwips(cx), pixelsToTwips(cy));
    if (window->isVisible()) {
        window->raise();
        window->activateWindow();
    }
}

void PlaceToolWindow(QWidget *window, bool topmost)
{
    int16_t flag = topmost ? -1 : 0;
    PlaceToolWindow(window, flag);
}

void RestoreWindowPosition(QWidget *window)
{
    // Both from one read of the store, so that they come from the same save.
    const QStringList stored =
        ReadRegValues(kPositionKey, {QStringLiteral("Left"), QStringLiteral("Top")});
    if (const auto left = storedNumber(stored[0]))
        PositionValue = *left;
    const int32_t left = PositionValue;
    if (const auto top = storedNumber(stored[1]))
        PositionValue = *top;
    const QPoint at = onScreen(window, QPoint(twipsToPixels(left), twipsToPixels(PositionValue)));
    setLeft(window, pixelsToTwips(at.x()));
    setTop(window, pixelsToTwips(at.y()));
}

void SaveWindowPosition(QWidget *window)
{
    // One write, so that a copy starting meanwhile never reads the new Left with the old Top.
    CreateRegKeyWithValues(kPositionKey, {{QStringLiteral("Left"), QString::number(Left(window))},
                                          {QStringLiteral("Top"), QString::number(Top(window))}});
}
