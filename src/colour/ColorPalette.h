#pragma once

#include <array>

#include "toolkit/Forms.h"
#include "toolkit/PictureBox.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

// The RGB colour mixer. The three bars hold the colour; everything else is drawn from them.
class ColorPalette : public Form
{
    Q_OBJECT
public:
    ColorPalette();

    // Channel 1 red, 2 green, 3 blue; element 0 is unused.
    std::array<QScrollBar *, 4> RGBValue{};
    std::array<QLineEdit *, 4> RGBNumber{};
    PictureBox *RedValue = nullptr;
    PictureBox *GreenValue = nullptr;
    PictureBox *BlueValue = nullptr;
    QLabel *RedLabel = nullptr;
    QLabel *GreenLabel = nullptr;
    QLabel *BlueLabel = nullptr;
    QGroupBox *fraValue = nullptr;
    PictureBox *picColor = nullptr;
    QPushButton *cmdSelect = nullptr;
    QLineEdit *txtValue = nullptr;
    QLabel *lblValue = nullptr;

    void Form_Load() override;
    void RGBValue_Change(int Index);
    void RGBNumber_Change(int Index);
    // Sets KeyAscii to 0 to discard the key.
    void RGBNumber_KeyPress(int Index, int &KeyAscii);
    void RedValue_Click();
    void GreenValue_Click();
    void BlueValue_Click();
    void cmdSelect_Click();

protected:
    void makeControls() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildChannel(int index, const char *caption, ColorValue captionColor);
};

// The colour as the mixer writes it: six upper-case hexadecimal digits, blue first.
QString colorHex(ColorValue color);
