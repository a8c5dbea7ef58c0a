#include "app/mdlTool.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "app/frmGeral.h"

bool LoadClipboardBitmap(PictureBox *buffer)
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasImage())
        return false;
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull())
        return false;
    buffer->setPicture(image.copy(0, 0, std::min(image.width(), buffer->surfaceWidth()),
                                  std::min(image.height(), buffer->surfaceHeight())));
    return true;
}

void CheckClipboard()
{
    frmGeral &f = Forms::get<frmGeral>();
    if (!LoadClipboardBitmap(f.picCap))
        return;
    f.mnuColar->setEnabled(true);
    f.mnuClear->setVisible(true);
}
