#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include "app/frmGeral.h"
#include "toolkit/PictureBox.h"
#include "toolkit/Raster.h"

namespace {

// A grid cell is 150 twips wide; aim at its middle.
constexpr double cellCentre(int cell)
{
    return 150.0 * cell + 75.0;
}

constexpr ColorValue kRed = RGB(255, 0, 0);
constexpr ColorValue kBlue = RGB(0, 0, 255);

void BM_RedrawGrid(benchmark::State &state)
{
    frmGeral &f = Forms::get<frmGeral>();
    for (auto _ : state)
        f.RedrawGrid();
    state.SetLabel("target <= 300 us");
}
BENCHMARK(BM_RedrawGrid)->Unit(benchmark::kMicrosecond);

void BM_PencilMove(benchmark::State &state)
{
    frmGeral &f = Forms::get<frmGeral>();
    f.picModeSel_Click(0);
    f.grid_MouseDown(1, 0, cellCentre(0), cellCentre(0));
    int cell = 1;
    for (auto _ : state) {
        // Every move enters a new cell, so each one paints.
        f.grid_MouseMove(1, 0, cellCentre(cell % 32), cellCentre(cell / 32 % 32));
        ++cell;
    }
    f.grid_MouseUp(1, 0, cellCentre(0), cellCentre(0));
    state.SetLabel("target <= 100 us");
}
BENCHMARK(BM_PencilMove)->Unit(benchmark::kMicrosecond);

// The band's press and move are a few property writes; timing them with the release avoids
// PauseTiming, whose own cost is of the order of what is measured. BM_FilledCircleBand gives
// their share alone.
void BM_FilledCircleRelease(benchmark::State &state)
{
    frmGeral &f = Forms::get<frmGeral>();
    f.picModeSel_Click(5);
    for (auto _ : state) {
        f.grid_MouseDown(1, 0, 2400, 2400);
        f.grid_MouseMove(1, 0, 3600, 2400);
        f.grid_MouseUp(1, 0, 3600, 2400);
    }
    state.SetLabel("down+move+up, target <= 500 us");
}
BENCHMARK(BM_FilledCircleRelease)->Unit(benchmark::kMicrosecond);

void BM_FilledCircleBand(benchmark::State &state)
{
    frmGeral &f = Forms::get<frmGeral>();
    f.picModeSel_Click(5);
    for (auto _ : state) {
        f.grid_MouseDown(1, 0, 2400, 2400);
        f.grid_MouseMove(1, 0, 3600, 2400);
    }
    f.shCircle->setVisible(false);
    state.SetLabel("down+move only");
}
BENCHMARK(BM_FilledCircleBand)->Unit(benchmark::kMicrosecond);

void BM_WholeCanvasFill(benchmark::State &state)
{
    frmGeral &f = Forms::get<frmGeral>();
    f.picModeSel_Click(7);
    // One colour everywhere, so every fill below reaches every pixel.
    f.Ikon->surface().fill(toQRgb(kBlue));
    bool red = true;
    for (auto _ : state) {
        f.LeftColor->setBackColor(red ? kRed : kBlue);
        f.grid_MouseDown(1, 0, 75, 75);
        f.grid_MouseUp(1, 0, 75, 75);
        red = !red;
    }
    state.SetLabel("fill + RedrawGrid, target <= 200 us");
}
BENCHMARK(BM_WholeCanvasFill)->Unit(benchmark::kMicrosecond);

void BM_FloodFillOnly(benchmark::State &state)
{
    QImage image(32, 32, QImage::Format_RGB32);
    const QRgb red = qRgb(255, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);
    image.fill(blue);
    bool toRed = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            Raster::floodFill(image, 0, 0, toRed ? blue : red, toRed ? red : blue));
        toRed = !toRed;
    }
    state.SetLabel("32x32 surface fill alone");
}
BENCHMARK(BM_FloodFillOnly)->Unit(benchmark::kMicrosecond);

// The raster routines alone, without a widget, on images the size of the grid's and the icon's
// surfaces.
void BM_RasterFilledBoxes(benchmark::State &state)
{
    QImage image(321, 322, QImage::Format_RGB32);
    QRgb colour = qRgb(255, 0, 0);
    for (auto _ : state) {
        // The 8 x 8 pixels of each of the grid's cells, as RedrawGrid paints them.
        for (int row = 0; row < 32; ++row)
            for (int col = 0; col < 32; ++col)
                Raster::fillBox(image, 10 * col + 1, 10 * row + 1, 10 * col + 8, 10 * row + 8,
                                colour);
        colour ^= 0xFFFFFF;
        benchmark::ClobberMemory();
    }
    state.SetLabel("1024 grid cells");
}
BENCHMARK(BM_RasterFilledBoxes)->Unit(benchmark::kMicrosecond);

void BM_RasterLines(benchmark::State &state)
{
    QImage image(321, 322, QImage::Format_RGB32);
    for (auto _ : state) {
        // The bars of the grid, and its two diagonals.
        for (int i = 0; i < 32; ++i) {
            Raster::line(image, 0, 10 * i, 320, 10 * i, qRgb(0, 0, 0));
            Raster::line(image, 10 * i, 0, 10 * i, 320, qRgb(0, 0, 0));
        }
        Raster::line(image, 0, 0, 320, 320, qRgb(255, 0, 0));
        Raster::line(image, 320, 0, 0, 320, qRgb(255, 0, 0));
        benchmark::ClobberMemory();
    }
    state.SetLabel("66 lines across the grid");
}
BENCHMARK(BM_RasterLines)->Unit(benchmark::kMicrosecond);

void BM_RasterFilledCircle(benchmark::State &state)
{
    QImage image(32, 32, QImage::Format_RGB32);
    for (auto _ : state) {
        Raster::circle(image, 16, 16, 8, qRgb(255, 0, 0), qRgb(0, 0, 255));
        benchmark::ClobberMemory();
    }
    state.SetLabel("radius 8 on the icon");
}
BENCHMARK(BM_RasterFilledCircle)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char *argv[])
{
    // No display is needed: the canvas draws into images.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Forms::unloadAll();
    return 0;
}
