#pragma once

#include <QImage>
#include <QWidget>

#include "toolkit/Forms.h"
#include "toolkit/PictureBox.h"

struct ScreenStill;

// A still picture shown at one picture pixel per device pixel, whatever the display's scale.
class StillPicture : public QWidget
{
    Q_OBJECT
public:
    explicit StillPicture(QWidget *parent = nullptr);

    const QImage &Picture() const { return picture_; }
    void setPicture(const QImage &picture);
    // Plain RGB of the picture under a point in logical pixels, or -1 outside the picture.
    int32_t Point(double x, double y) const;

    MouseHandler MouseDown;
    MouseHandler MouseMove;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QImage picture_;
};

// The still of a screen laid over that screen, in which the picker points. An ordinary
// frameless window, so that the window manager keeps the topmost picker above it.
class frmVeCor2 : public Form
{
    Q_OBJECT
public:
    frmVeCor2();

    StillPicture *Picture1;

    void Form_Unload(int &Cancel) override;
    // Covers the still's screen with it under a crosshair pointer, and shows the window.
    void showStill(const ScreenStill &still);
    void Picture1_MouseMove(int Button, int Shift, double X, double Y);
    void Picture1_MouseDown(int Button, int Shift, double X, double Y);

protected:
    void changeEvent(QEvent *event) override;

private:
    // The picker stays in sight, and in the focus, above the still.
    void bringPickerToFront();

    bool picked_ = false;
};
