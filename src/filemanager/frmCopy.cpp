#include "filemanager/frmCopy.h"

#include "placement/placement.h"

frmCopy::frmCopy()
    : Form(nullptr,
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setCaption(QStringLiteral("Orvel Pixmint"));
}

void frmCopy::Form_Load()
{
    PlaceToolWindow(this, true);
}
