// The "&Grad" menu; its "Rotate" entries, mirrors of the 32 x 32 image; and the entries that
// open the tool window on one of its faces.

#include <QMenuBar>

#include "app/frmGeral.h"
#include "toolwindow/frmToolBar.h"

namespace {

enum class Mirror { Diagonal, Horizontal, Vertical };

// Pixels move with their transparency; one outside a shrunken icon is not carried over.
void remap(PictureBox *ikon, Mirror mirror)
{
    ikon->movePixels(
        CellCount,
        [mirror](int x, int y) {
            if (mirror == Mirror::Diagonal)
                return QPoint(y, x);
            if (mirror == Mirror::Horizontal)
                return QPoint(LastCell - x, y);
            return QPoint(x, LastCell - y);
        },
        std::nullopt);
}

} // namespace

void frmGeral::buildGradMenu()
{
    mnuGradeOption = menuBar()->addMenu(QStringLiteral("&Grad"));
    mnuLimpar = menuEntry(mnuGradeOption, "Clean");
    mnuGrade = menuEntry(mnuGradeOption, "With Bars");
    mnuGirar = mnuGradeOption->addMenu(QStringLiteral("Rotate"));
    mnuRotate13 = menuEntry(mnuGirar, "Rotate 1/3");
    mnuHorizontal = menuEntry(mnuGirar, "Rotate Hzl");
    mnuVertical = menuEntry(mnuGirar, "Rotate Vtl");
    mnuMove = menuEntry(mnuGradeOption, "Move");
    mnuReduzir = menuEntry(mnuGradeOption, "Resize");
    mnuReduzir->setEnabled(false);

    connect(mnuLimpar, &QAction::triggered, this, &frmGeral::mnuLimpar_Click);
    connect(mnuGrade, &QAction::triggered, this, &frmGeral::mnuGrade_Click);
    connect(mnuRotate13, &QAction::triggered, this, &frmGeral::mnuRotate13_Click);
    connect(mnuHorizontal, &QAction::triggered, this, &frmGeral::mnuHorizontal_Click);
    connect(mnuVertical, &QAction::triggered, this, &frmGeral::mnuVertical_Click);
    connect(mnuMove, &QAction::triggered, this, &frmGeral::mnuMove_Click);
    connect(mnuReduzir, &QAction::triggered, this, &frmGeral::mnuReduzir_Click);
}

void frmGeral::mnuRotate13_Click()
{
    changeIcon([this] { remap(Ikon, Mirror::Diagonal); });
}

void frmGeral::mnuHorizontal_Click()
{
    changeIcon([this] { remap(Ikon, Mirror::Horizontal); });
}

void frmGeral::mnuVertical_Click()
{
    changeIcon([this] { remap(Ikon, Mirror::Vertical); });
}

void frmGeral::mnuMove_Click()
{
    Forms::get<frmToolBar>().openFace(frmToolBar::Face::Move, 2490, 3250);
}

void frmGeral::mnuReduzir_Click()
{
    Forms::get<frmToolBar>().openFace(frmToolBar::Face::Resize, 2055, 2880);
}

void frmGeral::mnuSearch_Click()
{
    Forms::get<frmToolBar>().openFace(frmToolBar::Face::Search, 2490, 2625);
}

void frmGeral::mnuCorFixa_Click()
{
    Forms::get<frmToolBar>().openFace(frmToolBar::Face::Palette, 2475, 3675);
}
