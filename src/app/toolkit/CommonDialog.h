#pragma once

#include <QString>

#include "app/toolkit/Seam.h"

// The common dialog control: properties set before a Show call and read after it.
class CommonDialog
{
public:
    static constexpr int cdlCancel = 32755;
    // Font dialog flag: offer underline, strike-out and colour.
    static constexpr int cdlCFEffects = 0x100;

    QString DialogTitle;
    QString Filter;
    int FilterIndex = 1;
    int Flags = 0;
    QString FileName;
    QString InitDir;
    // Set by a confirmed file dialog: the name without its folder.
    QString FileTitle;
    ColorValue Color = vbBlack;
    QString FontName;
    double FontSize = 8.25;
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderline = false;
    bool FontStrikethru = false;

    // Each returns 0 when confirmed, or cdlCancel when the user cancelled (nothing changes then).
    // ShowFont with cdlCFEffects asks for Color after the font.
    int ShowOpen();
    int ShowSave();
    int ShowFont();
    int ShowColor();

private:
    int showFile(bool save);
};
