#pragma once

#include <cstdint>

#include "toolkit/Forms.h"

class PictureBox;
class QLabel;
class QPushButton;

// The colour read from the snapshot, shared by the picker and the snapshot: a plain RGB value,
// or -1 for a point outside the picture.
extern int32_t PickedColor;
// Its components, 0..255.
extern int16_t PickedRed;
extern int16_t PickedGreen;
extern int16_t PickedBlue;

struct ColorComponents
{
    int16_t red, green, blue;
};
// Splits a colour value by truncating division; a negative part becomes 0, so -1 is black.
ColorComponents splitColor(int32_t color);
// Splits PickedColor into its components and shows them in the picker.
void SplitPickedColor();

// The desktop colour picker: idle (start enabled, fasten hidden), snapshot showing (start
// disabled), picked (fasten shown as "Click - Me!"), and idle again once the colour is fastened.
class frmVeCor1 : public Form
{
    Q_OBJECT
public:
    frmVeCor1();

    QPushButton *Btn_select;
    QPushButton *cmdLevaCor;
    PictureBox *Picture1;
    QLabel *Label7;
    QLabel *Label8;
    QLabel *Label9;
    QLabel *Lbl_red;
    QLabel *Lbl_green;
    QLabel *Lbl_blue;
    QLabel *Lbl_long;

    void Form_Load() override;
    void Form_Unload(int &Cancel) override;
    // Freezes the screen the pointer is on into the snapshot window.
    void Btn_select_Click();
    // Hands the picked colour to the main window's left button.
    void cmdLevaCor_Click();
    // Shows PickedColor: the swatch, the decimal value and the components.
    void showPickedColor();
};
