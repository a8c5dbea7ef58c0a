#include "filemanager/frmCopy.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "face/Editor.h"
#include "face/cells.h"
#include "formats/Pictures.h"
#include "placement/placement.h"
#include "toolkit/PictureBox.h"
#include "toolkit/Seam.h"
#include "toolkit/twips.h"

namespace {

const QString kNoFiles = QStringLiteral("  No  files  selected  for  this  operation  ");
const QString kNotCompleted = QStringLiteral("   Not  Completed  operation!!!   ");
const QString kDidNotComplete =
    QStringLiteral("   Did   not   complete   operation   successfully.  ");
const QString kSameFolder = QStringLiteral("The source and destination are the same folder.");

QCheckBox *option(QGroupBox *frame, const char *caption, int value, int row)
{
    auto *box =
        place(new QCheckBox(QString::fromLatin1(caption), frame), 120, 240 + row * 300, 2400, 255);
    box->setTristate(true);
    setValue(box, value);
    return box;
}

// Whether two paths name one folder, through links too.
bool sameFolder(const QString &a, const QString &b)
{
    const QFileInfo first(a), second(b);
    return first.exists() && first.canonicalFilePath() == second.canonicalFilePath();
}

} // namespace

int Value(const QCheckBox *box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void setValue(QCheckBox *box, int value)
{
    box->setCheckState(value == 1   ? Qt::Checked
                       : value == 2 ? Qt::PartiallyChecked
                                    : Qt::Unchecked);
}

frmCopy::frmCopy()
    : Form(nullptr,
           Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setCaption(QStringLiteral("Orvel Pixmint"));
    setCentralWidget(new QWidget(this));
}

void frmCopy::makeControls()
{
    Label1 = place(new QLabel(QStringLiteral("Source Icon:"), centralWidget()), 120, 90, 2250, 240);
    Label2 = place(new QLabel(QStringLiteral("Destination Icon:"), centralWidget()), 2580, 90, 2250,
                   240);
    buildSide(0, 120);
    buildSide(1, 2580);
    lstFile[0]->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstFile[1]->setSelectionMode(QAbstractItemView::SingleSelection);
    const char *captions[3] = {"Copy >>", "Move >>", "Delete"};
    const char *tips[3] = {"Copy the selected source icons into the destination folder",
                           "Move the selected source icons into the destination folder",
                           "Delete the selected source icons"};
    for (int i = 0; i < 3; ++i) {
        cmdExecute[size_t(i)] =
            place(new QPushButton(QString::fromLatin1(captions[i]), centralWidget()),
                  120 + i * 1200, 3960, 1095, 375);
        cmdExecute[size_t(i)]->setToolTip(QString::fromLatin1(tips[i]));
        connect(cmdExecute[size_t(i)], &QPushButton::clicked, this,
                [this, i] { cmdExecute_Click(i); });
    }
    picAmostra = place(new QLabel(centralWidget()), 4140, 3870, 540, 540);
    picAmostra->setScaledContents(true);
    picAmostra->setToolTip(QStringLiteral("The icon clicked last"));
    buildOptions();
}

void frmCopy::buildSide(int side, double left)
{
    const auto s = size_t(side);
    cboDrive[s] = place(new DriveListBox(centralWidget()), left, 360, 2250, 315);
    lstDir[s] = place(new DirListBox(centralWidget()), left, 735, 2250, 1500);
    lstFile[s] = place(new FileListBox(centralWidget()), left, 2310, 2250, 1530);
    cboDrive[s]->Change = [this, side] { cboDrive_Change(side); };
    lstDir[s]->Change = [this, side] { lstDir_Change(side); };
    connect(lstDir[s], &QListWidget::itemActivated, this, [this, s](QListWidgetItem *item) {
        if (!lstDir[s]->setPath(lstDir[s]->pathAt(lstDir[s]->row(item))))
            inform(kNoFiles);
    });
    connect(lstFile[s], &QListWidget::itemClicked, this, [this, side] { lstFile_Click(side); });
    lstFile[s]->Click = [this, side] { lstFile_Click(side); };
    cboDrive[s]->setToolTip(side == 0 ? QStringLiteral("The place of the source icons")
                                      : QStringLiteral("The place of the destination"));
    lstDir[s]->setToolTip(QStringLiteral("Double-click a folder to open it"));
    lstFile[s]->setToolTip(side == 0 ? QStringLiteral("Click an icon to open it; Shift and Ctrl "
                                                      "select several")
                                     : QStringLiteral("Click an icon to open it"));
}

void frmCopy::buildOptions()
{
    Frame2 = place(new QGroupBox(QStringLiteral("Options"), centralWidget()), 120, 120, 2700, 2460);
    chkEntireDir = option(Frame2, "Include Entire Directory", 0, 0);
    chkUndo = option(Frame2, "Allow Undo", 1, 1);
    chkShowDlg = option(Frame2, "Display Progress Dialog", 1, 2);
    chkRename = option(Frame2, "Rename on Collision", 0, 3);
    chkConfirmOp = option(Frame2, "Confirm Operations", 1, 4);
    chkConfirmMkDir = option(Frame2, "Confirm Create Directory", 0, 5);
    chkShowFile = option(Frame2, "Show Name of Each File", 1, 6);
    connect(chkEntireDir, &QCheckBox::stateChanged, this, &frmCopy::chkEntireDir_Click);
    Frame2->hide();
}

void frmCopy::Form_Load()
{
    PlaceToolWindow(this, true);
    Move(this, 5000, 1000, 5010, 5205);
}

void frmCopy::Form_Unload(int &Cancel)
{
    Cancel = busy_ ? 1 : 0;
    closeWhenDone_ = busy_;
}

void frmCopy::showEvent(QShowEvent *event)
{
    startBrowsing();
    Form::showEvent(event);
}

void frmCopy::startBrowsing()
{
    if (browsing_)
        return;
    browsing_ = true;
    for (size_t s = 0; s < 2; ++s) {
        cboDrive[s]->showPlaceOf(QDir::currentPath());
        lstDir[s]->setPath(QDir::currentPath());
    }
}

void frmCopy::inform(const QString &text)
{
    PlaceToolWindow(this, false);
    MsgBox(text, vbOKOnly, QStringLiteral("Inform the User!"));
    PlaceToolWindow(this, true);
}

void frmCopy::cboDrive_Change(int Index)
{
    if (!lstDir[size_t(Index)]->setPath(cboDrive[size_t(Index)]->Drive()))
        inform(kNoFiles);
}

void frmCopy::lstDir_Change(int Index)
{
    if (!lstFile[size_t(Index)]->setPath(lstDir[size_t(Index)]->Path()))
        inform(kNoFiles);
}

void frmCopy::chkEntireDir_Click()
{
    lstFile[0]->setEnabled(Value(chkEntireDir) != 1);
}

void frmCopy::lstFile_Click(int Index)
{
    const size_t side = lstFile[size_t(Index)]->FileName() == lstFile[0]->FileName() ? 0 : 1;
    const QString full = lstFile[side]->Path() + QLatin1Char('/') + lstFile[side]->FileName();
    Editor &editor = Editor::current();
    editor.setMsg(full);
    const auto picture = LoadPicture(full, editor.Ikon->BackColor(), QSize(CellCount, CellCount));
    if (!picture) {
        inform(kNoFiles);
        return;
    }
    picAmostra->setPixmap(QPixmap::fromImage(composedOver(*picture, editor.Ikon->BackColor())));
    editor.loadIcon([&] { editor.Ikon->setPicture(*picture); }, iconSourceOf(full));
}

QByteArray frmCopy::SelectedFileList(int side) const
{
    const FileListBox *list = lstFile[size_t(side)];
    QString path = list->Path();
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    QByteArray result;
    for (int i = 0; i < list->ListCount(); ++i)
        if (list->Selected(i))
            result += QFile::encodeName(path + list->List(i)) + '\0';
    return result;
}

uint16_t frmCopy::OptionFlags() const
{
    uint16_t flags = 0;
    if (Value(chkUndo) == 1)
        flags |= FOF_ALLOWUNDO;
    if (Value(chkShowDlg) == 0)
        flags |= FOF_SILENT;
    if (Value(chkRename) == 1)
        flags |= FOF_RENAMEONCOLLISION;
    if (Value(chkConfirmOp) == 0)
        flags |= FOF_NOCONFIRMATION;
    if (Value(chkConfirmMkDir) == 0)
        flags |= FOF_NOCONFIRMMKDIR;
    if (Value(chkShowFile) == 0)
        flags |= FOF_SIMPLEPROGRESS;
    return flags;
}

void frmCopy::cmdExecute_Click(int Index)
{
    // A click that arrives while the progress lets events through waits for no second run.
    if (busy_)
        return;
    busy_ = true;
    PlaceToolWindow(this, false);
    if (!execute(Index))
        inform(kNotCompleted);
    busy_ = false;
    if (closeWhenDone_)
        Forms::unload(this);
}

bool frmCopy::execute(int Index)
{
    static constexpr uint32_t Operations[3] = {FO_COPY, FO_MOVE, FO_DELETE};
    SHFILEOPSTRUCT op;
    op.wFunc = Operations[Index];
    op.hwnd = 0;
    if (!QDir::setCurrent(lstFile[0]->Path()))
        return false;
    if (Value(chkEntireDir) == 1) {
        op.pFrom = QFile::encodeName(lstFile[0]->Path()) + '\0';
    } else {
        op.pFrom = SelectedFileList(0);
        if (op.pFrom.isEmpty()) {
            inform(kNoFiles);
            return true;
        }
    }
    op.pFrom += '\0';
    op.pTo = QFile::encodeName(lstFile[1]->Path()) + '\0' + '\0';
    op.fFlags = OptionFlags();
    if (fileOperation(op) != 0)
        inform(op.wFunc != FO_DELETE && sameFolder(lstFile[0]->Path(), lstFile[1]->Path())
                   ? kSameFolder + QStringLiteral("\n\n") + kDidNotComplete
                   : kDidNotComplete);
    refreshLists();
    PlaceToolWindow(this, true);
    return true;
}

void frmCopy::refreshLists()
{
    lstFile[0]->Refresh();
    lstDir[0]->Refresh();
    lstFile[1]->Refresh();
    lstDir[1]->Refresh();
}
