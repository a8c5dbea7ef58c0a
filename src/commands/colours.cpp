// The "&Colors" menu and the default palette strip.

#include "app/frmGeral.h"
#include "app/toolkit/twips.h"
#include "colour/ColorPalette.h"
#include "colour/frmVeCor1.h"

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
