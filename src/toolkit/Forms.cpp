#include "toolkit/Forms.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPixmap>
#include <QPointer>
#include <map>
#include <vector>

#include "formats/PixelImage.h"
#include "toolkit/ToolFrame.h"

namespace {

std::map<std::type_index, Form *> &registry()
{
    static std::map<std::type_index, Form *> forms;
    return forms;
}

} // namespace

Form::Form(QWidget *parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags)
{
    // By address only: by the time this runs the form is half destroyed.
    connect(this, &QObject::destroyed, [self = this] { Forms::remove(self); });
    // Equal minimum and maximum sizes: the window manager neither resizes nor maximises it.
    if (isToolWindow())
        setFixedSize(size());
}

bool Form::isToolWindow() const
{
    return (windowFlags() & Qt::WindowType_Mask) == Qt::Tool;
}

int Form::WindowState() const
{
    const Qt::WindowStates s = windowState();
    if (s & Qt::WindowMinimized)
        return vbMinimized;
    if (s & Qt::WindowMaximized)
        return vbMaximized;
    return vbNormal;
}

void Form::setWindowState(int state)
{
    if (isVisible()) {
        if (state == vbMinimized)
            showMinimized();
        else if (state == vbMaximized)
            showMaximized();
        else
            showNormal();
        return;
    }
    QWidget::setWindowState(state == vbMinimized   ? Qt::WindowMinimized
                            : state == vbMaximized ? Qt::WindowMaximized
                                                   : Qt::WindowNoState);
}

void Form::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    notifyResize();
}

void Form::setVisible(bool visible)
{
    if (visible && !controlsMade_) {
        controlsMade_ = true;
        makeControls();
    }
    QMainWindow::setVisible(visible);
}

void Form::showEvent(QShowEvent *event)
{
    // Before the window is mapped, so that the window manager frames it so from the start.
    if (isToolWindow())
        askForToolFrame(this);
    QMainWindow::showEvent(event);
}

void Form::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        notifyResize();
}

void Form::closeEvent(QCloseEvent *event)
{
    int Cancel = 0;
    Form_Unload(Cancel);
    if (Cancel) {
        event->ignore();
        return;
    }
    event->accept();
    Forms::remove(this);
    deleteLater();
}

QCursor LinkCursor()
{
    return QCursor(QPixmap::fromImage(resourcePicture(QStringLiteral(":/cursors/hand.png"))), 5, 0);
}

void Form::notifyResize()
{
    const int state = WindowState();
    if (size() == lastSize_ && state == lastState_)
        return;
    lastSize_ = size();
    lastState_ = state;
    Form_Resize();
}

namespace Forms {

Form *find(std::type_index type)
{
    const auto it = registry().find(type);
    return it == registry().end() ? nullptr : it->second;
}

void add(std::type_index type, Form *form)
{
    registry()[type] = form;
}

void remove(Form *form)
{
    std::erase_if(registry(), [form](const auto &entry) { return entry.second == form; });
}

bool unload(Form *form)
{
    int Cancel = 0;
    form->Form_Unload(Cancel);
    if (Cancel)
        return false;
    form->hide();
    remove(form);
    // Later, since the unload may run inside one of the form's own events.
    form->deleteLater();
    return true;
}

void unloadAll()
{
    // Deleting a form deletes the forms it owns: the guards notice.
    std::vector<QPointer<Form>> forms;
    for (const auto &entry : registry())
        forms.emplace_back(entry.second);
    registry().clear();
    for (const QPointer<Form> &f : forms)
        delete f.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace Forms
