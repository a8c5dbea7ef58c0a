#include "shell/frmAbout.h"

#include "placement/placement.h"

frmAbout::frmAbout()
    : Form(nullptr,
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setCaption(QStringLiteral("About Orvel Pixmint"));
}

void frmAbout::Form_Load()
{
    PlaceToolWindow(this, true);
}
