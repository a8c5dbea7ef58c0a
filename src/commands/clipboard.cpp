// The "&Edit" menu with its Undo and Redo, Cut, Copy, Paste and Clear Clipboard, and "Clean".

#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>

#include "app/frmGeral.h"
#include "app/mdlTool.h"
#include "formats/Pictures.h"

void frmGeral::buildEditMenu()
{
    mnuEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
    mnuUndo = menuEntry(mnuEdit, "Undo", "Ctrl+Z");
    mnuRedo = menuEntry(mnuEdit, "Redo", "Ctrl+Shift+Z");
    mnuRedo->setShortcuts({mnuRedo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Y"))});
    divUndo = mnuEdit->addSeparator();
    mnuCortar = menuEntry(mnuEdit, "Cut", "Ctrl+X");
    mnuCopiar = menuEntry(mnuEdit, "Copy", "Ctrl+C");
    mnuColar = menuEntry(mnuEdit, "Paste", "Ctrl+V");
    div7 = mnuEdit->addSeparator();
    mnuClear = menuEntry(mnuEdit, "C&lear Clipboard", "Ctrl+L");
    mnuClear->setVisible(false);
    linha10 = mnuEdit->addSeparator();
    mnuOpTxt = menuEntry(mnuEdit, "Open Text");

    QUndoStack &steps = history.stack();
    mnuUndo->setEnabled(steps.canUndo());
    mnuRedo->setEnabled(steps.canRedo());
    connect(&steps, &QUndoStack::canUndoChanged, mnuUndo, &QAction::setEnabled);
    connect(&steps, &QUndoStack::canRedoChanged, mnuRedo, &QAction::setEnabled);
    connect(mnuUndo, &QAction::triggered, this, [this] { history.undo(); });
    connect(mnuRedo, &QAction::triggered, this, [this] { history.redo(); });
    connect(mnuCortar, &QAction::triggered, this, &frmGeral::mnuCortar_Click);
    connect(mnuCopiar, &QAction::triggered, this, &frmGeral::mnuCopiar_Click);
    connect(mnuColar, &QAction::triggered, this, &frmGeral::mnuColar_Click);
    connect(mnuClear, &QAction::triggered, this, &frmGeral::mnuClear_Click);
    connect(mnuOpTxt, &QAction::triggered, this, &frmGeral::mnuOpTxt_Click);
}

void frmGeral::mnuCopiar_Click()
{
    mnuColar->setEnabled(true);
    mnuCopiar->setEnabled(false);
    mnuCortar->setEnabled(false);
    shCapture->setVisible(false);

    const CellRegion r =
        captureRegion(shCapture->Left(), shCapture->Top(), shCapture->Width(), shCapture->Height());
    SelX1 = r.x1;
    SelY1 = r.y1;
    SelX2 = r.x2;
    SelY2 = r.y2;
    const int w = int16_t(SelX2 - SelX1 + 1);
    const int h = int16_t(SelY2 - SelY1 + 1);

    // The buffer's picture is the last clipboard bitmap: what Copy puts there stands alone.
    picCap->Cls();
    picCap->LineBox(0, 0, picCap->surfaceWidth() - 1, picCap->surfaceHeight() - 1,
                    picCap->BackColor(), true);
    picCap->PaintPicture(Ikon->Image(), 0, 0, SelX1, SelY1, w, h);
    // With transparency the clipboard carries its alpha (other programs get it as PNG); without,
    // the bitmap is as opaque as it always was.
    QGuiApplication::clipboard()->setImage(rgbWhenOpaque(picCap->Image()));
}

void frmGeral::mnuCortar_Click()
{
    mnuCopiar_Click();
    changeIcon([this] { Ikon->LineBox(SelX1, SelY1, SelX2, SelY2, vbWhite, true); });
}

void frmGeral::mnuColar_Click()
{
    picMode->setPicture(imgColar->pixmap().toImage());
    mnuCopiar->setEnabled(false);
    mnuCortar->setEnabled(false);
    DrawMode = Mode::Paste;
    // The buffer may hold an older bitmap than the clipboard, or none: take the current one, as
    // the pointer moving over the window would have.
    if (!LoadClipboardBitmap(picCap))
        return;
    forgetIconSource();
    changeIcon([this] { Ikon->setPicture(picCap->Picture()); });
    grid->Refresh();
    mnuColar->setEnabled(false);
}

void frmGeral::mnuClear_Click()
{
    QGuiApplication::clipboard()->clear();
    picCap->setPicture(QImage());
    mnuColar->setEnabled(false);
    mnuClear->setVisible(false);
}

void frmGeral::mnuLimpar_Click()
{
    fillWithRightColor();
}
