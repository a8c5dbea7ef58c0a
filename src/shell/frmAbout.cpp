#include "shell/frmAbout.h"

frmAbout::frmAbout()
    : Form(nullptr,
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setCaption(QStringLiteral("About Orvel Pixmint"));
}
