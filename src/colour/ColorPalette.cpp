#include "colour/ColorPalette.h"

#include "placement/placement.h"

ColorPalette::ColorPalette()
    : Form(nullptr,
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setCaption(QStringLiteral("Orvel Pixmint "));
}

void ColorPalette::Form_Load()
{
    PlaceToolWindow(this, true);
    RestoreWindowPosition(this);
}
