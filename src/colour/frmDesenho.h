#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "toolkit/Forms.h"
#include "toolkit/PictureBox.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

// One band of a colour ramp, from y1 to y2 in the box's scale, across the box's width.
struct RampBand
{
    int y1, y2;
    ColorValue color;
};

// The 63 bands of a ramp that darkens by 4 per channel from (red, green, blue), for a box of
// the given outer height and width. From the top the bands run down from 0, otherwise up from
// the bottom edge; bands past the box are clipped when drawn.
std::vector<RampBand> rampBands(double height, int32_t red, int32_t green, int32_t blue,
                                bool fromTop);
// Draws the ramp into the box as filled boxes as wide as the box.
void PaintColorRamp(PictureBox *box, int32_t red, int32_t green, int32_t blue, bool fromTop);

// The composite colour window: a ramp from the three sliders, laid over the icon on request.
class frmDesenho : public Form
{
    Q_OBJECT
public:
    frmDesenho();

    QGroupBox *Frame1 = nullptr;
    QScrollBar *Slider1 = nullptr;
    QScrollBar *Slider2 = nullptr;
    QScrollBar *Slider3 = nullptr;
    QLineEdit *Label1 = nullptr;
    QLineEdit *Label2 = nullptr;
    QLineEdit *Label3 = nullptr;
    // Drawn afresh whenever the window is uncovered; they keep nothing.
    PictureBox *Picture1 = nullptr;
    PictureBox *Picture2 = nullptr;
    PictureBox *Picture3 = nullptr;
    QLabel *RedLabel = nullptr;
    QLabel *GreenLabel = nullptr;
    QLabel *BlueLabel = nullptr;
    QGroupBox *fraValue = nullptr;
    QCheckBox *Check1 = nullptr;
    PictureBox *Ikon = nullptr;
    QPushButton *cmdSelect = nullptr;
    QLineEdit *Label5 = nullptr;
    QLabel *lblValue = nullptr;

    void Form_Load() override;
    void Slider1_Change();
    void Slider2_Change();
    void Slider3_Change();
    void Check1_Click();
    void Picture3_Paint();
    void cmdSelect_Click();

protected:
    void makeControls() override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QScrollBar *buildChannel(int index, QLabel *&label, QLineEdit *&number, PictureBox *&box);
    bool direction() const;
    void paintComposite();
    void writeComposite();

    // The window has been off the screen since it last drew its fixed ramp.
    bool uncovered_ = true;
};
