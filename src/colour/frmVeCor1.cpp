#include "colour/frmVeCor1.h"

#include "placement/placement.h"

frmVeCor1::frmVeCor1()
    : Form(nullptr,
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setCaption(QStringLiteral("Orvel Pixmint "));
}

void frmVeCor1::Form_Load()
{
    PlaceToolWindow(this, true);
    RestoreWindowPosition(this);
}
