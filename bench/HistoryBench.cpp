#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "learner/HistoryStore.h"
#include "records/HistoryBlock.h"

// The learner's history on disk: read at identification, written after every lesson (flushed to the disk before
// the old file is replaced).

namespace {

HistoryBlock FullHistory()
{
    HistoryBlock block;
    std::vector<HistoryRecord> points;
    for (int i = 0; i < 800; ++i)
        points.push_back({100.0 + i, 90.0 + (i % 10)});
    block.StorePoints(points);
    return block;
}

void BM_HistoryLoad(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/Config.txt");
    WriteHistoryFile(path, FullHistory());
    HistoryBlock block;
    for (auto _ : state) {
        ReadHistoryFile(path, block);
        benchmark::DoNotOptimize(block.LoadedPoints());
    }
}
BENCHMARK(BM_HistoryLoad)->Unit(benchmark::kMicrosecond);

void BM_HistorySave(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/Config.txt");
    const HistoryBlock block = FullHistory();
    for (auto _ : state)
        WriteHistoryFile(path, block);
}
BENCHMARK(BM_HistorySave)->Unit(benchmark::kMicrosecond);

} // namespace
