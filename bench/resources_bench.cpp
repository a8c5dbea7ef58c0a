// Reading and decoding every icon of a library with 300 icon groups, as the icon search does,
// and the search's steps on a library of 30,000.
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <sys/resource.h>

#include "formats/IconImage.h"
#include "formats/IconResources.h"
#include "formats/QtBridge.h"

namespace {

// The library, built once by bench/extract-ratio.sh with mingw-w64's windres; empty when the
// tools are missing.
const QByteArray &library()
{
    static const QByteArray bytes = [] {
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("library.dll"));
        const QString command = QStringLiteral("'%1' --make-library '%2'")
                                    .arg(QStringLiteral(PIXMINT_EXTRACT_RATIO), path);
        QFile file(path);
        if (std::system(qPrintable(command)) != 0 || !file.open(QIODevice::ReadOnly))
            return QByteArray();
        return file.readAll();
    }();
    return bytes;
}

// The library, or nothing with the benchmark marked skipped when it cannot be built here.
const QByteArray *libraryOrSkip(benchmark::State &state)
{
    const QByteArray &bytes = library();
    if (bytes.isEmpty()) {
        state.SkipWithError("cannot build the library (windres, icotool, convert)");
        return nullptr;
    }
    return &bytes;
}

void BM_ReadAndDecodeEveryImage(benchmark::State &state)
{
    const QByteArray *bytes = libraryOrSkip(state);
    if (!bytes)
        return;
    for (auto _ : state) {
        const auto groups = readIconGroups(bytesView(*bytes));
        for (const IconGroup &group : *groups) {
            for (const IconGroupImage &image : group.images)
                benchmark::DoNotOptimize(decodeIconImage(qtView(image.data)));
        }
    }
}
BENCHMARK(BM_ReadAndDecodeEveryImage)->Unit(benchmark::kMillisecond);

// What the icon search needs: each group's image for 32 x 32.
void BM_ReadAndDecodeEveryIcon(benchmark::State &state)
{
    const QByteArray *bytes = libraryOrSkip(state);
    if (!bytes)
        return;
    for (auto _ : state) {
        const auto groups = readIconGroups(bytesView(*bytes));
        for (const IconGroup &group : *groups)
            benchmark::DoNotOptimize(groupIcon(group));
    }
}
BENCHMARK(BM_ReadAndDecodeEveryIcon)->Unit(benchmark::kMillisecond);

// The most this process has been resident, in MB.
double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// The icon search of a library of 30,000 groups, each its own image, from the name to the first
// icon shown: the file read, its groups, the count of those that can be shown, the first decoded.
// The peak counter is what the process held at most above what it held before; it is only true
// when this benchmark runs alone (--benchmark_filter=BM_SearchThirtyThousandGroups).
void BM_SearchThirtyThousandGroups(benchmark::State &state)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.dll"));
    const QString command =
        QStringLiteral("'%1' '%2' 30000").arg(QStringLiteral(PIXMINT_BIG_LIBRARY), path);
    if (std::system(qPrintable(command)) != 0) {
        state.SkipWithError("cannot write the library (python3)");
        return;
    }
    // Taken before the first run only: Google Benchmark runs each benchmark more than once.
    static const double before = peakMegabytes();
    for (auto _ : state) {
        const std::optional<QByteArray> bytes = readUserFile(path);
        auto groups = readIconGroups(bytesView(*bytes));
        groups->resize(leadingIconGroups(*groups));
        benchmark::DoNotOptimize(groupIcon(groups->front()));
    }
    state.counters["peak MB above start"] = peakMegabytes() - before;
}
BENCHMARK(BM_SearchThirtyThousandGroups)->Unit(benchmark::kMillisecond);

} // namespace
