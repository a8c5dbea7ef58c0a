#include "viewers/frmPrevia.h"

frmPrevia::frmPrevia()
    : Form(nullptr, Qt::Window)
{
    setCaption(QStringLiteral("Preview Background"));
}
