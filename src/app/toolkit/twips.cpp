#include "app/toolkit/twips.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "app/toolkit/vb.h"

int twipsToPixels(double twips)
{
    return int(vbRound(twips / TwipsPerPixel));
}

// A top-level's position is its frame's; its size is the client's plus the frame it has.
static QSize frameExtra(const QWidget *w)
{
    if (!w->isWindow())
        return {0, 0};
    const QRect f = w->frameGeometry();
    const QRect g = w->geometry();
    return {f.width() - g.width(), f.height() - g.height()};
}

static QPoint origin(const QWidget *w)
{
    return w->isWindow() ? w->frameGeometry().topLeft() : w->pos();
}

double Left(const QWidget *w)
{
    return pixelsToTwips(origin(w).x());
}
double Top(const QWidget *w)
{
    return pixelsToTwips(origin(w).y());
}
double Width(const QWidget *w)
{
    return pixelsToTwips(w->width() + frameExtra(w).width());
}
double Height(const QWidget *w)
{
    return pixelsToTwips(w->height() + frameExtra(w).height());
}

void setLeft(QWidget *w, double twips)
{
    w->move(twipsToPixels(twips), origin(w).y());
}
void setTop(QWidget *w, double twips)
{
    w->move(origin(w).x(), twipsToPixels(twips));
}

void setWidth(QWidget *w, double twips)
{
    w->resize(std::max(0, twipsToPixels(twips) - frameExtra(w).width()), w->height());
}

bool setHeight(QWidget *w, double twips)
{
    if (twips < 0)
        return false;
    w->resize(w->width(), std::max(0, twipsToPixels(twips) - frameExtra(w).height()));
    return true;
}

void Move(QWidget *w, double left, double top, double width, double height)
{
    w->move(twipsToPixels(left), twipsToPixels(top));
    const QSize extra = frameExtra(w);
    w->resize(std::max(0, twipsToPixels(width) - extra.width()),
              std::max(0, twipsToPixels(height) - extra.height()));
}

double ScaleWidth(const QWidget *w)
{
    return pixelsToTwips(w->width());
}
double ScaleHeight(const QWidget *w)
{
    return pixelsToTwips(w->height());
}

namespace Screen {
static QSize size()
{
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->geometry().size() : QSize(1024, 768);
}
double Width()
{
    return pixelsToTwips(size().width());
}
double Height()
{
    return pixelsToTwips(size().height());
}
} // namespace Screen

namespace App {
QString Path()
{
    return QCoreApplication::applicationDirPath();
}
} // namespace App
