#include "app/mdlTool.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "app/frmGeral.h"

void CheckClipboard()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasImage())
        return;
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull())
        return;
    frmGeral &f = Forms::get<frmGeral>();
    f.mnuColar->setEnabled(true);
    // The buffer shows no more than its own surface, so keep no more than that.
    f.picCap->setPicture(image.copy(0, 0, std::min(image.width(), f.picCap->surfaceWidth()),
                                    std::min(image.height(), f.picCap->surfaceHeight())));
    f.mnuClear->setVisible(true);
}
