// The solver: its best play for a dealt rack, and building its index of the dictionary, with
// the index's size as a counter.
#include "dealwords.h"
#include "solver.h"

#include <QRandomGenerator>
#include <QResource>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<QByteArray> dealtRacks(int count)
{
    const DealWords deal;
    QRandomGenerator random(3);
    std::vector<QByteArray> racks;
    for (int i = 0; i < count; ++i) {
        QByteArray rack = deal.GetString(random.bounded(deal.count()));
        // Every other rack holds no strike: one letter changed.
        if (i % 2 == 1)
            rack[0] = static_cast<char>('a' + random.bounded(26));
        std::shuffle(rack.begin(), rack.end(), random);
        racks.push_back(rack);
    }
    return racks;
}

void BM_BestPlay(benchmark::State& state)
{
    const Solver solver(WordIndex::builtIn());
    const std::vector<QByteArray> racks = dealtRacks(512);
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(solver.bestPlay(racks[next]));
        next = (next + 1) % racks.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["index_bytes"] = static_cast<double>(WordIndex::builtIn().bytesUsed());
}
BENCHMARK(BM_BestPlay);

void BM_BuildIndex(benchmark::State& state)
{
    const QByteArray records = QResource(QStringLiteral(":/TEXT_DEMO")).uncompressedData();
    const QByteArray familiarity = QResource(QStringLiteral(":/familiarity.txt")).uncompressedData();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const WordIndex index(records, familiarity);
        bytes = index.bytesUsed();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["index_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
