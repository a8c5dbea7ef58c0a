#include "toolwindow/frmToolBar.h"

#include "placement/placement.h"

frmToolBar::frmToolBar()
    : Form(nullptr,
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setCaption(QStringLiteral("Orvel Pixmint "));
}

void frmToolBar::Form_Load()
{
    PlaceToolWindow(this, true);
    RestoreWindowPosition(this);
}

void frmToolBar::Form_Unload(int &Cancel)
{
    Cancel = 0;
    SaveWindowPosition(this);
}
