#include "toolkit/SSPanel.h"

#include <QApplication>
#include <QHash>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>

#include "formats/Color.h"
#include "toolkit/twips.h"

namespace {

QHash<QWidget *, DragDropHandler> &dropHandlers()
{
    static QHash<QWidget *, DragDropHandler> handlers;
    return handlers;
}

} // namespace

SSPanel::SSPanel(QWidget *parent, const QString &caption)
    : QFrame(parent)
    , caption_(caption)
{
    setFrameStyle(QFrame::NoFrame);
    // It fills its whole rectangle, so whatever it covers (the splash covers nearly the whole
    // window at start) is not painted beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SSPanel::setCaption(const QString &caption)
{
    caption_ = caption;
    update();
}

QString SSPanel::shownCaption() const
{
    return fontMetrics().elidedText(caption_, Qt::ElideRight,
                                    std::max(0, width() - 2 * bevelWidth_));
}

void SSPanel::setBevelOuter(int kind)
{
    bevel_ = kind == BevelInset || kind == BevelRaised ? kind : DesignBevel;
    update();
}

void SSPanel::setBevelWidth(int width)
{
    bevelWidth_ = std::max(0, width);
    update();
}

void SSPanel::setDragMode(int mode)
{
    dragMode_ = mode;
}

void SSPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), toQColor(vbButtonFace));
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    const QColor &topLeft = bevel_ == BevelRaised ? light : dark;
    const QColor &bottomRight = bevel_ == BevelRaised ? dark : light;
    // The bevel's lines as one-pixel rectangles: filled a row at a time, where a line is
    // stroked a pixel at a time, and the outer panel's span the window.
    const int w = width(), h = height();
    for (int i = 0; i < bevelWidth_; ++i) {
        p.fillRect(i, i, w - 2 * i, 1, topLeft);
        p.fillRect(i, i, 1, h - 2 * i, topLeft);
        p.fillRect(i, h - 1 - i, w - 2 * i, 1, bottomRight);
        p.fillRect(w - 1 - i, i + 1, 1, h - 1 - 2 * i, bottomRight);
    }
    if (!caption_.isEmpty()) {
        p.setPen(palette().color(foregroundRole()));
        p.setFont(font());
        const int inset = bevelWidth_;
        p.drawText(rect().adjusted(inset, inset, -inset, -inset), Qt::AlignHCenter | Qt::AlignTop,
                   shownCaption());
    }
}

void SSPanel::mousePressEvent(QMouseEvent *event)
{
    if (dragMode_ != vbAutomatic || event->button() != Qt::LeftButton) {
        QFrame::mousePressEvent(event);
        return;
    }
    dragStart_ = event->position().toPoint();
    if (!dragOutline_)
        dragOutline_ = new QRubberBand(QRubberBand::Line, window());
}

void SSPanel::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragOutline_ || !(event->buttons() & Qt::LeftButton)) {
        QFrame::mouseMoveEvent(event);
        return;
    }
    const QPoint topLeft = event->globalPosition().toPoint() - dragStart_;
    dragOutline_->setGeometry(QRect(window()->mapFromGlobal(topLeft), size()));
    dragOutline_->show();
    dragOutline_->raise();
}

void SSPanel::mouseReleaseEvent(QMouseEvent *event)
{
    if (!dragOutline_ || event->button() != Qt::LeftButton) {
        QFrame::mouseReleaseEvent(event);
        return;
    }
    // The outline is dropped before the drop, which may even close this panel's window.
    delete dragOutline_;
    dragOutline_ = nullptr;
    dropAt(this, event->globalPosition().toPoint());
}

void setDragDropHandler(QWidget *target, DragDropHandler handler)
{
    auto &handlers = dropHandlers();
    if (!handler) {
        handlers.remove(target);
        return;
    }
    if (!handlers.contains(target))
        QObject::connect(target, &QObject::destroyed, [target] { dropHandlers().remove(target); });
    handlers.emplace(target, std::move(handler));
}

bool dropAt(QWidget *source, const QPoint &globalPos)
{
    // The dragged control is not a drop target: let the lookup see through it.
    const bool wasTransparent = source->testAttribute(Qt::WA_TransparentForMouseEvents);
    source->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    QWidget *target = QApplication::widgetAt(globalPos);
    source->setAttribute(Qt::WA_TransparentForMouseEvents, wasTransparent);
    if (!target)
        return false;
    const auto found = dropHandlers().constFind(target);
    if (found == dropHandlers().constEnd())
        return false;
    // A copy: the handler may replace or remove the registration while it runs.
    const DragDropHandler handler = found.value();
    const QPoint local = target->mapFromGlobal(globalPos);
    handler(source, pixelsToTwips(local.x()), pixelsToTwips(local.y()));
    return true;
}
