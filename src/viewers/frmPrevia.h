#pragma once

#include <QPoint>
#include <cstdint>
#include <vector>

#include "toolkit/Forms.h"
#include "toolkit/PictureBox.h"
#include "toolkit/Timer.h"

class QPainter;

// The icon tiled over the screen, as a desktop pattern would show it. While it is up the main
// window is minimised; minimising the preview brings the main window back maximised.
class frmPrevia : public Form
{
    Q_OBJECT
public:
    frmPrevia();

    // The tile: a copy of the icon's image, hidden once the preview is set up.
    PictureBox *picTile;
    // Sets the preview up once, just after the window has loaded.
    Timer *Timer1;

    // The window's outer size in screen pixels, kept by the resize.
    int32_t WinHeight = 0;
    int32_t WinWidth = 0;
    int16_t TileHeight = 0;
    int16_t TileWidth = 0;
    bool Tiling = false;

    ColorValue BackColor() const { return backColor_; }
    void setBackColor(ColorValue c);

    void Form_Load() override;
    void Form_Resize() override;
    // Draws the tiles onto the window through `hdc`.
    void Form_Paint(QPainter &hdc);
    void Timer1_Timer();

private:
    // The icon as it is now becomes the tile the next paint draws.
    void storeIcon();

    ColorValue backColor_ = vbButtonFace;
};

// Where a paint puts each tile: from (0, 0) to the window's width and height, both included, a
// tile's size apart. None when a tile has no size.
std::vector<QPoint> tileOrigins(int32_t width, int32_t height, int16_t tileWidth,
                                int16_t tileHeight);
