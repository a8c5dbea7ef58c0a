#include "toolkit/CommonDialog.h"

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
    const std::optional<FileDialogAnswer> answer = seam().fileDialog(request);
    if (!answer)
        return cdlCancel;
    FilterIndex = answer->filterIndex;
    setChosenFile(answer->path);
    // A name saved without an extension gets the selected filter's.
    const QString extension = save ? filterExtension(Filter, FilterIndex) : QString();
    if (!extension.isEmpty() && !FileTitle.isEmpty() && !FileTitle.contains(QLatin1Char('.'))) {
        FileName += QLatin1Char('.') + extension;
        FileTitle += QLatin1Char('.') + extension;
    }
    return 0;
}

void CommonDialog::setChosenFile(const QString &path)
{
    FileName = path;
    FileTitle = QFileInfo(path).fileName();
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
        showColor(QStringLiteral("Text Colour"));
    return 0;
}

int CommonDialog::ShowColor()
{
    return showColor(QString());
}

int CommonDialog::showColor(const QString &title)
{
    const std::optional<ColorValue> chosen = seam().colorDialog(Color, Flags, title);
    if (!chosen)
        return cdlCancel;
    Color = *chosen;
    return 0;
}
