// Dictionary lookups per second: the binary search over records on disk, beside an in-memory
// hash set of the same words. Half the texts looked up are words, half are not.
#include "tdictn.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>
#include <unordered_set>
#include <vector>

namespace {

// Every 97th word of the built-in list, and as many texts that are not words.
std::vector<std::string> lookupMix()
{
    QFile list(QStringLiteral(":/TEXT_DEMO"));
    if (!list.open(QIODevice::ReadOnly))
        return {};
    const QByteArray records = list.readAll();
    std::vector<std::string> texts;
    for (qsizetype at = 0; at < records.size(); at += 97 * TDictn::kRecordSize) {
        const std::string word = records.mid(at + 1, 14).trimmed().toLower().toStdString();
        texts.push_back(word);
        texts.push_back(word + "qz");
    }
    return texts;
}

std::unordered_set<std::string> allWords()
{
    QFile list(QStringLiteral(":/TEXT_DEMO"));
    std::unordered_set<std::string> words;
    if (!list.open(QIODevice::ReadOnly))
        return words;
    const QByteArray records = list.readAll();
    for (qsizetype at = 0; at < records.size(); at += TDictn::kRecordSize)
        words.insert(records.mid(at + 1, 14).trimmed().toLower().toStdString());
    return words;
}

void BM_RecordFileLookup(benchmark::State& state)
{
    QTemporaryDir folder;
    DictionaryPlaces places;
    places.workingFolder = folder.path();
    TDictn spell({}, places);
    const std::vector<std::string> texts = lookupMix();
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(spell.wordexists(QByteArrayView(texts[next])));
        next = (next + 1) % texts.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RecordFileLookup);

void BM_InMemorySetLookup(benchmark::State& state)
{
    const std::unordered_set<std::string> words = allWords();
    const std::vector<std::string> texts = lookupMix();
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(words.contains(texts[next]));
        next = (next + 1) % texts.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_InMemorySetLookup);

} // namespace

BENCHMARK_MAIN();
