#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include "app/frmGeral.h"
#include "app/toolkit/PictureBox.h"

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
            floodFillSurface(image, 0, 0, toRed ? blue : red, toRed ? red : blue));
        toRed = !toRed;
    }
    state.SetLabel("32x32 surface fill alone");
}
BENCHMARK(BM_FloodFillOnly)->Unit(benchmark::kMicrosecond);

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
