#include "colour/frmVeCor2.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <cmath>

#include "colour/frmVeCor1.h"
#include "toolkit/Seam.h"

StillPicture::StillPicture(QWidget *parent)
    : QWidget(parent)
{
    // The colour under the pointer follows it without a button held.
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void StillPicture::setPicture(const QImage &picture)
{
    picture_ = picture;
    update();
}

int32_t StillPicture::Point(double x, double y) const
{
    const double ratio = picture_.devicePixelRatio();
    const double px = std::floor(x * ratio);
    const double py = std::floor(y * ratio);
    // Written so that a position that is not a number falls outside as well.
    if (!(px >= 0 && py >= 0 && px < picture_.width() && py < picture_.height()))
        return -1;
    return int32_t(fromQRgb(picture_.pixel(int(px), int(py))));
}

void StillPicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    // Drawn at its ratio: one picture pixel on each device pixel.
    p.drawImage(QPointF(0, 0), picture_);
}

void StillPicture::mousePressEvent(QMouseEvent *event)
{
    if (MouseDown)
        MouseDown(mouseButton(event), shiftState(event->modifiers()), event->position().x(),
                  event->position().y());
}

void StillPicture::mouseMoveEvent(QMouseEvent *event)
{
    if (MouseMove)
        MouseMove(mouseButtons(event), shiftState(event->modifiers()), event->position().x(),
                  event->position().y());
}

frmVeCor2::frmVeCor2()
    : Form(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    // A window manager lifts a focused frameless window the size of the screen above every
    // other, the topmost picker included, as it would a full-screen one: the still never takes
    // the focus, and the picker keeps it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    Picture1 = new StillPicture(this);
    setCentralWidget(Picture1);
    Picture1->MouseMove = [this](int b, int s, double x, double y) {
        Picture1_MouseMove(b, s, x, y);
    };
    Picture1->MouseDown = [this](int b, int s, double x, double y) {
        Picture1_MouseDown(b, s, x, y);
    };
}

void frmVeCor2::Form_Unload(int &Cancel)
{
    Cancel = 0;
    // Closed without a pick, by the window manager: the picker may start again.
    if (!picked_ && Forms::loaded<frmVeCor1>())
        Forms::get<frmVeCor1>().Btn_select->setEnabled(true);
}

void frmVeCor2::showStill(const ScreenStill &still)
{
    picked_ = false;
    setGeometry(still.geometry);
    setCursor(Qt::CrossCursor);
    QImage picture = still.image;
    // The ratio the still was taken at, whatever the image says of itself.
    if (still.geometry.width() > 0 && !picture.isNull())
        picture.setDevicePixelRatio(double(picture.width()) / still.geometry.width());
    Picture1->setPicture(picture);
    show();
    bringPickerToFront();
}

void frmVeCor2::Picture1_MouseMove(int, int, double X, double Y)
{
    PickedColor = Picture1->Point(X, Y);
    Forms::get<frmVeCor1>().showPickedColor();
}

void frmVeCor2::Picture1_MouseDown(int Button, int Shift, double X, double Y)
{
    frmVeCor1 &picker = Forms::get<frmVeCor1>();
    picker.cmdLevaCor->setText(QStringLiteral("Click - Me!"));
    picker.cmdLevaCor->show();
    Picture1_MouseMove(Button, Shift, X, Y);
    picked_ = true;
    Forms::unload<frmVeCor2>();
}

void frmVeCor2::changeEvent(QEvent *event)
{
    Form::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        bringPickerToFront();
}

void frmVeCor2::bringPickerToFront()
{
    if (!Forms::loaded<frmVeCor1>())
        return;
    frmVeCor1 &picker = Forms::get<frmVeCor1>();
    picker.raise();
    picker.activateWindow();
}
