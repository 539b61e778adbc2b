// LZRW1/KH compression and decompression speed in MB/s, beside LZ4 in the same run, on text,
// the dictionary's record file and random bytes.
#include "lzrw1kh.h"

#include <QFile>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>
#include <lz4.h>

#include <vector>

namespace {

enum Input { Text, Records, Random };

QByteArray input(Input kind)
{
    constexpr qsizetype kSize = 1 << 20;
    if (kind == Records) {
        QFile records(QStringLiteral(":/TEXT_DEMO"));
        return records.open(QIODevice::ReadOnly) ? records.read(kSize) : QByteArray();
    }
    if (kind == Text) {
        QFile words(QStringLiteral(":/dealwords.txt"));
        QByteArray text = words.open(QIODevice::ReadOnly) ? words.readAll() : QByteArray();
        while (!text.isEmpty() && text.size() < kSize)
            text += text;
        return text.left(kSize);
    }
    QByteArray noise(kSize, '\0');
    QRandomGenerator generator(42);
    for (char& b : noise)
        b = static_cast<char>(generator.bounded(256));
    return noise;
}

std::vector<QByteArray> lzrw1Blocks(const QByteArray& data)
{
    Lzrw1kh::HashTable hash;
    std::vector<QByteArray> blocks;
    for (qsizetype at = 0; at < data.size(); at += Lzrw1kh::kBlockSize)
        blocks.push_back(Lzrw1kh::compressBlock(
            QByteArrayView(data).sliced(at, std::min(Lzrw1kh::kBlockSize, data.size() - at)), hash));
    return blocks;
}

void BM_Lzrw1Compress(benchmark::State& state)
{
    const QByteArray data = input(static_cast<Input>(state.range(0)));
    Lzrw1kh::HashTable hash;
    qsizetype coded = 0;
    for (auto _ : state) {
        coded = 0;
        for (qsizetype at = 0; at < data.size(); at += Lzrw1kh::kBlockSize)
            coded +=
                Lzrw1kh::compressBlock(
                    QByteArrayView(data).sliced(at, std::min(Lzrw1kh::kBlockSize, data.size() - at)), hash)
                    .size();
        benchmark::DoNotOptimize(coded);
    }
    state.SetBytesProcessed(state.iterations() * data.size());
    state.counters["ratio"] = static_cast<double>(coded) / static_cast<double>(data.size());
}

void BM_Lzrw1Decompress(benchmark::State& state)
{
    const QByteArray data = input(static_cast<Input>(state.range(0)));
    const std::vector<QByteArray> blocks = lzrw1Blocks(data);
    for (auto _ : state) {
        for (const QByteArray& block : blocks)
            benchmark::DoNotOptimize(Lzrw1kh::decompressBlock(block));
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}

void BM_Lz4Compress(benchmark::State& state)
{
    const QByteArray data = input(static_cast<Input>(state.range(0)));
    std::vector<char> out(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(Lzrw1kh::kBlockSize))));
    qsizetype coded = 0;
    for (auto _ : state) {
        coded = 0;
        for (qsizetype at = 0; at < data.size(); at += Lzrw1kh::kBlockSize) {
            const int size = static_cast<int>(std::min(Lzrw1kh::kBlockSize, data.size() - at));
            coded +=
                LZ4_compress_default(data.constData() + at, out.data(), size, static_cast<int>(out.size()));
        }
        benchmark::DoNotOptimize(coded);
    }
    state.SetBytesProcessed(state.iterations() * data.size());
    state.counters["ratio"] = static_cast<double>(coded) / static_cast<double>(data.size());
}

void BM_Lz4Decompress(benchmark::State& state)
{
    const QByteArray data = input(static_cast<Input>(state.range(0)));
    std::vector<std::vector<char>> blocks;
    for (qsizetype at = 0; at < data.size(); at += Lzrw1kh::kBlockSize) {
        const int size = static_cast<int>(std::min(Lzrw1kh::kBlockSize, data.size() - at));
        std::vector<char> block(static_cast<std::size_t>(LZ4_compressBound(size)));
        block.resize(static_cast<std::size_t>(
            LZ4_compress_default(data.constData() + at, block.data(), size, static_cast<int>(block.size()))));
        blocks.push_back(std::move(block));
    }
    std::vector<char> out(static_cast<std::size_t>(Lzrw1kh::kBlockSize));
    for (auto _ : state) {
        for (const std::vector<char>& block : blocks)
            benchmark::DoNotOptimize(LZ4_decompress_safe(
                block.data(), out.data(), static_cast<int>(block.size()), static_cast<int>(out.size())));
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}

void inputs(benchmark::internal::Benchmark* bench)
{
    bench->ArgName("input")->Arg(Text)->Arg(Records)->Arg(Random);
}

BENCHMARK(BM_Lzrw1Compress)->Apply(inputs);
BENCHMARK(BM_Lz4Compress)->Apply(inputs);
BENCHMARK(BM_Lzrw1Decompress)->Apply(inputs);
BENCHMARK(BM_Lz4Decompress)->Apply(inputs);

} // namespace

BENCHMARK_MAIN();
