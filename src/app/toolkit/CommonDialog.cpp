#include "app/toolkit/CommonDialog.h"

#include <QFileInfo>

int CommonDialog::ShowOpen()
{
    return showFile(false);
}
int CommonDialog::ShowSave()
{
    return showFile(true);
}

int CommonDialog::showFile(bool save)
{
    FileDialogRequest request;
    request.save = save;
    request.title = DialogTitle;
    request.filter = Filter;
    request.filterIndex = FilterIndex;
    request.fileName = FileName;
    request.initDir = InitDir;
    request.flags = Flags;
    const std::optional<QString> path = seam().fileDialog(request);
    if (!path)
        return cdlCancel;
    FileName = *path;
    FileTitle = QFileInfo(*path).fileName();
    return 0;
}

int CommonDialog::ShowFont()
{
    FontChoice initial;
    initial.name = FontName;
    initial.size = FontSize;
    initial.bold = FontBold;
    initial.italic = FontItalic;
    initial.underline = FontUnderline;
    initial.strikethru = FontStrikethru;
    const std::optional<FontChoice> chosen = seam().fontDialog(initial, Flags);
    if (!chosen)
        return cdlCancel;
    FontName = chosen->name;
    FontSize = chosen->size;
    FontBold = chosen->bold;
    FontItalic = chosen->italic;
    FontUnderline = chosen->underline;
    FontStrikethru = chosen->strikethru;
    // The desktop's font dialog has no colour: with effects, the colour dialog follows it, and
    // cancelling that keeps the colour while the font still counts.
    if (Flags & cdlCFEffects)
        ShowColor();
    return 0;
}

int CommonDialog::ShowColor()
{
    const std::optional<ColorValue> chosen = seam().colorDialog(Color, Flags);
    if (!chosen)
        return cdlCancel;
    Color = *chosen;
    return 0;
}
