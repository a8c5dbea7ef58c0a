// Small valid files that inflate: what Open and the icon search take on them, built at run time.
#include <QImage>
#include <benchmark/benchmark.h>
#include <cstdlib>

#include "formats/IconImage.h"
#include "formats/IconResources.h"
#include "formats/Pictures.h"
#include "formats/QtBridge.h"
#include "support/icons.h"

namespace {

constexpr ColorValue Back = RGB(0x10, 0x80, 0xC0);

void open(benchmark::State &state, const QByteArray &bytes)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadPictureData(bytes, Back));
    state.counters["KB"] = double(bytes.size()) / 1024;
}

QByteArray pngOfTextChunks(int chunks)
{
    QImage picture(32, 32, QImage::Format_ARGB32);
    picture.fill(qRgb(200, 30, 40));
    return pngWithTextChunks(pngBytes(picture), chunks, 7900000);
}

// A PNG whose zTXt chunks inflate to 7.9 MB each, alone and as an icon's one image.
void BM_OpenPngOfTextChunks(benchmark::State &state)
{
    open(state, pngOfTextChunks(int(state.range(0))));
}
BENCHMARK(BM_OpenPngOfTextChunks)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_OpenIconOfTextChunkPng(benchmark::State &state)
{
    open(state, icoFile({pngOfTextChunks(int(state.range(0)))}));
}
BENCHMARK(BM_OpenIconOfTextChunkPng)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

// A 4000 x 4000 progressive JPEG whose last scan repeats.
void BM_OpenJpegOfScans(benchmark::State &state)
{
    open(state, jpegWithScans(4000, qRgb(200, 30, 40), int(state.range(0))));
}
BENCHMARK(BM_OpenJpegOfScans)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// What every picture Qt or libwmf reads costs now: a small PNG, and a metafile of a 600 x 600
// bitmap.
void BM_OpenSmallPng(benchmark::State &state)
{
    QImage picture(40, 36, QImage::Format_RGB32);
    picture.fill(qRgb(200, 30, 40));
    open(state, pngBytes(picture));
}
BENCHMARK(BM_OpenSmallPng)->Unit(benchmark::kMillisecond);

void BM_OpenMetafileOfBitmap(benchmark::State &state)
{
    open(state, stretchedBitmapMetafile(600, qRgb(200, 30, 40)));
}
BENCHMARK(BM_OpenMetafileOfBitmap)->Unit(benchmark::kMillisecond);

// The icon search of a PE32 whose groups all name one 1024 x 1024 PNG, up to its first icon.
void BM_SearchFirstOfSharedIcons(benchmark::State &state)
{
    QImage noise(1024, 1024, QImage::Format_ARGB32);
    std::srand(3);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, qRgba(std::rand(), std::rand(), std::rand(), 255));
    const QByteArray file = peWithSharedIcon(int(state.range(0)), pngBytes(noise));
    for (auto _ : state) {
        const auto groups = readIconGroups(bytesView(file));
        benchmark::DoNotOptimize(leadingIconGroups(*groups));
        benchmark::DoNotOptimize(composeIcon(*groupIcon(groups->front()), qRgb(192, 192, 192)));
    }
    state.counters["KB"] = double(file.size()) / 1024;
}
BENCHMARK(BM_SearchFirstOfSharedIcons)
    ->Arg(100)
    ->Arg(2000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);

} // namespace
