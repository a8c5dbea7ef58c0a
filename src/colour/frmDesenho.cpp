#include "colour/frmDesenho.h"

#include "placement/placement.h"

frmDesenho::frmDesenho()
    : Form(nullptr,
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setCaption(QStringLiteral("Orvel Pixmint"));
}

void frmDesenho::Form_Load()
{
    PlaceToolWindow(this, true);
}
