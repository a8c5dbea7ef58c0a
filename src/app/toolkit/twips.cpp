#include "app/toolkit/twips.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <optional>
#include <vector>

#include "formats/Color.h"

int twipsToPixels(double twips)
{
    return int(vbRound(twips / TwipsPerPixel));
}

namespace {

// The frame the window manager put around a top-level, in pixels: none around a control, and
// none before the window was first framed (the window manager frames a window only once it is
// mapped). Qt keeps the last frame of a window that is hidden again.
QMargins frameOf(const QWidget *w)
{
    if (!w->isWindow())
        return {};
    if (const QWindow *native = w->windowHandle(); native && native->isVisible()) {
        const QMargins m = native->frameMargins();
        if (!m.isNull())
            return m;
    }
    const QRect f = w->frameGeometry();
    const QRect g = w->geometry();
    return {g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom()};
}

// A control's rectangle in its parent; a top-level's outer frame on the screen.
QRect outerOf(const QWidget *w)
{
    return w->geometry().marginsAdded(frameOf(w));
}

void setOuter(QWidget *w, const QRect &outer)
{
    const QRect client = outer.marginsRemoved(frameOf(w));
    const QSize size = client.size().expandedTo(QSize(0, 0));
    // A window of fixed size keeps a fixed size: the new one.
    if (w->isWindow() && w->minimumSize() == w->maximumSize())
        w->setFixedSize(size);
    w->setGeometry(QRect(client.topLeft(), size));
}

bool framed(const QWidget *w)
{
    const QWindow *native = w->windowHandle();
    return native && native->isVisible() && !native->frameMargins().isNull();
}

// Some of a rectangle's four values.
struct Parts
{
    std::optional<int> left = {}, top = {}, width = {}, height = {};

    QRect over(QRect r) const
    {
        if (left)
            r.moveLeft(*left);
        if (top)
            r.moveTop(*top);
        if (width)
            r.setWidth(std::max(0, *width));
        if (height)
            r.setHeight(std::max(0, *height));
        return r;
    }
    void add(const Parts &later)
    {
        for (auto [to, from] : {std::pair{&left, &later.left}, std::pair{&top, &later.top},
                                std::pair{&width, &later.width}, std::pair{&height, &later.height}})
            if (*from)
                *to = *from;
    }
};

// What a top-level was given before it had a frame. Once the frame is known the same outer
// geometry is given again, the client giving up the frame's room.
class FramePending : public QObject
{
public:
    explicit FramePending(QWidget *window)
        : QObject(window)
        , window_(window)
    {
        window->installEventFilter(this);
    }

    Parts given;
    std::vector<std::function<void()>> afterwards;

    void apply()
    {
        window_->removeEventFilter(this);
        if (native_)
            native_->removeEventFilter(this);
        setParent(nullptr);
        deleteLater();
        // A window maximised in the meantime keeps the window manager's geometry.
        if (window_->windowState() == Qt::WindowNoState)
            setOuter(window_, given.over(outerOf(window_)));
        for (const std::function<void()> &done : afterwards)
            done();
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Expose:
        case QEvent::Paint:
            break;
        default:
            return false;
        }
        // The frame shows in the native window's events, not always in the widget's.
        if (!native_ && window_->windowHandle()) {
            native_ = window_->windowHandle();
            native_->installEventFilter(this);
        }
        if (framed(window_))
            apply();
        return false;
    }

private:
    QWidget *window_;
    QPointer<QWindow> native_;
};

// Runs a call from the event loop once a top-level is on screen. The call is posted from the
// window's expose, whose handling paints and flushes the frame first.
class WhenOnScreen : public QObject
{
public:
    WhenOnScreen(QWidget *window, std::function<void()> call)
        : QObject(window)
        , window_(window)
        , call_(std::move(call))
    {
        if (!watchNative())
            window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window_ && event->type() == QEvent::Show) {
            window_->removeEventFilter(this);
            watchNative();
        } else if (watched != window_ && event->type() == QEvent::Expose) {
            auto *native = static_cast<QWindow *>(watched);
            if (native->isExposed()) {
                native->removeEventFilter(this);
                fire();
            }
        }
        return false;
    }

private:
    // False until the window has its native window.
    bool watchNative()
    {
        QWindow *native = window_->windowHandle();
        if (!native)
            return false;
        if (native->isExposed())
            fire();
        else
            native->installEventFilter(this);
        return true;
    }

    void fire()
    {
        QTimer::singleShot(0, window_, call_);
        deleteLater();
    }

    QWidget *window_;
    std::function<void()> call_;
};

// The record of a top-level that has no frame yet, made on first use; none for a control or a
// framed window. A record whose window has its frame now is settled first, so that it does not
// undo what is given next.
FramePending *pending(QWidget *w)
{
    if (!w->isWindow())
        return nullptr;
    FramePending *found = nullptr;
    for (QObject *child : w->children())
        if (auto *p = dynamic_cast<FramePending *>(child))
            found = p;
    if (found && framed(w))
        found->apply();
    if (!frameOf(w).isNull())
        return nullptr;
    return found ? found : new FramePending(w);
}

// Gives a control or a window some of its four values; a window without a frame keeps them.
void give(QWidget *w, const Parts &parts)
{
    FramePending *p = pending(w);
    if (p)
        p->given.add(parts);
    setOuter(w, parts.over(outerOf(w)));
}

} // namespace

void whenFramed(QWidget *w, std::function<void()> done)
{
    if (FramePending *p = pending(w))
        p->afterwards.push_back(std::move(done));
    else
        done();
}

void whenOnScreen(QWidget *window, std::function<void()> call)
{
    new WhenOnScreen(window, std::move(call));
}

double Left(const QWidget *w)
{
    return pixelsToTwips(outerOf(w).x());
}
double Top(const QWidget *w)
{
    return pixelsToTwips(outerOf(w).y());
}
double Width(const QWidget *w)
{
    return pixelsToTwips(outerOf(w).width());
}
double Height(const QWidget *w)
{
    return pixelsToTwips(outerOf(w).height());
}

void setLeft(QWidget *w, double twips)
{
    give(w, {.left = twipsToPixels(twips)});
}
void setTop(QWidget *w, double twips)
{
    give(w, {.top = twipsToPixels(twips)});
}
void setWidth(QWidget *w, double twips)
{
    give(w, {.width = twipsToPixels(twips)});
}
bool setHeight(QWidget *w, double twips)
{
    if (twips < 0)
        return false;
    give(w, {.height = twipsToPixels(twips)});
    return true;
}

void Move(QWidget *w, double left, double top, double width, double height)
{
    give(w, {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)});
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
namespace {
QString &standIn()
{
    static QString folder;
    return folder;
}
} // namespace

QString Path()
{
    return standIn().isEmpty() ? QCoreApplication::applicationDirPath() : standIn();
}

void setPath(const QString &folder)
{
    standIn() = folder;
}
} // namespace App
