// The "&Colors" and "&Tools" menus, the colour windows they open, and the default palette
// strip.

#include <QMenuBar>
#include <QScreen>

#include "app/frmGeral.h"
#include "colour/ColorPalette.h"
#include "colour/frmDesenho.h"
#include "colour/frmVeCor1.h"
#include "toolkit/twips.h"
#include "viewers/frmInfo.h"
#include "viewers/frmPrevia.h"

void frmGeral::buildColorsMenu()
{
    mnuColors = menuBar()->addMenu(QStringLiteral("&Colors"));
    mnuCorFixa = menuEntry(mnuColors, "Fasten Color");
    mnuProcCor = menuEntry(mnuColors, "Search Color");
    mnuScroolColor = menuEntry(mnuColors, "Scroll Color");
    mnuTransparent = menuEntry(mnuColors, "Transparent");

    connect(mnuCorFixa, &QAction::triggered, this, &frmGeral::mnuCorFixa_Click);
    connect(mnuProcCor, &QAction::triggered, this, &frmGeral::mnuProcCor_Click);
    connect(mnuScroolColor, &QAction::triggered, this, &frmGeral::mnuScroolColor_Click);
    connect(mnuTransparent, &QAction::triggered, this, &frmGeral::mnuTransparent_Click);
}

void frmGeral::buildToolsMenu()
{
    mnuFerramentas = menuBar()->addMenu(QStringLiteral("&Tools"));
    mnuPrevi = menuEntry(mnuFerramentas, "Preview Background");
    mnuGradiende = menuEntry(mnuFerramentas, "Gradient Background");
    mnuPropriedade = menuEntry(mnuFerramentas, "Properties");
    mnuPropriedade->setEnabled(false);
    mnuSearch = menuEntry(mnuFerramentas, "Search");
    div9 = mnuFerramentas->addSeparator();
    mnuBrushkit = menuEntry(mnuFerramentas, "&Brushkit", "Ctrl+W");

    connect(mnuPrevi, &QAction::triggered, this, &frmGeral::mnuPrevi_Click);
    connect(mnuGradiende, &QAction::triggered, this, &frmGeral::mnuGradiende_Click);
    connect(mnuPropriedade, &QAction::triggered, this, &frmGeral::mnuPropriedade_Click);
    connect(mnuSearch, &QAction::triggered, this, &frmGeral::mnuSearch_Click);
    connect(mnuBrushkit, &QAction::triggered, this, &frmGeral::mnuBrushkit_Click);
}

void frmGeral::GradiendColor()
{
    static const std::vector<ColorValue> columns = spectrumColumns();
    const int64_t W = vbRound(pixelsToTwips(picDefaltColor->surfaceWidth()));
    const int64_t H = vbRound(pixelsToTwips(picDefaltColor->surfaceHeight()));
    const int64_t step = vbRound(Screen::TwipsPerPixelX);
    int64_t x = 0;
    for (size_t k = 0; k < columns.size() && x <= W; ++k, x += step) {
        picDefaltColor->Line(double(x), 0, double(x), double(H), columns[k]);
        if (k + 1 < columns.size())
            continue;
        // The white column is drawn: the strip ends there and is centred by the window.
        const double inner = pixelsToTwips(picDefaltColor->surfaceWidth());
        setWidth(picDefaltColor, Width(picDefaltColor) - inner + double(x));
        setLeft(picDefaltColor,
                double(vbRound(ScaleWidth(centralWidget()) - Width(picDefaltColor)) / 2));
        return;
    }
}

void frmGeral::mnuProcCor_Click()
{
    Forms::get<frmVeCor1>().Show();
}

void frmGeral::mnuScroolColor_Click()
{
    Forms::get<ColorPalette>().Show();
}

void frmGeral::mnuTransparent_Click()
{
    LeftColor->setBackColor(vbTransparent);
}

void frmGeral::mnuGradiende_Click()
{
    Forms::get<frmDesenho>().Show();
}

void frmGeral::mnuPrevi_Click()
{
    frmPrevia &preview = Forms::get<frmPrevia>();
    preview.picTile->setPicture(Ikon->ImageAsShown());
    setWindowState(vbMinimized);
    // The preview covers the screen the editor is on.
    preview.move(screen()->availableGeometry().topLeft());
    preview.Show();
    preview.setWindowState(vbMaximized);
    preview.picTile->setPicture(Ikon->ImageAsShown());
}

void frmGeral::mnuPropriedade_Click()
{
    frmInfo &info = Forms::get<frmInfo>();
    info.Show();
    // Already up, it is brought to the front, which reads the file again.
    info.raise();
    info.activateWindow();
}
