#include "viewers/frmInfo.h"

#include "placement/placement.h"

frmInfo::frmInfo()
    : Form(nullptr,
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setCaption(QStringLiteral("Orvel Pixmint"));
}

void frmInfo::Form_Load()
{
    PlaceToolWindow(this, true);
}
