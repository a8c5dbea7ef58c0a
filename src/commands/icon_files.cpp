// The "&File" menu and its commands: New, Open, Open/Copy/Move, Save and Exit.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QSessionManager>

#include "app/IconSetDialog.h"
#include "app/frmGeral.h"
#include "colour/ColorPalette.h"
#include "colour/frmDesenho.h"
#include "colour/frmVeCor1.h"
#include "filemanager/frmCopy.h"
#include "formats/IconImage.h"
#include "formats/Pictures.h"
#include "formats/QtBridge.h"
#include "placement/placement.h"
#include "toolkit/twips.h"
#include "toolwindow/frmToolBar.h"
#include "viewers/frmInfo.h"

Q_LOGGING_CATEGORY(lcFiles, "pixmint.files")

namespace {

const QString kOpenFilter = QStringLiteral(
    "Icon Files (*.ico)|*.ico|Windows BMP (*.bmp;*.dib;*.rle)|*.bmp|CompuServe (*.gif)|*.gif|"
    "Metafiles (*.wmf)|*.wmf");
const QString kSaveFilter =
    QStringLiteral("Icon Files (*.ico)|*.ico|Windows BMP (*.bmp;*.dib;*.rle)|*.bmp");
const QString kSetFilter = QStringLiteral("Icon Files (*.ico)|*.ico");

} // namespace

void frmGeral::buildFileMenu()
{
    mnuOpen = menuBar()->addMenu(QStringLiteral("&File"));
    mnuNew = menuEntry(mnuOpen, "&New Icon", "Ctrl+N");
    linha1 = mnuOpen->addSeparator();
    mnuOpenSimples = menuEntry(mnuOpen, "&Open Icon", "Ctrl+O");
    mnuOpenAs = menuEntry(mnuOpen, "O&pen/Copy/Move", "Ctrl+P");
    linha2 = mnuOpen->addSeparator();
    mnusave = menuEntry(mnuOpen, "&Save Icon", "Ctrl+S");
    mnuSaveSet = menuEntry(mnuOpen, "Save Icon Se&t...");
    div2 = mnuOpen->addSeparator();
    mnuFechar = menuEntry(mnuOpen, "Exit", "F12");

    connect(mnuNew, &QAction::triggered, this, &frmGeral::mnuNew_Click);
    connect(mnuOpenSimples, &QAction::triggered, this, &frmGeral::mnuOpenSimples_Click);
    connect(mnuOpenAs, &QAction::triggered, this, &frmGeral::mnuOpenAs_Click);
    connect(mnusave, &QAction::triggered, this, &frmGeral::mnusave_Click);
    connect(mnuSaveSet, &QAction::triggered, this, &frmGeral::mnuSaveSet_Click);
    connect(mnuFechar, &QAction::triggered, this, &frmGeral::mnuFechar_Click);
    // The end of the session asks about an unsaved icon as Exit does.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &manager) {
        if (!history.unsaved() || !manager.allowsInteraction())
            return;
        const bool leave = mayLeave();
        manager.release();
        if (!leave)
            manager.cancel();
    });
}

namespace {

// Open loads a tool window that is missing, hidden; the question before leaving does not.
enum class Missing { Load, Skip };

template<class Window> QWidget *toolWindow(Missing missing)
{
    return missing == Missing::Load || Forms::loaded<Window>() ? &Forms::get<Window>() : nullptr;
}

// The tool windows that float above a dialog unless taken out of their band first.
void placeToolWindows(bool topmost, Missing missing)
{
    for (QWidget *w : {toolWindow<frmVeCor1>(missing), toolWindow<ColorPalette>(missing),
                       toolWindow<frmCopy>(missing), toolWindow<frmInfo>(missing),
                       toolWindow<frmToolBar>(missing), toolWindow<frmDesenho>(missing)})
        if (w)
            PlaceToolWindow(w, topmost);
}

void inform(const QString &text)
{
    MsgBox(text, vbOKOnly, QStringLiteral("Inform the User!"));
}

} // namespace

void frmGeral::mnuNew_Click()
{
    const IconChange change(*this);
    forgetIconSource();
    // Undo the smaller canvas the resize tool leaves.
    setCanvasSize(StandardCanvas);
    fillWithRightColor();
}

void frmGeral::mnuOpenSimples_Click()
{
    placeToolWindows(false, Missing::Load);
    prepareOpenDialog();
    if (cd.ShowOpen() != 0 || !openChosenFile())
        showOpenFailure();
    placeToolWindows(true, Missing::Load);
    // Putting the tool windows back activated the last of them; the keys belong to the editor.
    activateWindow();
}

void frmGeral::prepareOpenDialog()
{
    cd.DialogTitle = QStringLiteral("Orvel Pixmint - Open...");
    cd.Filter = kOpenFilter;
}

bool frmGeral::openChosenFile()
{
    mnuReduzir->setEnabled(true);
    setMsg(cd.FileName);
    FormatError error;
    const auto picture =
        LoadPicture(cd.FileName, Ikon->BackColor(), QSize(CellCount, CellCount), &error);
    if (!picture) {
        // The message is the same for every fault; the log says which it was.
        qCWarning(lcFiles).noquote()
            << "Cannot open" << cd.FileName + QLatin1Char(':') << toQString(error.message);
        return false;
    }
    loadIcon([&] { Ikon->setPicture(*picture); }, iconSourceOf(cd.FileName));
    lastFileName = cd.FileName;
    return true;
}

void frmGeral::showOpenFailure()
{
    inform(QStringLiteral("Cancel:\n") + QString(17, ' ') +
           QStringLiteral("The Open File is not Been worth!") + QString(13, ' ') + '\n' +
           QString(40, '_'));
}

void frmGeral::mnuOpenAs_Click()
{
    Forms::get<frmCopy>().Show();
}

bool frmGeral::mnusave_Click()
{
    cd.DialogTitle = QStringLiteral("Orvel Pixmint - Save...");
    cd.Filter = kSaveFilter;
    // The type offered is the remembered name's.
    if (const int index = filterIndexOf(kSaveFilter, QFileInfo(cd.FileName).fileName()))
        cd.FilterIndex = index;
    cd.Flags = CommonDialog::cdlOFNOverwritePrompt;
    if (cd.ShowSave() != 0)
        return false;
    Ikon->takeImageAsPicture();
    // A failed write says so and leaves the caption, as the file on disk, as it was.
    FormatError error;
    bool declined = false;
    if (!writePicture(cd.FileName, &error, declined)) {
        if (!declined)
            showSaveFailure(cd.FileName, error);
        return false;
    }
    // Only a file really written counts, so a failed attempt leaves the comparison as it was.
    if (cd.FileName != lastFileName)
        setCaption(QStringLiteral("Orvel Pixmint - ") + cd.FileName);
    lastFileName = cd.FileName;
    history.markSaved();
    return true;
}

void frmGeral::showSaveFailure(const QString &path, const FormatError &error)
{
    MsgBox(QStringLiteral("The icon could not be saved as\n") + path + "\n\n" +
               toQString(error.message),
           vbOKOnly | vbExclamation, QStringLiteral("Inform the User!"));
}

bool frmGeral::mnuSaveSet_Click()
{
    std::map<int, HeldImage> held;
    if (const auto file = iconSource().empty() ? std::nullopt : readIconSource(iconSource()))
        held = heldImages(*file);
    IconSetDialog dialog(Ikon->Image(), std::move(held), this);
    placeToolWindows(false, Missing::Skip);
    const bool chosen = seam().runDialog(dialog) == QDialog::Accepted;
    placeToolWindows(true, Missing::Skip);
    if (!chosen)
        return false;
    cd.DialogTitle = QStringLiteral("Orvel Pixmint - Save Icon Set...");
    cd.Filter = kSetFilter;
    cd.FilterIndex = 1;
    // The name offered is the icon's, as an icon file.
    if (!cd.FileName.isEmpty()) {
        const QFileInfo named(cd.FileName);
        cd.FileName = named.dir().filePath(named.completeBaseName() + QStringLiteral(".ico"));
    }
    cd.Flags = CommonDialog::cdlOFNOverwritePrompt;
    if (cd.ShowSave() != 0)
        return false;
    // The set is written as the dialog showed it, the kept images as they were read then.
    FormatError error;
    const auto bytes = dialog.iconSet(&error);
    if (!bytes || !SafeWrite::replaceFile(cd.FileName, *bytes, &error)) {
        showSaveFailure(cd.FileName, error);
        return false;
    }
    return true;
}

bool frmGeral::writePicture(const QString &path, FormatError *error, bool &declined)
{
    // A bitmap has no transparency: it is the icon as shown, over the back colour.
    const QImage picture = savesTransparency(path) ? Ikon->Picture() : Ikon->ImageAsShown();
    bool othersLost = false;
    if (!iconSource().empty() && path.endsWith(QStringLiteral(".ico"), Qt::CaseInsensitive)) {
        // The file as it is now: another program may have rewritten it since it was opened.
        const auto now = readIconSource(iconSource());
        if (const auto merged = now ? mergeIcon32(*now, picture) : std::nullopt) {
            if (!SafeWrite::replaceFile(path, *merged, error))
                return false;
            setIconSource(iconSourceOf(path));
            return true;
        }
        placeToolWindows(false, Missing::Skip);
        declined =
            MsgBox(QStringLiteral("  The other images of this icon could not be kept.  "
                                  "\n\nSave the edited image alone?"),
                   vbSaveCancel | vbExclamation, QStringLiteral("Inform the User!")) != vbYes;
        placeToolWindows(true, Missing::Skip);
        if (declined)
            return false;
        othersLost = true;
    }
    if (!SavePicture(picture, path, error))
        return false;
    // The file the other images were kept from may now hold this one alone.
    if (othersLost || path == iconSource().path)
        forgetIconSource();
    return true;
}

void frmGeral::mnuFechar_Click()
{
    if (!mayLeave())
        return;
    Forms::unload<ColorPalette>();
    Forms::unload<frmToolBar>();
    Forms::unload<frmVeCor1>();
    QCoreApplication::quit();
}

bool frmGeral::mayLeave()
{
    if (leaving_ || !history.unsaved())
        return true;
    placeToolWindows(false, Missing::Skip);
    const int answer = MsgBox(QStringLiteral("Save the icon before leaving?"),
                              vbSaveDiscardCancel | vbQuestion, QStringLiteral("Inform the User!"));
    leaving_ = answer == vbNo || (answer == vbYes && mnusave_Click());
    placeToolWindows(true, Missing::Skip);
    activateWindow();
    return leaving_;
}
