// SPDX-License-Identifier: MIT
// Pinyin lookups of 10,000 characters: the first 10,000 characters of the
// block U+4E00-U+9FA5 found in a real novel (西遊記), on a table already
// open; and the same with the table opened (read from disk) first.
#include <benchmark/benchmark.h>

#include "core/text/pinyin_table.h"
#include "support/test_support.h"

namespace {

using namespace veyla;

constexpr std::size_t kCharacters = 10000;

std::u16string chineseCharacters()
{
    std::u16string found;
    for (std::size_t length = 2 * kCharacters; found.size() < kCharacters; length *= 2) {
        found.clear();
        for (char16_t c : test::novelText(length)) {
            if (c >= 0x4E00 && c <= 0x9FA5 && found.size() < kCharacters)
                found.push_back(c);
        }
    }
    return found;
}

std::size_t lookUpAll(text::PinyinTable& table, const std::u16string& characters)
{
    std::size_t readings = 0;
    for (char16_t c : characters) {
        std::vector<std::u16string> syllables;
        std::vector<std::u16string> initials;
        if (table.lookup(c, syllables, initials))
            readings += syllables.size();
    }
    return readings;
}

void BM_Lookup10000Characters(benchmark::State& state)
{
    const std::u16string characters = chineseCharacters();
    text::PinyinTable table(VEYLA_PINYIN_TABLE);
    if (!table.open()) {
        state.SkipWithError("the pinyin table cannot be read");
        return;
    }
    std::size_t readings = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(readings = lookUpAll(table, characters));
    state.counters["readings"] = static_cast<double>(readings);
}

void BM_OpenAndLookup10000Characters(benchmark::State& state)
{
    const std::u16string characters = chineseCharacters();
    for (auto _ : state) {
        text::PinyinTable table(VEYLA_PINYIN_TABLE);
        benchmark::DoNotOptimize(lookUpAll(table, characters));
    }
}

BENCHMARK(BM_Lookup10000Characters)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenAndLookup10000Characters)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
