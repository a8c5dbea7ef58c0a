#pragma once

#include <QString>

#include "toolkit/Seam.h"

// The common dialog control: properties set before a Show call and read after it.
class CommonDialog
{
public:
    static constexpr int cdlCancel = 32755;
    // Font dialog flag: offer underline, strike-out and colour.
    static constexpr int cdlCFEffects = 0x100;
    // Font dialog flag: the screen's and the printer's fonts.
    static constexpr int cdlCFBoth = 0x3;
    // Save dialog flag: confirm before an existing file is overwritten.
    static constexpr int cdlOFNOverwritePrompt = 0x2;

    QString DialogTitle;
    QString Filter;
    // The filter offered, and after a confirmed file dialog the one selected (1 for the first).
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
    // A name saved without an extension gets the selected filter's single extension.
    // ShowFont with cdlCFEffects asks for Color after the font, titled as the text's colour.
    int ShowOpen();
    int ShowSave();
    int ShowFont();
    int ShowColor();
    // What a confirmed file dialog leaves: the path and its name without the folder.
    void setChosenFile(const QString &path);

private:
    int showFile(bool save);
    int showColor(const QString &title);
};
